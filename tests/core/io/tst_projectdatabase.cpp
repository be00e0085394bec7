#include "core/io/projectdatabase.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

namespace {

// A connection of the test's own for looking inside a database file.
class Inspector
{
public:
    explicit Inspector(const QString &path)
    {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspector"));
        m_database.setDatabaseName(path);
        if (!m_database.open())
            qWarning("inspector cannot open %s", qPrintable(path));
    }
    ~Inspector()
    {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("inspector"));
    }
    // Every row of the statement, columns joined by "|".
    QStringList rows(const QString &sql)
    {
        QSqlQuery query(m_database);
        if (!query.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        QStringList result;
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i)
                columns.append(query.value(i).toString());
            result.append(columns.join(QLatin1Char('|')));
        }
        return result;
    }
    bool exec(const QString &sql)
    {
        QSqlQuery query(m_database);
        const bool ok = query.exec(sql);
        if (!ok)
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        return ok;
    }
    QString value(const QString &sql)
    {
        const QStringList all = rows(sql);
        return all.isEmpty() ? QString() : all.first();
    }

private:
    QSqlDatabase m_database;
};

QString databasePath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// A calibrated project with a picture file and two curves.
void buildProject(ProjectModel &model, const QString &picturePath)
{
    testsupport::chartImage(320, 240).save(picturePath);
    QVERIFY(model.loadSource(picturePath));
    testsupport::calibrate(model);
    model.addPoint(QPointF(150, 450), QStringLiteral("Head"));
    model.addPoint(QPointF(300.25, 300.5));
    model.addCurve(QStringLiteral("Eff'iciency; DROP TABLE x"), QStringLiteral("n"), QStringLiteral("1,5"));
    model.addPoint(QPointF(200, 200));
    model.setCurveStyle(1, QColor(0xAB, 0xCD, 0xEF, 0x80), 3.5);
    model.setCurveVisible(1, false);
    model.setRegeneratedGraphSettings({{QStringLiteral("title"), QStringLiteral("Pump")}});
}

// Every row of every project table, to prove that a failed store changed nothing.
QStringList snapshot(const QString &path)
{
    Inspector inspector(path);
    QStringList all;
    for (const char *table :
         {"plotmason_projects", "plotmason_curves", "plotmason_points", "plotmason_images"})
        all += inspector.rows(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(QLatin1String(table)));
    return all;
}

