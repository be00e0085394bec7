#include "i18n/localization.h"
#include "io/projectdatabase.h"
#include "model/projectmodel.h"
#include "regenerated/regeneratedgraphwindow.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"
#include "tests/ui/mainwindowfixture.h"
#include "ui/aboutdialog.h"
#include "ui/curvesdock.h"
#include "ui/graphview.h"
#include "ui/mainwindow.h"
#include "ui/recentprojects.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QThread>

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
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Plotmason"));
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
            QCOMPARE(w.prompts.kinds(), (QStringList{"open", "real", "real"}));
            QCOMPARE(w.prompts.asked()[1].text, QStringLiteral("Maximum X axis value"));
            QCOMPARE(w.prompts.asked()[2].text, QStringLiteral("Maximum Y axis value"));
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
        for (const char *name : {"pointModeAction", "exportCsvAction", "exportSvgAction", "exportExcelAction",
                                 "regeneratedAction", "undoAction", "deletePointAction"})
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

    void calibrationPrompt_data()
    {
        QTest::addColumn<QLineF>("xLine");
        QTest::addColumn<QLineF>("yLine");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QLineF>("storedX");
        QTest::addColumn<QLineF>("storedY");
        QTest::newRow("clicked backwards, re-anchored")
            << QLineF(500, 400, 100, 400) << QLineF(100, 100, 100, 400) << QString()
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100);
        QTest::newRow("crossing inside both")
            << QLineF(50, 400, 500, 400) << QLineF(100, 450, 100, 100) << QString()
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100);
        QTest::newRow("L corner at the ends")
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100) << QString()
            << QLineF(100, 400, 500, 400) << QLineF(100, 400, 100, 100);
        QTest::newRow("axes that do not touch") << QLineF(120, 400, 500, 400) << QLineF(100, 390, 100, 100)
                                                << "The X and Y axis lines must intersect at the graph "
                                                   "origin. Extend or recalibrate the axis that does "
                                                   "not reach zero."
                                                << QLineF(120, 400, 500, 400) << QLineF(100, 390, 100, 100);
        QTest::newRow("origin at an endpoint")
            << QLineF(100, 400, 500, 400) << QLineF(100, 400.5, 100, 400.5 - 0.9)
            << "The axis origin is too close to an axis endpoint. Select a longer calibration segment."
            << QLineF(100, 400, 500, 400) << QLineF(100, 400.5, 100, 399.6);
    }
    void calibrationPrompt()
    {
        QFETCH(QLineF, xLine);
        QFETCH(QLineF, yLine);
        QFETCH(QString, warning);
        QFETCH(QLineF, storedX);
        QFETCH(QLineF, storedY);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(10.0);
        w.window.configureCalibration(true, xLine);
        w.prompts.answer(20.0);
        w.window.configureCalibration(false, yLine);
        const Calibration &calibration = w.model()->calibration();
        QCOMPARE(w.prompts.last().kind,
                 warning.isEmpty() ? QStringLiteral("real") : QStringLiteral("warning"));
        if (!warning.isEmpty())
            QCOMPARE(w.prompts.last().text, warning);
        QCOMPARE(calibration.axisXLine, storedX);
        QCOMPARE(calibration.axisYLine, storedY);
        QCOMPARE(calibration.xValue1, 0.0);
        QCOMPARE(calibration.xValue2, 10.0);
        QCOMPARE(calibration.yValue2, 20.0);
        // Either way both axes are stored and the workflow moves on to points.
        QCOMPARE(w.view()->interactionMode(), int(GraphView::PointMode));
    }

    void calibrationPromptRefusals()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.prompts.answer(0.0);
        w.window.configureCalibration(true, QLineF(100, 400, 500, 400));
        QCOMPARE(w.prompts.last().kind, QStringLiteral("warning"));
        QCOMPARE(w.prompts.last().text, QStringLiteral("The maximum axis value must be greater than zero."));
        QVERIFY(!w.model()->calibration().axisXValid);
        QCOMPARE(w.status(), QStringLiteral("Calibration required: calibrate the X axis first."));
        w.window.configureCalibration(true, QLineF(100, 400, 500, 400)); // cancelled
        QVERIFY(!w.model()->calibration().axisXValid);
        const QVariantList offer = w.prompts.lastOffer().toList();
        QCOMPARE(offer, (QVariantList{1.0, 0.0, 1e100, 8}));
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
        QCOMPARE(titles(), (QStringList{"File", "Graph", "Edit", "Language", "Info"}));
        QMenu *languages = bar->actions()[3]->menu();
        languages->actions()[1]->trigger(); // Italiano
        QCOMPARE(titles().first(), QStringLiteral("&File"));
        languages->actions()[4]->trigger(); // Deutsch
        QCOMPARE(titles(),
                 (QStringList{"&Datei", "&Diagramm", "&Bearbeiten", i18n::tr("Language"), i18n::tr("Info")}));
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
