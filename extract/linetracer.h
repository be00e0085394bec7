#pragma once

#include "extract/straightlines.h"

#include <QPointF>
#include <QPolygonF>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

// The line tracer's parts, shared by its files; not for use outside the room.
namespace extract::tracing {

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

inline QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0.0 ? v / length : QPointF();
}

inline QPointF normalOf(QPointF direction)
{
    return QPointF(-direction.y(), direction.x());
}

inline double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

inline QPointF rotated(QPointF v, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return QPointF(v.x() * c - v.y() * s, v.x() * s + v.y() * c);
}

// Where a line runs at the last of its centres and how it bends there (radians per pixel towards
// normalOf), from the circle through it and two centres farther back; nothing when those are too close.
struct Heading
{
    QPointF direction;
    double curvature = 0.0;
};
std::optional<Heading> headingAtEnd(const QPolygonF &centres);

// A run of ink met going round a circle: the way from the centre to its middle, and its length.
struct CircleRun
{
    QPointF outwards;
    double arc = 0.0;
};
// The runs on the circle of radius r round centre where isInk holds; none when it holds all round.
std::vector<CircleRun> inkRunsOnCircle(QPointF centre, double r, const std::function<bool(QPointF)> &isInk);

// The run of ink that a cut across the line meets nearest its middle.
struct Section
{
    bool found = false;
    // The run ends on something other than background (another colour, the
    // region's edge, a line taken out) or at the end of the cut.
    bool blocked = false;
    // Cut short on one side only, by a line taken out: the
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
    // Centres an earlier follow took, which a turn never goes back along: from a
    // click on an end marker, the way behind would otherwise take the line ahead again.
    void setTracedBefore(const QPolygonF &centres) { m_tracedBefore = centres; }
    // The path with its jumps (coasts, corners, bridges) filled in along the ink's bends and corners.
    QPolygonF closeGaps(const QPolygonF &path) const;

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
    // Where straight stretches before and after a blob meet, when that is under ink.
    std::optional<QPointF> sharpCorner(const QPolygonF &before, const QPolygonF &after) const;
    // Points between the end of before and the start of after, along a smooth bend.
    QPolygonF bridged(const QPolygonF &before, const QPolygonF &after) const;

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
    QPolygonF m_tracedBefore;
    mutable std::vector<float> m_values;
};

} // namespace extract::tracing
