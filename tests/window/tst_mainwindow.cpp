#include "core/io/projectdatabase.h"
#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "i18n/localization.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"
#include "tests/window/mainwindowfixture.h"
#include "window/aboutdialog.h"
#include "window/curvesdock.h"
#include "window/mainwindow.h"
#include "window/recentprojects.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFormLayout>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QThread>
#include <QUndoStack>

using testsupport::ScriptedPrompts;

namespace {

QString databasePath(const QString &name)
{
    return QDir::cleanPath(testsupport::sandbox().filePath(name));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        // The program information asks the update service: keep it on this machine.
        QSettings().setValue("update/serviceUrl", "http://127.0.0.1:9/");
        i18n::Localization::instance().setLanguage(i18n::English);
    }

    void startsReady()
    {
        Window w;
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Plotmason[*]"));
        QCOMPARE(w.status(), QStringLiteral("Import an image or PDF to begin."));
        QVERIFY(!w.action("saveAction")->isEnabled());
        QVERIFY(w.action("pointModeAction")->isChecked());
        QCOMPARE(w.curves()->rowCount(), 1);
        QCOMPARE(w.curves()->item(0, 0)->text(), QStringLiteral("Curve 1"));
        QCOMPARE(w.curves()->item(0, 0)->background().color(), QColor(QStringLiteral("#fff8c4")));
    }

    // The whole typical use, through the window's own commands and real clicks.
    void typicalUse()
    {
        const QString database = databasePath(QStringLiteral("lab.pmdb"));
        {
            Window w;
            w.importPicture(QStringLiteral("pump chart.png"));
            QCOMPARE(w.status(), QStringLiteral("Calibration required: calibrate the X axis first."));
            QCOMPARE(w.view()->interactionMode(), int(GraphView::CalibrateXMode));
            w.calibrate();
            QCOMPARE(w.prompts.kinds(), (QStringList{"open", "axisValues", "axisValues"}));
            QCOMPARE(w.prompts.asked()[1].text, QStringLiteral("X"));
            QCOMPARE(w.prompts.asked()[2].text, QStringLiteral("Y"));
            QVERIFY(w.model()->calibration().isComplete());
            QCOMPARE(w.status(), QStringLiteral("Calibration complete. Point mode is active."));
            QCOMPARE(w.view()->interactionMode(), int(GraphView::PointMode));

            w.click(QPointF(300, 250));
            w.click(QPointF(420, 160));
            QCOMPARE(w.points()->rowCount(), 2);
            QCOMPARE(w.points()->item(0, 1)->text(), QStringLiteral("5"));
            QCOMPARE(w.points()->item(0, 3)->text(), QStringLiteral("300.0, 250.0"));

            w.curves()->item(0, 0)->setText(QStringLiteral("Head"));
            QCOMPARE(w.model()->curves()[0].name, QStringLiteral("Head"));
            w.points()->item(1, 2)->setText(QStringLiteral("18"));
            QCOMPARE(w.model()->curves()[0].points[1].real, QPointF(8, 18));
            QCOMPARE(w.model()->curves()[0].points[1].pixel, QPointF(420, 130));

            w.prompts.answer(database);
            w.prompts.answer(QStringLiteral("  Pump test "));
            w.trigger("saveDatabaseAction");
            QCOMPARE(w.prompts.last().title, QStringLiteral("Project name"));
            QCOMPARE(w.prompts.lastOffer().toString(), QStringLiteral("pump chart"));
            QCOMPARE(w.status(), QStringLiteral("Project saved to database."));
            QVERIFY(w.window.isLinkedToDatabase());
            QCOMPARE(w.window.databaseProjectName(), QStringLiteral("Pump test"));
            QVERIFY(w.action("saveAction")->isEnabled());
            QVERIFY(!w.window.hasUnsavedChanges());
            w.prompts.clear();
            w.trigger("closeAction");
            QVERIFY(w.prompts.asked().isEmpty()); // nothing unsaved
            QCOMPARE(w.status(), QStringLiteral("Project closed."));
            QVERIFY(w.model()->sourceImage().isNull());
        }

        Window w;
        const QStringList entries = w.recentEntries();
        QCOMPARE(entries, (QStringList{"&1 Pump test (lab.pmdb)", "Clear recent files"}));
        w.recentMenu()->actions().first()->trigger();
        QCOMPARE(w.model()->curves()[0].name, QStringLiteral("Head"));
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QVERIFY(w.window.isLinkedToDatabase());
        QCOMPARE(w.window.databasePath(), database);

        const QString csv = testsupport::sandbox().filePath(QStringLiteral("pump"));
        w.prompts.answer(csv);
        w.trigger("exportCsvAction");
        QCOMPARE(w.prompts.last().title, QStringLiteral("Export CSV"));
        QCOMPARE(readAll(csv + QStringLiteral(".csv")),
                 QByteArray("curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n"
                            "\"Head\",\"\",\"\",5,10,300,250\n"
                            "\"Head\",\"\",\"\",8,18,420,130\n"));
    }

