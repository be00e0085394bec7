// The real program on drawn charts: many pictures in one run, each its own
// project from a template with its failures reported alone, and a project
// calibrated from its own chart.
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/cli/batchrun.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace {

QString path(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// The curve of every chart: y = 50 + amplitude * sin(0.6 (x - 5)), through (5, 50).
double drawnY(double x, double amplitude)
{
    return 50 + amplitude * std::sin(0.6 * (x - 5));
}

// A 640 x 480 chart of x 0..10 and y 0..100 in `frame`, with ticks labelled
// every 2 and every 20, and the curve in blue.
void drawChart(const QString &file, const QRectF &frame, double amplitude)
{
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(16);
    painter.setFont(font);
    const auto pixel = [&frame](double x, double y) {
        return QPointF(frame.left() + frame.width() * x / 10, frame.bottom() - frame.height() * y / 100);
    };
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(frame);
    for (int i = 0; i <= 5; ++i) {
        const QPointF x = pixel(2 * i, 0), y = pixel(0, 20 * i);
        painter.drawLine(x, x + QPointF(0, 7));
        painter.drawText(QRectF(x.x() - 30, x.y() + 10, 60, 24), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(2 * i));
        painter.drawLine(y, y - QPointF(7, 0));
        painter.drawText(QRectF(y.x() - 70, y.y() - 12, 58, 24), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(20 * i));
    }
    QPolygonF curve;
    for (int i = 0; i <= 200; ++i)
        curve << pixel(0.2 + 9.6 * i / 200, drawnY(0.2 + 9.6 * i / 200, amplitude));
    painter.setPen(QPen(QColor(20, 70, 200), 2));
    painter.drawPolyline(curve);
    painter.end();
    picture.save(file);
}

const QRectF templateFrame(100, 100, 400, 300);

double amplitudeOf(int chart)
{
    return 10 + 1.5 * chart;
}

// Why the CSV differs from the drawn curve; empty when every row lies on it
// and the rows span the curve.
QString csvProblem(const QString &file, double amplitude)
{
    const QList<QByteArray> lines = testsupport::readFile(file).split('\n');
    double first = 100, last = -100;
    int rows = 0;
    for (const QByteArray &line : lines.mid(1)) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> cells = line.split(',');
        if (cells.size() != 7 || cells[0] != "\"Signal\"")
            return QStringLiteral("row %1").arg(QString::fromUtf8(line));
        const double x = cells[3].toDouble(), y = cells[4].toDouble();
        if (std::abs(y - drawnY(x, amplitude)) > 0.5)
            return QStringLiteral("%1, %2 is off the curve").arg(x).arg(y);
        first = std::min(first, x);
        last = std::max(last, x);
        ++rows;
    }
    return rows >= 10 && first < 0.6 && last > 9.4
               ? QString()
               : QStringLiteral("%1 rows from %2 to %3").arg(rows).arg(first).arg(last);
}

QStringList withoutLibpng(const QString &err)
{
    QStringList lines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.startsWith(QLatin1String("libpng")); });
    return lines;
}

} // namespace

class TestBatchPictures : public QObject
{
    Q_OBJECT

    QString m_template;

    // The pictures of one layout, a corrupt file and a blank picture, traced
    // from the template's seed into out/{name}.csv.
    Run traceCharts(const QString &out, const QStringList &extra)
    {
        return plotmason(QStringList{"--source", path("charts/*.png"), "--template", m_template, "--trace",
                                     "300,250", "--into", "Signal", "--export-csv",
                                     path(out + "/{name}.csv")} +
                         extra);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("PLOTMASON_EXECUTABLE"));
        QVERIFY(QDir().mkpath(path("charts")));
        for (int i = 0; i < 20; ++i)
            drawChart(path(QStringLiteral("charts/chart_%1.png").arg(i, 2, 10, QLatin1Char('0'))),
                      templateFrame, amplitudeOf(i));
        QVERIFY(testsupport::writeFile(path("charts/chart_corrupt.png"), "\x89PNG\r\n\x1a\n not really"));
        QImage blank(640, 480, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(blank.save(path("charts/chart_blank.png")));

        // The template: the first chart calibrated, its curve named, and a
        // point off every curve that no picture may inherit.
        ProjectModel model;
        QVERIFY(model.loadSource(path("charts/chart_00.png")));
        model.setAxisX(QLineF(100, 400, 500, 400), 0, 10);
        model.setAxisY(QLineF(100, 400, 100, 100), 0, 100);
        model.setActiveCurveMetadata(QStringLiteral("Signal"), QStringLiteral("a"), QStringLiteral("1"));
        model.addPoint(QPointF(300, 130));
        m_template = path("template.pmproj");
        QString error;
        QVERIFY2(saveProjectFile(m_template, model, &error), qPrintable(error));
    }

