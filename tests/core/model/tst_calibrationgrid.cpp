#include "core/model/axisticks.h"
#include "core/model/calibrationgrid.h"
#include "tests/support/calibrations.h"
#include "tests/support/testsupport.h"

#include <QtMath>

#include <cmath>

namespace {

Calibration calibration(bool xLog, double x1, double x2, bool yLog, double y1, double y2,
                        const QLineF &yLine = QLineF(100, 500, 100, 100))
{
    return testsupport::calibrationOf(QLineF(100, 500, 500, 500), x1, x2, xLog, yLine, y1, y2, yLog);
}

} // namespace

Q_DECLARE_METATYPE(Calibration)

class TestCalibrationGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Exact round values, never 0.30000000000000004 or a label-worthy near miss.
    void linearTicks_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("0..0.12") << 0.0 << 0.12 << 6 << QList<double>{0, 0.02, 0.04, 0.06, 0.08, 0.1, 0.12};
        QTest::newRow("0..45") << 0.0 << 45.0 << 10 << QList<double>{0, 5, 10, 15, 20, 25, 30, 35, 40, 45};
        QTest::newRow("tenths") << 0.25 << 0.95 << 7 << QList<double>{0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
        QTest::newRow("negative") << -20.0 << -5.0 << 3 << QList<double>{-20, -15, -10, -5};
        QTest::newRow("reversed") << 100.0 << 20.0 << 4 << QList<double>{20, 40, 60, 80, 100};
        QTest::newRow("years") << 1968.0 << 2016.0 << 5 << QList<double>{1970, 1980, 1990, 2000, 2010};
        QTest::newRow("across zero") << -0.3 << 0.3 << 6 << QList<double>{-0.3, -0.2, -0.1, 0, 0.1, 0.2, 0.3};
        QTest::newRow("tiny") << 1e-12 << 5e-12 << 4 << QList<double>{1e-12, 2e-12, 3e-12, 4e-12, 5e-12};
        QTest::newRow("empty span") << 3.0 << 3.0 << 10 << QList<double>{};
        QTest::newRow("infinite") << 0.0 << qInf() << 10 << QList<double>{};
    }
    void linearTicks()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, count);
        QFETCH(QList<double>, expected);
        const QList<double> ticks = ::linearTicks(low, high, count);
        QCOMPARE(ticks.size(), expected.size());
        for (int i = 0; i < ticks.size(); ++i)
            QVERIFY2(ticks[i] == expected[i], qPrintable(QString::number(ticks[i], 'g', 17)));
    }

    void logTicks_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QList<double>>("majors");
        QTest::addColumn<int>("minors");
        QTest::newRow("0.02..20") << 0.02 << 20.0 << QList<double>{0.1, 1, 10} << 8 + 8 + 8 + 1;
        QTest::newRow("reversed 1000..1") << 1000.0 << 1.0 << QList<double>{1, 10, 100, 1000} << 24;
        QTest::newRow("inside one decade") << 2.5 << 7.5 << QList<double>{} << 5;
        QTest::newRow("24 decades, every other")
            << 1e-12 << 1e12
            << QList<double>{1e-12, 1e-10, 1e-8, 1e-6, 1e-4, 1e-2, 1, 1e2, 1e4, 1e6, 1e8, 1e10, 1e12} << 0;
        QTest::newRow("not above zero") << 0.0 << 10.0 << QList<double>{} << 0;
    }
    void logTicks()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QList<double>, majors);
        QFETCH(int, minors);
        QList<double> foundMajors;
        int foundMinors = 0;
        for (const LogTick &tick : ::logTicks(low, high)) {
            if (tick.major)
                foundMajors.append(tick.value);
            else
                ++foundMinors;
            QVERIFY(tick.value >= std::min(low, high) && tick.value <= std::max(low, high));
        }
        QCOMPARE(foundMajors, majors);
        QCOMPARE(foundMinors, minors);
    }

    void minorLogTicksAreExact()
    {
        QList<double> values;
        for (const LogTick &tick : ::logTicks(0.02, 0.1))
            values.append(tick.value);
        QCOMPARE(values, (QList<double>{0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1}));
    }

    // Every grid line reads one value along its whole length, lies in the
    // picture, and falls on the round values of its axis.
    void gridLinesReadTheirValue_data()
    {
        QTest::addColumn<Calibration>("calibration");
        QTest::addColumn<int>("majors");
        const double angle = qDegreesToRadians(10.0);
        QTest::newRow("upright") << calibration(false, 0, 10, false, 0, 20) << 8 + 12;
        QTest::newRow("years and log Y") << calibration(false, 1970, 2015, true, 1, 1000) << 15 + 3;
        QTest::newRow("leaning Y axis")
            << calibration(false, 0, 100, false, 0, 100,
                           QLineF(100, 500, 100 + 400 * std::sin(angle), 500 - 400 * std::cos(angle)))
            << -1;
    }
    void gridLinesReadTheirValue()
    {
        QFETCH(Calibration, calibration);
        QFETCH(int, majors);
        const QRectF picture(0, 0, 640, 480);
        const QList<GridLine> lines = calibrationGridLines(calibration, picture);
        QVERIFY(lines.size() > 4);
        int foundMajors = 0;
        QList<double> xValues;
        QList<double> yValues;
        for (const GridLine &grid : lines) {
            foundMajors += grid.major ? 1 : 0;
            const QRectF inside = picture.adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
            QVERIFY(inside.contains(grid.line.p1()) && inside.contains(grid.line.p2()));
            const QPointF a = calibration.pixelToReal(grid.line.p1());
            const QPointF b = calibration.pixelToReal(grid.line.p2());
            const QPointF middle = calibration.pixelToReal(grid.line.pointAt(0.5));
            const bool constantX = std::abs(a.x() - b.x()) <= 1e-9 * std::max(1.0, std::abs(a.x()));
            const bool constantY = std::abs(a.y() - b.y()) <= 1e-9 * std::max(1.0, std::abs(a.y()));
            QVERIFY2(constantX != constantY,
                     qPrintable(QStringLiteral("%1,%2 %3,%4").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y())));
            const double value = constantX ? a.x() : a.y();
            QVERIFY(std::abs((constantX ? middle.x() : middle.y()) - value) <=
                    1e-9 * std::max(1.0, std::abs(value)));
            const bool logAxis = constantX ? calibration.xLogScale : calibration.yLogScale;
            if (grid.major && logAxis) {
                const double decade = std::log10(value);
                QVERIFY2(std::abs(decade - std::round(decade)) < 1e-9, qPrintable(QString::number(value)));
            } else if (grid.major) {
                (constantX ? xValues : yValues).append(value);
            }
        }
        // Linear majors: evenly spaced by 1, 2 or 5 times a power of ten, on multiples of it.
        for (QList<double> values : {xValues, yValues}) {
            if (values.size() < 2)
                continue;
            std::sort(values.begin(), values.end());
            const double step = values[1] - values[0];
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
            QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                         std::abs(mantissa - 5) < 1e-9,
                     qPrintable(QString::number(step, 'g', 17)));
            for (double value : values)
                QVERIFY2(std::abs(value / step - std::round(value / step)) < 1e-6,
                         qPrintable(QString::number(value, 'g', 17)));
        }
        if (majors >= 0)
            QCOMPARE(foundMajors, majors);
    }

    // Axis values so close together that the step is far below their own
    // precision: the grid stays a bounded set of distinct lines.
    void extremeValuesGiveFewLines_data()
    {
        QTest::addColumn<Calibration>("calibration");
        QTest::newRow("1 and 1+1e-12") << calibration(false, 1, 1 + 1e-12, false, 0, 20);
        QTest::newRow("a million and a nano more") << calibration(false, 0, 10, false, 1e6, 1e6 + 1e-9);
        QTest::newRow("beyond 2^53") << calibration(false, 1e17, 1e17 + 64, false, 1e17, 1e17 + 16);
        QTest::newRow("whole double range") << calibration(false, -1e307, 1e307, false, 0, 1);
        QTest::newRow("log over 600 decades") << calibration(true, 1e-300, 1e300, true, 1e-300, 1e-299);
    }
    void extremeValuesGiveFewLines()
    {
        QFETCH(Calibration, calibration);
        const QList<GridLine> lines = calibrationGridLines(calibration, QRectF(0, 0, 640, 480));
        QVERIFY2(lines.size() <= 2 * 410, qPrintable(QString::number(lines.size())));
        for (int i = 1; i < lines.size(); ++i)
            QVERIFY(lines[i].line != lines[i - 1].line);
    }

    void noGridWithoutCalibration()
    {
        Calibration c = calibration(false, 0, 10, false, 0, 20);
        c.axisYValid = false;
        QVERIFY(calibrationGridLines(c, QRectF(0, 0, 640, 480)).isEmpty());
        Calibration parallel = calibration(false, 0, 10, false, 0, 20, QLineF(100, 300, 500, 300));
        QVERIFY(calibrationGridLines(parallel, QRectF(0, 0, 640, 480)).isEmpty());
        QVERIFY(calibrationGridLines(calibration(false, 0, 10, false, 0, 20), QRectF()).isEmpty());
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCalibrationGrid)
#include "tst_calibrationgrid.moc"
