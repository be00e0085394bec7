#pragma once

#include <QPointF>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace extract {

// Points by square cells, so that asking what lies near a point costs the
// few cells around it rather than a pass over all points.
class PointGrid
{
public:
    explicit PointGrid(double cellSize);

    void insert(QPointF p, size_t id);
    void remove(QPointF p, size_t id);
    bool anyWithin(QPointF p, double radius) const;
    // The id of the nearest point within radius, other than except.
    std::optional<size_t> nearest(QPointF p, double radius,
                                  std::optional<size_t> except = std::nullopt) const;

private:
    struct Entry
    {
        QPointF p;
        size_t id;
    };
    // Cells may have negative coordinates: shift the bits, not the signed value.
    std::int64_t key(int cx, int cy) const
    {
        return std::int64_t((std::uint64_t(std::uint32_t(cx)) << 32) | std::uint32_t(cy));
    }
    int cellOf(double v) const;

    double m_cellSize;
    std::unordered_map<std::int64_t, std::vector<Entry>> m_cells;
};

} // namespace extract