bool sameImage(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

// A database of the older layout: project 7 is ours with one curve and point,
// project 8 another program's.
void createLegacyDatabase(const QString &path)
{
    ProjectModel legacyModel;
    testsupport::calibrate(legacyModel);
    legacyModel.addPoint(QPointF(300, 300), QStringLiteral("Old curve"));
    const QString legacyJson =
        QString::fromUtf8(QJsonDocument(legacyModel.projectJson()).toJson(QJsonDocument::Compact));
    {
        Inspector inspector(path);
        for (const char *sql : {
                 "CREATE TABLE projects (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL "
                 "UNIQUE,source_path TEXT,project_json TEXT NOT NULL,created_at TEXT NOT NULL,updated_at "
                 "TEXT NOT NULL)",
                 "CREATE TABLE curves (id INTEGER PRIMARY KEY AUTOINCREMENT,project_id INTEGER NOT "
                 "NULL,curve_index INTEGER NOT NULL,name TEXT NOT NULL,parameter_name "
                 "TEXT,parameter_value TEXT,color TEXT,line_width REAL,visible INTEGER)",
                 "CREATE TABLE points (id INTEGER PRIMARY KEY AUTOINCREMENT,curve_id INTEGER NOT "
                 "NULL,point_index INTEGER NOT NULL,x_pixel REAL,y_pixel REAL,x_real REAL,y_real "
                 "REAL,curve_name TEXT)",
                 "CREATE TABLE regenerated_graph_settings (project_id INTEGER PRIMARY KEY,settings_json "
                 "TEXT)",
                 "INSERT INTO curves VALUES (40, 7, 0, 'Old curve', '', '', '#ffd32f2f', 2, 1)",
                 "INSERT INTO curves VALUES (41, 8, 0, 'Foreign', '', '', '#ff000000', 1, 1)",
                 "INSERT INTO points VALUES (90, 40, 0, 300, 300, 5, 10, 'Old curve')",
                 "INSERT INTO points VALUES (91, 41, 0, 1, 1, 1, 1, 'Foreign')",
                 "INSERT INTO regenerated_graph_settings VALUES (7, '{\"title\":\"old\"}')",
                 "INSERT INTO regenerated_graph_settings VALUES (8, '{}')",
             })
            QVERIFY(inspector.exec(QString::fromLatin1(sql)));
        QVERIFY(inspector.exec(QStringLiteral("INSERT INTO projects VALUES (7, 'Legacy pump', '', '%1', "
                                              "'2019-01-01T00:00:00Z', '2019-02-01T00:00:00Z')")
                                   .arg(legacyJson)));
        QVERIFY(inspector.exec(QStringLiteral(
            "INSERT INTO projects VALUES (8, 'Other program', '', '{\"format\":\"SomethingElse\"}', "
            "'2019-01-01T00:00:00Z', '2019-03-01T00:00:00Z')")));
    }
}

// The picture bytes of the one project of a database file.
QByteArray storedPicture(const QString &path)
{
    Inspector inspector(path);
    return QByteArray::fromHex(
        inspector.value(QStringLiteral("SELECT hex(data) FROM plotmason_images")).toLatin1());
}

void storeJson(const QString &path, const QString &name, const QByteArray &json)
{
    ProjectModel model;
    QVERIFY(ProjectDatabase::storeProject(path, model, name));
    Inspector inspector(path);
    QVERIFY(
        inspector.exec(QStringLiteral("UPDATE plotmason_projects SET project_json = '%1' WHERE name = '%2'")
                           .arg(QString::fromUtf8(json).replace("'", "''"), name)));
}

} // namespace

class TestProjectDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // A connection left registered or still in use shows up as a warning.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("connection")));
    }
    void cleanup()
    {
        for (const QString &name : QSqlDatabase::connectionNames())
            QVERIFY2(!name.startsWith(QLatin1String("pm_db_")), qPrintable(name));
    }

    void listingCreatesEmptyDatabase()
    {
        const QString path = databasePath(QStringLiteral("new.pmdb"));
        QString error = QStringLiteral("stale");
        QVERIFY(ProjectDatabase::listProjects(path, &error).isEmpty());
        QVERIFY(error.isEmpty());
        Inspector inspector(path);
        QCOMPARE(
            inspector.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name LIKE "
                                          "'plotmason_%' ORDER BY name")),
            (QStringList{"plotmason_curves", "plotmason_images", "plotmason_points", "plotmason_projects",
                         "plotmason_regenerated_graph_settings"}));
    }

    void storeAndLoadRoundTrip()
    {
        const QString path = databasePath(QStringLiteral("round.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("round.png")));
        QString error;
        QVERIFY2(ProjectDatabase::storeProject(path, model, QStringLiteral("Pump A"), &error),
                 qPrintable(error));
        QCOMPARE(ProjectDatabase::listProjects(path), QStringList{"Pump A"});

        ProjectModel loaded;
        QVERIFY2(ProjectDatabase::loadProject(path, QStringLiteral("Pump A"), loaded, &error),
                 qPrintable(error));
        QCOMPARE(loaded.projectJson(), model.projectJson());
        QVERIFY(sameImage(loaded.sourceImage(), model.sourceImage()));
    }

    void rowsHoldTheProject()
    {
        const QString path = databasePath(QStringLiteral("rows.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("rows.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Rows")));
        Inspector inspector(path);
        const QStringList project = inspector.rows(QStringLiteral(
            "SELECT name, source_path, project_json, created_at, updated_at FROM plotmason_projects"));
        QCOMPARE(project.size(), 1);
        const QStringList fields = project.first().split(QLatin1Char('|'));
        QCOMPARE(fields[0], QStringLiteral("Rows"));
        QCOMPARE(fields[1], model.sourcePath());
        const QRegularExpression timestamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"));
        QVERIFY2(timestamp.match(fields.last()).hasMatch(), qPrintable(fields.last()));
        QCOMPARE(fields[3], fields[4]);
        const QByteArray json =
            inspector.value(QStringLiteral("SELECT project_json FROM plotmason_projects")).toUtf8();
        QVERIFY(!json.contains('\n'));
        QCOMPARE(json, QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));
        QCOMPARE(inspector.value(QStringLiteral("SELECT typeof(project_json) FROM plotmason_projects")),
                 QStringLiteral("text"));

        QCOMPARE(
            inspector.rows(QStringLiteral("SELECT curve_index, name, parameter_name, parameter_value, color, "
                                          "line_width, visible FROM plotmason_curves ORDER BY curve_index")),
            (QStringList{"0|Head|||#ffd32f2f|2|1", "1|Eff'iciency; DROP TABLE x|n|1,5|#80abcdef|3.5|0"}));
        QCOMPARE(
            inspector.rows(QStringLiteral("SELECT c.curve_index, p.point_index, p.x_pixel, p.y_pixel, "
                                          "p.x_real, p.y_real, p.curve_name FROM plotmason_points p JOIN "
                                          "plotmason_curves c ON c.id = p.curve_id ORDER BY p.id")),
            (QStringList{"0|0|150|450|1.25|2.5|Head",
                         "0|1|300.25|300.5|5.00625|" +
                             QVariant(model.curves()[0].points[1].real.y()).toString() + "|Head",
                         "1|0|200|200|2.5|15|Eff'iciency; DROP TABLE x"}));
        QCOMPARE(
            inspector.rows(QStringLiteral("SELECT kind, filename, mime_type, created_at = updated_at FROM "
                                          "plotmason_images")),
            QStringList{"source_blueprint|rows.png|image/png|1"});
        const QByteArray png =
            inspector.value(QStringLiteral("SELECT hex(data) FROM plotmason_images")).toLatin1();
        QVERIFY(sameImage(QImage::fromData(QByteArray::fromHex(png), "PNG"), model.sourceImage()));
    }

    // Points go in several rows per statement: around those batches every row
    // must still hold its own point, with ids in the curve's order.
    void pointRowsAroundBatches_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("one") << 1;
        QTest::newRow("one short of a batch") << 15;
        QTest::newRow("a batch") << 16;
        QTest::newRow("a batch and one") << 17;
        QTest::newRow("batches and some") << 53;
    }
    void pointRowsAroundBatches()
    {
        QFETCH(int, points);
        ProjectModel model;
        testsupport::calibrate(model);
        QStringList expected;
        for (const QString &curve : {QStringLiteral("A"), QStringLiteral("B")}) {
            for (int i = 0; i < points; ++i) {
                const QPointF pixel(10 + i * 0.3, curve == QLatin1String("A") ? 100.125 + i : 7.5 - i);
                model.addPoint(pixel, curve);
                const CurvePoint &added = model.curves()[model.indexOfCurve(curve)].points.last();
                expected.append(
                    QStringLiteral("%1|%2|%3|%4|%5|%6")
                        .arg(curve)
                        .arg(i)
                        .arg(QVariant(added.pixel.x()).toString(), QVariant(added.pixel.y()).toString(),
                             QVariant(added.real.x()).toString(), QVariant(added.real.y()).toString()));
            }
        }
        const QString path = databasePath(QStringLiteral("batches-%1.pmdb").arg(points));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        Inspector inspector(path);
        QCOMPARE(inspector.rows(
                     QStringLiteral("SELECT p.curve_name, p.point_index, p.x_pixel, p.y_pixel, p.x_real, "
                                    "p.y_real FROM plotmason_points p ORDER BY p.id")),
                 expected);
        QCOMPARE(
            inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_points p JOIN plotmason_curves c "
                                           "ON c.id = p.curve_id AND c.name = p.curve_name")),
            QString::number(2 * points));
    }

    // The JSON text is handed to SQLite in the file's own encoding, whichever it is.
    void projectTextInEveryEncoding_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-8") << "UTF-8";
        QTest::newRow("UTF-16le") << "UTF-16le";
        QTest::newRow("UTF-16be") << "UTF-16be";
    }
    void projectTextInEveryEncoding()
    {
        QFETCH(QString, encoding);
        const QString path = databasePath(QStringLiteral("encoding-%1.pmdb").arg(encoding));
        {
            Inspector inspector(path);
            QVERIFY(inspector.exec(QStringLiteral("PRAGMA encoding = '%1'").arg(encoding)));
            QVERIFY(inspector.exec(QStringLiteral("CREATE TABLE other (x)")));
        }
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(12.5, 40), QStringLiteral("Débit € \U0001F4C8"));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Ünïcode")));
        {
            Inspector inspector(path);
            QCOMPARE(inspector.value(QStringLiteral("PRAGMA encoding")), encoding);
            QCOMPARE(inspector.value(QStringLiteral("SELECT typeof(project_json) FROM plotmason_projects")),
                     QStringLiteral("text"));
            QCOMPARE(inspector.value(QStringLiteral("SELECT project_json FROM plotmason_projects")).toUtf8(),
                     QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));
            QCOMPARE(
                inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_projects WHERE project_json "
                                               "LIKE '%\"PlotmasonProject\"%'")),
                QStringLiteral("1"));
        }
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Ünïcode"), loaded));
        QCOMPARE(loaded.curves(), model.curves());
    }

    void sqliteToolSeesAHealthyFile()
    {
        const QString path = databasePath(QStringLiteral("tool.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("tool.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("One")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("One")));
        QProcess sqlite;
        sqlite.start(
            QStringLiteral("sqlite3"),
            {path, QStringLiteral("PRAGMA integrity_check; PRAGMA foreign_key_check; SELECT count(*) FROM "
                                  "plotmason_points; SELECT name FROM plotmason_projects;")});
        QVERIFY2(sqlite.waitForFinished(30000), "sqlite3 is missing or hangs");
        QCOMPARE(sqlite.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()), QStringLiteral("ok\n3\nOne\n"));
    }

    void storingTwiceReplacesInPlace()
    {
        const QString path = databasePath(QStringLiteral("twice.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("twice.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        QString firstRow;
        {
            Inspector inspector(path);
            firstRow =
                inspector.value(QStringLiteral("SELECT id, created_at, updated_at FROM plotmason_projects"));
        }
        QThread::msleep(1100); // timestamps have whole seconds
        model.removeCurve(1);
        model.addPoint(QPointF(400, 400));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("  P ")));

        Inspector inspector(path);
        const QStringList rows =
            inspector.rows(QStringLiteral("SELECT id, created_at, updated_at FROM plotmason_projects"));
        QCOMPARE(rows.size(), 1);
        const QStringList before = firstRow.split(QLatin1Char('|'));
        const QStringList after = rows.first().split(QLatin1Char('|'));
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[1], before[1]);
        QVERIFY(after[2] > before[2]);
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_curves")),
                 QStringLiteral("1"));
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_points")),
                 QStringLiteral("3"));
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_images")),
                 QStringLiteral("1"));
        QCOMPARE(inspector.value(QStringLiteral("SELECT project_id FROM plotmason_images")), before[0]);
    }

    // A PNG source is stored as its own file; any other picture is encoded
    // once, and a second save stores the same bytes again.
    void pictureBytes_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("fileItself");
        QTest::newRow("PNG source") << QByteArray("PNG") << true;
        QTest::newRow("JPG source") << QByteArray("JPG") << false;
        QTest::newRow("BMP source") << QByteArray("BMP") << false;
    }
    void pictureBytes()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, fileItself);
        const QString picture =
            testsupport::sandbox().filePath(QStringLiteral("scan.") + QString::fromLatin1(format).toLower());
        // A text chunk and the strongest compression: bytes that encoding the picture again would not give.
        QImageWriter writer(picture, format);
        writer.setText(QStringLiteral("Source"), QStringLiteral("scanner"));
        writer.setQuality(0);
        QVERIFY(writer.write(testsupport::chartImage(320, 240)));
        const QByteArray file = testsupport::readFile(picture);
        ProjectModel model;
        QVERIFY(model.loadSource(picture));
        testsupport::calibrate(model);

        const QString path = databasePath(QStringLiteral("bytes-%1.pmdb").arg(QLatin1String(format)));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Scan")));
        const QByteArray first = storedPicture(path);
        model.addPoint(QPointF(100, 100));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Scan")));
        const QByteArray second = storedPicture(path);
        QVERIFY(first.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(second, first);
        QCOMPARE(first == file, fileItself);
        QCOMPARE(QImage::fromData(first), model.sourceImage());
    }

    // Kept bytes never stand in for a picture they do not show.
    void pictureBytesFollowThePicture()
    {
        const QString picture = testsupport::sandbox().filePath(QStringLiteral("changing.png"));
        QVERIFY(testsupport::chartImage(320, 240).save(picture));
        ProjectModel model;
        QVERIFY(model.loadSource(picture));
        // The file changes on disk after it was read: the model's picture is stored, not the file.
        QImage other = testsupport::chartImage(320, 240);
        other.invertPixels();
        QVERIFY(other.save(picture));
        const QString path = databasePath(QStringLiteral("changing.pmdb"));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        QCOMPARE(QImage::fromData(storedPicture(path)), model.sourceImage());
        QVERIFY(storedPicture(path) != testsupport::readFile(picture));

        // A new picture replaces the kept bytes.
        model.setSourceImage(testsupport::chartImage(200, 100), QString());
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        QCOMPARE(QImage::fromData(storedPicture(path)).size(), QSize(200, 100));
        QCOMPARE(QImage::fromData(storedPicture(path)), model.sourceImage());
    }

    void namesAreTrimmed_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("only spaces") << "   "
                                     << "Progetto";
        QTest::newRow("empty") << ""
                               << "Progetto";
        QTest::newRow("surrounding spaces") << "  Pump B \t"
                                            << "Pump B";
        QTest::newRow("quotes") << "it's \"x\""
                                << "it's \"x\"";
    }
    void namesAreTrimmed()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        const QString path = databasePath(QStringLiteral("names-%1.pmdb").arg(QTest::currentDataTag()));
        ProjectModel model;
        QVERIFY(ProjectDatabase::storeProject(path, model, given));
        QCOMPARE(ProjectDatabase::listProjects(path), QStringList{stored});
    }

    void projectWithoutPictureDropsOldImage()
    {
        const QString path = databasePath(QStringLiteral("nopicture.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("np.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        model.resetProject();
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("P")));
        Inspector inspector(path);
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_images")),
                 QStringLiteral("0"));
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_curves")),
                 QStringLiteral("1"));
    }

    void listingNewestFirst()
    {
        const QString path = databasePath(QStringLiteral("order.pmdb"));
        ProjectModel model;
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("first")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("second")));
        {
            Inspector inspector(path);
            QVERIFY(inspector.exec(QStringLiteral(
                "UPDATE plotmason_projects SET updated_at='2020-01-01T00:00:00Z' WHERE name='second'")));
            QVERIFY(inspector.exec(QStringLiteral(
                "UPDATE plotmason_projects SET updated_at='2021-06-01T00:00:00Z' WHERE name='first'")));
        }
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("third")));
        QCOMPARE(ProjectDatabase::listProjects(path), (QStringList{"third", "first", "second"}));
    }

    void failedStoreChangesNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("newProjectFails"); // a new project has no old rows to delete
        QTest::newRow("point insert fails")
            << "CREATE TRIGGER fail BEFORE INSERT ON plotmason_points WHEN NEW.point_index = 1 "
               "BEGIN SELECT RAISE(ABORT, 'point refused'); END"
            << true;
        QTest::newRow("image insert fails") << "CREATE TRIGGER fail BEFORE INSERT ON plotmason_images BEGIN "
                                               "SELECT RAISE(ABORT, 'image refused'); END"
                                            << true;
        QTest::newRow("curve delete fails") << "CREATE TRIGGER fail BEFORE DELETE ON plotmason_curves BEGIN "
                                               "SELECT RAISE(ABORT, 'delete refused'); END"
                                            << false;
    }
    void failedStoreChangesNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(bool, newProjectFails);
        const QString path =
            databasePath(QStringLiteral("fail-%1.pmdb").arg(QTest::currentDataTag()).replace(' ', '-'));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("fail.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Kept")));
        {
            Inspector inspector(path);
            QVERIFY(inspector.exec(trigger));
        }
        const QStringList before = snapshot(path);
        model.addPoint(QPointF(420, 420));
        QString error;
        QVERIFY(!ProjectDatabase::storeProject(path, model, QStringLiteral("Kept"), &error));
        QVERIFY2(error.contains(QLatin1String("refused")), qPrintable(error));
        QCOMPARE(snapshot(path), before);
        if (newProjectFails) {
            QVERIFY(!ProjectDatabase::storeProject(path, model, QStringLiteral("New one"), &error));
            QCOMPARE(snapshot(path), before);
        }
        QCOMPARE(ProjectDatabase::listProjects(path), QStringList{"Kept"});
    }

    void legacyTablesAreCopied()
    {
        const QString path = databasePath(QStringLiteral("legacy.sqlite"));
        createLegacyDatabase(path);
        QString error;
        QCOMPARE(ProjectDatabase::listProjects(path, &error), QStringList{"Legacy pump"});
        QVERIFY(error.isEmpty());
        const QStringList firstCopy = snapshot(path);
        {
            Inspector inspector(path);
            QCOMPARE(inspector.value(QStringLiteral("SELECT id FROM plotmason_projects")),
                     QStringLiteral("7"));
            QCOMPARE(inspector.rows(QStringLiteral("SELECT id, project_id FROM plotmason_curves")),
                     QStringList{"40|7"});
            QCOMPARE(inspector.rows(QStringLiteral("SELECT id, curve_id FROM plotmason_points")),
                     QStringList{"90|40"});
            QCOMPARE(inspector.rows(QStringLiteral("SELECT * FROM plotmason_regenerated_graph_settings")),
                     QStringList{"7|{\"title\":\"old\"}"});
            QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM projects")), QStringLiteral("2"));
        }
        // Every access repeats the copy; it must add nothing the second time.
        QCOMPARE(ProjectDatabase::listProjects(path), QStringList{"Legacy pump"});
        QCOMPARE(snapshot(path), firstCopy);

        ProjectModel loaded;
        QVERIFY2(ProjectDatabase::loadProject(path, QStringLiteral("Legacy pump"), loaded, &error),
                 qPrintable(error));
        QCOMPARE(loaded.curves().first().points.first().real, QPointF(5, 10));
        // A new store goes after the legacy ids.
        QVERIFY(ProjectDatabase::storeProject(path, loaded, QStringLiteral("New")));
        Inspector inspector(path);
        QVERIFY(
            inspector.value(QStringLiteral("SELECT id FROM plotmason_projects WHERE name='New'")).toInt() >
            7);
    }

    void deletedSourceComesFromDatabase()
    {
        const QString folder = testsupport::sandbox().filePath(QStringLiteral("deleted"));
        QDir().mkpath(folder);
        const QString picture = QDir(folder).filePath(QStringLiteral("scan.png"));
        const QString path = QDir(folder).filePath(QStringLiteral("lab.pmdb"));
        ProjectModel model;
        buildProject(model, picture);
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Scan")));
        QVERIFY(QFile::remove(picture));
        ProjectModel loaded;
        QString error;
        QVERIFY2(ProjectDatabase::loadProject(path, QStringLiteral("Scan"), loaded, &error),
                 qPrintable(error));
        QCOMPARE(loaded.sourcePath(), picture);
        QVERIFY(sameImage(loaded.sourceImage(), model.sourceImage()));
        QCOMPARE(loaded.curves(), model.curves());
    }

    void legacyProjectIsCopiedOnce()
    {
        const QString path = databasePath(QStringLiteral("legacy-once.sqlite"));
        createLegacyDatabase(path);
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Legacy pump"), loaded));
        QCOMPARE(loaded.curves().size(), 1);
        // The user removes the old curve's point and adds a curve of its own.
        loaded.clearPoints();
        loaded.addPoint(QPointF(320, 310), QStringLiteral("New curve"));
        loaded.setRegeneratedGraphSettings({{QStringLiteral("title"), QStringLiteral("new")}});
        QVERIFY(ProjectDatabase::storeProject(path, loaded, QStringLiteral("Legacy pump")));
        // Every later connection must leave the saved project as it was saved.
        for (int connection = 0; connection < 2; ++connection) {
            QCOMPARE(ProjectDatabase::listProjects(path), QStringList{"Legacy pump"});
            ProjectModel again;
            QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Legacy pump"), again));
            QCOMPARE(again.curves(), loaded.curves());
        }
        Inspector inspector(path);
        QCOMPARE(inspector.rows(QStringLiteral("SELECT name FROM plotmason_curves ORDER BY curve_index")),
                 (QStringList{"Old curve", "New curve"}));
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_points")),
                 QStringLiteral("1"));
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM plotmason_regenerated_graph_settings")),
                 QStringLiteral("1"));
    }

    void storedPictureWinsOverANamesake()
    {
        const QString original = testsupport::sandbox().filePath(QStringLiteral("scans/scan.png"));
        const QString folder = testsupport::sandbox().filePath(QStringLiteral("archive"));
        QVERIFY(QDir().mkpath(QFileInfo(original).path()));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("lab.pmdb"));
        ProjectModel model;
        buildProject(model, original);
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Scan")));
        QVERIFY(QFile::remove(original));
        // Another chart that happens to carry the same name, beside the database.
        QVERIFY(testsupport::chartImage(500, 90).save(QDir(folder).filePath(QStringLiteral("scan.png"))));
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Scan"), loaded));
        QVERIFY(sameImage(loaded.sourceImage(), model.sourceImage()));
        QCOMPARE(loaded.sourcePath(), original);
        // A save keeps the project's own picture.
        QVERIFY(ProjectDatabase::storeProject(path, loaded, QStringLiteral("Scan")));
        ProjectModel reopened;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Scan"), reopened));
        QVERIFY(sameImage(reopened.sourceImage(), model.sourceImage()));
    }

    void missingPdfKeepsItsPage()
    {
        const QString pdf = testsupport::writeLetterPdf(QStringLiteral("three-pages.pdf"), 3);
        const QString path = databasePath(QStringLiteral("pages.pmdb"));
        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(pdf));
        model.setPdfPage(2);
        testsupport::calibrate(model);
        model.addPoint(QPointF(120, 200));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Paged")));
        QVERIFY(QFile::remove(pdf));

        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Paged"), loaded));
        QCOMPARE(loaded.pdfPage(), 2);
        QVERIFY(sameImage(loaded.sourceImage(), model.sourceImage()));
        QVERIFY(ProjectDatabase::storeProject(path, loaded, QStringLiteral("Paged")));
        // With the file back, the points open over the page they were taken on.
        QCOMPARE(testsupport::writeLetterPdf(QStringLiteral("three-pages.pdf"), 3), pdf);
        ProjectModel reopened;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Paged"), reopened));
        QCOMPARE(reopened.pdfPageCount(), 3);
        QCOMPARE(reopened.pdfPage(), 2);
        QVERIFY(sameImage(reopened.sourceImage(), model.sourceImage()));
    }

    void relativeSourceBesideDatabase()
    {
        const QString folder = testsupport::sandbox().filePath(QStringLiteral("relative"));
        QDir().mkpath(folder);
        testsupport::chartImage(111, 77).save(QDir(folder).filePath(QStringLiteral("beside.png")));
        const QString path = QDir(folder).filePath(QStringLiteral("rel.pmdb"));
        storeJson(path, QStringLiteral("R"), R"({"format":"PlotmasonProject","sourcePath":"beside.png"})");
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("R"), loaded));
        QCOMPARE(loaded.sourceImage().size(), QSize(111, 77));
        QCOMPARE(loaded.sourcePath(), QDir(folder).filePath(QStringLiteral("beside.png")));
    }

    void badRows_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::newRow("not JSON") << QByteArray("{broken") << "JSON progetto non valido nel database: ";
        QTest::newRow("root array") << QByteArray("[1,2]")
                                    << "JSON progetto non valido nel database: radice non oggetto.";
        QTest::newRow("other format") << QByteArray(R"({"format":"OtherTool"})")
                                      << "JSON progetto non valido nel database: formato 'OtherTool'.";
        QTest::newRow("format not text")
            << QByteArray(R"({"format":3})") << "JSON progetto non valido nel database: formato ''.";
        QTest::newRow("format missing")
            << QByteArray("{}") << "JSON progetto non valido nel database: formato ''.";
    }
    void badRows()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        const QString path = databasePath(QStringLiteral("bad.pmdb"));
        storeJson(path, QStringLiteral("Bad"), json);
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("untouched.png")));
        const QJsonObject before = model.projectJson();
        QString error;
        QVERIFY(!ProjectDatabase::loadProject(path, QStringLiteral("Bad"), model, &error));
        QVERIFY2(error.startsWith(message), qPrintable(error));
        if (!message.endsWith(QLatin1String(": ")))
            QCOMPARE(error, message);
        else
            QVERIFY(error.size() > message.size());
        QCOMPARE(model.projectJson(), before);
    }

    void unknownName()
    {
        const QString path = databasePath(QStringLiteral("unknown.pmdb"));
        ProjectModel model;
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("Known")));
        QString error;
        QVERIFY(!ProjectDatabase::loadProject(path, QStringLiteral("known"), model, &error));
        QCOMPARE(error, QStringLiteral("Progetto non trovato nel database."));
        // The name is used as given, not trimmed.
        QVERIFY(!ProjectDatabase::loadProject(path, QStringLiteral(" Known"), model, &error));
    }

    void blobThatIsNoPicture()
    {
        const QString path = databasePath(QStringLiteral("blob.pmdb"));
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("blob.png")));
        QVERIFY(ProjectDatabase::storeProject(path, model, QStringLiteral("B")));
        QVERIFY(QFile::remove(testsupport::sandbox().filePath(QStringLiteral("blob.png"))));
        {
            Inspector inspector(path);
            QVERIFY(inspector.exec(QStringLiteral("UPDATE plotmason_images SET data = x'0011223344'")));
        }
        ProjectModel loaded;
        QString error;
        QVERIFY2(ProjectDatabase::loadProject(path, QStringLiteral("B"), loaded, &error), qPrintable(error));
        QVERIFY(loaded.sourceImage().isNull());
        QCOMPARE(loaded.curves(), model.curves());
    }

    void notADatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("this is a plain text file, not SQLite\n").repeated(50);
        QTest::newRow("truncated header") << QByteArray("SQLite format 3\0\x10\0", 18);
    }
    void notADatabase()
    {
        QFETCH(QByteArray, content);
        const QString path = databasePath(QStringLiteral("text.pmdb"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QString error;
        QVERIFY(ProjectDatabase::listProjects(path, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        ProjectModel model;
        error.clear();
        QVERIFY(!ProjectDatabase::storeProject(path, model, QStringLiteral("X"), &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!ProjectDatabase::loadProject(path, QStringLiteral("X"), model, &error));
        QVERIFY(!error.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    void unreachablePath()
    {
        QString error;
        QVERIFY(ProjectDatabase::listProjects(
                    testsupport::sandbox().filePath(QStringLiteral("no/such/dir/x.pmdb")), &error)
                    .isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void foreignDatabaseGetsTables()
    {
        const QString path = databasePath(QStringLiteral("foreign.sqlite"));
        {
            Inspector inspector(path);
            QVERIFY(inspector.exec(QStringLiteral("CREATE TABLE inventory (id INTEGER, item TEXT)")));
            QVERIFY(inspector.exec(QStringLiteral("CREATE TABLE projects (id INTEGER, title TEXT)")));
            QVERIFY(inspector.exec(QStringLiteral("INSERT INTO projects VALUES (1, 'not ours')")));
        }
        QString error;
        QVERIFY(ProjectDatabase::listProjects(path, &error).isEmpty());
        QVERIFY(error.isEmpty());
        Inspector inspector(path);
        QCOMPARE(inspector.value(QStringLiteral("SELECT count(*) FROM projects")), QStringLiteral("1"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestProjectDatabase)
#include "tst_projectdatabase.moc"
