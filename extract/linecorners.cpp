#include "extract/linetracer.h"

#include <algorithm>
#include <cmath>

namespace extract::tracing {

namespace {

// A straight line through points, by least squares, and how far they stray from it.
struct StraightFit
{
    QPointF through;
    QPointF direction;
    double spread = 0.0; // root mean square distance from the line
};

std::optional<StraightFit> fitStraight(const QPolygonF &points)
{
    if (points.size() < 5)
        return std::nullopt;
    QPointF mean;
    for (QPointF p : points)
        mean += p;
    mean /= double(points.size());
    double xx = 0.0, xy = 0.0, yy = 0.0;
    for (QPointF p : points) {
        const QPointF d = p - mean;
        xx += d.x() * d.x(), xy += d.x() * d.y(), yy += d.y() * d.y();
    }
    const double angle = 0.5 * std::atan2(2.0 * xy, xx - yy);
    const QPointF direction(std::cos(angle), std::sin(angle));
    const double across = xx * direction.y() * direction.y() - 2.0 * xy * direction.x() * direction.y() +
                          yy * direction.x() * direction.x();
    return StraightFit{mean, direction, std::sqrt(std::max(0.0, across) / double(points.size()))};
}

} // namespace

QPolygonF Tracer::walk(QPointF from, QPointF direction, int steps, bool *atEdge) const
{
    // A speck of compression noise on the line is stepped over.
    constexpr int maxMisses = 2;
    QPolygonF centres;
    QPointF at = from;
    int misses = 0;
    while (centres.size() < steps) {
        const QPointF ahead = at + direction * ((misses + 1) * stepLength);
        const Section section = cut(ahead, direction, 0.6);
        if (!section.found || section.blocked || section.mass > m_massLimit ||
            section.extent > m_extentLimit) {
            if (++misses <= maxMisses)
                continue;
            if (atEdge)
                *atEdge = std::any_of(m_values.begin(), m_values.end(),
                                      [](float value) { return value <= InkField::outside; });
            break;
        }
        misses = 0;
        const QPointF centre = ahead + normalOf(direction) * section.offset;
        if (!centres.isEmpty() && distance(centre, centres.first()) > 3.0)
            direction = unit(centre - centres[std::max<qsizetype>(0, centres.size() - 4)]);
        centres.append(centre);
        at = centre;
    }
    return centres;
}

bool Tracer::goesOn(QPointF from, QPointF direction) const
{
    bool atEdge = false;
    return walk(from, direction, confirmSteps, &atEdge).size() == confirmSteps || atEdge;
}

std::vector<char> Tracer::reachable(QPoint from, int radius) const
{
    const int side = 2 * radius + 1;
    std::vector<char> seen(size_t(side) * side, 0);
    const auto passable = [&](int x, int y) {
        if (!m_field.inside(QPointF(x + 0.5, y + 0.5)))
            return false;
        const float value = m_field.at(x, y);
        return value > noiseFloor || value == InkField::masked;
    };
    std::vector<QPoint> stack;
    if (passable(from.x(), from.y())) {
        seen[size_t(radius) * side + radius] = 1;
        stack.push_back(from);
    }
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = p.x() + dx, y = p.y() + dy;
                const int i = x - from.x() + radius, j = y - from.y() + radius;
                if (i < 0 || j < 0 || i >= side || j >= side || seen[size_t(j) * side + i] || !passable(x, y))
                    continue;
                seen[size_t(j) * side + i] = 1;
                stack.push_back(QPoint(x, y));
            }
        }
    }
    return seen;
}

std::vector<CircleRun> inkRunsOnCircle(QPointF centre, double r, const std::function<bool(QPointF)> &isInk)
{
    const int samples = int(std::ceil(2.0 * M_PI * r / sampleSpacing));
    std::vector<char> ink(samples);
    for (int k = 0; k < samples; ++k) {
        const double angle = 2.0 * M_PI * k / samples;
        ink[k] = isInk(centre + QPointF(std::cos(angle), std::sin(angle)) * r);
    }
    // Round once from a sample off the ink, so that no run is split where the circle starts.
    std::vector<CircleRun> runs;
    const int first = int(std::find(ink.begin(), ink.end(), 0) - ink.begin());
    if (first == samples)
        return runs;
    int runStart = -1;
    for (int k = first + 1; k <= first + samples; ++k) {
        if (ink[k % samples] && runStart < 0)
            runStart = k;
        if (ink[k % samples] || runStart < 0)
            continue;
        const double middle = M_PI * (runStart + k - 1) / samples;
        runs.push_back({QPointF(std::cos(middle), std::sin(middle)), (k - runStart) * sampleSpacing});
        runStart = -1;
    }
    return runs;
}

