#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/cli/batchrun.h"
#include "tests/extract/scenes.h"
#include "tests/support/testsupport.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QTest>

#include <cmath>

namespace {

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

double utcSeconds(const QDate &date)
{
    return double(QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
}

// Orders per month, January 2019 to December 2024.
double orders(int month)
{
    return 80.0 + 10.0 * std::sin(2.0 * M_PI * month / 12.0) + 0.3 * month;
}

// A chart of the monthly orders, its x axis calibrated with dates (or, when
// dates is false, with the month numbers 0..72 a user would type instead).
QString monthlyProject(const QString &name, bool dates, QPoint *seed)
{
    Calibration calibration = scenes::chartCalibration();
    calibration.xKind = AxisKind::Date;
    calibration.xValue1 = utcSeconds(QDate(2019, 1, 1));
    calibration.xValue2 = utcSeconds(QDate(2025, 1, 1));
    calibration.yValue1 = 0.0;
    calibration.yValue2 = 200.0;
    QPolygonF line;
    for (int k = 0; k < 72; ++k)
        line.append(calibration.realToPixel({utcSeconds(QDate(2019, 1, 1).addMonths(k)), orders(k)}));
    QImage picture = scenes::blankPicture();
    scenes::drawAxesAndFrame(picture, calibration, Qt::black, 2.0);
    scenes::drawPolyline(picture, line, QColor(20, 70, 200), 2.0);
    *seed = ((line[30] + line[31]) / 2.0).toPoint();
    const QString file = path(name + QStringLiteral(".png"));
    picture.save(file);
    ProjectModel model;
    model.loadSource(file);
    model.setAxis(true, calibration.axisXLine, dates ? calibration.xValue1 : 0.0,
                  dates ? calibration.xValue2 : 72.0, false, dates ? AxisKind::Date : AxisKind::Number);
    model.setAxisY(calibration.axisYLine, calibration.yValue1, calibration.yValue2);
    const QString project = path(name + QStringLiteral(".pmproj"));
    QString error;
    if (!saveProjectFile(project, model, &error))
        qWarning("cannot save %s: %s", qPrintable(project), qPrintable(error));
    return project;
}

} // namespace

// Date axes from the command line: calendar steps of --sample, dates in the
// CSV and the graph's ticks, and the refusals.
class TestBatchDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void monthlyTraceGivesFirstDays()
    {
        QPoint seed;
        const QString project = monthlyProject(QStringLiteral("monthly"), true, &seed);
        const Run run =
            plotmason({"--open", project, "--trace", QStringLiteral("%1,%2").arg(seed.x()).arg(seed.y()),
                       "--into", "Orders", "--sample", "dx=1month", "--export-csv", path("orders.csv"),
                       "--graph-svg", path("orders.svg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        const QStringList rows =
            QString::fromUtf8(testsupport::readFile(path("orders.csv"))).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(rows.size() >= 70, qPrintable(QString::number(rows.size())));
        // Each row one month after the one before, on the first day, with that month's orders.
        QDate previous;
        for (const QString &row : rows.mid(1)) {
            const QStringList fields = row.split(u',');
            const QDate date = QDate::fromString(fields.at(3), Qt::ISODate);
            QVERIFY2(date.isValid() && date.day() == 1, qPrintable(row));
            QVERIFY2(!previous.isValid() || date == previous.addMonths(1), qPrintable(row));
            const int month = (date.year() - 2019) * 12 + date.month() - 1;
            QVERIFY2(std::abs(fields.at(4).toDouble() - orders(month)) < 0.5, qPrintable(row));
            previous = date;
        }
        // The graph's x ticks are years.
        const QByteArray svg = testsupport::readFile(path("orders.svg"));
        for (const char *year : {">2019<", ">2022<", ">2025<"})
            QVERIFY2(svg.contains(year), year);
        QVERIFY(!svg.contains(">Jan 2019<"));
    }

    // --trace-at takes a place in axis units: ISO 8601 dates on a date axis.
    void traceAtTakesDates_data()
    {
        QTest::addColumn<bool>("dates");
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("a date on a date axis") << true << "2021-07-01,89" << 0 << QString();
        QTest::newRow("a month number on a number axis") << false << "30,89" << 0 << QString();
        QTest::newRow("a date on a number axis")
            << false << "2021-07-01,89" << 1
            << "--trace-at 2021-07-01,89 is no place on these axes: dates (2021-03-01) go only on an axis of "
               "dates.";
        QTest::newRow("not a date") << true << "2021-13-01,89" << 2
                                    << "--trace-at takes a place in axis units as X,Y.";
    }

    void traceAtTakesDates()
    {
        QFETCH(bool, dates);
        QFETCH(QString, place);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QPoint seed;
        const QString project = monthlyProject(QStringLiteral("at"), dates, &seed);
        const Run run = plotmason(
            {"--open", project, "--trace-at", place, "--into", "Orders", "--export-csv", path("at.csv")});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(message.isEmpty() ? run.err.isEmpty() : run.err.contains(message), qPrintable(run.err));
        if (exitCode == 0)
            QVERIFY(testsupport::readFile(path("at.csv")).count('\n') > 10);
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("dates");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("calendar step on a number axis") << false << "dx=1month" << 1
                                                        << "--sample dx with a calendar step needs an x axis "
                                                           "of dates; this project's x axis counts numbers.";
        QTest::newRow("m is neither minutes nor months") << true << "dx=1m" << 2
                                                         << "--sample takes shape, a number of points from 2 "
                                                            "to 10000, dx=VALUE above 0, or a calendar step "
                                                            "such as dx=1month, dx=7d or dx=1h.";
        QTest::newRow("no count")
            << true << "dx=month" << 2
            << "--sample takes shape, a number of points from 2 to 10000, dx=VALUE above 0, "
               "or a calendar step such as dx=1month, dx=7d or dx=1h.";
    }

    void refusals()
    {
        QFETCH(bool, dates);
        QFETCH(QString, sample);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QPoint seed;
        const QString project = monthlyProject(QStringLiteral("refused"), dates, &seed);
        const Run run =
            plotmason({"--open", project, "--trace", QStringLiteral("%1,%2").arg(seed.x()).arg(seed.y()),
                       "--sample", sample, "--save-project", path("refused-after.pmproj")});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(path("refused-after.pmproj")));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchDates)
#include "tst_batchdates.moc"
