#include "extract/extraction.h"
#include "tests/extract/scenes.h"
#include "tests/support/testsupport.h"

#include <QtTest>

#include <cmath>

using namespace scenes;

namespace {

const QColor blue(20, 70, 200);
const QColor red(210, 30, 30);
const QColor grey(185, 185, 185);

// A chart, the click and what tracing from it must give.
struct TraceCase
{
    QImage image;
    Calibration calibration;
    QPointF seed;
    QPolygonF truth;    // the clicked line as drawn
    double fromX = 0.0; // the trace must reach at least from here...
    double toX = 0.0;   // ...to here, in axis units
    bool closed = false;
    QPolygonF avoid; // ink the trace must keep away from
};

QPointF on(const Calibration &calibration, double x, double y)
{
    return calibration.realToPixel(QPointF(x, y));
}

TraceCase functionCase(const Calibration &calibration, const std::function<double(double)> &f, double seedX)
{
    TraceCase c;
    c.image = blankPicture();
    c.calibration = calibration;
    c.truth = curveInPixels(
        calibration, [&](double x) { return QPointF(x, f(x)); }, 0.0, 10.0);
    c.seed = on(calibration, seedX, f(seedX)) + QPointF(0.4, -0.3);
    c.fromX = 0.15;
    c.toX = 9.85;
    return c;
}

TraceCase sineOverGrid(double rotation)
{
    const auto f = [](double x) { return std::sin(1.3 * x) + 0.1; };
    TraceCase c = functionCase(chartCalibration(rotation), f, 2.3);
    drawGrid(c.image, c.calibration, 1.0, 0.5, grey, 1.0);
    drawAxesAndFrame(c.image, c.calibration, Qt::black, 2.0);
    drawPolyline(c.image, c.truth, blue, 2.0);
    return c;
}

TraceCase buildCase(const QString &scene)
{
    const Calibration calibration = chartCalibration();
    if (scene == QLatin1String("sine over grey grid"))
        return sineOverGrid(0.0);
    if (scene == QLatin1String("rotated 3 degrees"))
        return sineOverGrid(3.0);
    if (scene == QLatin1String("black curve on black grid")) {
        TraceCase c = functionCase(
            calibration, [](double x) { return 0.8 * std::sin(0.9 * x) + 0.04 * x; }, 4.4);
        drawGrid(c.image, calibration, 1.0, 0.5, Qt::black, 1.0);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, Qt::black, 2.0);
        return c;
    }
    if (scene.startsWith(QLatin1String("crossing colours"))) {
        const auto blueCurve = [](double x) { return std::sin(0.6 * x); };
        const auto redCurve = [](double x) { return 0.9 * std::cos(0.6 * x); };
        const bool traceRed = scene.endsWith(QLatin1String("red"));
        TraceCase c =
            traceRed ? functionCase(calibration, redCurve, 7.0) : functionCase(calibration, blueCurve, 1.0);
        const TraceCase other =
            traceRed ? functionCase(calibration, blueCurve, 1.0) : functionCase(calibration, redCurve, 7.0);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, traceRed ? other.truth : c.truth, blue, 2.0);
        drawPolyline(c.image, traceRed ? c.truth : other.truth, red, 2.0);
        return c;
    }
    if (scene.startsWith(QLatin1String("same-colour X"))) {
        const double rise = scene.endsWith(QLatin1String("shallow")) ? 0.5 : 1.2;
        TraceCase c;
        c.image = blankPicture();
        c.calibration = calibration;
        c.truth = segmentInPixels(calibration, {0.0, -rise}, {10.0, rise});
        drawPolyline(c.image, c.truth, Qt::black, 2.0);
        drawPolyline(c.image, segmentInPixels(calibration, {0.0, rise}, {10.0, -rise}), Qt::black, 2.0);
        c.seed = on(calibration, 2.0, -0.6 * rise);
        c.fromX = 0.15;
        c.toX = 9.85;
        return c;
    }
    if (scene == QLatin1String("dashed line beside a decoy")) {
        TraceCase c;
        c.image = blankPicture();
        c.calibration = calibration;
        c.truth = segmentInPixels(calibration, {0.0, -0.9}, {10.0, 0.7});
        const QPointF along = c.truth.last() - c.truth.first();
        const QPointF normal = QPointF(-along.y(), along.x()) / std::hypot(along.x(), along.y());
        c.avoid = c.truth.translated(normal * 20.0);
        drawPolyline(c.image, c.avoid, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, Qt::black, 2.0, {5.0, 2.5});
        // In the middle of a dash: the pattern repeats every 15 px from the line's start.
        const QPointF unitAlong = along / std::hypot(along.x(), along.y());
        c.seed = c.truth.first() + unitAlong * (15.0 * 12 + 5.0);
        // A dash ends where the axis margin cuts it.
        c.fromX = 0.35;
        c.toX = 9.65;
        return c;
    }
    if (scene == QLatin1String("hysteresis loop")) {
        TraceCase c;
        c.image = blankPicture();
        c.calibration = calibration;
        const auto loop = [](double t) {
            return QPointF(5.0 + 4.0 * std::cos(t), 0.25 * std::sin(t) + std::tanh(1.8 * std::cos(t - 0.8)));
        };
        c.truth = curveInPixels(calibration, loop, 0.0, 2.0 * M_PI, 4000);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, red, 2.0);
        c.seed = on(calibration, loop(2.2).x(), loop(2.2).y());
        c.fromX = 1.05;
        c.toX = 8.95;
        c.closed = true;
        return c;
    }
    if (scene == QLatin1String("legend of the same colour")) {
        TraceCase c = functionCase(
            calibration, [](double x) { return 0.45 * std::sin(x) + 0.6; }, 5.0);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, blue, 2.0);
        // Legend box in the top right corner: a swatch of the curve's colour beside
        // rectangles standing for its text, 14 px above the curve's highest point.
        const QRectF box(QPointF(on(calibration, 6.6, 1.45)), QPointF(on(calibration, 9.9, 1.2)));
        QPainter painter(&c.image);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawRect(box);
        painter.fillRect(QRectF(box.left() + 60, box.top() + 12, 80, 10), Qt::black);
        painter.end();
        c.avoid = QPolygonF({box.topLeft() + QPointF(10, 17), box.topLeft() + QPointF(50, 17)});
        drawPolyline(c.image, c.avoid, blue, 2.0);
        return c;
    }
    if (scene == QLatin1String("sine tangent to grid lines")) {
        TraceCase c = functionCase(
            calibration, [](double x) { return std::sin(1.3 * x); }, 2.3);
        drawGrid(c.image, calibration, 1.0, 0.5, grey, 1.0);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, blue, 1.5);
        return c;
    }
    if (scene.startsWith(QLatin1String("polyline with markers at its corners"))) {
        TraceCase c;
        c.image = blankPicture();
        c.calibration = calibration;
        const QList<QPointF> corners = {{0.3, -1.0}, {1.5, 0.9},  {2.4, -0.6}, {3.8, 1.1}, {4.6, -1.2},
                                        {6.0, 0.4},  {6.8, -0.9}, {8.1, 1.2},  {9.7, -0.3}};
        for (QPointF corner : corners)
            c.truth.append(on(calibration, corner.x(), corner.y()));
        // Over a grid, corners sit on grid lines and just beside them.
        if (scene.endsWith(QLatin1String("over a grid")))
            drawGrid(c.image, calibration, 1.0, 0.5, grey, 1.0);
        drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
        drawPolyline(c.image, c.truth, red, 1.5);
        for (QPointF corner : c.truth)
            drawDisc(c.image, corner, 4.0, red);
        // Over the grid, 3 px beside the grid line at x = 2.
        c.seed = (c.truth[1] + c.truth[2]) / 2.0;
        c.fromX = 0.4;
        c.toX = 9.6;
        return c;
    }
    if (scene.startsWith(QLatin1String("matplotlib zigzag"))) {
        // Rendered with matplotlib's 'o-' in tab:red, 1.5 wide, markers of size 6, over a light grid.
        TraceCase c;
        // The same chart saved by ImageMagick at quality 75: another encoder's blocks and chroma.
        const bool otherEncoder = scene.contains(QLatin1String("ImageMagick"));
        c.image = QImage(QFINDTESTDATA(otherEncoder ? "data/zigzag-q75.jpg" : "data/zigzag.png"))
                      .convertToFormat(QImage::Format_RGB32);
        c.calibration = renderCalibration();
        for (QPointF corner : QList<QPointF>{{0.3, -1.0},
                                             {1.5, 0.9},
                                             {2.4, -0.6},
                                             {3.8, 1.1},
                                             {4.6, -1.2},
                                             {6.0, 0.4},
                                             {6.8, -0.9},
                                             {8.1, 1.2},
                                             {9.7, -0.3}})
            c.truth.append(on(c.calibration, corner.x(), corner.y()));
        // A click on an end marker must trace the line once, from end to end.
        if (scene.endsWith(QLatin1String("first marker")))
            c.seed = c.truth.first() + QPointF(0.7, -0.6);
        else if (scene.endsWith(QLatin1String("last marker")))
            c.seed = c.truth.last() + QPointF(0.7, -0.6);
        else if (scene.endsWith(QLatin1String("peak marker")))
            c.seed = c.truth[1] + QPointF(0.7, -0.6);
        else if (scene.endsWith(QLatin1String("peak marker, left of its centre")))
            c.seed = c.truth[1] + QPointF(-0.8, 0.2);
        else
            c.seed = (c.truth[4] + c.truth[5]) / 2.0;
        c.fromX = 0.4;
        c.toX = 9.6;
        return c;
    }
    if (scene == QLatin1String("arctan on axes crossing at the centre")) {
        TraceCase c;
        c.image = blankPicture();
        c.calibration = crossingCalibration();
        drawCrossingAxes(c.image, c.calibration);
        c.truth = curveInPixels(
            c.calibration, [](double x) { return QPointF(x, std::atan(0.3 * x)); }, -20.0, 20.0);
        drawPolyline(c.image, c.truth, blue, 2.0);
        c.seed = on(c.calibration, -12.0, std::atan(-3.6));
        c.fromX = -19.5;
        c.toX = 19.5;
        return c;
    }
    // "steep tanh step"
    TraceCase c = functionCase(
        calibration, [](double x) { return 1.2 * std::tanh(6.0 * (x - 5.0)); }, 3.0);
    drawAxesAndFrame(c.image, calibration, Qt::black, 2.0);
    drawPolyline(c.image, c.truth, Qt::black, 2.0);
    return c;
}

