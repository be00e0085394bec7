#include "extract/markertemplate.h"

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

// Markers larger than this are not looked for: the window around the click.
constexpr int windowRadius = 40;
constexpr int largestMarker = 48;
// Lower than half, so that the thin outline of a hollow marker stays whole on a blurred scan.
constexpr unsigned char solidLevel = 100;
// How many of the best matches make the common template.
constexpr int commonCount = 15;

// The pixels of a window round the click, addressed by index.
class Window
{
public:
    Window(const CoverageMap &map, QPoint clicked, bool withLines)
        : m_map(map)
        , m_box(QRect(clicked - QPoint(windowRadius, windowRadius),
                      QSize(2 * windowRadius + 1, 2 * windowRadius + 1))
                    .intersected(map.box))
        , m_withLines(withLines)
    {
        m_solid.resize(size_t(m_box.width()) * m_box.height());
        for (int y = m_box.top(); y <= m_box.bottom(); ++y) {
            for (int x = m_box.left(); x <= m_box.right(); ++x)
                m_solid[index(x, y)] = valueAt(x, y) >= solidLevel;
        }
    }

    QRect box() const { return m_box; }
    int index(int x, int y) const { return (y - m_box.top()) * m_box.width() + x - m_box.left(); }
    QPoint pixel(int i) const
    {
        return QPoint(m_box.left() + i % m_box.width(), m_box.top() + i / m_box.width());
    }
    bool solid(int x, int y) const { return m_box.contains(x, y) && m_solid[index(x, y)]; }
    unsigned char coverage(int i) const
    {
        const QPoint p = pixel(i);
        return valueAt(p.x(), p.y());
    }
    int size() const { return int(m_solid.size()); }

    // The pixels reached from start through pixels that pass `through`, 8- or 4-connected.
    template <typename Through>
    std::vector<int> flood(std::vector<int> starts, bool eight, std::vector<char> &seen,
                           Through through) const
    {
        std::vector<int> reached;
        for (int s : starts)
            seen[s] = 1;
        while (!starts.empty()) {
            const int i = starts.back();
            starts.pop_back();
            reached.push_back(i);
            const QPoint p = pixel(i);
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx == 0 && dy == 0) || (!eight && dx != 0 && dy != 0))
                        continue;
                    const int x = p.x() + dx, y = p.y() + dy;
                    if (!m_box.contains(x, y))
                        continue;
                    const int j = index(x, y);
                    if (!seen[j] && through(j)) {
                        seen[j] = 1;
                        starts.push_back(j);
                    }
                }
            }
        }
        return reached;
    }

    bool isSolid(int i) const { return m_solid[i]; }

private:
    unsigned char valueAt(int x, int y) const
    {
        return m_withLines ? m_map.withLinesAt(x, y) : m_map.at(x, y);
    }

    const CoverageMap &m_map;
    QRect m_box;
    bool m_withLines;
    std::vector<char> m_solid;
};

QRect boundsOf(const Window &window, const std::vector<int> &pixels)
{
    QRect box;
    for (int i : pixels)
        box |= QRect(window.pixel(i), QSize(1, 1));
    return box;
}

