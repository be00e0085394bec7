#include "extract/extraction.h"

#include "i18n/localization.h"

namespace extract {

QString statusMessage(ExtractionStatus status)
{
    switch (status) {
    case ExtractionStatus::Found: return QString();
    case ExtractionStatus::NoPicture: return i18n::tr("Load a picture before extracting a curve.");
    case ExtractionStatus::NotCalibrated:
        return i18n::tr("Complete X and Y axis calibration before adding points or exporting.");
    case ExtractionStatus::SeedOutside: return i18n::tr("The clicked point is outside the plot area.");
    case ExtractionStatus::SeedOnBackground:
        return i18n::tr("No curve at the clicked point: click on the curve's ink.");
    case ExtractionStatus::NothingFound: return i18n::tr("Nothing like the clicked curve was found.");
    case ExtractionStatus::Cancelled: return i18n::tr("The search was cancelled.");
    }
    return QString();
}

} // namespace extract
