#include "axisfinding/axisfinder.h"
#include "axisfinding/projectaxes.h"
#include "axisfinding/tesseractreader.h"
#include "core/model/projectmodel.h"
#include "drawnchart.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QPdfDocument>

#include <QtTest>

#include <cmath>

using drawnchart::Chart;
using drawnchart::ChartPlan;

Q_DECLARE_METATYPE(drawnchart::ChartPlan)

namespace {

// The found calibration against the drawn truth at the plot's four corners.
double worstCornerError(const Chart &chart, const ChartPlan &plan, const axisfinding::FoundAxes &found)
{
    ProjectModel model;
    if (!model.setAxisMarks(true, found.x.calibrationMarks(), found.x.logScale) ||
        !model.setAxisMarks(false, found.y.calibrationMarks(), found.y.logScale))
        return qInf();
    double worst = 0.0;
    for (const double x : {plan.xLow, plan.xHigh}) {
        for (const double y : {plan.yLow, plan.yHigh}) {
            bool ok = false;
            const QPointF pixel = model.calibration().realToPixel(QPointF(x, y), &ok);
            const QPointF truth = chart.pixelOf(x, y);
            worst = std::max(worst, ok ? std::hypot(pixel.x() - truth.x(), pixel.y() - truth.y()) : qInf());
        }
    }
    return worst;
}

// What was found, for the message of a failing check.
QByteArray described(const axisfinding::FoundAxis &axis)
{
    QStringList marks;
    for (const axisfinding::FoundMark &mark : axis.marks)
        marks.append(QStringLiteral("%1 at (%2, %3) %4 px%5")
                         .arg(mark.text)
                         .arg(mark.pixel.x(), 0, 'f', 2)
                         .arg(mark.pixel.y(), 0, 'f', 2)
                         .arg(mark.residual, 0, 'f', 2)
                         .arg(mark.used ? QString() : QStringLiteral(" left out")));
    return marks.join(QStringLiteral("; ")).toUtf8();
}

QString minusSign(double value)
{
    return QString::number(value, 'g', 6).replace(QLatin1Char('-'), QChar(0x2212));
}

ChartPlan logYPlan()
{
    ChartPlan log;
    log.yLog = true;
    log.yLow = 1;
    log.yHigh = 10000;
    log.yTicks = {1, 10, 100, 1000, 10000};
    return log;
}

} // namespace

class AxisFinderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chartsCalibrateThemselves_data()
    {
        QTest::addColumn<ChartPlan>("plan");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("linear frame") << ChartPlan() << 0.5;
        ChartPlan large;
        large.fontFamily = QStringLiteral("Serif");
        large.fontPixels = 20;
        large.size = QSize(1000, 700);
        large.plot = QRectF(140, 50, 800, 560);
        QTest::newRow("large serif labels") << large << 0.5;
        QTest::newRow("log Y") << logYPlan() << 0.5;
        ChartPlan negative;
        negative.xLow = -50;
        negative.xHigh = 50;
        negative.xTicks = {-50, -25, 0, 25, 50};
        negative.yLow = -1;
        negative.yHigh = 0.5;
        negative.yTicks = {-1, -0.5, 0, 0.5};
        negative.format = minusSign;
        negative.fontPixels = 11;
        QTest::newRow("negative, true minus, small") << negative << 0.5;
        ChartPlan offset;
        offset.xLow = 1970;
        offset.xHigh = 2020;
        offset.xTicks = {1970, 1980, 1990, 2000, 2010, 2020};
        offset.yLow = 20;
        offset.yHigh = 45;
        offset.yTicks = {20, 25, 30, 35, 40, 45};
        QTest::newRow("axes not at zero") << offset << 0.5;
        ChartPlan crossing = negative;
        crossing.zeroAxes = true;
        crossing.format = {};
        QTest::newRow("axes crossing in the middle") << crossing << 0.5;
        ChartPlan tilted;
        tilted.tiltDegrees = 2.0;
        QTest::newRow("tilted 2 degrees") << tilted << 0.5;
        ChartPlan noisy = tilted;
        noisy.tiltDegrees = -2.0;
        noisy.jpeg = true;
        QTest::newRow("tilted and JPEG noise") << noisy << 1.0;
    }
    void chartsCalibrateThemselves()
    {
        QFETCH(ChartPlan, plan);
        QFETCH(double, tolerance);
        const Chart chart = drawnchart::draw(plan);
        const axisfinding::FoundAxes found =
            axisfinding::findAxes(chart.picture, drawnchart::KnownLabels(chart.labels));
        QVERIFY(found.x.found);
        QVERIFY(found.y.found);
        QCOMPARE(found.x.logScale, plan.xLog);
        QCOMPARE(found.y.logScale, plan.yLog);
        // Axes crossing inside draw through the labels at 0, which are lost.
        const int crossed = plan.zeroAxes ? 1 : 0;
        QVERIFY2(found.x.agreeing == plan.xTicks.size() - crossed, described(found.x));
        QVERIFY2(found.y.agreeing == plan.yTicks.size() - crossed, described(found.y));
        const double error = worstCornerError(chart, plan, found);
        QVERIFY2(error <= tolerance, qPrintable(QStringLiteral("%1 px at a corner").arg(error)));
        QVERIFY(axisfinding::batchProblem(found).isEmpty());
        // The same texts given with their places, as a page has them, need no reader.
        const axisfinding::FoundAxes placed = axisfinding::findAxes(chart.picture, chart.labels);
        QVERIFY(worstCornerError(chart, plan, placed) <= tolerance);
    }

    // A label read wrong is left out of the fit, not fitted.
    void wrongLabelIsDropped_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<QString>("text");
        QTest::newRow("middle, a digit off") << 2 << "7";
        QTest::newRow("end, a digit added") << 5 << "100";
    }
    void wrongLabelIsDropped()
    {
        QFETCH(int, wrong);
        QFETCH(QString, text);
        ChartPlan plan;
        plan.wrongXLabel = wrong;
        plan.wrongText = text;
        const Chart chart = drawnchart::draw(plan);
        const axisfinding::FoundAxes found =
            axisfinding::findAxes(chart.picture, drawnchart::KnownLabels(chart.labels));
        QVERIFY(found.x.found);
        int dropped = 0;
        for (const axisfinding::FoundMark &mark : found.x.marks) {
            if (mark.text == text) {
                QVERIFY(!mark.used);
                QVERIFY(mark.residual > 1.0);
                ++dropped;
            }
        }
        QCOMPARE(dropped, 1);
        QVERIFY(worstCornerError(chart, plan, found) <= 0.5);
    }

    // A multiplier printed at the axis' end scales every label of that axis.
    void sharedMultiplier()
    {
        const ChartPlan plan;
        const Chart chart = drawnchart::draw(plan);
        QList<axisfinding::PlacedText> texts = chart.labels;
        const QPointF end = chart.pixelOf(plan.xHigh, plan.yLow);
        texts.append({QRectF(end + QPointF(10, 20), QSizeF(30, 14)), QStringLiteral("\u00D710\u00B3")});
        const axisfinding::FoundAxes found = axisfinding::findAxes(chart.picture, texts);
        QVERIFY2(found.x.agreeing == plan.xTicks.size(), described(found.x));
        for (const axisfinding::FoundMark &mark : found.x.marks)
            QVERIFY2(std::fmod(mark.value, 2000.0) == 0.0, qPrintable(QString::number(mark.value)));
        QCOMPARE(found.x.marks.size(), plan.xTicks.size());
        // The Y axis' labels are not scaled by the X axis' multiplier.
        for (const axisfinding::FoundMark &mark : found.y.marks)
            QVERIFY(mark.value <= 100.0);
    }

    // A vector PDF's labels come from the page's text and its marks from the
    // page's own lines: the calibration is the drawn truth but for the PDF's
    // rounding of numbers, on a frame, on axes crossing inside, on log axes.
    void vectorPdfPage_data()
    {
        QTest::addColumn<ChartPlan>("plan");
        QTest::addColumn<int>("dpi");
        QTest::newRow("frame at 144 dpi") << ChartPlan() << 144;
        ChartPlan crossing;
        crossing.xLow = -4;
        crossing.xTicks = {-4, -2, 0, 2, 4, 6, 8, 10};
        crossing.yLow = -40;
        crossing.yTicks = {-40, -20, 0, 20, 40, 60, 80, 100};
        crossing.zeroAxes = true;
        QTest::newRow("axes crossing inside at 100 dpi") << crossing << 100;
        QTest::newRow("log y at 200 dpi") << logYPlan() << 200;
    }
    void vectorPdfPage()
    {
        QFETCH(ChartPlan, plan);
        QFETCH(int, dpi);
        drawnchart::Chart chart;
        const QString pdf = chartpdf::writePdf(QStringLiteral("axes.pdf"), plan.size, [&](QPainter &painter) {
            drawnchart::paint(painter, plan, chart);
        });
        const double scale = dpi / 72.0;
        ProjectModel model;
        model.setRenderDpi(dpi);
        QVERIFY(model.loadSource(pdf));
        const QImage page = model.sourceImage();
        const QList<axisfinding::PlacedText> texts = axisfinding::pageTexts(pdf, 0, scale);
        QVERIFY(texts.size() >= plan.xTicks.size() + plan.yTicks.size());
        QString problem;
        const axisfinding::FoundAxes found = axisfinding::findProjectAxes(model, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY2(found.x.agreeing == plan.xTicks.size(), described(found.x));
        QVERIFY2(found.y.agreeing == plan.yTicks.size(), described(found.y));
        chart.picture = page;
        // Whole pixels: the page is stretched to them, a little unevenly.
        chart.valueToPixel *= QTransform::fromScale(page.width() / double(plan.size.width()),
                                                    page.height() / double(plan.size.height()));
        const double error = worstCornerError(chart, plan, found);
        QVERIFY2(error <= 1e-5, qPrintable(QString::number(error)));
        QVERIFY(axisfinding::pageTexts(QStringLiteral("/nonexistent.pdf"), 0, 1.0).isEmpty());
        QVERIFY(axisfinding::pageTexts(pdf, 1, 1.0).isEmpty());
        // The same drawing without its texts: nothing to read, nothing found.
        ChartPlan unlabelled = plan;
        unlabelled.fontPixels = 0;
        const QString bare =
            chartpdf::writePdf(QStringLiteral("bare.pdf"), plan.size,
                               [&](QPainter &painter) { drawnchart::paint(painter, unlabelled, chart); });
        const QList<axisfinding::PlacedText> none = axisfinding::pageTexts(bare, 0, scale);
        QVERIFY(none.isEmpty());
        QCOMPARE(axisfinding::batchProblem(axisfinding::findAxes(page, none)),
                 QStringLiteral("No axes with readable tick labels were found."));
    }

    // The real OCR engine on drawn labels: every axis gets at least three
    // labels that agree, and the calibration holds at the corners.
    void realOcr_data()
    {
        QTest::addColumn<ChartPlan>("plan");
        QTest::newRow("14 px labels") << ChartPlan();
        ChartPlan decimals;
        decimals.fontPixels = 18;
        decimals.yLow = -1;
        decimals.yHigh = 1.5;
        decimals.yTicks = {-1, -0.5, 0, 0.5, 1, 1.5};
        QTest::newRow("18 px, negative decimals") << decimals;
        ChartPlan millions;
        millions.yHigh = 1e8;
        millions.yTicks = {0, 2e7, 4e7, 6e7, 8e7, 1e8};
        millions.yExponent = 6;
        QTest::newRow("1e6 above the Y axis") << millions;
    }
    void realOcr()
    {
        QFETCH(ChartPlan, plan);
        const axisfinding::TesseractReader reader;
        QVERIFY(reader.isReady());
        const Chart chart = drawnchart::draw(plan);
        const axisfinding::FoundAxes found = axisfinding::findAxes(chart.picture, reader);
        QVERIFY2(found.x.agreeing >= 3, described(found.x));
        QVERIFY2(found.y.agreeing >= 3, described(found.y));
        QVERIFY(worstCornerError(chart, plan, found) <= 0.5);
    }

    // A matplotlib chart saved by ImageMagick as JPEG: the top label "1.5", by the frame's
    // corner, read from the grey crop as no number (quality 75) or as "5" (quality 40).
    void readsEveryLabelOfACompressedChart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("quality 75") << "../extract/data/zigzag-q75.jpg";
        QTest::newRow("quality 40") << "../extract/data/zigzag-q40.jpg";
    }
    void readsEveryLabelOfACompressedChart()
    {
        QFETCH(QString, file);
        const axisfinding::TesseractReader reader;
        QVERIFY(reader.isReady());
        const QImage picture(QFINDTESTDATA(file));
        QVERIFY(!picture.isNull());
        const axisfinding::FoundAxes found = axisfinding::findAxes(picture, reader);
        QVERIFY2(found.x.agreeing == 6, described(found.x));
        QVERIFY2(found.y.agreeing == 7, described(found.y));
    }

    // Pictures without a chart give the message, and no hang on odd sizes.
    void nothingToFind_data()
    {
        QTest::addColumn<QImage>("picture");
        QImage blank(640, 480, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QTest::newRow("blank") << blank;
        QTest::newRow("tiny") << QImage(16, 16, QImage::Format_RGB32);
        QTest::newRow("null") << QImage();
        QImage text = blank.copy();
        QPainter painter(&text);
        painter.setFont(QFont(QStringLiteral("Sans"), 14));
        for (int row = 0; row < 20; ++row)
            painter.drawText(20, 20 + 22 * row, QStringLiteral("Lorem ipsum 123 dolor 4.5 sit amet, 2024"));
        painter.end();
        QTest::newRow("text only") << text;
        ChartPlan plan;
        QImage huge(10000, 6000, QImage::Format_Grayscale8);
        huge.fill(255);
        QTest::newRow("60 megapixels") << huge;
        QTest::newRow("chart turned a quarter")
            << drawnchart::draw(plan).picture.transformed(QTransform().rotate(90));
    }
    void nothingToFind()
    {
        QFETCH(QImage, picture);
        // A reader that reads nothing: labels on their side cannot be read.
        const drawnchart::KnownLabels nothing({});
        const axisfinding::FoundAxes found = axisfinding::findAxes(picture, nothing);
        QCOMPARE(axisfinding::batchProblem(found),
                 QStringLiteral("No axes with readable tick labels were found."));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, AxisFinderTest)
#include "tst_axisfinder.moc"
