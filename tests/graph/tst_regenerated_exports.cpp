#include "core/model/projectmodel.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotrenderer.h"
#include "tests/graph/graphtestdata.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>

namespace {

// The two-curve project as a report would show it: thick curves, a title, a
// rotated label and the faded source picture.
struct Graph
{
    ProjectModel model;
    GraphSettings settings;
    QGraphicsScene scene;

    Graph()
    {
        graphtestdata::fillTwoCurveProject(model);
        model.setCurveStyle(0, QColor(QStringLiteral("#d32f2f")), 12.0);
        model.setCurveStyle(1, QColor(QStringLiteral("#1565c0")), 12.0);
        settings = initialGraphSettings(model);
        settings.title = QStringLiteral("Pump curves");
        settings.titleFont = QFont(QStringLiteral("Arial"), 40);
        settings.showBlueprint = true;
        GraphLabel label;
        label.text = QStringLiteral("Best point");
        label.pos = QPointF(900, 600);
        label.rotation = -30;
        label.font = QFont(QStringLiteral("Arial"), 36);
        label.color = QColor(QStringLiteral("#2e7d32"));
        settings.labels = {label};
        draw();
    }
    void draw() { drawGraph(scene, model, settings); }
    QGraphicsTextItem *firstLabel() const
    {
        for (QGraphicsItem *item : scene.items()) {
            if (item->data(graphitems::roleKey).toString() == graphitems::labelRole)
                return static_cast<QGraphicsTextItem *>(item);
        }
        return nullptr;
    }
};

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// The scene drawn straight into a picture of that size, as the exports place it.
QImage directRendering(QGraphicsScene &scene, const QSize &size)
{
    const QRectF source = graphExportSourceRect(scene);
    const QSize target = graphExportTargetSize(source);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.setWindow(0, 0, target.width(), target.height());
    scene.render(&painter, QRectF(0, 0, target.width(), target.height()), source, Qt::KeepAspectRatio);
    painter.end();
    return image;
}

// Share of pixels that differ clearly (more than 48 of 255 in a channel)
// once both pictures are halved with smoothing: what two renderers draw
// differently at the edges of lines and glyphs averages out, a missing or
// displaced curve does not.
double differingShare(const QImage &a, const QImage &b)
{
    const QSize half = a.size() / 2;
    const QImage x =
        a.convertToFormat(QImage::Format_RGB32).scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y =
        b.convertToFormat(QImage::Format_RGB32).scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 differing = 0;
    for (int row = 0; row < half.height(); ++row) {
        for (int column = 0; column < half.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            differing += d > 48 ? 1 : 0;
        }
    }
    return double(differing) / (double(half.width()) * half.height());
}

QList<double> numbers(const QString &text)
{
    QList<double> values;
    for (const QString &part : text.split(u' ', Qt::SkipEmptyParts))
        values.append(part.toDouble());
    return values;
}

QImage flattened(const QImage &image)
{
    QImage white(image.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter painter(&white);
    painter.drawImage(0, 0, image);
    painter.end();
    return white;
}

// The same picture is within 1.5 % of the direct rendering (text at its real
// size is rasterized a little differently by each reader), and the graph
// without its curves is clearly further away: the comparison can fail.
void compareWithScene(const QImage &rendered, Graph &graph)
{
    QVERIFY(!rendered.isNull());
    const QImage same = directRendering(graph.scene, rendered.size());
    const double sameShare = differingShare(rendered, same);
    graph.model.setCurveVisible(0, false);
    graph.model.setCurveVisible(1, false);
    graph.draw();
    const double otherShare = differingShare(rendered, directRendering(graph.scene, rendered.size()));
    graph.model.setCurveVisible(0, true);
    graph.model.setCurveVisible(1, true);
    graph.draw();
    QVERIFY2(sameShare < 0.015, qPrintable(QStringLiteral("same picture differs in %1").arg(sameShare)));
    QVERIFY2(otherShare > 4.0 * sameShare,
             qPrintable(QStringLiteral("other picture differs in %1").arg(otherShare)));
}

// The box of the words on the PDF's page, in points, as pdftotext reads them.
QRectF wordsBox(const QString &pdf, const QStringList &words)
{
    const QString html = testsupport::sandbox().filePath(QStringLiteral("words.html"));
    const testsupport::ToolResult result =
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, html});
    if (!result.started || result.exitCode != 0)
        return QRectF();
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QRectF box;
    QRegularExpressionMatchIterator it = word.globalMatch(QString::fromUtf8(testsupport::readFile(html)));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (words.contains(match.captured(5)))
            box |= QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                          QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
    }
    return box;
}

