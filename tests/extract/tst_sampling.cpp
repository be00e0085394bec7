#include "extract/extraction.h"
#include "tests/extract/scenes.h"
#include "tests/support/testsupport.h"

#include <QDateTime>
#include <QtTest>

#include <cmath>

using namespace scenes;

namespace {

// A sine from x = 0.3 to 9.7, or a loop from its left end (x = 1) once round.
QPolygonF pathFor(const Calibration &calibration, const QString &shape)
{
    if (shape == QLatin1String("loop"))
        return curveInPixels(
            calibration, [](double t) { return QPointF(5.0 + 4.0 * std::cos(t), 0.8 * std::sin(t)); }, M_PI,
            3.0 * M_PI);
    return curveInPixels(
        calibration, [](double x) { return QPointF(x, std::sin(x)); }, 0.3, 9.7);
}

} // namespace

class TestSampling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesOnThePath_data();
    void samplesOnThePath();
    void keepsTheShape_data();
    void keepsTheShape();
    void logAxisGoesByLog_data();
    void logAxisGoesByLog();
    void dateAxisTakesCalendarSteps_data();
    void dateAxisTakesCalendarSteps();
};

void TestSampling::samplesOnThePath_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<extract::SamplingMode>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("step");
    QTest::addColumn<QList<double>>("xs"); // expected x of each point, in order
    const auto range = [](double from, double to, double step) {
        QList<double> values;
        for (double x = from; step > 0 ? x <= to + 1e-9 : x >= to - 1e-9; x += step)
            values.append(x);
        return values;
    };
    QTest::newRow("11 evenly in x") << "sine" << extract::SamplingMode::EvenInX << 11 << 0.0
                                    << range(0.3, 9.7, 0.94);
    QTest::newRow("one point") << "sine" << extract::SamplingMode::EvenInX << 1 << 0.0 << QList<double>{0.3};
    QTest::newRow("every 0.5") << "sine" << extract::SamplingMode::EveryDx << 0 << 0.5
                               << range(0.5, 9.5, 0.5);
    QTest::newRow("every 20: none within the extent")
        << "sine" << extract::SamplingMode::EveryDx << 0 << 20.0 << QList<double>{};
    QTest::newRow("zero step") << "sine" << extract::SamplingMode::EveryDx << 0 << 0.0 << QList<double>{};
    QTest::newRow("not a number") << "sine" << extract::SamplingMode::EveryDx << 0 << qQNaN()
                                  << QList<double>{};
    QTest::newRow("loop, 5 evenly per section") << "loop" << extract::SamplingMode::EvenInX << 5 << 0.0
                                                << range(1.0, 9.0, 2.0) + range(7.0, 1.0, -2.0);
    QTest::newRow("loop, every 1") << "loop" << extract::SamplingMode::EveryDx << 0 << 1.0
                                   << range(1.0, 9.0, 1.0) + range(8.0, 1.0, -1.0);
}

void TestSampling::samplesOnThePath()
{
    QFETCH(QString, shape);
    QFETCH(extract::SamplingMode, mode);
    QFETCH(int, count);
    QFETCH(double, step);
    QFETCH(QList<double>, xs);
    const Calibration calibration = chartCalibration(3.0);
    const QPolygonF path = pathFor(calibration, shape);
    const QPolygonF points = extract::samplePath(path, calibration, {mode, count, step});
    QCOMPARE(points.size(), xs.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        QVERIFY2(
            std::abs(calibration.pixelToReal(points[i]).x() - xs[i]) < 1e-6,
            qPrintable(
                QStringLiteral("point %1 at x = %2").arg(i).arg(calibration.pixelToReal(points[i]).x())));
        QVERIFY(distanceToPolyline(points[i], path) < 1e-6);
    }
}

void TestSampling::keepsTheShape_data()
{
    QTest::addColumn<QString>("shape");
    QTest::newRow("sine") << "sine";
    QTest::newRow("loop") << "loop";
}

void TestSampling::keepsTheShape()
{
    QFETCH(QString, shape);
    const Calibration calibration = chartCalibration();
    const QPolygonF path = pathFor(calibration, shape);
    const QPolygonF points = extract::samplePath(path, calibration, {});
    QCOMPARE(points.first(), path.first());
    QCOMPARE(points.last(), path.last());
    QVERIFY(points.size() < path.size() / 10);
    // Every traced centre stays within half a pixel of what is kept, and
    // nothing kept is off the trace.
    QVERIFY(largestDistance(path, points) <= extract::maxShapeError + 1e-9);
    QVERIFY(largestDistance(points, path) < 1e-9);
    // Kept vertices follow the path's order.
    qsizetype previous = -1;
    for (QPointF p : points) {
        const qsizetype index = path.indexOf(p, previous + 1);
        QVERIFY(index > previous);
        previous = index;
    }
}

void TestSampling::logAxisGoesByLog_data()
{
    QTest::addColumn<extract::SamplingMode>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("step");
    QTest::addColumn<QList<double>>("exponents"); // expected log10(x) of each point
    const auto range = [](double from, double to, double step) {
        QList<double> values;
        for (double e = from; e <= to + 1e-9; e += step)
            values.append(e);
        return values;
    };
    QTest::newRow("11 evenly over five decades")
        << extract::SamplingMode::EvenInX << 11 << 0.0 << range(0.0, 5.0, 0.5);
    QTest::newRow("every factor of 10")
        << extract::SamplingMode::EveryDx << 0 << 10.0 << range(0.0, 5.0, 1.0);
    QTest::newRow("every factor of 2")
        << extract::SamplingMode::EveryDx << 0 << 2.0 << range(0.0, 16 * std::log10(2.0), std::log10(2.0));
    QTest::newRow("a factor below 1 gives nothing")
        << extract::SamplingMode::EveryDx << 0 << 0.5 << QList<double>{};
}