const char *const allScenes[] = {
    "sine over grey grid",
    "black curve on black grid",
    "crossing colours, blue",
    "crossing colours, red",
    "same-colour X",
    "same-colour X, shallow",
    "dashed line beside a decoy",
    "hysteresis loop",
    "legend of the same colour",
    "rotated 3 degrees",
    "steep tanh step",
    "sine tangent to grid lines",
    "polyline with markers at its corners",
    "polyline with markers at its corners, over a grid",
    "matplotlib zigzag with markers",
    "matplotlib zigzag clicked on its first marker",
    "matplotlib zigzag clicked on its last marker",
    "matplotlib zigzag clicked on a peak marker",
    "matplotlib zigzag clicked on a peak marker, left of its centre",
    "matplotlib zigzag from ImageMagick's JPEG",
    "matplotlib zigzag from ImageMagick's JPEG, clicked on its first marker",
    "matplotlib zigzag from ImageMagick's JPEG, clicked on its last marker",
    "arctan on axes crossing at the centre",
};

// True when consecutive points advance one way along the polyline (either way, wrapping if closed).
bool followsDrawnOrder(const QPolygonF &points, const QPolygonF &truth, bool closed)
{
    const qsizetype n = truth.size();
    int forward = 0, backward = 0;
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        qsizetype step = nearestVertex(points[i + 1], truth) - nearestVertex(points[i], truth);
        if (closed && step > n / 2)
            step -= n;
        if (closed && step < -n / 2)
            step += n;
        // Sub-pixel jitter can step back by a vertex or two; a re-sorted or folded path jumps far.
        forward += step > 5 ? 1 : 0;
        backward += step < -5 ? 1 : 0;
    }
    return forward == 0 || backward == 0;
}

} // namespace

