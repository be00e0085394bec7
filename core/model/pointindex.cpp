#include "core/model/pointindex.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

// About this many points to a cell: few enough to look at, few cells to walk.
constexpr double pointsPerCell = 4.0;

bool inside(const QRectF &rect, const QPointF &point)
{
    return point.x() >= rect.left() && point.x() <= rect.right() && point.y() >= rect.top() &&
           point.y() <= rect.bottom();
}

// The cell of a coordinate along one side of the grid; NaN and the far side
// land in the border cells.
int cellOf(double value, double start, double length, int cells)
{
    const double t = length > 0 ? (value - start) / length * cells : 0.0;
    if (!(t >= 0))
        return 0;
    return t >= cells ? cells - 1 : int(t);
}

} // namespace

PointIndex::PointIndex(QList<QPointF> points)
    : m_points(std::move(points))
{
    rebuild();
}

void PointIndex::rebuild()
{
    const int n = int(m_points.size());
    m_loose.clear();
    m_isLoose.assign(size_t(n), false);
    m_bounds = QRectF();
    if (n == 0) {
        m_gridBox = QRectF();
        m_columns = m_rows = 0;
        m_cellStart.clear();
        m_cellPoints.clear();
        return;
    }
    double left = m_points[0].x(), right = left, top = m_points[0].y(), bottom = top;
    for (const QPointF &p : std::as_const(m_points)) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    m_bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
    m_gridBox = m_bounds;
    const double cells = std::max(1.0, n / pointsPerCell);
    // Cells about square: a thin box gets one row or one column of them.
    const double width = std::max(m_gridBox.width(), 1e-9);
    const double height = std::max(m_gridBox.height(), 1e-9);
    m_columns = int(std::clamp(std::sqrt(cells * width / height), 1.0, cells));
    m_rows = int(std::clamp(cells / m_columns, 1.0, cells));

    m_cellStart.assign(size_t(m_columns) * m_rows + 1, 0);
    std::vector<int> cellOfPoint(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int cell = row(m_points[i].y()) * m_columns + column(m_points[i].x());
        cellOfPoint[size_t(i)] = cell;
        ++m_cellStart[size_t(cell) + 1];
    }
    for (size_t c = 1; c < m_cellStart.size(); ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    m_cellPoints.resize(size_t(n));
    std::vector<int> filled(m_cellStart.begin(), m_cellStart.end() - 1);
    for (int i = 0; i < n; ++i)
        m_cellPoints[size_t(filled[size_t(cellOfPoint[size_t(i)])]++)] = i;
}

int PointIndex::column(double x) const
{
    return cellOf(x, m_gridBox.left(), m_gridBox.width(), m_columns);
}

int PointIndex::row(double y) const
{
    return cellOf(y, m_gridBox.top(), m_gridBox.height(), m_rows);
}

void PointIndex::extendBounds(const QPointF &point)
{
    if (m_points.size() == 1) {
        m_bounds = QRectF(point, point);
        return;
    }
    m_bounds = QRectF(QPointF(std::min(m_bounds.left(), point.x()), std::min(m_bounds.top(), point.y())),
                      QPointF(std::max(m_bounds.right(), point.x()), std::max(m_bounds.bottom(), point.y())));
}

void PointIndex::append(const QPointF &point)
{
    m_points.append(point);
    if (m_columns == 0) {
        rebuild();
        return;
    }
    m_isLoose.push_back(true);
    m_loose.push_back(int(m_points.size() - 1));
    extendBounds(point);
    // Past this, looking at loose points costs more than building the grid again.
    if (m_loose.size() > std::max<size_t>(256, m_points.size() / 8))
        rebuild();
}

void PointIndex::move(int index, const QPointF &point)
{
    m_points[index] = point;
    if (!m_isLoose[size_t(index)]) {
        m_isLoose[size_t(index)] = true;
        m_loose.push_back(index);
    }
    extendBounds(point);
    if (m_loose.size() > std::max<size_t>(256, m_points.size() / 8))
        rebuild();
}

QList<int> PointIndex::pointsIn(const QRectF &area) const
{
    const QRectF rect = area.normalized();
    QList<int> found;
    if (m_points.isEmpty() || rect.right() < m_bounds.left() || rect.left() > m_bounds.right() ||
        rect.bottom() < m_bounds.top() || rect.top() > m_bounds.bottom())
        return found;
    const int firstColumn = column(rect.left()), lastColumn = column(rect.right());
    const int firstRow = row(rect.top()), lastRow = row(rect.bottom());
    const qint64 cells = qint64(lastColumn - firstColumn + 1) * (lastRow - firstRow + 1);
    // Most of the grid: walking the points in order needs no sorting.
    if (cells * 2 > qint64(m_columns) * m_rows) {
        for (int i = 0; i < m_points.size(); ++i) {
            if (inside(rect, m_points[i]))
                found.append(i);
        }
        return found;
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const size_t cell = size_t(r) * m_columns + c;
            for (int k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                const int i = m_cellPoints[size_t(k)];
                if (!m_isLoose[size_t(i)] && inside(rect, m_points[i]))
                    found.append(i);
            }
        }
    }
    for (const int i : m_loose) {
        if (inside(rect, m_points[i]))
            found.append(i);
    }
    std::sort(found.begin(), found.end());
    return found;
}

int PointIndex::nearest(const QPointF &spot, double maxDistance) const
{
    int best = -1;
    double bestDistance = 0.0;
    const QRectF around(spot - QPointF(maxDistance, maxDistance), spot + QPointF(maxDistance, maxDistance));
    for (const int i : pointsIn(around)) {
        const double distance = QLineF(spot, m_points[i]).length();
        if (distance <= maxDistance && (best < 0 || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}
