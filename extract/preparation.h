#pragma once

#include "extract/extraction.h"
#include "extract/inkmodel.h"
#include "extract/searchregion.h"
#include "extract/straightlines.h"

namespace extract {

// What both searches start from: the picture, the region and the ink under the click.
struct Preparation
{
    ExtractionStatus status = ExtractionStatus::NothingFound;
    Raster raster;
    SearchRegion region;
    PickedInk picked;
    std::vector<StraightLine> straightLines; // to leave out
    // All of them, with those through the click: a marker clicked on a grid line is not that line.
    std::vector<StraightLine> everyStraightLine;
    // The centre of the picked pixel.
    QPointF seedCentre() const { return QPointF(picked.pixel) + QPointF(0.5, 0.5); }
};

// status is Found when the search can start.
Preparation prepare(const QImage &image, const Calibration &calibration, QPointF seed,
                    const ExtractionParams &params);

// Runs a search: prepares it, says in the result how that went and which ink
// and tolerance were picked, and when the search can start lets `search`
// (preparation, calibration, parameters, result) fill in the rest.
template <typename Result, typename Search>
Result runSearch(const QImage &image, const Calibration &calibration, QPointF seed,
                 const ExtractionParams &params, Search search)
{
    Result result;
    const auto stopped = [&params] { return params.cancelled && params.cancelled(); };
    if (stopped()) {
        result.status = ExtractionStatus::Cancelled;
        return result;
    }
    const Preparation prepared = prepare(image, calibration, seed, params);
    result.status = prepared.status;
    if (prepared.status != ExtractionStatus::Found)
        return result;
    result.ink = QColor(prepared.picked.model.ink());
    result.tolerance = prepared.picked.model.tolerance();
    search(prepared, calibration, params, result);
    // What a stopped search found is not all there is: nothing of it counts.
    if (stopped()) {
        result = Result();
        result.status = ExtractionStatus::Cancelled;
    }
    return result;
}

} // namespace extract
