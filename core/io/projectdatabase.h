#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class ProjectModel;

// Named projects kept in one SQLite file. Every call opens, checks and
// releases a connection of its own; errors are Italian texts for the user.
namespace ProjectDatabase {

// Names, most recently saved first. An empty list with an empty error means
// the database holds no project.
QStringList listProjects(const QString &databasePath, QString *error = nullptr);

// Stores the model under the trimmed name ("Progetto" when blank), replacing a
// project of that name in place. One transaction: a failure changes nothing.
bool storeProject(const QString &databasePath, const ProjectModel &model, const QString &name,
                  QString *error = nullptr);

// Replaces the model's project with the stored one; on failure the model is unchanged.
// A picture stored with the project is shown even when its source file is
// there: a file that differs from it (replaced under the same name) is not
// taken, and its path is given in differingSourceFile.
bool loadProject(const QString &databasePath, const QString &name, ProjectModel &model,
                 QString *error = nullptr, QString *differingSourceFile = nullptr);

// Creates the tables when missing and copies rows of the older unprefixed layout.
bool ensureSchema(QSqlDatabase &database, QString *error);

} // namespace ProjectDatabase
