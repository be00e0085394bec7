#include "window/toolbaricons.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

QIcon toolbarIcon(const QString &themeName, const QString &drawing)
{
    const QIcon own(QStringLiteral(":/toolbar/%1.svg").arg(drawing));
    return themeName.isEmpty() ? own : QIcon::fromTheme(themeName, own);
}

void applyToolbarIcons(QToolBar *toolbar, const QList<ToolbarIcon> &icons)
{
    for (const ToolbarIcon &icon : icons) {
        icon.action->setIcon(toolbarIcon(icon.themeName, icon.drawing));
        if (auto *button = qobject_cast<QToolButton *>(toolbar->widgetForAction(icon.action)))
            button->setToolButtonStyle(icon.textShown ? Qt::ToolButtonTextBesideIcon
                                                      : Qt::ToolButtonIconOnly);
    }
}
