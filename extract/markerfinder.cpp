#include "extract/extraction.h"
#include "extract/markerlayout.h"
#include "extract/markertemplate.h"
#include "extract/pointgrid.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace extract {

namespace {

// How far round the search region the picture is read, so that a marker on its edge is whole.
constexpr int readMargin = 24;
// Pixels closer than this (largest channel difference) to the background are skipped unread.
constexpr int backgroundSlack = 6;
// The least normalised correlation with the clicked marker that counts as a marker.
constexpr float matchLevel = 0.65f;
// Windows scoring below this are not looked at again with lines left out.
constexpr float lenientFloor = 0.2f;
// Times a hollow template is learnt again from the markers it found.
constexpr int commonRounds = 2;

// The picked ink's coverage round the search region. Straight lines drawn in
// the ink are left out; on lines of other colours only what is clearly ink
// stays, since markers are drawn over them.
CoverageMap coverageOf(const Preparation &prepared, const InkModel &ink)
{
    CoverageMap map;
    map.box = prepared.region.bounds()
                  .adjusted(-readMargin, -readMargin, readMargin, readMargin)
                  .intersected(QRect(0, 0, prepared.raster.width(), prepared.raster.height()));
    map.values.assign(size_t(map.box.width()) * map.box.height(), 0);
    // Lines of other colours keep the ink drawn over them: only lines in the ink can hide a marker's side.
    if (std::any_of(prepared.straightLines.begin(), prepared.straightLines.end(),
                    [](const StraightLine &line) { return line.inInk; }))
        map.lineValues.assign(map.values.size(), 0);
    const LineMask lines(prepared.straightLines);
    const QRgb background = ink.background();
    for (int y = map.box.top(); y <= map.box.bottom(); ++y) {
        const QRgb *row = prepared.raster.row(y);
        const size_t rowStart = map.index(map.box.left(), y);
        unsigned char *cells = &map.values[rowStart] - map.box.left();
        unsigned char *lineCells =
            map.lineValues.empty() ? nullptr : &map.lineValues[rowStart] - map.box.left();
        for (int x = map.box.left(); x <= map.box.right(); ++x) {
            const QRgb pixel = row[x];
            if (std::abs(qRed(pixel) - qRed(background)) <= backgroundSlack &&
                std::abs(qGreen(pixel) - qGreen(background)) <= backgroundSlack &&
                std::abs(qBlue(pixel) - qBlue(background)) <= backgroundSlack)
                continue;
            const float coverage = ink.coverage(pixel);
            if (coverage <= 0.0f)
                continue;
            const auto value = static_cast<unsigned char>(std::lround(coverage * 255.0f));
            if (!lines.hides(QPointF(x + 0.5, y + 0.5), coverage))
                cells[x] = value;
            else if (!map.lineValues.empty())
                lineCells[x] = value;
        }
    }
    return map;
}

struct Match
{
    QPointF centre;
    float score;
};

// The offset of a parabola's top through (-1, left), (0, middle), (1, right).
double parabolaTop(float left, float middle, float right)
{
    const double bend = double(left) - 2.0 * middle + right;
    return bend < 0.0 ? std::clamp(0.5 * (left - right) / bend, -0.5, 0.5) : 0.0;
}

// Template pixels below this coverage are paper round or inside the marker.
constexpr float paperLevel = 0.2f;
// The least share of the template's ink a window must show for a lenient score.
constexpr double shownShare = 0.6;

// Whether the template has paper inside it that its outline shuts off from the paper round it.
bool hasHole(const MarkerTemplate &pattern)
{
    const int w = pattern.width, h = pattern.height;
    std::vector<char> reached(pattern.values.size(), 0);
    std::vector<QPoint> stack;
    const auto visit = [&](int x, int y) {
        const size_t i = size_t(y) * w + x;
        if (x >= 0 && y >= 0 && x < w && y < h && !reached[i] && pattern.values[i] < paperLevel) {
            reached[i] = 1;
            stack.push_back(QPoint(x, y));
        }
    };
    for (int x = 0; x < w; ++x)
        visit(x, 0), visit(x, h - 1);
    for (int y = 0; y < h; ++y)
        visit(0, y), visit(w - 1, y);
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        visit(p.x() - 1, p.y()), visit(p.x() + 1, p.y()), visit(p.x(), p.y() - 1), visit(p.x(), p.y() + 1);
    }
    for (size_t i = 0; i < reached.size(); ++i) {
        if (!reached[i] && pattern.values[i] < paperLevel)
            return true;
    }
    return false;
}

