#pragma once

class ProjectModel;
class QAction;
class QObject;
class QString;

// An action that makes the next (step 1) or previous (step -1) curve active,
// going round at the ends of the list.
QAction *curveStepAction(ProjectModel *model, int step, QObject *parent);
// The text followed by the action's key in brackets, when it has one.
QString withShortcut(const QString &text, const QAction *action);
// The action's tooltip names its key, so that the keys are learnt by hovering.
void showShortcutInToolTip(QAction *action);
