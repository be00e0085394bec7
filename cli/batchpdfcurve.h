#pragma once

#include <QPointF>
#include <QString>

class ProjectModel;

namespace batch {

// Imports the drawn path at `pixel` of the project's PDF page (at its DPI) and
// the paths drawn with it, or the markers like it, into the curve `curveName`
// (created when missing; the active curve when empty).
bool importPdfCurve(ProjectModel &model, const QPointF &pixel, const QString &curveName, QString *error);

} // namespace batch