class TestLineTracer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tracesAsDrawn_data();
    void tracesAsDrawn();
    void badInput_data();
    void badInput();
    void regionRestrictsTheTrace();
    void cancelStopsTheSearch_data();
    void cancelStopsTheSearch();
    void tracesAPickedGridLine();
};

void TestLineTracer::tracesAsDrawn_data()
{
    QTest::addColumn<QString>("scene");
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("limit");
    const std::pair<const char *, double> formats[] = {{"png", 0.35}, {"jpg75", 0.75}, {"jpg40", 1.0}};
    for (const char *scene : allScenes) {
        // A picture that is a JPEG already is traced as it is, not compressed again.
        const bool jpegAlready = QString::fromLatin1(scene).contains(QLatin1String("JPEG"));
        for (const auto &[format, limit] : formats) {
            if (!jpegAlready || format == QLatin1String("png"))
                QTest::addRow("%s, %s", scene, format)
                    << QString::fromLatin1(scene) << QString::fromLatin1(format) << limit;
        }
    }
}

void TestLineTracer::tracesAsDrawn()
{
    QFETCH(QString, scene);
    QFETCH(QString, format);
    QFETCH(double, limit);
    const TraceCase c = buildCase(scene);
    const QImage picture = throughFormat(c.image, format);

    const extract::TraceResult result = extract::traceCurve(picture, c.calibration, c.seed, {});
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    // Along the whole path, not only at its vertices: a corner cut straight is off the line between them.
    const double error = largestDistanceAlong(result.path, c.truth);
    qInfo("%s, %s: %d centres, largest error %.3f px", qPrintable(scene), qPrintable(format),
          int(result.path.size()), error);
    QVERIFY2(error <= limit, qPrintable(QStringLiteral("largest error %1 px").arg(error)));

    double lowest = 1e300, highest = -1e300;
    for (QPointF p : result.path) {
        const double x = c.calibration.pixelToReal(p).x();
        lowest = std::min(lowest, x);
        highest = std::max(highest, x);
    }
    QVERIFY2(lowest <= c.fromX && highest >= c.toX,
             qPrintable(QStringLiteral("traced from x = %1 to %2").arg(lowest).arg(highest)));
    QCOMPARE(result.closed, c.closed);
    if (c.closed)
        QCOMPARE(result.path.first(), result.path.last());
    QVERIFY(followsDrawnOrder(result.path, c.truth, c.closed));
    if (!c.avoid.isEmpty()) {
        for (QPointF p : result.path)
            QVERIFY2(distanceToPolyline(p, c.avoid) > 5.0, "took the other line");
    }
    // The sampled points are a subset of the path's shape.
    QVERIFY(result.points.size() >= 2);
    QVERIFY(largestDistance(result.points, result.path) < 1e-6);
}

