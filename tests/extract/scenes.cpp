#include "tests/extract/scenes.h"

#include <QBuffer>
#include <QTransform>

#include <cmath>

namespace scenes {

namespace {

// x 0..10 from origin to xEnd, y -1.5..1.5 from origin to yEnd, turned about centre.
Calibration turnedCalibration(QPointF origin, QPointF xEnd, QPointF yEnd, QPointF centre,
                              double rotationDegrees)
{
    const QTransform turn = QTransform()
                                .translate(centre.x(), centre.y())
                                .rotate(rotationDegrees)
                                .translate(-centre.x(), -centre.y());
    Calibration calibration;
    calibration.axisXLine = turn.map(QLineF(origin, xEnd));
    calibration.axisYLine = turn.map(QLineF(origin, yEnd));
    calibration.xValue1 = 0.0;
    calibration.xValue2 = 10.0;
    calibration.yValue1 = -1.5;
    calibration.yValue2 = 1.5;
    calibration.axisXValid = true;
    calibration.axisYValid = true;
    return calibration;
}

} // namespace

Calibration chartCalibration(double rotationDegrees)
{
    return turnedCalibration({80, 520}, {720, 520}, {80, 40}, {400, 300}, rotationDegrees);
}

Calibration renderCalibration(double rotationDegrees)
{
    return turnedCalibration({64, 432}, {576, 432}, {64, 48}, {320, 240}, rotationDegrees);
}

QImage blankPicture()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

Calibration crossingCalibration()
{
    Calibration calibration;
    calibration.axisXLine = QLineF(80, 280, 720, 280);
    calibration.axisYLine = QLineF(400, 520, 400, 40);
    calibration.xValue1 = -20;
    calibration.xValue2 = 20;
    calibration.yValue1 = -1.5;
    calibration.yValue2 = 1.5;
    calibration.axisXValid = true;
    calibration.axisYValid = true;
    return calibration;
}

void drawCrossingAxes(QImage &image, const Calibration &calibration)
{
    drawPolyline(image, QPolygonF({{60, 280}, {740, 280}}), Qt::black, 1.0);
    drawPolyline(image, QPolygonF({{400, 30}, {400, 530}}), Qt::black, 1.0);
    for (int tick = -20; tick <= 20; tick += 5) {
        const QPointF at = calibration.realToPixel({double(tick), 0.0});
        drawPolyline(image, QPolygonF({at - QPointF(0, 4), at + QPointF(0, 4)}), Qt::black, 1.0);
    }
}

QPolygonF curveInPixels(const Calibration &calibration, const std::function<QPointF(double)> &real, double t0,
                        double t1, int samples)
{
    QPolygonF pixels;
    for (int i = 0; i <= samples; ++i)
        pixels.append(calibration.realToPixel(real(t0 + (t1 - t0) * i / samples)));
    return pixels;
}

QPolygonF segmentInPixels(const Calibration &calibration, QPointF from, QPointF to)
{
    return curveInPixels(
        calibration, [&](double t) { return from + (to - from) * t; }, 0.0, 1.0, 1);
}

void drawPolyline(QImage &image, const QPolygonF &pixels, const QColor &colour, double width,
                  const QList<qreal> &dashes)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    painter.setPen(pen);
    painter.drawPolyline(pixels);
}

void drawGrid(QImage &image, const Calibration &calibration, double xStep, double yStep, const QColor &colour,
              double width)
{
    for (double x = 0.0; x <= 10.0 + 1e-9; x += xStep)
        drawPolyline(image, segmentInPixels(calibration, {x, -1.5}, {x, 1.5}), colour, width);
    for (double y = -1.5; y <= 1.5 + 1e-9; y += yStep)
        drawPolyline(image, segmentInPixels(calibration, {0.0, y}, {10.0, y}), colour, width);
}

void drawAxesAndFrame(QImage &image, const Calibration &calibration, const QColor &colour, double width)
{
    const QPolygonF frame = curveInPixels(
        calibration,
        [](double t) {
            const QPointF corners[] = {{0, -1.5}, {10, -1.5}, {10, 1.5}, {0, 1.5}, {0, -1.5}};
            const int i = std::min(3, int(t));
            return corners[i] + (corners[i + 1] - corners[i]) * (t - i);
        },
        0.0, 4.0, 4);
    drawPolyline(image, frame, colour, width);
}

void drawDisc(QImage &image, QPointF centre, double radius, const QColor &colour)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
}

QImage throughFormat(const QImage &image, const QString &format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("png"))
        image.save(&buffer, "PNG");
    else
        image.save(&buffer, "JPG", format.mid(3).toInt());
    return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
}

double distanceToPolyline(QPointF point, const QPolygonF &polyline)
{
    double nearest = 1e300;
    for (qsizetype i = 0; i + 1 < polyline.size(); ++i) {
        const QPointF a = polyline[i];
        const QPointF ab = polyline[i + 1] - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t =
            length2 > 0 ? std::clamp(QPointF::dotProduct(point - a, ab) / length2, 0.0, 1.0) : 0.0;
        const QPointF offset = point - (a + ab * t);
        nearest = std::min(nearest, std::hypot(offset.x(), offset.y()));
    }
    return nearest;
}

double largestDistance(const QPolygonF &points, const QPolygonF &polyline)
{
    double largest = 0.0;
    for (QPointF point : points)
        largest = std::max(largest, distanceToPolyline(point, polyline));
    return largest;
}

double largestDistanceAlong(const QPolygonF &path, const QPolygonF &polyline)
{
    QPolygonF samples;
    for (qsizetype i = 0; i + 1 < path.size(); ++i) {
        const QPointF step = path[i + 1] - path[i];
        const int pieces = std::max(1, int(std::ceil(std::hypot(step.x(), step.y()) / 0.5)));
        for (int k = 0; k < pieces; ++k)
            samples.append(path[i] + step * (double(k) / pieces));
    }
    if (!path.isEmpty())
        samples.append(path.last());
    return largestDistance(samples, polyline);
}

qsizetype nearestVertex(QPointF point, const QPolygonF &polyline)
{
    qsizetype best = 0;
    double bestDistance = 1e300;
    for (qsizetype i = 0; i < polyline.size(); ++i) {
        const QPointF offset = point - polyline[i];
        const double d = QPointF::dotProduct(offset, offset);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace scenes
