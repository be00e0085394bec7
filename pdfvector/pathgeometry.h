#pragma once

#include "pdfvector/pagedrawing.h"

#include <QLineF>

#include <cmath>
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

// The paths drawn in the style of path `index` (valid), ascending.
std::vector<int> sameStylePaths(const PageDrawing &drawing, int index);

// For each of `paths` (of one style, ascending), the number of its chain:
// paths joined end to end, each continuing where an earlier one ended.
std::vector<int> chainsOf(const PageDrawing &drawing, const std::vector<int> &paths);

// Ends that meet closer than this are one joint: a millionth of the picture's diagonal.
inline double jointTolerance(const PageDrawing &drawing)
{
    const QSize size = drawing.frame.imageSize;
    return 1e-6 * std::hypot(double(size.width()), double(size.height()));
}

inline bool samePoint(const QPointF &a, const QPointF &b, double tolerance)
{
    return std::fabs(a.x() - b.x()) <= tolerance && std::fabs(a.y() - b.y()) <= tolerance;
}

// True when `point` lies within `radius` of the rectangle (bounds grown by radius).
inline bool nearRect(const QRectF &rect, const QPointF &point, double radius)
{
    return point.x() >= rect.left() - radius && point.x() <= rect.right() + radius &&
           point.y() >= rect.top() - radius && point.y() <= rect.bottom() + radius;
}
