#include "core/model/undocommands.h"

#include <QFileInfo>
#include <QUndoStack>

namespace {

// Takes out of both states the lists the step did not change.
void dropUnchangedLists(ProjectState &before, ProjectState &after)
{
    const auto samePoints = [&] {
        if (before.curves.size() != after.curves.size())
            return false;
        for (int i = 0; i < before.curves.size(); ++i) {
            if (before.curves[i].points != after.curves[i].points)
                return false;
        }
        return true;
    };
    if (samePoints()) {
        for (ProjectState *state : {&before, &after}) {
            for (Curve &curve : state->curves)
                curve.points.clear();
            state->keepsPoints = true;
        }
    }
    if (before.insertionHistory == after.insertionHistory) {
        for (ProjectState *state : {&before, &after}) {
            state->insertionHistory.clear();
            state->keepsInsertionHistory = true;
        }
    }
}

// Lets go of the state's picture when its file can give it again.
void releasePicture(ProjectState &state)
{
    if (state.sourceImage.isNull() || state.readsPicture || !QFileInfo::exists(state.sourcePath))
        return;
    state.sourceImage = QImage();
    state.readsPicture = true;
}

// Another page or resolution of the same PDF only rendered the file again:
// undo and redo render again too, so that a run of resolution steps does not
// keep a whole page picture each.
void dropRenderedPages(ProjectState &before, ProjectState &after)
{
    if (before.pdfPageCount > 0 && after.pdfPageCount > 0 && before.sourcePath == after.sourcePath &&
        (before.pdfPage != after.pdfPage || before.renderDpi != after.renderDpi)) {
        releasePicture(before);
        releasePicture(after);
    }
}

bool sameState(const ProjectState &a, const ProjectState &b)
{
    return a.sourcePath == b.sourcePath && a.sourceImage == b.sourceImage &&
           a.visibleLayers == b.visibleLayers && a.pdfPage == b.pdfPage && a.pdfPageCount == b.pdfPageCount &&
           a.renderDpi == b.renderDpi && a.calibration == b.calibration && a.curves == b.curves;
}

} // namespace

StateCommand::StateCommand(ProjectModel *model, const QString &text, const ProjectState &before,
                           const ProjectState &after, const QList<ModelNotifier> &notifiers)
    : QUndoCommand(text)
    , m_model(model)
    , m_before(before)
    , m_after(after)
    , m_notifiers(notifiers)
{}

QList<QImage> StateCommand::heldPictures(const QImage &shown) const
{
    QList<QImage> pictures;
    for (const ProjectState *state : {&m_before, &m_after}) {
        const QImage &picture = state->sourceImage;
        if (!picture.isNull() && picture.cacheKey() != shown.cacheKey())
            pictures.append(picture);
    }
    return pictures;
}

void StateCommand::releasePictures()
{
    releasePicture(m_before);
    releasePicture(m_after);
}

void StateCommand::undo()
{
    m_model->restoreState(m_before);
    m_model->announce(m_notifiers);
}

void StateCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    m_model->restoreState(m_after);
    m_model->announce(m_notifiers);
}

RecordedChange::RecordedChange(ProjectModel *model, const QString &text,
                               const QList<ModelNotifier> &notifiers, bool enabled)
    : m_model(model)
    , m_text(text)
    , m_notifiers(notifiers)
    , m_outermost(enabled && model->m_recordingDepth == 0)
{
    if (!m_outermost)
        return;
    m_before = model->captureState();
    ++model->m_recordingDepth;
}

RecordedChange::~RecordedChange()
{
    if (!m_outermost)
        return;
    --m_model->m_recordingDepth;
    ProjectState after = m_model->captureState();
    // Selection and current curve alone are not worth a step.
    if (!sameState(m_before, after)) {
        dropUnchangedLists(m_before, after);
        dropRenderedPages(m_before, after);
        m_model->m_undoStack->push(new StateCommand(m_model, m_text, m_before, after, m_notifiers));
        m_model->boundHistoryPictures();
    }
    m_model->checkPointGroup();
}

