#include "pdfvector/pagedrawing.h"

#include "core/model/sourceloading.h"
#include "pdfvector/contentreader.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cmath>
#include <exception>

namespace {

void report(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

// The renderer keeps page boxes in single precision; rounding the same way
// gives the same page size, and so the same picture size, to the last bit.
double single(double value)
{
    return double(float(value));
}

QRectF normalizedBox(QPDFObjectHandle box)
{
    if (!box.isRectangle())
        return {};
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    const double left = single(qMin(r.llx, r.urx)), right = single(qMax(r.llx, r.urx));
    const double bottom = single(qMin(r.lly, r.ury)), top = single(qMax(r.lly, r.ury));
    return QRectF(left, bottom, right - left, top - bottom);
}

// The visible box as the renderer chooses it: the crop box cut by the media
// box, the media box alone when there is no usable crop box, and a letter page
// when not even the media box is usable. QRectF's y grows with the page's y here.
QRectF visibleBox(QPDFPageObjectHelper &page)
{
    QRectF media = normalizedBox(page.getAttribute("/MediaBox", false));
    if (media.isEmpty())
        media = QRectF(0, 0, 612, 792);
    const QRectF crop = normalizedBox(page.getAttribute("/CropBox", false));
    return crop.isEmpty() ? media : crop.intersected(media);
}

// /Rotate in quarter turns as the renderer reads it: truncated to a multiple of 90.
int quarterTurns(QPDFPageObjectHelper &page)
{
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    if (!rotate.isInteger())
        return 0;
    const long long turns = rotate.getIntValue() / 90 % 4;
    return int(turns < 0 ? turns + 4 : turns);
}

} // namespace

QSizeF framePointSize(const PageFrame &frame)
{
    const QSizeF size = frame.box.size();
    return frame.quarterTurns % 2 == 1 ? size.transposed() : size;
}

QTransform pageToPixelTransform(const PageFrame &frame)
{
    const QRectF &b = frame.box; // top() is the low edge of the page here
    const double low = b.top(), high = b.bottom();
    QTransform turn;
    switch (frame.quarterTurns) {
    case 1: turn = QTransform(0, -1, 1, 0, -low, b.right()); break;
    case 2: turn = QTransform(-1, 0, 0, -1, b.right(), high); break;
    case 3: turn = QTransform(0, 1, -1, 0, high, -b.left()); break;
    default: turn = QTransform(1, 0, 0, 1, -b.left(), -low); break;
    }
    // The turned page, y up from its lower left corner, stretched over the picture with y down.
    const QSizeF points = framePointSize(frame);
    if (points.isEmpty())
        return turn;
    const double width = frame.imageSize.width(), height = frame.imageSize.height();
    return turn * QTransform(width / points.width(), 0, 0, -height / points.height(), 0, height);
}

bool readPageDrawing(const QString &path, int page, int dpi, PageDrawing *drawing, QString *error)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(path.toUtf8().constData());
    } catch (const QPDFExc &exception) {
        report(error, exception.getErrorCode() == qpdf_e_password
                          ? QStringLiteral("Il PDF è protetto da una password.")
                          : QStringLiteral("Impossibile aprire il PDF."));
        return false;
    } catch (const std::exception &) {
        report(error, QStringLiteral("Impossibile aprire il PDF."));
        return false;
    }
    try {
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (page < 0 || size_t(page) >= pages.size()) {
            report(error, QStringLiteral("PDF o numero di pagina non valido."));
            return false;
        }
        QPDFPageObjectHelper &helper = pages[size_t(page)];
        PageDrawing read;
        read.frame.box = visibleBox(helper);
        read.frame.quarterTurns = quarterTurns(helper);
        // A page too large to render has no picture to pick on, and its grid would be enormous.
        if (!pageRenderAllowed(framePointSize(read.frame), dpi, error))
            return false;
        read.frame.imageSize = renderedPageSize(framePointSize(read.frame), dpi);
        read.pageToPixel = pageToPixelTransform(read.frame);
        if (readContentPaths(helper.getObjectHandle(), read.pageToPixel, &read) == ContentOutcome::TooLarge) {
            report(error, QStringLiteral("Il disegno della pagina PDF è troppo grande per essere letto."));
            return false;
        }
        read.grid = pathGridOf(read);
        *drawing = std::move(read);
        return true;
    } catch (const std::exception &) {
        report(error, QStringLiteral("Il contenuto della pagina PDF è danneggiato."));
        return false;
    }
}
