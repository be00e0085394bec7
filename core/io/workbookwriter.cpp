#include "core/io/workbookwriter.h"

#include "core/io/exportsupport.h"
#include "core/io/zipwriter.h"
#include "core/model/curvepath.h"
#include "core/model/spline.h"

#include <algorithm>
#include <cmath>

namespace {

// Limits of a worksheet in the Office Open XML format.
constexpr qsizetype maximumColumns = 16384;
constexpr qsizetype maximumRows = 1048576;
// Row 1 the curve name, row 2 its parameter, row 3 the column titles.
constexpr int headerRows = 3;
constexpr int headerStyle = 1; // bold, see stylesPart()
// The x and y columns of date axes, each with its own number format.
constexpr int xDateStyle = 2;
constexpr int yDateStyle = 3;
constexpr int firstCustomFormat = 164; // the ids below are Excel's built-in formats
// One line point in DrawingML is 12700 EMU; the curve width is read as points.
constexpr double emuPerPoint = 12700.0;

const char xmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char mainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char relationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char packageRelationshipsNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char chartNamespace[] = "http://schemas.openxmlformats.org/drawingml/2006/chart";
const char drawingMainNamespace[] = "http://schemas.openxmlformats.org/drawingml/2006/main";

const QString sheetName = QStringLiteral("Data");

struct Series
{
    const Curve *curve;
    QList<QPointF> points; // real coordinates, as they go into the sheet
};

QByteArray escaped(const QString &text)
{
    return xmlEscaped(text).toUtf8();
}

QByteArray number(qsizetype value)
{
    return QByteArray::number(value);
}

// 0 -> A, 25 -> Z, 26 -> AA, ...
QByteArray columnName(qsizetype column)
{
    QByteArray name;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(char('A' + (n - 1) % 26));
    return name;
}

QByteArray cellName(qsizetype column, qsizetype row)
{
    return columnName(column) + number(row);
}

// A formula reference such as 'Data'!$A$4:$A$9, the sheet name always quoted.
QString absoluteReference(qsizetype column, qsizetype firstRow, qsizetype lastRow)
{
    QString quotedSheet = sheetName;
    quotedSheet.replace(QLatin1Char('\''), QLatin1String("''"));
    const QString columnText = QString::fromLatin1(columnName(column));
    QString reference = QStringLiteral("'%1'!$%2$%3").arg(quotedSheet, columnText).arg(firstRow);
    if (lastRow != firstRow)
        reference += QStringLiteral(":$%1$%2").arg(columnText).arg(lastRow);
    return reference;
}

QString parameterText(const Curve &curve)
{
    if (curve.parameterValue.isEmpty())
        return QString();
    if (curve.parameterName.isEmpty())
        return curve.parameterValue;
    return curve.parameterName + QLatin1String(" = ") + curve.parameterValue;
}

QByteArray relationship(int id, const char *type, const char *target)
{
    return "<Relationship Id=\"rId" + number(id) + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

QByteArray relationshipsPart(const QByteArray &relationships)
{
    return xmlDeclaration + QByteArray("<Relationships xmlns=\"") + packageRelationshipsNamespace + "\">" +
           relationships + "</Relationships>\n";
}

QByteArray contentTypesPart()
{
    const auto override = [](const char *part, const char *type) {
        return "<Override PartName=\"" + QByteArray(part) +
               "\" ContentType=\"application/vnd.openxmlformats-" + type + "\"/>";
    };
    return xmlDeclaration +
           QByteArray("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                      "<Default Extension=\"rels\" "
                      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>") +
           override("/xl/workbook.xml", "officedocument.spreadsheetml.sheet.main+xml") +
           override("/xl/worksheets/sheet1.xml", "officedocument.spreadsheetml.worksheet+xml") +
           override("/xl/styles.xml", "officedocument.spreadsheetml.styles+xml") +
           override("/xl/drawings/drawing1.xml", "officedocument.drawing+xml") +
           override("/xl/charts/chart1.xml", "officedocument.drawingml.chart+xml") +
           override("/docProps/app.xml", "officedocument.extended-properties+xml") + "</Types>\n";
}

QByteArray rootRelationshipsPart()
{
    return relationshipsPart(
        relationship(1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
                     "xl/workbook.xml") +
        relationship(
            2, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
            "docProps/app.xml"));
}

QByteArray applicationPart()
{
    return xmlDeclaration +
           QByteArray("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "extended-properties\"><Application>Plotmason</Application></Properties>\n");
}

QByteArray workbookPart()
{
    return xmlDeclaration + QByteArray("<workbook xmlns=\"") + mainNamespace + "\" xmlns:r=\"" +
           relationshipsNamespace + "\"><sheets><sheet name=\"" + escaped(sheetName) +
           "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>\n";
}

QByteArray workbookRelationshipsPart()
{
    return relationshipsPart(
        relationship(1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet",
                     "worksheets/sheet1.xml") +
        relationship(2, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
                     "styles.xml"));
}

QByteArray dateFormatText(const std::optional<DateFormat> &format)
{
    return format ? escaped(excelDateFormat(*format)) : QByteArray("General");
}

// Style 0 is the default, style 1 the bold header text, styles 2 and 3 the x
// and y columns (dates on a date axis, else as the default).
QByteArray stylesPart(const WorkbookScales &scales)
{
    const auto cellFormat = [](int id) {
        return "<xf numFmtId=\"" + number(id) + "\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"" +
               (id != 0 ? QByteArray(" applyNumberFormat=\"1\"/>") : QByteArray("/>"));
    };
    return xmlDeclaration + QByteArray("<styleSheet xmlns=\"") + mainNamespace + "\"><numFmts count=\"2\">" +
           "<numFmt numFmtId=\"" + number(firstCustomFormat) + "\" formatCode=\"" +
           dateFormatText(scales.xDates) + "\"/><numFmt numFmtId=\"" + number(firstCustomFormat + 1) +
           "\" formatCode=\"" + dateFormatText(scales.yDates) +
           "\"/></numFmts><fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
           "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
           "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"4\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
           "applyFont=\"1\"/>" +
           cellFormat(scales.xDates ? firstCustomFormat : 0) +
           cellFormat(scales.yDates ? firstCustomFormat + 1 : 0) +
           "</cellXfs>"
           "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "</styleSheet>\n";
}

QByteArray textCell(qsizetype column, qsizetype row, const QString &text)
{
    return "<c r=\"" + cellName(column, row) + "\" s=\"" + number(headerStyle) +
           "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" + escaped(text) + "</t></is></c>";
}

// Not-a-number and infinities have no numeric cell form; such a cell stays empty.
QByteArray numberCell(qsizetype column, qsizetype row, double value, int style)
{
    if (!std::isfinite(value))
        return QByteArray();
    const QByteArray styled = style != 0 ? " s=\"" + number(style) + '"' : QByteArray();
    return "<c r=\"" + cellName(column, row) + '"' + styled + "><v>" + roundTripNumberText(value) +
           "</v></c>";
}

QByteArray rowElement(qsizetype row, const QByteArray &cells)
{
    if (cells.isEmpty())
        return QByteArray();
    return "<row r=\"" + number(row) + "\">" + cells + "</row>";
}

qsizetype longestSeries(const QList<Series> &series)
{
    qsizetype longest = 0;
    for (const Series &s : series)
        longest = std::max(longest, s.points.size());
    return longest;
}

QByteArray sheetPart(const QList<Series> &series, const WorkbookScales &scales)
{
    const int xStyle = scales.xDates ? xDateStyle : 0;
    const int yStyle = scales.yDates ? yDateStyle : 0;
    const qsizetype columns = 2 * series.size();
    const qsizetype lastRow = headerRows + longestSeries(series);

    QByteArray names, parameters, titles;
    for (qsizetype i = 0; i < series.size(); ++i) {
        names += textCell(2 * i, 1, series.at(i).curve->name);
        const QString parameter = parameterText(*series.at(i).curve);
        if (!parameter.isEmpty())
            parameters += textCell(2 * i, 2, parameter);
        titles += textCell(2 * i, 3, QStringLiteral("X")) + textCell(2 * i + 1, 3, QStringLiteral("Y"));
    }
    QByteArray rows = rowElement(1, names) + rowElement(2, parameters) + rowElement(3, titles);
    for (qsizetype row = headerRows + 1; row <= lastRow; ++row) {
        QByteArray cells;
        for (qsizetype i = 0; i < series.size(); ++i) {
            const QList<QPointF> &points = series.at(i).points;
            const qsizetype index = row - headerRows - 1;
            if (index < points.size())
                cells += numberCell(2 * i, row, points.at(index).x(), xStyle) +
                         numberCell(2 * i + 1, row, points.at(index).y(), yStyle);
        }
        rows += rowElement(row, cells);
    }

    return xmlDeclaration + QByteArray("<worksheet xmlns=\"") + mainNamespace + "\" xmlns:r=\"" +
           relationshipsNamespace + "\"><dimension ref=\"A1:" + cellName(columns - 1, lastRow) +
           "\"/><sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"" + number(headerRows) +
           "\" topLeftCell=\"" + cellName(0, headerRows + 1) +
           "\" activePane=\"bottomLeft\" state=\"frozen\"/></sheetView></sheetViews>"
           "<cols><col min=\"1\" max=\"" +
           number(columns) + "\" width=\"16\" customWidth=\"1\"/></cols><sheetData>" + rows +
           "</sheetData><drawing r:id=\"rId1\"/></worksheet>\n";
}

QByteArray sheetRelationshipsPart()
{
    return relationshipsPart(
        relationship(1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing",
                     "../drawings/drawing1.xml"));
}

QByteArray anchorCorner(const char *element, qsizetype column, qsizetype row)
{
    const QByteArray tag = QByteArray("xdr:") + element;
    return '<' + tag + "><xdr:col>" + number(column) + "</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>" +
           number(row) + "</xdr:row><xdr:rowOff>0</xdr:rowOff></" + tag + '>';
}

// The chart sits to the right of the data, one empty column apart.
QByteArray drawingPart(qsizetype dataColumns)
{
    return xmlDeclaration +
           QByteArray(
               "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
               "xmlns:a=\"") +
           drawingMainNamespace + "\"><xdr:twoCellAnchor>" + anchorCorner("from", dataColumns + 1, 0) +
           anchorCorner("to", dataColumns + 11, 22) +
           "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"2\" name=\"Chart 1\"/>"
           "<xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr><xdr:xfrm><a:off x=\"0\" y=\"0\"/>"
           "<a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm><a:graphic><a:graphicData uri=\"" +
           chartNamespace + "\"><c:chart xmlns:c=\"" + chartNamespace + "\" xmlns:r=\"" +
           relationshipsNamespace +
           "\" r:id=\"rId1\"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/>"
           "</xdr:twoCellAnchor></xdr:wsDr>\n";
}

QByteArray drawingRelationshipsPart()
{
    return relationshipsPart(
        relationship(1, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart",
                     "../charts/chart1.xml"));
}

QByteArray solidFill(const QColor &color)
{
    QByteArray fill =
        "<a:solidFill><a:srgbClr val=\"" + color.name(QColor::HexRgb).mid(1).toUpper().toLatin1() + '"';
    if (color.alpha() < 255)
        fill += "><a:alpha val=\"" + number(qRound(color.alpha() * 100000.0 / 255.0)) + "\"/></a:srgbClr>";
    else
        fill += "/>";
    return fill + "</a:solidFill>";
}

// The cached values let a reader draw the chart without recalculating the sheet.
QByteArray numberReference(const char *element, qsizetype column, const QList<double> &values,
                           const QByteArray &formatCode)
{
    QByteArray points;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (std::isfinite(values.at(i)))
            points +=
                "<c:pt idx=\"" + number(i) + "\"><c:v>" + roundTripNumberText(values.at(i)) + "</c:v></c:pt>";
    }
    const QByteArray tag = QByteArray("c:") + element;
    return '<' + tag + "><c:numRef><c:f>" +
           escaped(absoluteReference(column, headerRows + 1, headerRows + values.size())) +
           "</c:f><c:numCache><c:formatCode>" + formatCode + "</c:formatCode><c:ptCount val=\"" +
           number(values.size()) + "\"/>" + points + "</c:numCache></c:numRef></" + tag + '>';
}

// The series' name: the header cell above its x column, or the legend entry
// itself where the chart names curves otherwise than the sheet does.
QByteArray seriesName(qsizetype column, const Curve &curve, bool byParameter)
{
    const QString entry = byParameter ? curveLegendEntry(curve) : curve.name;
    if (entry != curve.name)
        return "<c:tx><c:v>" + escaped(entry) + "</c:v></c:tx>";
    return "<c:tx><c:strRef><c:f>" + escaped(absoluteReference(column, 1, 1)) +
           "</c:f><c:strCache><c:ptCount val=\"1\"/><c:pt idx=\"0\"><c:v>" + escaped(curve.name) +
           "</c:v></c:pt></c:strCache></c:strRef></c:tx>";
}

QByteArray seriesElement(qsizetype index, const Series &series, const WorkbookScales &scales)
{
    const Curve &curve = *series.curve;
    QList<double> xs, ys;
    for (const QPointF &point : series.points) {
        xs.append(point.x());
        ys.append(point.y());
    }
    const qsizetype column = 2 * index;
    // A lone point has no line to show, so it gets a marker instead.
    const QByteArray marker = series.points.size() == 1
                                  ? "<c:marker><c:symbol val=\"circle\"/><c:size val=\"7\"/><c:spPr>" +
                                        solidFill(curve.color) + "</c:spPr></c:marker>"
                                  : QByteArray("<c:marker><c:symbol val=\"none\"/></c:marker>");
    return "<c:ser><c:idx val=\"" + number(index) + "\"/><c:order val=\"" + number(index) + "\"/>" +
           seriesName(column, curve, scales.legendByParameter) + "<c:spPr><a:ln w=\"" +
           number(qRound(curve.lineWidth * emuPerPoint)) + "\" cap=\"rnd\">" + solidFill(curve.color) +
           "<a:round/></a:ln></c:spPr>" + marker +
           numberReference("xVal", column, xs, dateFormatText(scales.xDates)) +
           numberReference("yVal", column + 1, ys, dateFormatText(scales.yDates)) +
           "<c:smooth val=\"1\"/></c:ser>";
}

// One axis of the chart, crossing the other at its minimum, so that the
// axes frame the plot as in the graph rather than meeting at zero.
QByteArray axisElement(int id, int crossingId, const char *position, const QString &title, bool logarithmic,
                       double minimum, double maximum, const std::optional<DateFormat> &dates)
{
    const auto limit = [](const char *tag, double value) {
        return std::isfinite(value)
                   ? "<c:" + QByteArray(tag) + " val=\"" + roundTripNumberText(value) + "\"/>"
                   : QByteArray();
    };
    return "<c:valAx><c:axId val=\"" + number(id) + "\"/><c:scaling>" +
           (logarithmic ? QByteArray("<c:logBase val=\"10\"/>") : QByteArray()) +
           "<c:orientation val=\"minMax\"/>" + limit("max", maximum) + limit("min", minimum) +
           "</c:scaling><c:delete val=\"0\"/><c:axPos val=\"" + position +
           "\"/><c:title><c:tx><c:rich><a:bodyPr/><a:lstStyle/><a:p><a:r><a:t>" + escaped(title) +
           "</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title>"
           "<c:numFmt formatCode=\"" +
           dateFormatText(dates) + "\" sourceLinked=\"" + (dates ? "0" : "1") +
           "\"/><c:majorTickMark val=\"out\"/>"
           "<c:minorTickMark val=\"none\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"" +
           number(crossingId) + "\"/><c:crosses val=\"min\"/><c:crossBetween val=\"midCat\"/></c:valAx>";
}

QByteArray chartPart(const QList<Series> &series, const WorkbookScales &scales)
{
    constexpr int xAxisId = 100001;
    constexpr int yAxisId = 100002;
    QByteArray seriesElements;
    for (qsizetype i = 0; i < series.size(); ++i)
        seriesElements += seriesElement(i, series.at(i), scales);
    return xmlDeclaration + QByteArray("<c:chartSpace xmlns:c=\"") + chartNamespace + "\" xmlns:a=\"" +
           drawingMainNamespace + "\" xmlns:r=\"" + relationshipsNamespace +
           "\"><c:roundedCorners val=\"0\"/><c:chart><c:autoTitleDeleted val=\"1\"/><c:plotArea><c:layout/>"
           "<c:scatterChart><c:scatterStyle val=\"smoothMarker\"/><c:varyColors val=\"0\"/>" +
           seriesElements + "<c:axId val=\"" + number(xAxisId) + "\"/><c:axId val=\"" + number(yAxisId) +
           "\"/></c:scatterChart>" +
           axisElement(xAxisId, yAxisId, "b", scales.xTitle, scales.xLog, scales.xMin, scales.xMax,
                       scales.xDates) +
           axisElement(yAxisId, xAxisId, "l", scales.yTitle, scales.yLog, scales.yMin, scales.yMax,
                       scales.yDates) +
           "</c:plotArea><c:legend><c:legendPos val=\"r\"/><c:overlay val=\"0\"/></c:legend>"
           "<c:plotVisOnly val=\"1\"/><c:dispBlanksAs val=\"gap\"/></c:chart></c:chartSpace>\n";
}

QList<QPointF> realPoints(const Curve &curve)
{
    QList<QPointF> points;
    points.reserve(curve.points.size());
    for (const CurvePoint &point : curve.points)
        points.append(point.real);
    return points;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

// The curve's points, or as many samples as asked for along its curve in the
// axes' own scales, so that a straight line on log paper stays straight.
QList<QPointF> exportedPoints(const Curve &curve, int pointsPerCurve, const WorkbookScales &scales)
{
    const QList<QPointF> points = realPoints(curve);
    const QList<QPointF> scaled = toAxisScale(points, scales.xLog, scales.yLog);
    if (pointsPerCurve <= points.size() || scaled.size() < 2)
        return points;
    QList<QPointF> samples =
        fromAxisScale(resampleCurve(scaled, pointsPerCurve, scales.smoothing), scales.xLog, scales.yLog);
    // Never beyond the digitized x range, where a spline through points taken
    // out of x order may swing; and rounding noise of a zero written as zero.
    double low = points.first().x();
    double high = low;
    double size = 0.0;
    for (const QPointF &p : points) {
        low = std::min(low, p.x());
        high = std::max(high, p.x());
        size = std::max({size, std::abs(p.x()), std::abs(p.y())});
    }
    const auto clean = [size](double v) { return std::abs(v) <= 1e-12 * size ? 0.0 : v; };
    for (QPointF &sample : samples)
        sample = QPointF(clean(std::clamp(sample.x(), low, high)), clean(sample.y()));
    return samples;
}

bool writeCurvesWorkbook(const QString &path, const QList<Curve> &curves, int pointsPerCurve, QString *error,
                         const WorkbookScales &scales)
{
    // Hidden curves stay out, as they do from the plot this export accompanies.
    QList<const Curve *> exported;
    qsizetype rows = 0;
    for (const Curve &curve : curves) {
        if (!curve.visible || curve.points.isEmpty())
            continue;
        exported.append(&curve);
        const qsizetype count = curve.points.size();
        rows = std::max(rows, count >= 2 && pointsPerCurve > count ? qsizetype(pointsPerCurve) : count);
    }
    if (exported.isEmpty()) {
        const bool hiddenOnly = std::any_of(curves.begin(), curves.end(),
                                            [](const Curve &curve) { return !curve.points.isEmpty(); });
        setError(error, hiddenOnly ? QStringLiteral("Nessuna curva visibile con punti da esportare: le curve "
                                                    "con punti sono nascoste.")
                                   : QStringLiteral("Nessuna curva con punti da esportare."));
        return false;
    }
    if (2 * exported.size() > maximumColumns || headerRows + rows > maximumRows) {
        setError(error, QStringLiteral("Troppi dati per un foglio di lavoro Excel."));
        return false;
    }

    // Date axes go into the sheet and the chart as Excel's serial day numbers.
    const auto sheetValue = [](double value, bool date) { return date ? excelSerialDay(value) : value; };
    QList<Series> series;
    for (const Curve *curve : exported) {
        QList<QPointF> points = exportedPoints(*curve, pointsPerCurve, scales);
        for (QPointF &point : points)
            point = QPointF(sheetValue(point.x(), scales.xDates.has_value()),
                            sheetValue(point.y(), scales.yDates.has_value()));
        series.append(Series{curve, points});
    }
    WorkbookScales sheetScales = scales;
    sheetScales.xMin = sheetValue(scales.xMin, scales.xDates.has_value());
    sheetScales.xMax = sheetValue(scales.xMax, scales.xDates.has_value());
    sheetScales.yMin = sheetValue(scales.yMin, scales.yDates.has_value());
    sheetScales.yMax = sheetValue(scales.yMax, scales.yDates.has_value());

    QList<ZipEntry> entries;
    addZipEntry(entries, QStringLiteral("[Content_Types].xml"), contentTypesPart());
    addZipEntry(entries, QStringLiteral("_rels/.rels"), rootRelationshipsPart());
    addZipEntry(entries, QStringLiteral("docProps/app.xml"), applicationPart());
    addZipEntry(entries, QStringLiteral("xl/workbook.xml"), workbookPart());
    addZipEntry(entries, QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRelationshipsPart());
    addZipEntry(entries, QStringLiteral("xl/styles.xml"), stylesPart(scales));
    addZipEntry(entries, QStringLiteral("xl/worksheets/sheet1.xml"), sheetPart(series, scales));
    addZipEntry(entries, QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels"), sheetRelationshipsPart());
    addZipEntry(entries, QStringLiteral("xl/drawings/drawing1.xml"), drawingPart(2 * series.size()));
    addZipEntry(entries, QStringLiteral("xl/drawings/_rels/drawing1.xml.rels"), drawingRelationshipsPart());
    addZipEntry(entries, QStringLiteral("xl/charts/chart1.xml"), chartPart(series, sheetScales));
    return writeZipArchive(path, entries, error);
}

WorkbookScales calibrationScales(const Calibration &calibration)
{
    WorkbookScales scales{calibration.xLogScale, calibration.yLogScale, CurveSmoothing::Spline};
    scales.xDates = calibration.dateFormat(true);
    scales.yDates = calibration.dateFormat(false);
    return scales;
}
