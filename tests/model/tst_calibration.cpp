#include "model/calibration.h"
#include "tests/support/testsupport.h"

#include <QJsonDocument>

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

} // namespace

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
        // Two pixels that differ only perpendicular to the tilted X line read the same x.
        const Calibration c = tiltedCalibration();
        const QPointF onLine = c.axisXLine.pointAt(0.3);
        const QPointF d = c.axisXLine.p2() - c.axisXLine.p1();
        const QPointF normal(-d.y(), d.x());
        const QPointF offLine = onLine + normal * 0.5;
        QVERIFY(testsupport::fuzzyEqual(c.pixelToReal(onLine).x(), c.pixelToReal(offLine).x()));
        QVERIFY(testsupport::fuzzyEqual(c.pixelToReal(onLine).x(), -3 + 0.3 * 10));
        QVERIFY(!testsupport::fuzzyEqual(c.pixelToReal(onLine).y(), c.pixelToReal(offLine).y()));
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
        QCOMPARE(json.keys(), (QStringList{"axisXLine", "axisXValid", "axisYLine", "axisYValid", "xValue1",
                                           "xValue2", "yValue1", "yValue2"}));
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
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCalibration)
#include "tst_calibration.moc"
