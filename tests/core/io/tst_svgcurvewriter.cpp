#include "core/io/svgcurvewriter.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QXmlStreamReader>

#include <limits>

namespace {

const QString noSourceMessage = QStringLiteral("Nessuna immagine sorgente per l'esportazione SVG.");

Curve curve(const QString &name, const QColor &color, double lineWidth, const QList<QPointF> &pixels)
{
    Curve c;
    c.name = name;
    c.color = color;
    c.lineWidth = lineWidth;
    for (const QPointF &pixel : pixels)
        c.points.append(CurvePoint{pixel, QPointF(-pixel.x(), -pixel.y()), name});
    return c;
}

QString svgPath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// The drawing elements of the file with their attributes and title text.
struct Element
{
    QString tag;
    QXmlStreamAttributes attributes;
    QString title;
};

QList<Element> drawingElements(const QByteArray &svg, QXmlStreamAttributes *root)
{
    QList<Element> elements;
    QXmlStreamReader reader(svg);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("svg"))
        return {};
    *root = reader.attributes();
    while (reader.readNextStartElement()) {
        Element element{reader.name().toString(), reader.attributes(), QString()};
        while (reader.readNextStartElement()) {
            if (reader.name() == QLatin1String("title"))
                element.title = reader.readElementText();
            else
                reader.skipCurrentElement();
        }
        elements.append(element);
    }
    // Reading on to the end of the document shows anything after the root element.
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        qWarning("SVG does not parse: %s", qPrintable(reader.errorString()));
    return reader.hasError() ? QList<Element>() : elements;
}

QString value(const Element &element, const char *name)
{
    return element.attributes.value(QLatin1String(name)).toString();
}

} // namespace

class TestSvgCurveWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesExactDocument()
    {
        const QString path = svgPath(QStringLiteral("exact.svg"));
        const Curve c = curve(QStringLiteral("A & <B>"), QColor(0x1e, 0x88, 0xe5), 2.5,
                              {QPointF(10, 20), QPointF(30.5, 40.25), QPointF(0.1, 479)});
        QString error;
        QVERIFY2(writeCurvesSvg(path, {c}, QSize(640, 480), &error), qPrintable(error));
        QCOMPARE(testsupport::readFile(path),
                 QByteArray(
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"640\" height=\"480\" "
                     "viewBox=\"0 0 640 480\">\n"
                     "<polyline points=\"10,20 30.5,40.25 0.1,479\" fill=\"none\" stroke=\"#1e88e5\" "
                     "stroke-opacity=\"1\" stroke-width=\"2.5\" stroke-linecap=\"round\" "
                     "stroke-linejoin=\"round\"><title>A &amp; &lt;B&gt;</title></polyline>\n"
                     "</svg>\n"));
    }

    void writesVisibleCurvesWithPoints()
    {
        Curve hidden = curve(QStringLiteral("hidden"), Qt::black, 1, {QPointF(1, 1), QPointF(2, 2)});
        hidden.visible = false;
        // A control character and an unpaired surrogate cannot be written in XML and are dropped;
        // the line break survives as a character reference.
        const QString oddName = QStringLiteral("\"quoted\" 'single' ä\x01 \u20ac\nline") + QChar(0xD800);
        const QList<Curve> curves = {
            curve(QStringLiteral("first"), QColor(255, 0, 0, 128), 3, {QPointF(5, 6), QPointF(7.125, 8)}),
            hidden,
            curve(QStringLiteral("empty"), Qt::green, 2, {}),
            curve(oddName, QColor(0, 0, 255), 0.1, {QPointF(50, 60)}),
            curve(QStringLiteral("broken"), Qt::black, 2,
                  {QPointF(1, std::numeric_limits<double>::quiet_NaN()), QPointF(3, 4), QPointF(5, 6)}),
        };
        const QString path = svgPath(QStringLiteral("structure.svg"));
        QVERIFY(writeCurvesSvg(path, curves, QSize(300, 200)));

        QXmlStreamAttributes root;
        const QList<Element> elements = drawingElements(testsupport::readFile(path), &root);
        QCOMPARE(root.value(QLatin1String("width")), QLatin1String("300"));
        QCOMPARE(root.value(QLatin1String("height")), QLatin1String("200"));
        QCOMPARE(root.value(QLatin1String("viewBox")), QLatin1String("0 0 300 200"));
        QCOMPARE(elements.size(), 3);

        const Element &line = elements.at(0);
        QCOMPARE(line.tag, QStringLiteral("polyline"));
        QCOMPARE(line.title, QStringLiteral("first"));
        QCOMPARE(value(line, "points"), QStringLiteral("5,6 7.125,8"));
        QCOMPARE(value(line, "stroke"), QStringLiteral("#ff0000"));
        QCOMPARE(value(line, "stroke-opacity"), QStringLiteral("0.501960784313725")); // 128 / 255
        QCOMPARE(value(line, "stroke-width"), QStringLiteral("3"));
        QCOMPARE(value(line, "fill"), QStringLiteral("none"));

        // A single point becomes a filled dot, at least one pixel wide.
        const Element &dot = elements.at(1);
        QCOMPARE(dot.tag, QStringLiteral("circle"));
        QCOMPARE(dot.title, QStringLiteral("\"quoted\" 'single' ä \u20ac\nline"));
        QCOMPARE(value(dot, "cx"), QStringLiteral("50"));
        QCOMPARE(value(dot, "cy"), QStringLiteral("60"));
        QCOMPARE(value(dot, "r"), QStringLiteral("1"));
        QCOMPARE(value(dot, "fill"), QStringLiteral("#0000ff"));
        QCOMPARE(value(dot, "fill-opacity"), QStringLiteral("1"));

        // A point without finite coordinates cannot be drawn and is left out.
        QCOMPARE(elements.at(2).title, QStringLiteral("broken"));
        QCOMPARE(value(elements.at(2), "points"), QStringLiteral("3,4 5,6"));
    }

    void rendersWithRsvg()
    {
        const QList<Curve> curves = {
            curve(QStringLiteral("red"), QColor(255, 0, 0), 6, {QPointF(20, 50), QPointF(180, 50)}),
            curve(QStringLiteral("half blue"), QColor(0, 0, 255, 128), 6,
                  {QPointF(150, 10), QPointF(150, 30)}),
            curve(QStringLiteral("green dot"), QColor(0, 160, 0), 5, {QPointF(40, 80)}),
        };
        const QString path = svgPath(QStringLiteral("render.svg"));
        const QString png = svgPath(QStringLiteral("render.png"));
        QVERIFY(writeCurvesSvg(path, curves, QSize(200, 100)));
        const testsupport::ToolResult result =
            testsupport::runTool(QStringLiteral("rsvg-convert"), {QStringLiteral("-o"), png, path});
        QVERIFY2(result.started, "rsvg-convert (librsvg2-bin) is needed");
        QVERIFY2(result.exitCode == 0, result.errors.constData());

        const QImage image = QImage(png).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(200, 100));
        QCOMPARE(image.pixelColor(100, 50), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(22, 52), QColor(255, 0, 0)); // round cap beyond the first point
        const QColor blue = image.pixelColor(150, 20);
        QCOMPARE(blue.blue(), 255);
        QVERIFY2(qAbs(blue.alpha() - 128) <= 2, qPrintable(QString::number(blue.alpha())));
        QCOMPARE(image.pixelColor(40, 80), QColor(0, 160, 0));
        QCOMPARE(image.pixelColor(100, 90).alpha(), 0);
        QCOMPARE(image.pixelColor(5, 5).alpha(), 0);
    }

    void failsWithoutSourceSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("null") << QSize();
        QTest::newRow("zero width") << QSize(0, 100);
        QTest::newRow("zero height") << QSize(100, 0);
        QTest::newRow("negative") << QSize(-5, 10);
    }

    void failsWithoutSourceSize()
    {
        QFETCH(QSize, size);
        const QString path = svgPath(QStringLiteral("nosource.svg"));
        QString error;
        QVERIFY(
            !writeCurvesSvg(path, {curve(QStringLiteral("c"), Qt::red, 2, {QPointF(1, 1)})}, size, &error));
        QCOMPARE(error, noSourceMessage);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!writeCurvesSvg(path, {}, size));
    }

    void failsOnUnwritableTarget_data() { testsupport::addUnwritableTargetRows(); }

    void failsOnUnwritableTarget()
    {
        QFETCH(QString, kind);
        const testsupport::UnwritableTarget target = testsupport::makeUnwritableTarget(kind);
        const QStringList before = testsupport::folderSnapshot(target.folder);
        QString error;
        QVERIFY(!writeCurvesSvg(target.path, {}, QSize(10, 10), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::folderSnapshot(target.folder), before);
    }

    void leavesProtectedFileIntact()
    {
        const QString path = svgPath(QStringLiteral("protected.svg"));
        QVERIFY(testsupport::writeFile(path, "<svg/>"));
        const testsupport::ImmutableFile protection(path);
        if (!protection.isActive())
            QSKIP("chattr +i is not available on this file system");
        QString error;
        QVERIFY(!writeCurvesSvg(path, {}, QSize(10, 10), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::readFile(path), QByteArray("<svg/>"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestSvgCurveWriter)
#include "tst_svgcurvewriter.moc"
