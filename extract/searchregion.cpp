#include "extract/searchregion.h"

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

// The unit direction from origin to the farther end of line.
QPointF awayFrom(QPointF origin, const QLineF &line)
{
    const QLineF toP1(origin, line.p1());
    const QLineF toP2(origin, line.p2());
    const QLineF &far = toP1.length() > toP2.length() ? toP1 : toP2;
    const double length = far.length();
    return length > 0.0 ? (far.p2() - far.p1()) / length : QPointF();
}

} // namespace

QPolygonF plotArea(const Calibration &calibration, QSize imageSize)
{
    const QLineF &xAxis = calibration.axisXLine;
    const QLineF &yAxis = calibration.axisYLine;
    QPointF origin;
    if (!calibration.isComplete() || xAxis.intersects(yAxis, &origin) == QLineF::NoIntersection)
        return {};
    const QPointF ux = awayFrom(origin, xAxis);
    const QPointF uy = awayFrom(origin, yAxis);
    const double sine = std::abs(ux.x() * uy.y() - ux.y() * uy.x());
    if (sine < 0.05)
        return {};
    // Moving margin / sin along both directions puts the corner margin away from both lines.
    const QPointF corner = origin + (ux + uy) * (axisMargin / sine);
    const double reach = 4.0 * (imageSize.width() + imageSize.height()) / sine;
    return QPolygonF({corner, corner + ux * reach, corner + (ux + uy) * reach, corner + uy * reach});
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
