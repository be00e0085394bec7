#include "core/model/dateaxis.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr double secondsPerDay = 86400.0;
// 1899-12-30, day 0 of Excel's 1900 date system, is this many days before 1970-01-01.
constexpr double excelEpochOffset = 25569.0;
// Instants closer than this to a calendar boundary count as on it (doubles of
// present-day instants resolve about a ten-millionth of a second).
constexpr double boundaryTolerance = 1e-3;

struct CivilDate
{
    long long year;
    int month; // 1..12
    int day;   // 1..31
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back (Howard Hinnant's algorithms: exact for every year, no time zones).
long long daysFromCivil(long long year, int month, int day)
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(long long days)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shifted = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

int daysInMonth(long long year, int month)
{
    return int(daysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
               daysFromCivil(year, month, 1));
}

// Months counted from January 1970, and the instant each one starts.
long long monthIndexOf(double seconds)
{
    const CivilDate date = civilFromDays((long long)std::floor(seconds / secondsPerDay));
    return (date.year - 1970) * 12 + (date.month - 1);
}

double monthStart(long long index)
{
    const long long year = 1970 + (index >= 0 ? index / 12 : (index - 11) / 12);
    const int month = int(index - (year - 1970) * 12) + 1;
    return double(daysFromCivil(year, month, 1)) * secondsPerDay;
}

// The instant rounded to the nearest start of a month (or of a year).
double nearestMonthStart(double seconds, int months)
{
    long long index = monthIndexOf(seconds);
    index -= ((index % months) + months) % months;
    const double before = monthStart(index);
    const double after = monthStart(index + months);
    return seconds - before < after - seconds ? before : after;
}

double roundedTo(double seconds, DatePrecision precision)
{
    switch (precision) {
    case DatePrecision::Year: return nearestMonthStart(seconds, 12);
    case DatePrecision::Month: return nearestMonthStart(seconds, 1);
    case DatePrecision::Day: return std::round(seconds / secondsPerDay) * secondsPerDay;
    case DatePrecision::Minute: return std::round(seconds / 60.0) * 60.0;
    case DatePrecision::Second: return std::round(seconds);
    case DatePrecision::Millisecond: return std::round(seconds * 1000.0) / 1000.0;
    }
    return seconds;
}

QString twoDigits(long long value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString timeText(double secondOfDay, DatePrecision precision)
{
    const long long whole = (long long)std::floor(secondOfDay);
    QString text = twoDigits(whole / 3600) + QLatin1Char(':') + twoDigits(whole / 60 % 60);
    if (precision >= DatePrecision::Second)
        text += QLatin1Char(':') + twoDigits(whole % 60);
    if (precision == DatePrecision::Millisecond)
        text += QLatin1Char('.') + QString::number(std::llround((secondOfDay - double(whole)) * 1000.0))
                                       .rightJustified(3, QLatin1Char('0'));
    return text;
}

std::optional<double> instant(long long year, int month, int day, int hour, int minute, double second)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || !(second < 60.0))
        return std::nullopt;
    return double(daysFromCivil(year, month, day)) * secondsPerDay + hour * 3600.0 + minute * 60.0 + second;
}

int capturedNumber(const QRegularExpressionMatch &match, int group, int fallback)
{
    const QString text = match.captured(group);
    return text.isEmpty() ? fallback : text.toInt();
}

double capturedSeconds(const QRegularExpressionMatch &match, int group)
{
    const QString text = match.captured(group);
    return text.isEmpty() ? 0.0 : text.toDouble();
}

// The short date form with four-digit years, and as it is.
std::optional<double> parseShortDate(const QString &text, const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    // Four digits first: Qt reads "yy" as 19yy, and "yyyy" takes "21" as the year 21.
    QDate date = locale.toDate(text, QString(format).replace(twoDigitYear, QStringLiteral("yyyy")));
    if (!date.isValid() || date.year() < 100) {
        date = locale.toDate(text, format);
        if (date.isValid() && format.contains(twoDigitYear) && date.year() < 1950)
            date = date.addYears(100);
    }
    if (!date.isValid())
        return std::nullopt;
    return instant(date.year(), date.month(), date.day(), 0, 0, 0.0);
}

} // namespace