// The solid pixels of component inside a small enclosed hole's box, widened by the outline's thickness.
std::vector<int> hollowMarker(const Window &window, const std::vector<int> &component, QPoint clicked)
{
    // Background reached from the window's edge is outside; what is left are holes.
    std::vector<char> seen(window.size(), 0);
    std::vector<int> edge;
    const QRect box = window.box();
    for (int i = 0; i < window.size(); ++i) {
        const QPoint p = window.pixel(i);
        const bool onEdge =
            p.x() == box.left() || p.x() == box.right() || p.y() == box.top() || p.y() == box.bottom();
        if (onEdge && !window.isSolid(i))
            edge.push_back(i);
    }
    window.flood(edge, false, seen, [&](int j) { return !window.isSolid(j); });
    const std::vector<char> outside = seen;
    // Holes and their pixel counts: a line across a marker may leave a sliver of its hole.
    std::vector<std::pair<QRect, size_t>> holes;
    for (int i = 0; i < window.size(); ++i) {
        if (seen[i] || window.isSolid(i))
            continue;
        const std::vector<int> hole =
            window.flood({i}, false, seen, [&](int j) { return !window.isSolid(j); });
        const QRect holeBox = boundsOf(window, hole);
        if (std::max(holeBox.width(), holeBox.height()) <= largestMarker)
            holes.push_back({holeBox, hole.size()});
    }
    QRect best;
    double bestDistance = 1e300;
    for (const auto &[hole, size] : holes) {
        const QPointF offset = QRectF(hole).center() - QPointF(clicked);
        const double distance = std::hypot(offset.x(), offset.y());
        if (size >= 3 && hole.adjusted(-6, -6, 6, 6).contains(clicked) && distance < bestDistance) {
            bestDistance = distance;
            best = hole;
        }
    }
    if (best.isNull())
        return {};
    // A line through the outline splits its hole: the parts lie a line's width apart.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto &[hole, size] : holes) {
            const QRect joined = best | hole;
            if (size >= 3 && !best.contains(hole) && best.adjusted(-3, -3, 3, 3).intersects(hole) &&
                std::max(joined.width(), joined.height()) <= largestMarker) {
                best = joined;
                grew = true;
            }
        }
    }
    // Slivers of the hole cut off next to it, but no chain of specks of grain.
    const QRect near = best.adjusted(-3, -3, 3, 3);
    for (const auto &[hole, size] : holes) {
        if (size < 3 && near.contains(hole))
            best |= hole;
    }
    // The outline's thickness: the solid run outwards from the middle of each side of the hole.
    const QPoint middle = best.center();
    std::vector<int> runs;
    const auto run = [&](QPoint from, QPoint step) {
        int length = 0;
        for (QPoint p = from + step; window.solid(p.x(), p.y()) && length < 8; p += step)
            ++length;
        runs.push_back(length);
    };
    run(QPoint(best.left(), middle.y()), QPoint(-1, 0));
    run(QPoint(best.right(), middle.y()), QPoint(1, 0));
    run(QPoint(middle.x(), best.top()), QPoint(0, -1));
    run(QPoint(middle.x(), best.bottom()), QPoint(0, 1));
    std::sort(runs.begin(), runs.end());
    const int thickness = std::max(1, runs[1]);
    const QRect outline = best.adjusted(-thickness, -thickness, thickness, thickness);
    // Only the ring near the paper outside: a line across the hole is not part of the marker.
    const auto nearOutside = [&](QPoint p) {
        for (int y = p.y() - thickness - 1; y <= p.y() + thickness + 1; ++y)
            for (int x = p.x() - thickness - 1; x <= p.x() + thickness + 1; ++x)
                if (!box.contains(x, y) || outside[window.index(x, y)])
                    return true;
        return false;
    };
    std::vector<int> marker;
    for (int i : component) {
        if (outline.contains(window.pixel(i)) && nearOutside(window.pixel(i)))
            marker.push_back(i);
    }
    return marker;
}

