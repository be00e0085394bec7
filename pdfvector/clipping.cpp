#include "pdfvector/clipping.h"

#include "pdfvector/pathgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Pieces a curve of a clipping path is flattened into.
constexpr int clipCurvePieces = 16;
// Pieces a drawn curve is cut into to find where it crosses the border.
constexpr int crossingPieces = 32;
// A point this close to the border (in pixels) is inside: a grid line drawn
// along the edge of the plot's clip stays.
constexpr double borderTolerance = 1e-3;
// Control points of cut curves stay within this many picture sizes of the clip.
constexpr double controlReach = 100.0;

bool finite(const QPointF &point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

bool finiteNode(const PathNode &node)
{
    return finite(node.point) &&
           (node.step != PathStep::CurveTo || (finite(node.control1) && finite(node.control2)));
}

QPointF clamped(const QPointF &point, const QRectF &rect)
{
    return QPointF(qBound(rect.left(), point.x(), rect.right()),
                   qBound(rect.top(), point.y(), rect.bottom()));
}

template <typename Visit> void forEachEdge(const ClipArea &area, Visit visit)
{
    for (const QPolygonF &polygon : area.polygons) {
        for (int i = 0; i < polygon.size(); ++i)
            visit(polygon[i], polygon[(i + 1) % polygon.size()]);
    }
}

bool isInside(const ClipArea &area, const QPointF &point)
{
    if (!nearRect(area.bounds, point, borderTolerance))
        return false;
    if (area.isRectangle)
        return true;
    int winding = 0;
    forEachEdge(area, [&](const QPointF &a, const QPointF &b) {
        const double side = (b.x() - a.x()) * (point.y() - a.y()) - (point.x() - a.x()) * (b.y() - a.y());
        if (a.y() <= point.y() && b.y() > point.y() && side > 0)
            ++winding;
        else if (a.y() > point.y() && b.y() <= point.y() && side < 0)
            --winding;
    });
    if (area.evenOdd ? winding % 2 != 0 : winding != 0)
        return true;
    bool onBorder = false;
    forEachEdge(area, [&](const QPointF &a, const QPointF &b) {
        onBorder = onBorder || distanceToSegment(point, QLineF(a, b)) <= borderTolerance;
    });
    return onBorder;
}

bool isInside(const ClipRegion &region, const QPointF &point)
{
    return std::all_of(region.areas.cbegin(), region.areas.cend(),
                       [&](const ClipArea &area) { return isInside(area, point); });
}

// Adds the parameters along a→b, scaled into [from, to], where it crosses an edge of the region.
// With `refine` given the crossing parameter found on the chord a→b, scaled into
// [from, to], and the edge crossed, giving the parameter to keep.
template <typename Refine>
void addCrossings(const ClipRegion &region, const QPointF &a, const QPointF &b, double from, double to,
                  std::vector<double> *crossings, Refine refine)
{
    const QPointF r = b - a;
    for (const ClipArea &area : region.areas) {
        forEachEdge(area, [&](const QPointF &c, const QPointF &d) {
            const QPointF s = d - c;
            const double denominator = r.x() * s.y() - r.y() * s.x();
            if (denominator == 0.0)
                return;
            const QPointF q = c - a;
            const double t = (q.x() * s.y() - q.y() * s.x()) / denominator;
            const double u = (q.x() * r.y() - q.y() * r.x()) / denominator;
            if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0)
                crossings->push_back(refine(from + t * (to - from), c, d));
        });
    }
}

struct Stretch
{
    double from;
    double to;
};

// The stretches of parameter inside the region between the crossings, joined where they meet.
template <typename PointAt>
std::vector<Stretch> insideStretches(const ClipRegion &region, std::vector<double> crossings, PointAt pointAt)
{
    crossings.push_back(0.0);
    crossings.push_back(1.0);
    std::sort(crossings.begin(), crossings.end());
    std::vector<Stretch> stretches;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        const double from = crossings[i], to = crossings[i + 1];
        if (to - from <= 1e-12 || !isInside(region, pointAt(0.5 * (from + to))))
            continue;
        if (!stretches.empty() && stretches.back().to == from)
            stretches.back().to = to;
        else
            stretches.push_back({from, to});
    }
    return stretches;
}

