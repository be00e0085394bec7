#pragma once

#include "pdfvector/pagedrawing.h"

#include <QList>
#include <QPointF>

#include <optional>

// Questions about a read page, cheap enough to ask on every mouse move. All
// positions and distances are in picture pixels.

// True for a stroked path that is one level or upright straight line, or an
// upright rectangle larger than `markerSize` pixels: the grid lines, axes,
// ticks and frames of a chart.
bool isDecoration(const DrawnPath &path, double markerSize);

// The painted path whose outline passes nearest to `pixel`, within `radius`;
// the one drawn last among equally near ones; -1 when there is none. A
// decoration is taken only when no other path is within `radius`.
int pathAt(const PageDrawing &drawing, const QPointF &pixel, double radius);

// The paths that draw one curve with path `index`: paths of the same style
// (paint, colours, width, dashes) joined end to end, in drawing order.
QList<int> curvePaths(const PageDrawing &drawing, int index);

// Markers drawn like path `index`: small paths of the same style and size, in
// drawing order. Empty when path `index` is no marker (too large, or drawn once).
QList<int> markerPaths(const PageDrawing &drawing, int index);

// The vertices of the paths in drawn order, a joint between them or a vertex
// repeated by a segment of no length once.
// `pointsPerCurve` adds that many points along every Bézier segment before its end.
QList<QPointF> pathVertices(const PageDrawing &drawing, const QList<int> &paths, int pointsPerCurve = 0);

// The centre of each path's bounds.
QList<QPointF> pathCentres(const PageDrawing &drawing, const QList<int> &paths);

// What a click on the page imports: the curve under the pixel with its
// companions, or the centres of the markers like the one under it.
struct PickedCurve
{
    enum class Kind { Nothing, Curve, Markers };
    Kind kind = Kind::Nothing;
    QList<int> paths;
    QList<QPointF> points;
};
PickedCurve pickCurve(const PageDrawing &drawing, const QPointF &pixel, double radius,
                      int pointsPerCurve = 0);

// The end point of a drawn segment or the crossing of two drawn straight
// segments nearest to `pixel` within `radius`: where tick marks meet the axes.
std::optional<QPointF> snapPoint(const PageDrawing &drawing, const QPointF &pixel, double radius);
