#include "ui/curvestepping.h"

#include "model/projectmodel.h"

#include <QAction>

QAction *curveStepAction(ProjectModel *model, int step, QObject *parent)
{
    auto *action = new QAction(parent);
    QObject::connect(action, &QAction::triggered, model, [model, step] {
        const int count = int(model->curves().size());
        if (count > 1)
            model->setActiveCurveIndex(((model->activeCurveIndex() + step) % count + count) % count);
    });
    return action;
}

void showShortcutInToolTip(QAction *action)
{
    const QString text = action->text().remove(QLatin1Char('&'));
    const QKeySequence key = action->shortcut();
    action->setToolTip(
        key.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
}
