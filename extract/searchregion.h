#pragma once

#include "core/model/calibration.h"

#include <QPolygonF>
#include <QRect>
#include <QSize>

#include <vector>

namespace extract {

// How far inside the calibrated axis lines the default search starts, so that
// the axes themselves are never taken.
constexpr double axisMargin = 5.0;

// The plot area: the side of each axis line where the other one runs, a margin
// inside both, reaching beyond the picture's edges. Empty when the axes cannot be crossed.
QPolygonF plotArea(const Calibration &calibration, QSize imageSize);

// The pixels whose centres lie inside a polygon, as horizontal spans per row.
class SearchRegion
{
public:
    SearchRegion() = default;
    SearchRegion(const QPolygonF &polygon, QSize imageSize);

    bool isEmpty() const { return m_bounds.isEmpty(); }
    QRect bounds() const { return m_bounds; }
    bool contains(int x, int y) const;
    // Calls f(x0, x1) for each span [x0, x1] of row y.
    template <typename F> void forEachSpan(int y, F f) const
    {
        if (y < m_bounds.top() || y > m_bounds.bottom())
            return;
        const int row = y - m_bounds.top();
        for (int i = m_rowStart[row]; i < m_rowStart[row + 1]; ++i)
            f(m_spans[i].first, m_spans[i].second);
    }

private:
    QRect m_bounds;
    std::vector<int> m_rowStart; // index of each row's first span, one past the end last
    std::vector<std::pair<int, int>> m_spans;
};

} // namespace extract