    // Every good chart's CSV follows its drawn curve; the corrupt and the blank
    // picture fail alone, with their reasons, and the same run on one job
    // writes the same bytes, the regenerated graphs included.
    void sameLayout()
    {
        const Run run = traceCharts(QStringLiteral("out4"), {"--jobs", "4", "--report", path("report4.csv"),
                                                             "--store", path("charts.pmdb"), "--as", "{name}",
                                                             "--graph-svg", path("out4/{name}.svg")});
        QCOMPARE(run.exitCode, 1);
        // libpng writes its own complaint about the corrupt file, past Qt's message handler.
        const QStringList messages = withoutLibpng(run.err);
        QVERIFY2(messages.size() == 3, qPrintable(run.err));
        QVERIFY2(messages[0].startsWith(path("charts/chart_blank.png: No curve at the clicked point")),
                 qPrintable(messages[0]));
        QVERIFY2(messages[1].startsWith(path("charts/chart_corrupt.png: Impossibile leggere")),
                 qPrintable(messages[1]));
        QCOMPARE(messages[2], QStringLiteral("20 done, 2 failed: see above"));
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("chart_%1").arg(i, 2, 10, QLatin1Char('0'));
            const QString problem = csvProblem(path(QStringLiteral("out4/%1.csv").arg(name)), amplitudeOf(i));
            QVERIFY2(problem.isEmpty(), qPrintable(name + QStringLiteral(": ") + problem));
        }
        QVERIFY(!QFileInfo::exists(path("out4/chart_blank.csv")));

        const QList<QByteArray> report = testsupport::readFile(path("report4.csv")).split('\n');
        QCOMPARE(report.size(), 1 + 22 + 1);
        QVERIFY(
            report[1].startsWith('"' + path("charts/chart_00.png").toUtf8() + "\",,done,\"\",\"Signal: "));
        QVERIFY(report[1].endsWith(",0,0"));
        QVERIFY(report[21].contains("chart_blank.png\",,failed,\"No curve"));
        QVERIFY(report[22].contains("chart_corrupt.png\",,failed,\"Impossibile leggere"));

        const Run stored = plotmason({"--list-projects", path("charts.pmdb")});
        QCOMPARE(stored.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 20);

