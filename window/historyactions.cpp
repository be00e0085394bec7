#include "window/historyactions.h"

#include "i18n/localization.h"

#include <QAction>
#include <QKeySequence>
#include <QUndoStack>

namespace {

QString stepText(const QString &command, const QString &step)
{
    return step.isEmpty() ? command : QStringLiteral("%1 %2").arg(command, step);
}

} // namespace

HistoryActions::HistoryActions(QUndoStack *stack, QObject *parent)
    : QObject(parent)
    , m_stack(stack)
    , m_undo(new QAction(this))
    , m_redo(new QAction(this))
{
    m_undo->setObjectName(QStringLiteral("historyUndoAction"));
    m_redo->setObjectName(QStringLiteral("historyRedoAction"));
    m_undo->setShortcut(QKeySequence::Undo);
    // Both usual bindings, whatever the platform theme lists for Redo.
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_undo, &QAction::triggered, m_stack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, m_stack, &QUndoStack::redo);
    connect(m_stack, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(m_stack, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
    connect(m_stack, &QUndoStack::undoTextChanged, this, &HistoryActions::retranslate);
    connect(m_stack, &QUndoStack::redoTextChanged, this, &HistoryActions::retranslate);
    m_undo->setEnabled(m_stack->canUndo());
    m_redo->setEnabled(m_stack->canRedo());
    retranslate();
}

void HistoryActions::retranslate()
{
    m_undo->setText(stepText(i18n::tr("Undo"), m_stack->undoText()));
    m_redo->setText(stepText(i18n::tr("Redo"), m_stack->redoText()));
}
