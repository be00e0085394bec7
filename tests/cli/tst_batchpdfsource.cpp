// Whether a project's source is a PDF comes from the file, not from what the
// project file says about it.
#include "cli/batchpdfcurve.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The picture's pixel of a chart value on a page rendered to `picture`.
QPointF chartPixel(const QSize &picture, double x, double y)
{
    const QPointF point = chartpdf::chartPoint(x, y);
    return QPointF(point.x() * picture.width() / chartpdf::chartPageSize.width(),
                   point.y() * picture.height() / chartpdf::chartPageSize.height());
}

} // namespace

class TestBatchPdfSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourceKindComesFromTheFile_data()
    {
        QTest::addColumn<QString>("source");       // "pdf" or "png"
        QTest::addColumn<QJsonValue>("pageCount"); // stored "pdfPageCount"; undefined: key removed
        QTest::addColumn<QString>("refusal");      // empty when the curve is imported
        QTest::newRow("pdf as saved") << "pdf" << QJsonValue(1) << QString();
        QTest::newRow("pdf without the key") << "pdf" << QJsonValue(QJsonValue::Undefined) << QString();
        QTest::newRow("pdf with zero pages") << "pdf" << QJsonValue(0) << QString();
        QTest::newRow("pdf with a text") << "pdf" << QJsonValue("many") << QString();
        QTest::newRow("picture claiming pages")
            << "png" << QJsonValue(3) << QStringLiteral("The project's source is not a PDF.");
        QTest::newRow("missing file")
            << "gone" << QJsonValue(1) << QStringLiteral("File sorgente non trovato");
    }
    void sourceKindComesFromTheFile()
    {
        QFETCH(QString, source);
        QFETCH(QJsonValue, pageCount);
        QFETCH(QString, refusal);
        ProjectModel model;
        QString file =
            chartpdf::writePdf(QStringLiteral("chart.pdf"), chartpdf::chartPageSize, chartpdf::paintChart);
        if (source == QLatin1String("png")) {
            file = testsupport::sandbox().filePath(QStringLiteral("chart.png"));
            QVERIFY(testsupport::chartImage(600, 400).save(file));
        }
        QVERIFY(model.loadSource(file));
        const QSize picture = model.sourceImage().size();
        model.setAxisX(QLineF(chartPixel(picture, 2, 0), chartPixel(picture, 8, 0)), 2, 8);
        model.setAxisY(QLineF(chartPixel(picture, 0, 20), chartPixel(picture, 0, 80)), 20, 80);
        QJsonObject document = model.projectJson();
        if (pageCount.isUndefined())
            document.remove(QStringLiteral("pdfPageCount"));
        else
            document.insert(QStringLiteral("pdfPageCount"), pageCount);
        if (source == QLatin1String("gone"))
            document.insert(QStringLiteral("sourcePath"), testsupport::sandbox().filePath("none.pdf"));
        const QString project = testsupport::sandbox().filePath(QStringLiteral("edited.pmproj"));
        QVERIFY(testsupport::writeFile(project, QJsonDocument(document).toJson()));

        // As the batch mode opens a project: the picture is never drawn.
        ProjectModel opened;
        QString error;
        QVERIFY2(openProjectFile(project, opened, &error, ProjectPicture::Unread), qPrintable(error));
        const QList<QPointF> curve = chartpdf::curveData();
        const QPointF pixel = chartPixel(picture, curve[10].x(), curve[10].y()) + QPointF(1, 1);
        const bool imported = batch::importPdfCurve(opened, pixel, QStringLiteral("Measured"), &error);
        QCOMPARE(imported, refusal.isEmpty());
        if (!imported) {
            QVERIFY2(error.startsWith(refusal), qPrintable(error));
            return;
        }
        const int index = opened.indexOfCurve(QStringLiteral("Measured"));
        QVERIFY(index >= 0);
        const QList<CurvePoint> points = opened.curves()[index].points;
        QCOMPARE(points.size(), curve.size());
        for (int i = 0; i < curve.size(); ++i) {
            QVERIFY(std::abs(points[i].real.x() - curve[i].x()) < 1e-6 * qMax(1.0, std::abs(curve[i].x())));
            QVERIFY(std::abs(points[i].real.y() - curve[i].y()) < 1e-6 * qMax(1.0, std::abs(curve[i].y())));
        }
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchPdfSource)
#include "tst_batchpdfsource.moc"
