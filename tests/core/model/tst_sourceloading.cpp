#include "core/model/pdfpagework.h"
#include "core/model/projectmodel.h"
#include "core/model/sourceloading.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QUndoStack>

using testsupport::SignalLog;
using testsupport::writeLetterPdf;

namespace {

QString writeImage(const QString &name, const QImage &image, const char *format)
{
    const QString path = testsupport::sandbox().filePath(name);
    QImageWriter writer(path, format);
    if (!writer.write(image))
        qWarning("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

QString writeBytes(const QString &name, const QByteArray &bytes)
{
    const QString path = testsupport::sandbox().filePath(name);
    if (!testsupport::writeFile(path, bytes))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Width in pixels of the black bar at the top of a rendered page (the page
// itself may come back transparent rather than white).
int barWidth(const QImage &image)
{
    const auto isBar = [&](int x) {
        const QRgb pixel = image.pixel(x, 5);
        return qAlpha(pixel) > 128 && qGray(pixel) < 128;
    };
    int width = 0;
    while (width < image.width() && isBar(width))
        ++width;
    return width;
}

// How the forms of nestedFormsPdf name each other.
enum Wiring {
    OwnResources, // each form names the next in resources of its own
    Circular,     // and the last names the first again
    PageNames,    // the forms have no resources: every name is the page's
};

// A page drawing form 0, each form drawing the next `width` times and the last
// a line; the cross-references are written by hand, as a hostile file would have them.
QString nestedFormsPdf(const QString &name, int depth, int width, int wiring)
{
    QByteArray pageNames = "/C0 5 0 R";
    for (int level = 1; wiring == PageNames && level < depth; ++level)
        pageNames += " /C" + QByteArray::number(level) + ' ' + QByteArray::number(5 + level) + " 0 R";
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 400] /Resources << /XObject << " + pageNames +
            " >> >> /Contents 4 0 R >>",
        "<< /Length 6 >> stream\n/C0 Do\nendstream"};
    for (int level = 0; level < depth; ++level) {
        const bool last = level == depth - 1;
        QByteArray content = "0 0 m 600 400 l S";
        QByteArray resources = " /Resources << >>";
        if (!last || wiring == Circular) {
            const int next = last ? 0 : level + 1;
            const QByteArray drawn = "/C" + QByteArray::number(next) + " Do";
            QByteArrayList runs;
            for (int i = 0; i < (last ? 1 : width); ++i)
                runs.append(drawn);
            content = runs.join(' ');
            resources = wiring == PageNames ? QByteArray()
                                            : " /Resources << /XObject << /C" + QByteArray::number(next) +
                                                  ' ' + QByteArray::number(5 + next) + " 0 R >> >>";
        }
        objects.append("<< /Type /XObject /Subtype /Form /BBox [0 0 600 400]" + resources + " /Length " +
                       QByteArray::number(content.size()) + " >> stream\n" + content + "\nendstream");
    }
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype table = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(table) + "\n%%EOF\n";
    return writeBytes(name, pdf);
}

} // namespace

class TestSourceLoading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pdfRenderSize_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("size");
        QTest::newRow("150 dpi") << 150 << QSize(1275, 1650);
        QTest::newRow("36 dpi") << 36 << QSize(306, 396);
        QTest::newRow("72 dpi") << 72 << QSize(612, 792);
        QTest::newRow("100 dpi rounds half away") << 100 << QSize(850, 1100);
    }
    void pdfRenderSize()
    {
        QFETCH(int, dpi);
        QFETCH(QSize, size);
        const QString pdf = writeLetterPdf(QStringLiteral("letter.pdf"), 1);
        QString error;
        QCOMPARE(pdfPageCount(pdf, &error), 1);
        QCOMPARE(renderPdfPage(pdf, 0, dpi, &error).size(), size);
    }

