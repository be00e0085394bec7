#include "core/io/projectdatabase.h"

#include "core/model/projectmodel.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUndoStack>
#include <QUuid>

#include <utility>

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

// The older layout's rows. Each legacy project is copied once, when its id is
// not yet in the new tables; its curves, points and settings come with it in
// the same pass, so that rows a later save deleted never come back. Each copy
// needs its source table (and, where given, a column proving its shape).
struct LegacyCopy
{
    const char *table;
    const char *requiredColumn;
    const char *statement;
};

const char *const legacyNewProjects =
    "CREATE TEMP TABLE plotmason_legacy_new AS SELECT id FROM projects WHERE project_json LIKE "
    "'%\"PlotmasonProject\"%' AND id NOT IN (SELECT id FROM plotmason_projects)";
const char *const legacyNewProjectsDone = "DROP TABLE temp.plotmason_legacy_new";

const LegacyCopy legacyCopies[] = {
    {"projects", "project_json",
     "INSERT OR IGNORE INTO plotmason_projects(id, name, source_path, project_json, created_at, updated_at) "
     "SELECT id, name, source_path, project_json, created_at, updated_at FROM projects WHERE id IN (SELECT "
     "id "
     "FROM plotmason_legacy_new)"},
    {"curves", "project_id",
     "INSERT OR IGNORE INTO plotmason_curves(id, project_id, curve_index, name, parameter_name, "
     "parameter_value, "
     "color, line_width, visible) SELECT c.id, c.project_id, c.curve_index, c.name, c.parameter_name, "
     "c.parameter_value, c.color, c.line_width, c.visible FROM curves c JOIN plotmason_projects p ON p.id = "
     "c.project_id WHERE c.project_id IN (SELECT id FROM plotmason_legacy_new)"},
    {"points", "curve_id",
     "INSERT OR IGNORE INTO plotmason_points(id, curve_id, point_index, x_pixel, y_pixel, x_real, y_real, "
     "curve_name) SELECT p.id, p.curve_id, p.point_index, p.x_pixel, p.y_pixel, p.x_real, p.y_real, "
     "p.curve_name FROM points p JOIN plotmason_curves c ON c.id = p.curve_id WHERE c.project_id IN (SELECT "
     "id FROM plotmason_legacy_new)"},
    {"regenerated_graph_settings", nullptr,
     "INSERT OR IGNORE INTO plotmason_regenerated_graph_settings(project_id, settings_json) SELECT "
     "s.project_id, "
     "s.settings_json FROM regenerated_graph_settings s JOIN plotmason_projects p ON p.id = s.project_id "
     "WHERE s.project_id IN (SELECT id FROM plotmason_legacy_new)"},
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

// Encoding a scanned page as PNG takes seconds, and the picture seldom changes
// between two saves: the bytes of the last picture stored serve the next save
// of the same picture. Which picture they belong to is told by its cache key,
// which changes whenever an image's pixels do.
struct EncodedPicture
{
    qint64 cacheKey = 0;
    QByteArray png;
};

EncodedPicture &lastEncodedPicture()
{
    static EncodedPicture picture;
    return picture;
}

// The source file's own bytes when it is a PNG that the loader below would read
// back as exactly the model's picture; empty otherwise.
QByteArray sourcePngBytes(const QString &path, const QImage &image)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || !file.read(8).startsWith("\x89PNG\r\n\x1a\n"))
        return {};
    if (!file.seek(0))
        return {};
    const QByteArray bytes = file.readAll();
    return QImage::fromData(bytes) == image ? bytes : QByteArray();
}

// The picture as PNG bytes; empty when it cannot be encoded.
QByteArray encodedPicture(const QImage &image, const QString &sourcePath)
{
    EncodedPicture &last = lastEncodedPicture();
    if (last.cacheKey == image.cacheKey() && !last.png.isEmpty())
        return last.png;
    QByteArray png = sourcePngBytes(sourcePath, image);
    if (png.isEmpty()) {
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            return {};
    }
    last = {image.cacheKey(), png};
    return png;
}

// Qt's binding and execution cost more per statement than SQLite's work on a
// row, so the points go in a few rows per statement. Far longer statements
// make Qt's binding slower again. The rows get their ids in the same order.
constexpr int pointsPerStatement = 16;

