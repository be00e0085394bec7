#include "digitizing/extractiontool.h"

#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QKeyEvent>
#include <QPolygonF>

ExtractionTool::ExtractionTool(GraphView &view, bool markers)
    : DigitizingTool(view)
    , m_markers(markers)
{}

void ExtractionTool::activate()
{
    Q_EMIT view().statusMessage(
        m_markers
            ? i18n::tr("Click on one marker to find all like it. Shift+drag: search only inside a "
                       "rectangle. Enter: add the points. Esc: cancel.")
            : i18n::tr("Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. "
                       "Enter: add the points. Esc: cancel."));
}

void ExtractionTool::press(const ToolEvent &event)
{
    if (event.modifiers.testFlag(Qt::ShiftModifier))
        m_box.begin(event.position);
    else
        Q_EMIT view().extractionSeedPicked(event.exact);
}

bool ExtractionTool::drag(const ToolEvent &event)
{
    if (!m_box.isActive())
        return false;
    m_box.moveTo(event.position);
    view().updateForeground();
    return true;
}

bool ExtractionTool::release(const ToolEvent &event)
{
    if (!m_box.isActive())
        return false;
    const QRectF box = m_box.finish(event.position);
    view().updateForeground();
    // A box too thin to search in (a Shift+click) lets the whole plot area count again.
    Q_EMIT view().extractionRegionDrawn(box.width() < 2 || box.height() < 2 ? QPolygonF() : QPolygonF(box));
    return true;
}

bool ExtractionTool::keyPress(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: Q_EMIT view().extractionAnswered(false); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: Q_EMIT view().extractionAnswered(true); return true;
    default: return false;
    }
}

void ExtractionTool::paint(QPainter *painter) const
{
    m_box.paint(painter, view().zoom());
}
