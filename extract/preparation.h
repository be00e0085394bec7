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
    // The centre of the picked pixel.
    QPointF seedCentre() const { return QPointF(picked.pixel) + QPointF(0.5, 0.5); }
};

// status is Found when the search can start.
Preparation prepare(const QImage &image, const Calibration &calibration, QPointF seed,
                    const ExtractionParams &params);

} // namespace extract
