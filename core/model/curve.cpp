#include "core/model/curve.h"

#include <algorithm>

double clampedLineWidth(double width)
{
    if (width > maximumLineWidth)
        return maximumLineWidth;
    if (!(width > minimumLineWidth)) // also catches NaN
        return minimumLineWidth;
    return width;
}

QColor defaultCurveColor()
{
    return QColor::fromString(u"#d32f2f");
}

Curve makeCurve(const QString &name)
{
    Curve curve;
    curve.name = name;
    return curve;
}

QList<QColor> curvePalette()
{
    static const QList<QColor> palette = [] {
        QList<QColor> colors;
        for (const char16_t *name : {u"#d32f2f", u"#1565c0", u"#2e9d3a", u"#ef8a00", u"#7b1fa2", u"#00a3b4",
                                     u"#795548", u"#e040a0", u"#546e7a", u"#9e9d24"})
            colors.append(QColor::fromString(QStringView(name)));
        return colors;
    }();
    return palette;
}

QColor nextCurveColor(const QList<Curve> &curves)
{
    const QList<QColor> palette = curvePalette();
    for (const QColor &color : palette) {
        const bool used = std::any_of(curves.cbegin(), curves.cend(),
                                      [&](const Curve &curve) { return curve.color == color; });
        if (!used)
            return color;
    }
    return palette.at(int(curves.size() % palette.size()));
}

QString curveLegendEntry(const Curve &curve)
{
    if (curve.parameterValue.trimmed().isEmpty())
        return curve.name;
    if (curve.parameterName.trimmed().isEmpty())
        return curve.parameterValue;
    return curve.parameterName + QStringLiteral(" = ") + curve.parameterValue;
}

QList<QPointF> curvePixels(const Curve &curve)
{
    QList<QPointF> pixels;
    pixels.reserve(curve.points.size());
    for (const CurvePoint &point : curve.points)
        pixels.append(point.pixel);
    return pixels;
}
