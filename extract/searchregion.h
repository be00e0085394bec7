#pragma once

#include "core/model/calibration.h"

#include <QPolygonF>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

namespace extract {

struct StraightLine;

// How far inside a drawn frame the default search starts, so that the frame
// itself is never taken.
constexpr double axisMargin = 5.0;

// Coordinates along the calibrated axes' directions: p = a * alongX + b * alongY.
struct AxisBasis
{
    QPointF alongX;
    QPointF alongY;
    double determinant = 1.0;

    double a(QPointF p) const { return (p.x() * alongY.y() - p.y() * alongY.x()) / determinant; }
    double b(QPointF p) const { return (alongX.x() * p.y() - alongX.y() * p.x()) / determinant; }
    QPointF point(double a, double b) const { return alongX * a + alongY * b; }
};

// A box in axis coordinates.
struct AxisBox
{
    double a0 = 0.0, a1 = 0.0, b0 = 0.0, b1 = 0.0;

    AxisBox grown(double byA, double byB) const { return {a0 - byA, a1 + byA, b0 - byB, b1 + byB}; }
    bool contains(const AxisBasis &basis, QPointF p) const
    {
        const double a = basis.a(p), b = basis.b(p);
        return a >= a0 && a <= a1 && b >= b0 && b <= b1;
    }
    QPolygonF polygon(const AxisBasis &basis) const;
};

// Nothing when the axis lines are (nearly) parallel or of no length.
std::optional<AxisBasis> axisBasis(const Calibration &calibration);

// The span of the calibration's axis marks in both directions, wherever the axes cross.
AxisBox markSpan(const Calibration &calibration, const AxisBasis &basis);

// Where the mark span lets a search look for a frame: wider by a share of it on every side.
AxisBox frameSearchBox(const AxisBox &span);
// The plot area where no frame is drawn.
AxisBox openArea(const AxisBox &span);

// The plot area: the marks' span with each side moved a few pixels inside a
// drawn frame line at or beyond that mark, or, where none is drawn, out a
// little, so that points just beyond the outermost marks still count.
QPolygonF plotArea(const AxisBox &span, const AxisBasis &basis, const std::vector<StraightLine> &lines);

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
