#include "extract/searchregion.h"
#include "extract/straightlines.h"

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

// Without a frame the plot may reach a little beyond the outermost marks.
double openMargin(double span)
{
    return std::max(10.0, 0.05 * span);
}

// Where a frame line may lie for a side at edge (outer = -1 for the low side, +1 for the high one):
// from a few pixels inside the mark to the edge of the frame search.
double frameSide(const std::vector<StraightLine> &lines, bool alongX, double edge, double outer, double span)
{
    constexpr double markTolerance = 4.0;
    std::optional<double> outermost;
    for (const StraightLine &line : lines) {
        if (line.alongX != alongX || (line.offset - edge) * outer < -markTolerance)
            continue;
        const double inside = line.offset - outer * (line.halfWidth + axisMargin);
        if (!outermost || (inside - *outermost) * outer > 0.0)
            outermost = inside;
    }
    return outermost ? *outermost : edge + outer * openMargin(span);
}

} // namespace

QPolygonF AxisBox::polygon(const AxisBasis &basis) const
{
    return QPolygonF({basis.point(a0, b0), basis.point(a1, b0), basis.point(a1, b1), basis.point(a0, b1)});
}

std::optional<AxisBasis> axisBasis(const Calibration &calibration)
{
    const QLineF &xAxis = calibration.axisXLine;
    const QLineF &yAxis = calibration.axisYLine;
    if (!calibration.isComplete() || xAxis.length() <= 0.0 || yAxis.length() <= 0.0)
        return std::nullopt;
    AxisBasis basis;
    basis.alongX = (xAxis.p2() - xAxis.p1()) / xAxis.length();
    basis.alongY = (yAxis.p2() - yAxis.p1()) / yAxis.length();
    basis.determinant = basis.alongX.x() * basis.alongY.y() - basis.alongX.y() * basis.alongY.x();
    if (std::abs(basis.determinant) < 0.05)
        return std::nullopt;
    return basis;
}

AxisBox markSpan(const Calibration &calibration, const AxisBasis &basis)
{
    const double xa1 = basis.a(calibration.axisXLine.p1()), xa2 = basis.a(calibration.axisXLine.p2());
    const double yb1 = basis.b(calibration.axisYLine.p1()), yb2 = basis.b(calibration.axisYLine.p2());
    return {std::min(xa1, xa2), std::max(xa1, xa2), std::min(yb1, yb2), std::max(yb1, yb2)};
}

AxisBox frameSearchBox(const AxisBox &span)
{
    return span.grown(0.15 * (span.a1 - span.a0) + 10.0, 0.15 * (span.b1 - span.b0) + 10.0);
}

AxisBox openArea(const AxisBox &span)
{
    return span.grown(openMargin(span.a1 - span.a0), openMargin(span.b1 - span.b0));
}

QPolygonF plotArea(const AxisBox &span, const AxisBasis &basis, const std::vector<StraightLine> &lines)
{
    const double width = span.a1 - span.a0, height = span.b1 - span.b0;
    const AxisBox area{
        frameSide(lines, false, span.a0, -1.0, width), frameSide(lines, false, span.a1, 1.0, width),
        frameSide(lines, true, span.b0, -1.0, height), frameSide(lines, true, span.b1, 1.0, height)};
    if (area.a1 <= area.a0 || area.b1 <= area.b0)
        return {};
    return area.polygon(basis);
}

SearchRegion::SearchRegion(const QPolygonF &polygon, QSize imageSize)
{
    const QRect box = polygon.boundingRect().toAlignedRect().intersected(QRect(QPoint(0, 0), imageSize));
    if (polygon.size() < 3 || box.isEmpty())
        return;
    m_bounds = box;
    m_rowStart.reserve(box.height() + 1);
    std::vector<double> crossings;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        m_rowStart.push_back(int(m_spans.size()));
        const double cy = y + 0.5;
        crossings.clear();
        for (int i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon[i];
            const QPointF b = polygon[(i + 1) % polygon.size()];
            // Half-open in y so that a vertex on the row counts once.
            if ((a.y() <= cy) != (b.y() <= cy))
                crossings.push_back(a.x() + (cy - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int x0 = std::max(box.left(), int(std::ceil(crossings[i] - 0.5)));
            const int x1 = std::min(box.right(), int(std::floor(crossings[i + 1] - 0.5)));
            if (x0 <= x1)
                m_spans.emplace_back(x0, x1);
        }
    }
    m_rowStart.push_back(int(m_spans.size()));
}

bool SearchRegion::contains(int x, int y) const
{
    bool inside = false;
    forEachSpan(y, [&](int x0, int x1) { inside = inside || (x >= x0 && x <= x1); });
    return inside;
}

} // namespace extract
