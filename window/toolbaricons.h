#pragma once

#include <QIcon>
#include <QList>
#include <QString>

class QAction;
class QToolBar;

struct ToolbarIcon
{
    QAction *action;
    QString themeName; // empty where no theme has a fitting icon
    QString drawing;   // the program's own, ":/toolbar/<drawing>.svg"
    bool textShown;    // false: the icon alone, the text in the tooltip
};

// The desktop theme's icon where it has one, else the program's own drawing.
QIcon toolbarIcon(const QString &themeName, const QString &drawing);
// Gives the actions their icons and shows text only on the buttons that need
// it, so that the whole bar fits a 1200-pixel window in every language.
void applyToolbarIcons(QToolBar *toolbar, const QList<ToolbarIcon> &icons);