DatePrecision datePrecisionForSpan(double spanSeconds)
{
    const double resolved = std::abs(spanSeconds) / 500.0;
    if (!std::isfinite(resolved) || resolved <= 0.0)
        return DatePrecision::Second;
    if (resolved >= 365.0 * secondsPerDay)
        return DatePrecision::Year;
    if (resolved >= 28.0 * secondsPerDay)
        return DatePrecision::Month;
    if (resolved >= secondsPerDay / 2.0)
        return DatePrecision::Day;
    if (resolved >= 60.0)
        return DatePrecision::Minute;
    return resolved >= 1.0 ? DatePrecision::Second : DatePrecision::Millisecond;
}

DateFormat dateFormatForAxis(double value1, double value2)
{
    DateFormat format{datePrecisionForSpan(value2 - value1), false};
    const auto inFirstDay = [](double v) { return v >= 0.0 && v <= secondsPerDay; };
    format.timeOnly = format.precision >= DatePrecision::Minute && inFirstDay(value1) && inFirstDay(value2);
    return format;
}

std::optional<double> parseIsoDate(QStringView text)
{
    static const QRegularExpression dateForm(QStringLiteral(
        R"(^(\d{4})(?:-(\d{2})(?:-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}(?:\.\d{1,9})?))?Z?)?)?)?$)"));
    static const QRegularExpression timeForm(
        QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}(?:\.\d{1,9})?))?$)"));
    const QString trimmed = text.trimmed().toString();
    const QRegularExpressionMatch date = dateForm.match(trimmed);
    if (date.hasMatch())
        return instant(date.captured(1).toLongLong(), capturedNumber(date, 2, 1), capturedNumber(date, 3, 1),
                       capturedNumber(date, 4, 0), capturedNumber(date, 5, 0), capturedSeconds(date, 6));
    const QRegularExpressionMatch time = timeForm.match(trimmed);
    if (time.hasMatch())
        return instant(1970, 1, 1, capturedNumber(time, 1, 0), capturedNumber(time, 2, 0),
                       capturedSeconds(time, 3));
    return std::nullopt;
}

std::optional<double> parseTypedDate(const QString &text, const QLocale &locale)
{
    if (const std::optional<double> iso = parseIsoDate(text))
        return iso;
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : parseShortDate(trimmed, locale);
}

QString acceptedDateForms(const QLocale &locale)
{
    return QStringLiteral("2019-01-31, 2019-01, 2019, 2019-01-31T12:30, 12:30:00, %1")
        .arg(locale.toString(QDate(2019, 1, 31), QLocale::ShortFormat));
}

QString formatDate(double seconds, const DateFormat &format)
{
    const double rounded = roundedTo(seconds, format.precision);
    const double days = std::floor(rounded / secondsPerDay);
    if (!std::isfinite(rounded) || days < double(daysFromCivil(1, 1, 1)) ||
        days > double(daysFromCivil(9999, 12, 31)))
        return QString::number(seconds, 'g', 15);
    const double secondOfDay = rounded - days * secondsPerDay;
    if (format.timeOnly && days == 0.0)
        return timeText(secondOfDay, format.precision);
    const CivilDate date = civilFromDays((long long)days);
    QString text = QString::number(date.year).rightJustified(4, QLatin1Char('0'));
    if (format.precision >= DatePrecision::Month)
        text += QLatin1Char('-') + twoDigits(date.month);
    if (format.precision >= DatePrecision::Day)
        text += QLatin1Char('-') + twoDigits(date.day);
    if (format.precision >= DatePrecision::Minute)
        text += QLatin1Char('T') + timeText(secondOfDay, format.precision);
    return text;
}

QString formatDateExactly(double seconds)
{
    for (DatePrecision precision :
         {DatePrecision::Day, DatePrecision::Minute, DatePrecision::Second, DatePrecision::Millisecond}) {
        if (std::abs(roundedTo(seconds, precision) - seconds) < 5e-4 ||
            precision == DatePrecision::Millisecond)
            return formatDate(seconds, {precision, false});
    }
    return QString();
}