// The piece of the cubic from `from` through node between parameters t0 and t1.
PathNode bezierPiece(const QPointF &from, const PathNode &node, double t0, double t1, QPointF *start)
{
    // Derivatives at the ends give the piece's controls (one third of the span each).
    const auto derivative = [&](double t) {
        const double s = 1.0 - t;
        return 3 * s * s * (node.control1 - from) + 6 * s * t * (node.control2 - node.control1) +
               3 * t * t * (node.point - node.control2);
    };
    const double span = (t1 - t0) / 3.0;
    *start = bezierPoint(from, node, t0);
    const QPointF end = bezierPoint(from, node, t1);
    return {PathStep::CurveTo, end, *start + span * derivative(t0), end - span * derivative(t1)};
}

// Builds the clipped path: a piece that starts where the last one ended continues it.
class Pieces
{
public:
    Pieces(const QRectF &pointBox, const QRectF &controlBox)
        : m_pointBox(pointBox)
        , m_controlBox(controlBox)
    {}

    void start(const QPointF &point)
    {
        const QPointF at = clamped(point, m_pointBox);
        if (!m_open || at != m_pen)
            m_nodes.append({PathStep::MoveTo, at, {}, {}});
        m_open = true;
        m_pen = at;
    }
    void add(PathNode node)
    {
        node.point = clamped(node.point, m_pointBox);
        if (node.step == PathStep::CurveTo) {
            node.control1 = clamped(node.control1, m_controlBox);
            node.control2 = clamped(node.control2, m_controlBox);
        }
        m_nodes.append(node);
        m_pen = node.point;
    }
    void breakOff() { m_open = false; }

    // Without the MoveTos that start nothing.
    QList<PathNode> nodes() const
    {
        QList<PathNode> kept;
        for (int i = 0; i < m_nodes.size(); ++i) {
            const bool lone = m_nodes[i].step == PathStep::MoveTo &&
                              (i + 1 == m_nodes.size() || m_nodes[i + 1].step == PathStep::MoveTo);
            if (!lone)
                kept.append(m_nodes[i]);
        }
        return kept;
    }

private:
    QRectF m_pointBox;
    QRectF m_controlBox;
    QList<PathNode> m_nodes;
    bool m_open = false;
    QPointF m_pen;
};

// Left, top, right, bottom of all points and controls; QRectF would drop the
// zero-width boxes of upright lines.
struct Box
{
    double left = std::numeric_limits<double>::infinity();
    double top = left;
    double right = -left;
    double bottom = -left;

    void include(const QPointF &p)
    {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    bool inside(const QRectF &r) const
    {
        return left >= r.left() && right <= r.right() && top >= r.top() && bottom <= r.bottom();
    }
    bool meets(const QRectF &r) const
    {
        return left <= r.right() && right >= r.left() && top <= r.bottom() && bottom >= r.top();
    }
};

Box nodeBox(const QList<PathNode> &nodes)
{
    Box box;
    for (const PathNode &node : nodes) {
        box.include(node.point);
        if (node.step == PathStep::CurveTo) {
            box.include(node.control1);
            box.include(node.control2);
        }
    }
    return box;
}

bool onlyRectangles(const ClipRegion &region)
{
    return std::all_of(region.areas.cbegin(), region.areas.cend(),
                       [](const ClipArea &area) { return area.isRectangle; });
}

bool isAxisRectangle(const QPolygonF &polygon, const QRectF &bounds)
{
    QPolygonF corners = polygon;
    if (corners.size() == 5 && corners.first() == corners.last())
        corners.removeLast();
    if (corners.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        const QPointF &a = corners[i], &b = corners[(i + 1) % 4];
        const bool onCorner = (a.x() == bounds.left() || a.x() == bounds.right()) &&
                              (a.y() == bounds.top() || a.y() == bounds.bottom());
        if (!onCorner || ((a.x() == b.x()) == (a.y() == b.y())))
            return false;
    }
    return true;
}

} // namespace

