#include "prompts/dialogplaces.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSettings>

namespace {

const QString geometrySetting = QStringLiteral("window/geometry");
const QString stateSetting = QStringLiteral("window/state");

QString folderSetting(const QString &filter)
{
    const QString kind = dialogKind(filter);
    return kind.isEmpty() ? QString() : QStringLiteral("dialogs/%1").arg(kind);
}

} // namespace

QString dialogKind(const QString &filter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return firstPattern.match(filter).captured(1).toLower();
}

QString dialogStartFolder(const QString &filter)
{
    const QString key = folderSetting(filter);
    if (key.isEmpty())
        return {};
    const QString folder = QSettings().value(key).toString();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void rememberDialogFolder(const QString &filter, const QString &chosenPath)
{
    const QString key = folderSetting(filter);
    if (!key.isEmpty() && !chosenPath.isEmpty())
        QSettings().setValue(key, QFileInfo(chosenPath).absolutePath());
}

bool restoreWindowLayout(QMainWindow *window)
{
    const QSettings settings;
    if (!window->restoreGeometry(settings.value(geometrySetting).toByteArray()))
        return false;
    window->restoreState(settings.value(stateSetting).toByteArray());
    return true;
}

void saveWindowLayout(const QMainWindow *window)
{
    QSettings settings;
    settings.setValue(geometrySetting, window->saveGeometry());
    settings.setValue(stateSetting, window->saveState());
}
