#include "core/io/csvwriter.h"
#include "core/io/workbookwriter.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(Calibration)

namespace {

constexpr double day = 86400.0;
constexpr double jan2019 = 17897 * day; // 2019-01-01
constexpr double mar2021 = 18701 * day; // 2021-03-15

// The first data row's cells as openpyxl reads them: the value (ISO text for a
// date), whether it is a date, and its number format.
const char dateInspector[] = R"(
import json, sys, warnings
import openpyxl
warnings.simplefilter("error")
sheet = openpyxl.load_workbook(sys.argv[1])["Data"]
cells = []
for row in sheet.iter_rows(min_row=4):
    for cell in row[:2]:
        value = cell.value.isoformat() if hasattr(cell.value, "isoformat") else cell.value
        cells.append([value, cell.is_date, cell.number_format])
print(json.dumps(cells))
)";

// A calibration whose x axis (and, when asked, y axis) counts dates between the values.
Calibration dateCalibration(double x1, double x2, bool xDates, double y1, double y2, bool yDates)
{
    Calibration c;
    c.axisXLine = QLineF(100, 500, 700, 500);
    c.axisYLine = QLineF(100, 500, 100, 100);
    c.xValue1 = x1;
    c.xValue2 = x2;
    c.yValue1 = y1;
    c.yValue2 = y2;
    c.axisXValid = c.axisYValid = true;
    c.xKind = xDates ? AxisKind::Date : AxisKind::Number;
    c.yKind = yDates ? AxisKind::Date : AxisKind::Number;
    return c;
}

Curve curveOf(const QList<QPointF> &reals)
{
    Curve curve;
    curve.name = QStringLiteral("Orders");
    for (const QPointF &real : reals)
        curve.points.append(CurvePoint{QPointF(1.5, 2), real, curve.name});
    return curve;
}

} // namespace

class TestDateExports : public QObject
{
    Q_OBJECT

private slots:
    void datesInBothFormats_data()
    {
        QTest::addColumn<Calibration>("calibration");
        QTest::addColumn<QList<QPointF>>("reals");
        QTest::addColumn<QByteArray>("csvRows"); // after the header
        QTest::addColumn<QJsonArray>("cells");   // openpyxl: x, y of each row
        const Calibration sixYears = dateCalibration(jan2019, jan2019 + 2192 * day, true, 0, 100, false);
        // Six years resolve days: 11:00 rounds to its day in CSV, the workbook keeps the time.
        QTest::newRow("monthly x") << sixYears
                                   << QList<QPointF>{{jan2019 + 31 * day, 12.5},
                                                     {jan2019 + 59 * day + 11 * 3600, 40}}
                                   << QByteArray("\"Orders\",\"\",\"\",2019-02-01,12.5,1.5,2\n"
                                                 "\"Orders\",\"\",\"\",2019-03-01,40,1.5,2\n")
                                   << QJsonArray{QJsonArray{"2019-02-01T00:00:00", true, "yyyy-mm-dd"},
                                                 QJsonArray{12.5, false, "General"},
                                                 QJsonArray{"2019-03-01T11:00:00", true, "yyyy-mm-dd"},
                                                 QJsonArray{40, false, "General"}};
        // Three days resolve minutes, on the y axis this time.
        const Calibration log = dateCalibration(0, 10, false, mar2021, mar2021 + 3 * day, true);
        QTest::newRow("three-day log in y")
            << log << QList<QPointF>{{2.5, mar2021 + 6.5 * 3600}, {7, mar2021 + 2 * day + 59.8 * 60}}
            << QByteArray("\"Orders\",\"\",\"\",2.5,2021-03-15T06:30,1.5,2\n"
                          "\"Orders\",\"\",\"\",7,2021-03-17T01:00,1.5,2\n")
            << QJsonArray{QJsonArray{2.5, false, "General"},
                          QJsonArray{"2021-03-15T06:30:00", true, "yyyy-mm-dd hh:mm"},
                          QJsonArray{7, false, "General"},
                          QJsonArray{"2021-03-17T00:59:48", true, "yyyy-mm-dd hh:mm"}};
        // Times of day alone: the axis runs within the first day.
        const Calibration times = dateCalibration(0, day / 2, true, 0, 1, false);
        QTest::newRow("times of day") << times << QList<QPointF>{{8 * 3600.0, 0.25}, {9.25 * 3600, 0.5}}
                                      << QByteArray("\"Orders\",\"\",\"\",08:00,0.25,1.5,2\n"
                                                    "\"Orders\",\"\",\"\",09:15,0.5,1.5,2\n")
                                      << QJsonArray{QJsonArray{"1970-01-01T08:00:00", true, "hh:mm"},
                                                    QJsonArray{0.25, false, "General"},
                                                    QJsonArray{"1970-01-01T09:15:00", true, "hh:mm"},
                                                    QJsonArray{0.5, false, "General"}};
    }

    void datesInBothFormats()
    {
        QFETCH(Calibration, calibration);
        QFETCH(QList<QPointF>, reals);
        QFETCH(QByteArray, csvRows);
        QFETCH(QJsonArray, cells);
        const QList<Curve> curves{curveOf(reals)};
        const QString csvPath = testsupport::sandbox().filePath(QStringLiteral("dates.csv"));
        QString error;
        QVERIFY2(writeCurvesCsv(csvPath, curves, &error, calibration), qPrintable(error));
        QCOMPARE(testsupport::readFile(csvPath),
                 "curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n" + csvRows);

        const QString bookPath = testsupport::sandbox().filePath(QStringLiteral("dates.xlsx"));
        QVERIFY2(writeCurvesWorkbook(bookPath, curves, 0, &error, calibrationScales(calibration)),
                 qPrintable(error));
        const testsupport::ToolResult read =
            testsupport::runTool(QStringLiteral("/usr/bin/python3"),
                                 {QStringLiteral("-c"), QString::fromUtf8(dateInspector), bookPath});
        QVERIFY2(read.started && read.exitCode == 0, read.errors.constData());
        QCOMPARE(QJsonDocument::fromJson(read.output).array(), cells);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestDateExports)
#include "tst_dateexports.moc"