// The part of component clearly thicker than the lines in it, with the ink it covers.
std::vector<int> thickMarker(const Window &window, const std::vector<int> &component, QPoint clicked)
{
    // Chessboard distance to the nearest pixel that is not solid, by two passes.
    const QRect box = window.box();
    std::vector<int> depth(window.size(), 0);
    for (int i = 0; i < window.size(); ++i)
        depth[i] = window.isSolid(i) ? 1 << 20 : 0;
    const auto relax = [&](int i, int x, int y) {
        depth[i] = std::min(depth[i], box.contains(x, y) ? depth[window.index(x, y)] + 1 : 1);
    };
    for (int i = 0; i < window.size(); ++i) {
        const QPoint p = window.pixel(i);
        if (!depth[i])
            continue;
        relax(i, p.x() - 1, p.y()), relax(i, p.x() - 1, p.y() - 1), relax(i, p.x(), p.y() - 1),
            relax(i, p.x() + 1, p.y() - 1);
    }
    for (int i = window.size() - 1; i >= 0; --i) {
        const QPoint p = window.pixel(i);
        if (!depth[i])
            continue;
        relax(i, p.x() + 1, p.y()), relax(i, p.x() + 1, p.y() + 1), relax(i, p.x(), p.y() + 1),
            relax(i, p.x() - 1, p.y() + 1);
    }
    // The lines' half width: the typical depth along the ridges, where most of the ridge is line.
    std::vector<int> ridges;
    int deepest = -1, deepestDepth = 0;
    for (int i : component) {
        const QPoint p = window.pixel(i);
        bool ridge = true;
        for (int dy = -1; dy <= 1 && ridge; ++dy)
            for (int dx = -1; dx <= 1 && ridge; ++dx)
                ridge = !box.contains(p.x() + dx, p.y() + dy) ||
                        depth[window.index(p.x() + dx, p.y() + dy)] <= depth[i];
        if (ridge)
            ridges.push_back(depth[i]);
        const QPoint offset = p - clicked;
        if (std::max(std::abs(offset.x()), std::abs(offset.y())) <= 12 && depth[i] > deepestDepth) {
            deepestDepth = depth[i];
            deepest = i;
        }
    }
    if (ridges.empty() || deepest < 0)
        return {};
    std::nth_element(ridges.begin(), ridges.begin() + ridges.size() / 2, ridges.end());
    const int lineDepth = ridges[ridges.size() / 2];
    if (deepestDepth < lineDepth + 2)
        return {};
    std::vector<char> seen(window.size(), 0);
    const std::vector<int> core =
        window.flood({deepest}, true, seen, [&](int j) { return depth[j] > lineDepth; });
    // Each core pixel stands for the square of solid ink its depth guarantees, and its rim.
    std::vector<char> inMarker(window.size(), 0);
    for (int i : core) {
        const QPoint p = window.pixel(i);
        const int reach = depth[i];
        for (int y = p.y() - reach; y <= p.y() + reach; ++y)
            for (int x = p.x() - reach; x <= p.x() + reach; ++x)
                if (window.solid(x, y))
                    inMarker[window.index(x, y)] = 1;
    }
    std::vector<int> marker;
    for (int i : component) {
        if (inMarker[i])
            marker.push_back(i);
    }
    return marker;
}

// The solid pixels joined to the one nearest the click; nothing when none is near.
std::vector<int> componentAt(const Window &window, QPoint clicked)
{
    int start = -1;
    for (int radius = 0; radius <= 3 && start < 0; ++radius) {
        for (int y = clicked.y() - radius; y <= clicked.y() + radius && start < 0; ++y)
            for (int x = clicked.x() - radius; x <= clicked.x() + radius && start < 0; ++x)
                if (window.solid(x, y))
                    start = window.index(x, y);
    }
    if (start < 0)
        return {};
    std::vector<char> seen(window.size(), 0);
    return window.flood({start}, true, seen, [&](int j) { return window.isSolid(j); });
}

// What the marker's pixels look like in window: their coverage in their box widened by a pixel of rim.
std::optional<MarkerTemplate> templateOf(const Window &window, const std::vector<int> &marker)
{
    std::vector<char> inMarker(window.size(), 0);
    for (int i : marker)
        inMarker[i] = 1;
    const QRect markerBox = boundsOf(window, marker);
    const QRect box = markerBox.adjusted(-1, -1, 1, 1).intersected(window.box());
    MarkerTemplate result;
    result.width = box.width();
    result.height = box.height();
    result.markerSize = markerBox.size();
    result.solidCount = int(marker.size());
    result.values.reserve(size_t(box.width()) * box.height());
    double sum = 0.0, sx = 0.0, sy = 0.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const int i = window.index(x, y);
            // The marker and the faint rim around it; solid ink of anything else in the box is not the
            // marker.
            const float value = inMarker[i] || !window.isSolid(i) ? window.coverage(i) / 255.0f : 0.0f;
            result.values.push_back(value);
            sum += value;
            sx += value * (x - box.left() + 0.5);
            sy += value * (y - box.top() + 0.5);
        }
    }
    if (sum <= 0.0)
        return std::nullopt;
    result.centre = QPointF(sx / sum, sy / sum);
    return result;
}

} // namespace

