#include "digitizing/pointtool.h"

#include "core/model/projectmodel.h"
#include "digitizing/curveinsertion.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QKeyEvent>

#include <numeric>

void PointTool::activate()
{
    Q_EMIT view().statusMessage(
        i18n::tr("Click: add a point or select one of the active curve. Ctrl+click: select a point of "
                 "any curve. Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. "
                 "Wheel: zoom. Middle click: pan. Ctrl+PgDn/PgUp: next/previous curve."));
}

void PointTool::press(const ToolEvent &event)
{
    ProjectModel &model = view().model();
    if (event.modifiers & Qt::ShiftModifier) {
        // The box replaces whatever was picked, so that Delete takes only what it shows.
        model.clearSelection();
        m_box.begin(event.position);
        return;
    }
    const double radius = view().pickRadius();
    const QList<int> group = model.pointGroup();
    // A plain click near another curve's point must still go into the active curve.
    if (view().selectNearestPoint(event.position, radius, !(event.modifiers & Qt::ControlModifier))) {
        if (model.selectedPointCurveName() == model.pointGroupCurveName() &&
            group.contains(model.selectedPointIndex())) {
            model.beginMoveGesture(ProjectModel::MoveGesture::Drag);
            m_draggingGroup = true;
            m_lastDragPosition = event.position;
            return;
        }
        model.clearPointGroup();
        model.beginMoveGesture(ProjectModel::MoveGesture::Drag);
        m_draggingPoint = true;
        Q_EMIT view().statusMessage(
            i18n::tr("Point selected. Drag, use arrow keys, edit values, or press Del to delete it."));
        return;
    }
    model.clearPointGroup();
    const int index = insertionIndexNear(model, event.position, radius);
    if (index < 0) {
        model.addPoint(event.position, model.activeCurveName());
        Q_EMIT view().statusMessage(i18n::tr("Point added to the active curve."));
    } else if (model.insertPoint(model.activeCurveIndex(), index, event.position)) {
        model.beginMoveGesture(ProjectModel::MoveGesture::Drag);
        m_draggingPoint = true;
        Q_EMIT view().statusMessage(i18n::tr("Point added to the active curve."));
    }
}

bool PointTool::drag(const ToolEvent &event)
{
    if (m_draggingPoint) {
        if (view().isInsidePicture(event.position))
            view().model().moveSelectedPoint(event.position);
        return true;
    }
    if (m_draggingGroup) {
        view().model().movePointGroup(event.position - m_lastDragPosition);
        m_lastDragPosition = event.position;
    } else if (m_box.isActive()) {
        m_box.moveTo(event.position);
    } else {
        return false;
    }
    view().updateForeground();
    return true;
}

bool PointTool::release(const ToolEvent &event)
{
    if (m_draggingPoint || m_draggingGroup) {
        m_draggingPoint = m_draggingGroup = false;
        return true;
    }
    if (!m_box.isActive())
        return false;
    const QRectF box = m_box.finish(event.position);
    view().updateForeground();
    ProjectModel &model = view().model();
    model.selectPointGroupIn(box);
    Q_EMIT view().statusMessage(i18n::tr("%1 points selected.").arg(model.pointGroup().size()));
    return true;
}

bool PointTool::keyPress(QKeyEvent *event)
{
    if (!event->matches(QKeySequence::SelectAll))
        return DigitizingTool::keyPress(event);
    ProjectModel &model = view().model();
    const int active = model.activeCurveIndex();
    QList<int> all(active >= 0 ? model.curves()[active].points.size() : 0);
    std::iota(all.begin(), all.end(), 0);
    model.selectPointGroup(active, all);
    return true;
}

bool PointTool::nudge(const QPointF &step)
{
    ProjectModel &model = view().model();
    if (!model.pointGroup().isEmpty()) {
        model.beginMoveGesture(ProjectModel::MoveGesture::Nudge);
        return model.movePointGroup(step);
    }
    const int curve = model.indexOfCurve(model.selectedPointCurveName());
    const int index = model.selectedPointIndex();
    if (curve < 0 || index < 0 || index >= model.curves()[curve].points.size())
        return false;
    const QPointF moved = model.curves()[curve].points[index].pixel + step;
    if (!view().isInsidePicture(moved))
        return false;
    model.beginMoveGesture(ProjectModel::MoveGesture::Nudge);
    model.moveSelectedPoint(moved);
    Q_EMIT view().statusMessage(i18n::tr("Point moved with keyboard."));
    return true;
}

void PointTool::paint(QPainter *painter) const
{
    m_box.paint(painter, view().zoom());
}
