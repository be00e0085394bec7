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

// The picked ink's coverage round the search region. Straight lines drawn in
// the ink are left out; on lines of other colours only what is clearly ink
// stays, since markers are drawn over them.
CoverageMap coverageOf(const Preparation &prepared)
{
    CoverageMap map;
    map.box = prepared.region.bounds()
                  .adjusted(-readMargin, -readMargin, readMargin, readMargin)
                  .intersected(QRect(0, 0, prepared.raster.width(), prepared.raster.height()));
    map.values.assign(size_t(map.box.width()) * map.box.height(), 0);
    const LineMask lines(prepared.straightLines);
    const InkModel &ink = prepared.picked.model;
    const QRgb background = ink.background();
    for (int y = map.box.top(); y <= map.box.bottom(); ++y) {
        const QRgb *row = prepared.raster.row(y);
        unsigned char *cells = &map.values[size_t(y - map.box.top()) * map.box.width()] - map.box.left();
        for (int x = map.box.left(); x <= map.box.right(); ++x) {
            const QRgb pixel = row[x];
            if (std::abs(qRed(pixel) - qRed(background)) <= backgroundSlack &&
                std::abs(qGreen(pixel) - qGreen(background)) <= backgroundSlack &&
                std::abs(qBlue(pixel) - qBlue(background)) <= backgroundSlack)
                continue;
            const float coverage = ink.coverage(pixel);
            if (coverage <= 0.0f)
                continue;
            if (lines.hides(QPointF(x + 0.5, y + 0.5), coverage))
                continue;
            cells[x] = static_cast<unsigned char>(std::lround(coverage * 255.0f));
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

void findFrom(const Preparation &prepared, const Calibration &calibration, const ExtractionParams &params,
              MarkerResult &result)
{
    const CoverageMap map = coverageOf(prepared);
    std::optional<MarkerTemplate> pattern = learnTemplate(map, prepared.picked.pixel);
    if (!pattern) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    std::vector<Match> matches =
        strongestApart(matchTemplate(map, *pattern, params.cancelled), pattern->markerSize);
    // So few like the clicked one: it may be two touching markers, learnt again from a single one.
    if (matches.size() < 3) {
        if (const std::optional<QPoint> single = singleMarkerPixel(map, pattern->solidCount)) {
            std::optional<MarkerTemplate> smaller = learnTemplate(map, *single);
            std::vector<Match> more =
                smaller ? strongestApart(matchTemplate(map, *smaller, params.cancelled), smaller->markerSize)
                        : std::vector<Match>();
            if (more.size() > matches.size()) {
                pattern = smaller;
                matches = std::move(more);
            }
        }
    }
    result.markerSize = pattern->markerSize;
    const QSizeF half = QSizeF(pattern->markerSize) / 2.0;
    std::vector<QPointF> centres;
    for (const Match &match : matches) {
        if (inReach(prepared.region, match.centre, half))
            centres.push_back(match.centre);
    }
    const std::vector<QPointF> data = withoutLegendSamples(prepared, centres, pattern->markerSize);
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
