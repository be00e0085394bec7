#include "core/io/csvwriter.h"
#include "core/io/projectdatabase.h"
#include "core/io/workbookwriter.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "tests/cli/batchrun.h"
#include "tests/extract/scenes.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QImageReader>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>

#include <cmath>

namespace {

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// A calibrated project with a picture and two curves, saved as a project file.
QString digitizedProject(const QString &name, bool calibrated = true)
{
    ProjectModel model;
    const QString picture = path(name + QStringLiteral(".png"));
    testsupport::chartImage(640, 480).save(picture);
    model.loadSource(picture);
    testsupport::calibrate(model);
    model.addPoint(QPointF(120, 480), QStringLiteral("Head"));
    model.addPoint(QPointF(300, 300));
    model.addPoint(QPointF(480, 150));
    model.addCurve(QStringLiteral("Power"), QStringLiteral("n"), QStringLiteral("1500"));
    model.addPoint(QPointF(150, 450));
    model.addPoint(QPointF(450, 250));
    if (!calibrated)
        model.setAxisY(QLineF(100, 500, 100, 100), 5, 5);
    const QString file = path(name + QStringLiteral(".pmproj"));
    QString error;
    if (!saveProjectFile(file, model, &error))
        qWarning("cannot save %s: %s", qPrintable(file), qPrintable(error));
    return file;
}

// The workbook chart of a batch graph of the model: its stored texts or none,
// its limits, that smoothing.
WorkbookScales batchScales(const ProjectModel &model, CurveSmoothing smoothing)
{
    GraphSettings settings = initialGraphSettings(model);
    const QJsonObject stored = model.regeneratedGraphSettings();
    if (!stored.value(QStringLiteral("xLabel")).isString())
        settings.xLabel.clear();
    if (!stored.value(QStringLiteral("yLabel")).isString())
        settings.yLabel.clear();
    WorkbookScales scales = graphWorkbookScales(settings);
    scales.smoothing = smoothing;
    return scales;
}

// The curve the chart picture of chartProject shows.
double wave(double x)
{
    return 0.8 * std::sin(0.9 * x);
}

// A project on a chart with a blue wave over a grey grid and, in green, discs
// every 40 px; the curve "Measured" holds one point and is the active one.
QString chartProject(const QString &name)
{
    const Calibration calibration = scenes::chartCalibration();
    QImage picture = scenes::blankPicture();
    scenes::drawGrid(picture, calibration, 1.0, 0.5, QColor(190, 190, 190), 1.0);
    scenes::drawAxesAndFrame(picture, calibration, Qt::black, 2.0);
    scenes::drawPolyline(picture,
                         scenes::curveInPixels(
                             calibration, [](double x) { return QPointF(x, wave(x)); }, 0, 10),
                         QColor(20, 70, 200), 2.0);
    for (int i = 0; i < 15; ++i)
        scenes::drawDisc(picture, calibration.realToPixel({0.5 + 0.625 * i, -1.2}), 4.5, QColor(30, 130, 40));
    const QString file = path(name + QStringLiteral(".png"));
    picture.save(file);
    ProjectModel model;
    model.loadSource(file);
    model.setAxisX(calibration.axisXLine, calibration.xValue1, calibration.xValue2);
    model.setAxisY(calibration.axisYLine, calibration.yValue1, calibration.yValue2);
    model.addPoint(QPointF(10, 10), QStringLiteral("Measured"));
    const QString project = path(name + QStringLiteral(".pmproj"));
    QString error;
    if (!saveProjectFile(project, model, &error))
        qWarning("cannot save %s: %s", qPrintable(project), qPrintable(error));
    return project;
}

// "X,Y" of the pixel under the point (x, y) in axis units.
QString pixelArgument(double x, double y)
{
    const QPointF pixel = scenes::chartCalibration().realToPixel({x, y});
    return QStringLiteral("%1,%2").arg(int(pixel.x())).arg(int(pixel.y()));
}

QByteArray bytesOf(const QString &file)
{
    return testsupport::readFile(file);
}

// The picture's pixel of a chart value on the PDF page as the model renders it.
QPointF chartPixel(const ProjectModel &model, double x, double y)
{
    const QPointF point = chartpdf::chartPoint(x, y);
    const QSize picture = model.sourceImage().size();
    return QPointF(point.x() * picture.width() / chartpdf::chartPageSize.width(),
                   point.y() * picture.height() / chartpdf::chartPageSize.height());
}

QString pixelArgument(const QPointF &pixel)
{
    return QStringLiteral("%1,%2").arg(pixel.x(), 0, 'f', 3).arg(pixel.y(), 0, 'f', 3);
}

// A project on the chart PDF at the default resolution, calibrated on its ticks.
QString chartProject(const QString &name, ProjectModel &model, bool calibrated = true)
{
    const QString pdf =
        chartpdf::writePdf(name + QStringLiteral(".pdf"), chartpdf::chartPageSize, chartpdf::paintChart);
    if (!model.loadSource(pdf))
        qWarning("cannot load %s: %s", qPrintable(pdf), qPrintable(model.lastError()));
    if (calibrated) {
        model.setAxisX(QLineF(chartPixel(model, 2, 0), chartPixel(model, 8, 0)), 2, 8);
        model.setAxisY(QLineF(chartPixel(model, 0, 20), chartPixel(model, 0, 80)), 20, 80);
    }
    const QString file = path(name + QStringLiteral(".pmproj"));
    QString error;
    if (!saveProjectFile(file, model, &error))
        qWarning("cannot save %s: %s", qPrintable(file), qPrintable(error));
    return file;
}

} // namespace

class TestBatchMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(qEnvironmentVariable("PLOTMASON_EXECUTABLE")), "no program");
    }

    void version()
    {
        const Run run = plotmason({QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Plotmason 1.1.7\n"));
    }

    void help()
    {
        const Run run = plotmason({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        for (const char *option :
             {"--list-projects", "--open",      "--database",  "--project",   "--export-csv",  "--export-svg",
              "--export-excel",  "--graph-pdf", "--graph-jpg", "--graph-svg", "--graph-excel", "--points",
              "--save-project",  "--store",     "--as",        "--trace",     "--markers",     "--into",
              "--sample",        "--pdf-curve", "--region",    "--sort",      "--dedupe",      "--source",
              "--page",          "--dpi",       "--template",  "--report",    "--jobs",        "--shard",
              "--trace-at"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString project = digitizedProject(QStringLiteral("usage"));
        QTest::newRow("unknown option") << QStringList{"--frobnicate"};
        QTest::newRow("missing value") << QStringList{"--open"};
        QTest::newRow("points too low")
            << QStringList{"--open", project, "--export-excel", path("a.xlsx"), "--points", "1"};
        QTest::newRow("points too high") << QStringList{"--open", project, "--points", "10001"};
        QTest::newRow("points not a number") << QStringList{"--open", project, "--points", "many"};
        QTest::newRow("export without project") << QStringList{"--export-csv", path("a.csv")};
        QTest::newRow("project without database")
            << QStringList{"--project", "P", "--export-csv", path("a.csv")};
        QTest::newRow("store without name") << QStringList{"--open", project, "--store", path("x.pmdb")};
        QTest::newRow("stray argument") << QStringList{"--open", project, "extra"};
        QTest::newRow("trace without comma") << QStringList{"--open", project, "--trace", "12"};
        QTest::newRow("trace not numbers") << QStringList{"--open", project, "--trace", "a,b"};
        QTest::newRow("markers with three values") << QStringList{"--open", project, "--markers", "1,2,3"};
        QTest::newRow("sample one point")
            << QStringList{"--open", project, "--trace", "1,2", "--sample", "1"};
        QTest::newRow("sample zero step")
            << QStringList{"--open", project, "--trace", "1,2", "--sample", "dx=0"};
        QTest::newRow("sample negative step")
            << QStringList{"--open", project, "--trace", "1,2", "--sample", "dx=-0.5"};
        QTest::newRow("sample unknown")
            << QStringList{"--open", project, "--trace", "1,2", "--sample", "fancy"};
        QTest::newRow("into without extraction")
            << QStringList{"--open", project, "--into", "A", "--export-csv", path("a.csv")};
        QTest::newRow("into before its step")
            << QStringList{"--open", project, "--into", "A", "--trace", "1,2", "--export-csv", path("a.csv")};
        QTest::newRow("into after an export")
            << QStringList{"--open", project, "--trace", "1,2", "--export-csv", path("a.csv"), "--into", "A"};
        QTest::newRow("two into for one step")
            << QStringList{"--open", project, "--markers", "1,2", "--into", "A", "--into", "B"};
        QTest::newRow("region before its step")
            << QStringList{"--open", project, "--region", "1,2,30,40", "--markers", "1,2"};
        QTest::newRow("region after sort")
            << QStringList{"--open", project, "--sort", "--region", "1,2,30,40"};
        QTest::newRow("region of three numbers")
            << QStringList{"--open", project, "--markers", "1,2", "--region", "1,2,30"};
        QTest::newRow("region without area")
            << QStringList{"--open", project, "--markers", "1,2", "--region", "1,2,1,40"};

        QTest::newRow("print with a value") << QStringList{"--open", project, "--print-calibration=all"};
        QTest::newRow("pixel without comma") << QStringList{"--open", project, "--pdf-curve", "12;5"};
        QTest::newRow("pixel not numbers") << QStringList{"--open", project, "--pdf-curve", "x,y"};
    }
    void badUsage()
    {
        QFETCH(QStringList, arguments);
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QLatin1String("--help")), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(path("a.csv")));
        QVERIFY(!QFileInfo::exists(path("a.xlsx")));
    }

    // The files are those that the window's own functions write for the project.
    void exportsMatchTheWindowsWriters()
    {
        const QString project = digitizedProject(QStringLiteral("pump"));
        const Run run =
            plotmason({QStringLiteral("--open"), project, QStringLiteral("--export-csv"), path("pump.csv"),
                       QStringLiteral("--export-excel"), path("pump.xlsx"), QStringLiteral("--points"),
                       QStringLiteral("40"), QStringLiteral("--export-svg"), path("pump.svg"),
                       QStringLiteral("--save-project"), path("copy.pmproj")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(project, model, &error));
        QVERIFY(model.exportCsv(path("expected.csv")));
        QVERIFY(writeCurvesWorkbook(path("expected.xlsx"), model.curves(), 40, &error));
        QVERIFY(model.exportSvg(path("expected.svg")));
        QVERIFY(saveProjectFile(path("expected.pmproj"), model, &error));
        QCOMPARE(bytesOf(path("pump.csv")), bytesOf(path("expected.csv")));
        QCOMPARE(bytesOf(path("pump.xlsx")), bytesOf(path("expected.xlsx")));
        QCOMPARE(bytesOf(path("pump.svg")), bytesOf(path("expected.svg")));
        QCOMPARE(bytesOf(path("copy.pmproj")), bytesOf(path("expected.pmproj")));
        QVERIFY(bytesOf(path("pump.csv")).startsWith("curve_name,"));
    }

    void databaseProjects()
    {
        const QString database = path("lab.pmdb");
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(digitizedProject(QStringLiteral("stored")), model, &error));
        for (const char *name : {"Oldest", "Middle", "Newest"}) {
            QVERIFY(ProjectDatabase::storeProject(database, model, QString::fromLatin1(name), &error));
        }
        // Save times have whole seconds: make the order explicit.
        const testsupport::ToolResult sql = testsupport::runTool(
            QStringLiteral("sqlite3"),
            {database,
             QStringLiteral("UPDATE plotmason_projects SET updated_at = CASE name WHEN 'Oldest' THEN "
                            "'2020-01-01T00:00:00Z' WHEN 'Middle' THEN '2021-01-01T00:00:00Z' ELSE "
                            "'2022-01-01T00:00:00Z' END;")});
        QCOMPARE(sql.exitCode, 0);
        const Run list = plotmason({QStringLiteral("--list-projects"), database});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, QStringLiteral("Newest\nMiddle\nOldest\n"));

        const Run run = plotmason(
            {QStringLiteral("--database"), database, QStringLiteral("--project"), QStringLiteral("Middle"),
             QStringLiteral("--export-csv"), path("db.csv"), QStringLiteral("--graph-excel"), path("db.xlsx"),
             QStringLiteral("--store"), path("copy.pmdb"), QStringLiteral("--as"), QStringLiteral("Copied")});
        QCOMPARE(run.exitCode, 0);
        ProjectModel loaded;
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("Middle"), loaded, &error));
        QVERIFY(writeCurvesCsv(path("db-expected.csv"), loaded.curves(), &error));
        // Resampled as a new graph draws its curves.
        QVERIFY(writeCurvesWorkbook(path("db-expected.xlsx"), loaded.curves(), 100, &error,
                                    batchScales(loaded, CurveSmoothing::ShapePreserving)));
        QCOMPARE(bytesOf(path("db.csv")), bytesOf(path("db-expected.csv")));
        QCOMPARE(bytesOf(path("db.xlsx")), bytesOf(path("db-expected.xlsx")));
        ProjectModel copied;
        QVERIFY(ProjectDatabase::loadProject(path("copy.pmdb"), QStringLiteral("Copied"), copied, &error));
        QCOMPARE(copied.curves(), loaded.curves());
    }

    // Only the steps that draw the picture or take its size need it: the others
    // run on a project whose picture was moved away, and write what they would with it.
    void movedPicture_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("needsPicture");
        QTest::newRow("CSV") << "--export-csv" << false;
        QTest::newRow("curves SVG, sized by the picture") << "--export-svg" << true;
        QTest::newRow("workbook") << "--export-excel" << false;
        QTest::newRow("graph workbook") << "--graph-excel" << false;
        QTest::newRow("project file") << "--save-project" << false;
        QTest::newRow("graph JPG") << "--graph-jpg" << true;
        QTest::newRow("graph PDF") << "--graph-pdf" << true;
    }
    void movedPicture()
    {
        QFETCH(QString, step);
        QFETCH(bool, needsPicture);
        const QString project = digitizedProject(QStringLiteral("moved"));
        const QString expected = path(QStringLiteral("expected-output"));
        const Run before = plotmason({QStringLiteral("--open"), project, step, expected});
        QCOMPARE(before.exitCode, 0);
        const QString picture = path(QStringLiteral("moved.png"));
        QFile::remove(path(QStringLiteral("elsewhere.png")));
        QVERIFY(QFile::rename(picture, path(QStringLiteral("elsewhere.png"))));

        const QString output = path(QStringLiteral("output"));
        const Run run = plotmason({QStringLiteral("--open"), project, step, output});
        if (needsPicture) {
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err.trimmed(), QStringLiteral("File sorgente non trovato: %1").arg(picture));
            QVERIFY(!QFileInfo::exists(output));
        } else {
            QCOMPARE(run.exitCode, 0);
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
            QCOMPARE(bytesOf(output), bytesOf(expected));
        }
        QFile::remove(output);
        QFile::remove(expected);
    }

    // A store keeps the picture when there is one and stores the rest when it has gone.
    void storeWithAndWithoutPicture()
    {
        const QString project = digitizedProject(QStringLiteral("kept"));
        const QString database = path(QStringLiteral("kept.pmdb"));
        QCOMPARE(plotmason({QStringLiteral("--open"), project, QStringLiteral("--store"), database,
                            QStringLiteral("--as"), QStringLiteral("With")})
                     .exitCode,
                 0);
        QVERIFY(QFile::remove(path(QStringLiteral("kept.png"))));
        QCOMPARE(plotmason({QStringLiteral("--open"), project, QStringLiteral("--store"), database,
                            QStringLiteral("--as"), QStringLiteral("Without")})
                     .exitCode,
                 0);
        ProjectModel with;
        ProjectModel without;
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("With"), with));
        QVERIFY(ProjectDatabase::loadProject(database, QStringLiteral("Without"), without));
        QCOMPARE(with.sourceImage().size(), QSize(640, 480));
        QVERIFY(without.sourceImage().isNull());
        QCOMPARE(without.curves(), with.curves());
        QCOMPARE(without.sourcePath(), with.sourcePath());
    }

    void graphExportsHaveTheirSizes()
    {
        const QString project = digitizedProject(QStringLiteral("graph"));
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--graph-jpg"),
                                   path("graph.jpg"), QStringLiteral("--graph-pdf"), path("graph.pdf"),
                                   QStringLiteral("--graph-svg"), path("graph.svg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QImageReader jpg(path("graph.jpg"));
        QCOMPARE(jpg.size(), QSize(2362, 1476)); // exactly 20 x 12.5 cm at 300 DPI
        const QImage image = jpg.read();
        QCOMPARE(image.dotsPerMeterX(), 11811);
        QVERIFY(bytesOf(path("graph.pdf")).startsWith("%PDF"));
        QVERIFY(bytesOf(path("graph.svg")).contains("<svg"));
        // A project without graph settings prints no placeholder texts.
        const testsupport::ToolResult text =
            testsupport::runTool(QStringLiteral("pdftotext"), {path("graph.pdf"), QStringLiteral("-")});
        QVERIFY2(text.started, "pdftotext (poppler-utils) is missing");
        QVERIFY(!text.output.contains("Title"));
        QVERIFY(text.output.contains("10")); // the tick values are there
    }

    void graphWorkbookIsResampledAsTheGraphDrawsIt_data()
    {
        QTest::addColumn<QJsonObject>("stored");
        QTest::addColumn<int>("smoothing");
        QTest::addColumn<int>("other");
        QTest::newRow("new graph") << QJsonObject() << int(CurveSmoothing::ShapePreserving)
                                   << int(CurveSmoothing::Spline);
        QTest::newRow("stored spline") << QJsonObject{{"curveSmoothing", "spline"}}
                                       << int(CurveSmoothing::Spline) << int(CurveSmoothing::ShapePreserving);
        QTest::newRow("stored straight lines")
            << QJsonObject{{"curveSmoothing", "straightLines"}} << int(CurveSmoothing::StraightLines)
            << int(CurveSmoothing::Spline);
    }

    void graphWorkbookIsResampledAsTheGraphDrawsIt()
    {
        QFETCH(QJsonObject, stored);
        QFETCH(int, smoothing);
        QFETCH(int, other);
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(digitizedProject(QStringLiteral("graphbook")), model, &error));
        model.setRegeneratedGraphSettings(stored);
        const QString project = path("graphbook-stored.pmproj");
        QVERIFY(saveProjectFile(project, model, &error));
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--graph-excel"),
                                   path("graph.xlsx"), QStringLiteral("--points"), QStringLiteral("40")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QVERIFY(writeCurvesWorkbook(path("expected.xlsx"), model.curves(), 40, &error,
                                    batchScales(model, CurveSmoothing(smoothing))));
        QVERIFY(writeCurvesWorkbook(path("other.xlsx"), model.curves(), 40, &error,
                                    batchScales(model, CurveSmoothing(other))));
        QCOMPARE(bytesOf(path("graph.xlsx")), bytesOf(path("expected.xlsx")));
        QVERIFY(bytesOf(path("graph.xlsx")) != bytesOf(path("other.xlsx")));
    }

    void failingStepStopsTheRun()
    {
        const QString project = digitizedProject(QStringLiteral("uncalibrated"), false);
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--save-project"),
                                   path("first.pmproj"), QStringLiteral("--export-csv"), path("refused.csv"),
                                   QStringLiteral("--save-project"), path("never.pmproj")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.trimmed(),
                 QStringLiteral("Complete X and Y axis calibration before adding points or exporting."));
        QVERIFY(QFileInfo::exists(path("first.pmproj")));
        QVERIFY(!QFileInfo::exists(path("refused.csv")));
        QVERIFY(!QFileInfo::exists(path("never.pmproj")));

        const Run graph =
            plotmason({QStringLiteral("--open"), project, QStringLiteral("--graph-pdf"), path("g.pdf")});
        QCOMPARE(graph.exitCode, 1);
        QCOMPARE(graph.err.trimmed(),
                 QStringLiteral("Complete X and Y axis calibration before using the regenerated graph."));
    }

    void extractionFillsCurves_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("curve");
        QTest::addColumn<QList<double>>("xs"); // expected x of the added points; empty: not checked
        QTest::addColumn<int>("count");        // points added
        QTest::newRow("trace, 6 points into a new curve")
            << QStringList{"--trace", pixelArgument(3.3, wave(3.3)), "--into", "Theory", "--sample", "6"}
            << "Theory" << QList<double>{} << 6;
        QTest::newRow("trace, every 2 into an existing curve")
            << QStringList{"--trace", pixelArgument(6.1, wave(6.1)), "--into", "Measured", "--sample", "dx=2"}
            << "Measured" << QList<double>{2, 4, 6, 8} << 4;
        QTest::newRow("markers into the active curve")
            << QStringList{"--markers", pixelArgument(3.0, -1.2)} << "Measured" << QList<double>{} << 15;
        QTest::newRow("markers in a region")
            << QStringList{"--markers", pixelArgument(3.0, -1.2), "--into", "Left",
                           "--region",  "60,40,400,520"}
            << "Left" << QList<double>{} << 8;
    }
    void extractionFillsCurves()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, curve);
        QFETCH(QList<double>, xs);
        QFETCH(int, count);
        const QString project = chartProject(QStringLiteral("chart"));
        ProjectModel before;
        QString error;
        QVERIFY(openProjectFile(project, before, &error));
        const Run run = plotmason(
            QStringList{"--open", project} + arguments +
            QStringList{"--save-project", path("filled.pmproj"), "--export-csv", path("filled.csv")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        ProjectModel after;
        QVERIFY(openProjectFile(path("filled.pmproj"), after, &error));
        QVERIFY(after.indexOfCurve(curve) >= 0);
        const int existing =
            before.indexOfCurve(curve) >= 0 ? before.curves()[before.indexOfCurve(curve)].points.size() : 0;
        const QList<CurvePoint> points = after.curves()[after.indexOfCurve(curve)].points.mid(existing);
        QCOMPARE(points.size(), count);
        for (qsizetype i = 0; i < points.size(); ++i) {
            if (!xs.isEmpty())
                QVERIFY(std::abs(points[i].real.x() - xs[i]) < 1e-6);
            // Markers sit at y = -1.2; traced points on the wave (1 px is 0.019 in y).
            const double expected =
                arguments.first() == QLatin1String("--markers") ? -1.2 : wave(points[i].real.x());
            QVERIFY2(std::abs(points[i].real.y() - expected) < 0.01,
                     qPrintable(QStringLiteral("(%1, %2)").arg(points[i].real.x()).arg(points[i].real.y())));
            if (i > 0)
                QVERIFY(points[i].real.x() > points[i - 1].real.x());
        }
        QVERIFY(bytesOf(path("filled.csv")).contains(curve.toUtf8()));
    }

    void failedExtractionStopsTheRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("on background") << QStringList{"--trace", pixelArgument(2.5, 1.3)}
                                       << "No curve at the clicked point: click on the curve's ink.";
        QTest::newRow("outside the plot")
            << QStringList{"--markers", "5,5"} << "The clicked point is outside the plot area.";
        QTest::newRow("outside the picture")
            << QStringList{"--trace", "5000,-20"} << "The clicked point is outside the plot area.";
        QTest::newRow("one marker in the region")
            << QStringList{"--markers", "112,472", "--region", "100,460,125,485"}
            << "--markers 112,472 found 1 point; a curve needs at least 2, so nothing was added.";
        QTest::newRow("sort a missing curve")
            << QStringList{"--sort", "--into", "Missing"} << "There is no curve named Missing.";
    }

    // Each --into belongs to the step before it: two extractions fill two curves.
    void stepsKeepTheirCurves()
    {
        const QString project = chartProject(QStringLiteral("two"));
        const Run run = plotmason({"--open", project, "--trace", pixelArgument(3.3, wave(3.3)), "--into",
                                   "One", "--markers", pixelArgument(3.0, -1.2), "--into", "Two",
                                   "--save-project", path("two-filled.pmproj")});
        QCOMPARE(run.exitCode, 0);
        ProjectModel after;
        QString error;
        QVERIFY(openProjectFile(path("two-filled.pmproj"), after, &error));
        QVERIFY(after.indexOfCurve(QStringLiteral("One")) >= 0 &&
                after.indexOfCurve(QStringLiteral("Two")) >= 0);
        for (const CurvePoint &point : after.curves()[after.indexOfCurve(QStringLiteral("One"))].points)
            QVERIFY(std::abs(point.real.y() - wave(point.real.x())) < 0.01);
        const QList<CurvePoint> markers = after.curves()[after.indexOfCurve(QStringLiteral("Two"))].points;
        QCOMPARE(markers.size(), 15);
        for (const CurvePoint &point : markers)
            QVERIFY(std::abs(point.real.y() + 1.2) < 0.01);
    }

    // --sort and --dedupe tidy the curve named after them.
    void sortAndDedupe()
    {
        ProjectModel model;
        const QString picture = path(QStringLiteral("tidy.png"));
        testsupport::chartImage(640, 480).save(picture);
        model.loadSource(picture);
        testsupport::calibrate(model);
        model.appendPoints(QStringLiteral("Mixed"), {{300, 300}, {120, 480}, {300.3, 300.2}, {480, 150}});
        QString error;
        QVERIFY(saveProjectFile(path("tidy.pmproj"), model, &error));
        const Run run = plotmason({"--open", path("tidy.pmproj"), "--sort", "--into", "Mixed", "--dedupe",
                                   "--into", "Mixed", "--save-project", path("tidied.pmproj")});
        QCOMPARE(run.exitCode, 0);
        ProjectModel after;
        QVERIFY(openProjectFile(path("tidied.pmproj"), after, &error));
        QList<QPointF> pixels;
        for (const CurvePoint &point : after.curves()[after.indexOfCurve(QStringLiteral("Mixed"))].points)
            pixels.append(point.pixel);
        QCOMPARE(pixels, (QList<QPointF>{{120, 480}, {300, 300}, {480, 150}}));
    }
    void failedExtractionStopsTheRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFile::remove(path("refused.csv"));
        const Run run = plotmason(QStringList{"--open", chartProject(QStringLiteral("refused"))} + arguments +
                                  QStringList{"--export-csv", path("refused.csv")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.trimmed(), message);
        QVERIFY(!QFileInfo::exists(path("refused.csv")));
    }

    // The drawn curve comes back as the numbers that drew it.
    void pdfCurve_data()
    {
        QTest::addColumn<QPointF>("near"); // chart value near which the pixel lies
        QTest::addColumn<QString>("into");
        QTest::addColumn<QString>("curve");
        QTest::addColumn<QList<QPointF>>("expected");
        const QList<QPointF> curve = chartpdf::curveData();
        QTest::newRow("into a new curve") << curve[10] << "Measured"
                                          << "Measured" << curve;
        QTest::newRow("into the active curve") << curve[30] << QString() << "Curve 1" << curve;
        QTest::newRow("markers") << chartpdf::markerData()[1] << "Markers"
                                 << "Markers" << chartpdf::markerData();
    }
    void pdfCurve()
    {
        QFETCH(QPointF, near);
        QFETCH(QString, into);
        QFETCH(QString, curve);
        QFETCH(QList<QPointF>, expected);
        ProjectModel source;
        const QString project = chartProject(QStringLiteral("chart"), source);
        QStringList arguments{QStringLiteral("--open"), project, QStringLiteral("--pdf-curve"),
                              pixelArgument(chartPixel(source, near.x(), near.y()) + QPointF(1, 1))};
        if (!into.isEmpty())
            arguments << QStringLiteral("--into") << into;
        arguments << QStringLiteral("--save-project") << path("imported.pmproj");
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));

        ProjectModel imported;
        QString error;
        QVERIFY(openProjectFile(path("imported.pmproj"), imported, &error));
        const int index = imported.indexOfCurve(curve);
        QVERIFY(index >= 0);
        const QList<CurvePoint> points = imported.curves()[index].points;
        QCOMPARE(points.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QVERIFY2(std::fabs(points[i].real.x() - expected[i].x()) <=
                         5e-7 * qMax(1.0, std::fabs(expected[i].x())),
                     qPrintable(QString::number(points[i].real.x(), 'g', 12)));
            QVERIFY2(std::fabs(points[i].real.y() - expected[i].y()) <=
                         5e-7 * qMax(1.0, std::fabs(expected[i].y())),
                     qPrintable(QString::number(points[i].real.y(), 'g', 12)));
        }
    }

    void pdfCurveRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing drawn there") << "empty paper"
                                             << "No drawn path passes near 1, 2 on the PDF page.";
        QTest::newRow("picture source") << "picture"
                                        << "The project's source is not a PDF.";
        QTest::newRow("uncalibrated")
            << "uncalibrated"
            << "Complete X and Y axis calibration before adding points or exporting.";
        QTest::newRow("scanned page") << "scan"
                                      << "This PDF page holds no vector drawing.";
    }
    void pdfCurveRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        ProjectModel model;
        QString project;
        if (kind == QLatin1String("picture")) {
            project = digitizedProject(QStringLiteral("picture"));
        } else if (kind == QLatin1String("scan")) {
            // A page that holds a picture only, as a scanner writes it.
            const QString pdf = chartpdf::writePdf(
                QStringLiteral("scan.pdf"), chartpdf::chartPageSize, [](QPainter &painter) {
                    painter.drawImage(QRectF(0, 0, 600, 400), testsupport::chartImage(120, 80));
                });
            model.loadSource(pdf);
            testsupport::calibrate(model);
            project = path(QStringLiteral("scan.pmproj"));
            QString error;
            QVERIFY(saveProjectFile(project, model, &error));
        } else {
            project = chartProject(QStringLiteral("refused"), model, kind != QLatin1String("uncalibrated"));
        }
        const Run run =
            plotmason({QStringLiteral("--open"), project, QStringLiteral("--pdf-curve"),
                       QStringLiteral("1,2"), QStringLiteral("--save-project"), path("never.pmproj")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.trimmed(), message);
        QVERIFY(!QFileInfo::exists(path("never.pmproj")));
    }

    void unreadableInputs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing project file")
            << QStringList{"--open", path("nowhere.pmproj"), "--export-csv", path("x.csv")} << QString();
        QTest::newRow("not a project")
            << QStringList{"--open", path("bad.pmproj"), "--export-csv", path("x.csv")}
            << QStringLiteral("Progetto JSON non valido: illegal value");
        QTest::newRow("unknown database project")
            << QStringList{"--database", path("empty.pmdb"), "--project",
                           "Nope",       "--export-csv",     path("x.csv")}
            << QStringLiteral("Progetto non trovato nel database.");
        QTest::newRow("unwritable target")
            << QStringList{"--open", digitizedProject(QStringLiteral("target")), "--export-csv",
                           path("no/such/dir/x.csv")}
            << QString();
    }
    void unreadableInputs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        testsupport::writeFile(path("bad.pmproj"), "not json");
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.trimmed().isEmpty());
        if (!message.isEmpty())
            QCOMPARE(run.err.trimmed(), message);
        QVERIFY(!QFileInfo::exists(path("x.csv")));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchMode)
#include "tst_batchmode.moc"
