#include "extract/linetracer.h"
#include "extract/extraction.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace extract {

namespace tracing {

std::optional<Heading> headingAtEnd(const QPolygonF &centres)
{
    // The last steps before a crossing may lean towards the other line; chords over more steps do not.
    constexpr double chord = 7.0;
    if (centres.isEmpty())
        return std::nullopt;
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
        return std::nullopt;
    const double turn = std::atan2(earlier.x() * recent.y() - earlier.y() * recent.x(),
                                   earlier.x() * recent.x() + earlier.y() * recent.y());
    constexpr double sharpest = 0.2;
    const double curvature = std::clamp(turn / (0.5 * (recentLength + earlierLength)), -sharpest, sharpest);
    return Heading{rotated(recent / recentLength, curvature * 0.5 * recentLength), curvature};
}

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
    const QPointF startDirection = direction;
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
            if (gap == stepLength) {
                if (const std::optional<Heading> bend = headingAtEnd(centres)) {
                    direction = bend->direction;
                    curvature = bend->curvature;
                }
            }
            continue;
        }
        const QPointF centre = predicted + normalOf(heading) * section.offset;
        // Past a blob (a marker on the line) its rim may look like the line: the line goes on from there.
        if (disturbed && !goesOn(centre, heading))
            continue;
        travelled += distance(centre, last);
        // Back at the start heading the way it left: a loop; heading back, a turn onto the way come.
        if (travelled > 3.0 * m_maxGap && distance(centre, start) < 1.2 &&
            QPointF::dotProduct(heading, startDirection) > 0.0) {
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

} // namespace tracing

namespace {

using namespace tracing;

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

// How far back from the start the line is taken as traced, against turns back onto it.
constexpr double backwardReach = 24.0;

// A coast across an end marker may land on its far rim and find nothing beyond: a
// lone centre after a last jump, at either end, is no part of the line.
QPolygonF withoutStrandedEnds(QPolygonF path)
{
    constexpr double jump = 6.0;
    for (int end = 0; end < 2; ++end) {
        const qsizetype last = path.size() - 1;
        if (last > 1 && distance(path[last - 1], path[last]) > jump)
            path.removeLast();
        std::reverse(path.begin(), path.end());
    }
    return path;
}

// Where a trace starts, the way it goes, and the cut that tells the line's width there.
struct TraceStart
{
    QPointF at;
    QPointF direction;
    Section section;
};

// The lightest clean line leaving a blob round at, looked for on circles round it: near a
// corner both lines leave as one run, farther out apart.
std::optional<TraceStart> lineLeaving(const Tracer &tracer, const InkField &field, QPointF at)
{
    constexpr double nearest = 3.0, farthest = 16.0;
    std::optional<TraceStart> lightest; // going away from at
    const auto isInk = [&](QPointF p) { return field.sample(p) > solidLevel; };
    for (double r = nearest; r <= farthest; r += 1.0) {
        // A circle all ink is still inside the blob; one without ink has nothing leaving.
        for (const CircleRun &run : inkRunsOnCircle(at, r, isInk)) {
            // Still round the blob, not a line leaving it.
            if (run.arc > std::max(6.0, 0.25 * r * 2.0 * M_PI))
                continue;
            const QPointF outwards = run.outwards;
            QPointF along = tracer.lineDirection(at + outwards * r);
            if (QPointF::dotProduct(along, outwards) < 0.0)
                along = -along;
            const Section section = tracer.cut(at + outwards * r, along, 2.0);
            if (!section.found || section.blocked)
                continue;
            // A line goes on from there as light, unlike the tip of a dash or a rim.
            const Section farther = tracer.cut(at + outwards * r + along * 2.0 * stepLength, along, 2.0);
            const bool steady = farther.found && !farther.blocked && farther.mass < 1.2 * section.mass;
            if (steady && (!lightest || section.mass < lightest->section.mass))
                lightest = TraceStart{at + outwards * r + normalOf(along) * section.offset, along, section};
        }
    }
    return lightest;
}

// Where a trace starts from a click.
std::optional<TraceStart> traceStart(const Tracer &tracer, const InkField &field, QPointF pixelCentre)
{
    QPointF direction = tracer.lineDirection(pixelCentre);
    const Section atClick = tracer.cut(pixelCentre, direction, 3.0);
    const QPointF clicked = atClick.found ? pixelCentre + normalOf(direction) * atClick.offset : pixelCentre;
    // At a marker on a corner, or beside one, no way along the click may leave it: the line is
    // taken where it leaves.
    const std::optional<TraceStart> exit = lineLeaving(tracer, field, clicked);
    if (!atClick.found)
        return exit;
    direction = tracer.lineDirection(clicked);
    // Beside another line (a grid line) the cut at the click may run into it: a few steps along the
    // line, it stands clear.
    constexpr int clearSteps = 12;
    // The clean cut nearest the click that is about as light as the lightest along the
    // ink round it: a click in a marker cuts the marker, and the line is measured where
    // it stands clear of it; a dash's tip, lighter than its line, does not count.
    struct Candidate
    {
        Section section;
        QPointF at;
        int step;
        bool steady; // the next cut out from the click is found and no heavier
    };
    std::vector<Candidate> candidates;
    bool inkGoesOn[2] = {true, true}; // ahead of the click, behind it: only along unbroken ink
    for (int k = 0; k <= 2 * clearSteps; ++k) {
        const int side = k % 2 == 1 ? 0 : 1;
        if (k > 0 && !inkGoesOn[side])
            continue;
        const QPointF along = direction * (side == 0 ? stepLength : -stepLength);
        const QPointF at = clicked + along * double((k + 1) / 2);
        const Section cutHere = tracer.cut(at, direction, 2.0);
        inkGoesOn[side] = inkGoesOn[side] && cutHere.found;
        if (!cutHere.found || cutHere.blocked)
            continue;
        const Section next = tracer.cut(at + along, direction, 2.0);
        const bool steady = next.found && !next.blocked && next.mass < 1.2 * cutHere.mass;
        candidates.push_back({cutHere, at + normalOf(direction) * cutHere.offset, k, steady});
    }
    double lightest = 1e300;
    for (const Candidate &c : candidates)
        lightest = c.steady ? std::min(lightest, c.section.mass) : lightest;
    auto chosen = std::find_if(candidates.begin(), candidates.end(), [&](const Candidate &c) {
        return c.steady && c.section.mass <= 1.3 * lightest;
    });
    // Nothing steady (a click on a marker's far rim): the nearest clean cut, as clicked.
    if (chosen == candidates.end())
        chosen = candidates.begin();
    if (exit &&
        (chosen == candidates.end() || chosen->step > 0 || chosen->section.mass > 1.8 * exit->section.mass))
        return exit;
    if (chosen == candidates.end())
        return std::nullopt;
    TraceStart start{chosen->at, direction, chosen->section};
    if (chosen->step > 0) {
        const QPointF clearDirection = tracer.lineDirection(start.at);
        const Section clearSection = tracer.cut(start.at, clearDirection, 2.0);
        if (clearSection.found && !clearSection.blocked && clearSection.mass <= 1.2 * start.section.mass) {
            start.direction = clearDirection;
            start.section = clearSection;
            start.at += normalOf(clearDirection) * clearSection.offset;
        }
    }
    return start;
}

// A few centres the trace jumped to and back from, where it came back beside the point it
// left (a walk back along the line before a corner): no part of the path.
QPolygonF withoutExcursions(const QPolygonF &path)
{
    constexpr qsizetype longestExcursion = 6;
    constexpr double jump = 2.0;
    QPolygonF kept;
    kept.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!kept.isEmpty() && distance(kept.last(), path[i]) > jump) {
            qsizetype back = i + 1;
            while (back < path.size() && back - i <= longestExcursion &&
                   distance(kept.last(), path[back]) > jump)
                ++back;
            if (back < path.size() && back - i <= longestExcursion) {
                i = back - 1; // path[back] is taken next
                continue;
            }
        }
        kept.append(path[i]);
    }
    return kept;
}