    void workflowStates_data()
    {
        QTest::addColumn<bool>("source");
        QTest::addColumn<bool>("xAxis");
        QTest::addColumn<bool>("yAxis");
        QTest::addColumn<QString>("checkedMode");
        QTest::addColumn<QString>("status");
        QTest::newRow("no source") << false << false << false << "pointModeAction"
                                   << "Import an image or PDF to begin.";
        QTest::newRow("source only") << true << false << false << "calibrateXAction"
                                     << "Calibration required: calibrate the X axis first.";
        QTest::newRow("X only") << true << true << false << "calibrateYAction"
                                << "Calibration required: calibrate the Y axis.";
        QTest::newRow("Y only") << true << false << true << "calibrateXAction"
                                << "Calibration required: calibrate the X axis first.";
        QTest::newRow("both") << true << true << true << "pointModeAction"
                              << "Calibration complete. Point mode is active.";
    }
    void workflowStates()
    {
        QFETCH(bool, source);
        QFETCH(bool, xAxis);
        QFETCH(bool, yAxis);
        QFETCH(QString, checkedMode);
        QFETCH(QString, status);
        Window w;
        if (source)
            w.model()->setSourceImage(testsupport::chartImage(), QStringLiteral("/x.png"));
        if (xAxis)
            w.model()->setAxisX(QLineF(100, 400, 500, 400), 0, 10);
        if (yAxis)
            w.model()->setAxisY(QLineF(100, 400, 100, 100), 0, 20);
        QCOMPARE(w.status(), status);
        QVERIFY(w.action(checkedMode.toLatin1())->isChecked());
        QCOMPARE(w.action("calibrateXAction")->isEnabled(), source);
        QCOMPARE(w.action("calibrateYAction")->isEnabled(), source);
        const bool complete = xAxis && yAxis;
        for (const char *name : {"pointModeAction", "pickPdfAction", "exportCsvAction", "exportSvgAction",
                                 "exportExcelAction", "regeneratedAction", "undoAction", "deletePointAction"})
            QCOMPARE(w.action(name)->isEnabled(), complete);
        QCOMPARE(w.curves()->isEnabled(), complete);
        QCOMPARE(w.window.curvesDock()->addButton()->isEnabled(), complete);
        // The step marks turn green when their step is done.
        const QImage xMark = w.action("calibrateXAction")->icon().pixmap(18, 18).toImage();
        QCOMPARE(QColor(xMark.pixel(9, 9)),
                 QColor(xAxis ? QStringLiteral("#2e7d32") : QStringLiteral("#8a8a8a")));
    }

