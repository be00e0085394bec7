#include "regenerated/curvepath.h"

#include "model/curve.h"
#include "regenerated/graphsettings.h"
#include "regenerated/plotgeometry.h"
#include "regenerated/spline.h"

#include <algorithm>

QList<QPointF> sortedRealPoints(const Curve &curve)
{
    QList<QPointF> points;
    points.reserve(curve.points.size());
    for (const CurvePoint &point : curve.points)
        points.append(point.real);
    std::sort(points.begin(), points.end(), [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    return points;
}

QPainterPath buildCurvePath(const QList<QPointF> &sortedPoints, const GraphSettings &settings,
                            const QRectF &plot)
{
    // Filtered first, so a dropped point is no neighbour of the others either.
    QList<QPointF> points;
    for (const QPointF &point : sortedPoints) {
        if ((settings.xLog && point.x() <= 0.0) || (settings.yLog && point.y() <= 0.0))
            continue;
        points.append(point);
    }

    QPainterPath path;
    if (points.size() < 2)
        return path;
    bool penDown = false;
    for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
        // A later segment's t = 0 is the previous segment's end.
        for (int k = segment == 0 ? 0 : 1; k <= curveStepsPerSegment; ++k) {
            const QPointF sample = splineSegmentPoint(points, segment, double(k) / curveStepsPerSegment);
            if (!insideAxisLimits(settings, sample)) {
                penDown = false;
                continue;
            }
            const QPointF scenePoint = mapToPlot(settings, plot, sample);
            if (penDown)
                path.lineTo(scenePoint);
            else
                path.moveTo(scenePoint);
            penDown = true;
        }
    }
    return path;
}
