#include "extract/extraction.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace extract {

namespace {

constexpr double sampleSpacing = 0.5;
constexpr double stepLength = 1.0;
// Compression leaves faint tints beside lines; coverage below this is background.
constexpr float noiseFloor = 0.12f;
constexpr float solidLevel = 0.35f;
// Clean steps that show a line going on after a coast through other ink.
constexpr int confirmSteps = 3;
// How far from both stretches' ends a corner between them may lie, and how
// closely their centres must keep to straight lines for it to be placed.
constexpr double cornerReach = 40.0;
constexpr double maxSpread = 0.3;

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0.0 ? v / length : QPointF();
}

QPointF normalOf(QPointF direction)
{
    return QPointF(-direction.y(), direction.x());
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

QPointF rotated(QPointF v, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return QPointF(v.x() * c - v.y() * s, v.x() * s + v.y() * c);
}

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

// The tangent at the last centre and the bending, from the circle through it
// and two centres farther back: the last steps before a crossing may already
// lean towards the other line, chords over more steps do not.
void startCoasting(const QPolygonF &centres, QPointF *direction, double *curvature)
{
    constexpr double chord = 7.0;
    qsizetype middle = centres.size() - 1;
    const QPointF end = centres[middle];
    while (middle > 0 && distance(centres[middle], end) < chord)
        --middle;
    qsizetype first = middle;
    while (first > 0 && distance(centres[first], centres[middle]) < chord)
        --first;
    const QPointF recent = end - centres[middle];
    const QPointF earlier = centres[middle] - centres[first];
    const double recentLength = std::hypot(recent.x(), recent.y());
    const double earlierLength = std::hypot(earlier.x(), earlier.y());
    if (recentLength < chord || earlierLength < chord)
        return;
    const double turn = std::atan2(earlier.x() * recent.y() - earlier.y() * recent.x(),
                                   earlier.x() * recent.x() + earlier.y() * recent.y());
    constexpr double sharpest = 0.2;
    *curvature = std::clamp(turn / (0.5 * (recentLength + earlierLength)), -sharpest, sharpest);
    *direction = rotated(recent / recentLength, *curvature * 0.5 * recentLength);
}

// The run of ink that a cut across the line meets nearest its middle.
struct Section
{
    bool found = false;
    // The run ends on something other than background (another colour, the
    // region's edge, a line taken out) or at the end of the cut.
    bool blocked = false;
    // Cut short on one side only, by a line taken out or a foreign colour: the
    // offset then comes from the clean edge and the line's usual width.
    bool partial = false;
    double offset = 0.0;
    double mass = 0.0;   // the line's width in pixels
    double extent = 0.0; // from the run's first to its last sample, in pixels
    double width = 0.0;  // between the half-peak crossings of a whole run
    float peak = 0.0f;
};

class Tracer
{
public:
    Tracer(const InkField &field, const std::function<bool()> &cancelled)
        : m_field(field)
        , m_cancelled(cancelled)
    {}

    // What a clean cut of the line looks like; wider or heavier runs are crossings.
    void setLine(const Section &section)
    {
        m_reach = std::max(4.0, 1.5 * section.mass + 3.0);
        m_massLimit = 1.3 * section.mass + 0.5;
        m_extentLimit = section.extent + 1.0;
        m_maxGap = std::max(16.0, 6.0 * section.mass + 6.0);
        m_width = section.width;
        m_peak = section.peak;
    }

    // With partial, a run shut off on one side counts, centred from its clean edge.
    Section cut(QPointF centre, QPointF direction, double maxLateral, bool partial = false) const;
    QPointF lineDirection(QPointF at) const;
    // The centres from start onwards (start first); closed when the line comes back to start.
    QPolygonF follow(QPointF start, QPointF direction, bool *closed);

private:
    // Where the line goes on after a corner the coast could not take.
    struct Turn
    {
        QPolygonF centres; // from the corner on, in the order of travel
        QPointF direction;
    };
    // The clean centres from `from` onwards (not from itself), at most steps of them.
    // atEdge tells whether the last cut tried met the region's edge.
    QPolygonF walk(QPointF from, QPointF direction, int steps, bool *atEdge = nullptr) const;
    // Whether clean centres follow from `from` for a few steps, or up to the region's edge.
    bool goesOn(QPointF from, QPointF direction) const;
    // Which pixels round from ink, lines taken out and other colours
    // but not paper join to it, as a square of side 2 radius + 1.
    std::vector<char> reachable(QPoint from, int radius) const;
    // Looks on growing circles round the last centre for a clean line joined to
    // it by ink, not the one traced, turning least from incoming.
    std::optional<Turn> turnCorner(const QPolygonF &centres, QPointF incoming) const;
    // The centres from the end of the trace to at and ahead, where the line goes on along along.
    QPolygonF joinAt(const QPolygonF &before, QPointF at, QPointF along, const QPolygonF &ahead) const;

    // Where the samples walking from `from` by `step` first reach level, between that sample and the
    // one before it, in pixels from the cut's middle; nothing when they do not before `stop`.
    std::optional<double> crossing(int from, int step, int stop, float level) const;
    // The centre of a run shut off on one side, from its clean edge; nothing when the run is no line.
    std::optional<double> edgeCentre(int start, int end, bool cleanLow) const;

    const InkField &m_field;
    const std::function<bool()> &m_cancelled;
    double m_width = 0.0; // between half-peak crossings, over the clean cuts so far
    float m_peak = 1.0f;
    double m_reach = 8.0;
    double m_massLimit = 1e9;
    double m_extentLimit = 1e9;
    double m_maxGap = 10.0;
    mutable std::vector<float> m_values;
};

Section Tracer::cut(QPointF centre, QPointF direction, double maxLateral, bool partial) const
{
    const QPointF normal = normalOf(direction);
    const int half = int(m_reach / sampleSpacing);
    m_values.resize(2 * half + 1);
    for (int k = -half; k <= half; ++k)
        m_values[k + half] = m_field.sample(centre + normal * (k * sampleSpacing));

    Section best;
    double bestDistance = maxLateral;
    const int last = 2 * half;
    for (int start = 0; start <= last;) {
        if (m_values[start] <= noiseFloor) {
            ++start;
            continue;
        }
        int end = start;
        double mass = 0.0, moment = 0.0;
        float peak = 0.0f;
        while (end <= last && m_values[end] > noiseFloor) {
            const double weight = (m_values[end] - noiseFloor) / (1.0f - noiseFloor);
            mass += weight;
            moment += weight * ((end - half) * sampleSpacing);
            peak = std::max(peak, m_values[end]);
            ++end;
        }
        // Cut short by something else, the run's centre would be off.
        const bool lowShut = start == 0 || m_values[start - 1] < 0.0f;
        const bool highShut = end > last || m_values[end] < 0.0f;
        std::optional<double> offset = moment / mass;
        // Only a line taken out runs beside this one; the region's edge, other colours and blobs do not.
        const bool oneSided = partial && lowShut != highShut && start > 0 && end <= last &&
                              std::min(m_values[start - 1], m_values[end]) == InkField::masked;
        if (oneSided)
            offset = edgeCentre(start, end, highShut);
        if (peak >= solidLevel && offset && std::abs(*offset) <= bestDistance) {
            bestDistance = std::abs(*offset);
            best.found = true;
            best.offset = *offset;
            best.mass = mass * sampleSpacing;
            best.extent = (end - 1 - start) * sampleSpacing;
            best.blocked = lowShut || highShut;
            best.partial = oneSided;
            best.peak = peak;
            const std::optional<double> low = crossing(start, 1, end, 0.5f * peak);
            const std::optional<double> high = crossing(end - 1, -1, start - 1, 0.5f * peak);
            best.width = low && high ? *high - *low : 0.0;
        }
        start = end;
    }
    return best;
}

std::optional<double> Tracer::crossing(int from, int step, int stop, float level) const
{
    const int half = int(m_values.size() / 2);
    for (int j = from; j != stop; j += step) {
        const int before = j - step;
        if (m_values[j] < level)
            continue;
        if (before < 0 || before >= int(m_values.size()) || m_values[before] < 0.0f)
            return std::nullopt;
        const float t = (level - m_values[before]) / (m_values[j] - m_values[before]);
        return ((before - half) + t * (j - before)) * sampleSpacing;
    }
    return std::nullopt;
}

std::optional<double> Tracer::edgeCentre(int start, int end, bool cleanLow) const
{
    if (m_width <= 0.0)
        return std::nullopt;
    const int half = int(m_values.size() / 2);
    const float level = 0.5f * m_peak;
    const std::optional<double> edge =
        cleanLow ? crossing(start, 1, end, level) : crossing(end - 1, -1, start - 1, level);
    if (!edge)
        return std::nullopt;
    // Ink reaching farther from the edge than the line is wide is something else beside it.
    const double shut = ((cleanLow ? end : start - 1) - half) * sampleSpacing;
    if (std::abs(shut - *edge) > m_width + 1.0)
        return std::nullopt;
    return *edge + (cleanLow ? 0.5 : -0.5) * m_width;
}

QPointF Tracer::lineDirection(QPointF at) const
{
    // The line runs where the ink reaches farthest through the point.
    constexpr int angles = 36;
    constexpr double farthest = 40.0;
    double bestLength = -1.0;
    QPointF best(1.0, 0.0);
    for (int i = 0; i < angles; ++i) {
        const double angle = M_PI * i / angles;
        const QPointF direction(std::cos(angle), std::sin(angle));
        double length = 0.0;
        for (int sign : {-1, 1}) {
            double reach = sampleSpacing;
            while (reach < farthest && m_field.sample(at + direction * (sign * reach)) >= solidLevel)
                reach += sampleSpacing;
            length += reach;
        }
        if (length > bestLength) {
            bestLength = length;
            best = direction;
        }
    }
    return best;
}

QPolygonF Tracer::follow(QPointF start, QPointF direction, bool *closed)
{
    QPolygonF centres{start};
    QPointF last = start;
    double gap = 0.0;
    double travelled = 0.0;
    double curvature = 0.0; // radians per pixel while coasting
    const QRect bounds = m_field.region().bounds();
    // Coasting counts as well, so a wandering search ends.
    long budget = 8L * (bounds.width() + bounds.height()) + 1000;
    // Ink seen but disturbed (a grid line alongside, a crossing) justifies a longer coast than a blank gap.
    bool disturbed = false;
    // A coast that lost the line is tried again taking runs cut short on one side (a line
    // along a grid line), then the line is looked for round a corner.
    bool partial = false;
    QPointF lastDirection = direction;
    *closed = false;
    while (budget-- > 0) {
        if (m_cancelled && budget % 256 == 0 && m_cancelled())
            break;
        gap += stepLength;
        // Coasting goes on along the arc the line was bending on.
        // Far out the arc is a guess: it goes on straight from there.
        const double bent = std::min(gap, m_maxGap);
        const QPointF predicted =
            last + direction * gap + normalOf(direction) * (curvature * bent * (gap - 0.5 * bent));
        if (gap > (disturbed ? 3.0 : 1.0) * m_maxGap || !m_field.inside(predicted)) {
            if (!partial) {
                partial = true;
            } else if (const std::optional<Turn> turn = turnCorner(centres, lastDirection)) {
                centres.append(turn->centres);
                last = centres.last();
                lastDirection = turn->direction;
                partial = false;
            } else {
                break;
            }
            direction = lastDirection;
            gap = 0.0;
            curvature = 0.0;
            disturbed = false;
            continue;
        }
        const QPointF heading = rotated(direction, curvature * bent);
        // Farther from the last centre the line may have bent more.
        const Section section = cut(predicted, heading, 0.6 + 0.3 * gap, partial);
        if (!section.found || (section.blocked && !section.partial) || section.mass > m_massLimit ||
            section.extent > m_extentLimit) {
            disturbed = disturbed || section.found;
            if (gap == stepLength)
                startCoasting(centres, &direction, &curvature);
            continue;
        }
        const QPointF centre = predicted + normalOf(heading) * section.offset;
        // Past a blob (a marker on the line) its rim may look like the line: the line goes on from there.
        if (disturbed && !goesOn(centre, heading))
            continue;
        travelled += distance(centre, last);
        if (travelled > 3.0 * m_maxGap && distance(centre, start) < 1.2) {
            centres.append(start);
            *closed = true;
            break;
        }
        centres.append(centre);
        if (!section.blocked && section.width > 0.0) {
            m_width += 0.1 * (section.width - m_width);
            m_peak += 0.1f * (section.peak - m_peak);
            partial = false;
        }
        // A chord over a few steps steadies the direction against the centres' jitter.
        const QPointF back = centres[std::max<qsizetype>(0, centres.size() - 5)];
        if (distance(centre, back) > 0.5)
            direction = unit(centre - back);
        lastDirection = direction;
        last = centre;
        gap = 0.0;
        curvature = 0.0;
        disturbed = false;
    }
    return centres;
}

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
    for (double r = 0.5 * m_maxGap; r <= 2.0 * m_maxGap; r += 2.0) {
        const int samples = int(std::ceil(2.0 * M_PI * r / sampleSpacing));
        std::optional<Turn> best;
        double bestTurn = 1e300;
        // Round once from a sample off the ink, so that no run is split where the circle starts.
        std::vector<char> ink(samples);
        for (int k = 0; k < samples; ++k) {
            const double angle = 2.0 * M_PI * k / samples;
            const QPointF p = end + QPointF(std::cos(angle), std::sin(angle)) * r;
            ink[k] = m_field.sample(p) > solidLevel && joined(p);
        }
        const int first = int(std::find(ink.begin(), ink.end(), 0) - ink.begin());
        if (first == samples)
            continue;
        int runStart = -1;
        for (int k = first + 1; k <= first + samples; ++k) {
            if (ink[k % samples] && runStart < 0)
                runStart = k;
            if (ink[k % samples] || runStart < 0)
                continue;
            const double middle = M_PI * (runStart + k - 1) / samples;
            runStart = -1;
            QPointF at = end + QPointF(std::cos(middle), std::sin(middle)) * r;
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
    // A sharp corner lies where the two straight stretches meet, under ink.
    const QPointF end = before.last();
    const QPointF first = joined.first();
    const std::optional<StraightFit> in = fitStraight(before);
    const std::optional<StraightFit> out = fitStraight(joined + ahead);
    if (!in || !out || in->spread > maxSpread || out->spread > maxSpread)
        return joined;
    const double cross = in->direction.x() * out->direction.y() - in->direction.y() * out->direction.x();
    if (std::abs(cross) < 0.3)
        return joined;
    const QPointF d = out->through - in->through;
    const QPointF corner =
        in->through + in->direction * ((d.x() * out->direction.y() - d.y() * out->direction.x()) / cross);
    if (distance(corner, end) < cornerReach && distance(corner, first) < cornerReach &&
        m_field.sample(corner) >= solidLevel)
        joined.prepend(corner);
    return joined;
}

// Forward is towards growing x in axis units (growing y on a vertical stretch).
QPointF forwardDirection(QPointF at, QPointF direction, const Calibration &calibration)
{
    const QPointF here = calibration.pixelToReal(at);
    const QPointF ahead = calibration.pixelToReal(at + direction);
    const double dx = ahead.x() - here.x();
    const double dy = ahead.y() - here.y();
    const bool backwards = std::abs(dx) > 1e-3 * std::abs(dy) ? dx < 0.0 : dy < 0.0;
    return backwards ? -direction : direction;
}

void traceFrom(const Preparation &prepared, const Calibration &calibration, const ExtractionParams &params,
               TraceResult &result)
{
    const InkField field(prepared.raster, prepared.picked.model, prepared.region, prepared.straightLines);
    const QPointF pixelCentre = prepared.seedCentre();
    Tracer tracer(field, params.cancelled);
    QPointF direction = tracer.lineDirection(pixelCentre);
    Section section = tracer.cut(pixelCentre, direction, 3.0);
    if (!section.found) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    QPointF start = pixelCentre + normalOf(direction) * section.offset;
    direction = tracer.lineDirection(start);
    section = tracer.cut(start, direction, 2.0);
    if (section.found)
        start += normalOf(direction) * section.offset;
    if (!section.found || section.blocked) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    tracer.setLine(section);
    direction = forwardDirection(start, direction, calibration);

    bool closed = false;
    const QPolygonF ahead = tracer.follow(start, direction, &closed);
    if (closed) {
        result.path = ahead;
    } else {
        bool unused = false;
        const QPolygonF behind = tracer.follow(start, -direction, &unused);
        result.path.reserve(behind.size() + ahead.size() - 1);
        for (qsizetype i = behind.size() - 1; i > 0; --i)
            result.path.append(behind[i]);
        result.path.append(ahead);
    }
    result.closed = closed;
    if (result.path.size() < 2) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    result.points = samplePath(result.path, calibration, params.sampling);
    result.status = ExtractionStatus::Found;
}

} // namespace

TraceResult traceCurve(const QImage &image, const Calibration &calibration, QPointF seed,
                       const ExtractionParams &params)
{
    return runSearch<TraceResult>(image, calibration, seed, params, traceFrom);
}

} // namespace extract
