#pragma once

#include <QList>
#include <QPointF>

// The uniform Catmull-Rom cubic from b (t = 0) to c (t = 1), shaped by the
// outer neighbours a and d; x and y are computed alike, in double precision.
QPointF catmullRomPoint(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d, double t);

// The point at t of segment `segment` (0 .. n-2) of the spline through the
// n >= 2 points, whose end points act as their own missing neighbours.
QPointF splineSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t);

// `count` samples spread evenly over the spline parameter of the whole curve,
// from the first point to the last, in the order the points are given. With
// fewer than two points, or when count does not exceed the number of points,
// the points come back unchanged.
QList<QPointF> resampleCurve(const QList<QPointF> &points, int count);