std::optional<Tracer::Turn> Tracer::turnCorner(const QPolygonF &centres, QPointF incoming) const
{
    const QPointF end = centres.last();
    const int radius = int(std::ceil(2.0 * m_maxGap)) + 2;
    const QPoint origin(int(std::floor(end.x())), int(std::floor(end.y())));
    const std::vector<char> connected = reachable(origin, radius);
    const int side = 2 * radius + 1;
    const auto joined = [&](QPointF p) {
        const int i = int(std::floor(p.x())) - origin.x() + radius;
        const int j = int(std::floor(p.y())) - origin.y() + radius;
        return i >= 0 && j >= 0 && i < side && j < side && connected[size_t(j) * side + i];
    };
    // The line traced so far, near its end, is where the search came from.
    QPolygonF recent;
    for (qsizetype i = centres.size() - 1; i >= 0 && distance(centres[i], end) <= 2.5 * radius; --i)
        recent.prepend(centres[i]);
    for (QPointF c : m_tracedBefore) {
        if (distance(c, end) <= 2.5 * radius)
            recent.append(c);
    }
    const auto traced = [&](QPointF p) {
        for (QPointF c : recent)
            if (distance(p, c) < m_width + 2.5)
                return true;
        return false;
    };
    // A line found goes on cleanly for a few steps; more of it straightens the stretch after a corner.
    constexpr int cleanSteps = 8;
    constexpr int fitSteps = 16;
    QPolygonF before;
    for (qsizetype i = centres.size() - 1; i >= 0 && distance(centres[i], end) <= 2.0 * cornerReach; --i)
        before.prepend(centres[i]);
    const auto isInk = [&](QPointF p) { return m_field.sample(p) > solidLevel && joined(p); };
    for (double r = 0.5 * m_maxGap; r <= 2.0 * m_maxGap; r += 2.0) {
        std::optional<Turn> best;
        double bestTurn = 1e300;
        for (const CircleRun &run : inkRunsOnCircle(end, r, isInk)) {
            QPointF at = end + run.outwards * r;
            if (traced(at))
                continue;
            QPointF along = lineDirection(at);
            if (QPointF::dotProduct(along, at - end) < 0.0)
                along = -along;
            const Section section = cut(at, along, 2.0);
            at += normalOf(along) * section.offset;
            const QPolygonF ahead = walk(at, along, fitSteps);
            if (!section.found || section.blocked || ahead.size() < cleanSteps)
                continue;
            along = unit(ahead[cleanSteps - 1] - at);
            const double turn = std::abs(std::atan2(incoming.x() * along.y() - incoming.y() * along.x(),
                                                    QPointF::dotProduct(incoming, along)));
            if (turn < bestTurn) {
                bestTurn = turn;
                best = Turn{joinAt(before, at, along, ahead), along};
            }
        }
        if (best)
            return best;
    }
    return std::nullopt;
}

QPolygonF Tracer::joinAt(const QPolygonF &before, QPointF at, QPointF along, const QPolygonF &ahead) const
{
    // The stretch between the corner's blob and the point found, traced back towards the blob.
    const QPolygonF back = walk(at, -along, int(2.0 * m_maxGap));
    QPolygonF joined;
    for (qsizetype i = back.size() - 1; i >= 0; --i)
        joined.append(back[i]);
    joined.append(at);
    if (const std::optional<QPointF> corner = sharpCorner(before, joined + ahead))
        joined.prepend(*corner);
    else
        joined = bridged(before, joined + ahead) + joined;
    return joined;
}

std::optional<QPointF> Tracer::sharpCorner(const QPolygonF &before, const QPolygonF &after) const
{
    // A sharp corner lies where the two straight stretches meet, under ink.
    const std::optional<StraightFit> in = fitStraight(before);
    const std::optional<StraightFit> out = fitStraight(after);
    if (!in || !out || in->spread > maxSpread || out->spread > maxSpread)
        return std::nullopt;
    const double cross = in->direction.x() * out->direction.y() - in->direction.y() * out->direction.x();
    if (std::abs(cross) < 0.3)
        return std::nullopt;
    const QPointF d = out->through - in->through;
    const QPointF corner =
        in->through + in->direction * ((d.x() * out->direction.y() - d.y() * out->direction.x()) / cross);
    // A marker on the corner may read as another colour, a grid line under it as a line taken out.
    const float under = m_field.sample(corner);
    if (distance(corner, before.last()) < cornerReach && distance(corner, after.first()) < cornerReach &&
        (under >= solidLevel || under == InkModel::foreign || under == InkField::masked))
        return corner;
    return std::nullopt;
}

