#include "core/model/calibration.h"
#include "core/model/dateaxis.h"

#include <QJsonDocument>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<CalendarStep>)
Q_DECLARE_METATYPE(DatePrecision)

namespace {

// Instants worked out by hand: days since 1970-01-01 times 86400.
constexpr double day = 86400.0;
constexpr double jan2019 = 17897 * day;    // 2019-01-01
constexpr double mar2021 = 18701 * day;    // 2021-03-15
constexpr double feb29y2020 = 18321 * day; // 2020-02-29

} // namespace

class TestDateAxis : public QObject
{
    Q_OBJECT

private slots:
    void isoForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("seconds");
        QTest::newRow("year") << "2019" << std::optional(jan2019);
        QTest::newRow("month") << "2019-01" << std::optional(jan2019);
        QTest::newRow("day") << "2019-01-01" << std::optional(jan2019);
        QTest::newRow("leap day") << "2020-02-29" << std::optional(feb29y2020);
        QTest::newRow("minute") << "2021-03-15T12:30" << std::optional(mar2021 + 12.5 * 3600);
        QTest::newRow("space for T") << "2021-03-15 12:30" << std::optional(mar2021 + 12.5 * 3600);
        QTest::newRow("seconds, Z") << "2021-03-15T12:30:05Z" << std::optional(mar2021 + 12.5 * 3600 + 5);
        QTest::newRow("fraction") << "2021-03-15T00:00:01.25" << std::optional(mar2021 + 1.25);
        QTest::newRow("time only") << "12:30:00" << std::optional(12.5 * 3600);
        QTest::newRow("short time") << "7:05" << std::optional(7 * 3600.0 + 300);
        QTest::newRow("blanks around") << "  2019-01-01 " << std::optional(jan2019);
        QTest::newRow("before 1970") << "1969-12-31" << std::optional(-day);
        QTest::newRow("month 13") << "2019-13-01" << std::optional<double>();
        QTest::newRow("30 February") << "2019-02-30" << std::optional<double>();
        QTest::newRow("29 February of a common year") << "2019-02-29" << std::optional<double>();
        QTest::newRow("hour 24") << "2019-01-01T24:00" << std::optional<double>();
        QTest::newRow("minute 60") << "12:60" << std::optional<double>();
        QTest::newRow("year 0") << "0000-01-01" << std::optional<double>();
        QTest::newRow("two-digit year") << "19-01-01" << std::optional<double>();
        QTest::newRow("number") << "2.5" << std::optional<double>();
        QTest::newRow("words") << "March" << std::optional<double>();
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("time zone offset") << "2019-01-01T00:00+02:00" << std::optional<double>();
    }

    void isoForms()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, seconds);
        QCOMPARE(parseIsoDate(text), seconds);
    }

    void localeShortDates_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("seconds");
        QTest::newRow("English, four-digit year") << "en_US"
                                                  << "3/15/2021" << std::optional(mar2021);
        QTest::newRow("English, two-digit year") << "en_US"
                                                 << "3/15/21" << std::optional(mar2021);
        QTest::newRow("English, 99 is 1999") << "en_US"
                                             << "1/1/99" << std::optional(10592 * day);
        QTest::newRow("Italian") << "it_IT"
                                 << "15/03/21" << std::optional(mar2021);
        QTest::newRow("German") << "de_DE"
                                << "15.03.2021" << std::optional(mar2021);
        QTest::newRow("ISO in any language") << "de_DE"
                                             << "2021-03-15" << std::optional(mar2021);
        QTest::newRow("English order in Italian") << "it_IT"
                                                  << "3/15/21" << std::optional<double>();
        QTest::newRow("not a date") << "fr_FR"
                                    << "15 mars" << std::optional<double>();
    }

    void localeShortDates()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(std::optional<double>, seconds);
        QCOMPARE(parseTypedDate(text, QLocale(language)), seconds);
    }

    void formatting_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<DatePrecision>("precision");
        QTest::addColumn<bool>("timeOnly");
        QTest::addColumn<QString>("text");
        const double noon = mar2021 + 12 * 3600.0;
        QTest::newRow("year") << noon << DatePrecision::Year << false << "2021";
        QTest::newRow("year rounds to the nearer")
            << mar2021 + 200 * day << DatePrecision::Year << false << "2022";
        QTest::newRow("month") << noon << DatePrecision::Month << false << "2021-03";
        QTest::newRow("month rounds up at the end")
            << 18714 * day << DatePrecision::Month << false << "2021-04";
        QTest::newRow("day") << noon - 1 << DatePrecision::Day << false << "2021-03-15";
        QTest::newRow("day rounds") << noon + 1 << DatePrecision::Day << false << "2021-03-16";
        QTest::newRow("minute") << noon + 89 << DatePrecision::Minute << false << "2021-03-15T12:01";
        QTest::newRow("second") << noon + 5.4 << DatePrecision::Second << false << "2021-03-15T12:00:05";
        QTest::newRow("millisecond") << noon + 5.25 << DatePrecision::Millisecond << false
                                     << "2021-03-15T12:00:05.250";
        QTest::newRow("time of day") << 12.5 * 3600 << DatePrecision::Minute << true << "12:30";
        QTest::newRow("time axis past midnight")
            << day + 60 << DatePrecision::Minute << true << "1970-01-02T00:01";
        QTest::newRow("before 1970") << -day << DatePrecision::Day << false << "1969-12-31";
        QTest::newRow("beyond year 9999") << 1e15 << DatePrecision::Day << false << "1e+15";
        QTest::newRow("not a number") << qQNaN() << DatePrecision::Day << false << "nan";
    }

    void formatting()
    {
        QFETCH(double, seconds);
        QFETCH(DatePrecision, precision);
        QFETCH(bool, timeOnly);
        QFETCH(QString, text);
        QCOMPARE(formatDate(seconds, {precision, timeOnly}), text);
    }

    // What is written must read back as the same instant at that precision.
    void exactFormsReadBack_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::newRow("midnight") << mar2021;
        QTest::newRow("minute") << mar2021 + 754 * 60.0;
        QTest::newRow("second") << mar2021 + 7;
        QTest::newRow("millisecond") << mar2021 + 7.125;
        QTest::newRow("before 1970") << -1234567.0;
    }

    void exactFormsReadBack()
    {
        QFETCH(double, seconds);
        const std::optional<double> read = parseIsoDate(formatDateExactly(seconds));
        QVERIFY(read);
        QCOMPARE(*read, seconds);
    }

    void precisionFromSpan_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<DatePrecision>("precision");
        QTest::newRow("six years") << 6 * 365 * day << DatePrecision::Day;
        QTest::newRow("a century") << 100 * 365 * day << DatePrecision::Month;
        QTest::newRow("a millennium") << 1000 * 365 * day << DatePrecision::Year;
        QTest::newRow("three days") << 3 * day << DatePrecision::Minute;
        QTest::newRow("an hour") << 3600.0 << DatePrecision::Second;
        QTest::newRow("a minute") << 60.0 << DatePrecision::Millisecond;
        QTest::newRow("backwards") << -6 * 365 * day << DatePrecision::Day;
    }

    void precisionFromSpan()
    {
        QFETCH(double, span);
        QFETCH(DatePrecision, precision);
        QCOMPARE(datePrecisionForSpan(span), precision);
    }

    void calendarSteps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<CalendarStep>>("step");
        QTest::newRow("1month") << "1month" << std::optional(CalendarStep{CalendarStep::Month, 1});
        QTest::newRow("3 months") << "3 months" << std::optional(CalendarStep{CalendarStep::Month, 3});
        QTest::newRow("quarter") << "1q" << std::optional(CalendarStep{CalendarStep::Month, 3});
        QTest::newRow("7d") << "7d" << std::optional(CalendarStep{CalendarStep::Day, 7});
        QTest::newRow("2 weeks") << "2weeks" << std::optional(CalendarStep{CalendarStep::Day, 14});
        QTest::newRow("1h") << "1h" << std::optional(CalendarStep{CalendarStep::Hour, 1});
        QTest::newRow("30min") << "30min" << std::optional(CalendarStep{CalendarStep::Minute, 30});
        QTest::newRow("10 seconds") << "10 Seconds" << std::optional(CalendarStep{CalendarStep::Second, 10});
        QTest::newRow("1y") << "1y" << std::optional(CalendarStep{CalendarStep::Year, 1});
        QTest::newRow("m is ambiguous") << "1m" << std::optional<CalendarStep>();
        QTest::newRow("no count") << "month" << std::optional<CalendarStep>();
        QTest::newRow("zero") << "0d" << std::optional<CalendarStep>();
        QTest::newRow("fraction") << "1.5d" << std::optional<CalendarStep>();
        QTest::newRow("unknown unit") << "3fortnights" << std::optional<CalendarStep>();
        QTest::newRow("plain number") << "86400" << std::optional<CalendarStep>();
    }

    void calendarSteps()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<CalendarStep>, step);
        QCOMPARE(parseCalendarStep(text), step);
    }

    void monthStepsLandOnTheFirst()
    {
        // 2019-01-10 .. 2019-05-01: Feb, Mar, Apr, May, each on its first day.
        const QList<double> instants =
            calendarInstants(jan2019 + 9 * day, 18017 * day, CalendarStep{CalendarStep::Month, 1}, 100);
        QStringList texts;
        for (double instant : instants)
            texts.append(formatDate(instant, {DatePrecision::Minute, false}));
        QCOMPARE(texts, QStringList({"2019-02-01T00:00", "2019-03-01T00:00", "2019-04-01T00:00",
                                     "2019-05-01T00:00"}));
        // Quarters start in January, April, July and October.
        const QList<double> quarters =
            calendarInstants(jan2019, jan2019 + 364 * day, CalendarStep{CalendarStep::Month, 3}, 100);
        QCOMPARE(quarters.size(), 4);
        QCOMPARE(formatDate(quarters.at(3), {DatePrecision::Day, false}), QStringLiteral("2019-10-01"));
        // Too many steps give none rather than a flood.
        QVERIFY(calendarInstants(0, 1e9, CalendarStep{CalendarStep::Second, 1}, 1000).isEmpty());
        QVERIFY(calendarInstants(qQNaN(), 1.0, CalendarStep{CalendarStep::Day, 1}, 1000).isEmpty());
    }

    void calendarLimitsEncloseTheData()
    {
        // Six years of months end on whole years; three days on whole days.
        const auto [low, high] = calendarLimits(jan2019 + 20 * day, jan2019 + 2170 * day);
        QCOMPARE(formatDate(low, {DatePrecision::Day, false}), QStringLiteral("2019-01-01"));
        QCOMPARE(formatDate(high, {DatePrecision::Day, false}), QStringLiteral("2025-01-01"));
        const auto [dayLow, dayHigh] = calendarLimits(mar2021 + 3600, mar2021 + 2.5 * day);
        QCOMPARE(dayLow, mar2021);
        QCOMPARE(dayHigh, mar2021 + 3 * day);
    }

    void excelSerials()
    {
        // 2019-01-01 is Excel's day 43466; noon is half a day on.
        QCOMPARE(excelSerialDay(jan2019), 43466.0);
        QCOMPARE(excelSerialDay(jan2019 + day / 2), 43466.5);
        QCOMPARE(excelDateFormat({DatePrecision::Day, false}), QStringLiteral("yyyy-mm-dd"));
        QCOMPARE(excelDateFormat({DatePrecision::Minute, true}), QStringLiteral("hh:mm"));
    }

    void calibrationKindRoundTrip()
    {
        Calibration c;
        c.axisXLine = QLineF(100, 500, 700, 500);
        c.axisYLine = QLineF(100, 500, 100, 100);
        c.xValue1 = jan2019;
        c.xValue2 = jan2019 + 6 * 365 * day;
        c.axisXValid = c.axisYValid = true;
        c.xKind = AxisKind::Date;
        const QJsonObject json = c.toJson();
        QCOMPARE(json.value(QStringLiteral("xKind")).toString(), QStringLiteral("date"));
        QVERIFY(!json.contains(QStringLiteral("yKind")));
        const QJsonObject reparsed = QJsonDocument::fromJson(QJsonDocument(json).toJson()).object();
        QCOMPARE(Calibration::fromJson(reparsed), c);
        QCOMPARE(c.valueText(true, jan2019 + 12 * 3600, 6), QStringLiteral("2019-01-02"));
        QCOMPARE(c.valueText(false, 0.5, 6), QStringLiteral("0.5"));
    }

    void kindsFromOtherVersions_data()
    {
        QTest::addColumn<QJsonValue>("kind");
        QTest::addColumn<bool>("date");
        QTest::addColumn<bool>("keptAside");
        QTest::newRow("absent: an older file") << QJsonValue(QJsonValue::Undefined) << false << false;
        QTest::newRow("number") << QJsonValue("number") << false << false;
        QTest::newRow("date") << QJsonValue("date") << true << false;
        QTest::newRow("a newer kind") << QJsonValue("angle") << false << true;
        QTest::newRow("wrong type") << QJsonValue(3) << false << true;
    }

    void kindsFromOtherVersions()
    {
        QFETCH(QJsonValue, kind);
        QFETCH(bool, date);
        QFETCH(bool, keptAside);
        QJsonObject json{{"xLogScale", true}, {"xValue1", 1.0}, {"xValue2", 10.0}};
        if (!kind.isUndefined())
            json.insert(QStringLiteral("xKind"), kind);
        const Calibration c = Calibration::fromJson(json);
        QCOMPARE(c.xKind == AxisKind::Date, date);
        // A date axis is never logarithmic, whatever the file says.
        QCOMPARE(c.xLogScale, !date);
        QCOMPARE(c.otherKeys.contains(QStringLiteral("xKind")), keptAside);
        QCOMPARE(c.toJson().value(QStringLiteral("xKind")),
                 date || keptAside ? kind : QJsonValue(QJsonValue::Undefined));
    }
};

QTEST_GUILESS_MAIN(TestDateAxis)
#include "tst_dateaxis.moc"