std::optional<CalendarStep> parseCalendarStep(QStringView text)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d{1,6})\s*([A-Za-z]+)\s*$)"));
    struct UnitName
    {
        const char *name;
        CalendarStep::Unit unit;
        int factor;
    };
    static const UnitName units[] = {
        {"s", CalendarStep::Second, 1},      {"sec", CalendarStep::Second, 1},
        {"second", CalendarStep::Second, 1}, {"min", CalendarStep::Minute, 1},
        {"minute", CalendarStep::Minute, 1}, {"h", CalendarStep::Hour, 1},
        {"hour", CalendarStep::Hour, 1},     {"d", CalendarStep::Day, 1},
        {"day", CalendarStep::Day, 1},       {"w", CalendarStep::Day, 7},
        {"week", CalendarStep::Day, 7},      {"month", CalendarStep::Month, 1},
        {"q", CalendarStep::Month, 3},       {"quarter", CalendarStep::Month, 3},
        {"y", CalendarStep::Year, 1},        {"year", CalendarStep::Year, 1},
    };
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int count = match.captured(1).toInt();
    const QString unit = match.captured(2).toLower();
    // "m" alone could be minutes or months, so it is no unit.
    for (const UnitName &candidate : units) {
        const QLatin1StringView name(candidate.name);
        if (count >= 1 && count <= 100000 &&
            (unit == name || (name.size() > 1 && unit == QString(name) + QLatin1Char('s'))))
            return CalendarStep{candidate.unit, count * candidate.factor};
    }
    return std::nullopt;
}

QList<double> calendarInstants(double low, double high, const CalendarStep &step, int limit)
{
    QList<double> instants;
    if (!std::isfinite(low) || !std::isfinite(high) || step.count < 1 || high < low || std::abs(low) > 1e13 ||
        std::abs(high) > 1e13)
        return instants;
    if (step.unit == CalendarStep::Month || step.unit == CalendarStep::Year) {
        const long long months = step.unit == CalendarStep::Year ? 12LL * step.count : step.count;
        if ((high - low) / (28.0 * secondsPerDay * months) > limit + 1)
            return instants;
        long long index = monthIndexOf(low - boundaryTolerance);
        index -= ((index % months) + months) % months;
        for (; monthStart(index) <= high + boundaryTolerance; index += months) {
            if (monthStart(index) >= low - boundaryTolerance)
                instants.append(monthStart(index));
            if (instants.size() > limit)
                return {};
        }
        return instants;
    }
    static const double unitSeconds[] = {1.0, 60.0, 3600.0, secondsPerDay};
    const double length = unitSeconds[step.unit] * step.count;
    const double first = std::ceil((low - boundaryTolerance) / length);
    const double last = std::floor((high + boundaryTolerance) / length);
    if (last - first + 1 > limit)
        return instants;
    for (double k = first; k <= last; k += 1.0)
        instants.append(k * length);
    return instants;
}

std::pair<double, double> calendarLimits(double low, double high)
{
    if (!(high - low >= 1.0)) {
        low -= 3600.0;
        high += 3600.0;
    }
    const double span = high - low;
    if (!std::isfinite(span) || std::abs(low) > 1e13 || std::abs(high) > 1e13)
        return {low, high};
    if (span >= 60.0 * secondsPerDay) {
        const long long months = span >= 730.0 * secondsPerDay ? 12 : 1;
        const auto floorIndex = [months](double v) {
            const long long index = monthIndexOf(v);
            return index - ((index % months) + months) % months;
        };
        const long long first = floorIndex(low);
        long long last = floorIndex(high);
        if (monthStart(last) < high)
            last += months;
        return {monthStart(first), monthStart(last)};
    }
    const double unit = span >= 2.0 * secondsPerDay ? secondsPerDay : span >= 7200.0 ? 3600.0 : 60.0;
    return {std::floor(low / unit) * unit, std::ceil(high / unit) * unit};
}

double excelSerialDay(double seconds)
{
    return seconds / secondsPerDay + excelEpochOffset;
}

QString excelDateFormat(const DateFormat &format)
{
    static const char *const times[] = {"", "", "", "hh:mm", "hh:mm:ss", "hh:mm:ss.000"};
    static const char *const dates[] = {"yyyy", "yyyy-mm", "yyyy-mm-dd"};
    const int precision = int(format.precision);
    if (format.timeOnly)
        return QLatin1StringView(times[precision]);
    if (precision <= int(DatePrecision::Day))
        return QLatin1StringView(dates[precision]);
    return QStringLiteral("yyyy-mm-dd ") + QLatin1StringView(times[precision]);
}
