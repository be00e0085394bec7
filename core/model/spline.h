#pragma once

#include <QList>
#include <QPointF>

// How a curve runs between its points.
enum class CurveSmoothing {
    Spline,          // the uniform Catmull-Rom cubic
    ShapePreserving, // a monotone piecewise cubic: no overshoot, no loops
    StraightLines,
};

// The uniform Catmull-Rom cubic from b (t = 0) to c (t = 1), shaped by the
// outer neighbours a and d; x and y are computed alike, in double precision.
QPointF catmullRomPoint(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d, double t);

// The point at t of segment `segment` (0 .. n-2) of the spline through the
// n >= 2 points, whose end points act as their own missing neighbours.
QPointF splineSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t);

// The point at t of segment `segment` of the monotone piecewise cubic through
// the points: x and y each follow a Hermite cubic over the point index whose
// tangents are zero at a local extremum and the harmonic mean of the
// neighbouring differences elsewhere, so every segment stays within the box
// of its two end points and runs one way in x where the points do.
QPointF monotoneSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t);

// The point at t of that segment as the smoothing draws it.
QPointF smoothedSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t,
                             CurveSmoothing smoothing);

// `count` samples spread evenly over the spline parameter of the whole curve,
// from the first point to the last, in the order the points are given. With
// fewer than two points, or when count does not exceed the number of points,
// the points come back unchanged.
QList<QPointF> resampleCurve(const QList<QPointF> &points, int count,
                             CurveSmoothing smoothing = CurveSmoothing::Spline);
