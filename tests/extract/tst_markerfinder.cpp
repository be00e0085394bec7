#include "extract/extraction.h"
#include "tests/extract/scenes.h"
#include "tests/support/testsupport.h"

#include <QTransform>
#include <QtTest>

#include <cmath>

using namespace scenes;

namespace {

const QColor markerColour(30, 110, 40);
constexpr double radius = 4.5;

struct MarkerCase
{
    QImage image;
    Calibration calibration;
    QPolygonF centres; // in the order along the curve
    QPointF legend;    // the legend's sample marker, which must not be taken
};

void drawMarker(QImage &image, QPointF centre, const QString &shape)
{
    if (shape == QLatin1String("discs")) {
        drawDisc(image, centre, radius, markerColour);
        return;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)), markerColour);
}

// Markers every 40 px along a wave; some pairs touch (the second one 2r or a
// little more to the right), and a legend in the top right corner shows one more.
MarkerCase buildCase(const QString &shape, double rotation)
{
    MarkerCase c;
    c.image = blankPicture();
    c.calibration = chartCalibration(rotation);
    drawAxesAndFrame(c.image, c.calibration, Qt::black, 2.0);
    const auto atX = [&](double px) {
        const double x = (px - 80.0) / 64.0;
        return c.calibration.realToPixel(QPointF(x, 0.6 * std::sin(0.8 * x)));
    };
    for (int i = 0; i < 15; ++i) {
        const double px = 110.3 + 40.0 * i;
        c.centres.append(atX(px));
        if (i == 3 || i == 8 || i == 12) {
            const QPointF along = atX(px + 1.0) - atX(px);
            const QPointF step =
                along / std::hypot(along.x(), along.y()) * (2.0 * radius + (i == 8 ? 0.6 : 0.0));
            c.centres.append(c.centres.last() + step);
        }
    }
    for (QPointF centre : c.centres)
        drawMarker(c.image, centre, shape);
    const QRectF box(c.calibration.realToPixel({7.5, 1.45}), c.calibration.realToPixel({9.9, 1.1}));
    QPainter painter(&c.image);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawRect(box);
    painter.fillRect(QRectF(box.left() + 40, box.top() + 10, 70, 9), Qt::black);
    painter.end();
    c.legend = box.topLeft() + QPointF(20, 15);
    drawMarker(c.image, c.legend, shape);
    return c;
}

// A chart with markers at known places, the clicked one and the legend's sample.
struct MarkerScene
{
    QImage image;
    Calibration calibration;
    QPolygonF truth;
    int clicked = 0;
    QPointF clickOffset = QPointF(0.7, -0.6); // from the clicked marker's centre
    QPointF legend; // the legend's sample, which must not be taken; null without one
};

// Thin strokes standing for a word, so that no installed font is needed.
void drawWordStandIn(QImage &image, QPointF at, int letters, const QColor &colour)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < letters; ++i) {
        painter.fillRect(QRectF(at + QPointF(7.0 * i, 0), QSizeF(1.4, 9)), colour);
        painter.fillRect(QRectF(at + QPointF(7.0 * i + 3.5, 3), QSizeF(1.4, 6)), colour);
    }
}

void drawShape(QImage &image, QPointF centre, const QString &shape, const QColor &colour)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double r = 4.5;
    if (shape == QLatin1String("hollow squares")) {
        painter.setPen(QPen(colour, 1.5));
        painter.drawRect(QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)));
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (shape == QLatin1String("squares"))
        painter.drawRect(QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    else if (shape == QLatin1String("triangles"))
        painter.drawPolygon(QPolygonF({centre + QPointF(0, -1.3 * r), centre + QPointF(1.2 * r, 0.8 * r),
                                       centre + QPointF(-1.2 * r, 0.8 * r)}));
    else
        painter.drawEllipse(centre, r, r);
}

// Markers joined by their series' line over a grey grid, in a frame, with a
// framed legend (sample line, marker and a word) in the top right corner.
MarkerScene linespoints(const QString &shape, double rotation)
{
    MarkerScene s;
    s.image = blankPicture();
    s.calibration = chartCalibration(rotation);
    drawGrid(s.image, s.calibration, 1.0, 0.5, QColor(170, 170, 170), 1.0);
    drawAxesAndFrame(s.image, s.calibration, Qt::black, 1.5);
    for (int i = 1; i < 20; ++i)
        s.truth.append(s.calibration.realToPixel(QPointF(0.5 * i, 0.9 * std::sin(0.35 * i))));
    const QColor colour = shape == QLatin1String("hollow squares") ? QColor(20, 20, 20) : markerColour;
    // The model curve runs near and through the data, in the same ink.
    if (shape == QLatin1String("hollow squares"))
        drawPolyline(
            s.image,
            curveInPixels(
                s.calibration, [](double x) { return QPointF(x, 0.85 * std::sin(0.7 * x)); }, 0.0, 10.0),
            colour, 1.2);
    else
        drawPolyline(s.image, s.truth, colour, 1.5);
    for (QPointF centre : s.truth)
        drawShape(s.image, centre, shape, colour);
    const QPointF corner = s.calibration.realToPixel({7.2, 1.42});
    QPainter painter(&s.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform().translate(corner.x(), corner.y()).rotate(rotation));
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0, 0, 160, 26));
    painter.end();
    const QPointF along = (s.calibration.realToPixel({1, 0}) - s.calibration.realToPixel({0, 0})) / 64.0;
    const QPointF down(-along.y(), along.x());
    s.legend = corner + along * 25 + down * 13;
    drawPolyline(s.image, QPolygonF({s.legend - along * 15, s.legend + along * 15}), colour, 1.5);
    drawShape(s.image, s.legend, shape, colour);
    drawWordStandIn(s.image, s.legend + along * 30 - down * 4.5, 8, Qt::black);
    s.clicked = 6;
    return s;
}

