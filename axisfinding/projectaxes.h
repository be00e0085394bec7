#pragma once

#include "axisfinding/axisfinder.h"

class ProjectModel;

namespace axisfinding {

// The words of a PDF page with their boxes, in pixels of the page rendered at
// pixelsPerPoint; at most a few thousand, so that a page of text stays quick.
QList<PlacedText> pageTexts(const QString &pdfPath, int page, double pixelsPerPoint);

// The axes of the project's picture: a PDF page's labels come from its own
// text, a picture's from OCR. *problem says why nothing could be searched
// (the OCR engine did not start); empty otherwise.
FoundAxes findProjectAxes(const ProjectModel &model, QString *problem);

} // namespace axisfinding
