#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QMenu;

// A project used lately, as kept in the setting "projects/recentFiles": a
// project of a database, or a project file (filePath set, the others empty).
struct RecentProject
{
    QString databasePath; // cleaned absolute path
    QString projectName;
    QString filePath; // cleaned absolute path

    friend bool operator==(const RecentProject &a, const RecentProject &b)
    {
        return a.databasePath == b.databasePath && a.projectName == b.projectName && a.filePath == b.filePath;
    }
};

// Reads one stored entry; true only for a usable one (a database entry whose
// file exists and whose trimmed name is not empty, or a file entry whose file
// exists), with the path cleaned.
bool parseRecentEntry(const QString &text, RecentProject *project);

// The usable stored entries, newest first, at most five; the stored list is
// rewritten when it held anything else (broken entries, deleted files, twins).
QList<RecentProject> recentProjects();
// Puts the project first (moving it when already listed).
void addRecentProject(const QString &databasePath, const QString &projectName);
void addRecentProjectFile(const QString &path);
void clearRecentProjects();

// The "Recent files" submenu, rebuilt from the settings each time it opens.
class RecentProjectsMenu : public QObject
{
    Q_OBJECT

public:
    explicit RecentProjectsMenu(QMenu *menu);
    void rebuild();

Q_SIGNALS:
    void projectChosen(const QString &databasePath, const QString &projectName);
    void projectFileChosen(const QString &path);

private:
    QMenu *m_menu;
};
