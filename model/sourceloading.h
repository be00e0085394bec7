#pragma once

#include <QImage>
#include <QString>

// Reading the picture to digitize: an image file, or one page of a PDF rendered
// at a chosen resolution. Errors are Italian texts for the user.

QImage loadImageFile(const QString &path, QString *error);
int pdfPageCount(const QString &path, QString *error);
QImage renderPdfPage(const QString &path, int page, int dpi, QString *error);
QString sourceFileFilter();