void traceFrom(const Preparation &prepared, const Calibration &calibration, const ExtractionParams &params,
               TraceResult &result)
{
    const InkField field(prepared.raster, prepared.picked.model, prepared.region, prepared.straightLines);
    const QPointF pixelCentre = prepared.seedCentre();
    Tracer tracer(field, params.cancelled);
    const std::optional<TraceStart> found = traceStart(tracer, field, pixelCentre);
    if (!found) {
        result.status = ExtractionStatus::NothingFound;
        return;
    }
    const QPointF start = found->at;
    tracer.setLine(found->section);
    const QPointF direction = forwardDirection(start, found->direction, calibration);

    // Neither way may turn back onto the line the other way takes: ahead, that is the
    // line behind the start, and behind, the centres ahead took.
    QPolygonF lineBehind;
    for (double t = 0.0; t <= backwardReach; t += stepLength)
        lineBehind.append(start - direction * t);
    tracer.setTracedBefore(lineBehind);
    bool closed = false;
    const QPolygonF ahead = tracer.follow(start, direction, &closed);
    if (closed) {
        result.path = ahead;
    } else {
        bool unused = false;
        tracer.setTracedBefore(ahead);
        const QPolygonF behind = tracer.follow(start, -direction, &unused);
        result.path.reserve(behind.size() + ahead.size() - 1);
        for (qsizetype i = behind.size() - 1; i > 0; --i)
            result.path.append(behind[i]);
        result.path.append(ahead);
    }
    result.closed = closed;
    result.path =
        withoutExcursions(tracer.closeGaps(closed ? result.path : withoutStrandedEnds(result.path)));
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
