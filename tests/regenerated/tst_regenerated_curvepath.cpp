#include "model/curve.h"
#include "regenerated/curvepath.h"
#include "regenerated/graphsettings.h"
#include "regenerated/plotgeometry.h"
#include "regenerated/plotticks.h"
#include "regenerated/spline.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>

#include <cmath>

namespace {

const QRectF plot = plotRectangle(QSize(2362, 1476), 300);

GraphSettings limits(double xMin, double xMax, double yMin, double yMax, bool xLog = false, bool yLog = false)
{
    GraphSettings s;
    s.curveSmoothing = CurveSmoothing::Spline;
    s.xMin = xMin;
    s.xMax = xMax;
    s.yMin = yMin;
    s.yMax = yMax;
    s.xLog = xLog;
    s.yLog = yLog;
    return s;
}

// The path's vertices split at every move-to.
QList<QList<QPointF>> pieces(const QPainterPath &path)
{
    QList<QList<QPointF>> result;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || result.isEmpty())
            result.append(QList<QPointF>());
        result.last().append(QPointF(e.x, e.y));
    }
    return result;
}

// Only move-to and line-to: the curve is a polyline of its samples.
bool straightLinesOnly(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (!e.isMoveTo() && !e.isLineTo())
            return false;
    }
    return path.elementCount() == 0 || path.elementAt(0).isMoveTo();
}

// The samples of the spline in order, as buildCurvePath takes them.
QList<QPointF> samples(const QList<QPointF> &points)
{
    QList<QPointF> all;
    for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
        for (int k = segment == 0 ? 0 : 1; k <= 32; ++k)
            all.append(splineSegmentPoint(points, segment, k / 32.0));
    }
    return all;
}

bool near(const QPointF &a, const QPointF &b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

Curve curveThrough(const QList<QPointF> &reals)
{
    Curve curve = makeCurve(QStringLiteral("c"));
    for (const QPointF &real : reals)
        curve.points.append(CurvePoint{QPointF(-1, -1), real, curve.name});
    return curve;
}

} // namespace