        const Run single =
            traceCharts(QStringLiteral("out1"), {"--jobs", "1", "--report", path("report1.csv"),
                                                 "--graph-svg", path("out1/{name}.svg")});
        QCOMPARE(single.exitCode, 1);
        QCOMPARE(withoutLibpng(single.err), messages);
        QCOMPARE(testsupport::readFile(path("report1.csv")), testsupport::readFile(path("report4.csv")));
        const QStringList written = QDir(path("out4")).entryList(QDir::Files);
        QCOMPARE(written.size(), 2 * 20);
        QVERIFY(testsupport::readFile(path("out4/chart_07.svg")).contains(">10</text>")); // a tick label
        QCOMPARE(QDir(path("out1")).entryList(QDir::Files), written);
        for (const QString &file : written)
            QCOMPARE(testsupport::readFile(path("out1/") + file),
                     testsupport::readFile(path("out4/") + file));
    }

    // Two shards write every picture's results once between them.
    void shards()
    {
        QStringList files;
        for (const char *shard : {"1/2", "2/2"}) {
            const QString report = path(QStringLiteral("shard%1.csv").arg(QLatin1Char(shard[0])));
            const Run run = traceCharts(QStringLiteral("sharded"), {"--shard", shard, "--report", report});
            QCOMPARE(run.exitCode, 1); // each shard has one of the two bad pictures
            QVERIFY2(run.err.endsWith(QLatin1String("10 done, 1 failed: see above\n")), qPrintable(run.err));
            const QList<QByteArray> rows = testsupport::readFile(report).split('\n');
            QCOMPARE(rows.size(), 1 + 11 + 1);
            for (const QByteArray &row : rows.mid(1, 11))
                files.append(QString::fromUtf8(row.split(',').first()));
        }
        QStringList all = QDir(path("charts")).entryList(QDir::Files);
        for (QString &file : all)
            file = QLatin1Char('"') + path(QStringLiteral("charts/") + file) + QLatin1Char('"');
        files.sort();
        all.sort();
        QCOMPARE(files, all);
        QCOMPARE(QDir(path("sharded")).entryList(QDir::Files).size(), 20);
    }

    // Charts laid out differently: the axes found on each picture place the
    // seed given in values on the same curve.
    void shiftedLayouts()
    {
        const QList<QRectF> frames{{140, 60, 440, 330},
                                   {80, 120, 360, 280},
                                   {160, 90, 420, 300},
                                   {120, 140, 380, 260},
                                   {90, 70, 500, 340}};
        QVERIFY(QDir().mkpath(path("shifted")));
        for (int i = 0; i < frames.size(); ++i)
            drawChart(path(QStringLiteral("shifted/s%1.png").arg(i)), frames[i], 15 + 5 * i);
        const Run run = plotmason({"--source", path("shifted"), "--template", m_template, "--auto-calibrate",
                                   "--print-calibration", "--trace-at", "5,50", "--into", "Signal",
                                   "--export-csv", path("shifted-out/{index}-{name}.csv"), "--jobs", "2"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("5 done, 0 failed\n"));
        for (int i = 0; i < frames.size(); ++i) {
            const QString problem =
                csvProblem(path(QStringLiteral("shifted-out/%1-s%2.csv").arg(i + 1).arg(i)), 15 + 5 * i);
            QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("s%1: ").arg(i) + problem));
            QVERIFY(run.out.contains(path(QStringLiteral("shifted/s%1.png\taxis\tX\t").arg(i))));
        }
    }

    // Each page of a PDF is a picture of its own; a page beyond the end fails.
    void pdfPages()
    {
        const QString pdf = testsupport::writeLetterPdf(QStringLiteral("book.pdf"), 3);
        const Run run = plotmason({"--source", pdf, "--page", "2-4", "--dpi", "72", "--save-project",
                                   path("pages/{name}-{page}.pmproj")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, pdf + QStringLiteral(" page 4: The PDF has 3 pages; there is no page 4.\n"
                                               "2 done, 1 failed: see above\n"));
        for (int page : {2, 3}) {
            ProjectModel model;
            QString error;
            QVERIFY2(openProjectFile(path(QStringLiteral("pages/book-%1.pmproj").arg(page)), model, &error),
                     qPrintable(error));
            QCOMPARE(model.pdfPage(), page - 1);
            QCOMPARE(model.renderDpi(), 72);
        }
    }

    // --auto-calibrate on a project reads the chart's own axes, replaces the
    // calibration and recomputes the points; a picture without axes fails and
    // leaves the project file as it was.
    void autoCalibrateProject_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::newRow("drawn chart") << "chart_00.png";
        QTest::newRow("blank picture") << "chart_blank.png";
    }
    void autoCalibrateProject()
    {
        QFETCH(QString, picture);
        ProjectModel model;
        QVERIFY(model.loadSource(path(QStringLiteral("charts/") + picture)));
        model.setAxisX(QLineF(0, 0, 100, 0), 0, 1); // wrong on purpose
        model.setAxisY(QLineF(0, 0, 0, 100), 0, 1);
        model.addPoint(QPointF(300, 250)); // x 5, y 50 on the drawn chart
        const QString project = path(QStringLiteral("auto.pmproj"));
        QString error;
        QVERIFY(saveProjectFile(project, model, &error));
        const QByteArray before = testsupport::readFile(project);
        const Run run = plotmason({"--open", project, "--auto-calibrate", "--export-csv", path("auto.csv"),
                                   "--save-project", project});
        if (picture == QLatin1String("chart_blank.png")) {
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err.trimmed(), QStringLiteral("No axes with readable tick labels were found."));
            QCOMPARE(testsupport::readFile(project), before);
            return;
        }
        QCOMPARE(run.exitCode, 0);
        ProjectModel calibrated;
        QVERIFY(openProjectFile(project, calibrated, &error));
        const QPointF real = calibrated.curves()[0].points[0].real;
        QVERIFY2(std::abs(real.x() - 5.0) < 0.01 && std::abs(real.y() - 50.0) < 0.1,
                 qPrintable(QStringLiteral("%1, %2").arg(real.x()).arg(real.y())));
        QVERIFY(testsupport::readFile(path("auto.csv")).contains("5"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString charts = path("charts/chart_0*.png");
        const QString csv = path("refused/{name}.csv");
        QTest::newRow("shard beyond count")
            << QStringList{"--source", charts, "--shard", "3/2"} << 2 << "--shard takes K/N";
        QTest::newRow("empty source")
            << QStringList{"--source", "", "--export-csv", csv} << 2 << "--source takes";
        QTest::newRow("page zero") << QStringList{"--source", charts, "--page", "0"} << 2 << "--page takes";
        QTest::newRow("no jobs") << QStringList{"--source", charts, "--jobs", "0"} << 2 << "--jobs takes";
        QTest::newRow("dpi too low") << QStringList{"--source", charts, "--dpi", "20"} << 2 << "--dpi takes";
        QTest::newRow("unknown name part")
            << QStringList{"--source", charts, "--export-csv", path("{nmae}.csv")} << 2 << "{nmae}";
        QTest::newRow("one name for all")
            << QStringList{"--source", charts, "--save-project", path("all.pmproj")} << 2
            << "would both write";
        QTest::newRow("one stored name for all")
            << QStringList{"--source", charts, "--store", path("x.pmdb"), "--as", "same"} << 2
            << "would both write";
        QTest::newRow("template without pictures")
            << QStringList{"--template", m_template, "--export-csv", csv} << 2
            << "--template goes with --source.";
        QTest::newRow("pictures and a project")
            << QStringList{"--source", charts, "--open", m_template} << 2 << "not both";
        QTest::newRow("pattern finds nothing")
            << QStringList{"--source", path("charts/*.jpg"), "--export-csv", csv} << 1 << "No file matches";
        QTest::newRow("corrupt template")
            << QStringList{"--source",     charts, "--template", path("charts/chart_corrupt.png"),
                           "--export-csv", csv}
            << 1 << "Progetto JSON non valido";
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = plotmason(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(path("refused")));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchPictures)
#include "tst_batchpictures.moc"