bool preparePointInsert(QSqlQuery &query, int rows, QString *error)
{
    QString sql =
        QStringLiteral("INSERT INTO plotmason_points(curve_id, point_index, x_pixel, y_pixel, x_real, "
                       "y_real, curve_name) VALUES(?, ?, ?, ?, ?, ?, ?)");
    for (int row = 1; row < rows; ++row)
        sql += QStringLiteral(", (?, ?, ?, ?, ?, ?, ?)");
    if (query.prepare(sql))
        return true;
    report(error, query.lastError().text());
    return false;
}

void bindPoint(QSqlQuery &query, int row, const QVariant &curveId, int index, const CurvePoint &point)
{
    const int first = row * 7;
    query.bindValue(first, curveId);
    query.bindValue(first + 1, index);
    query.bindValue(first + 2, point.pixel.x());
    query.bindValue(first + 3, point.pixel.y());
    query.bindValue(first + 4, point.real.x());
    query.bindValue(first + 5, point.real.y());
    query.bindValue(first + 6, point.curveName);
}

bool insertPoints(QSqlQuery &many, QSqlQuery &one, const QVariant &curveId, const QList<CurvePoint> &points,
                  QString *error)
{
    int j = 0;
    for (; j + pointsPerStatement <= points.size(); j += pointsPerStatement) {
        for (int row = 0; row < pointsPerStatement; ++row)
            bindPoint(many, row, curveId, j + row, points[j + row]);
        if (!runStatement(many, error))
            return false;
    }
    for (; j < points.size(); ++j) {
        bindPoint(one, 0, curveId, j, points[j]);
        if (!runStatement(one, error))
            return false;
    }
    return true;
}

bool insertCurves(QSqlDatabase &database, qint64 projectId, const QList<Curve> &curves, QString *error)
{
    QSqlQuery curveQuery(database);
    QSqlQuery manyPoints(database);
    QSqlQuery onePoint(database);
    if (!curveQuery.prepare(QStringLiteral("INSERT INTO plotmason_curves(project_id, curve_index, name, "
                                           "parameter_name, parameter_value, color, "
                                           "line_width, visible) VALUES(?, ?, ?, ?, ?, ?, ?, ?)"))) {
        report(error, curveQuery.lastError().text());
        return false;
    }
    if (!preparePointInsert(manyPoints, pointsPerStatement, error) || !preparePointInsert(onePoint, 1, error))
        return false;
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
        if (!runStatement(curveQuery, error) ||
            !insertPoints(manyPoints, onePoint, curveQuery.lastInsertId(), curve.points, error))
            return false;
    }
    return true;
}

// Whether the file keeps its texts in UTF-8, the usual encoding.
bool storesUtf8(QSqlDatabase &database)
{
    QSqlQuery encoding(database);
    return encoding.exec(QStringLiteral("PRAGMA encoding")) && encoding.next() &&
           encoding.value(0).toString() == QLatin1String("UTF-8");
}

// The project's JSON text as the value to bind, cast to text in the statement.
// Qt binds a QString as UTF-16, which SQLite turns back into the file's
// encoding; in a UTF-8 file, the usual one, the UTF-8 bytes are handed over as
// they are, sparing both conversions of the largest value of a save.
QVariant projectText(QSqlDatabase &database, const QByteArray &json)
{
    if (storesUtf8(database))
        return json;
    return QString::fromUtf8(json);
}