// The highest mark of resident memory of this process, in MiB; negative where unknown.
double peakResidentMiB()
{
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    const QRegularExpressionMatch match =
        peak.match(QString::fromLatin1(testsupport::readFile(QStringLiteral("/proc/self/status"))));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1.0;
}

} // namespace

class TestRegeneratedExports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sourceIsExactlyTheScene()
    {
        Graph graph;
        graph.settings.labels.clear();
        graph.draw();
        // The size set and nothing more: every text is laid out inside it.
        const QRectF source = graphExportSourceRect(graph.scene);
        QCOMPARE(source, QRectF(0, 0, 2362, 1476));
        QCOMPARE(graphExportTargetSize(source), QSize(2362, 1476));
        // The blueprint reaches the plot's frame only, whatever the picture's own margins.
        QVERIFY(graph.settings.showBlueprint);
    }

    void draggedLabelWidensTheSource()
    {
        Graph graph;
        QGraphicsTextItem *label = graph.firstLabel();
        label->setRotation(0);
        // Its right edge 200 units beyond the scene's right border.
        label->setPos(2362 + 200 - label->sceneBoundingRect().width(), 700);
        const QRectF source = graphExportSourceRect(graph.scene);
        QCOMPARE(source.left(), 0.0);
        QCOMPARE(source.right(), 2362.0 + 200.0);
        QCOMPARE(graphExportTargetSize(source), QSize(2362 + 200, 1476));
        label->setPos(-50.25, 700);
        QCOMPARE(graphExportSourceRect(graph.scene).left(), -50.25);
        QCOMPARE(graphExportTargetSize(graphExportSourceRect(graph.scene)).width(),
                 2413); // ceil(2362 + 50.25)
    }

    void targetSizeNeverEmpty()
    {
        QCOMPARE(graphExportTargetSize(QRectF(0, 0, 0.2, 0)), QSize(1, 1));
        QCOMPARE(graphExportTargetSize(QRectF(0, 0, 10.01, 3)), QSize(11, 3));
    }

    void jpgHasTheSizeAndResolution()
    {
        Graph graph;
        QCOMPARE(dotsPerMetre(300), 11811);
        QCOMPARE(dotsPerMetre(72), 2834);
        const QImage image = renderGraphImage(graph.scene, 300);
        QCOMPARE(image.size(), QSize(2362, 1476));
        QCOMPARE(image.dotsPerMeterX(), 11811);
        QCOMPARE(image.dotsPerMeterY(), 11811);
        QCOMPARE(image.format(), QImage::Format_RGB32);

        const QString file = path(QStringLiteral("graph.jpg"));
        QString error;
        QVERIFY2(writeGraphJpg(graph.scene, 300, file, &error), qPrintable(error));
        QCOMPARE(testsupport::readFile(file).left(3), QByteArray("\xff\xd8\xff"));
        const QImage read(file);
        QCOMPARE(read.size(), QSize(2362, 1476));
        QCOMPARE(read.dotsPerMeterX(), 11811);
        compareWithScene(read, graph);
    }

    void pdfHasThePageSize()
    {
        Graph graph;
        const QString file = path(QStringLiteral("graph.pdf"));
        QString error;
        QVERIFY2(writeGraphPdf(graph.scene, graph.settings, file, &error), qPrintable(error));
        const QByteArray pdf = testsupport::readFile(file);
        QVERIFY(pdf.startsWith("%PDF-"));
        // 20 x 12.5 cm are 566.93 x 354.33 points, written to the whole point.
        static const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[([^\\]]*)\\]"));
        const QRegularExpressionMatch match = mediaBox.match(QString::fromLatin1(pdf));
        QVERIFY(match.hasMatch());
        QCOMPARE(numbers(match.captured(1)), (QList<double>{0, 0, 567, 354}));

        const testsupport::ToolResult info = testsupport::runTool(QStringLiteral("pdfinfo"), {file});
        QVERIFY2(info.started, "pdfinfo (poppler-utils) is missing");
        static const QRegularExpression pages(QStringLiteral("Pages:\\s+1\\n"));
        static const QRegularExpression pageSize(QStringLiteral("Page size:\\s+567 x 354 pts"));
        QVERIFY(pages.match(QString::fromLatin1(info.output)).hasMatch());
        QVERIFY(pageSize.match(QString::fromLatin1(info.output)).hasMatch());

        Graph wide;
        wide.settings.dpi = 150;
        wide.settings.textLayoutInitialized = false; // texts placed for this size
        wide.draw();
        QVERIFY(writeGraphPdf(wide.scene, wide.settings, file, &error));
        // The target's pixels at 150 DPI, in points.
        const QSize target = graphExportTargetSize(graphExportSourceRect(wide.scene));
        QCOMPARE(numbers(mediaBox.match(QString::fromLatin1(testsupport::readFile(file))).captured(1)),
                 (QList<double>{0, 0, double(std::lround(target.width() / 150.0 * 72.0)),
                                double(std::lround(target.height() / 150.0 * 72.0))}));
    }

    void titleKeepsItsSizeAtEveryDpi()
    {
        // The title's words measured in the PDF at each DPI: only the
        // resolution changes, never the size on the page.
        QMap<int, QRectF> titles;
        for (const int dpi : {72, 300, 1200}) {
            Graph graph;
            graph.settings.dpi = dpi;
            graph.settings.labels.clear();
            graph.settings.showBlueprint = false;
            graph.settings.textLayoutInitialized = false; // placed for this DPI
            graph.draw();
            const QString file = path(QStringLiteral("title-%1.pdf").arg(dpi));
            QString error;
            QVERIFY2(writeGraphPdf(graph.scene, graph.settings, file, &error), qPrintable(error));
            titles[dpi] = wordsBox(file, {QStringLiteral("Pump"), QStringLiteral("curves")});
            QVERIFY2(!titles[dpi].isEmpty(), "pdftotext (poppler-utils) is missing or found no title");
        }
        for (const int dpi : {72, 1200}) {
            const QString at = QStringLiteral("at %1 DPI: %2 x %3 pt against %4 x %5 pt at 300 DPI")
                                   .arg(dpi)
                                   .arg(titles[dpi].width())
                                   .arg(titles[dpi].height())
                                   .arg(titles[300].width())
                                   .arg(titles[300].height());
            QVERIFY2(std::abs(titles[dpi].height() / titles[300].height() - 1.0) < 0.03, qPrintable(at));
            QVERIFY2(std::abs(titles[dpi].width() / titles[300].width() - 1.0) < 0.03, qPrintable(at));
        }
    }

    void oversizedJpgIsRefusedBeforeItsPicture_data()
    {
        QTest::addColumn<double>("widthCm");
        QTest::addColumn<double>("heightCm");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("reason");
        QTest::newRow("200 x 125 cm at 1200 DPI")
            << 200.0 << 125.0 << 1200
            << "The JPG would be (\\d+) x (\\d+) px, but a JPG can be at most 65500 px on a side\\. "
               "Lower the size or the DPI\\.";
        QTest::newRow("60 x 60 cm at 1200 DPI") << 60.0 << 60.0 << 1200
                                                << "The JPG would need (\\d+) MB of memory, more than the "
                                                   "1024 MB allowed\\. Lower the size or the "
                                                   "DPI\\.";
    }

    void oversizedJpgIsRefusedBeforeItsPicture()
    {
        QFETCH(double, widthCm);
        QFETCH(double, heightCm);
        QFETCH(int, dpi);
        QFETCH(QString, reason);
        Graph graph;
        graph.settings.widthCm = widthCm;
        graph.settings.heightCm = heightCm;
        graph.settings.dpi = dpi;
        graph.settings.labels.clear();
        graph.settings.textLayoutInitialized = false; // placed for this size
        const QString file = path(QStringLiteral("huge.jpg"));
        const double peakBefore = peakResidentMiB();
        QString error;
        // As the batch mode makes it, and from a drawn scene as the window does.
        QVERIFY(!exportGraphFile(graph.model, graph.settings, GraphFileFormat::Jpg, file, &error));
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^") + reason + QStringLiteral("$")).match(error);
        QVERIFY2(match.hasMatch(), qPrintable(error));
        if (match.lastCapturedIndex() == 2) {
            // The graph's pixels and the margin around them.
            const QSize pixels(match.captured(1).toInt(), match.captured(2).toInt());
            const QSize graphPixels = outputPixelSize(graph.settings);
            QVERIFY2(pixels.width() >= graphPixels.width() && pixels.width() < graphPixels.width() * 1.02,
                     qPrintable(error));
            QVERIFY2(pixels.height() >= graphPixels.height() && pixels.height() < graphPixels.height() * 1.02,
                     qPrintable(error));
        } else {
            QVERIFY(match.captured(1).toInt() > 1024);
        }
        graph.draw();
        QString windowError;
        QVERIFY(!writeGraphFile(graph.scene, graph.settings, GraphFileFormat::Jpg, file, &windowError));
        QCOMPARE(windowError, error);
        QVERIFY(!QFileInfo::exists(file));
        // Nothing of the picture's size was ever allocated.
        if (peakBefore > 0)
            QVERIFY2(peakResidentMiB() - peakBefore < 256.0, qPrintable(QString::number(peakResidentMiB())));
    }

    void pdfShowsTheScene()
    {
        Graph graph;
        const QString file = path(QStringLiteral("shown.pdf"));
        QVERIFY(writeGraphPdf(graph.scene, graph.settings, file));
        const QString prefix = path(QStringLiteral("shown-page"));
        const testsupport::ToolResult result = testsupport::runTool(
            QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), file, prefix});
        QVERIFY2(result.started, "pdftoppm (poppler-utils) is missing");
        QCOMPARE(result.exitCode, 0);
        const QImage page(prefix + QStringLiteral(".png"));
        QCOMPARE(page.size(), QSize(2363, 1475)); // 567 x 354 points (20 x 12.5 cm) at 300 DPI
        compareWithScene(page, graph);
    }

    void svgShowsTheScene()
    {
        Graph graph;
        const QString file = path(QStringLiteral("shown.svg"));
        QString error;
        QVERIFY2(writeGraphSvg(graph.scene, graph.settings, file, &error), qPrintable(error));
        const QByteArray svg = testsupport::readFile(file);
        QVERIFY(svg.contains("viewBox=\"0 0 2362 1476\""));
        QVERIFY(svg.contains("width=\"20.0000cm\" height=\"12.5000cm\""));
        QVERIFY(svg.contains("<title>Pump curves</title>"));
        const QString png = path(QStringLiteral("shown-svg.png"));
        const testsupport::ToolResult result =
            testsupport::runTool(QStringLiteral("rsvg-convert"),
                                 {QStringLiteral("-w"), QStringLiteral("590"), QStringLiteral("-h"),
                                  QStringLiteral("369"), file, QStringLiteral("-o"), png});
        QVERIFY2(result.started, "rsvg-convert (librsvg2-bin) is missing");
        QCOMPARE(result.exitCode, 0);
        const QImage picture(png);
        QCOMPARE(picture.size(), QSize(590, 369));
        compareWithScene(flattened(picture), graph);
    }

    void svgTitleFallsBack()
    {
        GraphSettings s;
        s.title = QStringLiteral("  Head  ");
        QCOMPARE(graphDocumentTitle(s), QStringLiteral("Head"));
        s.title = QStringLiteral(" ");
        QCOMPARE(graphDocumentTitle(s), QStringLiteral("Regenerated graph"));
    }

    void invalidAxesStillExport()
    {
        Graph graph;
        graph.settings.yLog = true; // yMin is 0
        graph.draw();
        const QString file = path(QStringLiteral("invalid.jpg"));
        QVERIFY(writeGraphFile(graph.scene, graph.settings, GraphFileFormat::Jpg, file));
        const QImage read(file);
        QCOMPARE(read.size(), QSize(2362, 1476));
        // The red message is wherever its font put it: found through the scene,
        // not at a spot that holds only for the fonts of one machine.
        const QGraphicsSimpleTextItem *message = nullptr;
        for (const QGraphicsItem *item : graph.scene.items()) {
            if (const auto *text = qgraphicsitem_cast<const QGraphicsSimpleTextItem *>(item))
                message = text;
        }
        QVERIFY(message);
        QVERIFY(message->text().startsWith(QLatin1String("Invalid axes.")));
        const QRectF source = graphExportSourceRect(graph.scene);
        const double scale = read.width() / source.width();
        const QRect box = QRectF((message->sceneBoundingRect().topLeft() - source.topLeft()) * scale,
                                 message->sceneBoundingRect().size() * scale)
                              .toAlignedRect()
                              .adjusted(-3, -3, 3, 3); // JPEG blurs the edges a little
        int redInside = 0;
        int redOutside = 0;
        for (int y = 0; y < read.height(); y += 2) {
            for (int x = 0; x < read.width(); x += 2) {
                const QRgb p = read.pixel(x, y);
                if (qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90)
                    ++(box.contains(x, y) ? redInside : redOutside);
            }
        }
        QVERIFY(redInside > 0);
        QCOMPARE(redOutside, 0);
        QVERIFY(!box.contains(300, 300));
        QCOMPARE(read.pixelColor(300, 300).lightness() > 250, true);
    }

    void batchExportMatchesTheScene_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("pdf") << int(GraphFileFormat::Pdf);
        QTest::newRow("jpg") << int(GraphFileFormat::Jpg);
        QTest::newRow("svg") << int(GraphFileFormat::Svg);
    }

    void batchExportMatchesTheScene()
    {
        QFETCH(int, format);
        Graph graph;
        graph.model.setRegeneratedGraphSettings(graph.settings.toJson());
        const QJsonObject stored = graph.model.regeneratedGraphSettings();
        const QString viaScene = path(QStringLiteral("scene.out"));
        const QString batch = path(QStringLiteral("batch.out"));
        QVERIFY(writeGraphFile(graph.scene, graph.settings, GraphFileFormat(format), viaScene));
        QString error;
        QVERIFY2(exportGraphFile(graph.model, initialGraphSettings(graph.model), GraphFileFormat(format),
                                 batch, &error),
                 qPrintable(error));
        QCOMPARE(graph.model.regeneratedGraphSettings(), stored); // the model is not touched
        QByteArray a = testsupport::readFile(viaScene);
        QByteArray b = testsupport::readFile(batch);
        QVERIFY(!a.isEmpty());
        if (GraphFileFormat(format) == GraphFileFormat::Pdf) {
            // Only the creation time may differ.
            static const QRegularExpression date(QStringLiteral("/CreationDate \\([^)]*\\)"));
            a = QString::fromLatin1(a).replace(date, QString()).toLatin1();
            b = QString::fromLatin1(b).replace(date, QString()).toLatin1();
        }
        QCOMPARE(a, b);
    }

    void failedWritesLeaveNoTrace_data() { testsupport::addUnwritableTargetRows(); }

    void failedWritesLeaveNoTrace()
    {
        QFETCH(QString, kind);
        Graph graph;
        for (GraphFileFormat format : {GraphFileFormat::Pdf, GraphFileFormat::Jpg, GraphFileFormat::Svg}) {
            const testsupport::UnwritableTarget target = testsupport::makeUnwritableTarget(kind);
            const QStringList before = testsupport::folderSnapshot(target.folder);
            QString error;
            QVERIFY(!writeGraphFile(graph.scene, graph.settings, format, target.path, &error));
            QVERIFY(!error.isEmpty());
            QCOMPARE(testsupport::folderSnapshot(target.folder), before);
        }
    }

    void failedWriteKeepsTheEarlierFile()
    {
        Graph graph;
        for (const QString &name :
             {QStringLiteral("kept.pdf"), QStringLiteral("kept.jpg"), QStringLiteral("kept.svg")}) {
            const QString file = path(name);
            QVERIFY(testsupport::writeFile(file, "earlier export"));
            const testsupport::ImmutableFile protection(file);
            if (!protection.isActive())
                QSKIP("chattr +i is not available on this file system");
            const GraphFileFormat format = name.endsWith(QLatin1String("pdf"))   ? GraphFileFormat::Pdf
                                           : name.endsWith(QLatin1String("jpg")) ? GraphFileFormat::Jpg
                                                                                 : GraphFileFormat::Svg;
            QString error;
            QVERIFY(!writeGraphFile(graph.scene, graph.settings, format, file, &error));
            QVERIFY(!error.isEmpty());
            QCOMPARE(testsupport::readFile(file), QByteArray("earlier export"));
        }
    }

    void failureTexts()
    {
        QCOMPARE(graphExportFailureText(GraphFileFormat::Pdf), QStringLiteral("Could not save the PDF."));
        QCOMPARE(graphExportFailureText(GraphFileFormat::Jpg), QStringLiteral("Could not save the JPG."));
        QCOMPARE(graphExportFailureText(GraphFileFormat::Svg), QStringLiteral("Could not save the SVG."));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestRegeneratedExports)
#include "tst_regenerated_exports.moc"
