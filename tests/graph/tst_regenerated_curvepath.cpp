#include "core/model/curve.h"
#include "core/model/curvepath.h"
#include "core/model/spline.h"
#include "graph/curvedrawing.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotticks.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>

#include <algorithm>
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

// The samples of the curve in order, as buildCurvePath takes them: each
// segment in the steps that curveSegmentSteps gives it.
QList<QPointF> samples(const QList<QPointF> &points, const GraphSettings &s)
{
    QList<QPointF> all{points.first()};
    for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
        const int steps = curveSegmentSteps(points, segment, s, plot);
        for (int k = 1; k <= steps; ++k)
            all.append(smoothedSegmentPoint(points, segment, double(k) / steps, s.curveSmoothing));
    }
    return all;
}

// Distance of p from the line segment a-b.
double distanceToChord(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
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

    void twoPointsDrawAStraightLine()
    {
        const QList<QPointF> points = {{1, 2}, {9, 18}};
        const QPainterPath path = buildCurvePath(points, limits(0, 10, 0, 20), plot);
        QCOMPARE(path.elementCount(), curveSegmentSteps(points, 0, limits(0, 10, 0, 20), plot) + 1);
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
        // Drawn with straight lines, a segment is one line however long it is.
        GraphSettings straight = limits(0, 10, 0, 20);
        straight.curveSmoothing = CurveSmoothing::StraightLines;
        QCOMPARE(buildCurvePath(points, straight, plot).elementCount(), 2);
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
        const QList<QPointF> expected = samples(points, s);
        QCOMPARE(path.elementCount(), expected.size());
        QVERIFY(straightLinesOnly(path));
        const QList<QList<QPointF>> parts = pieces(path);
        QCOMPARE(parts.size(), 1);
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY(near(parts.first().at(i), mapToPlot(s, plot, expected.at(i))));
    }

    void lineStaysWithinTheFlatness_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<int>("smoothing");
        QTest::addColumn<int>("dpi");
        const QList<QPointF> wave = {{0, 10}, {1, 13}, {2, 7}, {3, 14}, {4, 6}, {5, 12}, {6, 9}};
        const QList<QPointF> step = {{0, 0}, {1, 0}, {2, 0}, {2.1, 10}, {3, 10}, {6, 10}};
        for (const int dpi : {72, 300, 1200}) {
            const QByteArray at = " at " + QByteArray::number(dpi);
            QTest::newRow("spline wave" + at) << wave << int(CurveSmoothing::Spline) << dpi;
            QTest::newRow("spline step" + at) << step << int(CurveSmoothing::Spline) << dpi;
            QTest::newRow("shape-preserving wave" + at)
                << wave << int(CurveSmoothing::ShapePreserving) << dpi;
            QTest::newRow("shape-preserving step" + at)
                << step << int(CurveSmoothing::ShapePreserving) << dpi;
        }
    }

    void lineStaysWithinTheFlatness()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(int, smoothing);
        QFETCH(int, dpi);
        GraphSettings s = limits(-1, 7, -5, 20);
        s.curveSmoothing = CurveSmoothing(smoothing);
        s.dpi = dpi;
        const QRectF output = plotRectangle(QSize(int(20 / 2.54 * dpi), int(12.5 / 2.54 * dpi)), dpi);
        const double tolerance = curveFlatnessMm * sceneUnitsPerMm(dpi);
        const auto scene = [&](const QPointF &axis) {
            return QPointF(output.left() + (axis.x() + 1) / 8.0 * output.width(),
                           output.bottom() - (axis.y() + 5) / 25.0 * output.height());
        };
        int vertices = 1;
        for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
            const int steps = curveSegmentSteps(points, segment, s, output);
            QVERIFY(steps >= 1 && steps <= curveMaxStepsPerSegment);
            vertices += steps;
            // Between two samples the curve stays within the flatness of their chord.
            for (int k = 0; k < steps; ++k) {
                const QPointF a =
                    scene(smoothedSegmentPoint(points, segment, double(k) / steps, s.curveSmoothing));
                const QPointF b =
                    scene(smoothedSegmentPoint(points, segment, double(k + 1) / steps, s.curveSmoothing));
                for (int j = 1; j < 8; ++j) {
                    const double t = (k + j / 8.0) / steps;
                    const QPointF on = scene(smoothedSegmentPoint(points, segment, t, s.curveSmoothing));
                    QVERIFY2(distanceToChord(on, a, b) <= tolerance * 1.0001,
                             qPrintable(QStringLiteral("segment %1 step %2").arg(segment).arg(k)));
                }
            }
        }
        QCOMPARE(buildCurvePath(points, s, output).elementCount(), vertices);
    }

    void denseCurveTakesFewSamples()
    {
        // 500 points along a smooth line, as a long digitized curve: about one
        // line per segment instead of 32.
        QList<QPointF> points;
        for (int i = 0; i < 500; ++i)
            points.append(QPointF(i / 50.0, 10 + 5 * std::sqrt(i / 500.0) + 2 * std::sin(i / 80.0)));
        const GraphSettings s = limits(0, 10, 0, 20);
        const QPainterPath path = buildCurvePath(points, s, plot);
        QVERIFY2(path.elementCount() < 2 * points.size(), qPrintable(QString::number(path.elementCount())));
        QCOMPARE(pieces(path).size(), 1);
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

        const QList<QPointF> all = samples(points, s);
        QList<bool> inside;
        for (const QPointF &sample : all)
            inside.append(insideAxisLimits(s, sample));
        const qsizetype firstOut = inside.indexOf(false);
        const qsizetype backIn = inside.indexOf(true, firstOut);
        QVERIFY(firstOut > 0 && backIn > firstOut);
        // The first piece is the samples inside, then the point where the curve meets the border.
        QCOMPARE(parts.at(0).size(), firstOut + 1);
        for (qsizetype i = 0; i < firstOut; ++i)
            QVERIFY(near(parts.at(0).at(i), mapToPlot(s, plot, all.at(i))));
        QVERIFY(std::abs(parts.at(0).last().y() - plot.top()) < 0.02);
        // The second starts on the border, then the samples back inside.
        QVERIFY(std::abs(parts.at(1).first().y() - plot.top()) < 0.02);
        QVERIFY(near(parts.at(1).at(1), mapToPlot(s, plot, all.at(backIn))));
        QCOMPARE(path.elementCount(), inside.count(true) + 2);
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
        const GraphSettings logY = limits(0, 3, 0.001, 100, false, true);
        const QPainterPath logPath = buildCurvePath(points, logY, plot);
        QCOMPARE(pieces(logPath).size(), 1);
        const QList<QPointF> decades = {{0, 1}, {1, -1}, {2, -1}, {3, 1}};
        const QList<QPointF> expected = samples(decades, logY);
        QCOMPARE(logPath.elementCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QPointF v = logPath.elementAt(i);
            QVERIFY(testsupport::fuzzyEqual(v.y(), plot.bottom() -
                                                       (expected.at(i).y() + 3.0) / 5.0 * plot.height()));
        }
        // The lowest point is the middle of the decades' spline, not below zero.
        const double middle = splineSegmentPoint(decades, 1, 0.5).y();
        const double expectedY = plot.bottom() - (middle + 3.0) / 5.0 * plot.height();
        double lowest = plot.top();
        for (int i = 0; i < logPath.elementCount(); ++i)
            lowest = std::max(lowest, logPath.elementAt(i).y);
        QVERIFY(lowest <= expectedY + 1e-9);
        QVERIFY(lowest > expectedY - curveFlatnessMm * sceneUnitsPerMm(300));
        // The same curve on a linear axis that reaches below zero is one piece.
        const QPainterPath linear = buildCurvePath(points, limits(0, 3, -5, 100), plot);
        QCOMPARE(pieces(linear).size(), 1);
        QCOMPARE(linear.elementCount(), samples(points, limits(0, 3, -5, 100)).size());
    }

    void logXDropsPointsBeforeTheSpline()
    {
        const GraphSettings s = limits(0.5, 20, 0, 10, true, false);
        const QPainterPath withDropped = buildCurvePath({{-1, 5}, {0, 9}, {1, 1}, {10, 2}}, s, plot);
        const QPainterPath without = buildCurvePath({{1, 1}, {10, 2}}, s, plot);
        QCOMPARE(withDropped, without);
        QVERIFY(withDropped.elementCount() >= 2);
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
            << -2.5 << 2.5 << false << 2 << 0 << QStringList{"−2.5", "0.0", "2.5"};
        QTest::newRow("no negative zero, two ticks at least")
            << -0.4 << 0.0 << false << 1 << 0 << QStringList{"−0.4", "−0.2", "0.0"};
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
        for (const PlotTick &tick : plotTicks(minimum, maximum, logarithmic, divisions, decimals).ticks)
            actual.append(tick.text);
        QCOMPARE(actual, texts);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestRegeneratedCurvePath)
#include "tst_regenerated_curvepath.moc"