    // A page is measured before it is rendered: too large a picture is refused
    // with its size and the highest resolution that fits.
    void oversizedPagesAreRefused_data()
    {
        QTest::addColumn<QSizeF>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("message"); // empty when allowed
        const QString tooLarge =
            QStringLiteral("La pagina a %1 dpi sarebbe un'immagine di %2 pixel (%3 MB), "
                           "oltre il limite di 1024 MB. La risoluzione più alta possibile "
                           "è %4 dpi.");
        QTest::newRow("letter at 1200 dpi") << QSizeF(612, 792) << 1200 << QString();
        QTest::newRow("A0 at 416 dpi") << QSizeF(2384, 3370) << 416 << QString();
        QTest::newRow("A0 at 417 dpi")
            << QSizeF(2384, 3370) << 417
            << tooLarge.arg(417).arg(QStringLiteral("13807 x 19518")).arg(1028).arg(416);
        QTest::newRow("A0 at 1200 dpi")
            << QSizeF(2384, 3370) << 1200
            << tooLarge.arg(1200).arg(QStringLiteral("39733 x 56167")).arg(8513).arg(416);
        // A hostile page box: its size is capped instead of overflowing.
        QTest::newRow("a page of 1e17 points") << QSizeF(1e17, 1e17) << 72
                                               << tooLarge.arg(72)
                                                      .arg(QStringLiteral("1073741824 x 1073741824"))
                                                      .arg(Q_INT64_C(4398046511104))
                                                      .arg(1);
    }
    void oversizedPagesAreRefused()
    {
        QFETCH(QSizeF, points);
        QFETCH(int, dpi);
        QFETCH(QString, message);
        QString error;
        QCOMPARE(pageRenderAllowed(points, dpi, &error), message.isEmpty());
        QCOMPARE(error, message);
    }

