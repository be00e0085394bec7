#include "io/projectdatabase.h"

#include "model/projectmodel.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUndoStack>
#include <QUuid>

namespace ProjectDatabase {

namespace {

const QString blueprintKind = QStringLiteral("source_blueprint");

const char *const schemaStatements[] = {
    "CREATE TABLE IF NOT EXISTS plotmason_projects (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL "
    "UNIQUE,source_path TEXT,project_json TEXT NOT NULL,created_at TEXT NOT NULL,updated_at TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS plotmason_curves (id INTEGER PRIMARY KEY AUTOINCREMENT,project_id INTEGER "
    "NOT "
    "NULL,curve_index INTEGER NOT NULL,name TEXT NOT NULL,parameter_name TEXT,parameter_value TEXT,color "
    "TEXT,line_width REAL,visible INTEGER,FOREIGN KEY(project_id) REFERENCES plotmason_projects(id) ON "
    "DELETE "
    "CASCADE)",
    "CREATE TABLE IF NOT EXISTS plotmason_points (id INTEGER PRIMARY KEY AUTOINCREMENT,curve_id INTEGER NOT "
    "NULL,point_index INTEGER NOT NULL,x_pixel REAL,y_pixel REAL,x_real REAL,y_real REAL,curve_name "
    "TEXT,FOREIGN KEY(curve_id) REFERENCES plotmason_curves(id) ON DELETE CASCADE)",
    "CREATE TABLE IF NOT EXISTS plotmason_regenerated_graph_settings (project_id INTEGER PRIMARY "
    "KEY,settings_json TEXT,FOREIGN KEY(project_id) REFERENCES plotmason_projects(id) ON DELETE CASCADE)",
    "CREATE TABLE IF NOT EXISTS plotmason_images (id INTEGER PRIMARY KEY AUTOINCREMENT,project_id INTEGER "
    "NOT "
    "NULL,kind TEXT NOT NULL,filename TEXT,mime_type TEXT,data BLOB NOT NULL,created_at TEXT NOT "
    "NULL,updated_at "
    "TEXT NOT NULL,UNIQUE(project_id, kind),FOREIGN KEY(project_id) REFERENCES plotmason_projects(id) ON "
    "DELETE "
    "CASCADE)",
};

// The older layout's rows, copied once their prefixed twins are missing. Each
// copy needs its source table (and, where given, a column proving its shape).
struct LegacyCopy
{
    const char *table;
    const char *requiredColumn;
    const char *statement;
};

const LegacyCopy legacyCopies[] = {
    {"projects", "project_json",
     "INSERT OR IGNORE INTO plotmason_projects(id, name, source_path, project_json, created_at, updated_at) "
     "SELECT id, name, source_path, project_json, created_at, updated_at FROM projects WHERE project_json "
     "LIKE "
     "'%\"PlotmasonProject\"%'"},
    {"curves", "project_id",
     "INSERT OR IGNORE INTO plotmason_curves(id, project_id, curve_index, name, parameter_name, "
     "parameter_value, "
     "color, line_width, visible) SELECT c.id, c.project_id, c.curve_index, c.name, c.parameter_name, "
     "c.parameter_value, c.color, c.line_width, c.visible FROM curves c JOIN plotmason_projects p ON p.id = "
     "c.project_id"},
    {"points", "curve_id",
     "INSERT OR IGNORE INTO plotmason_points(id, curve_id, point_index, x_pixel, y_pixel, x_real, y_real, "
     "curve_name) SELECT p.id, p.curve_id, p.point_index, p.x_pixel, p.y_pixel, p.x_real, p.y_real, "
     "p.curve_name FROM points p JOIN plotmason_curves c ON c.id = p.curve_id"},
    {"regenerated_graph_settings", nullptr,
     "INSERT OR IGNORE INTO plotmason_regenerated_graph_settings(project_id, settings_json) SELECT "
     "s.project_id, "
     "s.settings_json FROM regenerated_graph_settings s JOIN plotmason_projects p ON p.id = s.project_id"},
};

void report(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

bool runStatement(QSqlQuery &query, QString *error)
{
    if (query.exec())
        return true;
    report(error, query.lastError().text());
    return false;
}

bool runStatement(QSqlDatabase &database, const QString &sql, QString *error)
{
    QSqlQuery query(database);
    if (!query.prepare(sql)) {
        report(error, query.lastError().text());
        return false;
    }
    return runStatement(query, error);
}

bool hasTable(const QSqlDatabase &database, const QString &table)
{
    return database.tables(QSql::Tables).contains(table, Qt::CaseInsensitive);
}

bool hasColumn(QSqlDatabase &database, const QString &table, const QString &column)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return false;
    while (query.next()) {
        if (query.value(1).toString().compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString utcTimestamp()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

// A connection under a name of its own, removed from Qt's registry when this
// goes out of scope. Queries must be gone by then, so the work on it runs in a
// function of its own.
class ScopedConnection
{
public:
    explicit ScopedConnection(const QString &path)
        : m_name(QStringLiteral("pm_db_%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
    {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_database.setDatabaseName(path);
    }
    ~ScopedConnection()
    {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    bool open(QString *error)
    {
        if (!m_database.open()) {
            report(error, m_database.lastError().text());
            return false;
        }
        return ensureSchema(m_database, error);
    }
    QSqlDatabase &database() { return m_database; }

private:
    QString m_name;
    QSqlDatabase m_database;
};

QStringList listNames(QSqlDatabase &database)
{
    QSqlQuery query(database);
    QStringList names;
    if (!query.exec(QStringLiteral("SELECT name FROM plotmason_projects ORDER BY updated_at DESC")))
        return names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

bool insertCurves(QSqlDatabase &database, qint64 projectId, const QList<Curve> &curves, QString *error)
{
    QSqlQuery curveQuery(database);
    QSqlQuery pointQuery(database);
    if (!curveQuery.prepare(QStringLiteral("INSERT INTO plotmason_curves(project_id, curve_index, name, "
                                           "parameter_name, parameter_value, color, "
                                           "line_width, visible) VALUES(?, ?, ?, ?, ?, ?, ?, ?)")) ||
        !pointQuery.prepare(
            QStringLiteral("INSERT INTO plotmason_points(curve_id, point_index, x_pixel, "
                           "y_pixel, x_real, y_real, curve_name) VALUES(?, ?, ?, ?, ?, ?, ?)"))) {
        report(error, database.lastError().text());
        return false;
    }
    for (int i = 0; i < curves.size(); ++i) {
        const Curve &curve = curves[i];
        curveQuery.addBindValue(projectId);
        curveQuery.addBindValue(i);
        curveQuery.addBindValue(curve.name);
        curveQuery.addBindValue(curve.parameterName);
        curveQuery.addBindValue(curve.parameterValue);
        curveQuery.addBindValue(curve.color.name(QColor::HexArgb));
        curveQuery.addBindValue(curve.lineWidth);
        curveQuery.addBindValue(curve.visible ? 1 : 0);
        if (!runStatement(curveQuery, error))
            return false;
        const QVariant curveId = curveQuery.lastInsertId();
        for (int j = 0; j < curve.points.size(); ++j) {
            const CurvePoint &point = curve.points[j];
            pointQuery.addBindValue(curveId);
            pointQuery.addBindValue(j);
            pointQuery.addBindValue(point.pixel.x());
            pointQuery.addBindValue(point.pixel.y());
            pointQuery.addBindValue(point.real.x());
            pointQuery.addBindValue(point.real.y());
            pointQuery.addBindValue(point.curveName);
            if (!runStatement(pointQuery, error))
                return false;
        }
    }
    return true;
}

bool writeProjectRows(QSqlDatabase &database, const ProjectModel &model, const QString &name, QString *error)
{
    const QString now = utcTimestamp();
    const QString json = QString::fromUtf8(QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));

    QSqlQuery upsert(database);
    upsert.prepare(QStringLiteral("INSERT INTO plotmason_projects(name, source_path, project_json, "
                                  "created_at, updated_at) VALUES(?, ?, ?, "
                                  "?, ?) ON CONFLICT(name) DO UPDATE SET source_path=excluded.source_path, "
                                  "project_json=excluded.project_json, updated_at=excluded.updated_at"));
    upsert.addBindValue(name);
    upsert.addBindValue(model.sourcePath());
    upsert.addBindValue(json);
    upsert.addBindValue(now);
    upsert.addBindValue(now);
    if (!runStatement(upsert, error))
        return false;

    QSqlQuery select(database);
    select.prepare(QStringLiteral("SELECT id FROM plotmason_projects WHERE name=?"));
    select.addBindValue(name);
    if (!runStatement(select, error))
        return false;
    if (!select.next()) {
        report(error, QStringLiteral("Progetto non trovato nel database."));
        return false;
    }
    const qint64 projectId = select.value(0).toLongLong();

    // The point rows go with their curves through the cascade.
    QSqlQuery deleteCurves(database);
    deleteCurves.prepare(QStringLiteral("DELETE FROM plotmason_curves WHERE project_id=?"));
    deleteCurves.addBindValue(projectId);
    if (!runStatement(deleteCurves, error) || !insertCurves(database, projectId, model.curves(), error))
        return false;

    QSqlQuery deleteImage(database);
    deleteImage.prepare(QStringLiteral("DELETE FROM plotmason_images WHERE project_id=? AND kind=?"));
    deleteImage.addBindValue(projectId);
    deleteImage.addBindValue(blueprintKind);
    if (!runStatement(deleteImage, error))
        return false;
    if (model.sourceImage().isNull())
        return true;

    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !model.sourceImage().save(&buffer, "PNG")) {
        report(error, QStringLiteral("Impossibile salvare l'immagine sorgente nel database."));
        return false;
    }
    QSqlQuery insertImage(database);
    insertImage.prepare(
        QStringLiteral("INSERT INTO plotmason_images(project_id, kind, filename, mime_type, data, "
                       "created_at, updated_at) VALUES(?, ?, ?, ?, ?, ?, ?)"));
    insertImage.addBindValue(projectId);
    insertImage.addBindValue(blueprintKind);
    insertImage.addBindValue(model.sourcePath().isEmpty() ? QString()
                                                          : QFileInfo(model.sourcePath()).fileName());
    insertImage.addBindValue(QStringLiteral("image/png"));
    insertImage.addBindValue(png);
    insertImage.addBindValue(now);
    insertImage.addBindValue(now);
    return runStatement(insertImage, error);
}

bool store(QSqlDatabase &database, const ProjectModel &model, const QString &name, QString *error)
{
    if (!database.transaction()) {
        report(error, database.lastError().text());
        return false;
    }
    if (!writeProjectRows(database, model, name, error)) {
        database.rollback();
        return false;
    }
    if (!database.commit()) {
        report(error, database.lastError().text());
        database.rollback();
        return false;
    }
    return true;
}

struct StoredProject
{
    qint64 id = 0;
    QString sourcePath;
    QJsonObject document;
    QByteArray blueprint;
};

// Everything the load needs is read before the model is touched, so a
// database error cannot leave the model half replaced.
bool readStoredProject(QSqlDatabase &database, const QString &name, StoredProject *project, QString *error)
{
    QSqlQuery select(database);
    select.prepare(
        QStringLiteral("SELECT id, source_path, project_json FROM plotmason_projects WHERE name=?"));
    select.addBindValue(name);
    if (!select.exec() || !select.next()) {
        report(error, QStringLiteral("Progetto non trovato nel database."));
        return false;
    }
    project->id = select.value(0).toLongLong();
    project->sourcePath = select.value(1).toString();

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(select.value(2).toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        report(error,
               QStringLiteral("JSON progetto non valido nel database: %1").arg(parseError.errorString()));
        return false;
    }
    if (!document.isObject()) {
        report(error, QStringLiteral("JSON progetto non valido nel database: radice non oggetto."));
        return false;
    }
    project->document = document.object();
    const QString format = project->document.value(QStringLiteral("format")).toString();
    if (format != QLatin1String("PlotmasonProject")) {
        report(error, QStringLiteral("JSON progetto non valido nel database: formato '%1'.").arg(format));
        return false;
    }

    QSqlQuery image(database);
    image.prepare(QStringLiteral("SELECT data FROM plotmason_images WHERE project_id=? AND kind=?"));
    image.addBindValue(project->id);
    image.addBindValue(blueprintKind);
    if (!runStatement(image, error))
        return false;
    if (image.next())
        project->blueprint = image.value(0).toByteArray();
    return true;
}

bool load(QSqlDatabase &database, const QString &databasePath, const QString &name, ProjectModel &model,
          QString *error)
{
    StoredProject project;
    if (!readStoredProject(database, name, &project, error))
        return false;
    const QString baseDirectory = QFileInfo(databasePath).absolutePath();
    if (!model.applyProjectJson(project.document, baseDirectory, true) &&
        !model.applyProjectJson(project.document, QString(), true)) {
        report(error,
               QStringLiteral("Impossibile caricare il progetto dal database. Verificare sourcePath o dati "
                              "progetto."));
        return false;
    }
    // The picture kept in the database stands in for a source file that has gone.
    if (model.sourceImage().isNull() && !project.blueprint.isEmpty()) {
        const QImage picture = QImage::fromData(project.blueprint);
        if (!picture.isNull())
            model.setSourceImage(picture, project.sourcePath);
        // Part of opening the project, not a step to undo.
        model.undoStack()->clear();
    }
    return true;
}

} // namespace

bool ensureSchema(QSqlDatabase &database, QString *error)
{
    if (!runStatement(database, QStringLiteral("PRAGMA foreign_keys = ON"), error))
        return false;
    for (const char *statement : schemaStatements) {
        if (!runStatement(database, QString::fromLatin1(statement), error))
            return false;
    }
    if (!hasTable(database, QStringLiteral("projects")))
        return true;
    for (const LegacyCopy &copy : legacyCopies) {
        const QString table = QString::fromLatin1(copy.table);
        if (!hasTable(database, table) ||
            (copy.requiredColumn && !hasColumn(database, table, QString::fromLatin1(copy.requiredColumn)))) {
            // Without the projects' JSON there is nothing to copy at all.
            if (table == QLatin1String("projects"))
                return true;
            continue;
        }
        if (!runStatement(database, QString::fromLatin1(copy.statement), error))
            return false;
    }
    return true;
}

QStringList listProjects(const QString &databasePath, QString *error)
{
    report(error, QString());
    ScopedConnection connection(databasePath);
    if (!connection.open(error))
        return {};
    return listNames(connection.database());
}

bool storeProject(const QString &databasePath, const ProjectModel &model, const QString &name, QString *error)
{
    report(error, QString());
    const QString trimmed = name.trimmed();
    ScopedConnection connection(databasePath);
    return connection.open(error) && store(connection.database(), model,
                                           trimmed.isEmpty() ? QStringLiteral("Progetto") : trimmed, error);
}

bool loadProject(const QString &databasePath, const QString &name, ProjectModel &model, QString *error)
{
    report(error, QString());
    ScopedConnection connection(databasePath);
    return connection.open(error) && load(connection.database(), databasePath, name, model, error);
}

} // namespace ProjectDatabase
