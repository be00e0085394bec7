#include "extract/extraction.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace extract {

namespace {

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = ab.x() * ab.x() + ab.y() * ab.y();
    double t = length2 > 0.0 ? ((p.x() - a.x()) * ab.x() + (p.y() - a.y()) * ab.y()) / length2 : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    const QPointF nearest = a + ab * t;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// Douglas-Peucker, by an explicit stack: a long trace would overflow recursion.
std::vector<qsizetype> keptIndices(const QPolygonF &path, double maxError)
{
    std::vector<bool> keep(path.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<qsizetype, qsizetype>> pending{{0, path.size() - 1}};
    while (!pending.empty()) {
        const auto [first, last] = pending.back();
        pending.pop_back();
        double worst = 0.0;
        qsizetype worstIndex = -1;
        for (qsizetype i = first + 1; i < last; ++i) {
            const double error = distanceToSegment(path[i], path[first], path[last]);
            if (error > worst) {
                worst = error;
                worstIndex = i;
            }
        }
        if (worst > maxError) {
            keep[worstIndex] = true;
            pending.push_back({first, worstIndex});
            pending.push_back({worstIndex, last});
        }
    }
    std::vector<qsizetype> indices;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (keep[i])
            indices.push_back(i);
    }
    return indices;
}

// Stretches of the path (first and last index) along which x runs one way.
// They are cut where the simplified path turns, so that the centres' jitter
// does not split a steep stretch.
std::vector<std::pair<qsizetype, qsizetype>> monotoneSections(const QPolygonF &path,
                                                              const std::vector<double> &xs)
{
    const std::vector<qsizetype> corners = keptIndices(path, maxShapeError);
    std::vector<std::pair<qsizetype, qsizetype>> sections;
    qsizetype sectionStart = corners.front();
    int sense = 0;
    for (size_t i = 1; i < corners.size(); ++i) {
        const double change = xs[corners[i]] - xs[corners[i - 1]];
        const int here = change > 0.0 ? 1 : (change < 0.0 ? -1 : 0);
        if (here != 0 && sense != 0 && here != sense) {
            // The turn itself lies near this corner, between its neighbours.
            qsizetype turn = corners[i - 1];
            for (qsizetype k = std::max(sectionStart, corners[i >= 2 ? i - 2 : 0]); k <= corners[i]; ++k) {
                if ((xs[k] - xs[turn]) * sense > 0.0)
                    turn = k;
            }
            sections.push_back({sectionStart, turn});
            sectionStart = turn;
        }
        if (here != 0)
            sense = here;
    }
    sections.push_back({sectionStart, corners.back()});
    return sections;
}

// The x values to sample on a section running from x0 to x1.
std::vector<double> targetsBetween(double x0, double x1, const Sampling &sampling)
{
    std::vector<double> targets;
    if (sampling.mode == SamplingMode::EvenInX) {
        const int count = std::max(1, sampling.count);
        if (count == 1 || x0 == x1)
            return {x0};
        // The last target is x1 itself: x0 + (x1 - x0) can miss it by rounding.
        for (int k = 0; k + 1 < count; ++k)
            targets.push_back(x0 + (x1 - x0) * k / (count - 1));
        targets.push_back(x1);
        return targets;
    }
    const double low = std::min(x0, x1);
    const double high = std::max(x0, x1);
    if (sampling.calendarStep) {
        // As many as the evenly spaced steps may give.
        for (double instant : calendarInstants(low, high, *sampling.calendarStep, 1000000))
            targets.push_back(std::clamp(instant, low, high));
    } else {
        const double step = std::abs(sampling.step);
        // Too many steps would only repeat the path's own vertices.
        if (!(step > 0.0) || !std::isfinite(step) || (high - low) / step > 1e6)
            return targets;
        // Ends that miss a multiple by rounding alone still take it, held inside the section.
        const double last = std::floor(high / step + 1e-9);
        for (double k = std::ceil(low / step - 1e-9); k <= last; k += 1.0)
            targets.push_back(std::clamp(k * step, low, high));
    }
    if (x1 < x0)
        std::reverse(targets.begin(), targets.end());
    return targets;
}

} // namespace

QPolygonF simplifyPath(const QPolygonF &path, double maxError)
{
    if (path.size() < 3)
        return path;
    QPolygonF simplified;
    for (qsizetype index : keptIndices(path, maxError))
        simplified.append(path[index]);
    return simplified;
}

QPolygonF samplePath(const QPolygonF &path, const Calibration &calibration, const Sampling &sampling)
{
    if (sampling.mode == SamplingMode::KeepShape || path.size() < 2)
        return simplifyPath(path, maxShapeError);
    // On a logarithmic x axis the spacing is even in log10(x), and a step is a
    // factor: dx = 2 puts a point at every power of 2.
    const bool logarithmic = calibration.xLogScale;
    Sampling inScale = sampling;
    // Calendar steps count on a date axis only.
    if (calibration.xKind != AxisKind::Date)
        inScale.calendarStep.reset();
    if (logarithmic && sampling.mode == SamplingMode::EveryDx)
        inScale.step = sampling.step > 1.0 ? std::log10(sampling.step) : 0.0;
    std::vector<double> xs;
    xs.reserve(path.size());
    for (QPointF p : path) {
        const double x = calibration.pixelToReal(p).x();
        xs.push_back(logarithmic ? std::log10(x) : x);
    }

    QPolygonF points;
    for (const auto &[first, last] : monotoneSections(path, xs)) {
        qsizetype cursor = first;
        for (double target : targetsBetween(xs[first], xs[last], inScale)) {
            // The first segment from the cursor on that reaches the target.
            while (cursor < last && !((xs[cursor] - target) * (xs[cursor + 1] - target) <= 0.0))
                ++cursor;
            if (cursor >= last) {
                if (std::abs(xs[last] - target) <= 1e-12 * std::max(1.0, std::abs(target)))
                    points.append(path[last]);
                break;
            }
            const double span = xs[cursor + 1] - xs[cursor];
            const double t = span != 0.0 ? (target - xs[cursor]) / span : 0.0;
            const QPointF point = path[cursor] + (path[cursor + 1] - path[cursor]) * t;
            if (points.isEmpty() || points.last() != point)
                points.append(point);
        }
    }
    return points;
}

} // namespace extract
