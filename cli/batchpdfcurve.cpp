#include "cli/batchpdfcurve.h"

#include "core/model/projectmodel.h"
#include "core/model/sourceloading.h"
#include "i18n/localization.h"
#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"

#include <QFileInfo>

namespace batch {

namespace {

// How far from the given pixel a drawn path may pass, as a mouse pick allows.
constexpr double pickRadiusPixels = 6.0;

} // namespace

bool importPdfCurve(ProjectModel &model, const QPointF &pixel, const QString &curveName, QString *error)
{
    // The file decides: a project written by hand or by an older version may
    // lack its page count, and a stored one may be stale.
    if (!isPdfFile(model.sourcePath())) {
        *error = QFileInfo::exists(model.sourcePath())
                     ? i18n::tr("The project's source is not a PDF.")
                     : QStringLiteral("File sorgente non trovato: %1").arg(model.sourcePath());
        return false;
    }
    PageDrawing drawing;
    if (!readPageDrawing(model.sourcePath(), model.pdfPage(), model.renderDpi(), &drawing, error))
        return false;
    if (drawing.paths.isEmpty()) {
        *error = i18n::tr("This PDF page holds no vector drawing.");
        return false;
    }
    const PickedCurve picked = pickCurve(drawing, pixel, pickRadiusPixels);
    if (picked.kind == PickedCurve::Kind::Nothing) {
        *error = i18n::tr("No drawn path passes near %1, %2 on the PDF page.").arg(pixel.x()).arg(pixel.y());
        return false;
    }
    if (model.appendPoints(curveName, picked.points))
        return true;
    *error = model.lastError();
    return false;
}

} // namespace batch
