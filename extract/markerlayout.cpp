#include "extract/markerlayout.h"

#include "extract/pointgrid.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>

namespace extract {

namespace {

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The nearest other centre of each, found in growing circles.
std::vector<double> nearestDistances(const std::vector<QPointF> &centres, double start)
{
    PointGrid grid(start);
    for (size_t i = 0; i < centres.size(); ++i)
        grid.insert(centres[i], i);
    std::vector<double> nearest(centres.size(), 1e300);
    for (size_t i = 0; i < centres.size(); ++i) {
        for (double radius = start; radius <= 64.0 * start; radius *= 4.0) {
            if (const std::optional<size_t> other = grid.nearest(centres[i], radius, i)) {
                nearest[i] = distance(centres[i], centres[*other]);
                break;
            }
        }
    }
    return nearest;
}

// Text has many short strokes: a row through it turns from paper to ink again
// and again, where a data line crosses once. Other markers and straight lines
// are not counted, and the count stops at the region's edge.
bool textBeside(const Preparation &prepared, QPointF centre, QSize markerSize, const PointGrid &markers,
                const LineBands &lines)
{
    // Text is about as dark as ink; halfway from the paper to the ink keeps a scan's grain out.
    const QRgb background = prepared.picked.model.background();
    const QRgb ink = prepared.picked.model.ink();
    const int contrast =
        std::max(60, (std::abs(qRed(ink) - qRed(background)) + std::abs(qGreen(ink) - qGreen(background)) +
                      std::abs(qBlue(ink) - qBlue(background))) /
                         2);
    const auto drawn = [&](int x, int y) {
        const QRgb p = prepared.raster.at(x, y);
        return std::abs(qRed(p) - qRed(background)) + std::abs(qGreen(p) - qGreen(background)) +
                   std::abs(qBlue(p) - qBlue(background)) >
               contrast;
    };
    const double reach = std::max(40.0, 8.0 * markerSize.width());
    const double clear = 0.5 * markerSize.width() + 2.0;
    const double markerRadius = 0.75 * std::max(markerSize.width(), markerSize.height());
    for (int side : {-1, 1}) {
        // Strokes of text cross two of the three rows at least (the third may pass over lower-case
        // letters beside a taller marker); a dotted line along one row crosses only that one.
        int texty = 0;
        for (double dy : {-0.25, 0.0, 0.25}) {
            const int y = int(std::floor(centre.y() + dy * markerSize.height()));
            bool wasDrawn = false;
            int turns = 0;
            for (double d = clear; d <= reach; d += 1.0) {
                const int x = int(std::floor(centre.x() + side * d));
                if (!prepared.region.contains(x, y))
                    break;
                const QPointF p(x + 0.5, y + 0.5);
                const bool now = drawn(x, y) && !lines.covers(p) && !markers.anyWithin(p, markerRadius);
                turns += now && !wasDrawn ? 1 : 0;
                wasDrawn = now;
            }
            texty += turns >= 3 ? 1 : 0;
        }
        if (texty >= 2)
            return true;
    }
    return false;
}

} // namespace

std::vector<QPointF> withoutLegendSamples(const Preparation &prepared, const std::vector<QPointF> &centres,
                                          QSize markerSize)
{
    const double size = std::max(2, std::max(markerSize.width(), markerSize.height()));
    std::vector<QPointF> kept;
    if (centres.size() >= 4) {
        // Lone markers far from all others are strays.
        const std::vector<double> nearest = nearestDistances(centres, 2.0 * size);
        std::vector<double> sorted = nearest;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        const double limit = 3.0 * sorted[sorted.size() / 2];
        for (size_t i = 0; i < centres.size(); ++i) {
            if (nearest[i] <= limit)
                kept.push_back(centres[i]);
        }
    } else {
        kept = centres;
    }
    PointGrid markers(size);
    for (size_t i = 0; i < centres.size(); ++i)
        markers.insert(centres[i], i);
    const LineBands lines(prepared.everyStraightLine);
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](QPointF c) { return textBeside(prepared, c, markerSize, markers, lines); }),
               kept.end());
    return kept;
}

QPolygonF orderAlongCurve(const std::vector<QPointF> &centres, const Calibration &calibration)
{
    QPolygonF ordered;
    if (centres.empty())
        return ordered;
    size_t current = 0;
    for (size_t i = 1; i < centres.size(); ++i) {
        if (calibration.pixelToReal(centres[i]).x() < calibration.pixelToReal(centres[current]).x())
            current = i;
    }
    const std::vector<double> nearest = nearestDistances(centres, 8.0);
    std::vector<double> sorted = nearest;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double spacing = std::clamp(sorted[sorted.size() / 2], 1.0, 1e6);
    PointGrid grid(spacing);
    for (size_t i = 0; i < centres.size(); ++i)
        grid.insert(centres[i], i);
    std::vector<char> taken(centres.size(), 0);
    for (size_t count = 0; count < centres.size(); ++count) {
        ordered.append(centres[current]);
        taken[current] = 1;
        grid.remove(centres[current], current);
        if (count + 1 == centres.size())
            break;
        std::optional<size_t> next;
        for (double radius = 2.0 * spacing; !next && radius <= 64.0 * spacing; radius *= 2.0)
            next = grid.nearest(centres[current], radius);
        // A jump across the picture: rare, so a plain pass will do.
        const bool jump = !next;
        for (size_t i = 0; jump && i < centres.size(); ++i) {
            if (!taken[i] && (!next || distance(centres[i], centres[current]) <
                                           distance(centres[*next], centres[current])))
                next = i;
        }
        current = *next;
    }
    return ordered;
}

} // namespace extract
