#include "core/io/workbookwriter.h"
#include "core/model/curvepath.h"
#include "core/model/spline.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cmath>
#include <limits>

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString noPointsMessage = QStringLiteral("Nessuna curva con punti da esportare.");
const QString tooLargeMessage = QStringLiteral("Troppi dati per un foglio di lavoro Excel.");
const double nan = std::numeric_limits<double>::quiet_NaN();

const QStringList expectedParts = {
    QStringLiteral("[Content_Types].xml"),        QStringLiteral("_rels/.rels"),
    QStringLiteral("docProps/app.xml"),           QStringLiteral("xl/workbook.xml"),
    QStringLiteral("xl/_rels/workbook.xml.rels"), QStringLiteral("xl/styles.xml"),
    QStringLiteral("xl/worksheets/sheet1.xml"),   QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels"),
    QStringLiteral("xl/drawings/drawing1.xml"),   QStringLiteral("xl/drawings/_rels/drawing1.xml.rels"),
    QStringLiteral("xl/charts/chart1.xml"),
};

// Reads the workbook with openpyxl, and the chart part with zipfile and
// ElementTree (openpyxl does not load charts). Any warning fails the run.
const char pythonInspector[] = R"(
import json, posixpath, sys, warnings, zipfile
import xml.etree.ElementTree as ET
import openpyxl
warnings.simplefilter("error")
path = sys.argv[1]
workbook = openpyxl.load_workbook(path)
sheet = workbook[workbook.sheetnames[0]]
rows = [list(row) for row in sheet.iter_rows(values_only=True)]
ns = {"c": "http://schemas.openxmlformats.org/drawingml/2006/chart",
      "a": "http://schemas.openxmlformats.org/drawingml/2006/main"}
with zipfile.ZipFile(path) as archive:
    bad = archive.testzip()
    names = archive.namelist()
    missing = []
    for item in ET.fromstring(archive.read("[Content_Types].xml")):
        if item.tag.endswith("Override") and item.get("PartName").lstrip("/") not in names:
            missing.append(item.get("PartName"))
    for name in names:
        if name.endswith(".rels"):
            base = posixpath.dirname(posixpath.dirname(name))
            for relation in ET.fromstring(archive.read(name)):
                target = posixpath.normpath(posixpath.join(base, relation.get("Target")))
                if target not in names:
                    missing.append(target)
    chart = ET.fromstring(archive.read("xl/charts/chart1.xml"))
scatter = chart.find(".//c:scatterChart", ns)
series = []
for ser in scatter.findall("c:ser", ns):
    def values(axis):
        return [float(v.text) for v in ser.findall("c:%s/c:numRef/c:numCache/c:pt/c:v" % axis, ns)]
    alpha = ser.find("c:spPr/a:ln/a:solidFill/a:srgbClr/a:alpha", ns)
    series.append({
        "name": ser.find("c:tx/c:strRef/c:strCache/c:pt/c:v", ns).text,
        "nameRef": ser.find("c:tx/c:strRef/c:f", ns).text,
        "xRef": ser.find("c:xVal/c:numRef/c:f", ns).text,
        "yRef": ser.find("c:yVal/c:numRef/c:f", ns).text,
        "xCount": int(ser.find("c:xVal/c:numRef/c:numCache/c:ptCount", ns).get("val")),
        "x": values("xVal"), "y": values("yVal"),
        "color": ser.find("c:spPr/a:ln/a:solidFill/a:srgbClr", ns).get("val"),
        "alpha": None if alpha is None else int(alpha.get("val")),
        "width": int(ser.find("c:spPr/a:ln", ns).get("w")),
        "smooth": ser.find("c:smooth", ns).get("val"),
    })
print(json.dumps({
    "sheets": workbook.sheetnames, "rows": rows, "bad": bad, "missing": missing,
    "style": scatter.find("c:scatterStyle", ns).get("val"),
    "axisTitles": ["".join(title.itertext()) for title in chart.findall(".//c:valAx/c:title", ns)],
    "legend": chart.find(".//c:legend", ns) is not None,
    "series": series}))
)";

