#include "core/model/curvecleanup.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

double distanceToPolyline(QPointF p, const QList<QPointF> &line)
{
    if (line.size() == 1)
        return distance(p, line.first());
    double nearest = 1e300;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const QPointF a = line[i], ab = line[i + 1] - line[i];
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, distance(p, a + ab * t));
    }
    return nearest;
}

} // namespace

QList<QPointF> sortedByX(const QList<QPointF> &pixels, const Calibration &calibration)
{
    std::vector<std::pair<double, qsizetype>> keys;
    keys.reserve(pixels.size());
    for (qsizetype i = 0; i < pixels.size(); ++i)
        keys.push_back({calibration.pixelToReal(pixels[i]).x(), i});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QPointF> sorted;
    sorted.reserve(pixels.size());
    for (const auto &key : keys)
        sorted.append(pixels[key.second]);
    return sorted;
}

QList<QPointF> withoutDuplicates(const QList<QPointF> &pixels, double tolerance)
{
    // Cells as large as the tolerance: a duplicate lies in one of the nine around a point.
    const double cell = std::max(tolerance, 1e-9);
    QHash<QPair<qint64, qint64>, QList<QPointF>> kept;
    QList<QPointF> result;
    for (QPointF p : pixels) {
        const qint64 cx = qint64(std::floor(p.x() / cell)), cy = qint64(std::floor(p.y() / cell));
        bool duplicate = false;
        for (qint64 dy = -1; dy <= 1 && !duplicate; ++dy) {
            for (qint64 dx = -1; dx <= 1 && !duplicate; ++dx) {
                for (QPointF q : kept.value({cx + dx, cy + dy}))
                    duplicate = duplicate || distance(p, q) <= tolerance;
            }
        }
        if (duplicate)
            continue;
        kept[{cx, cy}].append(p);
        result.append(p);
    }
    return result;
}

QList<QPointF> mergedAlongPath(const QList<QPointF> &existing, const QList<QPointF> &added, double tolerance)
{
    if (existing.isEmpty())
        return added;
    QList<QPointF> fresh;
    for (QPointF p : added) {
        if (distanceToPolyline(p, existing) > tolerance)
            fresh.append(p);
    }
    if (fresh.isEmpty())
        return existing;
    // Of the four ways to join, the one with the shortest joint.
    const double afterEnd = distance(existing.last(), fresh.first());
    const double afterEndTurned = distance(existing.last(), fresh.last());
    const double beforeStart = distance(fresh.last(), existing.first());
    const double beforeStartTurned = distance(fresh.first(), existing.first());
    const double shortest = std::min({afterEnd, afterEndTurned, beforeStart, beforeStartTurned});
    QList<QPointF> turned(fresh.crbegin(), fresh.crend());
    if (shortest == afterEnd)
        return existing + fresh;
    if (shortest == afterEndTurned)
        return existing + turned;
    if (shortest == beforeStart)
        return fresh + existing;
    return turned + existing;
}