// The correlation of a window that other lines run through: the ink of
// straight lines is left out on both sides, and so is the most ink where the
// template has paper, as much as a thin line across the marker leaves there.
// Three of the outline's four sides (by direction from the centre) must show,
// so that two parallel lines are no square. -1 when too little is left to tell.
class LenientScore
{
public:
    LenientScore(const CoverageMap &map, const MarkerTemplate &pattern)
        : m_map(map)
        , m_pattern(pattern)
        , m_allowed(size_t(2 * std::max(pattern.width, pattern.height)))
        , m_sides(pattern.values.size(), -1)
    {
        for (int y = 0; y < pattern.height; ++y) {
            for (int x = 0; x < pattern.width; ++x) {
                const size_t i = size_t(y) * pattern.width + x;
                const QPointF d = QPointF(x + 0.5, y + 0.5) - pattern.centre;
                if (pattern.values[i] >= paperLevel)
                    m_sides[i] =
                        std::abs(d.x()) > std::abs(d.y()) ? (d.x() < 0 ? 0 : 1) : (d.y() < 0 ? 2 : 3);
            }
        }
    }

    float operator()(int left, int top)
    {
        const int w = m_pattern.width, h = m_pattern.height, stride = m_map.box.width();
        double st = 0.0, stt = 0.0, sw = 0.0, sww = 0.0, stw = 0.0, inkShown = 0.0, inkAll = 0.0;
        double sideInk[4] = {}, sideShown[4] = {};
        int count = 0;
        m_spare.clear();
        const float *t = m_pattern.values.data();
        for (int y = 0; y < h; ++y) {
            const size_t row = size_t(top + y) * stride + left;
            for (int x = 0; x < w; ++x, ++t) {
                const int side = m_sides[size_t(y) * w + x];
                inkAll += *t;
                if (side >= 0)
                    sideInk[side] += *t;
                // A side on a line is as good as shown.
                if (!m_map.lineValues.empty() && m_map.lineValues[row + x] > 0) {
                    if (side >= 0)
                        sideShown[side] += *t;
                    continue;
                }
                const float v = m_map.values[row + x];
                st += *t, stt += *t * *t, sw += v, sww += v * v, stw += *t * v, ++count;
                inkShown += *t;
                if (side >= 0)
                    sideShown[side] += std::min(*t, v / 255.0f);
                else if (v > 0.0f)
                    m_spare.push_back({v, *t});
            }
        }
        int sidesShown = 0;
        for (int side = 0; side < 4; ++side)
            sidesShown += sideShown[side] >= 0.65 * sideInk[side] ? 1 : 0;
        if (inkShown < shownShare * inkAll || sidesShown < 3)
            return -1.0f;
        if (m_spare.size() > m_allowed) {
            std::nth_element(m_spare.begin(), m_spare.begin() + m_allowed, m_spare.end(),
                             [](const auto &a, const auto &b) { return a.first > b.first; });
            m_spare.resize(m_allowed);
        }
        for (const auto &[v, pt] : m_spare)
            st -= pt, stt -= pt * pt, sw -= v, sww -= v * v, stw -= pt * v, --count;
        if (count <= 0)
            return -1.0f;
        const double templateVariance = stt - st * st / count;
        const double windowVariance = sww - sw * sw / count;
        if (templateVariance <= 0.0 || windowVariance <= 0.0)
            return -1.0f;
        return float((stw - st * sw / count) / std::sqrt(templateVariance * windowVariance));
    }

private:
    const CoverageMap &m_map;
    const MarkerTemplate &m_pattern;
    size_t m_allowed;
    std::vector<int> m_sides; // per template pixel: left, right, top, bottom, or -1 for paper
    std::vector<std::pair<float, float>> m_spare;
};

