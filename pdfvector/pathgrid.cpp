#include "pdfvector/pathgeometry.h"

#include <QHashFunctions>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

// About one path per cell on a busy page, and never more cells than this.
constexpr double mostCells = 1 << 18;
constexpr double mostCellsPerSide = 4096;
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

// Grid cells of the tolerance's size, so that meeting ends are found without
// comparing every pair.
using Cell = std::pair<long long, long long>;
Cell cellOf(const QPointF &point, double size)
{
    return {std::llround(point.x() / size), std::llround(point.y() / size)};
}

struct CellHash
{
    size_t operator()(const Cell &cell) const
    {
        return size_t(cell.first) * size_t(1000003) ^ size_t(cell.second);
    }
};

struct StyleHash
{
    size_t operator()(const PathStyle &style) const
    {
        size_t seed = qHashMulti(0, style.stroked, style.filled, style.strokeColor.rgba64(),
                                 style.fillColor.rgba64(), style.lineWidth, style.dashPhase);
        return qHashRange(style.dashes.cbegin(), style.dashes.cend(), seed);
    }
};

void groupStyles(const PageDrawing &drawing, PathGrid *grid)
{
    std::unordered_map<PathStyle, int, StyleHash> ids;
    grid->styleOf.resize(size_t(drawing.paths.size()));
    for (int i = 0; i < drawing.paths.size(); ++i) {
        const auto id = ids.emplace(drawing.paths[i].style, int(grid->styles.size())).first->second;
        if (size_t(id) == grid->styles.size())
            grid->styles.emplace_back();
        grid->styles[size_t(id)].push_back(i);
        grid->styleOf[size_t(i)] = id;
    }
    grid->chainOf.resize(size_t(drawing.paths.size()));
    for (const std::vector<int> &style : grid->styles) {
        const std::vector<int> chains = chainsOf(drawing, style);
        const size_t first = grid->chains.size();
        for (size_t k = 0; k < style.size(); ++k) {
            const size_t chain = first + size_t(chains[k]);
            if (chain == grid->chains.size())
                grid->chains.emplace_back();
            grid->chains[chain].push_back(style[k]);
            grid->chainOf[size_t(style[k])] = int(chain);
        }
    }
}

} // namespace

std::shared_ptr<const PathGrid> pathGridOf(const PageDrawing &drawing)
{
    auto grid = std::make_shared<PathGrid>();
    grid->area = QRectF(QPointF(0, 0), QSizeF(drawing.frame.imageSize));
    if (grid->area.isEmpty())
        return nullptr;
    const double cells = std::clamp(double(drawing.paths.size()), 1.0, mostCells);
    // Square cells for the paths' count, but never more than mostCellsPerSide along
    // a side, which a very long and thin page would otherwise ask for.
    grid->cellSize = std::max({1.0, std::sqrt(grid->area.width() * grid->area.height() / cells),
                               std::max(grid->area.width(), grid->area.height()) / mostCellsPerSide});
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
    groupStyles(drawing, grid.get());
    return grid;
}

std::vector<int> sameStylePaths(const PageDrawing &drawing, int index)
{
    if (drawing.grid)
        return drawing.grid->styles[size_t(drawing.grid->styleOf[size_t(index)])];
    std::vector<int> same;
    for (int i = 0; i < drawing.paths.size(); ++i) {
        if (drawing.paths[i].style == drawing.paths[index].style)
            same.push_back(i);
    }
    return same;
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

std::vector<int> chainsOf(const PageDrawing &drawing, const std::vector<int> &paths)
{
    const double tolerance = jointTolerance(drawing);
    std::vector<int> chainOf(paths.size());
    std::vector<int> lastOf; // the path each chain ends with
    std::unordered_map<Cell, int, CellHash> chainEndingIn;
    for (size_t k = 0; k < paths.size(); ++k) {
        const DrawnPath &path = drawing.paths[paths[k]];
        const QPointF start = path.nodes.first().point;
        const Cell cell = cellOf(start, tolerance);
        int chain = -1;
        for (long long dx = -1; dx <= 1 && chain < 0; ++dx) {
            for (long long dy = -1; dy <= 1 && chain < 0; ++dy) {
                const auto end = chainEndingIn.find({cell.first + dx, cell.second + dy});
                if (end != chainEndingIn.end() &&
                    samePoint(drawing.paths[lastOf[size_t(end->second)]].nodes.last().point, start,
                              tolerance)) {
                    chain = end->second;
                    chainEndingIn.erase(end);
                }
            }
        }
        if (chain < 0) {
            chain = int(lastOf.size());
            lastOf.push_back(-1);
        }
        chainOf[k] = chain;
        lastOf[size_t(chain)] = paths[k];
        chainEndingIn[cellOf(path.nodes.last().point, tolerance)] = chain;
    }
    return chainOf;
}
