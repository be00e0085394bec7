#include "core/model/spline.h"

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

namespace {

// Tangent of one coordinate at a point from the differences before and after
// it (unit parameter steps): Fritsch-Butland's harmonic mean, zero at an
// extremum or a flat side. It never exceeds twice the smaller difference,
// which keeps the cubic monotone between its end values.
double monotoneTangent(double before, double after)
{
    if (before * after <= 0.0)
        return 0.0;
    return 2.0 * before * after / (before + after);
}

QPointF tangentAt(const QList<QPointF> &points, qsizetype index)
{
    const qsizetype last = points.size() - 1;
    if (index == 0)
        return points.at(1) - points.at(0);
    if (index == last)
        return points.at(last) - points.at(last - 1);
    const QPointF before = points.at(index) - points.at(index - 1);
    const QPointF after = points.at(index + 1) - points.at(index);
    return QPointF(monotoneTangent(before.x(), after.x()), monotoneTangent(before.y(), after.y()));
}

} // namespace

QPointF monotoneSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t)
{
    Q_ASSERT(points.size() >= 2 && segment >= 0 && segment + 1 < points.size());
    const QPointF &b = points.at(segment);
    const QPointF &c = points.at(segment + 1);
    if (t == 1.0)
        return c;
    const QPointF mb = tangentAt(points, segment);
    const QPointF mc = tangentAt(points, segment + 1);
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2.0 * t3 - 3.0 * t2 + 1.0) * b + (t3 - 2.0 * t2 + t) * mb + (3.0 * t2 - 2.0 * t3) * c +
           (t3 - t2) * mc;
}

QPointF smoothedSegmentPoint(const QList<QPointF> &points, qsizetype segment, double t,
                             CurveSmoothing smoothing)
{
    switch (smoothing) {
    case CurveSmoothing::ShapePreserving: return monotoneSegmentPoint(points, segment, t);
    case CurveSmoothing::StraightLines:
        return t == 1.0 ? points.at(segment + 1)
                        : points.at(segment) + (points.at(segment + 1) - points.at(segment)) * t;
    case CurveSmoothing::Spline: break;
    }
    return splineSegmentPoint(points, segment, t);
}

QList<QPointF> resampleCurve(const QList<QPointF> &points, int count, CurveSmoothing smoothing)
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
        samples.append(smoothedSegmentPoint(points, segment, s - double(segment), smoothing));
    }
    return samples;
}
