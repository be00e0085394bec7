// The main window never loses or overwrites the user's work: the regenerated
// graph stays with its project, its edits count as unsaved, names and files are
// not replaced without a question, and a new picture starts a new project.
#include "core/io/projectdatabase.h"
#include "core/model/projectmodel.h"
#include "graphwindow/graphsettingspanel.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "graphwindow/zoomablegraphview.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"
#include "tests/window/mainwindowfixture.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

namespace {

QString sandboxFile(const QString &name)
{
    return QDir::cleanPath(testsupport::sandbox().filePath(name));
}

QString tagged(const QString &stem, const QString &suffix)
{
    return sandboxFile(stem + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + suffix);
}

// A calibrated project with a stored picture, `points` points and a graph title.
void storeProject(const QString &database, const QString &name, const QString &title, int points = 1,
                  int renderDpi = ProjectModel::defaultRenderDpi)
{
    ProjectModel model;
    model.setSourceImage(testsupport::chartImage(), QString());
    testsupport::calibrate(model);
    for (int i = 0; i < points; ++i)
        model.addPoint(QPointF(150 + 20 * i, 300));
    model.setRegeneratedGraphSettings({{QStringLiteral("title"), title}});
    model.setRenderDpi(renderDpi);
    QString error;
    QVERIFY2(ProjectDatabase::storeProject(database, model, name, &error), qPrintable(error));
}

QJsonObject storedGraphSettings(const QString &database, const QString &name)
{
    ProjectModel model;
    return ProjectDatabase::loadProject(database, name, model) ? model.regeneratedGraphSettings()
                                                               : QJsonObject();
}

int storedPointCount(const QString &database, const QString &name)
{
    ProjectModel model;
    if (!ProjectDatabase::loadProject(database, name, model))
        return -1;
    int count = 0;
    for (const Curve &curve : model.curves())
        count += int(curve.points.size());
    return count;
}

QString graphTitle(const ProjectModel *model)
{
    return model->regeneratedGraphSettings().value(QStringLiteral("title")).toString();
}

RegeneratedGraphWindow *openGraph(Window &w)
{
    w.trigger("regeneratedAction");
    RegeneratedGraphWindow *graph = w.window.regeneratedGraphWindow();
    if (graph && !QTest::qWaitFor([graph] { return !graph->scene()->items().isEmpty(); }))
        return nullptr;
    return graph;
}

QAction *recentEntry(const Window &w, const QString &name)
{
    QMenu *menu = w.recentMenu();
    Q_EMIT menu->aboutToShow();
    for (QAction *entry : menu->actions()) {
        if (entry->text().contains(name + QStringLiteral(" (")))
            return entry;
    }
    return nullptr;
}

} // namespace