Curve curve(const QString &name, const QList<QPointF> &reals)
{
    Curve c;
    c.name = name;
    for (const QPointF &real : reals)
        c.points.append(CurvePoint{QPointF(real.y(), real.x()), real, name});
    return c;
}

QList<QPointF> reals(const Curve &c)
{
    QList<QPointF> points;
    for (const CurvePoint &point : c.points)
        points.append(point.real);
    return points;
}

QString samplePath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// The parts of an archive of stored entries, read from the local headers.
QMap<QString, QByteArray> archiveParts(const QByteArray &archive, QStringList *order = nullptr)
{
    QMap<QString, QByteArray> parts;
    qsizetype at = 0;
    while (at + 30 <= archive.size() && archive.mid(at, 4) == "PK\x03\x04") {
        const quint32 size = qFromLittleEndian<quint32>(archive.constData() + at + 18);
        const quint16 nameLength = qFromLittleEndian<quint16>(archive.constData() + at + 26);
        const QString name = QString::fromUtf8(archive.mid(at + 30, nameLength));
        parts.insert(name, archive.mid(at + 30 + nameLength, size));
        if (order)
            order->append(name);
        at += 30 + nameLength + size;
    }
    return parts;
}

// Cell reference -> value text of the sheet (the <v> number or the inline string).
QMap<QString, QString> sheetCells(const QByteArray &sheet, QString *dimension)
{
    QMap<QString, QString> cells;
    QXmlStreamReader reader(sheet);
    QString reference;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("dimension"))
            *dimension = reader.attributes().value(QLatin1String("ref")).toString();
        else if (reader.name() == QLatin1String("c"))
            reference = reader.attributes().value(QLatin1String("r")).toString();
        else if (reader.name() == QLatin1String("v") || reader.name() == QLatin1String("t"))
            cells.insert(reference, reader.readElementText());
    }
    if (reader.hasError())
        qWarning("sheet does not parse: %s", qPrintable(reader.errorString()));
    return cells;
}

QJsonObject inspectWithPython(const QString &path)
{
    const testsupport::ToolResult result =
        testsupport::runTool(python, {QStringLiteral("-c"), QString::fromUtf8(pythonInspector), path});
    if (!result.started)
        qWarning("python3 with openpyxl is needed");
    else if (result.exitCode != 0)
        qWarning("python3 failed: %s", result.errors.constData());
    return QJsonDocument::fromJson(result.output).object();
}

// The sample: odd names, a curve kept as acquired, one resampled, a lone
// point, a hidden and an empty curve that stay out.
QList<Curve> sampleCurves()
{
    Curve first = curve(QStringLiteral("R&D <\"α\"> 'β' ✓"),
                        {QPointF(0.1, 1.0 / 3.0), QPointF(-2.75, 1e-5), QPointF(1234567890123456.7, -0.0),
                         QPointF(3, 2e300), QPointF(5, nan)});
    first.parameterName = QStringLiteral("T");
    first.parameterValue = QStringLiteral("25 °C");
    first.color = QColor(0x1e, 0x88, 0xe5);
    Curve hidden = curve(QStringLiteral("hidden"), {QPointF(1, 1), QPointF(2, 2)});
    hidden.visible = false;
    Curve second = curve(QStringLiteral("Zweite Kurve"), {QPointF(0, 0), QPointF(1, 10)});
    second.color = QColor(255, 0, 0, 128);
    second.lineWidth = 0.5;
    Curve single = curve(QStringLiteral("single"), {QPointF(7.5, -8.25)});
    single.parameterValue = QStringLiteral("7");
    return {first, hidden, curve(QStringLiteral("empty"), {}), second, single};
}

constexpr int samplePointsPerCurve = 4;

