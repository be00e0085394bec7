#include "pdfvector/pathpicking.h"

#include "pdfvector/pathgeometry.h"

#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

// Pieces a Bézier is cut into for measuring distances to it.
constexpr int curvePieces = 16;
// Markers are at most a quarter inch across.
constexpr double largestMarkerPoints = 18.0;

// Ends that meet closer than this are one joint: a millionth of the picture's diagonal.
double jointTolerance(const PageDrawing &drawing)
{
    const QSize size = drawing.frame.imageSize;
    return 1e-6 * std::hypot(double(size.width()), double(size.height()));
}

double pixelsPerPoint(const PageDrawing &drawing)
{
    const QSizeF points = framePointSize(drawing.frame);
    return points.isEmpty() ? 1.0 : drawing.frame.imageSize.width() / points.width();
}

bool samePoint(const QPointF &a, const QPointF &b, double tolerance)
{
    return std::fabs(a.x() - b.x()) <= tolerance && std::fabs(a.y() - b.y()) <= tolerance;
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

// Grid cells of the tolerance's size, so that meeting ends are found without
// comparing every pair.
using Cell = std::pair<long long, long long>;
Cell cellOf(const QPointF &point, double size)
{
    return {std::llround(point.x() / size), std::llround(point.y() / size)};
}

struct CellHash
{
    size_t operator()(const Cell &cell) const
    {
        return size_t(cell.first) * size_t(1000003) ^ size_t(cell.second);
    }
};

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
    const PathStyle &style = drawing.paths[index].style;
    const double tolerance = jointTolerance(drawing);
    // Chains of paths, each continuing where an earlier one of the style ended.
    QList<QList<int>> chains;
    std::unordered_map<Cell, int, CellHash> chainEndingIn;
    for (int i = 0; i < drawing.paths.size(); ++i) {
        const DrawnPath &path = drawing.paths[i];
        if (!(path.style == style))
            continue;
        const QPointF start = path.nodes.first().point;
        const Cell cell = cellOf(start, tolerance);
        int chain = -1;
        for (long long dx = -1; dx <= 1 && chain < 0; ++dx) {
            for (long long dy = -1; dy <= 1 && chain < 0; ++dy) {
                const auto end = chainEndingIn.find({cell.first + dx, cell.second + dy});
                if (end != chainEndingIn.end() &&
                    samePoint(drawing.paths[chains[end->second].last()].nodes.last().point, start,
                              tolerance)) {
                    chain = end->second;
                    chainEndingIn.erase(end);
                }
            }
        }
        if (chain < 0) {
            chain = int(chains.size());
            chains.append(QList<int>());
        }
        chains[chain].append(i);
        chainEndingIn[cellOf(path.nodes.last().point, tolerance)] = chain;
    }
    for (const QList<int> &chain : std::as_const(chains)) {
        if (chain.contains(index))
            return chain;
    }
    return {};
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
    for (int i = 0; i < drawing.paths.size(); ++i) {
        const DrawnPath &path = drawing.paths[i];
        if (path.style == marker.style &&
            std::fabs(path.bounds.width() - marker.bounds.width()) <= tolerance &&
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
