#pragma once

#include <QList>
#include <QPointF>

struct Curve;

// The real coordinates of the curve's points by increasing x, so points
// clicked in any order draw the same curve. Points of equal x may come in
// any order.
QList<QPointF> sortedRealPoints(const Curve &curve);

// A value on an axis' own scale: its decade logarithm on a logarithmic axis.
double axisCoordinate(double value, bool logarithmic);

// The points in the axes' own scales, leaving out those a logarithmic axis
// cannot show, and back.
QList<QPointF> toAxisScale(const QList<QPointF> &points, bool xLog, bool yLog);
QList<QPointF> fromAxisScale(const QList<QPointF> &points, bool xLog, bool yLog);
