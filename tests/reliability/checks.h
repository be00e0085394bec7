#pragma once

#include "core/io/projectdatabase.h"
#include "core/model/projectmodel.h"
#include "tests/reliability/writers.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace reliability {

// SQLite's own verdict on the whole file: "ok" for a healthy database. The
// connection may write: a writer killed in a transaction leaves a hot journal
// that the next connection must roll back first.
inline QString integrityCheck(const QString &path)
{
    const QString name = QStringLiteral("check_%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
    QString verdict;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        if (database.open()) {
            QSqlQuery query(database);
            QStringList rows;
            if (query.exec(QStringLiteral("PRAGMA integrity_check"))) {
                while (query.next())
                    rows.append(query.value(0).toString());
            }
            verdict = rows.join(QLatin1Char('\n'));
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
    return verdict;
}

// The stored project's document, or an empty array when it does not load.
inline QByteArray loadedDocument(const QString &path, QString *error)
{
    ProjectModel model;
    if (!ProjectDatabase::loadProject(path, databaseProjectName(), model, error))
        return QByteArray();
    return projectDocument(model);
}

} // namespace reliability
