#include "extract/preparation.h"

#include <cmath>

namespace extract {

namespace {

bool seedInside(const SearchRegion &region, QPointF seed)
{
    return std::isfinite(seed.x()) && std::isfinite(seed.y()) &&
           region.contains(int(std::floor(seed.x())), int(std::floor(seed.y())));
}

QPolygonF restricted(const QPolygonF &area, const QPolygonF &region)
{
    return region.isEmpty() || area.isEmpty() ? area : area.intersected(region);
}

} // namespace

Preparation prepare(const QImage &image, const Calibration &calibration, QPointF seed,
                    const ExtractionParams &params)
{
    Preparation preparation{ExtractionStatus::NoPicture, Raster(image), {}, {}, {}, {}};
    if (image.isNull())
        return preparation;
    preparation.status = ExtractionStatus::NotCalibrated;
    const std::optional<AxisBasis> basis = axisBasis(calibration);
    if (!basis)
        return preparation;
    // The frame is looked for a little beyond the marks, then the search keeps inside it.
    const AxisBox span = markSpan(calibration, *basis);
    const SearchRegion around(restricted(frameSearchBox(span).polygon(*basis), params.region), image.size());
    preparation.status = ExtractionStatus::SeedOutside;
    if (!seedInside(around, seed))
        return preparation;
    const std::optional<PickedInk> picked = pickInk(preparation.raster, seed, params.tolerance);
    // Paper beyond where any plot could be is outside rather than background.
    preparation.status = openArea(span).contains(*basis, seed) ? ExtractionStatus::SeedOnBackground
                                                               : ExtractionStatus::SeedOutside;
    if (!picked)
        return preparation;
    preparation.picked = *picked;
    std::vector<StraightLine> lines =
        findStraightLines(preparation.raster, picked->model, around, calibration);
    preparation.region = SearchRegion(restricted(plotArea(span, *basis, lines), params.region), image.size());
    preparation.status = ExtractionStatus::SeedOutside;
    if (!seedInside(preparation.region, seed))
        return preparation;
    preparation.everyStraightLine = lines;
    preparation.straightLines = withoutLineThrough(std::move(lines), preparation.seedCentre());
    preparation.status = ExtractionStatus::Found;
    return preparation;
}

} // namespace extract
