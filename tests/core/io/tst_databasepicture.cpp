// The picture stored with a database project against the file of the same
// name on disk: the stored one is what the points were taken on.
#include "core/io/projectdatabase.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QUndoStack>

namespace {

bool samePixels(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

// The chart with a red block in a corner: same size, other pixels.
QImage retouched(QImage image)
{
    QPainter painter(&image);
    painter.fillRect(QRect(5, 5, 30, 20), Qt::red);
    return image;
}

// Another document under the same name: one A5 page with a diagonal line.
bool writeA5Pdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    QPainter painter(&writer);
    painter.drawLine(0, 0, 2000, 3000);
    return painter.end();
}

} // namespace

class TestDatabasePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedPictureWins_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("onDisk"); // what happens to the source file after storing
        QTest::addColumn<bool>("fileShown");
        QTest::newRow("picture unchanged") << false << "unchanged" << true;
        QTest::newRow("picture replaced, other size") << false << "other size" << false;
        QTest::newRow("picture retouched, same size") << false << "retouched" << false;
        QTest::newRow("picture deleted") << false << "deleted" << false;
        QTest::newRow("pdf unchanged") << true << "unchanged" << true;
        QTest::newRow("pdf replaced") << true << "other size" << false;
    }
    void storedPictureWins()
    {
        QFETCH(bool, pdf);
        QFETCH(QString, onDisk);
        QFETCH(bool, fileShown);
        const QString folder = testsupport::sandbox().filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        const QString database = QDir(folder).filePath(QStringLiteral("lab.pmdb"));
        const QString file =
            QDir(folder).filePath(pdf ? QStringLiteral("chart.pdf") : QStringLiteral("chart.png"));
        if (pdf)
            QVERIFY(QFile::rename(testsupport::writeLetterPdf(QStringLiteral("letter.pdf"), 3), file));
        else
            QVERIFY(testsupport::chartImage(600, 300).save(file));

        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(file));
        testsupport::calibrate(model);
        model.addPoint(QPointF(200, 250));
        const QImage stored = model.sourceImage();
        QVERIFY(ProjectDatabase::storeProject(database, model, QStringLiteral("Chart")));

        if (onDisk == QLatin1String("other size") && pdf)
            QVERIFY(writeA5Pdf(file));
        else if (onDisk == QLatin1String("other size"))
            QVERIFY(testsupport::chartImage(320, 100).save(file));
        else if (onDisk == QLatin1String("retouched"))
            QVERIFY(retouched(stored).save(file));
        else if (onDisk == QLatin1String("deleted"))
            QVERIFY(QFile::remove(file));

        ProjectModel loaded;
        QString error;
        QString differing = QStringLiteral("unset");
        QVERIFY2(ProjectDatabase::loadProject(database, QStringLiteral("Chart"), loaded, &error, &differing),
                 qPrintable(error));
        QVERIFY(samePixels(loaded.sourceImage(), stored));
        QCOMPARE(loaded.curves(), model.curves());
        QCOMPARE(loaded.calibration(), model.calibration());
        QCOMPARE(loaded.sourcePath(), file);
        QCOMPARE(loaded.undoStack()->count(), 0);
        // Only a file that is there and shows something else is named.
        const bool replaced = onDisk == QLatin1String("other size") || onDisk == QLatin1String("retouched");
        QCOMPARE(differing, replaced ? file : QString());
        // A PDF that is still the same keeps its pages; a stored picture has none.
        QCOMPARE(loaded.pdfPageCount(), fileShown && pdf ? 3 : 0);

        // Saving again with nothing changed keeps the stored picture for good.
        QVERIFY(ProjectDatabase::storeProject(database, loaded, QStringLiteral("Chart")));
        QFile::remove(file);
        ProjectModel reopened;
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("Chart"), reopened));
        QVERIFY(samePixels(reopened.sourceImage(), stored));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestDatabasePicture)
#include "tst_databasepicture.moc"
