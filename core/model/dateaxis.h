#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

// Dates and times on an axis, kept as seconds since 1970-01-01T00:00:00 UTC in
// a double. Files and command lines use ISO 8601 only; the locale's short date
// is accepted where a person types into the window.

enum class DatePrecision { Year, Month, Day, Minute, Second, Millisecond };

// How the values of one date axis are written.
struct DateFormat
{
    DatePrecision precision = DatePrecision::Day;
    // An axis of times of day (both marks within the first day): no date part.
    bool timeOnly = false;

    friend bool operator==(const DateFormat &a, const DateFormat &b)
    {
        return a.precision == b.precision && a.timeOnly == b.timeOnly;
    }
};

// The finest precision that a chart of that span resolves, taking a chart to
// show about five hundred distinct places along the axis.
DatePrecision datePrecisionForSpan(double spanSeconds);

// The format of an axis whose marks read value1 and value2.
DateFormat dateFormatForAxis(double value1, double value2);

// 2019, 2019-01, 2019-01-31, 2019-01-31T12:30, 2019-01-31T12:30:05(.250)
// (a space may stand for the T, a trailing Z is allowed) and a time of day
// 12:30 or 12:30:05 as that time on 1970-01-01. Everything is UTC.
std::optional<double> parseIsoDate(QStringView text);

// The ISO forms, then the locale's short date (a two-digit year as 1950-2049).
std::optional<double> parseTypedDate(const QString &text, const QLocale &locale);

// The forms parseTypedDate accepts, for a message: "2019-01-31, 2019-01, ...".
QString acceptedDateForms(const QLocale &locale);

// ISO 8601 text at the precision, rounded to it: "2021", "2021-03",
// "2021-03-15", "2021-03-15T12:30", "2021-03-15T12:30:05", "12:30".
// Values beyond the years 1 to 9999 are written as numbers.
QString formatDate(double seconds, const DateFormat &format);

// The shortest of those forms that keeps the instant to the millisecond, for
// a value the user typed and may edit again.
QString formatDateExactly(double seconds);

// A step of the calendar: months and years keep the day of the month, days
// and shorter steps are fixed lengths of time.
struct CalendarStep
{
    enum Unit { Second, Minute, Hour, Day, Month, Year };
    Unit unit = Day;
    int count = 1;

    friend bool operator==(const CalendarStep &a, const CalendarStep &b)
    {
        return a.unit == b.unit && a.count == b.count;
    }
};

// "1month", "3 months", "7d", "2w", "1h", "30min", "10s", "1y": a whole count
// from 1 to 100000 and a unit.
std::optional<CalendarStep> parseCalendarStep(QStringView text);

// The instants in [low, high] that fall on multiples of the step counted from
// 1970-01-01 (month steps on the first day of the months, year steps on the
// first of January), in ascending order; empty when there would be more than
// limit of them or the range is not finite.
QList<double> calendarInstants(double low, double high, const CalendarStep &step, int limit);

// The whole calendar units enclosing [low, high], the unit chosen from the span
// (years, months, days, hours or minutes), for the limits of a plotted date axis.
std::pair<double, double> calendarLimits(double low, double high);

// The same instant as an Excel serial day number (1900 date system).
double excelSerialDay(double seconds);
// The Excel number format that shows a date axis' values.
QString excelDateFormat(const DateFormat &format);
