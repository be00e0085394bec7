#include "regenerated/curvepath.h"

#include "model/curve.h"
#include "regenerated/graphsettings.h"
#include "regenerated/plotgeometry.h"
#include "regenerated/spline.h"

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

QPainterPath buildCurvePath(const QList<QPointF> &sortedPoints, const GraphSettings &settings,
                            const QRectF &plot)
{
    // Filtered first, so a dropped point is no neighbour of the others either.
    const QList<QPointF> points = toAxisScale(sortedPoints, settings.xLog, settings.yLog);
    QPainterPath path;
    if (points.size() < 2)
        return path;
    const QRectF limits(
        QPointF(axisCoordinate(settings.xMin, settings.xLog), axisCoordinate(settings.yMin, settings.yLog)),
        QPointF(axisCoordinate(settings.xMax, settings.xLog), axisCoordinate(settings.yMax, settings.yLog)));
    const double xScale = plot.width() / limits.width();
    const double yScale = plot.height() / limits.height();
    bool penDown = false;
    for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
        // A later segment's t = 0 is the previous segment's end.
        for (int k = segment == 0 ? 0 : 1; k <= curveStepsPerSegment; ++k) {
            const QPointF sample = smoothedSegmentPoint(points, segment, double(k) / curveStepsPerSegment,
                                                        settings.curveSmoothing);
            if (!(limits.left() <= sample.x() && sample.x() <= limits.right() && limits.top() <= sample.y() &&
                  sample.y() <= limits.bottom())) {
                penDown = false;
                continue;
            }
            const QPointF scenePoint(plot.left() + (sample.x() - limits.left()) * xScale,
                                     plot.bottom() - (sample.y() - limits.top()) * yScale);
            if (penDown)
                path.lineTo(scenePoint);
            else
                path.moveTo(scenePoint);
            penDown = true;
        }
    }
    return path;
}
