#include "core/model/sourceloading.h"

#include "core/model/pdfpagework.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>

#include <algorithm>
#include <cmath>

namespace {

void report(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

// Rounded half away from zero, never below one pixel. A page of absurd size
// (a hostile box) still gets a size, far beyond the picture limit, so that it
// is refused rather than overflowing.
int pixelsForPoints(double points, int dpi)
{
    const double pixels = std::round(points * dpi / 72.0);
    constexpr double largestPixels = double(1 << 30);
    return pixels >= 1.0 ? int(std::min(pixels, largestPixels)) : 1;
}

double pictureMegabytes(const QSize &pixels)
{
    return 4.0 * double(pixels.width()) * double(pixels.height()) / (1024.0 * 1024.0);
}

} // namespace

QImage loadImageFile(const QString &path, QString *error)
{
    // Qt's own limit (256 MB) refuses the program's own high-resolution exports.
    if (QImageReader::allocationLimit() < maximumPictureMegabytes)
        QImageReader::setAllocationLimit(maximumPictureMegabytes);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        report(error, QStringLiteral("Impossibile leggere l'immagine: %1").arg(reader.errorString()));
    return image;
}

int pdfPageCount(const QString &path, QString *error)
{
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None) {
        report(error, QStringLiteral("Impossibile aprire il PDF."));
        return 0;
    }
    return document.pageCount();
}

QImage renderPdfPage(const QString &path, int page, int dpi, QString *error)
{
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || page < 0 || page >= document.pageCount()) {
        report(error, QStringLiteral("PDF o numero di pagina non valido."));
        return {};
    }
    const QSizeF points = document.pagePointSize(page);
    if (!pageRenderAllowed(points, dpi, error) || !pageRenderBounded(path, page, error))
        return {};
    const QImage rendered = document.render(page, renderedPageSize(points, dpi));
    if (rendered.isNull()) {
        report(error, QStringLiteral("PDF o numero di pagina non valido."));
        return {};
    }
    // A page without a painted background renders transparent, which the dark
    // view would show black: it is laid on white paper.
    QImage paper(rendered.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, rendered);
    return paper;
}

QSize renderedPageSize(const QSizeF &points, int dpi)
{
    return QSize(pixelsForPoints(points.width(), dpi), pixelsForPoints(points.height(), dpi));
}

bool pageRenderAllowed(const QSizeF &points, int dpi, QString *error)
{
    const QSize pixels = renderedPageSize(points, dpi);
    if (pictureMegabytes(pixels) <= maximumPictureMegabytes)
        return true;
    // The size grows with the resolution, so the first one that fits going down is the largest.
    int fitting = dpi;
    while (fitting > 1 && pictureMegabytes(renderedPageSize(points, fitting)) > maximumPictureMegabytes)
        --fitting;
    report(error, QStringLiteral("La pagina a %1 dpi sarebbe un'immagine di %2 x %3 pixel (%4 MB), oltre il "
                                 "limite di %5 MB. La risoluzione più alta possibile è %6 dpi.")
                      .arg(dpi)
                      .arg(pixels.width())
                      .arg(pixels.height())
                      .arg(qRound64(pictureMegabytes(pixels)))
                      .arg(maximumPictureMegabytes)
                      .arg(fitting));
    return false;
}

QString sourceFileFilter()
{
    return QStringLiteral("Grafici (*.jpg *.jpeg *.png *.bmp *.tif *.tiff *.pdf);;"
                          "Immagini (*.jpg *.jpeg *.png *.bmp *.tif *.tiff);;PDF (*.pdf)");
}

bool readSource(const QString &path, int requestedPage, int dpi, LoadedSource *source, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        report(error, QStringLiteral("File sorgente non trovato: %1").arg(path));
        return false;
    }
    LoadedSource loaded;
    loaded.absolutePath = info.absoluteFilePath();
    if (info.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        loaded.pageCount = pdfPageCount(loaded.absolutePath, error);
        if (loaded.pageCount < 1)
            return false;
        // A page chosen before loading (e.g. stored in a project) survives when it exists.
        loaded.page = qBound(0, requestedPage, loaded.pageCount - 1);
        loaded.image = renderPdfPage(loaded.absolutePath, loaded.page, dpi, error);
    } else {
        loaded.image = loadImageFile(loaded.absolutePath, error);
    }
    if (loaded.image.isNull())
        return false;
    *source = loaded;
    return true;
}

bool isPdfFile(const QString &path)
{
    QFile file(path);
    // Readers accept the header anywhere in the first 1024 bytes.
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-");
}
