#include "extract/preparation.h"

#include <cmath>

namespace extract {

Preparation prepare(const QImage &image, const Calibration &calibration, QPointF seed,
                    const ExtractionParams &params)
{
    Preparation preparation{ExtractionStatus::NoPicture, Raster(image), {}, {}, {}};
    if (image.isNull())
        return preparation;
    preparation.status = ExtractionStatus::NotCalibrated;
    if (!calibration.isComplete())
        return preparation;
    QPolygonF area = plotArea(calibration, image.size());
    if (area.isEmpty())
        return preparation;
    if (!params.region.isEmpty())
        area = area.intersected(params.region);
    preparation.region = SearchRegion(area, image.size());
    preparation.status = ExtractionStatus::SeedOutside;
    if (!std::isfinite(seed.x()) || !std::isfinite(seed.y()) ||
        !preparation.region.contains(int(std::floor(seed.x())), int(std::floor(seed.y()))))
        return preparation;
    const std::optional<PickedInk> picked = pickInk(preparation.raster, seed, params.tolerance);
    preparation.status = ExtractionStatus::SeedOnBackground;
    if (!picked)
        return preparation;
    preparation.picked = *picked;
    preparation.straightLines = findStraightLines(preparation.raster, picked->model, preparation.region,
                                                  calibration, preparation.seedCentre());
    preparation.status = ExtractionStatus::Found;
    return preparation;
}

} // namespace extract