QPolygonF Tracer::bridged(const QPolygonF &before, const QPolygonF &after) const
{
    // A smooth bend hidden under a line taken out (a peak along a grid line) goes on as the cubic that
    // leaves the one end and meets the other along their tangents, rather than as a chord across it.
    const QPointF p0 = before.last(), p1 = after.first();
    const double length = distance(p0, p1);
    const std::optional<Heading> leaving = headingAtEnd(before);
    const std::optional<Heading> arriving = headingAtEnd(QPolygonF(after.rbegin(), after.rend()));
    if (length < 2.0 || !leaving || !arriving)
        return {};
    const QPointF d0 = leaving->direction, d1 = -arriving->direction;
    // A bend of a smooth line leaves and meets the chord across it at small angles.
    constexpr double steepest = 0.5; // cosine of 60 degrees
    const QPointF chord = unit(p1 - p0);
    if (QPointF::dotProduct(d0, chord) < steepest || QPointF::dotProduct(d1, chord) < steepest)
        return {};
    // Tangents as long as make the cubic follow a circular arc that turns as much.
    const double turn = std::acos(std::clamp(QPointF::dotProduct(d0, d1), -1.0, 1.0));
    const double reach = turn > 1e-3 ? length * 2.0 * std::tan(0.25 * turn) / std::sin(0.5 * turn) : length;
    const QPointF m0 = d0 * reach, m1 = d1 * reach;
    QPolygonF curve;
    const int pieces = int(std::ceil(length));
    for (int k = 1; k < pieces; ++k) {
        const double t = double(k) / pieces, t2 = t * t, t3 = t2 * t;
        const QPointF point =
            p0 * (2 * t3 - 3 * t2 + 1) + m0 * (t3 - 2 * t2 + t) + p1 * (3 * t2 - 2 * t3) + m1 * (t3 - t2);
        // Where that runs over paper it is not the line.
        const float value = m_field.sample(point);
        if (value == InkField::outside || (value >= 0.0f && value < solidLevel))
            return {};
        curve.append(point);
    }
    return curve;
}

QPolygonF Tracer::closeGaps(const QPolygonF &path) const
{
    // Where the trace coasted or jumped, a straight segment would cut the line's bend or corner.
    constexpr double gapStep = 1.6;
    // A jump turning more than this from the way the line ran (cosine of 45 degrees) is a corner: the
    // line's heading is not taken across it.
    constexpr double straightOn = 0.7;
    // A few centres that jumps cut off on both sides may be a walk back to a corner from past it.
    constexpr qsizetype islandSize = 6;
    const auto jumps = [&](qsizetype k) { return distance(path[k - 1], path[k]) > gapStep; };
    // The centres on one side of from, towards it, as far as a corner.
    const auto stretch = [&](qsizetype from, qsizetype step) {
        QPolygonF points{path[from]};
        for (qsizetype k = from + step; k >= 0 && k < path.size(); k += step) {
            if (distance(path[k], path[from]) > 2.0 * cornerReach)
                break;
            // A jump between k and the centre before it on the way out from `from`.
            if (jumps(std::max(k, k - step)) && distance(points.last(), points.first()) >= 2.0) {
                const QPointF running =
                    unit(points.last() - points[std::max<qsizetype>(0, points.size() - 4)]);
                if (QPointF::dotProduct(running, unit(path[k] - points.last())) < straightOn)
                    break;
            }
            points.append(path[k]);
        }
        return step < 0 ? QPolygonF(points.rbegin(), points.rend()) : points;
    };
    QPolygonF closed;
    closed.reserve(path.size());
    // Centres beside a corner that stray from the straight run into it are on the rim of a marker
    // there, or pulled by a grid line through it: the corner takes their place.
    const auto strays = [&](QPointF p, QPointF corner, QPointF anchor) {
        const QPointF along = unit(anchor - corner);
        const QPointF offset = p - corner;
        return std::abs(offset.x() * along.y() - offset.y() * along.x()) > 2.0 * maxSpread;
    };
    // Puts the corner after what is closed so far; gives where the path goes on from there.
    const auto turnAt = [&](QPointF corner, qsizetype from) {
        const auto far = std::find_if(closed.rbegin(), closed.rend(),
                                      [&](QPointF p) { return distance(p, corner) >= m_maxGap; });
        while (far != closed.rend() && distance(closed.last(), corner) < m_maxGap &&
               strays(closed.last(), corner, *far))
            closed.removeLast();
        closed.append(corner);
        qsizetype anchor = from;
        while (anchor + 1 < path.size() && distance(path[anchor], corner) < m_maxGap)
            ++anchor;
        while (from < anchor && strays(path[from], corner, path[anchor]))
            ++from;
        return from;
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (i > 0 && jumps(i)) {
            const QPolygonF before = stretch(i - 1, -1);
            // Such an island is left out when the stretches around it meet at a corner.
            qsizetype next = i + 1;
            while (next < path.size() && !jumps(next) && distance(path[next], path[i]) < m_maxGap)
                ++next;
            const bool island = next < path.size() && next - i <= islandSize;
            std::optional<QPointF> corner = island ? sharpCorner(before, stretch(next, 1)) : std::nullopt;
            if (corner)
                i = next;
            const QPolygonF after = stretch(i, 1);
            if (!corner)
                corner = sharpCorner(before, after);
            if (corner)
                i = turnAt(*corner, i);
            else
                closed.append(bridged(before, after));
        }
        closed.append(path[i]);
    }
    return closed;
}

} // namespace extract::tracing
