#include "window/recentprojects.h"

#include "i18n/localization.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QSettings>

namespace {

const QString settingsKey = QStringLiteral("projects/recentFiles");
constexpr int maximumEntries = 5;

QString cleanedPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString entryText(const RecentProject &project)
{
    const QJsonObject entry = project.filePath.isEmpty()
                                  ? QJsonObject{{QStringLiteral("type"), QStringLiteral("database")},
                                                {QStringLiteral("databasePath"), project.databasePath},
                                                {QStringLiteral("projectName"), project.projectName}}
                                  : QJsonObject{{QStringLiteral("type"), QStringLiteral("file")},
                                                {QStringLiteral("path"), project.filePath}};
    return QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact));
}

bool sameProject(const RecentProject &a, const RecentProject &b)
{
    return a.databasePath.compare(b.databasePath, Qt::CaseInsensitive) == 0 &&
           a.projectName.compare(b.projectName, Qt::CaseInsensitive) == 0 &&
           a.filePath.compare(b.filePath, Qt::CaseInsensitive) == 0;
}

// Usable entries in order, twins and anything beyond the limit dropped.
QList<RecentProject> usableEntries(const QStringList &stored, const RecentProject *skip)
{
    QList<RecentProject> projects;
    for (const QString &text : stored) {
        RecentProject project;
        if (!parseRecentEntry(text, &project) || (skip && sameProject(project, *skip)))
            continue;
        const bool twin = std::any_of(projects.cbegin(), projects.cend(),
                                      [&](const RecentProject &kept) { return sameProject(kept, project); });
        if (!twin)
            projects.append(project);
        if (projects.size() == maximumEntries)
            break;
    }
    return projects;
}

QStringList entryTexts(const QList<RecentProject> &projects)
{
    QStringList texts;
    for (const RecentProject &project : projects)
        texts.append(entryText(project));
    return texts;
}

} // namespace

bool parseRecentEntry(const QString &text, RecentProject *project)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        return false;
    const QJsonObject entry = document.object();
    const QString type = entry.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("file")) {
        const QString path = entry.value(QStringLiteral("path")).toString();
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return false;
        *project = RecentProject{{}, {}, cleanedPath(path)};
        return true;
    }
    if (type != QLatin1String("database"))
        return false;
    const QString path = entry.value(QStringLiteral("databasePath")).toString();
    const QString name = entry.value(QStringLiteral("projectName")).toString().trimmed();
    if (path.isEmpty() || name.isEmpty() || !QFileInfo::exists(path))
        return false;
    *project = RecentProject{cleanedPath(path), name, {}};
    return true;
}

QList<RecentProject> recentProjects()
{
    QSettings settings;
    const QStringList stored = settings.value(settingsKey).toStringList();
    const QList<RecentProject> projects = usableEntries(stored, nullptr);
    const QStringList normalized = entryTexts(projects);
    if (normalized != stored && !(normalized.isEmpty() && !settings.contains(settingsKey)))
        settings.setValue(settingsKey, normalized);
    return projects;
}

namespace {

void putFirst(const RecentProject &added)
{
    QSettings settings;
    QList<RecentProject> projects = usableEntries(settings.value(settingsKey).toStringList(), &added);
    projects.prepend(added);
    settings.setValue(settingsKey, entryTexts(projects.mid(0, maximumEntries)));
}

} // namespace

void addRecentProject(const QString &databasePath, const QString &projectName)
{
    const RecentProject added{
        databasePath.isEmpty() ? QString() : cleanedPath(databasePath), projectName.trimmed(), {}};
    if (!added.databasePath.isEmpty() && !added.projectName.isEmpty())
        putFirst(added);
}

void addRecentProjectFile(const QString &path)
{
    if (!path.isEmpty())
        putFirst(RecentProject{{}, {}, cleanedPath(path)});
}

void clearRecentProjects()
{
    QSettings().remove(settingsKey);
}

RecentProjectsMenu::RecentProjectsMenu(QMenu *menu)
    : QObject(menu)
    , m_menu(menu)
{
    connect(m_menu, &QMenu::aboutToShow, this, &RecentProjectsMenu::rebuild);
}

void RecentProjectsMenu::rebuild()
{
    const QList<RecentProject> projects = recentProjects();
    m_menu->clear();
    if (projects.isEmpty()) {
        m_menu->addAction(i18n::tr("No recent files"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < projects.size(); ++i) {
        const RecentProject project = projects[i];
        // A "&" in a name is text, not the mark of a menu accelerator.
        const auto literal = [](QString text) { return text.replace(u'&', QStringLiteral("&&")); };
        const bool isFile = !project.filePath.isEmpty();
        const QString number = QStringLiteral("&%1 ").arg(i + 1);
        QAction *action =
            m_menu->addAction(isFile ? number + literal(QFileInfo(project.filePath).fileName())
                                     : number + QStringLiteral("%1 (%2)").arg(
                                                    literal(project.projectName),
                                                    literal(QFileInfo(project.databasePath).fileName())));
        const QString path = isFile ? project.filePath : project.databasePath;
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, project, isFile] {
            if (isFile)
                Q_EMIT projectFileChosen(project.filePath);
            else
                Q_EMIT projectChosen(project.databasePath, project.projectName);
        });
    }
    m_menu->addSeparator();
    connect(m_menu->addAction(i18n::tr("Clear recent files")), &QAction::triggered, this, [this] {
        clearRecentProjects();
        rebuild();
    });
}
