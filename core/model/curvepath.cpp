#include "core/model/curvepath.h"

#include "core/model/curve.h"

#include <algorithm>
#include <cmath>

QList<QPointF> sortedRealPoints(const Curve &curve)
{
    QList<QPointF> points;
    points.reserve(curve.points.size());
    for (const CurvePoint &point : curve.points)
        points.append(point.real);
    std::sort(points.begin(), points.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    return points;
}

double axisCoordinate(double value, bool logarithmic)
{
    return logarithmic ? std::log10(value) : value;
}

QList<QPointF> toAxisScale(const QList<QPointF> &points, bool xLog, bool yLog)
{
    QList<QPointF> scaled;
    scaled.reserve(points.size());
    for (const QPointF &point : points) {
        if ((xLog && point.x() <= 0.0) || (yLog && point.y() <= 0.0))
            continue;
        scaled.append(QPointF(axisCoordinate(point.x(), xLog), axisCoordinate(point.y(), yLog)));
    }
    return scaled;
}

QList<QPointF> fromAxisScale(const QList<QPointF> &points, bool xLog, bool yLog)
{
    QList<QPointF> real;
    real.reserve(points.size());
    for (const QPointF &point : points)
        real.append(QPointF(xLog ? std::pow(10.0, point.x()) : point.x(),
                            yLog ? std::pow(10.0, point.y()) : point.y()));
    return real;
}