InsertPointCommand::InsertPointCommand(ProjectModel *model, const QString &text, int curveIndex,
                                       int pointIndex, const CurvePoint &point,
                                       const ProjectFocus &focusBefore)
    : QUndoCommand(text)
    , m_model(model)
    , m_curveIndex(curveIndex)
    , m_pointIndex(pointIndex)
    , m_point(point)
    , m_focusBefore(focusBefore)
{}

void InsertPointCommand::undo()
{
    m_model->takePoint(m_curveIndex, m_pointIndex);
    QList<InsertionRecord> &history = m_model->m_insertionHistory;
    if (!history.isEmpty() && history.last() == InsertionRecord{m_point.curveName, m_pointIndex})
        history.removeLast();
    m_model->restoreFocus(m_focusBefore);
    m_model->announce({&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                       &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
}

void InsertPointCommand::redo()
{
    m_model->placePoint(m_curveIndex, m_pointIndex, m_point);
    m_model->m_insertionHistory.append(InsertionRecord{m_point.curveName, m_pointIndex});
    m_model->restoreFocus({m_point.curveName, m_point.curveName, m_pointIndex});
    m_model->announce({&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                       &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
}

RemovePointsCommand::RemovePointsCommand(ProjectModel *model, const QString &text, const Change &change)
    : QUndoCommand(text)
    , m_model(model)
    , m_change(change)
{}

void RemovePointsCommand::undo()
{
    // In ascending order each index is already where the point belongs.
    for (int i = 0; i < m_change.pointIndices.size(); ++i)
        m_model->placePoint(m_change.curveIndex, m_change.pointIndices[i], m_change.points[i]);
    m_model->m_insertionHistory.append(m_change.droppedRecords);
    m_model->restoreFocus(m_change.focusBefore);
    m_model->announce({&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
}

void RemovePointsCommand::redo()
{
    for (auto index = m_change.pointIndices.crbegin(); index != m_change.pointIndices.crend(); ++index)
        m_model->takePoint(m_change.curveIndex, *index);
    QList<InsertionRecord> &history = m_model->m_insertionHistory;
    history.resize(history.size() - m_change.droppedRecords.size());
    m_model->restoreFocus(m_change.focusAfter);
    m_model->announce({&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
}

MovePointsCommand::MovePointsCommand(ProjectModel *model, const QString &text, const Change &change)
    : QUndoCommand(text)
    , m_model(model)
    , m_change(change)
{}

void MovePointsCommand::undo()
{
    apply(m_change.before);
}

void MovePointsCommand::redo()
{
    apply(m_change.after);
}

void MovePointsCommand::apply(const QList<CurvePoint> &points)
{
    for (int i = 0; i < points.size(); ++i)
        m_model->replacePoint(m_change.curveIndex, m_change.pointIndices[i], points[i]);
    if (!m_change.selects) {
        m_model->announce({&ProjectModel::pointsChanged});
        return;
    }
    ProjectFocus focus = m_model->focus();
    focus.selectedPointCurveName = points.first().curveName;
    focus.selectedPointIndex = m_change.pointIndices.first();
    m_model->restoreFocus(focus);
    m_model->announce({&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
}

int MovePointsCommand::id() const
{
    // Typed values and moves outside a gesture stay steps of their own.
    return m_change.gesture > 0 && !m_change.selects ? 1 : -1;
}

bool MovePointsCommand::mergeWith(const QUndoCommand *other)
{
    const Change &next = static_cast<const MovePointsCommand *>(other)->m_change;
    if (next.gesture != m_change.gesture || next.curveIndex != m_change.curveIndex ||
        next.pointIndices != m_change.pointIndices)
        return false;
    m_change.after = next.after;
    return true;
}
