#include "model/curve.h"

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
