#pragma once

#include "core/model/calibration.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QString>

#include <functional>
#include <optional>

// Automatic extraction of a curve from the picture, starting at one pixel the
// user clicked. Everything is in picture pixels (pixel (i, j) covers
// [i, i+1) x [j, j+1)); the calibration only bounds the search and gives the
// x of the sampling.
namespace extract {

enum class SamplingMode {
    KeepShape, // the fewest points that keep the traced line within maxShapeError
    EvenInX,   // count points evenly spaced in x, per section where x runs one way
    EveryDx,   // at every multiple of step (axis units) in x, per such section
};
// On a logarithmic x axis both go by log10(x): EvenInX is even in log10(x), and
// EveryDx's step is a factor above 1, with a point at every power of it.

// On a date x axis EveryDx may take a calendar step instead: a point on the
// first of every month, every 7 days, every hour (counted from 1970-01-01).
struct Sampling
{
    SamplingMode mode = SamplingMode::KeepShape;
    int count = 100;
    double step = 1.0;
    std::optional<CalendarStep> calendarStep = std::nullopt;
};

constexpr double maxShapeError = 0.5;

struct ExtractionParams
{
    // Restricts the search further; empty: the plot area inside the axes.
    QPolygonF region;
    // How far (colour distance, 0..442) a pixel may lie from the blends of the
    // picked ink with the background and still count; 0 chooses from their contrast.
    double tolerance = 0.0;
    Sampling sampling;
    // Asked now and then while a search runs; true stops it, with status Cancelled and nothing found.
    std::function<bool()> cancelled;
};

enum class ExtractionStatus {
    Found,
    NoPicture,
    NotCalibrated,
    SeedOutside,
    SeedOnBackground,
    NothingFound,
    Cancelled,
};

// The text a user sees for a status that is not Found.
QString statusMessage(ExtractionStatus status);

struct TraceResult
{
    ExtractionStatus status = ExtractionStatus::NothingFound;
    QColor ink;
    double tolerance = 0.0; // the one used
    // The centre line in the order of travel; the first point is repeated at
    // the end when the line closes on itself.
    QPolygonF path;
    bool closed = false;
    // What sampling keeps of path, in the same order.
    QPolygonF points;
};

struct MarkerResult
{
    ExtractionStatus status = ExtractionStatus::NothingFound;
    QColor ink;
    double tolerance = 0.0;
    QSizeF markerSize; // of the clicked marker
    // Centres ordered along the curve the markers form.
    QPolygonF points;
    // Markers like the clicked one that are not data: legend samples and lone strays.
    int leftOut = 0;
};

// Follows the line under seed both ways along its centre, across gaps whose
// ends line up and through crossings, keeping the smallest change of direction.
TraceResult traceCurve(const QImage &image, const Calibration &calibration, QPointF seed,
                       const ExtractionParams &params);

// Finds every marker shaped like the one under seed, by correlating with it:
// lines through or between markers neither hide them nor make new ones.
MarkerResult findMarkers(const QImage &image, const Calibration &calibration, QPointF seed,
                         const ExtractionParams &params);

// The points of a traced path that sampling keeps, in path order, never outside the path.
QPolygonF samplePath(const QPolygonF &path, const Calibration &calibration, const Sampling &sampling);

// The fewest vertices of path (first and last kept) within maxError of it.
QPolygonF simplifyPath(const QPolygonF &path, double maxError);

} // namespace extract
