#include "io/csvwriter.h"
#include "io/projectdatabase.h"
#include "io/workbookwriter.h"
#include "model/projectfile.h"
#include "model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QImageReader>
#include <QProcess>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program, started as a script would start it.
Run plotmason(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // batch mode must go offscreen by itself
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("PLOTMASON_EXECUTABLE"), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// A calibrated project with a picture and two curves, saved as a project file.
QString digitizedProject(const QString &name, bool calibrated = true)
{
    ProjectModel model;
    const QString picture = path(name + QStringLiteral(".png"));
    testsupport::chartImage(640, 480).save(picture);
    model.loadSource(picture);
    testsupport::calibrate(model);
    model.addPoint(QPointF(120, 480), QStringLiteral("Head"));
    model.addPoint(QPointF(300, 300));
    model.addPoint(QPointF(480, 150));
    model.addCurve(QStringLiteral("Power"), QStringLiteral("n"), QStringLiteral("1500"));
    model.addPoint(QPointF(150, 450));
    model.addPoint(QPointF(450, 250));
    if (!calibrated)
        model.setAxisY(QLineF(100, 500, 100, 100), 5, 5);
    const QString file = path(name + QStringLiteral(".pmproj"));
    QString error;
    if (!saveProjectFile(file, model, &error))
        qWarning("cannot save %s: %s", qPrintable(file), qPrintable(error));
    return file;
}

QByteArray bytesOf(const QString &file)
{
    return testsupport::readFile(file);
}

} // namespace

class TestBatchMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(qEnvironmentVariable("PLOTMASON_EXECUTABLE")), "no program");
    }

    void version()
    {
        const Run run = plotmason({QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Plotmason 1.1.7\n"));
    }

    void help()
    {
        const Run run = plotmason({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        for (const char *option :
             {"--list-projects", "--open", "--database", "--project", "--export-csv", "--export-svg",
              "--export-excel", "--graph-pdf", "--graph-jpg", "--graph-svg", "--graph-excel", "--points",
              "--save-project", "--store", "--as"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString project = digitizedProject(QStringLiteral("usage"));
        QTest::newRow("unknown option") << QStringList{"--frobnicate"};
        QTest::newRow("missing value") << QStringList{"--open"};
        QTest::newRow("points too low")
            << QStringList{"--open", project, "--export-excel", path("a.xlsx"), "--points", "1"};
        QTest::newRow("points too high") << QStringList{"--open", project, "--points", "10001"};
        QTest::newRow("points not a number") << QStringList{"--open", project, "--points", "many"};
        QTest::newRow("export without project") << QStringList{"--export-csv", path("a.csv")};
        QTest::newRow("project without database")
            << QStringList{"--project", "P", "--export-csv", path("a.csv")};
        QTest::newRow("store without name") << QStringList{"--open", project, "--store", path("x.pmdb")};
        QTest::newRow("stray argument") << QStringList{"--open", project, "extra"};
    }
    void badUsage()
    {
        QFETCH(QStringList, arguments);
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QLatin1String("--help")), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(path("a.csv")));
        QVERIFY(!QFileInfo::exists(path("a.xlsx")));
    }

    // The files are those that the window's own functions write for the project.
    void exportsMatchTheWindowsWriters()
    {
        const QString project = digitizedProject(QStringLiteral("pump"));
        const Run run =
            plotmason({QStringLiteral("--open"), project, QStringLiteral("--export-csv"), path("pump.csv"),
                       QStringLiteral("--export-excel"), path("pump.xlsx"), QStringLiteral("--points"),
                       QStringLiteral("40"), QStringLiteral("--export-svg"), path("pump.svg"),
                       QStringLiteral("--save-project"), path("copy.pmproj")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(project, model, &error));
        QVERIFY(model.exportCsv(path("expected.csv")));
        QVERIFY(writeCurvesWorkbook(path("expected.xlsx"), model.curves(), 40, &error));
        QVERIFY(model.exportSvg(path("expected.svg")));
        QVERIFY(saveProjectFile(path("expected.pmproj"), model, &error));
        QCOMPARE(bytesOf(path("pump.csv")), bytesOf(path("expected.csv")));
        QCOMPARE(bytesOf(path("pump.xlsx")), bytesOf(path("expected.xlsx")));
        QCOMPARE(bytesOf(path("pump.svg")), bytesOf(path("expected.svg")));
        QCOMPARE(bytesOf(path("copy.pmproj")), bytesOf(path("expected.pmproj")));
        QVERIFY(bytesOf(path("pump.csv")).startsWith("curve_name,"));
    }

    void databaseProjects()
    {
        const QString database = path("lab.pmdb");
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(digitizedProject(QStringLiteral("stored")), model, &error));
        for (const char *name : {"Oldest", "Middle", "Newest"}) {
            QVERIFY(ProjectDatabase::storeProject(database, model, QString::fromLatin1(name), &error));
        }
        // Save times have whole seconds: make the order explicit.
        const testsupport::ToolResult sql = testsupport::runTool(
            QStringLiteral("sqlite3"),
            {database,
             QStringLiteral("UPDATE plotmason_projects SET updated_at = CASE name WHEN 'Oldest' THEN "
                            "'2020-01-01T00:00:00Z' WHEN 'Middle' THEN '2021-01-01T00:00:00Z' ELSE "
                            "'2022-01-01T00:00:00Z' END;")});
        QCOMPARE(sql.exitCode, 0);
        const Run list = plotmason({QStringLiteral("--list-projects"), database});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, QStringLiteral("Newest\nMiddle\nOldest\n"));

        const Run run = plotmason(
            {QStringLiteral("--database"), database, QStringLiteral("--project"), QStringLiteral("Middle"),
             QStringLiteral("--export-csv"), path("db.csv"), QStringLiteral("--graph-excel"), path("db.xlsx"),
             QStringLiteral("--store"), path("copy.pmdb"), QStringLiteral("--as"), QStringLiteral("Copied")});
        QCOMPARE(run.exitCode, 0);
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("Middle"), loaded, &error));
        QVERIFY(writeCurvesCsv(path("db-expected.csv"), loaded.curves(), &error));
        QVERIFY(writeCurvesWorkbook(path("db-expected.xlsx"), loaded.curves(), 100, &error));
        QCOMPARE(bytesOf(path("db.csv")), bytesOf(path("db-expected.csv")));
        QCOMPARE(bytesOf(path("db.xlsx")), bytesOf(path("db-expected.xlsx")));
        ProjectModel copied;
        QVERIFY(ProjectDatabase::loadProject(path("copy.pmdb"), QStringLiteral("Copied"), copied, &error));
        QCOMPARE(copied.curves(), loaded.curves());
    }

    // Only the steps that draw the picture or take its size need it: the others
    // run on a project whose picture was moved away, and write what they would with it.
    void movedPicture_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("needsPicture");
        QTest::newRow("CSV") << "--export-csv" << false;
        QTest::newRow("curves SVG, sized by the picture") << "--export-svg" << true;
        QTest::newRow("workbook") << "--export-excel" << false;
        QTest::newRow("graph workbook") << "--graph-excel" << false;
        QTest::newRow("project file") << "--save-project" << false;
        QTest::newRow("graph JPG") << "--graph-jpg" << true;
        QTest::newRow("graph PDF") << "--graph-pdf" << true;
    }
    void movedPicture()
    {
        QFETCH(QString, step);
        QFETCH(bool, needsPicture);
        const QString project = digitizedProject(QStringLiteral("moved"));
        const QString expected = path(QStringLiteral("expected-output"));
        const Run before = plotmason({QStringLiteral("--open"), project, step, expected});
        QCOMPARE(before.exitCode, 0);
        const QString picture = path(QStringLiteral("moved.png"));
        QFile::remove(path(QStringLiteral("elsewhere.png")));
        QVERIFY(QFile::rename(picture, path(QStringLiteral("elsewhere.png"))));

        const QString output = path(QStringLiteral("output"));
        const Run run = plotmason({QStringLiteral("--open"), project, step, output});
        if (needsPicture) {
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err.trimmed(), QStringLiteral("File sorgente non trovato: %1").arg(picture));
            QVERIFY(!QFileInfo::exists(output));
        } else {
            QCOMPARE(run.exitCode, 0);
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
            QCOMPARE(bytesOf(output), bytesOf(expected));
        }
        QFile::remove(output);
        QFile::remove(expected);
    }

    // A store keeps the picture when there is one and stores the rest when it has gone.
    void storeWithAndWithoutPicture()
    {
        const QString project = digitizedProject(QStringLiteral("kept"));
        const QString database = path(QStringLiteral("kept.pmdb"));
        QCOMPARE(plotmason({QStringLiteral("--open"), project, QStringLiteral("--store"), database,
                            QStringLiteral("--as"), QStringLiteral("With")})
                     .exitCode,
                 0);
        QVERIFY(QFile::remove(path(QStringLiteral("kept.png"))));
        QCOMPARE(plotmason({QStringLiteral("--open"), project, QStringLiteral("--store"), database,
                            QStringLiteral("--as"), QStringLiteral("Without")})
                     .exitCode,
                 0);
        ProjectModel with;
        ProjectModel without;
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("With"), with));
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("Without"), without));
        QCOMPARE(with.sourceImage().size(), QSize(640, 480));
        QVERIFY(without.sourceImage().isNull());
        QCOMPARE(without.curves(), with.curves());
        QCOMPARE(without.sourcePath(), with.sourcePath());
    }

    void graphExportsHaveTheirSizes()
    {
        const QString project = digitizedProject(QStringLiteral("graph"));
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--graph-jpg"),
                                   path("graph.jpg"), QStringLiteral("--graph-pdf"), path("graph.pdf"),
                                   QStringLiteral("--graph-svg"), path("graph.svg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QImageReader jpg(path("graph.jpg"));
        QCOMPARE(jpg.size(), QSize(2386, 1500));
        const QImage image = jpg.read();
        QCOMPARE(image.dotsPerMeterX(), 11811);
        QVERIFY(bytesOf(path("graph.pdf")).startsWith("%PDF"));
        QVERIFY(bytesOf(path("graph.svg")).contains("<svg"));
    }

    void failingStepStopsTheRun()
    {
        const QString project = digitizedProject(QStringLiteral("uncalibrated"), false);
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--save-project"),
                                   path("first.pmproj"), QStringLiteral("--export-csv"), path("refused.csv"),
                                   QStringLiteral("--save-project"), path("never.pmproj")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.trimmed(),
                 QStringLiteral("Complete X and Y axis calibration before adding points or exporting."));
        QVERIFY(QFileInfo::exists(path("first.pmproj")));
        QVERIFY(!QFileInfo::exists(path("refused.csv")));
        QVERIFY(!QFileInfo::exists(path("never.pmproj")));

        const Run graph =
            plotmason({QStringLiteral("--open"), project, QStringLiteral("--graph-pdf"), path("g.pdf")});
        QCOMPARE(graph.exitCode, 1);
        QCOMPARE(graph.err.trimmed(),
                 QStringLiteral("Complete X and Y axis calibration before using the regenerated graph."));
    }

    void unreadableInputs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing project file")
            << QStringList{"--open", path("nowhere.pmproj"), "--export-csv", path("x.csv")} << QString();
        QTest::newRow("not a project")
            << QStringList{"--open", path("bad.pmproj"), "--export-csv", path("x.csv")}
            << QStringLiteral("Progetto JSON non valido: illegal value");
        QTest::newRow("unknown database project")
            << QStringList{"--database", path("empty.pmdb"), "--project",
                           "Nope",       "--export-csv",     path("x.csv")}
            << QStringLiteral("Progetto non trovato nel database.");
        QTest::newRow("unwritable target")
            << QStringList{"--open", digitizedProject(QStringLiteral("target")), "--export-csv",
                           path("no/such/dir/x.csv")}
            << QString();
    }
    void unreadableInputs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        testsupport::writeFile(path("bad.pmproj"), "not json");
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.trimmed().isEmpty());
        if (!message.isEmpty())
            QCOMPARE(run.err.trimmed(), message);
        QVERIFY(!QFileInfo::exists(path("x.csv")));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchMode)
#include "tst_batchmode.moc"
