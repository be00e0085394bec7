#include "extract/extraction.h"
#include "extract/preparation.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace extract {

namespace {

constexpr double sampleSpacing = 0.5;
constexpr double stepLength = 1.0;
// Compression leaves faint tints beside lines; coverage below this is background.
constexpr float noiseFloor = 0.12f;
constexpr float solidLevel = 0.35f;

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
    double offset = 0.0;
    double mass = 0.0;   // the line's width in pixels
    double extent = 0.0; // from the run's first to its last sample, in pixels
};

class Tracer
{
public:
    explicit Tracer(const InkField &field)
        : m_field(field)
    {}

    // What a clean cut of the line looks like; wider or heavier runs are crossings.
    void setLine(const Section &section)
    {
        m_reach = std::max(4.0, 1.5 * section.mass + 3.0);
        m_massLimit = 1.3 * section.mass + 0.5;
        m_extentLimit = section.extent + 1.0;
        m_maxGap = std::max(16.0, 6.0 * section.mass + 6.0);
    }

    Section cut(QPointF centre, QPointF direction, double maxLateral) const;
    QPointF lineDirection(QPointF at) const;
    // The centres from start onwards (start first); closed when the line comes back to start.
    QPolygonF follow(QPointF start, QPointF direction, bool *closed) const;

private:
    const InkField &m_field;
    double m_reach = 8.0;
    double m_massLimit = 1e9;
    double m_extentLimit = 1e9;
    double m_maxGap = 10.0;
    mutable std::vector<float> m_values;
};

Section Tracer::cut(QPointF centre, QPointF direction, double maxLateral) const
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
        const double offset = moment / mass;
        if (peak >= solidLevel && std::abs(offset) <= bestDistance) {
            bestDistance = std::abs(offset);
            best.found = true;
            best.offset = offset;
            best.mass = mass * sampleSpacing;
            best.extent = (end - 1 - start) * sampleSpacing;
            // Cut short by something else, the run's centre would be off.
            best.blocked = start == 0 || end > last || m_values[start - 1] < 0.0f || m_values[end] < 0.0f;
        }
        start = end;
    }
    return best;
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

QPolygonF Tracer::follow(QPointF start, QPointF direction, bool *closed) const
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
    *closed = false;
    while (budget-- > 0) {
        gap += stepLength;
        if (gap > (disturbed ? 3.0 : 1.0) * m_maxGap)
            break;
        // Coasting goes on along the arc the line was bending on.
        // Far out the arc is a guess: it goes on straight from there.
        const double bent = std::min(gap, m_maxGap);
        const QPointF predicted =
            last + direction * gap + normalOf(direction) * (curvature * bent * (gap - 0.5 * bent));
        if (!m_field.inside(predicted))
            break;
        const QPointF heading = rotated(direction, curvature * bent);
        // Farther from the last centre the line may have bent more.
        const Section section = cut(predicted, heading, 0.6 + 0.3 * gap);
        if (!section.found || section.blocked || section.mass > m_massLimit ||
            section.extent > m_extentLimit) {
            disturbed = disturbed || section.found;
            if (gap == stepLength)
                startCoasting(centres, &direction, &curvature);
            continue;
        }
        const QPointF centre = predicted + normalOf(heading) * section.offset;
        travelled += distance(centre, last);
        if (travelled > 3.0 * m_maxGap && distance(centre, start) < 1.2) {
            centres.append(start);
            *closed = true;
            break;
        }
        centres.append(centre);
        // A chord over a few steps steadies the direction against the centres' jitter.
        const QPointF back = centres[std::max<qsizetype>(0, centres.size() - 5)];
        if (distance(centre, back) > 0.5)
            direction = unit(centre - back);
        last = centre;
        gap = 0.0;
        curvature = 0.0;
        disturbed = false;
    }
    return centres;
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
    Tracer tracer(field);
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