// Every place where the template correlates well, at the local peaks of the
// correlation. Only windows whose ink adds up to about the template's are
// scored, so lines and empty paper cost one running sum.
std::vector<Match> matchTemplate(const CoverageMap &map, const MarkerTemplate &pattern,
                                 const std::function<bool()> &cancelled)
{
    const int w = pattern.width, h = pattern.height;
    const int n = w * h;
    const QRect &box = map.box;
    std::vector<Match> matches;
    if (box.width() < w || box.height() < h)
        return matches;
    double sum = 0.0;
    for (float v : pattern.values)
        sum += v;
    const double mean = sum / n;
    std::vector<float> centred(pattern.values.size());
    double norm2 = 0.0;
    for (size_t i = 0; i < centred.size(); ++i) {
        centred[i] = float(pattern.values[i] - mean);
        norm2 += double(centred[i]) * centred[i];
    }
    if (norm2 <= 0.0)
        return matches;
    const double norm = std::sqrt(norm2);
    // In 0..255 units, over the window.
    const double inkSum = sum * 255.0;
    const double lowest = 0.55 * inkSum, highest = 1.8 * inkSum + 0.05 * n * 255.0;

    const int columns = box.width() - w + 1;
    const int rows = box.height() - h + 1;
    std::vector<std::int64_t> columnSum(box.width(), 0);
    std::vector<std::int64_t> columnSquares(box.width(), 0);
    const auto addRow = [&](int row, int sign) {
        const unsigned char *values = &map.values[size_t(row) * box.width()];
        for (int x = 0; x < box.width(); ++x) {
            columnSum[x] += sign * values[x];
            columnSquares[x] += sign * values[x] * values[x];
        }
    };
    for (int row = 0; row < h; ++row)
        addRow(row, 1);
    // A line through a filled marker hides little of it; a hollow one it can cross from side to side.
    const bool lenient = hasHole(pattern);
    LenientScore lenientScore(map, pattern);
    // Scores of three window rows, so that peaks are found a row behind the scoring.
    std::vector<float> scores(size_t(3) * columns, -1.0f);
    const auto scoreRow = [&](int row) { return &scores[size_t(row % 3) * columns]; };
    const auto score = [&](int left, int top, double windowSum, double windowSquares) {
        const double variance = windowSquares - windowSum * windowSum / n;
        if (variance <= 0.0)
            return -1.0f;
        double product = 0.0;
        const float *t = centred.data();
        for (int y = 0; y < h; ++y) {
            const unsigned char *values = &map.values[size_t(top + y) * box.width() + left];
            for (int x = 0; x < w; ++x)
                product += double(*t++) * values[x];
        }
        return float(product / (norm * std::sqrt(variance)));
    };
    const auto findPeaks = [&](int row) {
        const float *above = row > 0 ? scoreRow(row - 1) : nullptr;
        const float *here = scoreRow(row);
        const float *below = row + 1 < rows ? scoreRow(row + 1) : nullptr;
        for (int x = 0; x < columns; ++x) {
            const float s = here[x];
            if (s < matchLevel)
                continue;
            const float left = x > 0 ? here[x - 1] : -1.0f, right = x + 1 < columns ? here[x + 1] : -1.0f;
            const float up = above ? above[x] : -1.0f, down = below ? below[x] : -1.0f;
            // Ties go to the first in reading order.
            bool peak = left < s && right <= s && up < s && down <= s;
            for (int dx = -1; dx <= 1 && peak; dx += 2) {
                if (x + dx < 0 || x + dx >= columns)
                    continue;
                peak = (!above || above[x + dx] < s) && (!below || below[x + dx] <= s);
            }
            if (!peak)
                continue;
            const QPointF fine(x + parabolaTop(left, s, right), row + parabolaTop(up, s, down));
            matches.push_back({QPointF(box.left(), box.top()) + fine + pattern.centre, s});
        }
    };
    for (int top = 0; top < rows; ++top) {
        if (cancelled && top % 16 == 0 && cancelled())
            return {};
        float *out = scoreRow(top);
        std::int64_t windowSum = 0, windowSquares = 0;
        for (int x = 0; x < w; ++x)
            windowSum += columnSum[x], windowSquares += columnSquares[x];
        for (int left = 0; left < columns; ++left) {
            if (left > 0) {
                windowSum += columnSum[left + w - 1] - columnSum[left - 1];
                windowSquares += columnSquares[left + w - 1] - columnSquares[left - 1];
            }
            out[left] = windowSum >= lowest && windowSum <= highest
                            ? score(left, top, double(windowSum), double(windowSquares))
                            : -1.0f;
        }
        // Apart from the running sums, so that their loop stays tight.
        for (int left = 0; lenient && left < columns; ++left) {
            if (out[left] > lenientFloor && out[left] < matchLevel)
                out[left] = std::max(out[left], lenientScore(left, top));
        }
        if (top > 0)
            findPeaks(top - 1);
        if (top + h < box.height()) {
            addRow(top + h, 1);
            addRow(top, -1);
        }
    }
    findPeaks(rows - 1);
    return matches;
}