// Arctan markers in all four quadrants of axes that cross in the middle, with ticks and no frame.
MarkerScene crossingAxes()
{
    MarkerScene s;
    s.image = blankPicture();
    s.calibration = crossingCalibration();
    drawCrossingAxes(s.image, s.calibration);
    for (int i = -19; i <= 19; i += 2)
        s.truth.append(s.calibration.realToPixel(QPointF(i, std::atan(0.4 * i))));
    drawPolyline(s.image,
                 curveInPixels(
                     s.calibration, [](double x) { return QPointF(x, std::atan(0.4 * x)); }, -20, 20),
                 markerColour, 1.5);
    for (QPointF centre : s.truth)
        drawShape(s.image, centre, QStringLiteral("discs"), markerColour);
    s.clicked = 15;
    return s;
}

// A grey, noisy scan: the paper is off-white and every pixel a little off.
QImage scanned(const QImage &image)
{
    QImage scan = image.convertToFormat(QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < scan.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(scan.scanLine(y));
        for (int x = 0; x < scan.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 27) - 16;
            const int grey = std::clamp(qGray(row[x]) * 225 / 255 + 15 + noise, 0, 255);
            row[x] = qRgb(grey, grey, grey);
        }
    }
    return throughFormat(scan, QStringLiteral("jpg60"));
}

MarkerScene markerScene(const QString &name)
{
    if (name == QLatin1String("axes crossing at the centre"))
        return crossingAxes();
    if (name.startsWith(QLatin1String("gnuplot"))) {
        // Both renders put the plot's frame at 10 % and 90 % of a 640 x 480 picture; the scan is
        // then turned by 2.5 degrees about the picture's centre, greyed, grained and saved as JPEG.
        const bool scan = name.contains(QLatin1String("scan"));
        MarkerScene s;
        s.image = QImage(QFINDTESTDATA(scan ? "data/tiltedscan.jpg" : "data/linespoints.png"))
                      .convertToFormat(QImage::Format_RGB32);
        const QTransform turn =
            scan ? QTransform().translate(320, 240).rotate(2.5).translate(-320, -240) : QTransform();
        s.calibration = renderCalibration(scan ? 2.5 : 0.0);
        for (int i = 1; i < 20; ++i)
            s.truth.append(
                s.calibration.realToPixel(QPointF(0.5 * i, std::round(9000 * std::sin(0.35 * i)) / 10000)));
        s.legend = turn.map(QPointF(540.5, scan ? 75.0 : 60.5));
        s.clicked = 4;
        // The square at x = 5 lies on a grid line with the model curve across it: a click inside, or on its
        // top edge.
        if (name.endsWith(QLatin1String("crosses")))
            s.clicked = 9;
        if (name.endsWith(QLatin1String("grid line"))) {
            s.clicked = 9;
            s.clickOffset = QPointF(-0.5, -3.1);
        }
        return s;
    }
    if (name == QLatin1String("hollow squares on a tilted noisy scan")) {
        MarkerScene s = linespoints(QStringLiteral("hollow squares"), 2.5);
        s.image = scanned(s.image);
        return s;
    }
    return linespoints(name.section(QLatin1Char(','), 1).trimmed(), 0.0);
}

} // namespace

class TestMarkerFinder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsEveryMarker_data();
    void findsEveryMarker();
    void ignoresOtherBlobs();
    void findsMarkersInScenes_data();
    void findsMarkersInScenes();
};

void TestMarkerFinder::findsEveryMarker_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("limit");
    QTest::addColumn<int>("clicked");
    QTest::newRow("discs, png") << "discs" << 0.0 << "png" << 0.3 << 0;
    QTest::newRow("squares, png") << "squares" << 0.0 << "png" << 0.3 << 6;
    QTest::newRow("discs rotated 3 degrees, png") << "discs" << 3.0 << "png" << 0.3 << 11;
    QTest::newRow("click on a touching pair, png") << "discs" << 0.0 << "png" << 0.3 << 10;
    QTest::newRow("discs, jpg75") << "discs" << 0.0 << "jpg75" << 0.75 << 0;
    QTest::newRow("squares, jpg40") << "squares" << 0.0 << "jpg40" << 1.0 << 2;
}

