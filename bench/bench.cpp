// Measures what users wait for. Prints one table row per scenario; asserts nothing.
#include "bench/axisbench.h"
#include "bench/batchbench.h"
#include "bench/benchsupport.h"
#include "bench/extractbench.h"
#include "bench/pdfscenario.h"
#include "bench/undobench.h"
#include "core/io/csvwriter.h"
#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "graphwindow/zoomablegraphview.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTextStream>

#include <sqlite3.h>

#include <cstdio>

using namespace bench;

namespace {

// Delivers one mouse event and returns when every synchronous slot has run;
// the caller settles the event loop to count the painting that follows.
void deliver(QWidget *widget, QEvent::Type type, const QPoint &position, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A project built apart from the window, then applied in one step as a file would be.
QJsonObject projectDocument(int curves, int pointsPerCurve, const QSize &picture)
{
    ProjectModel model;
    fillProject(model, curves, pointsPerCurve, picture);
    return model.projectJson();
}

// Clicks and drag steps in the main window; with `graphOpen`, the regenerated
// graph's window is open too and follows every change.
QList<Row> clickLatency(const Scale &scale, bool graphOpen)
{
    const QSize picture = scale.tiny ? QSize(600, 400) : QSize(6000, 4000);
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("window not exposed");
    ProjectModel *model = window.model();
    model->applyProjectJson(projectDocument(5, scale.size(2000, 50), picture), QString(), true);
    model->setSourceImage(scanLikePicture(picture), QString());
    model->setActiveCurveIndex(4);
    GraphView *view = window.graphView();
    view->fitInView(view->sceneRect(), Qt::KeepAspectRatio);
    settle(view->viewport());
    if (graphOpen) {
        window.openRegeneratedGraph();
        RegeneratedGraphWindow *graph = window.regeneratedGraphWindow();
        if (!graph || !QTest::qWaitForWindowExposed(graph))
            qWarning("regenerated graph window not exposed");
        else
            settle(graph->view()->viewport());
        window.activateWindow();
        settle(view->viewport());
    }

    // A click is done when the view shows it and the event loop is idle again
    // (the regenerated graph's rebuild and painting included).
    int unpainted = 0;
    const auto shown = [&] {
        if (settle(view->viewport()) == 0)
            ++unpainted;
    };
    const auto idle = [] { settle(); };
    // Far from every curve and from each other, so each click appends to the active curve.
    const qsizetype before = model->curves()[4].points.size();
    int clicks = 0;
    const double click = medianMs(
        scale.repeat(41),
        [&] {
            const QPointF spot(picture.width() * (0.05 + 0.022 * (clicks++ % 42)), picture.height() * 0.05);
            const QPoint at = view->mapFromScene(spot);
            deliver(view->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
            deliver(view->viewport(), QEvent::MouseButtonRelease, at, Qt::NoButton);
            shown();
        },
        idle);
    qInfo("clicks added %d points", int(model->curves()[4].points.size() - before));
    if (model->curves()[4].points.size() == before)
        qWarning("the clicks added no point: the click scenario measured nothing");

    // A plain press picks a point of the active curve only.
    model->setActiveCurveIndex(2);
    settle();
    const CurvePoint &target = model->curves()[2].points[model->curves()[2].points.size() / 2];
    const QPoint grab = view->mapFromScene(target.pixel);
    deliver(view->viewport(), QEvent::MouseButtonPress, grab, Qt::LeftButton);
    int step = 0;
    const double drag = medianMs(
        scale.repeat(41),
        [&] {
            deliver(view->viewport(), QEvent::MouseMove, grab + QPoint(0, (++step % 2) ? 3 : -3),
                    Qt::LeftButton);
            shown();
        },
        idle);
    deliver(view->viewport(), QEvent::MouseButtonRelease, grab, Qt::NoButton);
    if (unpainted > 0)
        qWarning("%d clicks or drag steps were never painted", unpainted);
    if (graphOpen)
        return {{QStringLiteral("2. click with the regenerated graph open, painted"), click, -1,
                 QStringLiteral("50 ms")},
                {QStringLiteral("2. drag step with the regenerated graph open, painted"), drag, -1,
                 QStringLiteral("50 ms")}};
    return {{QStringLiteral("1. click adds a point, painted (24 MP, 5 x 2000 points)"), click, -1,
             QStringLiteral("16 ms")},
            {QStringLiteral("1. drag step moves a point, painted"), drag, -1, QStringLiteral("16 ms")}};
}

QList<Row> clicks(const Scale &scale)
{
    return clickLatency(scale, false);
}

// The baseline: the same rows through the SQLite C library, one transaction.
double sqliteBaseline(const Scale &scale, const ProjectModel &model, const QByteArray &json)
{
    const QByteArray path = temporaryPath(QStringLiteral("baseline.sqlite")).toUtf8();
    return medianMs(
        scale.repeat(5),
        [&] {
            sqlite3 *db = nullptr;
            sqlite3_open(path.constData(), &db);
            sqlite3_exec(
                db,
                "CREATE TABLE projects (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL UNIQUE,"
                "project_json TEXT NOT NULL);"
                "CREATE TABLE curves (id INTEGER PRIMARY KEY AUTOINCREMENT,project_id INTEGER NOT NULL,"
                "curve_index INTEGER NOT NULL,name TEXT NOT NULL);"
                "CREATE TABLE points (id INTEGER PRIMARY KEY AUTOINCREMENT,curve_id INTEGER NOT NULL,"
                "point_index INTEGER NOT NULL,x_pixel REAL,y_pixel REAL,x_real REAL,y_real REAL,"
                "curve_name TEXT);BEGIN",
                nullptr, nullptr, nullptr);
            sqlite3_stmt *project = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO projects(name, project_json) VALUES(?, ?)", -1, &project,
                               nullptr);
            sqlite3_bind_text(project, 1, "bench", -1, SQLITE_STATIC);
            sqlite3_bind_text(project, 2, json.constData(), int(json.size()), SQLITE_STATIC);
            sqlite3_step(project);
            sqlite3_finalize(project);
            sqlite3_stmt *curve = nullptr;
            sqlite3_stmt *point = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO curves(project_id, curve_index, name) VALUES(1, ?, ?)", -1,
                               &curve, nullptr);
            sqlite3_prepare_v2(db,
                               "INSERT INTO points(curve_id, point_index, x_pixel, y_pixel, x_real, y_real, "
                               "curve_name) VALUES(?, ?, ?, ?, ?, ?, ?)",
                               -1, &point, nullptr);
            for (int c = 0; c < model.curves().size(); ++c) {
                const Curve &source = model.curves()[c];
                const QByteArray name = source.name.toUtf8();
                sqlite3_bind_int(curve, 1, c);
                sqlite3_bind_text(curve, 2, name.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_step(curve);
                sqlite3_reset(curve);
                const sqlite3_int64 curveId = sqlite3_last_insert_rowid(db);
                for (int p = 0; p < source.points.size(); ++p) {
                    const CurvePoint &row = source.points[p];
                    sqlite3_bind_int64(point, 1, curveId);
                    sqlite3_bind_int(point, 2, p);
                    sqlite3_bind_double(point, 3, row.pixel.x());
                    sqlite3_bind_double(point, 4, row.pixel.y());
                    sqlite3_bind_double(point, 5, row.real.x());
                    sqlite3_bind_double(point, 6, row.real.y());
                    sqlite3_bind_text(point, 7, name.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_step(point);
                    sqlite3_reset(point);
                }
            }
            sqlite3_finalize(curve);
            sqlite3_finalize(point);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        },
        [&] { QFile::remove(QString::fromUtf8(path)); });
}

// The regenerated graph as its user waits for it: a rebuild until the view
// shows it, a click in the main window while it is open, a JPG export.
QList<Row> regeneratedGraph(const Scale &scale)
{
    ProjectModel model;
    fillProject(model, 20, scale.size(500, 20), QSize(2000, 1500));
    RegeneratedGraphWindow window(&model);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("window not exposed");
    QWidget *viewport = window.view()->viewport();
    settle(viewport); // the first rebuild runs one turn after opening
    // Painted too: the user waits for the plot on the screen.
    int unpainted = 0;
    const double rebuild = medianMs(
        scale.repeat(21),
        [&] {
            window.rebuild();
            if (settle(viewport) == 0)
                ++unpainted;
        },
        [] { settle(); });
    // What a change of the points costs: the model's signal, the rebuild and the paint.
    int step = 0;
    const double moved = medianMs(
        scale.repeat(21),
        [&] {
            const int middle = int(model.curves()[3].points.size() / 2);
            model.movePoints(3, {middle}, QPointF(0, (++step % 2) ? 3 : -3));
            if (settle(viewport) == 0)
                ++unpainted;
        },
        [] { settle(); });
    if (unpainted > 0)
        qWarning("%d rebuilds were never painted", unpainted);

    // The export of 100,000 points, without a window, as the batch mode makes it.
    ProjectModel large;
    fillProject(large, 10, scale.size(10000, 100), QSize(4000, 3000));
    const QString path = temporaryPath(QStringLiteral("graph.jpg"));
    QString error;
    int failures = 0;
    const double jpg = medianMs(scale.repeat(5), [&] {
        if (!exportGraphFile(large, initialGraphSettings(large), GraphFileFormat::Jpg, path, &error))
            ++failures;
    });
    Row jpgRow{QStringLiteral("2. regenerated graph JPG export (100,000 points, 300 DPI)"), jpg, -1,
               QStringLiteral("2000 ms")};
    if (failures > 0)
        jpgRow.failure = error;
    const QList<Row> rows = {{QStringLiteral("2. regenerated graph rebuild, painted (20 x 500 points)"),
                              rebuild, -1, QStringLiteral("50 ms")},
                             {QStringLiteral("2. a point moved, graph rebuilt and painted (20 x 500)"), moved,
                              -1, QStringLiteral("50 ms")},
                             jpgRow};
    return rows + clickLatency(scale, true);
}

QList<Row> database(const Scale &scale)
{
    ProjectModel model;
    fillProject(model, 10, scale.size(10000, 100), QSize(4000, 3000));
    const QString path = temporaryPath(QStringLiteral("bench.pmdb"));
    const double store = medianMs(
        scale.repeat(5), [&] { ProjectDatabase::storeProject(path, model, QStringLiteral("bench")); },
        [&] { QFile::remove(path); });
    QByteArray json;
    const double document = medianMs(scale.repeat(5), [&] { json = model.compactProjectJson(); });
    const double baseline = sqliteBaseline(scale, model, json);
    ProjectModel loaded;
    const double load = medianMs(
        scale.repeat(5), [&] { ProjectDatabase::loadProject(path, QStringLiteral("bench"), loaded); });
    return {{QStringLiteral("3. database store (100,000 points)"), store, baseline,
             QStringLiteral("1.5 x baseline")},
            {QStringLiteral("3. of which the project's JSON text"), document, -1, QStringLiteral("-")},
            {QStringLiteral("3. database load (100,000 points)"), load, -1, QStringLiteral("300 ms")}};
}

QList<Row> csv(const Scale &scale)
{
    const int points = scale.size(1000000, 1000);
    QList<Curve> curves;
    for (int c = 0; c < 10; ++c) {
        Curve curve = makeCurve(QStringLiteral("Curve %1").arg(c + 1));
        for (int p = 0; p < points / 10; ++p)
            curve.points.append(CurvePoint{QPointF(p * 0.37 + c, 1000 - p * 0.011),
                                           QPointF(p / 7.0, c + p / 13.0), curve.name});
        curves.append(curve);
    }
    const QString path = temporaryPath(QStringLiteral("bench.csv"));
    const double ours = medianMs(scale.repeat(5), [&] { writeCurvesCsv(path, curves); });
    const QByteArray basePath = temporaryPath(QStringLiteral("baseline.csv")).toUtf8();
    const double baseline = medianMs(scale.repeat(5), [&] {
        FILE *file = std::fopen(basePath.constData(), "wb");
        char line[512];
        std::fputs("curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n", file);
        for (const Curve &curve : curves) {
            const QByteArray name = curve.name.toUtf8();
            for (const CurvePoint &point : curve.points) {
                const int length = std::snprintf(
                    line, sizeof line, "\"%s\",\"\",\"\",%.15g,%.15g,%.15g,%.15g\n", name.constData(),
                    point.real.x(), point.real.y(), point.pixel.x(), point.pixel.y());
                std::fwrite(line, 1, size_t(length), file);
            }
        }
        std::fclose(file);
    });
    return {{QStringLiteral("4. CSV of 1,000,000 points"), ours, baseline, QStringLiteral("2 x baseline")}};
}

QList<Row> projectFile(const Scale &scale)
{
    ProjectModel model;
    fillProject(model, 10, scale.size(10000, 100), QSize(4000, 3000));
    const QString path = temporaryPath(QStringLiteral("bench.pmproj"));
    QString error;
    const double save = medianMs(scale.repeat(5), [&] { saveProjectFile(path, model, &error); });
    ProjectModel opened;
    const double open = medianMs(scale.repeat(5), [&] { openProjectFile(path, opened, &error); });
    return {{QStringLiteral("5. project file save (100,000 points)"), save, -1, QStringLiteral("500 ms")},
            {QStringLiteral("5. project file open (100,000 points)"), open, -1, QStringLiteral("500 ms")}};
}

QList<Row> startUp(const Scale &scale)
{
    // The quiet update check must not leave this machine.
    QSettings config(temporaryPath(QStringLiteral("config/Plotmason/Plotmason.conf")), QSettings::IniFormat);
    config.setValue(QStringLiteral("update/serviceUrl"), QStringLiteral("http://127.0.0.1:9/"));
    config.sync();
    int failures = 0;
    const double time = medianMs(scale.repeat(7), [&] {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PLOTMASON_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), temporaryPath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PLOTMASON_EXECUTABLE), {});
        // A program that did not start, crashed or failed measured nothing.
        if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit ||
            program.exitCode() != 0)
            ++failures;
    });
    Row row{QStringLiteral("6. start-up to the main window shown"), time, -1, QStringLiteral("400 ms")};
    if (failures > 0)
        row.failure = QStringLiteral("%1 start-ups failed").arg(failures);
    return {row};
}