void TestLineTracer::badInput_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<bool>("calibrated");
    QTest::addColumn<QPointF>("seed");
    QTest::addColumn<extract::ExtractionStatus>("status");
    const TraceCase c = buildCase(QStringLiteral("sine over grey grid"));
    QTest::newRow("empty picture") << QImage() << true << c.seed << extract::ExtractionStatus::NoPicture;
    QTest::newRow("not calibrated") << c.image << false << c.seed << extract::ExtractionStatus::NotCalibrated;
    QTest::newRow("outside the picture")
        << c.image << true << QPointF(-30, 4000) << extract::ExtractionStatus::SeedOutside;
    QTest::newRow("on the axis") << c.image << true << on(c.calibration, 5.0, -1.5)
                                 << extract::ExtractionStatus::SeedOutside;
    QTest::newRow("not a number") << c.image << true << QPointF(qQNaN(), 100)
                                  << extract::ExtractionStatus::SeedOutside;
    QTest::newRow("on background") << c.image << true << on(c.calibration, 2.5, -1.3)
                                   << extract::ExtractionStatus::SeedOnBackground;
    QImage tiny(1, 1, QImage::Format_Indexed8);
    tiny.setColorCount(1);
    tiny.setColor(0, qRgb(255, 255, 255));
    tiny.fill(0);
    QTest::newRow("one-pixel picture")
        << tiny << true << QPointF(0.5, 0.5) << extract::ExtractionStatus::SeedOutside;
}

