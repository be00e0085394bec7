#pragma once

#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"

#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <optional>

class ProjectModel;
class QPainter;

// How a picked curve goes into the project.
struct PdfImportChoice
{
    int pointsPerCurve = 0; // added along each Bézier segment before its end
    bool newCurve = false;  // else the active curve
};

// The view's side of a PDF source's drawing: the page read once per file,
// page and resolution, the drawn curve under the pointer, the calibration
// snap, and the import of a picked curve. Positions are picture pixels.
class PdfPicking
{
public:
    // Drops the page read, so that a source reloaded from the same file is read again.
    void forget();

    // The hint of the picking mode, or why there is nothing to pick on this source.
    QString modeMessage(const ProjectModel &model);

    // Follows the pointer; true when what it highlights changed.
    bool hover(const ProjectModel &model, const QPointF &pixel, double radius);
    // What a click now would import.
    const PickedCurve &hovered() const { return m_hovered; }

    void setImportChoice(const PdfImportChoice &choice);
    // Adds the drawn curve at `pixel` to the chosen curve as one change; the
    // status text says what happened (empty when the model reports it).
    QString importAt(ProjectModel &model, const QPointF &pixel, double radius);

    // Where a calibration mark at `pixel` goes: the nearest drawn end point or
    // crossing within `radius`, else `pixel`. The snap is remembered for painting.
    QPointF snap(const ProjectModel &model, const QPointF &pixel, double radius, bool enabled);
    std::optional<QPointF> snapMark() const { return m_snapMark; }

    // Drops the highlight and the snap mark; true when one was shown.
    bool clear();

    // The highlight and the snap mark, in scene units at the view's `scale`.
    void paint(QPainter *painter, double scale) const;

private:
    // The drawing of the model's page, read when the source is not the one
    // read last; null for a picture, an unreadable file or a page without paths.
    const PageDrawing *drawing(const ProjectModel &model);
    bool clearHover();
    QString unavailableMessage(const ProjectModel &model);

    bool m_read = false;
    QString m_path;
    int m_page = -1;
    int m_dpi = 0;
    bool m_readable = false;
    QString m_error;
    PageDrawing m_drawing;
    int m_hoveredPath = -1;
    PickedCurve m_hovered;
    QPainterPath m_outline;
    std::optional<QPointF> m_snapMark;
    PdfImportChoice m_choice;
};