// What the sheet should hold for the sample, column pair by column pair.
QList<QList<QPointF>> sampleColumns(const QList<Curve> &curves)
{
    return {reals(curves.at(0)), resampleCurve(reals(curves.at(3)), samplePointsPerCurve),
            reals(curves.at(4))};
}

bool sameNumber(const QJsonValue &value, double expected)
{
    if (!std::isfinite(expected))
        return value.isNull();
    return value.isDouble() && value.toDouble() == expected;
}

// Keeps the sample and what it holds for scripts/check-workbook-libreoffice.sh.
void keepSampleIfAsked(const QString &path, const QList<Curve> &curves)
{
    const QString keep = qEnvironmentVariable("PLOTMASON_KEEP_WORKBOOK");
    if (keep.isEmpty())
        return;
    QFile::remove(keep);
    QVERIFY(QFile::copy(path, keep));
    QJsonArray names, columns;
    for (const Curve *c : {&curves.at(0), &curves.at(3), &curves.at(4)})
        names.append(c->name);
    for (const QList<QPointF> &points : sampleColumns(curves)) {
        QJsonArray xs, ys;
        for (const QPointF &p : points) {
            xs.append(std::isfinite(p.x()) ? QJsonValue(p.x()) : QJsonValue());
            ys.append(std::isfinite(p.y()) ? QJsonValue(p.y()) : QJsonValue());
        }
        columns.append(xs);
        columns.append(ys);
    }
    QVERIFY(
        testsupport::writeFile(keep + QStringLiteral(".expected.json"),
                               QJsonDocument(QJsonObject{{"names", names}, {"columns", columns}}).toJson()));
}

} // namespace

class TestWorkbookWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failsWithoutPoints_data()
    {
        QTest::addColumn<QList<Curve>>("curves");
        QTest::addColumn<QString>("message");
        Curve hidden = curve(QStringLiteral("hidden"), {QPointF(1, 2)});
        hidden.visible = false;
        QTest::newRow("no curves") << QList<Curve>() << noPointsMessage;
        QTest::newRow("empty curves")
            << QList<Curve>{curve(QStringLiteral("a"), {}), curve(QStringLiteral("b"), {})}
            << noPointsMessage;
        QTest::newRow("points only in hidden curves")
            << QList<Curve>{hidden, curve(QStringLiteral("b"), {})}
            << QStringLiteral(
                   "Nessuna curva visibile con punti da esportare: le curve con punti sono nascoste.");
    }

    void failsWithoutPoints()
    {
        QFETCH(QList<Curve>, curves);
        QFETCH(QString, message);
        const QString fresh = samplePath(QStringLiteral("never.xlsx"));
        QString error;
        QVERIFY(!writeCurvesWorkbook(fresh, curves, 100, &error));
        QCOMPARE(error, message);
        QVERIFY(!QFile::exists(fresh));

        const QString existing = samplePath(QStringLiteral("existing.xlsx"));
        QVERIFY(testsupport::writeFile(existing, "earlier workbook"));
        QVERIFY(!writeCurvesWorkbook(existing, curves, 100));
        QCOMPARE(testsupport::readFile(existing), QByteArray("earlier workbook"));
    }

    void writesWellFormedParts()
    {
        const QString path = samplePath(QStringLiteral("parts.xlsx"));
        QString error;
        QVERIFY2(writeCurvesWorkbook(path, sampleCurves(), samplePointsPerCurve, &error), qPrintable(error));
        QStringList order;
        const QMap<QString, QByteArray> parts = archiveParts(testsupport::readFile(path), &order);
        QCOMPARE(order, expectedParts);
        for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
            QXmlStreamReader reader(it.value());
            while (!reader.atEnd())
                reader.readNext();
            QVERIFY2(!reader.hasError(), qPrintable(it.key() + QStringLiteral(": ") + reader.errorString()));
        }
    }

    void resamplesOnlyAboveTheAcquiredCount_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<int>("pointsPerCurve");
        QTest::addColumn<bool>("resampled");
        // Out of x order on purpose: the sheet keeps the stored order.
        const QList<QPointF> five = {QPointF(4, 1), QPointF(0, 2), QPointF(3, -1), QPointF(1, 0.5),
                                     QPointF(2, 8)};
        QTest::newRow("fewer requested") << five << 3 << false;
        QTest::newRow("as many requested") << five << 5 << false;
        QTest::newRow("one more requested") << five << 6 << true;
        QTest::newRow("many more requested") << five << 250 << true;
        QTest::newRow("two points") << QList<QPointF>{QPointF(0, 0), QPointF(1, 1)} << 2 << false;
        QTest::newRow("one point") << QList<QPointF>{QPointF(-1, 5)} << 100 << false;
    }

    void resamplesOnlyAboveTheAcquiredCount()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(int, pointsPerCurve);
        QFETCH(bool, resampled);
        const QString path = samplePath(QStringLiteral("resample.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, {curve(QStringLiteral("c"), points)}, pointsPerCurve));
        QString dimension;
        const QMap<QString, QString> cells = sheetCells(
            archiveParts(testsupport::readFile(path)).value(QStringLiteral("xl/worksheets/sheet1.xml")),
            &dimension);

        const QList<QPointF> expected = resampled ? resampleCurve(points, pointsPerCurve) : points;
        QCOMPARE(expected.size(), resampled ? pointsPerCurve : points.size());
        QCOMPARE(dimension, QStringLiteral("B%1").arg(3 + expected.size()).prepend(QStringLiteral("A1:")));
        QCOMPARE(cells.value(QStringLiteral("A1")), QStringLiteral("c"));
        QCOMPARE(cells.value(QStringLiteral("A3")), QStringLiteral("X"));
        QCOMPARE(cells.value(QStringLiteral("B3")), QStringLiteral("Y"));
        double low = points.first().x();
        double high = low;
        for (const QPointF &p : points) {
            low = std::min(low, p.x());
            high = std::max(high, p.x());
        }
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const int row = int(i) + 4;
            // The samples, kept within the digitized x range.
            QCOMPARE(cells.value(QStringLiteral("A%1").arg(row)).toDouble(),
                     std::clamp(expected.at(i).x(), low, high));
            QCOMPARE(cells.value(QStringLiteral("B%1").arg(row)).toDouble(), expected.at(i).y());
        }
        QVERIFY(!cells.contains(QStringLiteral("A%1").arg(4 + expected.size())));
    }

    void resamplingStaysInsideTheDigitizedRange()
    {
        // Taken out of x order: the spline swings past x = 10 between the last two.
        const QList<QPointF> points = {QPointF(0, 0), QPointF(10, 1), QPointF(9.0, 3), QPointF(2, 0)};
        const QString path = samplePath(QStringLiteral("inside.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, {curve(QStringLiteral("c"), points)}, 400));
        QString dimension;
        const QMap<QString, QString> cells = sheetCells(
            archiveParts(testsupport::readFile(path)).value(QStringLiteral("xl/worksheets/sheet1.xml")),
            &dimension);
        bool swung = false;
        for (int row = 4; row < 404; ++row) {
            const double x = cells.value(QStringLiteral("A%1").arg(row)).toDouble();
            const double y = cells.value(QStringLiteral("B%1").arg(row)).toDouble();
            QVERIFY(x >= 0.0 && x <= 10.0);
            swung = swung || x == 10.0;
            // Zero, or a value well above the rounding noise of one.
            QVERIFY2(y == 0.0 || std::abs(y) > 1e-9, qPrintable(QString::number(y)));
        }
        QVERIFY(swung);
        const QList<QPointF> raw = resampleCurve(points, 400);
        QVERIFY(std::any_of(raw.begin(), raw.end(), [](const QPointF &p) { return p.x() > 10.0; }));
    }

    void chartTakesTheGraphsAxes()
    {
        WorkbookScales scales;
        scales.xTitle = QStringLiteral("Flow <Q>");
        scales.yTitle = QStringLiteral("Head");
        scales.yMin = -2.5;
        scales.yMax = 40;
        const QString path = samplePath(QStringLiteral("axes.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, {curve(QStringLiteral("c"), {QPointF(0, -1), QPointF(5, 30)})}, 2,
                                    nullptr, scales));
        const QByteArray chart =
            archiveParts(testsupport::readFile(path)).value(QStringLiteral("xl/charts/chart1.xml"));
        QVERIFY(chart.contains("<a:t>Flow &lt;Q&gt;</a:t>"));
        QVERIFY(chart.contains("<a:t>Head</a:t>"));
        QVERIFY(chart.contains("<c:max val=\"40\"/><c:min val=\"-2.5\"/>"));
        QVERIFY(!chart.contains("autoZero"));
        QCOMPARE(chart.count("<c:crosses val=\"min\"/>"), 2);
    }

    void legendNamesCurvesLikeTheGraph_data()
    {
        QTest::addColumn<bool>("byParameter");
        QTest::addColumn<QString>("parameterName");
        QTest::addColumn<QString>("parameterValue");
        QTest::addColumn<QByteArray>("seriesName");
        const QByteArray header =
            "<c:tx><c:strRef><c:f>&apos;Data&apos;!$A$1</c:f><c:strCache><c:ptCount val=\"1\"/>"
            "<c:pt idx=\"0\"><c:v>pump &amp; co</c:v></c:pt></c:strCache></c:strRef></c:tx>";
        QTest::newRow("data export keeps the header") << false << "T"
                                                      << "25 °C" << header;
        QTest::newRow("graph with a parameter") << true << "T"
                                                << "25 °C" << QByteArray("<c:tx><c:v>T = 25 °C</c:v></c:tx>");
        QTest::newRow("graph with a value only") << true << ""
                                                 << "<3>" << QByteArray("<c:tx><c:v>&lt;3&gt;</c:v></c:tx>");
        QTest::newRow("graph without a parameter") << true << "T"
                                                   << " " << header;
    }

    void legendNamesCurvesLikeTheGraph()
    {
        QFETCH(bool, byParameter);
        QFETCH(QString, parameterName);
        QFETCH(QString, parameterValue);
        QFETCH(QByteArray, seriesName);
        Curve c = curve(QStringLiteral("pump & co"), {QPointF(0, 1), QPointF(5, 30)});
        c.parameterName = parameterName;
        c.parameterValue = parameterValue;
        WorkbookScales scales;
        scales.legendByParameter = byParameter;
        const QString path = samplePath(QStringLiteral("legend.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, {c}, 2, nullptr, scales));
        const QByteArray chart =
            archiveParts(testsupport::readFile(path)).value(QStringLiteral("xl/charts/chart1.xml"));
        QVERIFY2(chart.contains("<c:order val=\"0\"/>" + seriesName + "<c:spPr>"), chart.constData());
    }

    void namesColumnsBeyondZ()
    {
        QList<Curve> curves;
        for (int i = 0; i < 14; ++i)
            curves.append(curve(QStringLiteral("c%1").arg(i), {QPointF(i, -i), QPointF(i + 0.5, 2 * i)}));
        const QString path = samplePath(QStringLiteral("wide.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, curves, 2));
        const QMap<QString, QByteArray> parts = archiveParts(testsupport::readFile(path));
        QString dimension;
        const QMap<QString, QString> cells =
            sheetCells(parts.value(QStringLiteral("xl/worksheets/sheet1.xml")), &dimension);
        QCOMPARE(dimension, QStringLiteral("A1:AB5"));
        QCOMPARE(cells.value(QStringLiteral("Y1")), QStringLiteral("c12"));
        QCOMPARE(cells.value(QStringLiteral("AA1")), QStringLiteral("c13"));
        QCOMPARE(cells.value(QStringLiteral("AA5")), QStringLiteral("13.5"));
        QCOMPARE(cells.value(QStringLiteral("AB5")), QStringLiteral("26"));
        const QByteArray chart = parts.value(QStringLiteral("xl/charts/chart1.xml"));
        QVERIFY(chart.contains("<c:f>&apos;Data&apos;!$AA$4:$AA$5</c:f>"));
        QVERIFY(chart.contains("<c:f>&apos;Data&apos;!$AB$4:$AB$5</c:f>"));
        QCOMPARE(chart.count("<c:ser>"), 14);
    }

    void logAxesResampleInDecades_data()
    {
        QTest::addColumn<bool>("xLog");
        QTest::addColumn<bool>("yLog");
        QTest::newRow("linear") << false << false;
        QTest::newRow("log x") << true << false;
        QTest::newRow("log y") << false << true;
        QTest::newRow("log-log") << true << true;
    }
    void logAxesResampleInDecades()
    {
        QFETCH(bool, xLog);
        QFETCH(bool, yLog);
        // y = x^2 through three points: straight on log-log paper.
        const QList<QPointF> points = {{1, 1}, {10, 100}, {1000, 1e6}};
        const QString path = samplePath(QStringLiteral("log.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, {curve(QStringLiteral("c"), points)}, 7, nullptr,
                                    {xLog, yLog, CurveSmoothing::Spline}));
        const QMap<QString, QByteArray> parts = archiveParts(testsupport::readFile(path));
        QString dimension;
        const QMap<QString, QString> cells =
            sheetCells(parts.value(QStringLiteral("xl/worksheets/sheet1.xml")), &dimension);
        const QList<QPointF> expected =
            fromAxisScale(resampleCurve(toAxisScale(points, xLog, yLog), 7), xLog, yLog);
        for (int row = 0; row < 7; ++row) {
            const QString at = QString::number(4 + row);
            // The linear spline swings below x = 1 at first: kept to the digitized range.
            QCOMPARE(cells.value(QStringLiteral("A") + at).toDouble(),
                     std::clamp(expected.at(row).x(), 1.0, 1000.0));
            QCOMPARE(cells.value(QStringLiteral("B") + at).toDouble(), expected.at(row).y());
        }
        if (xLog && yLog) {
            // Then the samples lie on the line itself.
            for (const QPointF &p : expected)
                QVERIFY(std::abs(p.y() / (p.x() * p.x()) - 1.0) < 1e-9);
        }
        const QByteArray chart = parts.value(QStringLiteral("xl/charts/chart1.xml"));
        QCOMPARE(chart.count("<c:logBase val=\"10\"/>"), int(xLog) + int(yLog));
        QCOMPARE(chart.contains("<c:axPos val=\"b\"/>") && chart.indexOf("logBase") >= 0 &&
                     chart.indexOf("logBase") < chart.indexOf("<c:axPos val=\"b\"/>"),
                 xLog);
    }

    void failsBeyondTheSheetLimits_data()
    {
        QTest::addColumn<int>("curveCount");
        QTest::addColumn<int>("pointsPerCurve");
        QTest::newRow("more than 16384 columns") << 8193 << 2;
        QTest::newRow("more than 1048576 rows") << 1 << 1048574;
    }

    void failsBeyondTheSheetLimits()
    {
        QFETCH(int, curveCount);
        QFETCH(int, pointsPerCurve);
        QList<Curve> curves;
        for (int i = 0; i < curveCount; ++i)
            curves.append(curve(QStringLiteral("c%1").arg(i), {QPointF(0, 0), QPointF(1, 1)}));
        const QString path = samplePath(QStringLiteral("too-large.xlsx"));
        QString error;
        QVERIFY(!writeCurvesWorkbook(path, curves, pointsPerCurve, &error));
        QCOMPARE(error, tooLargeMessage);
        QVERIFY(!QFile::exists(path));
    }

    void isReadByOpenpyxl()
    {
        const QList<Curve> curves = sampleCurves();
        const QString path = samplePath(QStringLiteral("sample.xlsx"));
        QString error;
        QVERIFY2(writeCurvesWorkbook(path, curves, samplePointsPerCurve, &error), qPrintable(error));
        keepSampleIfAsked(path, curves);

        const QJsonObject read = inspectWithPython(path);
        QVERIFY(!read.isEmpty());
        QCOMPARE(read.value(QStringLiteral("sheets")).toArray(), QJsonArray({QStringLiteral("Data")}));
        const QJsonArray rows = read.value(QStringLiteral("rows")).toArray();
        const QList<QList<QPointF>> columns = sampleColumns(curves);
        QCOMPARE(rows.size(), 3 + 5);

        const QJsonArray names = rows.at(0).toArray();
        QCOMPARE(names.size(), 6);
        QCOMPARE(names.at(0).toString(), curves.at(0).name);
        QVERIFY(names.at(1).isNull());
        QCOMPARE(names.at(2).toString(), QStringLiteral("Zweite Kurve"));
        QCOMPARE(names.at(4).toString(), QStringLiteral("single"));
        // "name = value", the value alone without a name, nothing without a value.
        QCOMPARE(rows.at(1).toArray(), QJsonArray({QStringLiteral("T = 25 °C"), QJsonValue(), QJsonValue(),
                                                   QJsonValue(), QStringLiteral("7"), QJsonValue()}));
        QCOMPARE(rows.at(2).toArray(), QJsonArray({"X", "Y", "X", "Y", "X", "Y"}));

        for (qsizetype c = 0; c < columns.size(); ++c) {
            for (qsizetype r = 0; r < 5; ++r) {
                const QJsonArray row = rows.at(3 + r).toArray();
                const QJsonValue x = row.at(2 * c);
                const QJsonValue y = row.at(2 * c + 1);
                if (r >= columns.at(c).size()) {
                    QVERIFY(x.isNull() && y.isNull());
                    continue;
                }
                const QPointF expected = columns.at(c).at(r);
                QVERIFY2(sameNumber(x, expected.x()),
                         qPrintable(QStringLiteral("column %1 row %2").arg(2 * c).arg(r)));
                QVERIFY2(sameNumber(y, expected.y()),
                         qPrintable(QStringLiteral("column %1 row %2").arg(2 * c + 1).arg(r)));
            }
        }
        // The NaN of the first curve leaves its cell empty; -0 reads back as zero.
        QVERIFY(rows.at(7).toArray().at(1).isNull());
        QCOMPARE(rows.at(5).toArray().at(1).toDouble(), 0.0);
    }

    void chartHasOneSeriesPerCurve()
    {
        const QList<Curve> curves = sampleCurves();
        const QString path = samplePath(QStringLiteral("chart.xlsx"));
        QVERIFY(writeCurvesWorkbook(path, curves, samplePointsPerCurve));
        const QJsonObject read = inspectWithPython(path);
        QVERIFY(!read.isEmpty());
        QVERIFY(read.value(QStringLiteral("bad")).isNull());
        QCOMPARE(read.value(QStringLiteral("missing")).toArray(), QJsonArray());
        QCOMPARE(read.value(QStringLiteral("style")).toString(), QStringLiteral("smoothMarker"));
        QCOMPARE(read.value(QStringLiteral("axisTitles")).toArray(), QJsonArray({"X", "Y"}));
        QVERIFY(read.value(QStringLiteral("legend")).toBool());

        const QJsonArray series = read.value(QStringLiteral("series")).toArray();
        QCOMPARE(series.size(), 3);
        const QList<QList<QPointF>> columns = sampleColumns(curves);
        const QStringList names = {curves.at(0).name, curves.at(3).name, curves.at(4).name};
        const QStringList colors = {QStringLiteral("1E88E5"), QStringLiteral("FF0000"),
                                    QStringLiteral("D32F2F")};
        const QList<int> widths = {25400, 6350, 25400};
        const QStringList letters = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F")};
        for (qsizetype i = 0; i < series.size(); ++i) {
            const QJsonObject s = series.at(i).toObject();
            const int last = 3 + int(columns.at(i).size());
            QCOMPARE(s.value(QStringLiteral("name")).toString(), names.at(i));
            QCOMPARE(s.value(QStringLiteral("nameRef")).toString(),
                     QStringLiteral("'Data'!$%1$1").arg(letters.at(2 * i)));
            // A one-cell range is written as that cell.
            const auto range = [last](const QString &column) {
                const QString first = QStringLiteral("'Data'!$%1$4").arg(column);
                return last == 4 ? first : first + QStringLiteral(":$%1$%2").arg(column).arg(last);
            };
            QCOMPARE(s.value(QStringLiteral("xRef")).toString(), range(letters.at(2 * i)));
            QCOMPARE(s.value(QStringLiteral("yRef")).toString(), range(letters.at(2 * i + 1)));
            QCOMPARE(s.value(QStringLiteral("xCount")).toInt(), columns.at(i).size());
            QCOMPARE(s.value(QStringLiteral("color")).toString(), colors.at(i));
            QCOMPARE(s.value(QStringLiteral("width")).toInt(), widths.at(i));
            QCOMPARE(s.value(QStringLiteral("smooth")).toString(), QStringLiteral("1"));
            // The caches hold the sheet's numbers, the non-finite ones left out.
            const QJsonArray xs = s.value(QStringLiteral("x")).toArray();
            const QJsonArray ys = s.value(QStringLiteral("y")).toArray();
            QList<double> expectedX, expectedY;
            for (const QPointF &p : columns.at(i)) {
                if (std::isfinite(p.x()))
                    expectedX.append(p.x());
                if (std::isfinite(p.y()))
                    expectedY.append(p.y());
            }
            QCOMPARE(xs.size(), expectedX.size());
            QCOMPARE(ys.size(), expectedY.size());
            for (qsizetype k = 0; k < xs.size(); ++k)
                QVERIFY(sameNumber(xs.at(k), expectedX.at(k)));
            for (qsizetype k = 0; k < ys.size(); ++k)
                QVERIFY(sameNumber(ys.at(k), expectedY.at(k)));
        }
        // The half-transparent red keeps its alpha; opaque colours carry none.
        QCOMPARE(series.at(0).toObject().value(QStringLiteral("alpha")), QJsonValue());
        QCOMPARE(series.at(1).toObject().value(QStringLiteral("alpha")).toInt(), 50196);
    }

    void failsOnUnwritableTarget_data() { testsupport::addUnwritableTargetRows(); }

    void failsOnUnwritableTarget()
    {
        QFETCH(QString, kind);
        const testsupport::UnwritableTarget target = testsupport::makeUnwritableTarget(kind);
        const QStringList before = testsupport::folderSnapshot(target.folder);
        QString error;
        QVERIFY(!writeCurvesWorkbook(target.path, sampleCurves(), 10, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(error != noPointsMessage);
        QCOMPARE(testsupport::folderSnapshot(target.folder), before);
    }

    void leavesProtectedFileIntact()
    {
        const QString path = samplePath(QStringLiteral("protected.xlsx"));
        QVERIFY(testsupport::writeFile(path, "old workbook"));
        const testsupport::ImmutableFile protection(path);
        if (!protection.isActive())
            QSKIP("chattr +i is not available on this file system");
        QString error;
        QVERIFY(!writeCurvesWorkbook(path, sampleCurves(), 10, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::readFile(path), QByteArray("old workbook"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestWorkbookWriter)
#include "tst_workbookwriter.moc"
