#include "extract/extraction.h"
#include "tests/extract/scenes.h"
#include "tests/support/testsupport.h"

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

} // namespace

class TestMarkerFinder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsEveryMarker_data();
    void findsEveryMarker();
    void ignoresOtherBlobs();
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

PLOTMASON_TEST_MAIN(QGuiApplication, TestMarkerFinder)
#include "tst_markerfinder.moc"