class TestRegeneratedCurvePath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plotRectangleKeepsTheMargins()
    {
        // 24 mm left, 16 top, 8 right, 19 bottom at any DPI.
        const double mm = 300 / 25.4;
        QVERIFY(testsupport::fuzzyEqual(plot.left(), 24 * mm));
        QVERIFY(testsupport::fuzzyEqual(plot.top(), 16 * mm));
        QVERIFY(testsupport::fuzzyEqual(plot.right(), 2362 - 8 * mm));
        QVERIFY(testsupport::fuzzyEqual(plot.bottom(), 1476 - 19 * mm));
        QCOMPARE(plotRectangle(QSize(567, 354), 72),
                 QRectF(68.031496062992119, 45.354330708661422, 567 - 90.708661417322844,
                        354 - 99.212598425196845));
    }

    void mapsRealToScene_data()
    {
        QTest::addColumn<bool>("xLog");
        QTest::addColumn<bool>("yLog");
        QTest::addColumn<QPointF>("real");
        QTest::addColumn<QPointF>("scene");
        // Limits x 1..1000, y 1..100 on both kinds of axis.
        const double l = plot.left(), r = plot.right(), t = plot.top(), b = plot.bottom();
        QTest::newRow("linear bottom-left") << false << false << QPointF(1, 1) << QPointF(l, b);
        QTest::newRow("linear top-right") << false << false << QPointF(1000, 100) << QPointF(r, t);
        QTest::newRow("linear middle") << false << false << QPointF(500.5, 50.5) << plot.center();
        QTest::newRow("log x decade")
            << true << false << QPointF(10, 1) << QPointF(l + plot.width() / 3.0, b);
        QTest::newRow("log y decade")
            << false << true << QPointF(1, 10) << QPointF(l, b - plot.height() / 2.0);
        QTest::newRow("log top-right") << true << true << QPointF(1000, 100) << QPointF(r, t);
    }

    void mapsRealToScene()
    {
        QFETCH(bool, xLog);
        QFETCH(bool, yLog);
        QFETCH(QPointF, real);
        QFETCH(QPointF, scene);
        const QPointF mapped = mapToPlot(limits(1, 1000, 1, 100, xLog, yLog), plot, real);
        QVERIFY2(std::abs(mapped.x() - scene.x()) < 1e-9 && std::abs(mapped.y() - scene.y()) < 1e-9,
                 qPrintable(QStringLiteral("%1, %2").arg(mapped.x()).arg(mapped.y())));
    }

    void sortsByX()
    {
        const Curve curve = curveThrough({{5, 1}, {-2, 7}, {3, 3}, {9, 0}});
        QCOMPARE(sortedRealPoints(curve), (QList<QPointF>{{-2, 7}, {3, 3}, {5, 1}, {9, 0}}));
        QVERIFY(sortedRealPoints(makeCurve(QStringLiteral("empty"))).isEmpty());
    }

    void twoPointsDrawA33VertexLine()
    {
        const QList<QPointF> points = {{1, 2}, {9, 18}};
        const QPainterPath path = buildCurvePath(points, limits(0, 10, 0, 20), plot);
        QCOMPARE(path.elementCount(), 33);
        QVERIFY(straightLinesOnly(path));
        const QList<QList<QPointF>> parts = pieces(path);
        QCOMPARE(parts.size(), 1);
        const QPointF start = mapToPlot(limits(0, 10, 0, 20), plot, points.first());
        const QPointF end = mapToPlot(limits(0, 10, 0, 20), plot, points.last());
        QVERIFY(near(parts.first().first(), start));
        QVERIFY(near(parts.first().last(), end));
        // Straight: every vertex on the line between the ends.
        for (const QPointF &v : parts.first()) {
            const double cross =
                (end.x() - start.x()) * (v.y() - start.y()) - (end.y() - start.y()) * (v.x() - start.x());
            QVERIFY(std::abs(cross) < 1e-6);
        }
    }

    void unclippedCurveIsOnePolylineOfTheSamples_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("3 points") << 3;
        QTest::newRow("5 points") << 5;
        QTest::newRow("12 points") << 12;
    }

    void unclippedCurveIsOnePolylineOfTheSamples()
    {
        QFETCH(int, count);
        QList<QPointF> points;
        for (int i = 0; i < count; ++i)
            points.append(QPointF(i, 10 + 3 * std::sin(i)));
        const GraphSettings s = limits(-1, count, 0, 20);
        const QPainterPath path = buildCurvePath(points, s, plot);
        QCOMPARE(path.elementCount(), 32 * (count - 1) + 1);
        QVERIFY(straightLinesOnly(path));
        const QList<QList<QPointF>> parts = pieces(path);
        QCOMPARE(parts.size(), 1);
        const QList<QPointF> expected = samples(points);
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY(near(parts.first().at(i), mapToPlot(s, plot, expected.at(i))));
    }

    void clickOrderDoesNotMatter()
    {
        const GraphSettings s = limits(0, 10, 0, 20);
        const Curve forward = curveThrough({{1, 3}, {4, 12}, {7, 9}, {9, 15}});
        const Curve backward = curveThrough({{9, 15}, {7, 9}, {4, 12}, {1, 3}});
        QCOMPARE(buildCurvePath(sortedRealPoints(backward), s, plot),
                 buildCurvePath(sortedRealPoints(forward), s, plot));
    }

    void leavingTheLimitsSplitsThePath()
    {
        // The middle point lies above yMax = 10: the curve leaves the plot and comes back.
        const QList<QPointF> points = {{0, 0}, {5, 14}, {10, 0}};
        const GraphSettings s = limits(0, 10, 0, 10);
        const QPainterPath path = buildCurvePath(points, s, plot);
        const QList<QList<QPointF>> parts = pieces(path);
        QCOMPARE(parts.size(), 2);

        const QList<QPointF> all = samples(points);
        QList<bool> inside;
        for (const QPointF &sample : all)
            inside.append(insideAxisLimits(s, sample));
        const qsizetype firstOut = inside.indexOf(false);
        const qsizetype backIn = inside.indexOf(true, firstOut);
        QVERIFY(firstOut > 0 && backIn > firstOut);
        // The first piece ends at the last sample inside, with no point on the border.
        QCOMPARE(parts.at(0).size(), firstOut);
        QVERIFY(near(parts.at(0).last(), mapToPlot(s, plot, all.at(firstOut - 1))));
        QVERIFY(all.at(firstOut - 1).y() < 10.0);
        QVERIFY(near(parts.at(1).first(), mapToPlot(s, plot, all.at(backIn))));
        QCOMPARE(path.elementCount(), inside.count(true));
        for (const QList<QPointF> &part : parts) {
            for (const QPointF &v : part)
                QVERIFY(v.y() >= plot.top() - 1e-9 && v.y() <= plot.bottom() + 1e-9);
        }
    }

    void allOutsideDrawsNothing()
    {
        const QPainterPath path = buildCurvePath({{20, 1}, {30, 2}}, limits(0, 10, 0, 10), plot);
        QCOMPARE(path.elementCount(), 0);
    }

    void logYInterpolatesInLogSpace()
    {
        // Catmull-Rom overshoots between the two low points: in real values y
        // would reach -1.1375 at the middle; in decades it stays above zero.
        const QList<QPointF> points = {{0, 10}, {1, 0.1}, {2, 0.1}, {3, 10}};
        QVERIFY(splineSegmentPoint(points, 1, 0.5).y() < 0);
        const QPainterPath logPath = buildCurvePath(points, limits(0, 3, 0.001, 100, false, true), plot);
        QCOMPARE(pieces(logPath).size(), 1);
        QCOMPARE(logPath.elementCount(), 97);
        const QList<QPointF> decades = {{0, 1}, {1, -1}, {2, -1}, {3, 1}};
        const double middle = splineSegmentPoint(decades, 1, 0.5).y();
        const QRectF logPlot = plot;
        const double expectedY = logPlot.bottom() - (middle + 3.0) / 5.0 * logPlot.height();
        QVERIFY(testsupport::fuzzyEqual(logPath.elementAt(48).y, expectedY));
        // The same curve on a linear axis that reaches below zero is one piece.
        const QPainterPath linear = buildCurvePath(points, limits(0, 3, -5, 100), plot);
        QCOMPARE(pieces(linear).size(), 1);
        QCOMPARE(linear.elementCount(), 97);
    }

    void logXDropsPointsBeforeTheSpline()
    {
        const GraphSettings s = limits(0.5, 20, 0, 10, true, false);
        const QPainterPath withDropped = buildCurvePath({{-1, 5}, {0, 9}, {1, 1}, {10, 2}}, s, plot);
        const QPainterPath without = buildCurvePath({{1, 1}, {10, 2}}, s, plot);
        QCOMPARE(withDropped, without);
        QCOMPARE(withDropped.elementCount(), 33);
    }

    void onePointDrawsNothing()
    {
        QCOMPARE(buildCurvePath({{5, 5}}, limits(0, 10, 0, 10), plot).elementCount(), 0);
        QCOMPARE(buildCurvePath({{-5, 5}, {5, 5}}, limits(0.1, 10, 0, 10, true), plot).elementCount(), 0);
    }

    void tickTexts_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<int>("divisions");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("0..100 by tens")
            << 0.0 << 100.0 << false << 10 << 0
            << QStringList{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
        QTest::newRow("0..1 without decimals takes the step's")
            << 0.0 << 1.0 << false << 10 << 0
            << QStringList{"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"};
        QTest::newRow("0..1 with two decimals")
            << 0.0 << 1.0 << false << 10 << 2 << QStringList{"0.00", "0.10", "0.20", "0.30", "0.40", "0.50",
                                                             "0.60", "0.70", "0.80", "0.90", "1.00"};
        QTest::newRow("log 1..1000 in three, minors unlabelled")
            << 1.0 << 1000.0 << true << 3 << 0
            << QStringList{"1", "", "", "", "",    "", "", "", "", "10", "", "", "", "",
                           "",  "", "", "", "100", "", "", "", "", "",   "", "", "", "1000"};
        QTest::newRow("ticks at round values inside the limits")
            << -2.5 << 2.5 << false << 2 << 0 << QStringList{"-2", "0", "2"};
        QTest::newRow("no negative zero, two ticks at least")
            << -0.4 << 0.0 << false << 1 << 0 << QStringList{"-0.4", "-0.2", "0.0"};
        QTest::newRow("no negative zero with decimals")
            << -0.001 << 1.0 << false << 1 << 2 << QStringList{"0.00", "1.00"};
    }

    void tickTexts()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        QFETCH(int, divisions);
        QFETCH(int, decimals);
        QFETCH(QStringList, texts);
        QStringList actual;
        for (const PlotTick &tick : plotTicks(minimum, maximum, logarithmic, divisions, decimals))
            actual.append(tick.text);
        QCOMPARE(actual, texts);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestRegeneratedCurvePath)
#include "tst_regenerated_curvepath.moc"
