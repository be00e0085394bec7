#include "window/curvestepping.h"

#include "core/model/projectmodel.h"

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

QString withShortcut(const QString &text, const QAction *action)
{
    const QKeySequence key = action->shortcut();
    return key.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
}

void showShortcutInToolTip(QAction *action)
{
    action->setToolTip(withShortcut(action->text().remove(QLatin1Char('&')), action));
}