    void oversizedRenderLeavesTheModelAsItWas()
    {
        const QString path = testsupport::sandbox().filePath(QStringLiteral("a0.pdf"));
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A0));
            QPainter painter(&writer);
            painter.fillRect(QRectF(0, 0, 100, 100), Qt::black);
        }
        ProjectModel model;
        model.setRenderDpi(72);
        QVERIFY(model.loadSource(path));
        const QImage shown = model.sourceImage();
        const int steps = model.undoStack()->count();
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        model.setRenderDpi(1200);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.at(0).at(0).toString().endsWith(QStringLiteral("è 416 dpi.")));
        QCOMPARE(model.renderDpi(), 72);
        QCOMPARE(model.sourceImage(), shown);
        QCOMPARE(model.undoStack()->count(), steps); // no step for what failed
    }

    // Forms nested in forms are counted before the page is rendered, which
    // would otherwise draw every repetition of them and never finish.
    void nestedFormsAreBoundedBeforeRendering_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("wiring");
        QTest::addColumn<qint64>("runs");
        QTest::newRow("one form") << 1 << 1 << int(OwnResources) << qint64(1);
        QTest::newRow("three deep, ten wide") << 3 << 10 << int(OwnResources) << qint64(111);
        QTest::newRow("a form drawing itself") << 1 << 1 << int(Circular) << qint64(1);
        QTest::newRow("a circle through four") << 4 << 2 << int(Circular) << qint64(15);
        QTest::newRow("six deep, ten wide") << 6 << 10 << int(OwnResources) << qint64(111111);
        QTest::newRow("eight deep, ten wide") << 8 << 10 << int(OwnResources) << maximumPageFormRuns + 1;
        QTest::newRow("thirty deep, two wide") << 30 << 2 << int(OwnResources) << maximumPageFormRuns + 1;
        QTest::newRow("three deep by the page's names") << 3 << 10 << int(PageNames) << qint64(111);
        QTest::newRow("eight deep by the page's names")
            << 8 << 10 << int(PageNames) << maximumPageFormRuns + 1;
    }
    void nestedFormsAreBoundedBeforeRendering()
    {
        QFETCH(int, depth);
        QFETCH(int, width);
        QFETCH(int, wiring);
        QFETCH(qint64, runs);
        const QString pdf = nestedFormsPdf(QStringLiteral("forms.pdf"), depth, width, wiring);
        QCOMPARE(pageFormRuns(pdf, 0), runs);
        if (runs <= maximumPageFormRuns)
            return; // rendering such a page is the renderer's usual work
        QString error;
        QVERIFY(renderPdfPage(pdf, 0, 72, &error).isNull());
        QVERIFY2(error.contains(QStringLiteral("troppo complesso")), qPrintable(error));
    }

    void pdfFailures()
    {
        const QString pdf = writeLetterPdf(QStringLiteral("three.pdf"), 3);
        QString error;
        QVERIFY(renderPdfPage(pdf, 3, 72, &error).isNull());
        QCOMPARE(error, QStringLiteral("PDF o numero di pagina non valido."));
        error.clear();
        QVERIFY(renderPdfPage(pdf, -1, 72, &error).isNull());
        QCOMPARE(error, QStringLiteral("PDF o numero di pagina non valido."));
        const QString garbage = writeBytes(QStringLiteral("garbage.pdf"), "%PDF-1.4 this is not a pdf");
        error.clear();
        QCOMPARE(pdfPageCount(garbage, &error), 0);
        QCOMPARE(error, QStringLiteral("Impossibile aprire il PDF."));
        QCOMPARE(pdfPageCount(garbage, nullptr), 0);
    }

    void suffixDecidesPdf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isPdf");
        QTest::newRow("upper case PDF") << "CHART.PDF" << true;
        QTest::newRow("mixed case") << "chart.Pdf" << true;
        QTest::newRow("pdf then png") << "chart.pdf.png" << false;
    }
    void suffixDecidesPdf()
    {
        QFETCH(QString, name);
        QFETCH(bool, isPdf);
        const QString path =
            isPdf ? writeLetterPdf(name, 2) : writeBytes(name, pngBytes(testsupport::chartImage(64, 48)));
        ProjectModel model;
        QVERIFY(model.loadSource(path));
        QCOMPARE(model.pdfPageCount(), isPdf ? 2 : 0);
        QCOMPARE(model.sourceImage().size(), isPdf ? QSize(1275, 1650) : QSize(64, 48));
        QCOMPARE(model.sourcePath(), QFileInfo(path).absoluteFilePath());
    }

    void loadImageSignalsAndState()
    {
        const QString path = writeImage(QStringLiteral("chart.png"), testsupport::chartImage(), "png");
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(300, 300));
        SignalLog log(model);
        QVERIFY(model.loadSource(QStringLiteral("chart.png"))); // relative to the sandbox
        QCOMPARE(log.names(), (QStringList{"sourcePathChanged", "pdfInfoChanged", "sourceImageChanged"}));
        QCOMPARE(model.sourcePath(), QDir(testsupport::sandbox().path()).absoluteFilePath("chart.png"));
        QCOMPARE(model.sourceImage().size(), QSize(640, 480));
        // Loading never touches the calibration or the points.
        QVERIFY(model.calibration().isComplete());
        QCOMPARE(model.curves()[0].points.size(), 1);
        Q_UNUSED(path)
    }

    void pageSurvivesWithinRange()
    {
        const QString ten = writeLetterPdf(QStringLiteral("ten.pdf"), 10);
        const QString three = writeLetterPdf(QStringLiteral("three.pdf"), 3);
        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(ten));
        model.setPdfPage(7);
        QCOMPARE(model.pdfPage(), 7);
        QCOMPARE(barWidth(model.sourceImage()), qRound(8 * 50 * 36 / 72.0));
        SignalLog log(model);
        QVERIFY(model.loadSource(three));
        QCOMPARE(log.names(), (QStringList{"sourcePathChanged", "sourceImageChanged", "pdfInfoChanged"}));
        QCOMPARE(model.pdfPage(), 2);
        QCOMPARE(model.pdfPageCount(), 3);
        QCOMPARE(barWidth(model.sourceImage()), qRound(3 * 50 * 36 / 72.0));
    }

    void pageAndResolutionRerender()
    {
        const QString pdf = writeLetterPdf(QStringLiteral("pages.pdf"), 3);
        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(pdf));
        SignalLog log(model);
        model.setPdfPage(1);
        QCOMPARE(log.names(), (QStringList{"sourceImageChanged", "pdfInfoChanged"}));
        QCOMPARE(barWidth(model.sourceImage()), 50);
        log.clear();
        model.setPdfPage(99); // bounded to the last page
        QCOMPARE(model.pdfPage(), 2);
        log.clear();
        model.setPdfPage(2);
        QVERIFY(log.names().isEmpty());
        model.setRenderDpi(72);
        QCOMPARE(log.names(), (QStringList{"sourceImageChanged", "pdfInfoChanged"}));
        QCOMPARE(model.sourceImage().size(), QSize(612, 792));
    }

    void dpiChangeKeepsRealValues_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("finer") << 300;
        QTest::newRow("coarser") << 72;
        QTest::newRow("odd ratio") << 97;
    }
    void dpiChangeKeepsRealValues()
    {
        QFETCH(int, dpi);
        const QString pdf = writeLetterPdf(QStringLiteral("scaled.pdf"), 1);
        ProjectModel model;
        QVERIFY(model.loadSource(pdf)); // at 150 DPI
        testsupport::calibrate(model);
        model.addPoint(QPointF(200, 300));
        model.addPoint(QPointF(333.3, 444.4), QStringLiteral("Second"));
        const Calibration before = model.calibration();
        const QList<Curve> curves = model.curves();
        SignalLog log(model);
        model.setRenderDpi(dpi);
        QCOMPARE(log.names(), (QStringList{"sourceImageChanged", "calibrationChanged", "pointsChanged",
                                           "pdfInfoChanged"}));
        QCOMPARE(model.sourceImage().width(), qRound(612.0 * dpi / 72.0));
        const double factor = dpi / 150.0;
        const Calibration &after = model.calibration();
        QCOMPARE(after.axisXLine, QLineF(before.axisXLine.p1() * factor, before.axisXLine.p2() * factor));
        QCOMPARE(after.axisYLine, QLineF(before.axisYLine.p1() * factor, before.axisYLine.p2() * factor));
        for (int c = 0; c < curves.size(); ++c) {
            for (int p = 0; p < curves[c].points.size(); ++p) {
                const CurvePoint &point = model.curves()[c].points[p];
                QCOMPARE(point.real, curves[c].points[p].real); // exactly, not read again
                QCOMPARE(point.pixel, curves[c].points[p].pixel * factor);
                // A click on the same spot of the page now reads the same value.
                const QPointF read = after.pixelToReal(point.pixel);
                QVERIFY(testsupport::fuzzyEqual(read.x(), point.real.x(), 1e-9));
                QVERIFY(testsupport::fuzzyEqual(read.y(), point.real.y(), 1e-9));
            }
        }
    }

    void dpiChangeThatCannotRenderChangesNothing()
    {
        const QString pdf = writeLetterPdf(QStringLiteral("gone-before-dpi.pdf"), 1);
        ProjectModel model;
        QVERIFY(model.loadSource(pdf));
        testsupport::calibrate(model);
        model.addPoint(QPointF(200, 300));
        const QList<Curve> curves = model.curves();
        const Calibration calibration = model.calibration();
        QVERIFY(QFile::remove(pdf));
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        model.setRenderDpi(300);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(model.renderDpi(), ProjectModel::defaultRenderDpi);
        QCOMPARE(model.curves(), curves);
        QVERIFY(model.calibration() == calibration);
    }

    void pdfPagesAreOnWhitePaper()
    {
        // The test PDF paints no background: only the bar is drawn.
        const QString pdf = writeLetterPdf(QStringLiteral("transparent.pdf"), 1);
        QString error;
        const QImage page = renderPdfPage(pdf, 0, 36, &error);
        QCOMPARE(page.size(), QSize(306, 396));
        QVERIFY(!page.hasAlphaChannel());
        QCOMPARE(page.pixel(page.width() - 2, page.height() - 2), qRgb(255, 255, 255));
        QCOMPARE(page.pixel(150, 300), qRgb(255, 255, 255));
        QCOMPARE(qGray(page.pixel(5, 5)), 0);
    }

    void failedPageRenderKeepsShownPage()
    {
        const QString pdf = writeLetterPdf(QStringLiteral("vanishing.pdf"), 3);
        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(pdf));
        const QImage shown = model.sourceImage();
        QVERIFY(QFile::remove(pdf));
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        model.setPdfPage(1);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(model.pdfPage(), 0);
        QCOMPARE(model.sourceImage(), shown);
    }

    void imageAfterPdfResetsPages()
    {
        const QString pdf = writeLetterPdf(QStringLiteral("doc.pdf"), 3);
        const QString png = writeImage(QStringLiteral("after.png"), testsupport::chartImage(), "png");
        ProjectModel model;
        model.setRenderDpi(36);
        QVERIFY(model.loadSource(pdf));
        model.setPdfPage(2);
        QVERIFY(model.loadSource(png));
        QCOMPARE(model.pdfPageCount(), 0);
        QCOMPARE(model.pdfPage(), 0);
    }

    void exifOrientationIsApplied()
    {
        QImage wide(40, 20, QImage::Format_RGB32);
        wide.fill(Qt::red);
        const QString path = testsupport::sandbox().filePath(QStringLiteral("rotated.jpg"));
        QImageWriter writer(path, "jpeg");
        QVERIFY(writer.supportsOption(QImageIOHandler::ImageTransformation));
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(wide));
        QString error;
        QCOMPARE(loadImageFile(path, &error).size(), QSize(20, 40));
    }

    void badSources_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("messageStart");
        const QByteArray png = pngBytes(testsupport::chartImage());
        QTest::newRow("text as png") << "fake.png" << QByteArray("not an image at all")
                                     << "Impossibile leggere l'immagine: ";
        QTest::newRow("truncated png")
            << "cut.png" << png.left(png.size() / 3) << "Impossibile leggere l'immagine: ";
        QTest::newRow("empty file") << "empty.jpg" << QByteArray() << "Impossibile leggere l'immagine: ";
        QTest::newRow("no suffix") << "noext" << QByteArray("\x00\x01\x02", 3)
                                   << "Impossibile leggere l'immagine: ";
        QTest::newRow("garbage pdf") << "bad.pdf" << QByteArray("garbage bytes")
                                     << "Impossibile aprire il PDF.";
        QTest::newRow("empty pdf") << "empty.pdf" << QByteArray() << "Impossibile aprire il PDF.";
    }
    void badSources()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, messageStart);
        const QString good = writeImage(QStringLiteral("good.png"), testsupport::chartImage(), "png");
        ProjectModel model;
        QVERIFY(model.loadSource(good));
        const QImage before = model.sourceImage();
        SignalLog log(model);
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        QVERIFY(!model.loadSource(writeBytes(name, bytes)));
        QCOMPARE(log.names(), QStringList{"errorOccurred"});
        QVERIFY2(errors.at(0).at(0).toString().startsWith(messageStart),
                 qPrintable(errors.at(0).at(0).toString()));
        QCOMPARE(model.lastError(), errors.at(0).at(0).toString());
        QCOMPARE(model.sourcePath(), QFileInfo(good).absoluteFilePath());
        QCOMPARE(model.sourceImage(), before);
    }

    void missingFileQuotesPathAsTyped()
    {
        ProjectModel model;
        QVERIFY(!model.loadSource(QStringLiteral("nowhere/chart.png")));
        QCOMPARE(model.lastError(), QStringLiteral("File sorgente non trovato: nowhere/chart.png"));
        // A later success clears the old error.
        QVERIFY(model.loadSource(writeImage(QStringLiteral("ok.png"), testsupport::chartImage(), "png")));
        QVERIFY(model.lastError().isEmpty());
    }

    void setSourceImage()
    {
        ProjectModel model;
        model.setSourcePath(QStringLiteral("/old/path.png"));
        SignalLog log(model);
        model.setSourceImage(QImage(), QStringLiteral("/new.png"));
        QVERIFY(log.names().isEmpty());
        model.setSourceImage(testsupport::chartImage(), QStringLiteral("  "));
        QCOMPARE(log.names(), (QStringList{"pdfInfoChanged", "sourceImageChanged"}));
        QCOMPARE(model.sourcePath(), QStringLiteral("/old/path.png"));
        model.setSourceImage(testsupport::chartImage(), QStringLiteral("/db/chart.png"));
        QCOMPARE(model.sourcePath(), QStringLiteral("/db/chart.png"));
    }

    void filter()
    {
        QCOMPARE(sourceFileFilter(),
                 QStringLiteral("Grafici (*.jpg *.jpeg *.png *.bmp *.tif *.tiff *.pdf);;"
                                "Immagini (*.jpg *.jpeg *.png *.bmp *.tif *.tiff);;PDF (*.pdf)"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestSourceLoading)
#include "tst_sourceloading.moc"
