// Projects whose picture cannot be shown as stored: a project file whose
// picture is missing or unreadable, a database project whose file was replaced.
#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "tests/window/mainwindowfixture.h"

#include <QFile>

namespace {

QString sandboxPath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// A calibrated project on `picture` with two points, saved as a project file.
QString savedProject(const QString &picture, ProjectModel &model)
{
    if (!model.loadSource(picture))
        qWarning("cannot load %s", qPrintable(picture));
    testsupport::calibrate(model);
    model.addPoint(QPointF(200, 300));
    model.addPoint(QPointF(250, 280));
    const QString project = sandboxPath(QStringLiteral("unseen.pmproj"));
    QString error;
    if (!saveProjectFile(project, model, &error))
        qWarning("cannot save: %s", qPrintable(error));
    return project;
}

} // namespace

class TestMissingPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void projectOpensWithoutItsPicture_data()
    {
        QTest::addColumn<QString>("damage"); // "none", "missing" or "corrupt"
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("reason"); // what the warning quotes
        QTest::newRow("picture there") << "none" << false << QString();
        QTest::newRow("picture missing") << "missing" << false << "File sorgente non trovato";
        QTest::newRow("picture corrupt") << "corrupt" << false << "Impossibile leggere l'immagine";
        QTest::newRow("pdf missing") << "missing" << true << "File sorgente non trovato";
        QTest::newRow("pdf corrupt") << "corrupt" << true << "Impossibile aprire il PDF.";
    }
    void projectOpensWithoutItsPicture()
    {
        QFETCH(QString, damage);
        QFETCH(bool, pdf);
        QFETCH(QString, reason);
        const QString picture = pdf ? testsupport::writeLetterPdf(QStringLiteral("chart.pdf"), 2)
                                    : sandboxPath(QStringLiteral("chart.png"));
        if (!pdf)
            QVERIFY(testsupport::chartImage(640, 480).save(picture));
        ProjectModel saved;
        const QString project = savedProject(picture, saved);
        const QByteArray pictureBytes = testsupport::readFile(picture);
        if (damage == QLatin1String("missing"))
            QVERIFY(QFile::remove(picture));
        else if (damage == QLatin1String("corrupt"))
            QVERIFY(testsupport::writeFile(picture, pictureBytes.left(40)));

        Window w;
        w.window.openFile(project);
        QCOMPARE(w.model()->curves(), saved.curves());
        QCOMPARE(w.model()->calibration(), saved.calibration());
        QCOMPARE(w.model()->sourcePath(), picture);
        QCOMPARE(w.model()->sourceImage().isNull(), !reason.isEmpty());
        if (reason.isEmpty()) {
            QVERIFY(!w.prompts.kinds().contains(QStringLiteral("warning")));
            QCOMPARE(w.status(), QStringLiteral("Project opened."));
            return;
        }
        QCOMPARE(w.prompts.kinds(), QStringList{"warning"});
        QVERIFY2(w.prompts.last().text.contains(reason), qPrintable(w.prompts.last().text));
        QVERIFY(w.prompts.last().text.contains(QStringLiteral("\"Replace picture...\"")));
        QCOMPARE(w.status(), QStringLiteral("Project opened without its picture."));
        QVERIFY(w.action("replacePictureAction")->isEnabled());

        // A save keeps the points and the picture's path for the day it is back.
        w.trigger("saveAction");
        ProjectModel reread;
        QVERIFY(openProjectFile(project, reread, nullptr, ProjectPicture::Unread));
        QCOMPARE(reread.sourcePath(), picture);
        QCOMPARE(reread.curves(), saved.curves());

        // The picture chosen again goes under the same points and calibration.
        QVERIFY(testsupport::writeFile(picture, pictureBytes));
        w.prompts.answer(picture);
        w.trigger("replacePictureAction");
        QCOMPARE(w.model()->sourceImage().size(), saved.sourceImage().size());
        QCOMPARE(w.model()->curves(), saved.curves());
        QCOMPARE(w.model()->calibration(), saved.calibration());
    }

    // The stored picture is shown, and the window says which file differs from it.
    void databaseNamesTheDifferingFile()
    {
        const QString picture = sandboxPath(QStringLiteral("stored.png"));
        QVERIFY(testsupport::chartImage(640, 480).save(picture));
        ProjectModel model;
        savedProject(picture, model);
        const QString database = sandboxPath(QStringLiteral("lab.pmdb"));
        QVERIFY(ProjectDatabase::storeProject(database, model, QStringLiteral("Pump")));
        QVERIFY(testsupport::chartImage(300, 200).save(picture));

        Window w;
        w.prompts.answer(QStringLiteral("Pump"));
        w.window.openFile(database);
        QCOMPARE(w.model()->sourceImage().size(), QSize(640, 480));
        QCOMPARE(w.prompts.kinds(), (QStringList{"item", "warning"}));
        QVERIFY(w.prompts.last().text.contains(picture));
        QVERIFY(w.action("replacePictureAction")->isEnabled());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestMissingPicture)
#include "tst_missingpicture.moc"
