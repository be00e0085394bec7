#include "core/model/projectmodel.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "graph/plotrenderer.h"
#include "tests/graph/figuredata.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>

using namespace figuredata;

namespace {

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// The boxes of the words pdftotext finds on the page, in points.
QList<QRectF> wordBoxes(const QString &pdf)
{
    const QString html = path(QStringLiteral("words.html"));
    const testsupport::ToolResult result =
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, html});
    if (!result.started || result.exitCode != 0)
        return {};
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"));
    QList<QRectF> boxes;
    QRegularExpressionMatchIterator it = word.globalMatch(QString::fromUtf8(testsupport::readFile(html)));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        boxes.append(QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                            QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())));
    }
    return boxes;
}

QString pdfInfo(const QString &pdf, const QString &field)
{
    const testsupport::ToolResult info = testsupport::runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression line(QStringLiteral("^%1:\\s+(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(info.output)).captured(1).trimmed();
}

// Share of pixels that differ clearly (more than 64 of 255 in a channel).
double differingShare(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32).scaled(x.size());
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            if (std::abs(qRed(p[column]) - qRed(q[column])) > 64 ||
                std::abs(qGreen(p[column]) - qGreen(q[column])) > 64 ||
                std::abs(qBlue(p[column]) - qBlue(q[column])) > 64)
                ++differing;
        }
    }
    return double(differing) / (qint64(x.width()) * x.height());
}

} // namespace

class TestGraphFigures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pdfReadsBackAsLaidOut_data()
    {
        addFigureColumns();
        QTest::newRow("single-column pump curves") << 0 << 8.5 << 6.5 << 300;
        QTest::newRow("values to 4e13") << 3 << 20.0 << 12.5 << 150;
        QTest::newRow("twelve long names") << 4 << 8.5 << 6.5 << 72;
    }
    void pdfReadsBackAsLaidOut()
    {
        ProjectModel model;
        const GraphSettings s = figureOfRow(model);
        const QString pdf = path(QStringLiteral("figure.pdf"));
        QString error;
        QVERIFY2(exportGraphFile(model, s, GraphFileFormat::Pdf, pdf, &error), qPrintable(error));

        // The page is the size set, to the point PDF writes, and carries the title.
        static const QRegularExpression size(QStringLiteral("([0-9.]+) x ([0-9.]+) pts"));
        const QRegularExpressionMatch page = size.match(pdfInfo(pdf, QStringLiteral("Page size")));
        QVERIFY2(page.hasMatch(), "pdfinfo (poppler-utils) is missing");
        const QSizeF points(page.captured(1).toDouble(), page.captured(2).toDouble());
        QVERIFY(std::abs(points.width() - s.widthCm / 2.54 * 72.0) <= 0.5);
        QVERIFY(std::abs(points.height() - s.heightCm / 2.54 * 72.0) <= 0.5);
        QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), s.title);

        // Every word on the page and clear of every other.
        const QList<QRectF> words = wordBoxes(pdf);
        QVERIFY2(words.size() > 10, "pdftotext (poppler-utils) is missing or found no text");
        const QRectF sheet = QRectF(QPointF(0, 0), points).adjusted(-0.5, -0.5, 0.5, 0.5);
        for (qsizetype i = 0; i < words.size(); ++i) {
            QVERIFY2(sheet.contains(words.at(i)), qPrintable(QString::number(i)));
            for (qsizetype j = i + 1; j < words.size(); ++j) {
                const QRectF common = words.at(i).intersected(words.at(j));
                QVERIFY2(common.width() * common.height() < 0.5,
                         qPrintable(QStringLiteral("words %1 and %2").arg(i).arg(j)));
            }
        }

        // The JPG is the size set, to the pixel.
        const QString jpg = path(QStringLiteral("figure.jpg"));
        QVERIFY2(exportGraphFile(model, s, GraphFileFormat::Jpg, jpg, &error), qPrintable(error));
        const QSize pixels = QImageReader(jpg).size();
        QVERIFY(std::abs(pixels.width() - s.widthCm / 2.54 * s.dpi) <= 1.0);
        QVERIFY(std::abs(pixels.height() - s.heightCm / 2.54 * s.dpi) <= 1.0);
    }

    void denseCurvesExportLighterAndLookTheSame()
    {
        // 20,000 points of a smooth curve across a 20 cm graph.
        Figure f{0, 100, 0, 60};
        QList<QPointF> pixels;
        for (int i = 0; i < 20000; ++i) {
            const double x = i / 200.0;
            const double y = 30 + 20 * std::sin(x / 9.0) + 3 * std::sin(x / 1.7);
            pixels.append(QPointF(x * 10.0, 1000.0 - y / 60.0 * 1000.0));
        }
        f.curves = {{{0, 30}, {100, 30}}};
        f.names = {QStringLiteral("Dense")};
        ProjectModel model;
        fill(model, f);
        QVERIFY(model.appendPoints(QStringLiteral("Dense"), pixels));
        GraphSettings s = settingsOf(f, 20, 12.5, 600);
        s.curveSmoothing = CurveSmoothing::StraightLines;
        QGraphicsScene scene;
        drawGraph(scene, model, s);
        qsizetype drawn = 0;
        for (const QGraphicsItem *item : scene.items()) {
            if (const auto *line = qgraphicsitem_cast<const QGraphicsPathItem *>(item);
                line && line->zValue() == 10.0)
                drawn += line->path().elementCount();
        }
        QVERIFY(drawn > 20000);

        const QString svg = path(QStringLiteral("dense.svg"));
        QVERIFY(writeGraphFile(scene, s, GraphFileFormat::Svg, svg));
        const QByteArray text = testsupport::readFile(svg);
        // Vertices written: numbers in the SVG, two per vertex, far fewer than drawn.
        static const QRegularExpression number(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
        const qsizetype written = QString::fromUtf8(text).count(number) / 2;
        QVERIFY2(written < drawn / 3, qPrintable(QStringLiteral("%1 of %2").arg(written).arg(drawn)));

        // The PDF at 600 DPI looks as the scene drawn with every vertex.
        const QString pdf = path(QStringLiteral("dense.pdf"));
        QVERIFY(writeGraphFile(scene, s, GraphFileFormat::Pdf, pdf));
        const QString prefix = path(QStringLiteral("dense-page"));
        const testsupport::ToolResult result = testsupport::runTool(
            QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, prefix});
        QVERIFY2(result.started, "pdftoppm (poppler-utils) is missing");
        const QImage page(prefix + QStringLiteral(".png"));
        QImage full(outputPixelSize(s), QImage::Format_RGB32);
        full.fill(Qt::white);
        QPainter painter(&full);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        scene.render(&painter, QRectF(full.rect()), scene.sceneRect());
        painter.end();
        QVERIFY2(differingShare(full, page) < 0.005, qPrintable(QString::number(differingShare(full, page))));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestGraphFigures)
#include "tst_graphfigures.moc"