// The best match of every cluster: a weaker one closer than most of a marker's size to a stronger one
// is the same marker.
std::vector<Match> strongestApart(std::vector<Match> matches, QSize markerSize)
{
    const double spacing = std::max(1.0, 0.6 * std::min(markerSize.width(), markerSize.height()));
    std::sort(matches.begin(), matches.end(),
              [](const Match &a, const Match &b) { return a.score > b.score; });
    PointGrid grid(spacing);
    std::vector<Match> kept;
    for (const Match &match : matches) {
        if (grid.anyWithin(match.centre, spacing))
            continue;
        grid.insert(match.centre, kept.size());
        kept.push_back(match);
    }
    return kept;
}

// Inside the region, or less than half a marker beyond it: markers on a frame line still count.
bool inReach(const SearchRegion &region, QPointF centre, QSizeF half)
{
    for (QPointF offset : {QPointF(0, 0), QPointF(-half.width(), 0), QPointF(half.width(), 0),
                           QPointF(0, -half.height()), QPointF(0, half.height())}) {
        const QPointF p = centre + offset;
        if (region.contains(int(std::floor(p.x())), int(std::floor(p.y()))))
            return true;
    }
    return false;
}

// The clicked marker's template and its matches in map.
struct Found
{
    MarkerTemplate pattern;
    std::vector<Match> matches;
};

// A hollow template learnt again from what the markers it found have in common: the clicked outline
// may have a line through it or a side on one.
Found learntFromMatches(const CoverageMap &map, Found found, const std::function<bool()> &cancelled)
{
    for (int round = 0; round < commonRounds && hasHole(found.pattern) && found.matches.size() >= 3;
         ++round) {
        std::vector<QPointF> best;
        for (const Match &match : found.matches)
            best.push_back(match.centre);
        const std::optional<MarkerTemplate> common = commonTemplate(map, found.pattern, best);
        if (!common)
            break;
        found = {*common, strongestApart(matchTemplate(map, *common, cancelled), common->markerSize)};
    }
    return found;
}