void TestLineTracer::badInput()
{
    QFETCH(QImage, image);
    QFETCH(bool, calibrated);
    QFETCH(QPointF, seed);
    QFETCH(extract::ExtractionStatus, status);
    const Calibration calibration = calibrated ? chartCalibration() : Calibration();
    const extract::TraceResult trace = extract::traceCurve(image, calibration, seed, {});
    QCOMPARE(trace.status, status);
    QVERIFY(trace.path.isEmpty() && trace.points.isEmpty());
    const extract::MarkerResult markers = extract::findMarkers(image, calibration, seed, {});
    QCOMPARE(markers.status, status);
    QVERIFY(markers.points.isEmpty());
    QVERIFY(!extract::statusMessage(status).isEmpty());
}

void TestLineTracer::regionRestrictsTheTrace()
{
    const TraceCase c = buildCase(QStringLiteral("sine over grey grid"));
    extract::ExtractionParams params;
    const QPointF from = on(c.calibration, 1.0, -1.4);
    const QPointF to = on(c.calibration, 4.0, 1.4);
    params.region = QPolygonF(QRectF(from, to).normalized());
    const extract::TraceResult result = extract::traceCurve(c.image, c.calibration, c.seed, params);
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    for (QPointF p : result.path)
        QVERIFY(params.region.boundingRect().adjusted(-0.5, -0.5, 0.5, 0.5).contains(p));
    QVERIFY(largestDistanceAlong(result.path, c.truth) <= 0.35);
    params.region = QPolygonF(QRectF(on(c.calibration, 5.0, 0.0), QSizeF(30, 30)));
    QCOMPARE(extract::traceCurve(c.image, c.calibration, c.seed, params).status,
             extract::ExtractionStatus::SeedOutside);
}

void TestLineTracer::cancelStopsTheSearch_data()
{
    QTest::addColumn<bool>("markers");
    QTest::addColumn<int>("answersBeforeStop"); // how often the search hears "go on" first
    QTest::addColumn<extract::ExtractionStatus>("status");
    for (bool markers : {false, true}) {
        const char *search = markers ? "markers" : "trace";
        QTest::addRow("%s, stopped before it starts", search)
            << markers << 0 << extract::ExtractionStatus::Cancelled;
        QTest::addRow("%s, stopped while it runs", search)
            << markers << 1 << extract::ExtractionStatus::Cancelled;
        QTest::addRow("%s, never stopped", search) << markers << 1 << extract::ExtractionStatus::Found;
    }
}

void TestLineTracer::cancelStopsTheSearch()
{
    QFETCH(bool, markers);
    QFETCH(int, answersBeforeStop);
    QFETCH(extract::ExtractionStatus, status);
    const TraceCase c = buildCase(QStringLiteral("polyline with markers at its corners"));
    extract::ExtractionParams params;
    int asked = 0;
    const bool stops = status == extract::ExtractionStatus::Cancelled;
    params.cancelled = [&] { return ++asked > answersBeforeStop && stops; };
    if (markers) {
        const extract::MarkerResult result = extract::findMarkers(c.image, c.calibration, c.truth[3], params);
        QCOMPARE(result.status, status);
        QCOMPARE(result.points.isEmpty(), stops);
    } else {
        const extract::TraceResult result = extract::traceCurve(c.image, c.calibration, c.seed, params);
        QCOMPARE(result.status, status);
        QCOMPARE(result.path.isEmpty() && result.points.isEmpty(), stops);
    }
    // Not only before and after: the search asks while it runs.
    if (!stops)
        QVERIFY(asked > 2);
}

// Grid lines are left out of every trace but the one that starts on them.
void TestLineTracer::tracesAPickedGridLine()
{
    const TraceCase c = buildCase(QStringLiteral("black curve on black grid"));
    const QPolygonF gridLine = segmentInPixels(c.calibration, {7.0, -1.5}, {7.0, 1.5});
    const extract::TraceResult result =
        extract::traceCurve(c.image, c.calibration, on(c.calibration, 7.0, -1.25) + QPointF(0.3, 0.2), {});
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    QVERIFY(largestDistanceAlong(result.path, gridLine) <= 0.35);
    const double top = c.calibration.pixelToReal(result.path.first()).y();
    const double bottom = c.calibration.pixelToReal(result.path.last()).y();
    QVERIFY2(std::min(top, bottom) < -1.4 && std::max(top, bottom) > 1.4,
             qPrintable(QStringLiteral("from y = %1 to %2").arg(top).arg(bottom)));
}

PLOTMASON_TEST_MAIN(QGuiApplication, TestLineTracer)
#include "tst_linetracer.moc"
