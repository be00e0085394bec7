#include "extract/extraction.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace extract {

namespace {

constexpr float solidLevel = 0.5f;
// Pixels closer than this (largest channel difference) to the background are skipped unread.
constexpr int backgroundSlack = 6;
constexpr int largestGroup = 6;

enum : uchar { Empty = 0, Solid = 1, Taken = 2, Rim = 3 };

struct WeightedPixel
{
    double x, y, weight;
};

struct Blob
{
    std::vector<WeightedPixel> pixels; // solid ones and their antialiased rim
    int solidCount = 0;
    QRect box;
};

// The ink pixels of the region as a mask over its bounds.
class InkMask
{
public:
    InkMask(const Preparation &prepared)
        : m_prepared(prepared)
        , m_bounds(prepared.region.bounds())
    {
        m_cells.assign(size_t(m_bounds.width()) * m_bounds.height(), Empty);
        const InkModel &ink = prepared.picked.model;
        const QRgb background = ink.background();
        for (int y = m_bounds.top(); y <= m_bounds.bottom(); ++y) {
            const QRgb *row = prepared.raster.row(y);
            uchar *cells = &m_cells[size_t(y - m_bounds.top()) * m_bounds.width() - m_bounds.left()];
            prepared.region.forEachSpan(y, [&](int x0, int x1) {
                for (int x = x0; x <= x1; ++x) {
                    const QRgb pixel = row[x];
                    if (std::abs(qRed(pixel) - qRed(background)) <= backgroundSlack &&
                        std::abs(qGreen(pixel) - qGreen(background)) <= backgroundSlack &&
                        std::abs(qBlue(pixel) - qBlue(background)) <= backgroundSlack)
                        continue;
                    if (ink.coverage(pixel) >= solidLevel && !onStraightLine(x, y))
                        cells[x] = Solid;
                }
            });
        }
    }

    uchar &cell(int x, int y)
    {
        return m_cells[size_t(y - m_bounds.top()) * m_bounds.width() + x - m_bounds.left()];
    }
    bool contains(int x, int y) const { return m_bounds.contains(x, y); }
    QRect bounds() const { return m_bounds; }

    // The 8-connected blob of solid pixels at (x, y), marked as taken, with its rim.
    Blob takeBlob(int x, int y)
    {
        Blob blob;
        std::vector<QPoint> stack{{x, y}};
        cell(x, y) = Taken;
        blob.box = QRect(x, y, 1, 1);
        const InkModel &ink = m_prepared.picked.model;
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            blob.pixels.push_back(
                {p.x() + 0.5, p.y() + 0.5, ink.coverage(m_prepared.raster.at(p.x(), p.y()))});
            ++blob.solidCount;
            blob.box |= QRect(p, QSize(1, 1));
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = p.x() + dx, ny = p.y() + dy;
                    if (!contains(nx, ny))
                        continue;
                    uchar &state = cell(nx, ny);
                    if (state == Solid) {
                        state = Taken;
                        stack.push_back({nx, ny});
                    } else if (state == Empty) {
                        // The faint edge still moves the centre; leaving it out would round towards whole
                        // pixels.
                        state = Rim;
                        const float coverage = ink.coverage(m_prepared.raster.at(nx, ny));
                        if (coverage > 0.0f && m_prepared.region.contains(nx, ny))
                            blob.pixels.push_back({nx + 0.5, ny + 0.5, coverage});
                    }
                }
            }
        }
        return blob;
    }

private:
    // Lines of other colours pass under markers drawn over them: only those of the ink are left out.
    bool onStraightLine(int x, int y) const
    {
        const QPointF centre(x + 0.5, y + 0.5);
        return std::any_of(m_prepared.straightLines.begin(), m_prepared.straightLines.end(),
                           [&](const StraightLine &line) { return line.inInk && line.covers(centre); });
    }

    const Preparation &m_prepared;
    QRect m_bounds;
    std::vector<uchar> m_cells;
};

QPointF centroid(const std::vector<WeightedPixel> &pixels)
{
    double sx = 0, sy = 0, sw = 0;
    for (const WeightedPixel &p : pixels) {
        sx += p.x * p.weight;
        sy += p.y * p.weight;
        sw += p.weight;
    }
    return sw > 0.0 ? QPointF(sx / sw, sy / sw) : QPointF();
}

// Touching markers: k centres by Lloyd's iterations, started evenly along the blob's long axis.
std::vector<QPointF> splitBlob(const Blob &blob, int parts)
{
    const QPointF mean = centroid(blob.pixels);
    double xx = 0, xy = 0, yy = 0;
    for (const WeightedPixel &p : blob.pixels) {
        xx += p.weight * (p.x - mean.x()) * (p.x - mean.x());
        xy += p.weight * (p.x - mean.x()) * (p.y - mean.y());
        yy += p.weight * (p.y - mean.y()) * (p.y - mean.y());
    }
    const double angle = 0.5 * std::atan2(2.0 * xy, xx - yy);
    const QPointF axis(std::cos(angle), std::sin(angle));
    double low = 1e300, high = -1e300;
    for (const WeightedPixel &p : blob.pixels) {
        const double t = (p.x - mean.x()) * axis.x() + (p.y - mean.y()) * axis.y();
        low = std::min(low, t);
        high = std::max(high, t);
    }
    std::vector<QPointF> centres;
    for (int i = 0; i < parts; ++i)
        centres.push_back(mean + axis * (low + (high - low) * (i + 0.5) / parts));
    std::vector<std::vector<WeightedPixel>> groups(parts);
    for (int iteration = 0; iteration < 20; ++iteration) {
        for (auto &group : groups)
            group.clear();
        for (const WeightedPixel &p : blob.pixels) {
            int nearest = 0;
            double nearestDistance = 1e300;
            for (int i = 0; i < parts; ++i) {
                const double d = std::hypot(p.x - centres[i].x(), p.y - centres[i].y());
                if (d < nearestDistance) {
                    nearestDistance = d;
                    nearest = i;
                }
            }
            groups[nearest].push_back(p);
        }
        for (int i = 0; i < parts; ++i)
            centres[i] = groups[i].empty() ? centres[i] : centroid(groups[i]);
    }
    return centres;
}

