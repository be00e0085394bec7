#pragma once

#include "pdfvector/pagedrawing.h"

#include <QLineF>

#include <vector>

// Geometry on drawn paths shared by picking and snapping.

// Point of the cubic Bézier from `from` through node's controls to node.point at t in 0..1.
QPointF bezierPoint(const QPointF &from, const PathNode &node, double t);

double distanceToSegment(const QPointF &point, const QLineF &segment);

// Calls visit(from, node) for every line or curve of the path, in drawn order.
template <typename Visit> void forEachSegment(const DrawnPath &path, Visit visit)
{
    QPointF from;
    for (const PathNode &node : path.nodes) {
        if (node.step != PathStep::MoveTo)
            visit(from, node);
        from = node.point;
    }
}

// The paths, ascending, whose bounds may lie within `radius` of `pixel`: those
// of the grid's cells there when the drawing has a grid, else all of them.
std::vector<int> pathsNear(const PageDrawing &drawing, const QPointF &pixel, double radius);

// True when `point` lies within `radius` of the rectangle (bounds grown by radius).
inline bool nearRect(const QRectF &rect, const QPointF &point, double radius)
{
    return point.x() >= rect.left() - radius && point.x() <= rect.right() + radius &&
           point.y() >= rect.top() - radius && point.y() <= rect.bottom() + radius;
}
