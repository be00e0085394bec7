#pragma once

#include <QPointF>
#include <QString>

class ProjectModel;

namespace batch {

// "X,Y" in the C locale; false for anything else.
bool parsePixel(const QString &text, QPointF *pixel);

// The curve that imported points go to: `into` (created when missing), or the
// active curve when `into` is empty.
QString importTargetCurve(ProjectModel &model, const QString &into);

// Imports the drawn path at `pixel` of the project's PDF page (at its DPI) and
// the paths drawn with it, or the markers like it, into the curve `curveName`.
bool importPdfCurve(ProjectModel &model, const QPointF &pixel, const QString &curveName, QString *error);

} // namespace batch
