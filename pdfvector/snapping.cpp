#include "pdfvector/pathgeometry.h"
#include "pdfvector/pathpicking.h"

#include <cmath>
#include <vector>

namespace {

// Crossings are looked for among this many straight segments near the pixel at
// most, which keeps a mouse move cheap even on a dense page.
constexpr size_t maximumNearSegments = 256;

struct Candidate
{
    QPointF point;
    double distance = 0.0;
};

void consider(const QPointF &point, const QPointF &pixel, std::optional<Candidate> *best)
{
    const double distance = std::hypot(point.x() - pixel.x(), point.y() - pixel.y());
    if (!*best || distance < (*best)->distance)
        *best = Candidate{point, distance};
}

// The crossing of two segments, ends included; none for parallel ones.
std::optional<QPointF> crossing(const QLineF &a, const QLineF &b)
{
    const QPointF r = a.p2() - a.p1(), s = b.p2() - b.p1();
    const double denominator = r.x() * s.y() - r.y() * s.x();
    if (std::fabs(denominator) <= 1e-12 * std::sqrt(QPointF::dotProduct(r, r) * QPointF::dotProduct(s, s)))
        return std::nullopt;
    const QPointF q = b.p1() - a.p1();
    const double t = (q.x() * s.y() - q.y() * s.x()) / denominator;
    const double u = (q.x() * r.y() - q.y() * r.x()) / denominator;
    constexpr double slack = 1e-9;
    if (t < -slack || t > 1 + slack || u < -slack || u > 1 + slack)
        return std::nullopt;
    return a.p1() + t * r;
}

} // namespace

std::optional<QPointF> snapPoint(const PageDrawing &drawing, const QPointF &pixel, double radius)
{
    std::optional<Candidate> best;
    std::vector<QLineF> near;
    for (const int index : pathsNear(drawing, pixel, radius)) {
        const DrawnPath &path = drawing.paths[index];
        if (!path.style.stroked || !nearRect(path.bounds, pixel, radius))
            continue;
        forEachSegment(path, [&](const QPointF &from, const PathNode &node) {
            for (const QPointF &end : {from, node.point}) {
                if (std::hypot(end.x() - pixel.x(), end.y() - pixel.y()) <= radius)
                    consider(end, pixel, &best);
            }
            const QLineF line(from, node.point);
            if (node.step == PathStep::LineTo && near.size() < maximumNearSegments &&
                distanceToSegment(pixel, line) <= radius)
                near.push_back(line);
        });
    }
    for (size_t i = 0; i < near.size(); ++i) {
        for (size_t j = i + 1; j < near.size(); ++j) {
            const std::optional<QPointF> point = crossing(near[i], near[j]);
            if (point && std::hypot(point->x() - pixel.x(), point->y() - pixel.y()) <= radius)
                consider(*point, pixel, &best);
        }
    }
    if (!best)
        return std::nullopt;
    return best->point;
}
