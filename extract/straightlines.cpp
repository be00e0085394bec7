#include "extract/straightlines.h"

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

constexpr int probeCount = 32;
// Share of the probes that must meet a line for it to count as crossing the region.
constexpr double spanningShare = 0.6;
constexpr double thinLimit = 6.0;
// Summed channel differences from the background that mark a pixel as drawn.
constexpr int markLevel = 40;
constexpr float inkLevel = 0.5f;
// Coverage of a pixel on a line of another colour from which it is the curve drawn over that line.
constexpr float drawnOver = 0.55f;

struct Hit
{
    double offset;
    double length;
    int probe;
    bool inInk;
};

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0.0 ? v / length : QPointF();
}

double dot(QPointF a, QPointF b)
{
    return a.x() * b.x() + a.y() * b.y();
}

// Lines along u of any colour, found by probes that walk along v across the region: a line
// along u is met at the same v-offset by most probes.
void findAlong(QPointF u, QPointF v, bool alongX, const Raster &raster, const InkModel &ink,
               const SearchRegion &region, std::vector<StraightLine> &lines)
{
    // Affine coordinates p = a u + b v, so lines along u have constant b.
    const double det = u.x() * v.y() - u.y() * v.x();
    if (std::abs(det) < 1e-6)
        return;
    const auto coordinates = [&](QPointF p) {
        return std::pair<double, double>{(p.x() * v.y() - p.y() * v.x()) / det,
                                         (u.x() * p.y() - u.y() * p.x()) / det};
    };
    const QRgb background = ink.background();
    const auto stands = [background](QRgb pixel) {
        return std::abs(qRed(pixel) - qRed(background)) + std::abs(qGreen(pixel) - qGreen(background)) +
                   std::abs(qBlue(pixel) - qBlue(background)) >
               markLevel;
    };
    const QRect box = region.bounds();
    double a0 = 1e300, a1 = -1e300, b0 = 1e300, b1 = -1e300;
    for (QPointF corner : {box.topLeft(), box.topRight() + QPoint(1, 0), box.bottomLeft() + QPoint(0, 1),
                           box.bottomRight() + QPoint(1, 1)}) {
        const auto [a, b] = coordinates(corner);
        a0 = std::min(a0, a), a1 = std::max(a1, a), b0 = std::min(b0, b), b1 = std::max(b1, b);
    }

    std::vector<Hit> hits;
    int probesInside = 0;
    for (int k = 0; k < probeCount; ++k) {
        // Half-pixel offsets put the samples on pixel centres when the axes are upright.
        const double a = std::floor(a0 + (k + 0.5) * (a1 - a0) / probeCount) + 0.5;
        double runStart = 0.0;
        bool inRun = false;
        bool runInInk = false;
        bool touched = false;
        for (double b = std::floor(b0) + 0.5; b <= b1; b += 1.0) {
            const QPointF p = a * u + b * v;
            const int x = int(std::floor(p.x()));
            const int y = int(std::floor(p.y()));
            const bool inside = region.contains(x, y);
            touched = touched || inside;
            const bool drawn = inside && stands(raster.at(x, y));
            if (drawn && !inRun) {
                runStart = b;
                inRun = true;
                runInInk = false;
            } else if (!drawn && inRun) {
                inRun = false;
                hits.push_back({(runStart + b - 1.0) / 2.0, b - runStart, k, runInInk});
            }
            runInInk = runInInk || (drawn && ink.coverage(raster.at(x, y)) >= inkLevel);
        }
        probesInside += touched ? 1 : 0;
    }
    std::sort(hits.begin(), hits.end(), [](const Hit &x, const Hit &y) { return x.offset < y.offset; });

    // b = dot(p, bNormal) with bNormal = (-u.y, u.x) / det.
    const QPointF bNormal(-u.y() / det, u.x() / det);
    const double scale = std::hypot(bNormal.x(), bNormal.y());
    for (size_t i = 0; i < hits.size();) {
        size_t j = i;
        std::vector<bool> probes(probeCount, false);
        int distinct = 0;
        while (j < hits.size() && hits[j].offset - hits[i].offset <= 2.0) {
            if (!probes[hits[j].probe] && hits[j].length <= thinLimit) {
                probes[hits[j].probe] = true;
                ++distinct;
            }
            ++j;
        }
        if (distinct < spanningShare * probesInside || probesInside == 0) {
            ++i;
            continue;
        }
        std::vector<double> offsets, lengths;
        int inInk = 0;
        for (size_t h = i; h < j; ++h) {
            offsets.push_back(hits[h].offset);
            lengths.push_back(hits[h].length);
            inInk += hits[h].inInk ? 1 : 0;
        }
        std::nth_element(offsets.begin(), offsets.begin() + offsets.size() / 2, offsets.end());
        std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
        const double offset = offsets[offsets.size() / 2];
        // Antialiasing spreads a line a pixel beyond the solid run.
        const double halfWidth = lengths[lengths.size() / 2] / 2.0 + 0.75 * scale;
        lines.push_back({bNormal, offset, halfWidth, 2 * inInk > int(j - i), alongX});
        i = j;
    }
}

} // namespace

