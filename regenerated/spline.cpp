#include "regenerated/spline.h"

#include <QtGlobal>

#include <algorithm>

QPointF catmullRomPoint(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d, double t)
{
    // S(t) = 0.5 (2B + (C - A) t + (2A - 5B + 4C - D) t^2 + (3B - A - 3C + D) t^3):
    // the cubic Hermite segment whose tangents at B and C are (C - A) / 2 and
    // (D - B) / 2. S(0) = B exactly; S(1) = C only up to rounding, so the end
    // of a segment is returned as it is, and resampled curves end on their
    // last acquired point to the bit.
    if (t == 1.0)
        return c;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return 0.5 * (2.0 * b + (c - a) * t + (2.0 * a - 5.0 * b + 4.0 * c - d) * t2 +
                  (3.0 * b - a - 3.0 * c + d) * t3);
}

QPointF splineSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t)
{
    const qsizetype last = points.size() - 1;
    Q_ASSERT(last >= 1 && segment >= 0 && segment < last);
    return catmullRomPoint(points.at(std::max<qsizetype>(segment - 1, 0)), points.at(segment),
                           points.at(segment + 1), points.at(std::min(segment + 2, last)), t);
}

QList<QPointF> resampleCurve(const QList<QPointF> &points, int count)
{
    const qsizetype n = points.size();
    if (count <= n || n < 2)
        return points;

    // Evenly over the parameter, not over x or arc length: every segment gets
    // the same share of samples however long it is.
    QList<QPointF> samples;
    samples.reserve(count);
    for (int j = 0; j < count; ++j) {
        const double u = std::clamp(double(j) / double(count - 1), 0.0, 1.0);
        const double s = double(n - 1) * u;
        const qsizetype segment = std::min<qsizetype>(n - 2, qsizetype(s));
        samples.append(splineSegmentPoint(points, segment, s - double(segment)));
    }
    return samples;
}
