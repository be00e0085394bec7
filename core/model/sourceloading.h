#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

// The largest picture, in megabytes of 32-bit pixels, that the program reads
// or writes: enough for its own largest JPG exports, well below what would
// exhaust the memory of a desktop.
constexpr int maximumPictureMegabytes = 1024;

// Reading the picture to digitize: an image file, or one page of a PDF rendered
// at a chosen resolution. Errors are Italian texts for the user.

QImage loadImageFile(const QString &path, QString *error);
int pdfPageCount(const QString &path, QString *error);
QImage renderPdfPage(const QString &path, int page, int dpi, QString *error);
// The size of the picture renderPdfPage makes of a page of `points` (1/72 inch).
QSize renderedPageSize(const QSizeF &points, int dpi);
// False, with a text naming the picture's size and the highest resolution that
// fits, when a page of `points` rendered at `dpi` would pass the picture limit.
bool pageRenderAllowed(const QSizeF &points, int dpi, QString *error);
QString sourceFileFilter();
// Whether the file's content is a PDF (its header within the first kilobyte),
// whatever its name or a project says.
bool isPdfFile(const QString &path);

// A source read completely, ready to be installed in the model.
struct LoadedSource
{
    QString absolutePath;
    QImage image;
    int pageCount = 0; // 0 for an image file
    int page = 0;
};

// Reads an image file, or the page `requestedPage` (kept within the document)
// of a PDF at `dpi`. Nothing is installed anywhere, so a failure changes nothing.
// On failure `error` may stay empty when the lower layer gave no reason.
bool readSource(const QString &path, int requestedPage, int dpi, LoadedSource *source, QString *error);
