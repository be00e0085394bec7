#include "core/io/svgcurvewriter.h"

#include "core/io/exportsupport.h"

#include <algorithm>
#include <cmath>

namespace {

QByteArray attribute(const char *name, const QByteArray &value)
{
    return ' ' + QByteArray(name) + "=\"" + value + '"';
}

QByteArray escapedUtf8(const QString &text)
{
    return xmlEscaped(text).toUtf8();
}

// Colour, opacity and width as presentation attributes; a dot is filled, a line is not.
QByteArray paintAttributes(const Curve &curve, bool filled)
{
    const QByteArray colour = curve.color.name(QColor::HexRgb).toLatin1();
    // Not alphaF(): it is a float in Qt 6, and its noise would show in 15 digits.
    const QByteArray opacity = numberText15(curve.color.alpha() / 255.0);
    if (filled)
        return attribute("fill", colour) + attribute("fill-opacity", opacity) + attribute("stroke", "none");
    return attribute("fill", "none") + attribute("stroke", colour) + attribute("stroke-opacity", opacity) +
           attribute("stroke-width", numberText15(curve.lineWidth)) + attribute("stroke-linecap", "round") +
           attribute("stroke-linejoin", "round");
}

QByteArray curveElement(const Curve &curve, const QList<QPointF> &points)
{
    QByteArray element;
    if (points.size() == 1) {
        // A polyline of one vertex draws nothing: show the lone point as a dot
        // as wide as the line would be, but never smaller than one pixel.
        element = "<circle" + attribute("cx", numberText15(points.first().x())) +
                  attribute("cy", numberText15(points.first().y())) +
                  attribute("r", numberText15(std::max(curve.lineWidth, 1.0))) + paintAttributes(curve, true);
        element += "><title>" + escapedUtf8(curve.name) + "</title></circle>\n";
        return element;
    }
    QByteArray coordinates;
    for (const QPointF &point : points) {
        if (!coordinates.isEmpty())
            coordinates += ' ';
        coordinates += numberText15(point.x()) + ',' + numberText15(point.y());
    }
    element = "<polyline" + attribute("points", coordinates) + paintAttributes(curve, false);
    element += "><title>" + escapedUtf8(curve.name) + "</title></polyline>\n";
    return element;
}

} // namespace

bool writeCurvesSvg(const QString &path, const QList<Curve> &curves, const QSize &sourceSize, QString *error)
{
    if (sourceSize.isEmpty()) {
        if (error)
            *error = QStringLiteral("Nessuna immagine sorgente per l'esportazione SVG.");
        return false;
    }

    const QByteArray width = QByteArray::number(sourceSize.width());
    const QByteArray height = QByteArray::number(sourceSize.height());
    QByteArray data = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    data += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" + attribute("width", width) +
            attribute("height", height) + attribute("viewBox", "0 0 " + width + ' ' + height) + ">\n";
    for (const Curve &curve : curves) {
        if (!curve.visible)
            continue;
        // A NaN or infinite coordinate would make the whole points list unreadable.
        QList<QPointF> points;
        for (const CurvePoint &point : curve.points) {
            if (std::isfinite(point.pixel.x()) && std::isfinite(point.pixel.y()))
                points.append(point.pixel);
        }
        if (!points.isEmpty())
            data += curveElement(curve, points);
    }
    data += "</svg>\n";
    return saveFileContents(path, data, error);
}
