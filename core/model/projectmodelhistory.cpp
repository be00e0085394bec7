// How ProjectModel takes part in its undo history: the appliers that the undo
// commands call, and the group of points picked together.
#include "core/model/projectmodel.h"

#include "core/model/undocommands.h"

#include "core/model/sourceloading.h"

#include <QSet>
#include <QUndoStack>

void ProjectModel::beginMoveGesture(MoveGesture gesture)
{
    if (gesture == MoveGesture::Nudge && m_lastGesture == MoveGesture::Nudge && m_moveGesture > 0)
        return;
    ++m_moveGesture;
    m_lastGesture = gesture;
}

void ProjectModel::perform(QUndoCommand *command)
{
    if (m_recordingDepth == 0) {
        m_undoStack->push(command);
        return;
    }
    command->redo();
    delete command;
}

void ProjectModel::removePointsAsStep(const QString &text, int curveIndex, const QList<int> &pointIndices,
                                      const ProjectFocus &focusAfter, int droppedRecords)
{
    RemovePointsCommand::Change change;
    change.curveIndex = curveIndex;
    change.pointIndices = pointIndices;
    for (const int index : pointIndices)
        change.points.append(m_curves[curveIndex].points[index]);
    change.focusBefore = focus();
    change.focusAfter = focusAfter;
    change.droppedRecords = droppedRecords == m_insertionHistory.size()
                                ? m_insertionHistory
                                : m_insertionHistory.mid(m_insertionHistory.size() - droppedRecords);
    perform(new RemovePointsCommand(this, text, change));
}

ProjectState ProjectModel::captureState() const
{
    return {m_sourcePath, m_sourceImage, m_visibleLayers, m_pdfPage, m_pdfPageCount,
            m_renderDpi,  m_calibration, m_curves,        focus(),   m_insertionHistory};
}

void ProjectModel::restoreState(const ProjectState &state)
{
    m_sourceImage = state.readsPicture ? readPictureAgain(state) : state.sourceImage;
    m_sourcePath = state.sourcePath;
    m_visibleLayers = state.visibleLayers;
    m_pdfPage = state.pdfPage;
    m_pdfPageCount = state.pdfPageCount;
    m_renderDpi = state.renderDpi;
    m_calibration = state.calibration;
    QList<Curve> curves = state.curves;
    if (state.keepsPoints) {
        for (int i = 0; i < curves.size(); ++i)
            curves[i].points = m_curves[i].points;
    }
    m_curves = curves;
    restoreFocus(state.focus);
    if (!state.keepsInsertionHistory)
        m_insertionHistory = state.insertionHistory;
}

QImage ProjectModel::readPictureAgain(const ProjectState &state) const
{
    QString error;
    const QImage picture = state.pdfPageCount > 0
                               ? renderPdfPage(state.sourcePath, state.pdfPage, state.renderDpi, &error)
                               : loadImageFile(state.sourcePath, &error);
    if (!picture.isNull())
        return picture;
    setError(error);
    // The file is gone or changed: the picture shown stays, at the size that
    // the restored marks and points expect when only the resolution differs.
    if (state.pdfPageCount > 0 && m_pdfPageCount > 0 && state.pdfPage == m_pdfPage && m_renderDpi > 0)
        return m_sourceImage.scaled(m_sourceImage.size() * (double(state.renderDpi) / m_renderDpi));
    return m_sourceImage;
}

qint64 ProjectModel::weighHistoryPictures(bool release) const
{
    // Newest first: the latest steps keep their pictures, and from the first
    // one past the limit back the steps read theirs again from the files.
    qint64 bytes = 0;
    QSet<qint64> seen{m_sourceImage.cacheKey()};
    for (int i = m_undoStack->count() - 1; i >= 0; --i) {
        auto *step = dynamic_cast<StateCommand *>(const_cast<QUndoCommand *>(m_undoStack->command(i)));
        if (!step)
            continue;
        for (const QImage &picture : step->heldPictures(m_sourceImage)) {
            if (!seen.contains(picture.cacheKey())) {
                seen.insert(picture.cacheKey());
                bytes += picture.sizeInBytes();
            }
        }
        if (release && bytes > m_historyPictureLimit)
            step->releasePictures();
    }
    return bytes;
}

qint64 ProjectModel::historyPictureBytes() const
{
    return weighHistoryPictures(false);
}

void ProjectModel::boundHistoryPictures()
{
    weighHistoryPictures(true);
}

void ProjectModel::setHistoryPictureLimit(qint64 bytes)
{
    m_historyPictureLimit = bytes;
    boundHistoryPictures();
}

ProjectFocus ProjectModel::focus() const
{
    return {m_activeCurveName, m_selectedPointCurveName, m_selectedPointIndex};
}

void ProjectModel::restoreFocus(const ProjectFocus &focus)
{
    m_activeCurveName = focus.activeCurveName;
    m_selectedPointCurveName = focus.selectedPointCurveName;
    m_selectedPointIndex = focus.selectedPointIndex;
}

void ProjectModel::placePoint(int curveIndex, int pointIndex, const CurvePoint &point)
{
    m_curves[curveIndex].points.insert(pointIndex, point);
}

void ProjectModel::takePoint(int curveIndex, int pointIndex)
{
    m_curves[curveIndex].points.removeAt(pointIndex);
}

void ProjectModel::replacePoint(int curveIndex, int pointIndex, const CurvePoint &point)
{
    m_curves[curveIndex].points[pointIndex] = point;
}

void ProjectModel::announce(const QList<Notifier> &notifiers)
{
    for (const Notifier notifier : notifiers)
        (this->*notifier)();
    checkPointGroup();
}

void ProjectModel::checkPointGroup()
{
    if (m_group.isEmpty())
        return;
    const int curveIndex = indexOfCurve(m_groupCurveName);
    if (curveIndex >= 0 && m_curves[curveIndex].points.size() == m_groupCurveSize)
        return;
    clearPointGroup();
}

void ProjectModel::selectPointGroup(int curveIndex, const QList<int> &pointIndices)
{
    const QList<int> indices = validPointIndices(curveIndex, pointIndices);
    const QString curveName = indices.isEmpty() ? QString() : m_curves[curveIndex].name;
    if (indices == m_group && curveName == m_groupCurveName)
        return;
    m_group = indices;
    m_groupCurveName = curveName;
    m_groupCurveSize = indices.isEmpty() ? 0 : m_curves[curveIndex].points.size();
    Q_EMIT pointGroupChanged();
}

void ProjectModel::selectPointGroupIn(const QRectF &pixelRect)
{
    const int curveIndex = activeCurveIndex();
    QList<int> inside;
    if (curveIndex >= 0) {
        const QList<CurvePoint> &points = m_curves[curveIndex].points;
        for (int i = 0; i < points.size(); ++i) {
            if (pixelRect.normalized().contains(points[i].pixel))
                inside.append(i);
        }
    }
    selectPointGroup(curveIndex, inside);
}

void ProjectModel::clearPointGroup()
{
    selectPointGroup(-1, {});
}

bool ProjectModel::deletePointGroup()
{
    return deletePoints(indexOfCurve(m_groupCurveName), m_group);
}

bool ProjectModel::movePointGroup(const QPointF &offset)
{
    return movePoints(indexOfCurve(m_groupCurveName), m_group, offset);
}
