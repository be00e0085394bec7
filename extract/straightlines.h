#pragma once

#include "core/model/calibration.h"
#include "extract/inkmodel.h"
#include "extract/searchregion.h"

#include <vector>

namespace extract {

// A band of pixels p with |dot(p, normal) - offset| <= halfWidth.
struct StraightLine
{
    QPointF normal;
    double offset = 0.0;
    double halfWidth = 0.0;
    bool inInk = false;  // drawn in the picked ink rather than another colour
    bool alongX = false; // parallel to the X axis: offset is then b of AxisBasis, else a

    bool covers(QPointF p, double slack = 0.0) const
    {
        const double d = p.x() * normal.x() + p.y() * normal.y() - offset;
        return d <= halfWidth + slack && d >= -halfWidth - slack;
    }
};

// Thin lines parallel to an axis that cross most of the region (grid lines,
// axes, a frame). Lines of other colours count too: where the curve crosses
// them its edges blend with them.
std::vector<StraightLine> findStraightLines(const Raster &raster, const InkModel &ink,
                                            const SearchRegion &region, const Calibration &calibration);

// The lines but one through keep, which the user picked.
std::vector<StraightLine> withoutLineThrough(std::vector<StraightLine> lines, QPointF keep);

// Answers whether a point lies on one of many straight lines: lines sharing a
// normal are kept as sorted bands of dot(p, normal), so that a whole grid
// takes one search.
class LineBands
{
public:
    LineBands() = default;
    explicit LineBands(const std::vector<StraightLine> &lines);
    bool isEmpty() const { return m_families.empty(); }
    bool covers(QPointF p) const;

private:
    struct Family
    {
        QPointF normal;
        std::vector<std::pair<double, double>> bands;
    };
    std::vector<Family> m_families;
};

// The straight lines a search leaves out: those drawn in the picked ink
// wholly, those of other colours except where the ink is drawn over them (a
// peak along a grid line, a marker on it).
class LineMask
{
public:
    LineMask() = default;
    explicit LineMask(const std::vector<StraightLine> &lines);
    bool hides(QPointF p, float coverage) const;

private:
    LineBands m_inkLines;
    LineBands m_otherLines;
};

// The ink coverage of the picture inside the search region, with the straight
// lines taken out.
class InkField
{
public:
    // On a line taken out.
    static constexpr float masked = -2.0f;
    static constexpr float outside = -3.0f;

    InkField(const Raster &raster, const InkModel &ink, const SearchRegion &region,
             std::vector<StraightLine> excluded);

    const SearchRegion &region() const { return m_region; }
    bool inside(QPointF p) const;
    float at(int x, int y) const;
    // Bilinear between pixel centres; foreign, masked or outside when a near pixel is.
    float sample(QPointF p) const;

private:
    const Raster &m_raster;
    InkModel m_ink;
    const SearchRegion &m_region;
    LineMask m_excluded;
};

} // namespace extract