ClipArea clipAreaOf(const QList<PathNode> &nodes, bool evenOdd)
{
    ClipArea area;
    area.evenOdd = evenOdd;
    QPointF from;
    for (const PathNode &node : nodes) {
        if (!finiteNode(node))
            continue;
        if (node.step == PathStep::MoveTo || area.polygons.isEmpty())
            area.polygons.append(QPolygonF());
        if (node.step == PathStep::CurveTo) {
            for (int i = 1; i < clipCurvePieces; ++i)
                area.polygons.last().append(bezierPoint(from, node, double(i) / clipCurvePieces));
        }
        area.polygons.last().append(node.point);
        from = node.point;
    }
    for (const QPolygonF &polygon : std::as_const(area.polygons))
        area.bounds |= polygon.boundingRect();
    area.isRectangle = area.polygons.size() == 1 && isAxisRectangle(area.polygons.first(), area.bounds);
    return area;
}

std::shared_ptr<const ClipRegion> intersected(const std::shared_ptr<const ClipRegion> &region,
                                              const ClipArea &area)
{
    auto cut = std::make_shared<ClipRegion>(region ? *region : ClipRegion());
    cut->bounds = region ? region->bounds.intersected(area.bounds) : area.bounds;
    for (const QPolygonF &polygon : area.polygons)
        cut->edgeCount += int(polygon.size());
    cut->areas.append(area);
    return cut;
}

QList<PathNode> clippedNodes(const QList<PathNode> &nodes, const ClipRegion &region)
{
    const QRectF pointBox =
        region.bounds.adjusted(-borderTolerance, -borderTolerance, borderTolerance, borderTolerance);
    const double reach = controlReach * qMax(region.bounds.width(), region.bounds.height());
    const QRectF controlBox = region.bounds.adjusted(-reach, -reach, reach, reach);
    const Box box = nodeBox(nodes);
    if (onlyRectangles(region) && box.inside(pointBox))
        return nodes;
    if (region.bounds.isEmpty() || !box.meets(pointBox))
        return {};
    Pieces pieces(pointBox, controlBox);
    QPointF from;
    bool fromValid = false;
    for (const PathNode &node : nodes) {
        const bool valid = finiteNode(node);
        if (node.step != PathStep::MoveTo && valid && fromValid) {
            std::vector<double> crossings;
            if (node.step == PathStep::LineTo) {
                addCrossings(region, from, node.point, 0.0, 1.0, &crossings,
                             [](double t, const QPointF &, const QPointF &) { return t; });
                const auto at = [&](double t) { return from + t * (node.point - from); };
                for (const Stretch &stretch : insideStretches(region, crossings, at)) {
                    pieces.start(at(stretch.from));
                    pieces.add({PathStep::LineTo, at(stretch.to), {}, {}});
                    if (stretch.to < 1.0)
                        pieces.breakOff();
                }
            } else {
                QPointF previous = from;
                for (int i = 1; i <= crossingPieces; ++i) {
                    const double low = double(i - 1) / crossingPieces, high = double(i) / crossingPieces;
                    const QPointF next = bezierPoint(from, node, high);
                    // The chord crosses the edge's line within the piece, so the curve does too:
                    // halving the piece finds where, to the last bit.
                    const auto onCurve = [&](double, const QPointF &c, const QPointF &d) {
                        const auto side = [&](double t) {
                            const QPointF p = bezierPoint(from, node, t) - c, e = d - c;
                            return e.x() * p.y() - e.y() * p.x();
                        };
                        double a = low, b = high;
                        const bool lowSide = side(a) > 0;
                        for (int step = 0; step < 60 && b - a > 1e-15; ++step) {
                            const double middle = 0.5 * (a + b);
                            ((side(middle) > 0) == lowSide ? a : b) = middle;
                        }
                        return 0.5 * (a + b);
                    };
                    addCrossings(region, previous, next, low, high, &crossings, onCurve);
                    previous = next;
                }
                const auto at = [&](double t) { return bezierPoint(from, node, t); };
                for (const Stretch &stretch : insideStretches(region, crossings, at)) {
                    QPointF start;
                    const PathNode piece = bezierPiece(from, node, stretch.from, stretch.to, &start);
                    pieces.start(start);
                    pieces.add(piece);
                    if (stretch.to < 1.0)
                        pieces.breakOff();
                }
            }
        } else {
            pieces.breakOff();
        }
        from = node.point;
        fromValid = valid;
    }
    return pieces.nodes();
}
