#include "digitizing/curveinsertion.h"

#include "core/model/projectmodel.h"
#include "core/model/spline.h"

#include <QLineF>

#include <algorithm>

namespace {

constexpr int insertionSamples = 24;

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    if (lengthSquared <= 1e-9)
        return QLineF(p, a).length();
    const double u = qBound(0.0, QPointF::dotProduct(p - a, ab) / lengthSquared, 1.0);
    return QLineF(p, a + u * ab).length();
}

} // namespace

int insertionIndexNear(const ProjectModel &model, const QPointF &position, double maxDistance)
{
    const int active = model.activeCurveIndex();
    if (active < 0)
        return -1;
    const Curve &curve = model.curves()[active];
    const int n = int(curve.points.size());
    if (!curve.visible || n < 2)
        return -1;
    double best = 0.0;
    int bestSegment = -1;
    for (int i = 0; i + 1 < n; ++i) {
        const QPointF p0 = curve.points[qMax(i - 1, 0)].pixel;
        const QPointF p1 = curve.points[i].pixel;
        const QPointF p2 = curve.points[i + 1].pixel;
        const QPointF p3 = curve.points[qMin(i + 2, n - 1)].pixel;
        // The segment is the cubic Bezier p1, p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2 and
        // stays inside the box of these control points: a click farther than
        // maxDistance from that box cannot pick this segment.
        const QPointF c1 = p1 + (p2 - p0) / 6.0;
        const QPointF c2 = p2 - (p3 - p1) / 6.0;
        const double left = std::min({p1.x(), c1.x(), c2.x(), p2.x()}) - maxDistance;
        const double right = std::max({p1.x(), c1.x(), c2.x(), p2.x()}) + maxDistance;
        const double top = std::min({p1.y(), c1.y(), c2.y(), p2.y()}) - maxDistance;
        const double bottom = std::max({p1.y(), c1.y(), c2.y(), p2.y()}) + maxDistance;
        if (position.x() < left || position.x() > right || position.y() < top || position.y() > bottom)
            continue;
        const auto sample = [&](int k) {
            const double t = double(k) / insertionSamples;
            return n == 2 ? p1 + (p2 - p1) * t : catmullRomPoint(p0, p1, p2, p3, t);
        };
        QPointF a = sample(0);
        for (int k = 1; k <= insertionSamples; ++k) {
            const QPointF b = sample(k);
            const double distance = distanceToSegment(position, a, b);
            if (bestSegment < 0 || distance < best) {
                best = distance;
                bestSegment = i;
            }
            a = b;
        }
    }
    return bestSegment >= 0 && best <= maxDistance ? bestSegment + 1 : -1;
}