class TestLostWork : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        i18n::Localization::instance().setLanguage(i18n::English);
    }

    void regeneratedGraphStaysWithItsProject_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title"); // of the project shown afterwards
        QTest::newRow("open from database") << "database"
                                            << "B title";
        QTest::newRow("recent file") << "recent"
                                     << "B title";
        QTest::newRow("close project") << "close"
                                       << "";
        QTest::newRow("import over the project") << "import"
                                                 << "";
    }
    void regeneratedGraphStaysWithItsProject()
    {
        QFETCH(QString, command);
        QFETCH(QString, title);
        const QString database = tagged(QStringLiteral("follow-"), QStringLiteral(".pmdb"));
        storeProject(database, QStringLiteral("A"), QStringLiteral("A title"));
        storeProject(database, QStringLiteral("B"), QStringLiteral("B title"));
        Window w;
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("B")));
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("A")));
        RegeneratedGraphWindow *graph = openGraph(w);
        QVERIFY(graph);
        QCOMPARE(graph->settings().title, QStringLiteral("A title"));
        graph->findChild<QLineEdit *>(QStringLiteral("titleEdit"))->setText(QStringLiteral("edited"));
        QCOMPARE(graphTitle(w.model()), QStringLiteral("edited"));
        // One window per main window: the command raises the open one.
        w.trigger("regeneratedAction");
        QCOMPARE(w.window.findChildren<RegeneratedGraphWindow *>().size(), 1);

        w.prompts.clear();
        w.prompts.answer(int(QMessageBox::Discard));
        if (command == QLatin1String("database")) {
            w.prompts.answer(database);
            w.prompts.answer(QStringLiteral("B"));
            w.trigger("openDatabaseAction");
        } else if (command == QLatin1String("recent")) {
            QAction *entry = recentEntry(w, QStringLiteral("B"));
            QVERIFY(entry);
            entry->trigger();
        } else if (command == QLatin1String("close")) {
            w.trigger("closeAction");
        } else {
            const QString picture = tagged(QStringLiteral("next-"), QStringLiteral(".png"));
            QVERIFY(testsupport::chartImage(300, 200).save(picture));
            w.prompts.answer(picture);
            w.trigger("importAction");
        }
        QCOMPARE(w.prompts.pendingAnswers(), 0);
        QCOMPARE(w.prompts.asked().first().title, QStringLiteral("Save changes"));
        QCOMPARE(graphTitle(w.model()), title);
        QTRY_VERIFY(!w.window.regeneratedGraphWindow());
        QTest::qWait(20); // a rebuild still queued must not write either
        QCOMPARE(graphTitle(w.model()), title);
        QVERIFY(!w.window.hasUnsavedChanges() || command == QLatin1String("import"));
        if (w.window.isLinkedToDatabase()) {
            w.window.saveProject();
            QCOMPARE(storedGraphSettings(database, QStringLiteral("B")).value("title").toString(), title);
        }
        QCOMPARE(storedGraphSettings(database, QStringLiteral("A")).value("title").toString(),
                 QStringLiteral("A title"));
    }

    void graphEditsAreUnsavedChanges_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("title") << "title";
        QTest::newRow("label added") << "label";
        QTest::newRow("title moved") << "moved";
    }
    void graphEditsAreUnsavedChanges()
    {
        QFETCH(QString, edit);
        const QString database = tagged(QStringLiteral("unsaved-"), QStringLiteral(".pmdb"));
        storeProject(database, QStringLiteral("P"), QStringLiteral("Pump"));
        Window w;
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("P")));
        RegeneratedGraphWindow *graph = openGraph(w);
        QVERIFY(graph);
        QTest::qWait(50);
        QVERIFY2(!w.window.hasUnsavedChanges(), "opening the graph is no edit");
        const QJsonObject before = w.model()->regeneratedGraphSettings();
        if (edit == QLatin1String("title")) {
            graph->findChild<QLineEdit *>(QStringLiteral("titleEdit"))->setText(QStringLiteral("Pump B"));
        } else if (edit == QLatin1String("label")) {
            graph->panel()->button(GraphSettingsPanel::AddLabelButton)->click();
        } else {
            QGraphicsTextItem *title = nullptr;
            for (QGraphicsItem *item : graph->scene()->items()) {
                auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item);
                if (text && text->toPlainText() == QLatin1String("Pump"))
                    title = text;
            }
            QVERIFY(title);
            title->setPos(title->pos() + QPointF(80, 40));
            Q_EMIT graph->view()->mouseReleased();
        }
        QVERIFY(w.model()->regeneratedGraphSettings() != before);
        QVERIFY(w.window.hasUnsavedChanges());
        w.prompts.answer(int(QMessageBox::Cancel));
        QVERIFY(!w.window.close());
        QCOMPARE(w.prompts.last().title, QStringLiteral("Save changes"));
    }

    void sameNameInDatabaseAsks_data()
    {
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QStringList>("projects");
        QTest::addColumn<int>("pointsOfGraph");
        QTest::newRow("no, then another name")
            << QVariantList{"graph", int(QMessageBox::No), "graph 2"}
            << QStringList{"save", "text", "question", "text"} << QStringList{"graph", "graph 2"} << 1;
        QTest::newRow("yes replaces") << QVariantList{"graph", int(QMessageBox::Yes)}
                                      << QStringList{"save", "text", "question"} << QStringList{"graph"} << 3;
        QTest::newRow("no, then cancelled")
            << QVariantList{"graph", int(QMessageBox::No)} << QStringList{"save", "text", "question", "text"}
            << QStringList{"graph"} << 1;
        QTest::newRow("new name") << QVariantList{"other"} << QStringList{"save", "text"}
                                  << QStringList{"graph", "other"} << 1;
    }
    void sameNameInDatabaseAsks()
    {
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, kinds);
        QFETCH(QStringList, projects);
        QFETCH(int, pointsOfGraph);
        const QString database = tagged(QStringLiteral("names-"), QStringLiteral(".pmdb"));
        storeProject(database, QStringLiteral("graph"), QStringLiteral("first chart"));
        Window w;
        w.importPicture(QStringLiteral("graph.png"));
        testsupport::calibrate(*w.model());
        for (int i = 0; i < 3; ++i)
            w.model()->addPoint(QPointF(200 + 10 * i, 250));
        w.prompts.clear();
        w.prompts.answer(database);
        for (const QVariant &answer : answers)
            w.prompts.answer(answer);
        w.trigger("saveDatabaseAction");
        QCOMPARE(w.prompts.kinds(), kinds);
        if (kinds.contains(QStringLiteral("question"))) {
            QCOMPARE(
                w.prompts.asked().at(2).text,
                QStringLiteral("A project named \"graph\" already exists in this database. Replace it?"));
        }
        QCOMPARE(w.prompts.asked().at(1).text, QStringLiteral("Project name in database:"));
        QStringList stored = ProjectDatabase::listProjects(database);
        stored.sort();
        QCOMPARE(stored, projects);
        QCOMPARE(storedPointCount(database, QStringLiteral("graph")), pointsOfGraph);
    }

    void ownLinkedProjectIsStoredWithoutAsking()
    {
        const QString database = sandboxFile(QStringLiteral("linked.pmdb"));
        storeProject(database, QStringLiteral("graph"), QStringLiteral("chart"));
        Window w;
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("graph")));
        w.model()->addPoint(QPointF(300, 300));
        w.prompts.answer(database);
        w.prompts.answer(QStringLiteral("graph"));
        w.trigger("saveDatabaseAction");
        QCOMPARE(w.prompts.kinds(), (QStringList{"save", "text"}));
        QCOMPARE(storedPointCount(database, QStringLiteral("graph")), 2);
    }

    void saveDialogAddsTheSuffixItself_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("confirmOverwrite");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("csv added") << "data"
                                   << "csv" << true << "data.csv";
        QTest::newRow("other suffix kept") << "notes.txt"
                                           << "csv" << true << "notes.txt";
        QTest::newRow("database added") << "lab"
                                        << "pmdb" << false << "lab.pmdb";
        QTest::newRow("sqlite kept") << "lab.sqlite"
                                     << "pmdb" << false << "lab.sqlite";
    }
    void saveDialogAddsTheSuffixItself()
    {
        QFETCH(QString, typed);
        QFETCH(QString, suffix);
        QFETCH(bool, confirmOverwrite);
        QFETCH(QString, chosen);
        const QString folder = tagged(QStringLiteral("dialog-"), QString());
        QVERIFY(QDir().mkpath(folder));
        QFileDialog dialog(nullptr, QStringLiteral("Save"), folder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        prepareSaveDialog(dialog, suffix, confirmOverwrite);
        QCOMPARE(dialog.testOption(QFileDialog::DontConfirmOverwrite), !confirmOverwrite);
        dialog.selectFile(typed);
        // The name the overwrite question sees is the final one.
        QCOMPARE(dialog.selectedFiles(), QStringList{QDir(folder).filePath(chosen)});
    }

    void windowOffersTheSuffixToTheDialog_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("confirmOverwrite");
        QTest::newRow("csv") << "exportCsvAction"
                             << "csv" << true;
        QTest::newRow("svg") << "exportSvgAction"
                             << "svg" << true;
        QTest::newRow("excel") << "exportExcelAction"
                               << "xlsx" << true;
        QTest::newRow("database") << "saveDatabaseAction"
                                  << "pmdb" << false;
    }
    void windowOffersTheSuffixToTheDialog()
    {
        QFETCH(QString, command);
        QFETCH(QString, suffix);
        QFETCH(bool, confirmOverwrite);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        testsupport::calibrate(*w.model());
        if (command == QLatin1String("exportExcelAction"))
            w.prompts.answer(20);
        w.trigger(command.toLatin1().constData());
        QCOMPARE(w.prompts.last().kind, QStringLiteral("save"));
        const QVariantList offer = w.prompts.lastOffer().toList();
        QCOMPARE(offer.size(), 4);
        QCOMPARE(offer.at(1).toString(), suffix);
        QCOMPARE(offer.at(2).toBool(), confirmOverwrite);
    }

    void newPictureStartsANewProject_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<bool>("replaced"); // the picture changed
        QTest::addColumn<bool>("kept");     // calibration, points and the database link stayed
        QTest::newRow("import, discard") << "importAction" << QVariantList{int(QMessageBox::Discard), "new"}
                                         << QStringList{"question", "open"} << true << false;
        QTest::newRow("import, cancel") << "importAction" << QVariantList{int(QMessageBox::Cancel)}
                                        << QStringList{"question"} << false << true;
        QTest::newRow("import, no file") << "importAction" << QVariantList{int(QMessageBox::Discard)}
                                         << QStringList{"question", "open"} << false << true;
        QTest::newRow("import, unreadable file")
            << "importAction" << QVariantList{int(QMessageBox::Discard), "missing"}
            << QStringList{"question", "open", "critical"} << false << true;
        QTest::newRow("replace picture")
            << "replacePictureAction" << QVariantList{"new"} << QStringList{"open"} << true << true;
    }
    void newPictureStartsANewProject()
    {
        QFETCH(QString, command);
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, kinds);
        QFETCH(bool, replaced);
        QFETCH(bool, kept);
        const QString database = tagged(QStringLiteral("import-"), QStringLiteral(".pmdb"));
        const QString picture = tagged(QStringLiteral("better-scan-"), QStringLiteral(".png"));
        QVERIFY(testsupport::chartImage(800, 600).save(picture));
        storeProject(database, QStringLiteral("P"), QStringLiteral("Pump"), 2);
        Window w;
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("P")));
        w.model()->addPoint(QPointF(300, 300)); // unsaved work
        const Calibration calibration = w.model()->calibration();
        const QList<Curve> curves = w.model()->curves();
        w.prompts.clear();
        for (const QVariant &answer : answers) {
            const QString text = answer.toString();
            w.prompts.answer(text == QLatin1String("new")       ? QVariant(picture)
                             : text == QLatin1String("missing") ? QVariant(sandboxFile("gone.png"))
                                                                : answer);
        }
        w.trigger(command.toLatin1().constData());
        QCOMPARE(w.prompts.kinds(), kinds);
        QCOMPARE(w.model()->sourceImage().size(),
                 replaced ? QSize(800, 600) : testsupport::chartImage().size());
        QCOMPARE(w.model()->sourcePath() == picture, replaced);
        QCOMPARE(w.model()->calibration() == calibration, kept);
        QCOMPARE(w.model()->curves() == curves, kept);
        QCOMPARE(w.window.isLinkedToDatabase(), kept);
        if (!kept) {
            QVERIFY(!w.model()->calibration().isAxisXValid());
            QCOMPARE(w.model()->curves().size(), 1);
            QVERIFY(w.model()->curves().first().points.isEmpty());
        }
        QCOMPARE(storedPointCount(database, QStringLiteral("P")),
                 2); // nothing written behind the user's back
    }

    void importWithoutWorkAsksNothing()
    {
        Window w;
        w.importPicture(QStringLiteral("first.png"));
        w.prompts.clear();
        w.importPicture(QStringLiteral("second.png"));
        QCOMPARE(w.prompts.kinds(), QStringList{"open"});
        QCOMPARE(QFileInfo(w.model()->sourcePath()).fileName(), QStringLiteral("second.png"));
    }

    void dpiBoxFollowsTheModel()
    {
        const QString database = sandboxFile(QStringLiteral("dpi.pmdb"));
        storeProject(database, QStringLiteral("D"), QStringLiteral("Dpi"), 1, 200);
        Window w;
        auto *dpi = w.window.findChild<QSpinBox *>(QStringLiteral("dpiSpin"));
        QVERIFY(dpi);
        dpi->setValue(300);
        QCOMPARE(w.model()->renderDpi(), 300);
        w.prompts.answer(int(QMessageBox::Discard));
        w.trigger("closeAction");
        QCOMPARE(w.model()->renderDpi(), ProjectModel::defaultRenderDpi);
        QCOMPARE(dpi->value(), ProjectModel::defaultRenderDpi);
        QVERIFY(w.window.openDatabaseProject(database, QStringLiteral("D")));
        QCOMPARE(w.model()->renderDpi(), 200);
        QCOMPARE(dpi->value(), 200);
    }

    // A resolution whose picture would be too large is refused, and the box says so.
    void dpiBoxShowsARefusedResolution()
    {
        const QString pdf = sandboxFile(QStringLiteral("a0.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setPageSize(QPageSize(QPageSize::A0));
            QPainter painter(&writer);
            painter.fillRect(QRectF(0, 0, 100, 100), Qt::black);
        }
        Window w;
        w.model()->setRenderDpi(72);
        QVERIFY(w.model()->loadSource(pdf));
        auto *dpi = w.window.findChild<QSpinBox *>(QStringLiteral("dpiSpin"));
        QVERIFY(dpi);
        w.prompts.clear();
        dpi->setValue(1200);
        QCOMPARE(w.model()->renderDpi(), 72);
        QTRY_COMPARE(dpi->value(), 72);
        QCOMPARE(w.prompts.kinds(), QStringList{"critical"});
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestLostWork)
#include "tst_lostwork.moc"