bool writeProjectRows(QSqlDatabase &database, const ProjectModel &model, const QString &name, QString *error)
{
    const QString now = utcTimestamp();
    QSqlQuery upsert(database);
    upsert.prepare(QStringLiteral("INSERT INTO plotmason_projects(name, source_path, project_json, "
                                  "created_at, updated_at) VALUES(?, ?, CAST(? AS TEXT), "
                                  "?, ?) ON CONFLICT(name) DO UPDATE SET source_path=excluded.source_path, "
                                  "project_json=excluded.project_json, updated_at=excluded.updated_at"));
    upsert.addBindValue(name);
    upsert.addBindValue(model.sourcePath());
    upsert.addBindValue(projectText(database, model.compactProjectJson()));
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

    const QByteArray png = encodedPicture(model.sourceImage(), model.sourcePath());
    if (png.isEmpty()) {
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
    ProjectDocument document;
    QByteArray blueprint;
};

// Everything the load needs is read before the model is touched, so a
// database error cannot leave the model half replaced.
bool readStoredProject(QSqlDatabase &database, const QString &name, StoredProject *project, QString *error)
{
    QSqlQuery select(database);
    // In a UTF-8 file the text comes as the bytes stored, not through UTF-16 and back.
    select.prepare(
        storesUtf8(database)
            ? QStringLiteral("SELECT id, source_path, CAST(project_json AS BLOB) FROM "
                             "plotmason_projects WHERE name=?")
            : QStringLiteral("SELECT id, source_path, project_json FROM plotmason_projects WHERE name=?"));
    select.addBindValue(name);
    if (!select.exec() || !select.next()) {
        report(error, QStringLiteral("Progetto non trovato nel database."));
        return false;
    }
    project->id = select.value(0).toLongLong();
    project->sourcePath = select.value(1).toString();

    QString reason;
    switch (readProjectJson(select.value(2).toByteArray(), &project->document, &reason)) {
    case JsonReading::Read: break;
    case JsonReading::NotAnObject:
        report(error, QStringLiteral("JSON progetto non valido nel database: radice non oggetto."));
        return false;
    default:
        report(error, QStringLiteral("JSON progetto non valido nel database: %1").arg(reason));
        return false;
    }
    const QString format = project->document.object.value(QStringLiteral("format")).toString();
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

// Pixel for pixel, whatever format each was read in.
bool samePicture(const QImage &a, const QImage &b)
{
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

bool load(QSqlDatabase &database, const QString &databasePath, const QString &name, ProjectModel &model,
          QString *error, QString *differingSourceFile)
{
    StoredProject project;
    if (!readStoredProject(database, name, &project, error))
        return false;
    // A stored picture is the project's own; a file that merely shares the gone
    // source's name beside the database is not looked for in its place.
    const QString stored = project.document.object.value(QStringLiteral("sourcePath")).toString();
    const bool sourceGone = QFileInfo(stored).isAbsolute() && !QFileInfo::exists(stored);
    const QString baseDirectory =
        sourceGone && !project.blueprint.isEmpty() ? QString() : QFileInfo(databasePath).absolutePath();
    // A source that cannot be read does not refuse the document here, so only
    // the document itself can.
    if (!model.applyProjectDocument(std::move(project.document), baseDirectory, true)) {
        const QString reason = model.lastError();
        report(error, !reason.isEmpty() ? reason
                                        : QStringLiteral("Impossibile caricare il progetto dal database. "
                                                         "Verificare sourcePath o dati progetto."));
        return false;
    }
    // The picture kept in the database is the one the points were taken on: it
    // stands in for a source file that has gone, and wins over a file that has
    // been replaced under the same name. The file is kept only when it shows the
    // same picture (a PDF can then still change page and resolution).
    const QImage picture = QImage::fromData(project.blueprint);
    if (!picture.isNull()) {
        const QImage fromFile = model.sourceImage();
        if (fromFile.isNull() || !samePicture(fromFile, picture)) {
            if (!fromFile.isNull())
                report(differingSourceFile, model.sourcePath());
            model.setSourceImage(picture, project.sourcePath);
        }
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
    // Without the projects' JSON there is nothing to copy at all.
    if (!hasTable(database, QStringLiteral("projects")) ||
        !hasColumn(database, QStringLiteral("projects"), QStringLiteral("project_json")))
        return true;
    if (!runStatement(database, QString::fromLatin1(legacyNewProjects), error))
        return false;
    for (const LegacyCopy &copy : legacyCopies) {
        const QString table = QString::fromLatin1(copy.table);
        if (!hasTable(database, table) ||
            (copy.requiredColumn && !hasColumn(database, table, QString::fromLatin1(copy.requiredColumn))))
            continue;
        if (!runStatement(database, QString::fromLatin1(copy.statement), error))
            return false;
    }
    return runStatement(database, QString::fromLatin1(legacyNewProjectsDone), error);
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

bool loadProject(const QString &databasePath, const QString &name, ProjectModel &model, QString *error,
                 QString *differingSourceFile)
{
    report(error, QString());
    report(differingSourceFile, QString());
    ScopedConnection connection(databasePath);
    return connection.open(error) &&
           load(connection.database(), databasePath, name, model, error, differingSourceFile);
}

} // namespace ProjectDatabase