// How many clicked-like markers a blob holds: 0 when it is something else.
int markerCount(const Blob &blob, const Blob &reference)
{
    const double ratio = double(blob.solidCount) / reference.solidCount;
    const int count = int(std::lround(ratio));
    if (count < 1 || count > largestGroup || std::abs(ratio - count) > 0.35 + 0.1 * (count - 1))
        return 0;
    const double longSide = std::max(blob.box.width(), blob.box.height());
    const double shortSide = std::min(blob.box.width(), blob.box.height());
    const double referenceLong = std::max(reference.box.width(), reference.box.height());
    const double referenceShort = std::min(reference.box.width(), reference.box.height());
    // A group may lie diagonally, so only a single marker's box has a bound across.
    if ((count == 1 && shortSide > 1.35 * referenceLong + 2.0) || shortSide < 0.65 * referenceShort - 2.0)
        return 0;
    if (longSide > count * 1.2 * referenceLong + 2.0 || longSide < 0.65 * referenceLong - 2.0)
        return 0;
    return count;
}

// The blob that shows one marker: the clicked one, unless it is a group of
// touching markers, which the many single ones of about half its size reveal.
size_t referenceBlob(const std::vector<Blob> &blobs)
{
    const int clicked = blobs.front().solidCount;
    std::vector<std::pair<int, size_t>> alike;
    for (size_t i = 0; i < blobs.size(); ++i) {
        if (blobs[i].solidCount >= 0.25 * clicked && blobs[i].solidCount <= 1.35 * clicked)
            alike.push_back({blobs[i].solidCount, i});
    }
    std::nth_element(alike.begin(), alike.begin() + alike.size() / 2, alike.end());
    const auto &[medianCount, medianIndex] = alike[alike.size() / 2];
    return medianCount < 0.7 * clicked ? medianIndex : 0;
}

// Chains the centres from the one with the least x (axis units), always to the nearest left over.
QPolygonF orderAlongCurve(std::vector<QPointF> centres, const Calibration &calibration)
{
    QPolygonF ordered;
    if (centres.empty())
        return ordered;
    size_t first = 0;
    for (size_t i = 1; i < centres.size(); ++i) {
        if (calibration.pixelToReal(centres[i]).x() < calibration.pixelToReal(centres[first]).x())
            first = i;
    }
    std::swap(centres[0], centres[first]);
    for (size_t i = 0; i + 1 < centres.size(); ++i) {
        size_t nearest = i + 1;
        for (size_t j = i + 2; j < centres.size(); ++j) {
            const QPointF a = centres[j] - centres[i];
            const QPointF b = centres[nearest] - centres[i];
            if (a.x() * a.x() + a.y() * a.y() < b.x() * b.x() + b.y() * b.y())
                nearest = j;
        }
        std::swap(centres[i + 1], centres[nearest]);
    }
    for (QPointF centre : centres)
        ordered.append(centre);
    return ordered;
}

// Drops lone markers far from all others, such as a legend's sample.
std::vector<QPointF> withoutStrays(const std::vector<QPointF> &centres)
{
    if (centres.size() < 4)
        return centres;
    std::vector<double> nearest(centres.size(), 1e300);
    for (size_t i = 0; i < centres.size(); ++i) {
        for (size_t j = 0; j < centres.size(); ++j) {
            if (i != j)
                nearest[i] = std::min(
                    nearest[i], std::hypot(centres[i].x() - centres[j].x(), centres[i].y() - centres[j].y()));
        }
    }
    std::vector<double> sorted = nearest;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double limit = 3.0 * sorted[sorted.size() / 2];
    std::vector<QPointF> kept;
    for (size_t i = 0; i < centres.size(); ++i) {
        if (nearest[i] <= limit)
            kept.push_back(centres[i]);
    }
    return kept;
}

void findFrom(const Preparation &prepared, const Calibration &calibration, const ExtractionParams &,
              MarkerResult &result)
{
    InkMask mask(prepared);
    const QPoint start = prepared.picked.pixel;
    if (!mask.contains(start.x(), start.y()) || mask.cell(start.x(), start.y()) != Solid) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    std::vector<Blob> blobs{mask.takeBlob(start.x(), start.y())};
    const QRect bounds = mask.bounds();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        const uchar *row = &mask.cell(bounds.left(), y) - bounds.left();
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (row[x] == Solid)
                blobs.push_back(mask.takeBlob(x, y));
        }
    }
    const Blob &reference = blobs[referenceBlob(blobs)];
    result.markerSize = reference.box.size();
    std::vector<QPointF> centres;
    for (const Blob &blob : blobs) {
        const int count = markerCount(blob, reference);
        if (count == 1)
            centres.push_back(centroid(blob.pixels));
        else if (count > 1)
            for (QPointF centre : splitBlob(blob, count))
                centres.push_back(centre);
    }
    result.points = orderAlongCurve(withoutStrays(centres), calibration);
    result.status = ExtractionStatus::Found;
}

} // namespace

MarkerResult findMarkers(const QImage &image, const Calibration &calibration, QPointF seed,
                         const ExtractionParams &params)
{
    return runSearch<MarkerResult>(image, calibration, seed, params, findFrom);
}

} // namespace extract
