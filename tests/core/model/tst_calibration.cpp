#include "core/model/calibration.h"
#include "tests/support/calibrations.h"
#include "tests/support/testsupport.h"

#include <QJsonDocument>
#include <QTransform>
#include <QtMath>

#include <cmath>

#include <limits>

namespace {

Calibration referenceCalibration()
{
    Calibration c;
    c.axisXLine = QLineF(100, 500, 500, 500);
    c.xValue1 = 0;
    c.xValue2 = 10;
    c.axisXValid = true;
    c.axisYLine = QLineF(100, 500, 100, 100);
    c.yValue1 = 0;
    c.yValue2 = 20;
    c.axisYValid = true;
    return c;
}

// Tilted, non-perpendicular axes with non-zero origins.
Calibration tiltedCalibration()
{
    Calibration c;
    c.axisXLine = QLineF(50, 400, 450, 300);
    c.xValue1 = -3;
    c.xValue2 = 7;
    c.axisXValid = true;
    c.axisYLine = QLineF(60, 420, 120, 40);
    c.yValue1 = 100;
    c.yValue2 = 250;
    c.axisYValid = true;
    return c;
}

Calibration axes(const QLineF &xLine, double x1, double x2, bool xLog, const QLineF &yLine, double y1,
                 double y2, bool yLog)
{
    return testsupport::calibrationOf(xLine, x1, x2, xLog, yLine, y1, y2, yLog);
}

// X axis (100,500)-(500,500) for 0..100 and a Y axis of the same length that
// leans 10 degrees to the right, as on a sheared scan.
Calibration leaningCalibration()
{
    const double angle = qDegreesToRadians(10.0);
    return axes(QLineF(100, 500, 500, 500), 0, 100, false,
                QLineF(100, 500, 100 + 400 * std::sin(angle), 500 - 400 * std::cos(angle)), 0, 100, false);
}

// The reading of each axis by orthogonal projection, which is right for
// perpendicular axes whatever their rotation.
QPointF projected(const Calibration &c, QPointF pixel)
{
    const auto along = [&](const QLineF &line, double v1, double v2) {
        const QPointF d = line.p2() - line.p1();
        return v1 + QPointF::dotProduct(pixel - line.p1(), d) / QPointF::dotProduct(d, d) * (v2 - v1);
    };
    return {along(c.axisXLine, c.xValue1, c.xValue2), along(c.axisYLine, c.yValue1, c.yValue2)};
}

// Each coordinate within its own absolute tolerance.
void verifyClose(QPointF actual, QPointF expected, QPointF tolerance)
{
    QVERIFY2(std::abs(actual.x() - expected.x()) <= tolerance.x() &&
                 std::abs(actual.y() - expected.y()) <= tolerance.y(),
             qPrintable(QStringLiteral("(%1, %2) instead of (%3, %4)")
                            .arg(actual.x(), 0, 'g', 15)
                            .arg(actual.y(), 0, 'g', 15)
                            .arg(expected.x(), 0, 'g', 15)
                            .arg(expected.y(), 0, 'g', 15)));
}

} // namespace

Q_DECLARE_METATYPE(Calibration)

