#pragma once

#include <QObject>

class QAction;
class QUndoStack;

// The Edit menu's "Undo" and "Redo": they name the step they would take, are
// enabled only when there is one, and carry the standard shortcuts.
class HistoryActions : public QObject
{
    Q_OBJECT

public:
    HistoryActions(QUndoStack *stack, QObject *parent);

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    // Texts in the current language.
    void retranslate();

private:
    QUndoStack *m_stack;
    QAction *m_undo;
    QAction *m_redo;
};
