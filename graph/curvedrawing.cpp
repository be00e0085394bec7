#include "graph/curvedrawing.h"

#include "core/model/curvepath.h"
#include "core/model/spline.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// The limits in the axes' own scales and how they map onto the plot.
struct PlotFrame
{
    PlotFrame(const GraphSettings &settings, const QRectF &plot)
        : limits(QPointF(axisCoordinate(settings.xMin, settings.xLog),
                         axisCoordinate(settings.yMin, settings.yLog)),
                 QPointF(axisCoordinate(settings.xMax, settings.xLog),
                         axisCoordinate(settings.yMax, settings.yLog)))
        , plot(plot)
        , xScale(plot.width() / limits.width())
        , yScale(plot.height() / limits.height())
    {}
    bool inside(const QPointF &axis) const
    {
        return limits.left() <= axis.x() && axis.x() <= limits.right() && limits.top() <= axis.y() &&
               axis.y() <= limits.bottom();
    }
    QPointF toScene(const QPointF &axis) const
    {
        return QPointF(plot.left() + (axis.x() - limits.left()) * xScale,
                       plot.bottom() - (axis.y() - limits.top()) * yScale);
    }
    QRectF limits;
    QRectF plot;
    double xScale;
    double yScale;
};

constexpr int borderBisections = 48;
constexpr double borderPrecision = 0.01; // scene units

int segmentSteps(const QList<QPointF> &points, qsizetype segment, CurveSmoothing smoothing,
                 const PlotFrame &frame, double tolerance)
{
    if (smoothing == CurveSmoothing::StraightLines)
        return 1;
    const auto at = [&](double t) {
        return frame.toScene(smoothedSegmentPoint(points, segment, t, smoothing));
    };
    const QPointF p0 = at(0.0);
    const QPointF p1 = at(1.0 / 3.0);
    const QPointF p2 = at(2.0 / 3.0);
    const QPointF p3 = at(1.0);
    // Second derivatives at t = 1/3 and 2/3, exact for a cubic; the second
    // derivative is linear in t, so its largest size is at an end.
    const QPointF d1 = 9.0 * (p0 - 2.0 * p1 + p2);
    const QPointF d2 = 9.0 * (p1 - 2.0 * p2 + p3);
    const auto length = [](const QPointF &v) { return std::hypot(v.x(), v.y()); };
    const double bend = std::max(length(2.0 * d1 - d2), length(2.0 * d2 - d1));
    // A chord over a parameter step h strays at most h^2 / 8 times that from the curve.
    const double steps = std::ceil(std::sqrt(bend / (8.0 * tolerance)));
    if (!(steps > 1.0))
        return 1;
    return steps >= curveMaxStepsPerSegment ? curveMaxStepsPerSegment : int(steps);
}

} // namespace

int curveSegmentSteps(const QList<QPointF> &axisPoints, qsizetype segment, const GraphSettings &settings,
                      const QRectF &plot)
{
    return segmentSteps(axisPoints, segment, settings.curveSmoothing, PlotFrame(settings, plot),
                        curveFlatnessMm * sceneUnitsPerMm(settings.dpi));
}

QPainterPath buildCurvePath(const QList<QPointF> &sortedPoints, const GraphSettings &settings,
                            const QRectF &plot)
{
    // Filtered first, so a dropped point is no neighbour of the others either.
    const QList<QPointF> points = toAxisScale(sortedPoints, settings.xLog, settings.yLog);
    QPainterPath path;
    if (points.size() < 2)
        return path;
    const PlotFrame frame(settings, plot);
    const CurveSmoothing smoothing = settings.curveSmoothing;
    const double tolerance = curveFlatnessMm * sceneUnitsPerMm(settings.dpi);
    // Where between an inside and an outside sample of one segment the curve
    // crosses the limits: the last parameter still inside.
    const auto border = [&](qsizetype segment, double in, double out) {
        for (int i = 0; i < borderBisections; ++i) {
            const double middle = (in + out) / 2.0;
            if (frame.inside(smoothedSegmentPoint(points, segment, middle, smoothing)))
                in = middle;
            else
                out = middle;
            const QPointF a = frame.toScene(smoothedSegmentPoint(points, segment, in, smoothing));
            const QPointF b = frame.toScene(smoothedSegmentPoint(points, segment, out, smoothing));
            if (std::abs(a.x() - b.x()) + std::abs(a.y() - b.y()) < borderPrecision)
                break;
        }
        return frame.toScene(smoothedSegmentPoint(points, segment, in, smoothing));
    };
    for (qsizetype segment = 0; segment + 1 < points.size(); ++segment) {
        const int steps = segmentSteps(points, segment, smoothing, frame, tolerance);
        double previousT = 0.0;
        bool previousInside = frame.inside(points.at(segment));
        if (segment == 0 && previousInside)
            path.moveTo(frame.toScene(points.at(0)));
        for (int k = 1; k <= steps; ++k) {
            const double t = double(k) / steps;
            const QPointF sample = smoothedSegmentPoint(points, segment, t, smoothing);
            const bool inside = frame.inside(sample);
            if (inside && !previousInside)
                path.moveTo(border(segment, t, previousT));
            else if (!inside && previousInside)
                path.lineTo(border(segment, previousT, t));
            if (inside)
                path.lineTo(frame.toScene(sample));
            previousT = t;
            previousInside = inside;
        }
    }
    return path;
}
