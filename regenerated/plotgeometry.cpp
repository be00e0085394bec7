#include "regenerated/plotgeometry.h"

#include "model/calibration.h"
#include "regenerated/graphsettings.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double leftMargin = 90.0;
constexpr double topMargin = 75.0;
constexpr double rightMargin = 45.0;
constexpr double bottomMargin = 85.0;

double axisCoordinate(double value, bool logarithmic)
{
    return logarithmic ? std::log10(value) : value;
}

} // namespace

QRectF plotRectangle(const QSize &outputSize)
{
    return QRectF(leftMargin, topMargin, outputSize.width() - leftMargin - rightMargin,
                  outputSize.height() - topMargin - bottomMargin);
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

double tickValue(double minimum, double maximum, bool logarithmic, double fraction)
{
    if (!logarithmic)
        return minimum + (maximum - minimum) * fraction;
    const double low = std::log10(minimum);
    return std::pow(10.0, low + (std::log10(maximum) - low) * fraction);
}

QString tickText(double value, int decimals)
{
    // llround rounds half away from zero and has no negative zero.
    if (decimals <= 0)
        return QString::number(std::llround(value));
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.toDouble() == 0.0)
        text.remove(0, 1);
    return text;
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