std::optional<Found> findLike(const CoverageMap &map, QPoint clicked, const std::function<bool()> &cancelled)
{
    std::optional<MarkerTemplate> pattern = learnTemplate(map, clicked);
    if (!pattern)
        return std::nullopt;
    std::vector<Match> matches = strongestApart(matchTemplate(map, *pattern, cancelled), pattern->markerSize);
    // So few like the clicked one: it may be two touching markers, learnt again from a single one.
    if (matches.size() < 3) {
        if (const std::optional<QPoint> single = singleMarkerPixel(map, pattern->solidCount)) {
            std::optional<MarkerTemplate> smaller = learnTemplate(map, *single);
            std::vector<Match> more =
                smaller ? strongestApart(matchTemplate(map, *smaller, cancelled), smaller->markerSize)
                        : std::vector<Match>();
            if (more.size() > matches.size()) {
                pattern = smaller;
                matches = std::move(more);
            }
        }
    }
    return learntFromMatches(map, Found{*pattern, std::move(matches)}, cancelled);
}

// The colour of the outlines' solid core: of the pixels the template holds mostly ink, over the best
// matches, the one three quarters of the way from the palest to the most ink-like.
QRgb typicalInk(const Raster &raster, const InkModel &ink, const Found &found)
{
    const QRgb background = ink.background(), picked = ink.ink();
    const double dr = qRed(picked) - qRed(background), dg = qGreen(picked) - qGreen(background),
                 db = qBlue(picked) - qBlue(background);
    std::vector<std::pair<double, QRgb>> pixels;
    const MarkerTemplate &pattern = found.pattern;
    for (size_t m = 0; m < found.matches.size() && m < size_t(15); ++m) {
        const QPointF corner = found.matches[m].centre - pattern.centre;
        for (int y = 0; y < pattern.height; ++y) {
            for (int x = 0; x < pattern.width; ++x) {
                const int px = int(std::floor(corner.x() + x + 0.5)),
                          py = int(std::floor(corner.y() + y + 0.5));
                if (pattern.values[size_t(y) * pattern.width + x] < 0.5f || !raster.contains(px, py))
                    continue;
                const QRgb pixel = raster.at(px, py);
                const double along = (qRed(pixel) - qRed(background)) * dr +
                                     (qGreen(pixel) - qGreen(background)) * dg +
                                     (qBlue(pixel) - qBlue(background)) * db;
                pixels.push_back({along, pixel});
            }
        }
    }
    if (pixels.empty())
        return picked;
    const auto at = pixels.begin() + pixels.size() * 3 / 4;
    std::nth_element(pixels.begin(), at, pixels.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return at->second;
}

void findFrom(const Preparation &prepared, const Calibration &calibration, const ExtractionParams &params,
              MarkerResult &result)
{
    std::optional<Found> found =
        findLike(coverageOf(prepared, prepared.picked.model), prepared.picked.pixel, params.cancelled);
    if (!found) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    // On a grainy scan the pixel picked near the click may be a pale one of a thin outline, which
    // makes the grain ink: read the picture again with the outlines' typical colour.
    if (hasHole(found->pattern) && found->matches.size() >= 3) {
        const InkModel &picked = prepared.picked.model;
        const InkModel typical(typicalInk(prepared.raster, picked, *found), picked.background(),
                               picked.tolerance());
        found = learntFromMatches(coverageOf(prepared, typical), *std::move(found), params.cancelled);
    }
    const MarkerTemplate &pattern = found->pattern;
    result.markerSize = pattern.markerSize;
    const QSizeF half = QSizeF(pattern.markerSize) / 2.0;
    std::vector<QPointF> centres;
    for (const Match &match : found->matches) {
        if (inReach(prepared.region, match.centre, half))
            centres.push_back(match.centre);
    }
    const std::vector<QPointF> data = withoutLegendSamples(prepared, centres, pattern.markerSize);
    result.leftOut = int(centres.size() - data.size());
    result.points = orderAlongCurve(data, calibration);
    result.status = result.points.isEmpty() ? ExtractionStatus::NothingFound : ExtractionStatus::Found;
}

} // namespace

MarkerResult findMarkers(const QImage &image, const Calibration &calibration, QPointF seed,
                         const ExtractionParams &params)
{
    return runSearch<MarkerResult>(image, calibration, seed, params, findFrom);
}

} // namespace extract