class TestCalibration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fuzzyEquality_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("two zeros") << 0.0 << 0.0 << true;
        QTest::newRow("zero and tiny") << 0.0 << 1e-300 << false;
        QTest::newRow("one and 1+1e-13") << 1.0 << 1.0 + 1e-13 << true;
        QTest::newRow("one and 1+1e-11") << 1.0 << 1.0 + 1e-11 << false;
        QTest::newRow("5 and 5") << 5.0 << 5.0 << true;
        QTest::newRow("opposite signs") << -2.0 << 2.0 << false;
    }
    void fuzzyEquality()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(bool, equal);
        QCOMPARE(fuzzyEqual(a, b), equal);
        QCOMPARE(fuzzyEqual(b, a), equal);
    }

    void axisValidity_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<double>("value1");
        QTest::addColumn<double>("value2");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ordinary") << QLineF(0, 0, 10, 0) << 0.0 << 10.0 << true << true;
        QTest::newRow("flag not set") << QLineF(0, 0, 10, 0) << 0.0 << 10.0 << false << false;
        QTest::newRow("zero length") << QLineF(5, 5, 5, 5) << 0.0 << 10.0 << true << false;
        QTest::newRow("equal values") << QLineF(0, 0, 10, 0) << 5.0 << 5.0 << true << false;
        QTest::newRow("fuzzily equal values") << QLineF(0, 0, 10, 0) << 1.0 << 1.0 + 1e-14 << true << false;
        QTest::newRow("descending values") << QLineF(0, 0, 10, 0) << 10.0 << 0.0 << true << true;
        QTest::newRow("NaN value") << QLineF(0, 0, 10, 0) << 0.0 << nan << true << false;
        QTest::newRow("infinite value") << QLineF(0, 0, 10, 0) << -inf << 1.0 << true << false;
        QTest::newRow("NaN line") << QLineF(0, 0, nan, 0) << 0.0 << 1.0 << true << false;
    }
    void axisValidity()
    {
        QFETCH(QLineF, line);
        QFETCH(double, value1);
        QFETCH(double, value2);
        QFETCH(bool, flag);
        QFETCH(bool, valid);
        Calibration x = referenceCalibration();
        x.axisXLine = line;
        x.xValue1 = value1;
        x.xValue2 = value2;
        x.axisXValid = flag;
        QCOMPARE(x.isAxisXValid(), valid);
        QCOMPARE(x.isComplete(), valid);

        Calibration y = referenceCalibration();
        y.axisYLine = line;
        y.yValue1 = value1;
        y.yValue2 = value2;
        y.axisYValid = flag;
        QCOMPARE(y.isAxisYValid(), valid);
        QCOMPARE(y.isComplete(), valid);
    }

    void incompleteConversionsFail()
    {
        Calibration c = referenceCalibration();
        c.axisYValid = false;
        bool ok = true;
        QCOMPARE(c.pixelToReal(QPointF(300, 300), &ok), QPointF(0, 0));
        QVERIFY(!ok);
        ok = true;
        QCOMPARE(c.realToPixel(QPointF(5, 10), &ok), QPointF(0, 0));
        QVERIFY(!ok);
    }

    void conversions_data()
    {
        QTest::addColumn<QPointF>("pixel");
        QTest::addColumn<QPointF>("real");
        QTest::newRow("centre") << QPointF(300, 300) << QPointF(5, 10);
        QTest::newRow("origin") << QPointF(100, 500) << QPointF(0, 0);
        QTest::newRow("far corner") << QPointF(500, 100) << QPointF(10, 20);
        QTest::newRow("outside") << QPointF(-100, 900) << QPointF(-5, -20);
        QTest::newRow("fractional") << QPointF(100.4, 499.6) << QPointF(0.01, 0.02);
    }
    void conversions()
    {
        QFETCH(QPointF, pixel);
        QFETCH(QPointF, real);
        const Calibration c = referenceCalibration();
        bool ok = false;
        const QPointF toReal = c.pixelToReal(pixel, &ok);
        QVERIFY(ok);
        QVERIFY2(testsupport::fuzzyEqual(toReal.x(), real.x()), qPrintable(QString::number(toReal.x())));
        QVERIFY2(testsupport::fuzzyEqual(toReal.y(), real.y()), qPrintable(QString::number(toReal.y())));
        ok = false;
        const QPointF toPixel = c.realToPixel(real, &ok);
        QVERIFY(ok);
        QVERIFY(testsupport::fuzzyEqual(toPixel.x(), pixel.x()));
        QVERIFY(testsupport::fuzzyEqual(toPixel.y(), pixel.y()));
    }

    // realToPixel must undo pixelToReal on tilted axes, where the two real
    // coordinates are coupled through both lines.
    void tiltedRoundTrip_data()
    {
        QTest::addColumn<QPointF>("pixel");
        QTest::newRow("inside") << QPointF(230, 250);
        QTest::newRow("on X line") << QPointF(250, 350);
        QTest::newRow("far away") << QPointF(-4000, 9000);
        QTest::newRow("fractional") << QPointF(77.125, 301.5);
    }
    void tiltedRoundTrip()
    {
        QFETCH(QPointF, pixel);
        const Calibration c = tiltedCalibration();
        bool ok = false;
        const QPointF real = c.pixelToReal(pixel, &ok);
        QVERIFY(ok);
        const QPointF back = c.realToPixel(real, &ok);
        QVERIFY(ok);
        QVERIFY2(testsupport::fuzzyEqual(back.x(), pixel.x(), 1e-9),
                 qPrintable(QStringLiteral("%1 vs %2").arg(back.x()).arg(pixel.x())));
        QVERIFY(testsupport::fuzzyEqual(back.y(), pixel.y(), 1e-9));
    }

    void projectionIgnoresDistanceFromLine()
    {
        // With the Y axis leaning, moving along the Y axis' direction keeps x,
        // moving perpendicular to the X line does not.
        const Calibration c = tiltedCalibration();
        const QPointF onLine = c.axisXLine.pointAt(0.3);
        const QPointF alongY = onLine + (c.axisYLine.p2() - c.axisYLine.p1()) * 0.5;
        QVERIFY(testsupport::fuzzyEqual(c.pixelToReal(onLine).x(), -3 + 0.3 * 10));
        QVERIFY(testsupport::fuzzyEqual(c.pixelToReal(alongY).x(), -3 + 0.3 * 10));
        QVERIFY(testsupport::fuzzyEqual(c.pixelToReal(alongY).y(), c.pixelToReal(onLine).y() + 0.5 * 150));
    }

    // Pixels and the values they must read, on the charts people have: axes
    // that start anywhere, reversed and negative ranges, log axes, shear.
    void valuesAtBothMarks_data()
    {
        QTest::addColumn<Calibration>("calibration");
        QTest::addColumn<QPointF>("pixel");
        QTest::addColumn<QPointF>("real");
        const QLineF xLine(100, 500, 500, 500);
        const QLineF yLine(100, 500, 100, 100);
        const Calibration years = axes(xLine, 1990, 2020, false, yLine, 20, 100, false);
        QTest::newRow("years, first marks") << years << QPointF(100, 500) << QPointF(1990, 20);
        QTest::newRow("years, middle") << years << QPointF(300, 300) << QPointF(2005, 60);
        QTest::newRow("years, beyond") << years << QPointF(600, 0) << QPointF(2027.5, 120);
        const Calibration negative = axes(xLine, -20, -5, false, yLine, -1e-12, -3e-12, false);
        QTest::newRow("negative") << negative << QPointF(300, 300) << QPointF(-12.5, -2e-12);
        const Calibration reversed = axes(xLine, 50, 10, false, yLine, 2.5e6, -2.5e6, false);
        QTest::newRow("reversed") << reversed << QPointF(200, 400) << QPointF(40, 1.25e6);
        const Calibration logY = axes(xLine, 0, 10, false, yLine, 1, 1000, true);
        QTest::newRow("log Y, decade") << logY << QPointF(100, 500 - 400.0 / 3) << QPointF(0, 10);
        QTest::newRow("log Y, half way") << logY << QPointF(300, 300) << QPointF(5, std::sqrt(1000.0));
        QTest::newRow("log Y, below") << logY << QPointF(100, 900) << QPointF(0, 0.001);
        const Calibration logXReversed = axes(xLine, 1e4, 1e-2, true, yLine, 0, 1, false);
        QTest::newRow("log X reversed") << logXReversed << QPointF(100 + 400.0 / 6, 500) << QPointF(1e3, 0);
        QTest::newRow("log X reversed, end") << logXReversed << QPointF(500, 100) << QPointF(1e-2, 1);
        const Calibration logLog = axes(xLine, 0.1, 100, true, yLine, 1e-6, 1e-3, true);
        QTest::newRow("log-log") << logLog << QPointF(100 + 400.0 * 2 / 3, 500 - 400.0 / 3)
                                 << QPointF(10, 1e-5);
        const Calibration leaning = leaningCalibration();
        QTest::newRow("leaning Y, on Y axis") << leaning << leaning.axisYLine.pointAt(0.5) << QPointF(0, 50);
        QTest::newRow("leaning Y, far corner")
            << leaning << QPointF(500, 500) + (leaning.axisYLine.p2() - leaning.axisYLine.p1())
            << QPointF(100, 100);
        QTest::newRow("leaning Y, on X axis") << leaning << QPointF(250, 500) << QPointF(37.5, 0);
    }
    void valuesAtBothMarks()
    {
        QFETCH(Calibration, calibration);
        QFETCH(QPointF, pixel);
        QFETCH(QPointF, real);
        QVERIFY(calibration.isComplete());
        // Twelve digits of the value or of the axis' range, whichever is larger.
        const QPointF realTolerance(
            1e-12 * std::max(std::abs(real.x()), std::abs(calibration.xValue2 - calibration.xValue1)),
            1e-12 * std::max(std::abs(real.y()), std::abs(calibration.yValue2 - calibration.yValue1)));
        bool ok = false;
        verifyClose(calibration.pixelToReal(pixel, &ok), real, realTolerance);
        QVERIFY(ok);
        ok = false;
        verifyClose(calibration.realToPixel(real, &ok), pixel, QPointF(1e-9, 1e-9));
        QVERIFY(ok);
    }

    // Perpendicular axes, turned by any angle, read as before the oblique map.
    void perpendicularUnchanged_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::newRow("upright") << 0.0;
        QTest::newRow("scan turned 1.5 degrees") << 1.5;
        QTest::newRow("turned -7 degrees") << -7.0;
        QTest::newRow("turned 90 degrees") << 90.0;
    }
    void perpendicularUnchanged()
    {
        QFETCH(double, degrees);
        QTransform turn;
        turn.translate(300, 300).rotate(degrees).translate(-300, -300);
        const Calibration c = axes(turn.map(QLineF(100, 500, 500, 500)), -3, 7, false,
                                   turn.map(QLineF(100, 520, 100, 120)), 100, 250, false);
        for (const QPointF pixel : {QPointF(230, 250), QPointF(-4000, 9000), QPointF(77.125, 301.5)})
            verifyClose(c.pixelToReal(pixel), projected(c, pixel), QPointF(1e-9, 1e-9));
    }

    void logAxisValidity_data()
    {
        QTest::addColumn<double>("value1");
        QTest::addColumn<double>("value2");
        QTest::addColumn<bool>("valid");
        QTest::newRow("1 to 1000") << 1.0 << 1000.0 << true;
        QTest::newRow("reversed") << 1000.0 << 1e-12 << true;
        QTest::newRow("zero at first mark") << 0.0 << 1000.0 << false;
        QTest::newRow("negative at second mark") << 1.0 << -10.0 << false;
        QTest::newRow("both negative") << -1.0 << -10.0 << false;
        QTest::newRow("equal") << 10.0 << 10.0 << false;
    }
    void logAxisValidity()
    {
        QFETCH(double, value1);
        QFETCH(double, value2);
        QFETCH(bool, valid);
        Calibration c = referenceCalibration();
        c.xValue1 = c.yValue1 = value1;
        c.xValue2 = c.yValue2 = value2;
        c.xLogScale = true;
        QCOMPARE(c.isAxisXValid(), valid);
        QVERIFY(c.isAxisYValid() == !fuzzyEqual(value1, value2)); // the linear axis takes any distinct values
        c.yLogScale = true;
        QCOMPARE(c.isAxisYValid(), valid);
    }

    void logAxisRefusesValuesNotAboveZero_data()
    {
        QTest::addColumn<QPointF>("real");
        QTest::addColumn<bool>("ok");
        QTest::newRow("positive") << QPointF(5, 0.5) << true;
        QTest::newRow("zero on log Y") << QPointF(5, 0) << false;
        QTest::newRow("negative on log Y") << QPointF(5, -3) << false;
        QTest::newRow("negative on linear X") << QPointF(-5, 3) << true;
    }
    void logAxisRefusesValuesNotAboveZero()
    {
        QFETCH(QPointF, real);
        QFETCH(bool, ok);
        const Calibration c =
            axes(QLineF(100, 500, 500, 500), 0, 10, false, QLineF(100, 500, 100, 100), 0.1, 100, true);
        bool converted = !ok;
        c.realToPixel(real, &converted);
        QCOMPARE(converted, ok);
    }

    void parallelAxesCannotInvert()
    {
        Calibration c = referenceCalibration();
        c.axisYLine = QLineF(100, 300, 500, 300); // parallel to the X line
        QVERIFY(c.isComplete());
        bool ok = false;
        c.pixelToReal(QPointF(200, 200), &ok);
        QVERIFY(ok);
        QCOMPARE(c.realToPixel(QPointF(1, 1), &ok), QPointF(0, 0));
        QVERIFY(!ok);
    }

    void jsonRoundTrip()
    {
        const Calibration c = tiltedCalibration();
        const QJsonObject json = c.toJson();
        QCOMPARE(json.keys(), (QStringList{"axisXLine", "axisXValid", "axisYLine", "axisYValid", "xLogScale",
                                           "xValue1", "xValue2", "yLogScale", "yValue1", "yValue2"}));
        QCOMPARE(json.value("yLogScale"), QJsonValue(false));
        Calibration logY = c;
        logY.yLogScale = true;
        logY.yValue1 = 1;
        QCOMPARE(logY.toJson().value("yLogScale"), QJsonValue(true));
        QCOMPARE(Calibration::fromJson(logY.toJson()), logY);
        QCOMPARE(json.value("axisXLine").toObject().keys(), (QStringList{"x1", "x2", "y1", "y2"}));
        const QJsonObject reparsed = QJsonDocument::fromJson(QJsonDocument(json).toJson()).object();
        QCOMPARE(Calibration::fromJson(reparsed), c);
    }

    void jsonDefaults()
    {
        QCOMPARE(Calibration::fromJson(QJsonObject()), Calibration());
        const QJsonObject wrongTypes{
            {"xValue2", "ten"}, {"axisXValid", 1}, {"axisXLine", QJsonArray{1, 2, 3, 4}}, {"yValue1", 4.5}};
        const Calibration c = Calibration::fromJson(wrongTypes);
        QCOMPARE(c.xValue2, 1.0);
        QCOMPARE(c.axisXValid, false);
        QCOMPARE(c.axisXLine, QLineF());
        QCOMPARE(c.yValue1, 4.5);

        // A file from before logarithmic axes (no scale keys) reads as linear.
        QJsonObject old = tiltedCalibration().toJson();
        old.remove("xLogScale");
        old.remove("yLogScale");
        const Calibration fromOld = Calibration::fromJson(old);
        QVERIFY(!fromOld.xLogScale && !fromOld.yLogScale);
        QCOMPARE(fromOld, tiltedCalibration());
        QCOMPARE(Calibration::fromJson({{"xLogScale", "yes"}}).xLogScale, false);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCalibration)
#include "tst_calibration.moc"
