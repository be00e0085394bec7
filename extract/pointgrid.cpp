#include "extract/pointgrid.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace extract {

PointGrid::PointGrid(double cellSize)
    : m_cellSize(std::max(cellSize, 1e-3))
{}

int PointGrid::cellOf(double v) const
{
    return int(std::clamp(std::floor(v / m_cellSize), double(INT_MIN / 2), double(INT_MAX / 2)));
}

void PointGrid::insert(QPointF p, size_t id)
{
    m_cells[key(cellOf(p.x()), cellOf(p.y()))].push_back({p, id});
}

void PointGrid::remove(QPointF p, size_t id)
{
    const auto cell = m_cells.find(key(cellOf(p.x()), cellOf(p.y())));
    if (cell == m_cells.end())
        return;
    auto &entries = cell->second;
    entries.erase(std::remove_if(entries.begin(), entries.end(), [id](const Entry &e) { return e.id == id; }),
                  entries.end());
    if (entries.empty())
        m_cells.erase(cell);
}

bool PointGrid::anyWithin(QPointF p, double radius) const
{
    return nearest(p, radius).has_value();
}

std::optional<size_t> PointGrid::nearest(QPointF p, double radius, std::optional<size_t> except) const
{
    std::optional<size_t> best;
    double bestDistance = radius * radius;
    const int x0 = cellOf(p.x() - radius), x1 = cellOf(p.x() + radius);
    const int y0 = cellOf(p.y() - radius), y1 = cellOf(p.y() + radius);
    for (int cy = y0; cy <= y1; ++cy) {
        for (int cx = x0; cx <= x1; ++cx) {
            const auto cell = m_cells.find(key(cx, cy));
            if (cell == m_cells.end())
                continue;
            for (const Entry &entry : cell->second) {
                const QPointF d = entry.p - p;
                const double distance = d.x() * d.x() + d.y() * d.y();
                if (distance <= bestDistance && entry.id != except) {
                    bestDistance = distance;
                    best = entry.id;
                }
            }
        }
    }
    return best;
}

} // namespace extract