std::vector<StraightLine> findStraightLines(const Raster &raster, const InkModel &ink,
                                            const SearchRegion &region, const Calibration &calibration)
{
    std::vector<StraightLine> lines;
    if (region.isEmpty())
        return lines;
    const QPointF ux = unit(calibration.axisXLine.p2() - calibration.axisXLine.p1());
    const QPointF uy = unit(calibration.axisYLine.p2() - calibration.axisYLine.p1());
    findAlong(ux, uy, true, raster, ink, region, lines);
    findAlong(uy, ux, false, raster, ink, region, lines);
    return lines;
}

std::vector<StraightLine> withoutLineThrough(std::vector<StraightLine> lines, QPointF keep)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [keep](const StraightLine &line) {
                                   return line.covers(keep, std::hypot(line.normal.x(), line.normal.y()));
                               }),
                lines.end());
    return lines;
}

LineBands::LineBands(const std::vector<StraightLine> &lines)
{
    for (const StraightLine &line : lines) {
        auto family = std::find_if(m_families.begin(), m_families.end(),
                                   [&](const Family &f) { return f.normal == line.normal; });
        if (family == m_families.end())
            family = m_families.insert(m_families.end(), Family{line.normal, {}});
        family->bands.emplace_back(line.offset - line.halfWidth, line.offset + line.halfWidth);
    }
    for (Family &family : m_families)
        std::sort(family.bands.begin(), family.bands.end());
}

InkField::InkField(const Raster &raster, const InkModel &ink, const SearchRegion &region,
                   std::vector<StraightLine> excluded)
    : m_raster(raster)
    , m_ink(ink)
    , m_region(region)
    , m_excluded(excluded)
{}

LineMask::LineMask(const std::vector<StraightLine> &lines)
{
    std::vector<StraightLine> inInk, other;
    for (const StraightLine &line : lines)
        (line.inInk ? inInk : other).push_back(line);
    m_inkLines = LineBands(inInk);
    m_otherLines = LineBands(other);
}

bool LineMask::hides(QPointF p, float coverage) const
{
    return (!m_inkLines.isEmpty() && m_inkLines.covers(p)) ||
           (coverage < drawnOver && !m_otherLines.isEmpty() && m_otherLines.covers(p));
}

bool LineBands::covers(QPointF p) const
{
    for (const Family &family : m_families) {
        const double d = dot(p, family.normal);
        // Only the last band starting at or before d can hold it: the lines of a family do not overlap.
        const auto after = std::upper_bound(family.bands.begin(), family.bands.end(), std::pair(d, 1e300));
        if (after != family.bands.begin() && std::prev(after)->second >= d)
            return true;
    }
    return false;
}

bool InkField::inside(QPointF p) const
{
    return m_region.contains(int(std::floor(p.x())), int(std::floor(p.y())));
}

float InkField::at(int x, int y) const
{
    if (!m_region.contains(x, y))
        return outside;
    const float coverage = m_ink.coverage(m_raster.at(x, y));
    if (coverage <= 0.0f)
        return coverage;
    return m_excluded.hides(QPointF(x + 0.5, y + 0.5), coverage) ? masked : coverage;
}

float InkField::sample(QPointF p) const
{
    const double x = p.x() - 0.5;
    const double y = p.y() - 0.5;
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const float fx = float(x - x0);
    const float fy = float(y - y0);
    const float weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    const float values[4] = {at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1)};
    float sum = 0.0f;
    float blocked = 0.0f;
    for (int i = 0; i < 4; ++i) {
        if (values[i] >= 0.0f)
            sum += weights[i] * values[i];
        else if (weights[i] >= 0.25f)
            blocked = std::min(blocked, values[i]);
    }
    return blocked < 0.0f ? blocked : sum;
}

} // namespace extract
