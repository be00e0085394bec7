#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

struct Curve;
struct GraphSettings;

// Steps of the spline parameter per segment when a curve is drawn.
constexpr int curveStepsPerSegment = 32;

// The real coordinates of the curve's points by increasing x, so points
// clicked in any order draw the same curve. Points of equal x may come in
// any order.
QList<QPointF> sortedRealPoints(const Curve &curve);

// The curve through the sorted points as drawn in the plot, in scene units:
// the settings' smoothing sampled 32 times per segment in the axes' own
// scales (decade logarithms on logarithmic axes, so a straight line on log
// paper stays straight). Points that a logarithmic axis cannot show are
// dropped before the curve is built. Samples outside the limits are left out,
// and the line resumes as a new sub-path at the next sample inside; no point
// on the border is computed. Fewer than two usable points draw nothing.
QPainterPath buildCurvePath(const QList<QPointF> &sortedPoints, const GraphSettings &settings,
                            const QRectF &plot);

// The points in the axes' own scales, leaving out those a logarithmic axis
// cannot show, and back.
QList<QPointF> toAxisScale(const QList<QPointF> &points, bool xLog, bool yLog);
QList<QPointF> fromAxisScale(const QList<QPointF> &points, bool xLog, bool yLog);