void TestMarkerFinder::findsEveryMarker()
{
    QFETCH(QString, shape);
    QFETCH(double, rotation);
    QFETCH(QString, format);
    QFETCH(double, limit);
    QFETCH(int, clicked);
    const MarkerCase c = buildCase(shape, rotation);
    const QImage picture = throughFormat(c.image, format);
    const QPointF seed = c.centres[clicked] + QPointF(1.2, -0.8);

    const extract::MarkerResult result = extract::findMarkers(picture, c.calibration, seed, {});
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    QCOMPARE(result.points.size(), c.centres.size());
    double largest = 0.0;
    for (qsizetype i = 0; i < c.centres.size(); ++i) {
        const QPointF offset = result.points[i] - c.centres[i];
        largest = std::max(largest, std::hypot(offset.x(), offset.y()));
    }
    qInfo("largest centre error %.3f px", largest);
    QVERIFY2(largest <= limit, qPrintable(QStringLiteral("largest centre error %1 px").arg(largest)));
    if (clicked != 10)
        QVERIFY(std::abs(result.markerSize.width() - 2 * radius) <= 2.0);
}

void TestMarkerFinder::ignoresOtherBlobs()
{
    // A wavy line of the markers' colour and a large block hold no marker.
    MarkerCase c = buildCase(QStringLiteral("discs"), 0.0);
    drawPolyline(
        c.image,
        curveInPixels(
            c.calibration, [](double x) { return QPointF(x, -1.1 + 0.1 * std::sin(3 * x)); }, 0.5, 9.5),
        markerColour, 2.0);
    QPainter painter(&c.image);
    painter.fillRect(QRectF(c.calibration.realToPixel({4.0, 1.3}), QSizeF(60, 20)), markerColour);
    painter.end();
    const extract::MarkerResult result = extract::findMarkers(c.image, c.calibration, c.centres[5], {});
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    QCOMPARE(result.points.size(), c.centres.size());
    QVERIFY(largestDistance(result.points, c.centres) <= 0.3);
}

void TestMarkerFinder::findsMarkersInScenes_data()
{
    QTest::addColumn<QString>("scene");
    QTest::addColumn<double>("limit");  // pixels from a drawn centre
    QTest::addColumn<double>("recall"); // the least share of drawn markers found
    QTest::newRow("linespoints, discs") << "linespoints, discs" << 1.0 << 1.0;
    QTest::newRow("linespoints, squares") << "linespoints, squares" << 1.0 << 1.0;
    QTest::newRow("linespoints, triangles") << "linespoints, triangles" << 1.0 << 1.0;
    QTest::newRow("hollow squares on a tilted noisy scan")
        << "hollow squares on a tilted noisy scan" << 2.0 << 0.95;
    QTest::newRow("axes crossing at the centre") << "axes crossing at the centre" << 1.0 << 1.0;
    QTest::newRow("gnuplot linespoints") << "gnuplot linespoints" << 1.0 << 1.0;
    QTest::newRow("gnuplot hollow squares, tilted grey scan")
        << "gnuplot hollow squares, tilted grey scan" << 2.0 << 0.95;
    QTest::newRow("gnuplot hollow squares, tilted grey scan, click inside a square the model curve crosses")
        << "gnuplot hollow squares, tilted grey scan, click inside a square the model curve crosses" << 2.0
        << 0.95;
    QTest::newRow("gnuplot hollow squares, tilted grey scan, click on the edge of a square on a grid line")
        << "gnuplot hollow squares, tilted grey scan, click on the edge of a square on a grid line" << 2.0
        << 0.95;
}

void TestMarkerFinder::findsMarkersInScenes()
{
    QFETCH(QString, scene);
    QFETCH(double, limit);
    QFETCH(double, recall);
    const MarkerScene s = markerScene(scene);
    QVERIFY(!s.image.isNull());
    const extract::MarkerResult result =
        extract::findMarkers(s.image, s.calibration, s.truth[s.clicked] + s.clickOffset, {});
    QCOMPARE(result.status, extract::ExtractionStatus::Found);
    int found = 0;
    double largest = 0.0;
    const auto nearestOf = [](QPointF p, const QPolygonF &among) {
        const QPointF offset = among[nearestVertex(p, among)] - p;
        return std::hypot(offset.x(), offset.y());
    };
    for (QPointF centre : s.truth) {
        const double error = nearestOf(centre, result.points);
        found += error <= limit ? 1 : 0;
        largest = std::max(largest, error <= limit ? error : 0.0);
    }
    qInfo("%s: %d of %d found, %d found in all, largest error %.3f px, %d left out", qPrintable(scene), found,
          int(s.truth.size()), int(result.points.size()), largest, result.leftOut);
    QVERIFY2(found >= recall * s.truth.size(), qPrintable(QStringLiteral("%1 found").arg(found)));
    // Nothing else: no strays, no legend sample.
    for (QPointF point : result.points)
        QVERIFY2(nearestOf(point, s.truth) <= limit,
                 qPrintable(QStringLiteral("a stray at %1, %2").arg(point.x()).arg(point.y())));
    if (!s.legend.isNull())
        QVERIFY(result.leftOut >= 1);
}

PLOTMASON_TEST_MAIN(QGuiApplication, TestMarkerFinder)
#include "tst_markerfinder.moc"