// The children run in a process of their own so that the peak belongs to them alone.
int windowPeakChild(const QString &picture)
{
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("window not exposed");
    if (!window.model()->loadSource(picture))
        return 1;
    settle(window.graphView()->viewport());
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

int openPeakChild(const QString &project)
{
    ProjectModel model;
    QString error;
    if (!project.isEmpty() && !openProjectFile(project, model, &error))
        return 1;
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

Row peakRow(const QString &scenario, double kib, const QString &goal)
{
    Row row{scenario, kib / 1024.0, -1, goal, QStringLiteral("MiB")};
    if (kib < 0)
        row.failure = QStringLiteral("the measuring process failed");
    return row;
}

QList<Row> memory(const Scale &scale)
{
    const QSize size = scale.tiny ? QSize(600, 400) : QSize(6000, 4000);
    const QString picture = temporaryPath(QStringLiteral("scan.png"));
    scanLikePicture(size).save(picture);
    const double pictureMiB = double(size.width()) * size.height() * 4 / (1024 * 1024);
    const QList<Row> window = {peakRow(QStringLiteral("7. peak memory, 24 MP picture in the window"),
                                       childPeakKiB({QStringLiteral("--window-peak-child"), picture}),
                                       QStringLiteral("%1 MiB").arg(50 + 2.5 * pictureMiB, 0, 'f', 0))};

    // What one more point costs when a project opens, beyond an empty model.
    const int points = scale.size(1000000, 10000);
    const QString project = temporaryPath(QStringLiteral("many.pmproj"));
    ProjectModel model;
    fillProject(model, 10, points / 10, QSize(4000, 3000));
    saveProjectFile(project, model, nullptr);
    const double empty = childPeakKiB({QStringLiteral("--open-peak-child"), QString()});
    const double full = childPeakKiB({QStringLiteral("--open-peak-child"), project});
    Row perPoint{QStringLiteral("7. memory per point, opening 1,000,000 points"),
                 (full - empty) * 1024.0 / points, -1, QStringLiteral("200 B"), QStringLiteral("B")};
    if (empty < 0 || full < 0)
        perPoint.failure = QStringLiteral("the measuring process failed");
    return window + QList<Row>{perPoint};
}

// The picture goes into the database on every save; the model's picture comes
// from a file as it does for a user.
QList<Row> pictureSave(const Scale &scale)
{
    const QSize size = scale.tiny ? QSize(600, 400) : QSize(6000, 4000);
    const QImage scan = scanLikePicture(size);
    const QString jpg = temporaryPath(QStringLiteral("scan.jpg"));
    const QString png = temporaryPath(QStringLiteral("scan.png"));
    scan.save(jpg, "JPG", 90);
    scan.save(png, "PNG");
    ProjectModel model;
    fillProject(model, 5, 200, size);
    const QString path = temporaryPath(QStringLiteral("pictures.pmdb"));
    const auto save = [&] { ProjectDatabase::storeProject(path, model, QStringLiteral("scan")); };
    // Reading the picture again gives the model a picture it has not saved yet.
    const double firstJpg = medianMs(scale.repeat(3), save, [&] { model.loadSource(jpg); });
    const double secondJpg = medianMs(scale.repeat(3), save);
    const double firstPng = medianMs(scale.repeat(3), save, [&] { model.loadSource(png); });
    const double secondPng = medianMs(scale.repeat(3), save);
    QByteArray encoded;
    const double encode = medianMs(scale.repeat(3), [&] {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        model.sourceImage().save(&buffer, "PNG");
    });
    return {{QStringLiteral("8. database save, 24 MP JPG picture, first"), firstJpg, encode,
             QStringLiteral("1 x one PNG encode")},
            {QStringLiteral("8. database save, 24 MP JPG picture, again"), secondJpg, -1,
             QStringLiteral("1000 ms")},
            {QStringLiteral("8. database save, 24 MP PNG picture, first"), firstPng, encode,
             QStringLiteral("1 x one PNG encode")},
            {QStringLiteral("8. database save, 24 MP PNG picture, again"), secondPng, -1,
             QStringLiteral("1000 ms")}};
}

void printTable(const QList<Row> &rows)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1 | %2 | %3 | %4 | %5\n")
               .arg(QStringLiteral("scenario"), -48)
               .arg(QStringLiteral("median"), 12)
               .arg(QStringLiteral("baseline"), 12)
               .arg(QStringLiteral("ratio"), 6)
               .arg(QStringLiteral("goal"));
    for (const Row &row : rows) {
        if (!row.failure.isEmpty()) {
            out << QStringLiteral("%1 | failed: %2\n").arg(row.scenario, -48).arg(row.failure);
            continue;
        }
        const QString baseline = row.baselineMs < 0
                                     ? QStringLiteral("-")
                                     : QStringLiteral("%1 %2").arg(row.baselineMs, 0, 'f', 1).arg(row.unit);
        const QString ratio =
            row.baselineMs > 0 ? QString::number(row.medianMs / row.baselineMs, 'f', 2) : QStringLiteral("-");
        out << QStringLiteral("%1 | %2 | %3 | %4 | %5\n")
                   .arg(row.scenario, -48)
                   .arg(QStringLiteral("%1 %2").arg(row.medianMs, 0, 'f', 1).arg(row.unit), 12)
                   .arg(baseline, 12)
                   .arg(ratio, 6)
                   .arg(row.goal);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationName(QStringLiteral("PlotmasonBench"));
    const QStringList arguments = app.arguments();
    Scale scale;
    scale.tiny = arguments.contains(QStringLiteral("--tiny"));
    if (arguments.size() > 2 && arguments[1] == QLatin1String("--batch-child"))
        return bench::batchChild(arguments.mid(2));
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--window-peak-child"))
        return windowPeakChild(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--open-peak-child"))
        return openPeakChild(arguments[2]);
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--undo-peak-child"))
        return bench::undoPeakChild(arguments[2] == QLatin1String("tiny"),
                                    arguments[3] == QLatin1String("edits"));

    const std::pair<const char *, QList<Row> (*)(const Scale &)> scenarios[] = {
        {"click", clicks},        {"graph", regeneratedGraph},
        {"database", database},   {"csv", csv},
        {"project", projectFile}, {"startup", startUp},
        {"memory", memory},       {"extract", extraction},
        {"pdf", pdfDrawing},      {"picture", pictureSave},
        {"undo", undoHistory},    {"axes", axisFinding},
        {"batch", batchRun},
    };
    const int only = arguments.indexOf(QStringLiteral("--scenario"));
    const QString chosen = only >= 0 && only + 1 < arguments.size() ? arguments[only + 1] : QString();
    QList<Row> rows;
    for (const auto &[name, scenario] : scenarios) {
        if (chosen.isEmpty() || chosen == QLatin1String(name))
            rows += scenario(scale);
    }
    printTable(rows);
    return 0;
}
