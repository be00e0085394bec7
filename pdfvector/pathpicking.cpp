#include "pdfvector/pathpicking.h"

#include "pdfvector/pathgeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Pieces a Bézier is cut into for measuring distances to it.
constexpr int curvePieces = 16;
// Markers are at most a quarter inch across.
constexpr double largestMarkerPoints = 18.0;

double pixelsPerPoint(const PageDrawing &drawing)
{
    const QSizeF points = framePointSize(drawing.frame);
    return points.isEmpty() ? 1.0 : drawing.frame.imageSize.width() / points.width();
}

double distanceToPath(const DrawnPath &path, const QPointF &pixel, double radius)
{
    double nearest = std::numeric_limits<double>::infinity();
    forEachSegment(path, [&](const QPointF &from, const PathNode &node) {
        if (node.step == PathStep::LineTo) {
            nearest = qMin(nearest, distanceToSegment(pixel, QLineF(from, node.point)));
            return;
        }
        const QRectF hull =
            QRectF(from, node.point).normalized().united(QRectF(node.control1, node.control2).normalized());
        if (!nearRect(hull, pixel, radius))
            return;
        QPointF previous = from;
        for (int i = 1; i <= curvePieces; ++i) {
            const QPointF next = bezierPoint(from, node, double(i) / curvePieces);
            nearest = qMin(nearest, distanceToSegment(pixel, QLineF(previous, next)));
            previous = next;
        }
    });
    return nearest;
}

} // namespace

QPointF bezierPoint(const QPointF &from, const PathNode &node, double t)
{
    const double s = 1.0 - t;
    return s * s * s * from + 3 * s * s * t * node.control1 + 3 * s * t * t * node.control2 +
           t * t * t * node.point;
}

double distanceToSegment(const QPointF &point, const QLineF &segment)
{
    const QPointF d = segment.p2() - segment.p1();
    const double length2 = QPointF::dotProduct(d, d);
    double t = length2 > 0 ? QPointF::dotProduct(point - segment.p1(), d) / length2 : 0.0;
    t = qBound(0.0, t, 1.0);
    const QPointF nearest = segment.p1() + t * d;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

bool isDecoration(const DrawnPath &path, double markerSize)
{
    if (!path.style.stroked || path.nodes.size() < 2)
        return false;
    // One straight upright or level line (a grid line, an axis, a tick), or an
    // upright rectangle (a frame): all of its segments level or upright, on one line or round a box.
    bool level = true;
    bool upright = true;
    bool box = path.nodes.size() <= 5;
    QPointF from;
    for (const PathNode &node : path.nodes) {
        if (node.step == PathStep::CurveTo)
            return false;
        if (node.step == PathStep::LineTo) {
            level = level && node.point.y() == from.y();
            upright = upright && node.point.x() == from.x();
            box = box && (node.point.y() == from.y() || node.point.x() == from.x());
        } else if (&node != &path.nodes.first()) {
            box = false;
        }
        from = node.point;
    }
    // A small box is a square marker, data rather than decoration.
    const bool large = path.bounds.width() > markerSize && path.bounds.height() > markerSize;
    return level || upright || (box && large && path.nodes.size() >= 4);
}

int pathAt(const PageDrawing &drawing, const QPointF &pixel, double radius)
{
    // Data before decoration: a grid line or frame is taken only when no other path is within reach.
    int found[2] = {-1, -1};
    double nearest[2] = {radius, radius};
    const double markerSize = largestMarkerPoints * pixelsPerPoint(drawing);
    for (const int i : pathsNear(drawing, pixel, radius)) {
        const DrawnPath &path = drawing.paths[i];
        if (!nearRect(path.bounds, pixel, qMax(nearest[0], nearest[1])))
            continue;
        const int kind = isDecoration(path, markerSize) ? 1 : 0;
        if (!nearRect(path.bounds, pixel, nearest[kind]))
            continue;
        const double distance = distanceToPath(path, pixel, nearest[kind]);
        if (distance <= nearest[kind]) {
            nearest[kind] = distance;
            found[kind] = i;
        }
    }
    return found[0] >= 0 ? found[0] : found[1];
}

QList<int> curvePaths(const PageDrawing &drawing, int index)
{
    if (index < 0 || index >= drawing.paths.size())
        return {};
    if (drawing.grid) {
        const std::vector<int> &chain = drawing.grid->chains[size_t(drawing.grid->chainOf[size_t(index)])];
        return QList<int>(chain.cbegin(), chain.cend());
    }
    const std::vector<int> same = sameStylePaths(drawing, index);
    const std::vector<int> chainOf = chainsOf(drawing, same);
    const int wanted = chainOf[size_t(std::lower_bound(same.begin(), same.end(), index) - same.begin())];
    QList<int> paths;
    for (size_t k = 0; k < same.size(); ++k) {
        if (chainOf[k] == wanted)
            paths.append(same[k]);
    }
    return paths;
}

QList<int> markerPaths(const PageDrawing &drawing, int index)
{
    if (index < 0 || index >= drawing.paths.size())
        return {};
    const DrawnPath &marker = drawing.paths[index];
    if (qMax(marker.bounds.width(), marker.bounds.height()) > largestMarkerPoints * pixelsPerPoint(drawing))
        return {};
    const double tolerance = 1e3 * jointTolerance(drawing);
    QList<int> markers;
    for (const int i : sameStylePaths(drawing, index)) {
        const DrawnPath &path = drawing.paths[i];
        if (std::fabs(path.bounds.width() - marker.bounds.width()) <= tolerance &&
            std::fabs(path.bounds.height() - marker.bounds.height()) <= tolerance)
            markers.append(i);
    }
    return markers.size() > 1 ? markers : QList<int>();
}

QList<QPointF> pathVertices(const PageDrawing &drawing, const QList<int> &paths, int pointsPerCurve)
{
    const double tolerance = jointTolerance(drawing);
    QList<QPointF> vertices;
    for (int index : paths) {
        QPointF from;
        for (const PathNode &node : drawing.paths.value(index).nodes) {
            if (node.step == PathStep::CurveTo) {
                for (int i = 1; i <= pointsPerCurve; ++i)
                    vertices.append(bezierPoint(from, node, double(i) / (pointsPerCurve + 1)));
            }
            // A sub-path that starts where the last one ended continues it, and a
            // segment of no length (matplotlib ends its lines with one) adds nothing.
            if (vertices.isEmpty() || !samePoint(vertices.last(), node.point, tolerance))
                vertices.append(node.point);
            from = node.point;
        }
    }
    return vertices;
}

QList<QPointF> pathCentres(const PageDrawing &drawing, const QList<int> &paths)
{
    QList<QPointF> centres;
    for (int index : paths)
        centres.append(drawing.paths.value(index).bounds.center());
    return centres;
}

PickedCurve pickCurve(const PageDrawing &drawing, const QPointF &pixel, double radius, int pointsPerCurve)
{
    PickedCurve picked;
    const int index = pathAt(drawing, pixel, radius);
    if (index < 0)
        return picked;
    picked.paths = curvePaths(drawing, index);
    // A path joined to others is a piece of a line, however small it is.
    const QList<int> markers = picked.paths.size() == 1 ? markerPaths(drawing, index) : QList<int>();
    if (!markers.isEmpty()) {
        picked.kind = PickedCurve::Kind::Markers;
        picked.paths = markers;
        picked.points = pathCentres(drawing, markers);
    } else {
        picked.kind = PickedCurve::Kind::Curve;
        picked.points = pathVertices(drawing, picked.paths, pointsPerCurve);
    }
    return picked;
}
