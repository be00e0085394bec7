#pragma once

#include "core/model/projectmodel.h"
#include "core/model/projectstate.h"

#include <QList>
#include <QUndoCommand>

// The undo steps of ProjectModel. Each one knows how to put its change back
// through the model's appliers, which announce it with the same signals as
// the operation that made it. Single points get small commands, so that ten
// thousand edits of a long curve do not keep ten thousand copies of it; every
// other change keeps the project state before and after, which shares its
// lists and picture with the model until one of them is edited.

using ModelNotifier = void (ProjectModel::*)();

// Snapshot step. The operation has already changed the model when it is
// pushed, so its first redo does nothing.
class StateCommand : public QUndoCommand
{
public:
    StateCommand(ProjectModel *model, const QString &text, const ProjectState &before,
                 const ProjectState &after, const QList<ModelNotifier> &notifiers);
    void undo() override;
    void redo() override;

    // The pictures the step holds, other than `shown`.
    QList<QImage> heldPictures(const QImage &shown) const;
    // Lets go of the pictures that can be read again from their files.
    void releasePictures();

private:
    ProjectModel *m_model;
    ProjectState m_before;
    ProjectState m_after;
    QList<ModelNotifier> m_notifiers;
    bool m_applied = true;
};

// While alive, records what an operation changes as one StateCommand. Nested
// recorders and unchanged states record nothing; commands pushed meanwhile
// through ProjectModel::perform are applied directly, as part of this step.
class RecordedChange
{
public:
    RecordedChange(ProjectModel *model, const QString &text, const QList<ModelNotifier> &notifiers,
                   bool enabled = true);
    ~RecordedChange();
    RecordedChange(const RecordedChange &) = delete;
    RecordedChange &operator=(const RecordedChange &) = delete;

private:
    ProjectModel *m_model;
    QString m_text;
    QList<ModelNotifier> m_notifiers;
    ProjectState m_before;
    bool m_outermost;
};

// A new point at a given place; the point becomes the selected one.
class InsertPointCommand : public QUndoCommand
{
public:
    InsertPointCommand(ProjectModel *model, const QString &text, int curveIndex, int pointIndex,
                       const CurvePoint &point, const ProjectFocus &focusBefore);
    void undo() override;
    void redo() override;

private:
    ProjectModel *m_model;
    int m_curveIndex;
    int m_pointIndex;
    CurvePoint m_point;
    ProjectFocus m_focusBefore;
};

// Points of one curve taken away; only they are kept, not the curve, so that
// deleting from a long curve stays cheap in the history. The insertion records
// dropped with them are kept here (not copied) so that undo can give them back.
class RemovePointsCommand : public QUndoCommand
{
public:
    struct Change
    {
        int curveIndex = -1;
        QList<int> pointIndices; // ascending
        QList<CurvePoint> points;
        ProjectFocus focusBefore;
        ProjectFocus focusAfter;
        QList<InsertionRecord> droppedRecords;
    };
    RemovePointsCommand(ProjectModel *model, const QString &text, const Change &change);
    void undo() override;
    void redo() override;

private:
    ProjectModel *m_model;
    Change m_change;
};

// Points of one curve given new places. Moves of the same points within one
// gesture (a mouse drag, a run of arrow-key nudges) merge into a single step.
class MovePointsCommand : public QUndoCommand
{
public:
    struct Change
    {
        int curveIndex = -1;
        QList<int> pointIndices;
        QList<CurvePoint> before;
        QList<CurvePoint> after;
        int gesture = 0;      // 0: never merges
        bool selects = false; // the (single) moved point becomes the selected one
    };
    MovePointsCommand(ProjectModel *model, const QString &text, const Change &change);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    void apply(const QList<CurvePoint> &points);

    ProjectModel *m_model;
    Change m_change;
};
