#include "cli/batchmode.h"
#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "digitizing/loupe.h"
#include "i18n/localization.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"
#include "tests/window/mainwindowfixture.h"
#include "window/curvesdock.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>

#include <memory>

using testsupport::ScriptedPrompts;

namespace {

QString sandboxPath(const QString &name)
{
    return QDir::cleanPath(testsupport::sandbox().filePath(name));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject projectDocument(const QString &path)
{
    return QJsonDocument::fromJson(fileBytes(path)).object();
}

QString writeChart(const QString &name, int width = 640, int height = 480)
{
    const QString path = sandboxPath(name);
    testsupport::chartImage(width, height).save(path);
    return path;
}

// A calibrated two-point project stored as a project file beside its picture.
QString writeProject(const QString &name, const QJsonObject &viewState = {})
{
    ProjectModel model;
    model.loadSource(writeChart(name + QStringLiteral(".png")));
    testsupport::calibrate(model);
    model.addPoint(QPointF(200, 300));
    model.addPoint(QPointF(300, 200));
    model.setGraphViewSettings(viewState);
    const QString path = sandboxPath(name + QStringLiteral(".pmproj"));
    if (!saveProjectFile(path, model, nullptr))
        qWarning("project not written");
    return path;
}

// The main window with a way to drop files and data on the picture.
struct DroppingWindow : Window
{
    // Drags the data over the picture and drops it; true when the drop was taken.
    bool drop(QMimeData *data) const
    {
        const std::unique_ptr<QMimeData> owned(
            data); // the drop takes the data, as a drag source hands it over
        QWidget *target = view()->viewport();
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(centre), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        // Opening starts once the drop has ended.
        QCoreApplication::processEvents();
        return dropped.isAccepted();
    }
    // The picture's corners in the viewport at the current zoom.
    QRect pictureOnScreen() const { return view()->mapFromScene(view()->sceneRect()).boundingRect(); }
};

QMimeData *filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

} // namespace

class TestDesktopHabits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        i18n::Localization::instance().setLanguage(i18n::English);
    }

    // Save as, close, open and save again, all through the File menu.
    void projectFileThroughTheMenu()
    {
        const QString path = sandboxPath(QStringLiteral("pump.pmproj"));
        DroppingWindow w;
        w.model()->loadSource(writeChart(QStringLiteral("pump.png")));
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(300, 250));
        QVERIFY(w.window.hasUnsavedChanges());

        w.prompts.answer(sandboxPath(QStringLiteral("pump")));
        w.trigger("saveFileAction");
        QCOMPARE(w.prompts.last().title, QStringLiteral("Save project as"));
        QCOMPARE(w.prompts.lastOffer().toList().value(0).toString(),
                 QStringLiteral("Plotmason project (*.pmproj)"));
        QCOMPARE(w.window.projectFilePath(), path);
        QVERIFY(!w.window.hasUnsavedChanges());
        QVERIFY(w.action("saveAction")->isEnabled());
        QCOMPARE(w.status(), QStringLiteral("Project saved."));
        QCOMPARE(projectDocument(path).value("sourcePath").toString(),
                 sandboxPath(QStringLiteral("pump.png")));

        w.prompts.clear();
        w.trigger("closeAction");
        QVERIFY(w.prompts.asked().isEmpty());
        QVERIFY(!w.action("saveAction")->isEnabled());
        QVERIFY(w.window.projectFilePath().isEmpty());

        w.prompts.answer(path);
        w.trigger("openFileAction");
        QCOMPARE(w.prompts.kinds(), QStringList{"open"});
        QCOMPARE(w.model()->curves().first().points.size(), 1);
        QVERIFY(w.model()->calibration().isComplete());
        QCOMPARE(w.window.projectFilePath(), path);
        QCOMPARE(w.status(), QStringLiteral("Project opened."));
        QVERIFY(!w.window.hasUnsavedChanges());

        // "Save" writes back to the file the project came from, without asking.
        w.model()->addPoint(QPointF(400, 200));
        w.prompts.clear();
        w.trigger("saveAction");
        QVERIFY(w.prompts.asked().isEmpty());
        ProjectModel reread;
        QVERIFY(openProjectFile(path, reread, nullptr));
        QCOMPARE(reread.curves(), w.model()->curves());
    }

    void openingABrokenProjectKeepsTheWork()
    {
        const QString broken = sandboxPath(QStringLiteral("broken.pmproj"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"format\": 3");
        file.close();
        DroppingWindow w;
        w.model()->loadSource(writeChart(QStringLiteral("kept.png")));
        w.prompts.answer(int(QMessageBox::Discard));
        w.prompts.answer(broken);
        w.trigger("openFileAction");
        QCOMPARE(w.prompts.kinds(), (QStringList{"question", "open", "critical"}));
        QVERIFY(w.prompts.last().text.startsWith(QLatin1String("Progetto JSON non valido")));
        QCOMPARE(w.model()->sourcePath(), sandboxPath(QStringLiteral("kept.png")));
        QVERIFY(w.window.projectFilePath().isEmpty());
    }

    // Both kinds in one list, newest first, each reopening its own kind.
    void recentEntriesOfBothKinds()
    {
        const QString project = writeProject(QStringLiteral("alpha"));
        const QString database = sandboxPath(QStringLiteral("lab.pmdb"));
        {
            DroppingWindow w;
            w.window.openFile(project);
            w.prompts.answer(database);
            w.prompts.answer(QStringLiteral("Beta"));
            w.trigger("saveDatabaseAction");
            QVERIFY(w.window.isLinkedToDatabase());
            QVERIFY(w.window.projectFilePath().isEmpty());
        }
        QCOMPARE(
            QSettings().value("projects/recentFiles").toStringList(),
            (QStringList{QStringLiteral(R"({"databasePath":"%1","projectName":"Beta","type":"database"})")
                             .arg(database),
                         QStringLiteral(R"({"path":"%1","type":"file"})").arg(project)}));
        DroppingWindow w;
        QCOMPARE(w.recentEntries(),
                 (QStringList{"&1 Beta (lab.pmdb)", "&2 alpha.pmproj", "Clear recent files"}));
        QMenu *menu = w.window.findChild<QMenu *>(QStringLiteral("recentMenu"));
        menu->actions().at(1)->trigger();
        QCOMPARE(w.window.projectFilePath(), project);
        QVERIFY(!w.window.isLinkedToDatabase());
        QCOMPARE(w.model()->curves().first().points.size(), 2);

        // A project file that has gone leaves the list.
        QVERIFY(QFile::remove(project));
        QCOMPARE(w.recentEntries(), (QStringList{"&1 Beta (lab.pmdb)", "Clear recent files"}));
    }

    void pastedPictureIsSavedBesideTheProject()
    {
        // A file of that name already exists and must survive.
        const QString taken = writeChart(QStringLiteral("pasted.png"), 50, 40);
        const QByteArray takenBytes = fileBytes(taken);
        const QImage picture = testsupport::chartImage(320, 200);
        QGuiApplication::clipboard()->setImage(picture);
        DroppingWindow w;
        w.trigger("pasteAction");
        QCOMPARE(w.model()->sourceImage().size(), QSize(320, 200));
        QVERIFY(w.model()->sourcePath().isEmpty());
        QVERIFY(w.window.hasUnsavedChanges());
        QCOMPARE(w.status(), QStringLiteral("Calibration required: calibrate the X axis first."));

        w.prompts.answer(sandboxPath(QStringLiteral("pasted.pmproj")));
        w.trigger("saveFileAction");
        const QString written = sandboxPath(QStringLiteral("pasted-2.png"));
        QCOMPARE(projectDocument(sandboxPath(QStringLiteral("pasted.pmproj"))).value("sourcePath").toString(),
                 written);
        QCOMPARE(QImage(written).convertToFormat(QImage::Format_RGB32),
                 picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(fileBytes(taken), takenBytes);
    }

    void pasteAsksBeforeReplacingWork_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
        QTest::newRow("discard") << int(QMessageBox::Discard) << true;
    }

    void pasteAsksBeforeReplacingWork()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        QGuiApplication::clipboard()->setImage(testsupport::chartImage(100, 80));
        DroppingWindow w;
        w.model()->loadSource(writeChart(QStringLiteral("work.png")));
        w.prompts.answer(answer);
        w.trigger("pasteAction");
        QCOMPARE(w.prompts.kinds(), QStringList{"question"});
        QCOMPARE(w.prompts.last().title, QStringLiteral("Save changes"));
        QCOMPARE(w.model()->sourceImage().size(), replaced ? QSize(100, 80) : QSize(640, 480));
        QCOMPARE(w.model()->sourcePath().isEmpty(), replaced);
    }

    void pasteWithoutAPicture()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t2"));
        DroppingWindow w;
        w.trigger("pasteAction");
        QCOMPARE(w.status(), QStringLiteral("The clipboard holds no picture."));
        QVERIFY(w.model()->sourceImage().isNull());
        QVERIFY(w.prompts.asked().isEmpty());
    }

    void emptyViewSaysHowToBegin()
    {
        DroppingWindow w;
        auto *hint = w.window.findChild<QLabel *>(QStringLiteral("emptyViewHint"));
        QVERIFY(hint);
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(),
                 QStringLiteral("Drop an image or PDF here, paste one with Ctrl+V, or use Import source..."));
        i18n::Localization::instance().setLanguage(i18n::German);
        QCOMPARE(hint->text(), QStringLiteral("Bild oder PDF hier ablegen, mit Strg+V einfuegen oder dies "
                                              "verwenden: Quelle importieren..."));
        w.model()->loadSource(writeChart(QStringLiteral("hint.png")));
        QVERIFY(!hint->isVisible());
    }

    void dropOpensByKind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("sourceName");
        QTest::newRow("picture") << "dropped.png"
                                 << ""
                                 << "dropped.png";
        QTest::newRow("project file") << "dropped.pmproj"
                                      << ""
                                      << "dropped-project.png";
        QTest::newRow("database") << "dropped.pmdb"
                                  << "item"
                                  << "dropped-db.png";
        QTest::newRow("not a picture") << "junk.png"
                                       << "critical"
                                       << "";
        QTest::newRow("unknown kind") << "notes.txt"
                                      << "critical"
                                      << "";
    }

    void dropOpensByKind()
    {
        QFETCH(QString, file);
        QFETCH(QString, asked);
        QFETCH(QString, sourceName);
        const QString path = sandboxPath(file);
        QFile::remove(path);
        if (file == QLatin1String("dropped.png")) {
            writeChart(file);
        } else if (file.endsWith(QLatin1String(".pmproj"))) {
            QFile::rename(writeProject(QStringLiteral("dropped-project")), path);
        } else if (file.endsWith(QLatin1String(".pmdb"))) {
            ProjectModel stored;
            stored.loadSource(writeChart(QStringLiteral("dropped-db.png")));
            QVERIFY(ProjectDatabase::storeProject(path, stored, QStringLiteral("Dropped")));
        } else {
            QFile junk(path);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("definitely not a picture");
        }
        DroppingWindow w;
        w.prompts.answer(QStringLiteral("Dropped"));
        QVERIFY(w.drop(filesData({path})));
        QCOMPARE(w.prompts.kinds(), asked.isEmpty() ? QStringList() : QStringList{asked});
        QCOMPARE(QFileInfo(w.model()->sourcePath()).fileName(), sourceName);
        QCOMPARE(w.model()->sourceImage().isNull(), sourceName.isEmpty());
    }

    void dropOfADroppedPicture()
    {
        DroppingWindow w;
        auto *picture = new QMimeData;
        picture->setImageData(testsupport::chartImage(120, 90));
        QVERIFY(w.drop(picture));
        QCOMPARE(w.model()->sourceImage().size(), QSize(120, 90));

        auto *text = new QMimeData;
        text->setText(QStringLiteral("no file"));
        w.drop(text);
        QCOMPARE(w.model()->sourceImage().size(), QSize(120, 90));
    }

    void windowFileArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("file") << QStringList{"Plotmason", "chart.png"} << "chart.png";
        QTest::newRow("none") << QStringList{"Plotmason"} << "";
        QTest::newRow("first of two") << QStringList{"Plotmason", "a.pmproj", "b.png"} << "a.pmproj";
    }

    void windowFileArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(batch::windowFileArgument(arguments), file);
    }

    // `Plotmason chart.png`: a plain file name from the working directory.
    void commandLineFileOpensInTheWindow()
    {
        writeChart(QStringLiteral("chart.png"), 900, 700);
        const QByteArray program("Plotmason");
        const QByteArray argument("chart.png");
        char *argv[] = {const_cast<char *>(program.data()), const_cast<char *>(argument.data())};
        QVERIFY(!batch::isBatchInvocation(2, argv));
        DroppingWindow w;
        w.window.openFile(
            batch::windowFileArgument({QString::fromLatin1(program), QString::fromLatin1(argument)}));
        QCOMPARE(w.model()->sourcePath(), sandboxPath(QStringLiteral("chart.png")));
        QCOMPARE(w.model()->sourceImage().size(), QSize(900, 700));
    }

    void newPictureIsFitted_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("large page") << QSize(2500, 3300);
        QTest::newRow("wide") << QSize(3000, 500);
        QTest::newRow("small") << QSize(120, 100);
    }

    void newPictureIsFitted()
    {
        QFETCH(QSize, size);
        DroppingWindow w;
        w.window.openFile(writeChart(QStringLiteral("fit.png"), size.width(), size.height()));
        const QRect viewport = w.view()->viewport()->rect();
        const QRect picture = w.pictureOnScreen();
        QVERIFY2(viewport.adjusted(-1, -1, 1, 1).contains(picture), "the picture sticks out");
        // One side fills the view, up to fitInView's margin.
        const bool fills =
            qAbs(picture.width() - viewport.width()) <= 6 || qAbs(picture.height() - viewport.height()) <= 6;
        QVERIFY(fills);
    }

    void zoomCommands()
    {
        DroppingWindow w;
        w.window.openFile(writeChart(QStringLiteral("zoom.png"), 2000, 1500));
        const double fitted = w.view()->transform().m11();
        QVERIFY(fitted < 1.0);
        QCOMPARE(w.action("fitAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
        QCOMPARE(w.action("actualSizeAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+1")));
        w.trigger("zoomInAction");
        QVERIFY(qFuzzyCompare(w.view()->transform().m11(), fitted * 1.25));
        w.trigger("zoomOutAction");
        w.trigger("zoomOutAction");
        QVERIFY(qFuzzyCompare(w.view()->transform().m11(), fitted / 1.25));
        w.trigger("actualSizeAction");
        QCOMPARE(w.view()->transform().m11(), 1.0);
        // Zoomed by hand, a resize keeps the zoom; fitted, the picture follows the window.
        w.window.resize(1000, 700);
        QCOMPARE(w.view()->transform().m11(), 1.0);
        w.trigger("fitAction");
        const double refitted = w.view()->transform().m11();
        QVERIFY(refitted < fitted);
        w.window.resize(1200, 800);
        QVERIFY(w.view()->transform().m11() > refitted);
    }

    void storedViewStateWinsOverFitting()
    {
        const QJsonObject state{{"zoom", 2.0}, {"centerX", 320.0}, {"centerY", 240.0}};
        const QString project = writeProject(QStringLiteral("zoomed"), state);
        DroppingWindow w;
        w.window.openFile(project);
        QCOMPARE(w.view()->transform().m11(), 2.0);
    }

    // Ctrl+C in the points table: selected rows, or all without a selection,
    // written as the interface language writes numbers.
    void copyPointsFromTheTable()
    {
        i18n::Localization::instance().setLanguage(i18n::German);
        DroppingWindow w;
        w.model()->loadSource(writeChart(QStringLiteral("copy.png")));
        testsupport::calibrate(*w.model());
        w.model()->addPoint(QPointF(110, 490));
        w.model()->addPoint(QPointF(300, 250));
        w.model()->addPoint(QPointF(500, 100));
        QTableWidget *table = w.window.curvesDock()->pointsTable();
        QApplication::setActiveWindow(&w.window);
        table->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.model()->clearSelection();
        QVERIFY(table->selectionModel()->selectedRows().isEmpty());
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0,25\t0,5\n5\t12,5\n10\t20\n"));
        table->selectRow(1);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("5\t12,5\n"));
    }

    void loupeFollowsThePointer()
    {
        Window w;
        w.window.openFile(writeChart(QStringLiteral("loupe.png")));
        auto *loupe = w.window.findChild<Loupe *>(QStringLiteral("loupe"));
        QVERIFY(loupe && !loupe->isVisible());
        const QPointF pixel(200.5, 300.5);
        const QPointF position = w.view()->viewportTransform().map(pixel);
        QMouseEvent move(QEvent::MouseMove, position, w.view()->viewport()->mapToGlobal(position),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.view()->viewport(), &move);
        QVERIFY(loupe->isVisible());
        QCOMPARE(loupe->shownPixel(), pixel);
        QVERIFY(!loupe->geometry().contains(position.toPoint()));

        // Switched off, it stays away, also after a restart.
        w.trigger("loupeAction");
        QVERIFY(!loupe->isVisible());
        QApplication::sendEvent(w.view()->viewport(), &move);
        QVERIFY(!loupe->isVisible());
        QCOMPARE(QSettings().value("view/loupe").toBool(), false);
    }

    void curveColorFromTheDock()
    {
        DroppingWindow w;
        w.model()->loadSource(writeChart(QStringLiteral("colours.png")));
        testsupport::calibrate(*w.model());
        w.window.curvesDock()->addButton()->click();
        QCOMPARE(w.model()->curves().at(1).color, curvePalette().at(1));
        auto *button = w.window.findChild<QPushButton *>(QStringLiteral("curveColorButton"));
        QCOMPARE(button->text(), QStringLiteral("Color..."));
        w.prompts.answer(QColor(QStringLiteral("#123456")));
        button->click();
        QCOMPARE(w.prompts.last().kind, QStringLiteral("color"));
        QCOMPARE(w.prompts.lastOffer().value<QColor>(), curvePalette().at(1));
        QCOMPARE(w.model()->curves().at(1).color, QColor(QStringLiteral("#123456")));
        const QImage swatch =
            w.window.curvesDock()->curvesTable()->item(1, 0)->icon().pixmap(14, 14).toImage();
        QCOMPARE(swatch.pixelColor(7, 7), QColor(QStringLiteral("#123456")));

        // Cancelling keeps the colour.
        button->click();
        QCOMPARE(w.model()->curves().at(1).color, QColor(QStringLiteral("#123456")));
    }

    // Export dialogs start with the project's name filled in, from wherever it was last stored.
    void exportsProposeTheProjectName_data()
    {
        QTest::addColumn<QString>("storedAs");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("picture, CSV") << "picture"
                                      << "exportCsvAction"
                                      << "Pump A";
        QTest::newRow("project file, SVG") << "file"
                                           << "exportSvgAction"
                                           << "Pump B";
        QTest::newRow("database, Excel") << "database"
                                         << "exportExcelAction"
                                         << "Pump C";
        QTest::newRow("pasted picture, CSV") << "pasted"
                                             << "exportCsvAction"
                                             << "";
    }
    void exportsProposeTheProjectName()
    {
        QFETCH(QString, storedAs);
        QFETCH(QString, command);
        QFETCH(QString, proposed);
        DroppingWindow w;
        if (storedAs == QLatin1String("pasted"))
            w.model()->setSourceImage(testsupport::chartImage(), QString());
        else
            w.model()->loadSource(writeChart(QStringLiteral("Pump A.png")));
        testsupport::calibrate(*w.model());
        if (storedAs == QLatin1String("file")) {
            w.prompts.answer(sandboxPath(QStringLiteral("Pump B")));
            w.trigger("saveFileAction");
        } else if (storedAs == QLatin1String("database")) {
            w.prompts.answer(sandboxPath(QStringLiteral("names.pmdb")));
            w.prompts.answer(QStringLiteral("Pump C"));
            w.trigger("saveDatabaseAction");
        }
        if (command == QLatin1String("exportExcelAction"))
            w.prompts.answer(20);
        w.trigger(command.toLatin1().constData());
        QCOMPARE(w.prompts.last().kind, QStringLiteral("save"));
        QCOMPARE(w.prompts.lastOffer().toList().value(3).toString(), proposed);
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestDesktopHabits)
#include "tst_desktophabits.moc"
