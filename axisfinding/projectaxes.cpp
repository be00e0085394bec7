#include "axisfinding/projectaxes.h"

#include "axisfinding/drawnmarks.h"
#include "axisfinding/tesseractreader.h"
#include "core/model/projectmodel.h"
#include "i18n/localization.h"
#include "pdfvector/pagedrawing.h"

#include <QPdfDocument>
#include <QPdfSelection>

#include <algorithm>

namespace axisfinding {

namespace {

constexpr int largestCharacterCount = 6000;

} // namespace

QList<PlacedText> pageTexts(const QString &pdfPath, int page, double pixelsPerPoint)
{
    QList<PlacedText> texts;
    QPdfDocument document;
    if (document.load(pdfPath) != QPdfDocument::Error::None || page < 0 || page >= document.pageCount())
        return texts;
    // Characters in reading order join into one word while they sit side by
    // side on one line; the page's own spacing is not trusted.
    const QString all = document.getAllText(page).text().left(largestCharacterCount);
    for (int i = 0; i < all.size(); ++i) {
        if (all[i].isSpace())
            continue;
        const QRectF box = document.getSelectionAtIndex(page, i, 1).boundingRectangle();
        if (!box.isValid())
            continue;
        const QRectF scaled(box.topLeft() * pixelsPerPoint, box.size() * pixelsPerPoint);
        if (!texts.isEmpty()) {
            const QRectF &last = texts.last().box;
            const double overlap =
                std::min(last.bottom(), scaled.bottom()) - std::max(last.top(), scaled.top());
            const double gap = scaled.left() - last.right();
            if (overlap >= 0.5 * std::min(last.height(), scaled.height()) && gap > -0.5 * scaled.height() &&
                gap <= 0.5 * scaled.height()) {
                texts.last().box |= scaled;
                texts.last().text += all[i];
                continue;
            }
        }
        texts.append({scaled, QString(all[i])});
    }
    return texts;
}

FoundAxes findProjectAxes(const ProjectModel &model, QString *problem)
{
    problem->clear();
    if (model.pdfPageCount() > 0) {
        FoundAxes axes = findAxes(model.sourceImage(),
                                  pageTexts(model.sourcePath(), model.pdfPage(), model.renderDpi() / 72.0));
        // The page's own lines place the marks exactly, where the picture could only come within a pixel.
        PageDrawing drawing;
        if (axes.any() &&
            readPageDrawing(model.sourcePath(), model.pdfPage(), model.renderDpi(), &drawing, nullptr)) {
            axes.x = onDrawnLines(axes.x, drawing);
            axes.y = onDrawnLines(axes.y, drawing);
        }
        return axes;
    }
    const TesseractReader reader;
    if (!reader.isReady()) {
        *problem = i18n::tr("The text recognition engine could not be started.");
        return {};
    }
    return findAxes(model.sourceImage(), reader);
}

} // namespace axisfinding
