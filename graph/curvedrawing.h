#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

struct GraphSettings;

// How far the drawn line may stray from the smooth curve on the output, in
// millimetres, and the most pieces one segment between two points is cut into.
constexpr double curveFlatnessMm = 0.02;
constexpr int curveMaxStepsPerSegment = 256;

// The curve through the sorted points as drawn in the plot, in scene units:
// the settings' smoothing, computed in the axes' own scales (decade
// logarithms on logarithmic axes, so a straight line on log paper stays
// straight), as a polyline of samples at equal parameter steps, each segment
// cut into as few pieces as keep the line within curveFlatnessMm of the curve
// on the output (curveSegmentSteps). Points that a logarithmic axis cannot
// show are dropped before the curve is built. Samples outside the limits are
// left out: where the curve leaves the plot the line ends on the border, and
// where it comes back a new sub-path starts on the border, both found to a
// hundredth of a scene unit. Fewer than two usable points draw nothing.
QPainterPath buildCurvePath(const QList<QPointF> &sortedPoints, const GraphSettings &settings,
                            const QRectF &plot);

// The equal parameter steps in which segment `segment` (0 .. n-2) of the
// points in the axes' scales is drawn: the fewest, up to
// curveMaxStepsPerSegment, whose chords stay within curveFlatnessMm of the
// curve at the settings' DPI. The segment is a cubic in its parameter, so its
// bend is known from four samples; a straight segment takes one step however
// long it is.
int curveSegmentSteps(const QList<QPointF> &axisPoints, qsizetype segment, const GraphSettings &settings,
                      const QRectF &plot);