void TestSampling::logAxisGoesByLog()
{
    QFETCH(extract::SamplingMode, mode);
    QFETCH(int, count);
    QFETCH(double, step);
    QFETCH(QList<double>, exponents);
    Calibration calibration = chartCalibration();
    calibration.xValue1 = 1.0;
    calibration.xValue2 = 1e5;
    calibration.xLogScale = true;
    const QPolygonF path = curveInPixels(
        calibration, [](double e) { return QPointF(std::pow(10.0, e), 0.3 * e - 0.7); }, 0.0, 5.0);
    const QPolygonF points = extract::samplePath(path, calibration, {mode, count, step});
    QCOMPARE(points.size(), exponents.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        const double exponent = std::log10(calibration.pixelToReal(points[i]).x());
        QVERIFY2(std::abs(exponent - exponents[i]) < 1e-6,
                 qPrintable(QStringLiteral("point %1 at 10^%2").arg(i).arg(exponent)));
    }
}

namespace {

double utcSeconds(const QDate &date)
{
    return double(QDateTime(date, QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
}

// A monthly series 2019-01 .. 2024-12 (value in month k), drawn as a chart
// whose x axis reads dates.
double monthlyValue(int k)
{
    return 80.0 + 10.0 * std::sin(2.0 * M_PI * k / 12.0) + 0.3 * k;
}

} // namespace

void TestSampling::dateAxisTakesCalendarSteps_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("months"); // between the points; 0 for a step of days
    QTest::addColumn<int>("days");
    QTest::newRow("1month") << "1month" << 1 << 0;
    QTest::newRow("a quarter") << "3 months" << 3 << 0;
    QTest::newRow("1y") << "1y" << 12 << 0;
    QTest::newRow("7d") << "7d" << 0 << 7;
}

void TestSampling::dateAxisTakesCalendarSteps()
{
    QFETCH(QString, step);
    QFETCH(int, months);
    QFETCH(int, days);
    const QDate first(2019, 1, 1);
    Calibration calibration = chartCalibration();
    calibration.xKind = AxisKind::Date;
    calibration.xValue1 = utcSeconds(first);
    calibration.xValue2 = utcSeconds(QDate(2025, 1, 1));
    calibration.yValue1 = 0.0;
    calibration.yValue2 = 200.0;
    QPolygonF line;
    for (int k = 0; k < 72; ++k)
        line.append(calibration.realToPixel(QPointF(utcSeconds(first.addMonths(k)), monthlyValue(k))));
    QImage picture = blankPicture();
    drawAxesAndFrame(picture, calibration, Qt::black, 1.5);
    drawPolyline(picture, line, QColor(20, 60, 200), 2.0);

    extract::ExtractionParams params;
    params.sampling.mode = extract::SamplingMode::EveryDx;
    params.sampling.calendarStep = parseCalendarStep(step);
    QVERIFY(params.sampling.calendarStep);
    const QPointF seed = (line[30] + line[31]) / 2.0;
    const extract::TraceResult trace = extract::traceCurve(picture, calibration, seed, params);
    QCOMPARE(trace.status, extract::ExtractionStatus::Found);
    QVERIFY(!trace.points.isEmpty());

    // Month steps: the first of each month (or quarter, or year) that the
    // traced line spans, within half a day; day steps: every 7th day from 1970-01-01.
    const auto dateNear = [](double seconds) {
        return QDateTime::fromSecsSinceEpoch(std::llround(seconds) + 43200, Qt::UTC).date();
    };
    const QDate start = dateNear(calibration.pixelToReal(trace.points.first()).x());
    QVERIFY2(trace.points.size() >= (months ? 69 / months : 300 / days),
             qPrintable(QStringLiteral("%1 points").arg(trace.points.size())));
    for (qsizetype i = 0; i < trace.points.size(); ++i) {
        const QPointF real = calibration.pixelToReal(trace.points[i]);
        const QDate date = months ? QDate(start.year(), start.month(), 1).addMonths(int(i) * months)
                                  : start.addDays(i * days);
        QVERIFY2(std::abs(real.x() - utcSeconds(date)) < 43200.0,
                 qPrintable(QStringLiteral("point %1: %2").arg(i).arg(formatDate(real.x(), {}))));
        if (!months) {
            QCOMPARE(std::fmod(utcSeconds(date) / 86400.0, 7.0), 0.0);
            continue;
        }
        QCOMPARE(start.day(), 1);
        // On a month's first day the line passes through that month's value.
        const int k = (date.year() - 2019) * 12 + date.month() - 1;
        QVERIFY2(std::abs(real.y() - monthlyValue(k)) < 0.5,
                 qPrintable(QStringLiteral("month %1: %2 for %3").arg(k).arg(real.y()).arg(monthlyValue(k))));
    }
}

PLOTMASON_TEST_MAIN(QGuiApplication, TestSampling)
#include "tst_sampling.moc"