    void refusalsWithoutCalibration_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        const QString exportText =
            QStringLiteral("Complete X and Y axis calibration before adding points or exporting.");
        QTest::newRow("csv") << "exportCsvAction" << exportText;
        QTest::newRow("svg") << "exportSvgAction" << exportText;
        QTest::newRow("excel") << "exportExcelAction" << exportText;
        QTest::newRow("regenerated")
            << "regeneratedAction"
            << "Complete X and Y axis calibration before using the regenerated graph.";
    }
    void refusalsWithoutCalibration()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        Window w;
        w.model()->setAxisX(QLineF(100, 400, 500, 400), 0, 10);
        // The menu action is disabled, but the command itself must refuse as well.
        QMetaObject::invokeMethod(&w.window, action == "exportCsvAction"     ? "exportCsv"
                                             : action == "exportSvgAction"   ? "exportSvg"
                                             : action == "exportExcelAction" ? "exportExcel"
                                                                             : "openRegeneratedGraph");
        QCOMPARE(w.prompts.kinds(), QStringList{"information"});
        QCOMPARE(w.prompts.last().title, QStringLiteral("Calibration"));
        QCOMPARE(w.prompts.last().text, text);
    }

    void exportSuffixes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("csv added") << "exportCsv"
                                   << "data"
                                   << "data.csv";
        QTest::newRow("csv kept in capitals") << "exportCsv"
                                              << "DATA.CSV"
                                              << "DATA.CSV";
        QTest::newRow("other suffix is the user's choice") << "exportCsv"
                                                           << "notes.txt"
                                                           << "notes.txt";
        QTest::newRow("svg added") << "exportSvg"
                                   << "curves"
                                   << "curves.svg";
        QTest::newRow("svg kept") << "exportSvg"
                                  << "curves.Svg"
                                  << "curves.Svg";
        QTest::newRow("excel added") << "exportExcel"
                                     << "book"
                                     << "book.xlsx";
        QTest::newRow("excel kept") << "exportExcel"
                                    << "book.XLSX"
                                    << "book.XLSX";
    }
    void exportSuffixes()
    {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        w.model()->addPoint(QPointF(300, 200));
        QDir folder(testsupport::sandbox().filePath(
            QStringLiteral("suffix-%1").arg(QTest::currentDataTag()).replace(' ', '-')));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        if (command == QLatin1String("exportExcel"))
            w.prompts.answer(50);
        w.prompts.answer(folder.filePath(typed));
        QVERIFY(QMetaObject::invokeMethod(&w.window, command.toLatin1()));
        QCOMPARE(folder.entryList(QDir::Files), QStringList{written});
        QVERIFY(!w.prompts.kinds().contains(QStringLiteral("critical")));
    }

    void cancelledDialogsChangeNothing()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        const QStringList before = QDir(testsupport::sandbox().path()).entryList();
        w.trigger("importAction");
        w.trigger("exportCsvAction");
        w.trigger("exportExcelAction");
        w.trigger("saveDatabaseAction");
        w.trigger("openDatabaseAction");
        // Over a calibrated project, a new picture first asks about the work on screen.
        QCOMPARE(w.prompts.kinds(), (QStringList{"question", "save", "integer", "save", "question"}));
        QCOMPARE(QDir(testsupport::sandbox().path()).entryList(), before);
        QVERIFY(!w.window.isLinkedToDatabase());
    }

    void saveBeforeLinkDoesNothing()
    {
        Window w;
        w.trigger("saveAction"); // disabled: nothing happens
        w.window.saveProject();
        QVERIFY(w.prompts.asked().isEmpty());
        QCOMPARE(w.status(), QStringLiteral("Import an image or PDF to begin."));
    }

    void adoptingAnEmptyDatabase()
    {
        const QString path = databasePath(QStringLiteral("empty.pmdb"));
        Window w;
        w.prompts.answer(int(QMessageBox::Discard)); // nothing to save yet, but answer anyway
        w.prompts.clear();
        w.prompts.answer(path);
        w.prompts.answer(int(QMessageBox::Yes));
        w.prompts.answer(QStringLiteral(" Adopted "));
        w.trigger("openDatabaseAction");
        QCOMPARE(w.prompts.kinds(), (QStringList{"open", "question", "text"}));
        QCOMPARE(
            w.prompts.asked()[1].text,
            QStringLiteral("No Plotmason projects found in this database. Use it for the current project?"));
        QCOMPARE(w.prompts.lastOffer().toString(), QStringLiteral("Project"));
        QVERIFY(w.window.isLinkedToDatabase());
        QCOMPARE(w.window.databaseProjectName(), QStringLiteral("Adopted"));
        QCOMPARE(w.status(), QStringLiteral("Database ready for the current project."));
        QVERIFY(ProjectDatabase::listProjects(path).isEmpty()); // linked, nothing written
        w.window.saveProject();
        QCOMPARE(ProjectDatabase::listProjects(path), QStringList{"Adopted"});
    }

    void openingAProjectFromTheList()
    {
        const QString path = databasePath(QStringLiteral("two.pmdb"));
        ProjectModel stored;
        testsupport::calibrate(stored);
        stored.addPoint(QPointF(1, 2), QStringLiteral("First"));
        QVERIFY(ProjectDatabase::storeProject(path, stored, QStringLiteral("Alpha")));
        QThread::msleep(1100); // the listing orders by save time in whole seconds
        stored.addPoint(QPointF(3, 4), QStringLiteral("Second"));
        QVERIFY(ProjectDatabase::storeProject(path, stored, QStringLiteral("Beta")));
        Window w;
        w.prompts.answer(path);
        w.prompts.answer(QStringLiteral("Alpha"));
        w.trigger("openDatabaseAction");
        QCOMPARE(w.prompts.last().kind, QStringLiteral("item"));
        QCOMPARE(w.prompts.lastOffer().toStringList(), (QStringList{"Beta", "Alpha"}));
        QCOMPARE(w.model()->curves().size(), 1);
        QCOMPARE(w.window.databaseProjectName(), QStringLiteral("Alpha"));

        // A file that is no database: a warning with the driver's text.
        const QString text = testsupport::sandbox().filePath(QStringLiteral("notes.pmdb"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        w.prompts.answer(text);
        w.trigger("openDatabaseAction");
        QCOMPARE(w.prompts.last().kind, QStringLiteral("warning"));
        QVERIFY(!w.prompts.last().text.isEmpty());
        QCOMPARE(w.window.databaseProjectName(), QStringLiteral("Alpha"));
    }

    void recentFilesRules()
    {
        const QString a = databasePath(QStringLiteral("a.pmdb"));
        for (int i = 0; i < 6; ++i) {
            QFile file(databasePath(QStringLiteral("db%1.pmdb").arg(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFile(a).open(QIODevice::WriteOnly);
        for (int i = 0; i < 6; ++i)
            addRecentProject(databasePath(QStringLiteral("db%1.pmdb").arg(i)), QStringLiteral("P%1").arg(i));
        QList<RecentProject> recent = recentProjects();
        QCOMPARE(recent.size(), 5);
        QCOMPARE(recent.first().projectName, QStringLiteral("P5"));
        QCOMPARE(recent.last().projectName, QStringLiteral("P1"));

        // Same project again, name and file name in other letter case (one file on
        // Windows; here a second file must exist for the entry to be usable).
        QFile(databasePath(QStringLiteral("DB3.PMDB"))).open(QIODevice::WriteOnly);
        addRecentProject(databasePath(QStringLiteral("DB3.PMDB")), QStringLiteral("p3"));
        recent = recentProjects();
        QCOMPARE(recent.size(), 5);
        QCOMPARE(recent.first().projectName, QStringLiteral("p3"));
        QCOMPARE(std::count_if(recent.cbegin(), recent.cend(),
                               [](const RecentProject &p) {
                                   return p.projectName.compare("P3", Qt::CaseInsensitive) == 0;
                               }),
                 1);

        // A deleted database disappears, also from the stored list; broken entries go too.
        QVERIFY(QFile::remove(databasePath(QStringLiteral("db5.pmdb"))));
        QSettings settings;
        QStringList stored = settings.value("projects/recentFiles").toStringList();
        stored.append(QStringLiteral("not json"));
        stored.append(QStringLiteral(R"({"type":"file","databasePath":"%1","projectName":"x"})").arg(a));
        stored.append(QStringLiteral(R"({"type":"database","databasePath":"%1","projectName":"  "})").arg(a));
        settings.setValue("projects/recentFiles", stored);
        Window w;
        const QStringList entries = w.recentEntries();
        QCOMPARE(entries.size(), 4 + 1);
        QVERIFY(!entries.join(' ').contains(QLatin1String("P5")));
        QCOMPARE(QSettings().value("projects/recentFiles").toStringList().size(), 4);
        QCOMPARE(QSettings().value("projects/recentFiles").toStringList().first(),
                 QStringLiteral(R"({"databasePath":"%1","projectName":"p3","type":"database"})")
                     .arg(databasePath("DB3.PMDB")));

        w.recentMenu()->actions().last()->trigger(); // "Clear recent files"
        QVERIFY(!QSettings().contains("projects/recentFiles"));
        QCOMPARE(w.recentEntries(), QStringList{"No recent files"});
        QVERIFY(!w.recentMenu()->actions().first()->isEnabled());
    }

    // Axes picked in the view and the values typed at their marks: 0 at both
    // first marks of linear axes re-anchors at the crossing, anything else is
    // stored exactly as marked and typed.
    void calibrationPrompt_data()
    {
        QTest::addColumn<QLineF>("xLine");
        QTest::addColumn<QVariantList>("xTyped");
        QTest::addColumn<QLineF>("yLine");
        QTest::addColumn<QVariantList>("yTyped");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QLineF>("storedX");
        QTest::addColumn<QLineF>("storedY");
        QTest::addColumn<QPointF>("realAt300x200");
        const QVariantList x0to10{"0", "10", false};
        const QVariantList y0to20{"0", "20", false};
        QTest::newRow("crossing inside both, re-anchored")
            << QLineF(50, 400, 500, 400) << x0to10 << QLineF(100, 450, 100, 100) << y0to20 << QString()
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100) << QPointF(5, 40.0 / 3);
        QTest::newRow("L corner at the ends")
            << QLineF(100, 400, 500, 400) << x0to10 << QLineF(100, 400, 100, 100) << y0to20 << QString()
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100) << QPointF(5, 40.0 / 3);
        QTest::newRow("clicked backwards, values typed backwards")
            << QLineF(500, 400, 100, 400) << QVariantList{"10", "0", false} << QLineF(100, 100, 100, 400)
            << QVariantList{"20", "0", false} << QString() << QLineF(500, 400, 100, 400)
            << QLineF(100, 100, 100, 400) << QPointF(5, 40.0 / 3);
        QTest::newRow("first marks far from the origin keep their 0")
            << QLineF(500, 400, 100, 400) << x0to10 << QLineF(100, 100, 100, 400) << y0to20 << QString()
            << QLineF(500, 400, 100, 400) << QLineF(100, 100, 100, 400) << QPointF(5, 20.0 / 3);
        QTest::newRow("axes that do not touch")
            << QLineF(120, 400, 500, 400) << x0to10 << QLineF(100, 390, 100, 100) << y0to20
            << "The X and Y axis lines must intersect at the graph origin. Extend or recalibrate the axis "
               "that does not reach zero."
            << QLineF(120, 400, 500, 400) << QLineF(100, 390, 100, 100)
            << QPointF(10 * 180.0 / 380, 20 * 190.0 / 290);
        QTest::newRow("origin at an endpoint")
            << QLineF(100, 400, 500, 400) << x0to10 << QLineF(100, 400.5, 100, 400.5 - 0.9) << y0to20
            << "The axis origin is too close to an axis endpoint. Select a longer calibration segment."
            << QLineF(100, 400, 500, 400) << QLineF(100, 400.5, 100, 399.6) << QPointF(5, 20 * 200.5 / 0.9);
        QTest::newRow("years and a range from 20, as typed")
            << QLineF(120, 400, 500, 400) << QVariantList{"1970", "2015", false} << QLineF(100, 390, 100, 100)
            << QVariantList{"20", "100", false} << QString() << QLineF(120, 400, 500, 400)
            << QLineF(100, 390, 100, 100) << QPointF(1970 + 45 * 180.0 / 380, 20 + 80 * 190.0 / 290);
        QTest::newRow("log Y from 1 to 1000")
            << QLineF(100, 400, 500, 400) << x0to10 << QLineF(100, 400, 100, 100)
            << QVariantList{"1", "1000", true} << QString() << QLineF(100, 400, 500, 400)
            << QLineF(100, 400, 100, 100) << QPointF(5, 100);
    }
    void calibrationPrompt()
    {
        QFETCH(QLineF, xLine);
        QFETCH(QVariantList, xTyped);
        QFETCH(QLineF, yLine);
        QFETCH(QVariantList, yTyped);
        QFETCH(QString, warning);
        QFETCH(QLineF, storedX);
        QFETCH(QLineF, storedY);
        QFETCH(QPointF, realAt300x200);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(xTyped);
        w.window.configureCalibration(true, xLine);
        w.prompts.answer(yTyped);
        w.window.configureCalibration(false, yLine);
        const Calibration &calibration = w.model()->calibration();
        QCOMPARE(w.prompts.last().kind,
                 warning.isEmpty() ? QStringLiteral("axisValues") : QStringLiteral("warning"));
        if (!warning.isEmpty())
            QCOMPARE(w.prompts.last().text, warning);
        QCOMPARE(calibration.axisXLine, storedX);
        QCOMPARE(calibration.axisYLine, storedY);
        const QPointF real = calibration.pixelToReal(QPointF(300, 200));
        QVERIFY2(testsupport::fuzzyEqual(real.x(), realAt300x200.x()) &&
                     testsupport::fuzzyEqual(real.y(), realAt300x200.y()),
                 qPrintable(QStringLiteral("%1, %2").arg(real.x()).arg(real.y())));
        // Either way both axes are stored and the workflow moves on to points.
        QCOMPARE(w.view()->interactionMode(), int(GraphView::PointMode));
    }

    // The mode says at once when the picture has no drawing to pick from.
    void pickFromPdfOnAPicture()
    {
        Window w;
        w.importPicture(QStringLiteral("chart.png"));
        w.calibrate();
        w.trigger("pickPdfAction");
        QCOMPARE(w.view()->interactionMode(), int(GraphView::PickPdfMode));
        QCOMPARE(w.status(),
                 QStringLiteral("Pick from PDF reads the drawing of a PDF page; this picture is not a PDF."));
        // Its choices show only while it is on.
        auto *choices = w.window.findChild<QDockWidget *>(QStringLiteral("pdfPickDock"));
        QVERIFY(choices && !choices->isHidden());
        w.trigger("pointModeAction");
        QVERIFY(choices->isHidden());
    }

    // Hovering the picture shows the real coordinates once calibrated, and the
    // Grid toggle draws the calibrated grid.
    void readoutAndGrid()
    {
        Window w;
        w.importPicture(QStringLiteral("chart.png"));
        auto *readout = w.window.findChild<QLabel *>(QStringLiteral("coordinateReadout"));
        QVERIFY(readout);
        const auto hover = [&](QPointF pixel) {
            const QPointF position = w.view()->viewportTransform().map(pixel);
            QMouseEvent move(QEvent::MouseMove, position, w.view()->viewport()->mapToGlobal(position),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w.view()->viewport(), &move);
        };
        hover(QPointF(300, 250));
        QVERIFY(readout->text().isEmpty());
        w.calibrate(10, 20);
        w.view()->resetTransform();
        w.view()->scale(4, 4);
        w.view()->centerOn(300, 250);
        hover(QPointF(300, 250));
        QCOMPARE(readout->text(), QStringLiteral("x = 5   y = 10"));
        hover(QPointF(100.25, 399.75));
        QCOMPARE(readout->text(), QStringLiteral("x = 0.00625   y = 0.0166667"));

        QAction *grid = w.action("gridLayerAction");
        QVERIFY(!grid->isChecked());
        QCOMPARE(w.model()->visibleLayers(), 7u);
        grid->trigger();
        QCOMPARE(w.model()->visibleLayers(), 15u);
        w.model()->setVisibleLayers(ProjectModel::SourceLayer);
        QVERIFY(!grid->isChecked());
    }

    // Marks whose values are typed in the interface language give the same
    // numbers as the C form.
    void calibrationInItalian()
    {
        Window w;
        i18n::Localization::instance().setLanguage(i18n::Italian);
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(QVariantList{"0,5", "2,5E+6", false});
        w.window.configureCalibration(true, QLineF(100, 400, 500, 400));
        w.prompts.answer(QVariantList{" -20 ", "-1,25", false});
        w.window.configureCalibration(false, QLineF(100, 400, 100, 100));
        i18n::Localization::instance().setLanguage(i18n::English);
        const Calibration &calibration = w.model()->calibration();
        QCOMPARE(calibration.xValue1, 0.5);
        QCOMPARE(calibration.xValue2, 2.5e6);
        QCOMPARE(calibration.yValue1, -20.0);
        QCOMPARE(calibration.yValue2, -1.25);
        QCOMPARE(w.prompts.last().kind, QStringLiteral("axisValues"));
        w.model()->addPoint(QPointF(300, 200));
        const QPointF real = w.model()->curves()[0].points[0].real;
        QVERIFY(testsupport::fuzzyEqual(real.x(), 0.5 + (2.5e6 - 0.5) / 2));
        QVERIFY(testsupport::fuzzyEqual(real.y(), -20 + 18.75 * 2 / 3));
    }

    // The Y axis clicked from the top with 0 typed there and the axes not
    // crossing: the value typed at each mark stays at that mark.
    void yAxisIsNeverSilentlyReversed()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(QVariantList{"0", "10", false});
        w.window.configureCalibration(true, QLineF(120, 400, 500, 400));
        w.prompts.answer(QVariantList{"0", "20", false});
        w.window.configureCalibration(false, QLineF(100, 100, 100, 390));
        const Calibration &calibration = w.model()->calibration();
        QCOMPARE(calibration.axisYLine, QLineF(100, 100, 100, 390));
        QVERIFY(testsupport::fuzzyEqual(calibration.pixelToReal(QPointF(300, 100)).y(), 0.0));
        QVERIFY(testsupport::fuzzyEqual(calibration.pixelToReal(QPointF(300, 390)).y(), 20.0));
    }

    void calibrationPromptRefusals_data()
    {
        QTest::addColumn<QVariantList>("typed");
        QTest::addColumn<QString>("warning");
        QTest::newRow("equal values") << QVariantList{"5", "5.0", false} << "The two values must differ.";
        QTest::newRow("log from zero")
            << QVariantList{"0", "100", true} << "A logarithmic axis needs values greater than zero.";
        QTest::newRow("log to a negative")
            << QVariantList{"10", "-1", true} << "A logarithmic axis needs values greater than zero.";
        QTest::newRow("a prefix is not a number")
            << QVariantList{"12abc", "20", false} << "Type a number at each mark, for example 2.5 or 1e-3.";
        QTest::newRow("comma in English")
            << QVariantList{"0,5", "20", false} << "Type a number at each mark, for example 2.5 or 1e-3.";
        QTest::newRow("empty") << QVariantList{"1", "  ", false}
                               << "Type a number at each mark, for example 2.5 or 1e-3.";
        QTest::newRow("infinite") << QVariantList{"1", "1e999", false}
                                  << "Type a number at each mark, for example 2.5 or 1e-3.";
    }
    void calibrationPromptRefusals()
    {
        QFETCH(QVariantList, typed);
        QFETCH(QString, warning);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(typed);
        w.window.configureCalibration(true, QLineF(100, 400, 500, 400));
        // The warning, then the same question again, which the script cancels.
        const QList<testsupport::ScriptedPrompts::Asked> asked = w.prompts.asked();
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[1].kind, QStringLiteral("warning"));
        QCOMPARE(asked[1].title, QStringLiteral("Calibration"));
        QCOMPARE(asked[1].text, warning);
        QCOMPARE(asked[2].kind, QStringLiteral("axisValues"));
        QVERIFY(!w.model()->calibration().axisXValid);
        QCOMPARE(w.status(), QStringLiteral("Calibration required: calibrate the X axis first."));
    }

    // The dialog starts from 0 and 1, or from the axis' own values and scale
    // when it is calibrated again; a cancel changes nothing.
    void calibrationPromptPrefill()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.window.configureCalibration(false, QLineF(100, 400, 100, 100)); // cancelled
        QVERIFY(!w.model()->calibration().axisYValid);
        QCOMPARE(w.prompts.lastOffer().toList(), (QVariantList{"0", "1", false}));
        QCOMPARE(w.prompts.last().text, QStringLiteral("Y"));
        w.prompts.answer(QVariantList{"0.001", "2.5e6", true});
        w.window.configureCalibration(false, QLineF(100, 400, 100, 100));
        w.window.configureCalibration(false, QLineF(100, 300, 100, 100)); // cancelled
        QCOMPARE(w.prompts.lastOffer().toList(), (QVariantList{"0.001", "2500000", true}));
        QCOMPARE(w.model()->calibration().axisYLine, QLineF(100, 400, 100, 100));
    }

    void tablesEditTheModel()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        w.model()->addPoint(QPointF(300, 200));
        // Unticking Visible hides the curve and keeps its row.
        w.curves()->item(0, 3)->setCheckState(Qt::Unchecked);
        QVERIFY(!w.model()->curves()[0].visible);
        QCOMPARE(w.curves()->rowCount(), 1);
        // A non-number changes nothing, and the cell shows the value again.
        const CurvePoint before = w.model()->curves()[0].points[0];
        w.points()->item(0, 1)->setText(QStringLiteral("abc"));
        QCOMPARE(w.model()->curves()[0].points[0], before);
        QCOMPARE(w.points()->item(0, 1)->text(), QString::number(before.real.x(), 'g', 12));
        // Add and Remove.
        QTest::mouseClick(w.window.curvesDock()->addButton(), Qt::LeftButton);
        QCOMPARE(w.model()->curves().size(), 2);
        QCOMPARE(w.curves()->currentRow(), 1);
        QCOMPARE(w.model()->activeCurveName(), QStringLiteral("Curve 2"));
        // Rows are updated in place: the count follows, the highlight moves with the active curve.
        w.model()->addPoint(QPointF(250, 250));
        QCOMPARE(w.curves()->item(1, 4)->text(), QStringLiteral("1"));
        QCOMPARE(w.curves()->item(0, 4)->text(), QStringLiteral("2"));
        QCOMPARE(w.curves()->item(1, 2)->background().color(), QColor(QStringLiteral("#fff8c4")));
        QCOMPARE(w.curves()->item(0, 2)->background().style(), Qt::NoBrush);
        w.prompts.answer(int(QMessageBox::No));
        QTest::mouseClick(w.window.curvesDock()->removeButton(), Qt::LeftButton);
        QCOMPARE(w.model()->curves().size(), 2);
        QCOMPARE(w.prompts.last().text, QStringLiteral("Remove the selected curve and all its points?"));
        w.prompts.answer(int(QMessageBox::Yes));
        QTest::mouseClick(w.window.curvesDock()->removeButton(), Qt::LeftButton);
        QCOMPARE(w.model()->curves().size(), 1);
        // Selecting a row of the points table selects the point.
        w.points()->selectRow(1);
        QCOMPARE(w.model()->selectedPointIndex(), 1);
        w.curves()->selectRow(0);
        QCOMPARE(w.model()->activeCurveIndex(), 0);
    }

    void undoAndLayers()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        w.trigger("undoAction");
        QCOMPARE(w.status(), QStringLiteral("Last inserted point undone."));
        w.trigger("undoAction");
        QCOMPARE(w.status(), QStringLiteral("There is no point insertion to undo."));
        w.action("axesLayerAction")->setChecked(false);
        QCOMPARE(w.model()->visibleLayers(), 5u);
        w.model()->setVisibleLayers(ProjectModel::AxesLayer);
        QVERIFY(!w.action("sourceLayerAction")->isChecked());
        QVERIFY(w.action("axesLayerAction")->isChecked());
        QVERIFY(!w.action("pointsLayerAction")->isChecked());
    }

    void deletedPointComesBackWithCtrlZ()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        for (const double x : {150.0, 250.0, 350.0})
            w.model()->addPoint(QPointF(x, 300));
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QAction *undo = w.action("historyUndoAction");
        QAction *redo = w.action("historyRedoAction");
        QVERIFY(!redo->isEnabled());
        // "Undo last point" keeps its texts but not the shortcut, and what it removes comes back.
        QVERIFY(w.action("undoAction")->shortcut().isEmpty());
        w.trigger("undoAction");
        QCOMPARE(w.status(), QStringLiteral("Last inserted point undone."));
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QCOMPARE(undo->text(), QStringLiteral("Undo Undo last point"));
        undo->trigger();
        QCOMPARE(w.model()->curves()[0].points.size(), 3);
        w.click(QPointF(250, 300));
        QCOMPARE(w.model()->selectedPointIndex(), 1);
        QTest::keyClick(w.view(), Qt::Key_Delete);
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QCOMPARE(undo->text(), QStringLiteral("Undo Delete point"));
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.model()->curves()[0].points.size(), 3);
        QCOMPARE(w.model()->curves()[0].points[1].pixel, QPointF(250, 300));
        QCOMPARE(redo->text(), QStringLiteral("Redo Delete point"));
        QVERIFY(redo->isEnabled());
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.view(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QCOMPARE(undo->text(), QStringLiteral("Undo Delete point"));
    }

    void boxSelectedGroupComesBackInOneStep()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        // 30 points inside the box and two outside it.
        for (int i = 0; i < 32; ++i)
            w.model()->addPoint(QPointF(110 + 10 * i, i < 30 ? 300 : 420));
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const QByteArray before = QJsonDocument(w.model()->projectJson()).toJson(QJsonDocument::Compact);
        const int steps = w.model()->undoStack()->index();
        QWidget *viewport = w.view()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier,
                          w.view()->mapFromScene(QPointF(100, 250)));
        QTest::mouseMove(viewport, w.view()->mapFromScene(QPointF(300, 320)));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ShiftModifier,
                            w.view()->mapFromScene(QPointF(420, 350)));
        QCOMPARE(w.model()->pointGroup().size(), 30);
        QCOMPARE(w.status(), QStringLiteral("30 points selected."));
        QCOMPARE(w.points()->selectionModel()->selectedRows().size(), 30);
        QTest::keyClick(w.view(), Qt::Key_Delete);
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QVERIFY(w.model()->pointGroup().isEmpty());
        QCOMPARE(w.model()->undoStack()->index(), steps + 1);
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(QJsonDocument(w.model()->projectJson()).toJson(QJsonDocument::Compact), before);
        // Ctrl+A takes the whole curve; arrows move it as one step, a plain click lets it go.
        QTest::keyClick(w.view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.model()->pointGroup().size(), 32);
        QTest::keyClick(w.view(), Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(w.view(), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(w.model()->curves()[0].points[31].pixel, QPointF(440, 420));
        QCOMPARE(w.model()->undoStack()->index(), steps + 1);
        w.click(QPointF(600, 100));
        QVERIFY(w.model()->pointGroup().isEmpty());
    }

    void undoingToTheSavedStateClearsTheQuestion()
    {
        const QString path = databasePath(QStringLiteral("clean.pmdb"));
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        QVERIFY(w.window.hasUnsavedChanges());
        QVERIFY(w.window.isWindowModified());
        w.prompts.answer(path);
        w.prompts.answer(QStringLiteral("Clean"));
        w.trigger("saveDatabaseAction");
        QVERIFY(!w.window.hasUnsavedChanges());
        w.model()->addPoint(QPointF(250, 300));
        w.model()->setCurveVisible(0, false);
        QVERIFY(w.window.isWindowModified());
        w.trigger("historyUndoAction");
        w.trigger("historyUndoAction");
        QVERIFY(!w.window.hasUnsavedChanges());
        QVERIFY(!w.window.isWindowModified());
        w.prompts.clear();
        QVERIFY(w.window.close());
        QVERIFY(w.prompts.asked().isEmpty());
    }

    void orthogonalSettingIsRemembered()
    {
        {
            Window w;
            QVERIFY(w.action("orthogonalAction")->isChecked());
            w.action("orthogonalAction")->setChecked(false);
            QVERIFY(!w.view()->orthogonalAxes());
        }
        QCOMPARE(QSettings().value("calibration/orthogonalAxes").toBool(), false);
        Window again;
        QVERIFY(!again.action("orthogonalAction")->isChecked());
        QVERIFY(!again.view()->orthogonalAxes());
    }

    void languageSwitchRelabels()
    {
        Window w;
        QMenuBar *bar = w.window.menuBar();
        const auto titles = [bar] {
            QStringList result;
            for (QAction *menu : bar->actions())
                result.append(menu->text());
            return result;
        };
        QCOMPARE(titles(), (QStringList{"File", "Graph", "Edit", "&View", "Language", "Info"}));
        QMenu *languages = bar->actions()[4]->menu();
        languages->actions()[1]->trigger(); // Italiano
        QCOMPARE(titles().first(), QStringLiteral("&File"));
        languages->actions()[4]->trigger(); // Deutsch
        QCOMPARE(titles(), (QStringList{"&Datei", "&Diagramm", "&Bearbeiten", "&Ansicht",
                                        i18n::tr("Language"), i18n::tr("Info")}));
        QVERIFY(languages->actions()[4]->isChecked());
        QCOMPARE(w.action("importAction")->text(), i18n::tr("Import source..."));
        QVERIFY(w.action("importAction")->text() != QLatin1String("Import source..."));
        QCOMPARE(w.curves()->horizontalHeaderItem(0)->text(), i18n::tr("Name"));
        QCOMPARE(w.status(), i18n::tr("Import an image or PDF to begin."));
        QCOMPARE(QSettings().value("ui/language").toString(), QStringLiteral("de"));
        languages->actions()[0]->trigger();
        QCOMPARE(titles().first(), QStringLiteral("File"));
    }

    void unsavedChangesAreNotLost_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel keeps the window") << int(QMessageBox::Cancel) << false;
        QTest::newRow("discard closes") << int(QMessageBox::Discard) << true;
        QTest::newRow("save, then cancel the file dialog") << int(QMessageBox::Save) << false;
    }
    void unsavedChangesAreNotLost()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        QVERIFY(w.window.hasUnsavedChanges());
        w.prompts.answer(answer);
        QCOMPARE(w.window.close(), closes);
        QCOMPARE(w.prompts.asked().first().kind, QStringLiteral("question"));
        QCOMPARE(w.prompts.asked().first().title, QStringLiteral("Save changes"));
        QCOMPARE(w.model()->curves()[0].points.size(), 1);
    }

    void saveWhenClosingStoresToLinkedDatabase()
    {
        const QString path = databasePath(QStringLiteral("linked.pmdb"));
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.prompts.answer(path);
        w.prompts.answer(QStringLiteral("Linked"));
        w.trigger("saveDatabaseAction");
        w.model()->addPoint(QPointF(200, 300));
        w.prompts.answer(int(QMessageBox::Save));
        w.trigger("closeAction");
        QCOMPARE(w.status(), QStringLiteral("Project closed."));
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(path, QStringLiteral("Linked"), loaded));
        QCOMPARE(loaded.curves()[0].points.size(), 1);
        // Opening another project asks as well.
        testsupport::calibrate(*w.model());
        w.prompts.clear();
        w.trigger("openDatabaseAction");
        QCOMPARE(w.prompts.kinds().first(), QStringLiteral("question"));
    }

    void compilationYearOfBuildDate_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("year");
        QTest::newRow("compiler date") << "Dec  8 2026"
                                       << "2026";
        QTest::newRow("four characters") << "2031"
                                         << "2031";
        QTest::newRow("shorter") << "x"
                                 << "x";
    }
    void compilationYearOfBuildDate()
    {
        QFETCH(QString, date);
        QFETCH(QString, year);
        QCOMPARE(compilationYear(date), year);
    }

    void programInformation()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.1.7"));
        Window w;
        w.window.openAboutDialog();
        auto *dialog = w.window.findChild<AboutDialog *>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible()); // shown without blocking
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Program information"));
        auto *form = dialog->findChild<QFormLayout *>();
        QStringList rows;
        for (int row = 0; row < form->rowCount(); ++row) {
            const auto *label = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget());
            const auto *value = qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::FieldRole)->widget());
            rows.append(label->text() + QLatin1Char('=') + value->text());
            QVERIFY(value->textInteractionFlags() & Qt::TextSelectableByMouse);
        }
        QCOMPARE(rows.mid(0, 3), (QStringList{"Program name:=Plotmason", "Installed version:=1.1.7",
                                              "Online version:=Checking..."}));
        QVERIFY(rows[4].contains(QLatin1String(maker::website)));
        QVERIFY(rows[5].contains(QStringLiteral("mailto:%1").arg(QLatin1String(maker::suggestionsAddress))));
        QCOMPARE(dialog->statusLabel()->text(), QStringLiteral("Checking online version..."));
        QVERIFY(!dialog->updateButton()->isEnabled());
        // The service on this machine refuses the connection: the rows say so calmly.
        QTRY_COMPARE_WITH_TIMEOUT(dialog->statusLabel()->text(),
                                  QStringLiteral("Could not check for updates."), 10000);
        QVERIFY(!dialog->updateButton()->isEnabled());
        // The icon comes from the program's resources.
        QVERIFY(!QIcon(QStringLiteral(":/icons/assets/icons/plotmason-app-icon.png")).isNull());
        dialog->close();
    }

    void regeneratedGraphOpensWhenCalibrated()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(200, 300));
        w.trigger("regeneratedAction");
        auto *graph = w.window.findChild<RegeneratedGraphWindow *>();
        QVERIFY(graph);
        QVERIFY(graph->isVisible());
        QVERIFY(graph->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(w.prompts.asked().isEmpty());
        graph->close();
        QTRY_VERIFY(!w.window.findChild<RegeneratedGraphWindow *>());
    }

    void modelErrorsAreShown()
    {
        Window w;
        w.prompts.answer(testsupport::sandbox().filePath(QStringLiteral("missing.png")));
        w.trigger("importAction");
        QCOMPARE(w.prompts.last().kind, QStringLiteral("critical"));
        QCOMPARE(w.prompts.last().title, QStringLiteral("Plotmason"));
        QVERIFY(w.prompts.last().text.startsWith(QLatin1String("File sorgente non trovato: ")));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestMainWindow)
#include "tst_mainwindow.moc"