std::optional<MarkerTemplate> learnTemplate(const CoverageMap &map, QPoint clicked)
{
    const Window window(map, clicked, false);
    if (!window.box().contains(clicked))
        return std::nullopt;
    const std::vector<int> component = componentAt(window, clicked);
    // An outline round a small hole first: a line may run through it, which makes the blob no longer compact.
    if (!component.empty()) {
        const std::vector<int> hollow = hollowMarker(window, component, clicked);
        if (!hollow.empty())
            return templateOf(window, hollow);
    }
    // A side lying on a straight line went with the line: with the lines in, the outline is whole.
    if (!map.lineValues.empty()) {
        const Window whole(map, clicked, true);
        const std::vector<int> wholeComponent = componentAt(whole, clicked);
        const std::vector<int> hollow =
            wholeComponent.empty() ? std::vector<int>() : hollowMarker(whole, wholeComponent, clicked);
        if (!hollow.empty())
            return templateOf(whole, hollow);
    }
    if (component.empty())
        return std::nullopt;
    const QRect componentBox = boundsOf(window, component);
    const QRect inner = window.box().adjusted(1, 1, -1, -1);
    // Specks of a few pixels are noise, not markers.
    if (inner.contains(componentBox) &&
        std::max(componentBox.width(), componentBox.height()) <= largestMarker &&
        std::min(componentBox.width(), componentBox.height()) >= 3)
        return templateOf(window, component);
    const std::vector<int> thick = thickMarker(window, component, clicked);
    if (thick.empty())
        return std::nullopt;
    return templateOf(window, thick);
}

std::optional<MarkerTemplate> commonTemplate(const CoverageMap &map, const MarkerTemplate &learnt,
                                             const std::vector<QPointF> &centres)
{
    // Room for a marker whose first template was cut short by a line.
    const int side = std::max(learnt.width, learnt.height) + 8;
    const int half = side / 2;
    const size_t area = size_t(side) * side;
    std::vector<unsigned char> windows;
    int count = 0;
    for (QPointF centre : centres) {
        const QRect window(QPoint(int(std::floor(centre.x())), int(std::floor(centre.y()))) -
                               QPoint(half, half),
                           QSize(side, side));
        if (!map.box.contains(window))
            continue;
        for (int y = window.top(); y <= window.bottom(); ++y)
            for (int x = window.left(); x <= window.right(); ++x)
                windows.push_back(map.withLinesAt(x, y));
        if (++count == commonCount)
            break;
    }
    if (count < 3)
        return std::nullopt;
    CoverageMap common;
    common.box = QRect(0, 0, side, side);
    common.values.resize(area);
    std::vector<unsigned char> pixel(count);
    for (size_t i = 0; i < area; ++i) {
        for (int k = 0; k < count; ++k)
            pixel[k] = windows[k * area + i];
        std::nth_element(pixel.begin(), pixel.begin() + count / 2, pixel.end());
        common.values[i] = pixel[count / 2];
    }
    return learnTemplate(common, QPoint(half, half));
}

std::optional<QPoint> singleMarkerPixel(const CoverageMap &map, int clickedSolidCount)
{
    const QRect &box = map.box;
    std::vector<char> seen(map.values.size(), 0);
    std::vector<std::pair<int, QPoint>> alike;
    std::vector<QPoint> stack;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const size_t start = size_t(y - box.top()) * box.width() + (x - box.left());
            if (seen[start] || map.values[start] < solidLevel)
                continue;
            seen[start] = 1;
            stack.assign(1, QPoint(x, y));
            int count = 0;
            QRect bounds(x, y, 1, 1);
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++count;
                bounds |= QRect(p, QSize(1, 1));
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q(p.x() + dx, p.y() + dy);
                        if (!box.contains(q))
                            continue;
                        const size_t i = size_t(q.y() - box.top()) * box.width() + (q.x() - box.left());
                        if (!seen[i] && map.values[i] >= solidLevel) {
                            seen[i] = 1;
                            stack.push_back(q);
                        }
                    }
                }
            }
            if (count >= 0.3 * clickedSolidCount && count <= 0.7 * clickedSolidCount &&
                std::max(bounds.width(), bounds.height()) <= largestMarker)
                alike.push_back({count, QPoint(x, y)});
        }
    }
    if (alike.size() < 2)
        return std::nullopt;
    std::nth_element(alike.begin(), alike.begin() + alike.size() / 2, alike.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return alike[alike.size() / 2].second;
}

} // namespace extract
