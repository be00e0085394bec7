#include "core/model/sourceloading.h"
#include "pdfvector/contentreader.h"
#include "pdfvector/pagedrawing.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QPainterPath>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

using chartpdf::PageEdit;

namespace {

const QSize pageSize(600, 400);

// A node as the test drew it: painter coordinates in points, y down.
struct Drawn
{
    PathStep step;
    QPointF point;
    QPointF control1;
    QPointF control2;
};
using DrawnNodes = QList<Drawn>;

const QList<QPointF> polylineData = {
    {50.125, 300.5}, {120.25, 210.75}, {200.0625, 250.3125}, {330.5, 80.875}, {480.75, 120.125}};

DrawnNodes polylineNodes()
{
    DrawnNodes nodes;
    for (const QPointF &point : polylineData)
        nodes.append({nodes.isEmpty() ? PathStep::MoveTo : PathStep::LineTo, point, {}, {}});
    return nodes;
}

// Where a point of the page (y up) lands on the picture, worked out from how a
// page turned clockwise by `rotate` degrees looks; `box` is the visible box.
QPointF expectedPixel(const QPointF &page, const QRectF &box, int rotate, const QSize &image)
{
    const double l = box.left(), r = box.right(), b = box.top(), t = box.bottom();
    const double u = page.x(), v = page.y();
    double x = u - l, y = t - v, width = r - l, height = t - b;
    if (rotate == 90) {
        x = v - b, y = u - l;
        std::swap(width, height);
    } else if (rotate == 180) {
        x = r - u, y = v - b;
    } else if (rotate == 270) {
        x = t - v, y = r - u;
        std::swap(width, height);
    }
    return QPointF(x * image.width() / width, y * image.height() / height);
}

struct Frame
{
    PageEdit edit;
    QRectF box; // the visible box, y up

    // Page coordinates of a point the painter drew, and its expected pixel.
    QPointF page(const QPointF &drawn) const
    {
        const QPointF unwrapped(drawn.x(), pageSize.height() - drawn.y());
        return edit.wrapInForm ? edit.formMatrix.map(unwrapped) : unwrapped;
    }
    QPointF pixel(const QPointF &drawn, const QSize &image) const
    {
        return expectedPixel(page(drawn), box, edit.rotate, image);
    }
};

Frame frame(int rotate, bool cropped, bool wrapped)
{
    Frame frame;
    frame.edit.rotate = rotate;
    frame.box = QRectF(0, 0, pageSize.width(), pageSize.height());
    if (cropped) {
        frame.edit.cropBox = QRectF(30.5, 20.25, 520, 350);
        frame.box = frame.edit.cropBox;
    }
    frame.edit.wrapInForm = wrapped;
    frame.edit.formMatrix = QTransform(0.75, 0.125, -0.25, 0.5, 90, 40);
    return frame;
}

QString writeFramed(const QString &name, const chartpdf::Painting &paint, const Frame &frame)
{
    const QString drawn = chartpdf::writePdf(name + QStringLiteral("-drawn.pdf"), pageSize, paint);
    return chartpdf::editFirstPage(drawn, name + QStringLiteral(".pdf"), frame.edit);
}

PageDrawing readOrFail(const QString &path, int dpi)
{
    PageDrawing drawing;
    QString error;
    if (!readPageDrawing(path, 0, dpi, &drawing, &error))
        qWarning("cannot read %s: %s", qPrintable(path), qPrintable(error));
    return drawing;
}

void paintWith(QPainter &painter, const QPen &pen, const QBrush &brush, const QPainterPath &path)
{
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.drawPath(path);
}

QPainterPath pathOf(const DrawnNodes &nodes)
{
    QPainterPath path;
    for (const Drawn &node : nodes) {
        if (node.step == PathStep::MoveTo)
            path.moveTo(node.point);
        else if (node.step == PathStep::LineTo)
            path.lineTo(node.point);
        else
            path.cubicTo(node.control1, node.control2, node.point);
    }
    return path;
}

// Darkness-weighted centre of the pixels of one row (or column) of the picture.
double darkCentre(const QImage &image, int line, bool alongRow)
{
    double weight = 0.0, sum = 0.0;
    const int length = alongRow ? image.width() : image.height();
    for (int i = 0; i < length; ++i) {
        const QColor color = alongRow ? image.pixelColor(i, line) : image.pixelColor(line, i);
        const double dark = color.alphaF() * (1.0 - color.valueF());
        weight += dark;
        sum += dark * (i + 0.5);
    }
    return weight > 0 ? sum / weight : -1.0;
}

} // namespace

Q_DECLARE_METATYPE(DrawnNodes)

class TestPageDrawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void vertices_data()
    {
        QTest::addColumn<DrawnNodes>("nodes");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<bool>("cropped");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<int>("dpi");

        const DrawnNodes bezier = {{PathStep::MoveTo, {60.5, 350.25}, {}, {}},
                                   {PathStep::CurveTo, {300.75, 200.5}, {150.125, 50.5}, {250.25, 380.75}},
                                   {PathStep::CurveTo, {520.5, 90.125}, {350.5, 20.25}, {480.0625, 10.5}}};
        const DrawnNodes triangle = {{PathStep::MoveTo, {100.5, 100.5}, {}, {}},
                                     {PathStep::LineTo, {300.25, 120.75}, {}, {}},
                                     {PathStep::LineTo, {200.125, 330.5}, {}, {}},
                                     {PathStep::LineTo, {100.5, 100.5}, {}, {}}};
        for (int rotate : {0, 90, 180, 270}) {
            for (bool cropped : {false, true}) {
                const QByteArray frame = QByteArray::number(rotate) + (cropped ? " cropped" : "");
                QTest::newRow("polyline " + frame) << polylineNodes() << rotate << cropped << false << 150;
                QTest::newRow("bezier " + frame) << bezier << rotate << cropped << false << 72;
                QTest::newRow("closed " + frame + " in form") << triangle << rotate << cropped << true << 300;
            }
        }
        QTest::newRow("bezier in form") << bezier << 0 << false << true << 150;
        QTest::newRow("polyline in form, turned") << polylineNodes() << 90 << true << true << 96;
    }

    void vertices()
    {
        QFETCH(DrawnNodes, nodes);
        QFETCH(int, rotate);
        QFETCH(bool, cropped);
        QFETCH(bool, wrapped);
        QFETCH(int, dpi);
        const Frame framed = frame(rotate, cropped, wrapped);
        const QString path = writeFramed(
            QStringLiteral("vertices"),
            [&](QPainter &painter) { paintWith(painter, QPen(Qt::blue, 1.5), Qt::NoBrush, pathOf(nodes)); },
            framed);

        const PageDrawing drawing = readOrFail(path, dpi);
        QCOMPARE(drawing.frame.imageSize, renderPdfPage(path, 0, dpi, nullptr).size());
        QCOMPARE(drawing.paths.size(), 1);
        const QList<PathNode> &read = drawing.paths.first().nodes;
        QCOMPARE(read.size(), nodes.size());
        const QSize image = drawing.frame.imageSize;
        const double pixelTolerance = 1e-6 * qMax(image.width(), image.height());
        const double pointTolerance = 1e-6 * qMax(pageSize.width(), pageSize.height());
        const QTransform pixelToPage = drawing.pageToPixel.inverted();
        for (int i = 0; i < nodes.size(); ++i) {
            QCOMPARE(read[i].step, nodes[i].step);
            const QPointF expected = framed.pixel(nodes[i].point, image);
            QVERIFY2(QLineF(read[i].point, expected).length() <= pixelTolerance,
                     qPrintable(QStringLiteral("node %1: (%2, %3) instead of (%4, %5)")
                                    .arg(i)
                                    .arg(read[i].point.x(), 0, 'g', 12)
                                    .arg(read[i].point.y(), 0, 'g', 12)
                                    .arg(expected.x(), 0, 'g', 12)
                                    .arg(expected.y(), 0, 'g', 12)));
            QVERIFY(QLineF(pixelToPage.map(read[i].point), framed.page(nodes[i].point)).length() <=
                    pointTolerance);
            if (nodes[i].step == PathStep::CurveTo) {
                QVERIFY(QLineF(read[i].control1, framed.pixel(nodes[i].control1, image)).length() <=
                        pixelTolerance);
                QVERIFY(QLineF(read[i].control2, framed.pixel(nodes[i].control2, image)).length() <=
                        pixelTolerance);
            }
        }
    }

    void style_data()
    {
        QTest::addColumn<QPen>("pen");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QList<double>>("dashes");

        QTest::newRow("solid red") << QPen(QColor(200, 30, 40), 2.5) << false << QList<double>();
        QPen dashed(QColor(0, 128, 0), 2.0, Qt::DashLine);
        QTest::newRow("dashed green") << dashed << false << QList<double>{8.0, 4.0};
        QPen custom(QColor(10, 20, 250), 0.5);
        custom.setDashPattern({6.0, 2.0, 1.0, 2.0});
        QTest::newRow("custom dashes, filled") << custom << true << QList<double>{3.0, 1.0, 0.5, 1.0};
    }

    void style()
    {
        QFETCH(QPen, pen);
        QFETCH(bool, filled);
        QFETCH(QList<double>, dashes);
        const QColor fill(250, 200, 0);
        const QString path =
            chartpdf::writePdf(QStringLiteral("style.pdf"), pageSize, [&](QPainter &painter) {
                QPainterPath shape;
                shape.addPolygon(QPolygonF(polylineData));
                paintWith(painter, pen, filled ? QBrush(fill) : QBrush(), shape);
            });
        const PageDrawing drawing = readOrFail(path, 150);
        QVERIFY(!drawing.paths.isEmpty());
        const PathStyle &style = drawing.paths.last().style;
        QVERIFY(style.stroked);
        QCOMPARE(style.strokeColor.rgb(), pen.color().rgb());
        QVERIFY(testsupport::fuzzyEqual(style.lineWidth, pen.widthF(), 1e-9));
        QCOMPARE(style.dashes.size(), dashes.size());
        for (int i = 0; i < dashes.size(); ++i)
            QVERIFY2(testsupport::fuzzyEqual(style.dashes[i], dashes[i], 1e-6),
                     qPrintable(QString::number(style.dashes[i])));
        bool anyFilled = false;
        for (const DrawnPath &drawn : drawing.paths) {
            if (drawn.style.filled && drawn.style.fillColor.rgb() == fill.rgb())
                anyFilled = true;
        }
        QCOMPARE(anyFilled, filled);
    }

    // The picture the program renders and the paths read agree: a thin line
    // sits where the reader puts it, to a small fraction of a pixel.
    void pictureAgreement_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<bool>("cropped");
        QTest::addColumn<int>("dpi");
        for (int rotate : {0, 90, 180, 270}) {
            for (int dpi : {72, 150, 217}) {
                QTest::addRow("%d degrees, %d dpi", rotate, dpi) << rotate << false << dpi;
                QTest::addRow("%d degrees, %d dpi, cropped", rotate, dpi) << rotate << true << dpi;
            }
        }
    }

    void pictureAgreement()
    {
        QFETCH(int, rotate);
        QFETCH(bool, cropped);
        QFETCH(int, dpi);
        const Frame framed = frame(rotate, cropped, false);
        // One vertical and one horizontal line on the page, at odd positions.
        const QString path = writeFramed(
            QStringLiteral("agreement"),
            [](QPainter &painter) {
                painter.setPen(QPen(Qt::black, 2.0));
                painter.drawLine(QPointF(211.37, 40), QPointF(211.37, 360));
                painter.drawLine(QPointF(60, 187.63), QPointF(540, 187.63));
            },
            framed);
        const PageDrawing drawing = readOrFail(path, dpi);
        const QImage picture = renderPdfPage(path, 0, dpi, nullptr);
        QCOMPARE(picture.size(), drawing.frame.imageSize);
        QCOMPARE(drawing.paths.size(), 2);
        for (const DrawnPath &line : drawing.paths) {
            const QPointF a = line.nodes.first().point, b = line.nodes.last().point;
            const bool vertical = std::fabs(a.x() - b.x()) < 1e-6;
            // Measured across the line, half way along it.
            const QPointF middle = (a + b) / 2;
            const int along = vertical ? int(middle.y()) : int(middle.x());
            const double measured = darkCentre(picture, along, vertical);
            const double expected = vertical ? a.x() : a.y();
            QVERIFY2(std::fabs(measured - expected) < 0.05,
                     qPrintable(QStringLiteral("line at %1, picture shows %2").arg(expected).arg(measured)));
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing" << 0 << "Impossibile aprire il PDF.";
        QTest::newRow("not a PDF") << "garbage" << 0 << "Impossibile aprire il PDF.";
        QTest::newRow("truncated to its header") << "truncated" << 0 << "Impossibile aprire il PDF.";
        QTest::newRow("page beyond the end") << "valid" << 1 << "PDF o numero di pagina non valido.";
        QTest::newRow("negative page") << "valid" << -1 << "PDF o numero di pagina non valido.";
        QTest::newRow("password") << "encrypted" << 0 << "Il PDF è protetto da una password.";
    }

    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(int, page);
        QFETCH(QString, message);
        const QString valid =
            chartpdf::writePdf(QStringLiteral("valid.pdf"), pageSize,
                               [](QPainter &painter) { painter.drawPolyline(QPolygonF(polylineData)); });
        QString path = testsupport::sandbox().filePath(kind + QStringLiteral(".pdf"));
        if (kind == QLatin1String("garbage"))
            testsupport::writeFile(path, QByteArray(5000, 'x'));
        else if (kind == QLatin1String("truncated"))
            testsupport::writeFile(path, testsupport::readFile(valid).left(20));
        else if (kind == QLatin1String("valid"))
            path = valid;
        else if (kind == QLatin1String("encrypted"))
            path = chartpdf::encrypt(valid, QStringLiteral("encrypted.pdf"), QStringLiteral("secret"));

        PageDrawing drawing;
        drawing.segmentCount = 42;
        QString error;
        QVERIFY(!readPageDrawing(path, page, 150, &drawing, &error));
        QCOMPARE(error, message);
        QCOMPARE(drawing.segmentCount, 42); // untouched on failure
    }

    // Damage inside the page's drawing: the reader keeps what it understands.
    void damagedContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("form");
        QTest::addColumn<int>("paths");
        QTest::addColumn<int>("segments");

        QTest::newRow("missing operands") << QByteArray("10 m 20 30 l 40 50 l S") << QByteArray() << 1 << 1;
        QTest::newRow("extra operands") << QByteArray("7 0 0 m 9 5 5 l S") << QByteArray() << 1 << 1;
        QTest::newRow("a long run of bare numbers")
            << QByteArray(QByteArray("1 ").repeated(500) + "0 0 m 5 5 l S") << QByteArray() << 1 << 1;
        QTest::newRow("unbalanced Q") << QByteArray("Q Q 0 0 m 10 10 l S Q") << QByteArray() << 1 << 1;
        QTest::newRow("unknown form") << QByteArray("/Nope Do 0 0 m 1 1 l S") << QByteArray() << 1 << 1;
        QTest::newRow("form drawing itself")
            << QByteArray("/F0 Do") << QByteArray("0 0 m 5 5 l S /F0 Do") << 1 << 1;
        QTest::newRow("bad tokens") << QByteArray("0 0 m ) 5 5 l > 7 7 l S") << QByteArray() << 1 << 2;
        QTest::newRow("unterminated array") << QByteArray("[1 2 0 d 0 0 m 3 3 l S") << QByteArray() << 1 << 1;
        QTest::newRow("inline image")
            << QByteArray("BI /W 1 /H 1 /BPC 8 /CS /G ID x EI 0 0 m 2 2 l S") << QByteArray() << 1 << 1;
        QTest::newRow("painted without path") << QByteArray("S f B n") << QByteArray() << 0 << 0;
        QTest::newRow("clip only") << QByteArray("0 0 100 100 re W n") << QByteArray() << 0 << 0;
    }

    void damagedContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, form);
        QFETCH(int, paths);
        QFETCH(int, segments);
        const QString path = chartpdf::contentPdf(QStringLiteral("damaged.pdf"), content, form);
        PageDrawing drawing;
        QString error;
        QVERIFY2(readPageDrawing(path, 0, 72, &drawing, &error), qPrintable(error));
        QCOMPARE(drawing.paths.size(), paths);
        QCOMPARE(drawing.segmentCount, segments);
    }

    // Pages that would take too much memory or time stop with a message.
    void enormous_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("form");

        QByteArray manySegments = "0 0 m";
        for (int i = 0; i < 1100; ++i)
            manySegments += " 1 1 l";
        QTest::newRow("segments") << manySegments + " S" << QByteArray();
        QTest::newRow("content bytes") << QByteArray(5000, ' ') + "0 0 m 1 1 l S" << QByteArray();
        // Every run of a form counts its operators again.
        QTest::newRow("operators") << QByteArray("/F0 Do /F0 Do /F0 Do")
                                   << QByteArray(40, 'n').replace("n", "n ");
        QByteArray saves;
        for (int i = 0; i < 100; ++i)
            saves += "q ";
        QTest::newRow("saved states") << saves << QByteArray();
        QByteArray formRuns;
        for (int i = 0; i < 30; ++i)
            formRuns += "/F0 Do ";
        QTest::newRow("form runs") << formRuns << QByteArray(" ");
    }

    void enormous()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, form);
        const QString path = chartpdf::contentPdf(QStringLiteral("enormous.pdf"), content, form);
        ContentLimits limits;
        limits.maximumContentBytes = 4096;
        limits.maximumSegments = 1000;
        limits.maximumOperators = 100;
        limits.maximumSavedStates = 50;
        limits.maximumFormRuns = 20;
        QPDF pdf;
        pdf.processFile(path.toUtf8().constData());
        QPDFObjectHandle page = QPDFPageDocumentHelper(pdf).getAllPages().front().getObjectHandle();
        PageDrawing drawing;
        QCOMPARE(readContentPaths(page, QTransform(), &drawing, limits), ContentOutcome::TooLarge);
        QVERIFY(drawing.paths.isEmpty());
        // Within the default limits the same page reads.
        PageDrawing full;
        QCOMPARE(readContentPaths(page, QTransform(), &full), ContentOutcome::Complete);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestPageDrawing)
#include "tst_pagedrawing.moc"
