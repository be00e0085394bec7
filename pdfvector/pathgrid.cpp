#include "pdfvector/pathgeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// About one path per cell on a busy page, and never more cells than this.
constexpr double mostCells = 1 << 18;
// A path whose bounds touch more cells than this is looked at on every question.
constexpr long long largeCells = 64;

struct CellRange
{
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
};

int cellIndex(double coordinate, double origin, double size, int count)
{
    const double cell = std::floor((coordinate - origin) / size);
    if (!(cell >= 0))
        return 0;
    return cell >= count ? count - 1 : int(cell);
}

CellRange cellsOf(const PathGrid &grid, const QRectF &rect)
{
    const QRectF &a = grid.area;
    return {cellIndex(rect.left(), a.left(), grid.cellSize, grid.columns),
            cellIndex(rect.top(), a.top(), grid.cellSize, grid.rows),
            cellIndex(rect.right(), a.left(), grid.cellSize, grid.columns),
            cellIndex(rect.bottom(), a.top(), grid.cellSize, grid.rows)};
}

} // namespace

std::shared_ptr<const PathGrid> pathGridOf(const PageDrawing &drawing)
{
    auto grid = std::make_shared<PathGrid>();
    grid->area = QRectF(QPointF(0, 0), QSizeF(drawing.frame.imageSize));
    if (grid->area.isEmpty())
        return nullptr;
    const double cells = std::clamp(double(drawing.paths.size()), 1.0, mostCells);
    grid->cellSize = std::max(1.0, std::sqrt(grid->area.width() * grid->area.height() / cells));
    grid->columns = std::max(1, int(std::ceil(grid->area.width() / grid->cellSize)));
    grid->rows = std::max(1, int(std::ceil(grid->area.height() / grid->cellSize)));
    grid->cells.resize(size_t(grid->columns) * size_t(grid->rows));
    for (int i = 0; i < drawing.paths.size(); ++i) {
        const CellRange range = cellsOf(*grid, drawing.paths[i].bounds);
        const long long touched =
            (long long)(range.right - range.left + 1) * (long long)(range.bottom - range.top + 1);
        if (touched > largeCells) {
            grid->large.push_back(i);
            continue;
        }
        for (int row = range.top; row <= range.bottom; ++row) {
            for (int column = range.left; column <= range.right; ++column)
                grid->cells[size_t(row) * size_t(grid->columns) + size_t(column)].push_back(i);
        }
    }
    return grid;
}

std::vector<int> pathsNear(const PageDrawing &drawing, const QPointF &pixel, double radius)
{
    std::vector<int> near;
    if (!drawing.grid) {
        near.resize(size_t(drawing.paths.size()));
        for (size_t i = 0; i < near.size(); ++i)
            near[i] = int(i);
        return near;
    }
    const PathGrid &grid = *drawing.grid;
    near = grid.large;
    const QRectF reach(pixel - QPointF(radius, radius), pixel + QPointF(radius, radius));
    if (std::isfinite(radius) && nearRect(grid.area, pixel, radius)) {
        const CellRange range = cellsOf(grid, reach);
        for (int row = range.top; row <= range.bottom; ++row) {
            for (int column = range.left; column <= range.right; ++column) {
                const std::vector<int> &cell =
                    grid.cells[size_t(row) * size_t(grid.columns) + size_t(column)];
                near.insert(near.end(), cell.begin(), cell.end());
            }
        }
    }
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    return near;
}
