#include "axisfinding/drawnmarks.h"

#include "pdfvector/pathgeometry.h"

#include <QtMath>

#include <cmath>
#include <optional>

namespace axisfinding {

namespace {

// How far the picture's mark may be from the drawn lines it moves onto.
constexpr double reachPixels = 1.5;
// An axis line is drawn along the axis within a degree, a tick across it within ten.
const double alongCosine = std::cos(qDegreesToRadians(1.0));
const double acrossSine = std::sin(qDegreesToRadians(10.0));
// Shorter lines along the axis are tick marks of the other axis, not this one's line.
constexpr double shortestAxisLine = 20.0;

double distanceToLine(const QPointF &point, const QLineF &line)
{
    const QPointF direction = (line.p2() - line.p1()) / line.length();
    const QPointF offset = point - line.p1();
    return std::abs(offset.x() * direction.y() - offset.y() * direction.x());
}

// The straight drawn segments within reach of the mark: the nearest one along
// the axis and the nearest one across it.
struct DrawnPair
{
    std::optional<QLineF> along;
    std::optional<QLineF> across;
    double alongDistance = reachPixels;
    double acrossDistance = reachPixels;
};

DrawnPair drawnLinesAt(const PageDrawing &drawing, const QPointF &mark, const QPointF &direction)
{
    DrawnPair pair;
    for (const int index : pathsNear(drawing, mark, reachPixels)) {
        forEachSegment(drawing.paths.at(index), [&](const QPointF &from, const PathNode &node) {
            const QLineF segment(from, node.point);
            if (node.step != PathStep::LineTo || segment.length() <= 0.0)
                return;
            const double cosine =
                std::abs(QPointF::dotProduct((segment.p2() - segment.p1()) / segment.length(), direction));
            if (cosine >= alongCosine && segment.length() >= shortestAxisLine) {
                const double distance = distanceToLine(mark, segment);
                if (distance < pair.alongDistance && distanceToSegment(mark, segment) <= reachPixels) {
                    pair.alongDistance = distance;
                    pair.along = segment;
                }
            } else if (cosine <= acrossSine) {
                const double distance = distanceToLine(mark, segment);
                if (distance < pair.acrossDistance && distanceToSegment(mark, segment) <= reachPixels) {
                    pair.acrossDistance = distance;
                    pair.across = segment;
                }
            }
        });
    }
    return pair;
}

} // namespace

FoundAxis onDrawnLines(const FoundAxis &axis, const PageDrawing &drawing)
{
    if (!axis.found || axis.fit.line.length() <= 0.0)
        return axis;
    const QPointF direction = (axis.fit.line.p2() - axis.fit.line.p1()) / axis.fit.line.length();
    FoundAxis moved = axis;
    bool anyMoved = false;
    for (FoundMark &mark : moved.marks) {
        const DrawnPair drawn = drawnLinesAt(drawing, mark.pixel, direction);
        QPointF crossing;
        if (drawn.along && drawn.across &&
            drawn.along->intersects(*drawn.across, &crossing) != QLineF::NoIntersection) {
            mark.pixel = crossing;
            anyMoved = true;
        }
    }
    return anyMoved ? refitted(moved) : axis;
}

} // namespace axisfinding
