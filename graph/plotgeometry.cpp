#include "graph/plotgeometry.h"

#include "core/model/calibration.h"
#include "core/model/curvepath.h"
#include "graph/graphsettings.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace {

// Millimetres.
constexpr double leftMargin = 24.0;
constexpr double topMargin = 16.0;
constexpr double rightMargin = 8.0;
constexpr double bottomMargin = 19.0;
// A plot narrower than this shows nothing one could read.
constexpr double smallestPlot = 10.0;

} // namespace

double sceneUnitsPerPoint(int dpi)
{
    return dpi / 72.0;
}

double sceneUnitsPerMm(int dpi)
{
    return dpi / 25.4;
}

int textLayoutDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? int(std::lround(screen->logicalDotsPerInchY())) : 96;
}

QRectF plotRectangle(const QSize &outputSize, int dpi)
{
    const double mm = sceneUnitsPerMm(dpi);
    return QRectF(leftMargin * mm, topMargin * mm, outputSize.width() - (leftMargin + rightMargin) * mm,
                  outputSize.height() - (topMargin + bottomMargin) * mm);
}

QSizeF minimumGraphSizeCm()
{
    return QSizeF((leftMargin + rightMargin + smallestPlot) / 10.0,
                  (topMargin + bottomMargin + smallestPlot) / 10.0);
}

QPointF mapToPlot(const GraphSettings &s, const QRectF &plot, const QPointF &real)
{
    const double lx = axisCoordinate(s.xMin, s.xLog);
    const double hx = axisCoordinate(s.xMax, s.xLog);
    const double ly = axisCoordinate(s.yMin, s.yLog);
    const double hy = axisCoordinate(s.yMax, s.yLog);
    const double x = plot.left() + (axisCoordinate(real.x(), s.xLog) - lx) / (hx - lx) * plot.width();
    const double y = plot.bottom() - (axisCoordinate(real.y(), s.yLog) - ly) / (hy - ly) * plot.height();
    return QPointF(x, y);
}

bool insideAxisLimits(const GraphSettings &s, const QPointF &real)
{
    const double x = real.x();
    const double y = real.y();
    return s.xMin <= x && x <= s.xMax && s.yMin <= y && y <= s.yMax && (!s.xLog || x > 0.0) &&
           (!s.yLog || y > 0.0);
}

bool blueprintQuad(const Calibration &calibration, const GraphSettings &s, QPolygonF *quad)
{
    // The limit values themselves, also on a logarithmic axis: the source
    // picture is placed by the linear calibration.
    const QPointF corners[] = {{s.xMin, s.yMin}, {s.xMax, s.yMin}, {s.xMax, s.yMax}, {s.xMin, s.yMax}};
    QPolygonF pixels;
    for (const QPointF &corner : corners) {
        bool ok = false;
        pixels.append(calibration.realToPixel(corner, &ok));
        if (!ok)
            return false;
    }
    *quad = pixels;
    return true;
}

bool blueprintTransform(const Calibration &calibration, const GraphSettings &settings, const QRectF &plot,
                        QTransform *transform)
{
    QPolygonF pixels;
    if (!blueprintQuad(calibration, settings, &pixels))
        return false;
    // The general quadrilateral-to-quadrilateral mapping. With a linear
    // calibration the limit box always lands on a parallelogram, so the result
    // is affine up to rounding, which every exporter can represent.
    const QPolygonF corners = {plot.bottomLeft(), plot.bottomRight(), plot.topRight(), plot.topLeft()};
    return QTransform::quadToQuad(pixels, corners, *transform);
}

QImage blueprintPart(const QImage &picture, const QPolygonF &quad, QPoint *offset)
{
    const QRect box = quad.boundingRect().toAlignedRect() & picture.rect();
    if (box.isEmpty())
        return QImage();
    QImage part = picture.copy(box).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainterPath outside;
    outside.addRect(QRectF(part.rect()));
    QPainterPath inside;
    inside.addPolygon(quad.translated(-box.topLeft()));
    inside.closeSubpath();
    outside = outside.subtracted(inside);
    QPainter painter(&part);
    painter.setRenderHint(QPainter::Antialiasing);
    // DestinationOut keeps the picture where the path is not, with soft edges.
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.fillPath(outside, Qt::black);
    painter.end();
    *offset = box.topLeft();
    return part;
}
