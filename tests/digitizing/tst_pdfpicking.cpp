#include "core/model/projectmodel.h"
#include "core/model/sourceloading.h"
#include "digitizing/graphview.h"
#include "pdfvector/pagedrawing.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QUndoStack>

#include <cmath>
#include <optional>

using namespace chartpdf;

namespace {

QString chartFile()
{
    static const QString path = writePdf(QStringLiteral("chart.pdf"), chartPageSize, paintChart);
    return path;
}

QList<QPointF> triangleData()
{
    QList<QPointF> data;
    for (const QPointF &point : markerData())
        data.append(point + QPointF(1, 0));
    return data;
}

// An offscreen view over a source, showing the whole picture at `zoom`; the
// calibration makes the real values the chart's data.
struct ChartView
{
    ProjectModel model;
    GraphView view{&model};
    QSignalSpy status{&view, &GraphView::statusMessage};
    QTransform pageToPixel;
    QPointF shift; // of the drawing on its page, in points

    explicit ChartView(int dpi, const QString &source = chartFile())
    {
        model.setRenderDpi(dpi);
        if (!model.loadSource(source))
            qWarning("cannot load %s: %s", qPrintable(source), qPrintable(model.lastError()));
        readTransform(chartFile(), dpi);
        view.resize(900, 700);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qWarning("view not exposed");
    }
    void readTransform(const QString &pdf, int dpi)
    {
        PageDrawing drawing;
        QString error;
        if (!readPageDrawing(pdf, 0, dpi, &drawing, &error))
            qWarning("cannot read the chart: %s", qPrintable(error));
        pageToPixel = drawing.pageToPixel;
    }
    QPointF pixel(const QPointF &value) const
    {
        const QPointF drawn = chartPoint(value.x(), value.y()) + shift;
        return pageToPixel.map(QPointF(drawn.x(), chartPageSize.height() - drawn.y()));
    }
    QList<QPointF> pixels(const QList<QPointF> &values) const
    {
        QList<QPointF> mapped;
        for (const QPointF &value : values)
            mapped.append(pixel(value));
        return mapped;
    }
    void calibrate()
    {
        model.setAxisX(QLineF(pixel({0, 0}), pixel({10, 0})), 0, 10);
        model.setAxisY(QLineF(pixel({0, 0}), pixel({0, 100})), 0, 100);
    }
    void zoom(double factor)
    {
        view.resetTransform();
        view.scale(factor, factor);
    }
    // Brings a scene point into view; the viewport position it shows at,
    // moved by whole screen pixels.
    QPoint screenAt(const QPointF &scenePoint, const QPoint &offset = {})
    {
        view.centerOn(scenePoint);
        return view.viewportTransform().map(scenePoint).toPoint() + offset;
    }
    void send(QEvent::Type type, const QPoint &position, Qt::KeyboardModifiers modifiers = {})
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, QPointF(position), view.viewport()->mapToGlobal(QPointF(position)), button,
                          held, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void hover(const QPoint &position, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseMove, position, modifiers);
    }
    void click(const QPoint &position, Qt::KeyboardModifiers modifiers = {})
    {
        hover(position, modifiers);
        send(QEvent::MouseButtonPress, position, modifiers);
        send(QEvent::MouseButtonRelease, position, modifiers);
    }
    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }
    // A millionth of the page's picture: what reading the drawing promises.
    double tolerance() const
    {
        const QImage &image = model.sourceImage();
        return 1e-6 * qMax(image.width(), image.height());
    }
};

bool samePoints(const QList<QPointF> &actual, const QList<QPointF> &expected, double tolerance, QString *why)
{
    if (actual.size() != expected.size()) {
        *why = QStringLiteral("%1 points instead of %2").arg(actual.size()).arg(expected.size());
        return false;
    }
    for (int i = 0; i < actual.size(); ++i) {
        if (QLineF(actual[i], expected[i]).length() > tolerance) {
            *why = QStringLiteral("point %1 is (%2, %3) instead of (%4, %5)")
                       .arg(i)
                       .arg(actual[i].x(), 0, 'g', 12)
                       .arg(actual[i].y(), 0, 'g', 12)
                       .arg(expected[i].x(), 0, 'g', 12)
                       .arg(expected[i].y(), 0, 'g', 12);
            return false;
        }
    }
    return true;
}

// Real values equal to six significant digits.
bool sameValues(const QList<CurvePoint> &points, const QList<QPointF> &expected, QString *why)
{
    if (points.size() != expected.size()) {
        *why = QStringLiteral("%1 points instead of %2").arg(points.size()).arg(expected.size());
        return false;
    }
    const auto close = [](double a, double b) { return std::fabs(a - b) <= 1e-6 * qMax(1.0, std::fabs(b)); };
    for (int i = 0; i < points.size(); ++i) {
        const QPointF real = points[i].real;
        if (!close(real.x(), expected[i].x()) || !close(real.y(), expected[i].y())) {
            *why = QStringLiteral("value %1 is %2, %3")
                       .arg(i)
                       .arg(real.x(), 0, 'g', 12)
                       .arg(real.y(), 0, 'g', 12);
            return false;
        }
    }
    return true;
}

// A page that holds a picture only, as a scanner writes it.
QString scannedPdf()
{
    return writePdf(QStringLiteral("scan.pdf"), chartPageSize, [](QPainter &painter) {
        painter.drawImage(QRectF(0, 0, 600, 400), testsupport::chartImage(120, 80));
    });
}

// The chart as a plain picture: the same pixels, no drawing behind them.
QString chartPicture()
{
    const QString path = testsupport::sandbox().filePath(QStringLiteral("chart.png"));
    if (!renderPdfPage(chartFile(), 0, 150, nullptr).save(path))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestPdfPicking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hoverHighlightsTheDrawnCurve_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QPointF>("near");  // chart value the pointer goes to
        QTest::addColumn<QPoint>("offset"); // from there, in screen pixels
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<QPointF>>("expected"); // chart values

        const int pick = GraphView::PickPdfMode;
        const int nothing = int(PickedCurve::Kind::Nothing), curve = int(PickedCurve::Kind::Curve),
                  markers = int(PickedCurve::Kind::Markers);
        const QList<QPointF> data = curveData();
        QTest::newRow("curve, first piece")
            << pick << 150 << 1.0 << data[3] << QPoint(2, -1) << curve << data;
        QTest::newRow("curve, last piece, zoomed in")
            << pick << 96 << 3.0 << data[33] << QPoint(0, 5) << curve << data;
        QTest::newRow("curve, zoomed out")
            << pick << 300 << 0.4 << data[20] << QPoint(-1, 2) << curve << data;
        QTest::newRow("circle markers")
            << pick << 150 << 1.0 << markerData()[2] << QPoint(3, 2) << markers << markerData();
        QTest::newRow("triangle markers")
            << pick << 72 << 2.0 << triangleData()[4] << QPoint(0, 6) << markers << triangleData();
        QTest::newRow("beyond the pick radius")
            << pick << 150 << 1.0 << data[10] << QPoint(0, 15) << nothing << QList<QPointF>();
        QTest::newRow("empty paper") << pick << 150 << 1.0 << QPointF(9.5, 40) << QPoint() << nothing
                                     << QList<QPointF>();
        QTest::newRow("point mode highlights nothing")
            << int(GraphView::PointMode) << 150 << 1.0 << data[3] << QPoint() << nothing << QList<QPointF>();
        QTest::newRow("trace mode highlights nothing")
            << int(GraphView::TraceMode) << 150 << 1.0 << data[3] << QPoint() << nothing << QList<QPointF>();
    }
    void hoverHighlightsTheDrawnCurve()
    {
        QFETCH(int, mode);
        QFETCH(int, dpi);
        QFETCH(double, zoom);
        QFETCH(QPointF, near);
        QFETCH(QPoint, offset);
        QFETCH(int, kind);
        QFETCH(QList<QPointF>, expected);
        ChartView chart(dpi);
        chart.calibrate();
        chart.view.setInteractionMode(mode);
        chart.zoom(zoom);
        const QString before = QString::fromUtf8(chart.model.compactProjectJson());

        chart.hover(chart.screenAt(chart.pixel(near), offset));
        const PickedCurve &hovered = chart.view.pdfPicking().hovered();
        QCOMPARE(int(hovered.kind), kind);
        QString why;
        QVERIFY2(samePoints(hovered.points, chart.pixels(expected), chart.tolerance(), &why),
                 qPrintable(why));
        QCOMPARE(hovered.paths.isEmpty(), expected.isEmpty());
        // Pointing changes nothing of the project.
        QCOMPARE(QString::fromUtf8(chart.model.compactProjectJson()), before);

        // Leaving the view takes the highlight away.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&chart.view, &leave);
        QCOMPARE(int(chart.view.pdfPicking().hovered().kind), int(PickedCurve::Kind::Nothing));
    }

    void clickImportsTheCurveAsOneStep_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPointF>("near");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QList<QPointF>>("expected"); // chart values = real values

        const QList<QPointF> data = curveData();
        QTest::newRow("curve at 150 dpi") << 150 << data[5] << QPoint(1, 2) << data;
        QTest::newRow("curve at 72 dpi, middle piece") << 72 << data[18] << QPoint(-2, 0) << data;
        QTest::newRow("curve at 600 dpi") << 600 << data[30] << QPoint(0, -3) << data;
        QTest::newRow("circle markers") << 150 << markerData()[1] << QPoint(-2, 3) << markerData();
        QTest::newRow("triangle markers") << 96 << triangleData()[0] << QPoint(0, 4) << triangleData();
    }
    void clickImportsTheCurveAsOneStep()
    {
        QFETCH(int, dpi);
        QFETCH(QPointF, near);
        QFETCH(QPoint, offset);
        QFETCH(QList<QPointF>, expected);
        ChartView chart(dpi);
        chart.calibrate();
        chart.model.addCurve(QStringLiteral("Measured"));
        chart.model.addCurve(QStringLiteral("Other"));
        chart.model.setActiveCurveIndex(chart.model.indexOfCurve(QStringLiteral("Measured")));
        chart.model.addPoint(chart.pixel({0.5, 10}), QStringLiteral("Measured"));
        chart.view.setInteractionMode(GraphView::PickPdfMode);
        const QByteArray before = chart.model.compactProjectJson();
        const int steps = chart.model.undoStack()->count();

        chart.click(chart.screenAt(chart.pixel(near), offset));

        QCOMPARE(chart.model.undoStack()->count(), steps + 1);
        QCOMPARE(chart.model.undoStack()->text(steps), QStringLiteral("Add points"));
        const int measured = chart.model.indexOfCurve(QStringLiteral("Measured"));
        QCOMPARE(chart.model.activeCurveIndex(), measured);
        const QList<CurvePoint> points = chart.model.curves()[measured].points;
        QCOMPARE(points.size(), expected.size() + 1);
        QList<QPointF> pixels;
        for (const CurvePoint &point : points.mid(1))
            pixels.append(point.pixel);
        QString why;
        QVERIFY2(samePoints(pixels, chart.pixels(expected), chart.tolerance(), &why), qPrintable(why));
        QVERIFY2(sameValues(points.mid(1), expected, &why), qPrintable(why));
        QCOMPARE(chart.lastStatus(),
                 QStringLiteral("%1 points of the PDF drawing added to Measured.").arg(expected.size()));

        const QByteArray after = chart.model.compactProjectJson();
        chart.model.undoStack()->undo();
        QCOMPARE(chart.model.compactProjectJson(), before);
        chart.model.undoStack()->redo();
        QCOMPARE(chart.model.compactProjectJson(), after);
    }

    // The dock's choice of curve: the active one, or a new one made by the same step.
    void importChoiceOfCurve_data()
    {
        QTest::addColumn<bool>("newCurve");
        QTest::newRow("active curve") << false;
        QTest::newRow("new curve") << true;
    }
    void importChoiceOfCurve()
    {
        QFETCH(bool, newCurve);
        ChartView chart(150);
        chart.calibrate();
        chart.model.addCurve(QStringLiteral("Measured"));
        chart.model.addPoint(chart.pixel({0.5, 10}), QStringLiteral("Measured"));
        chart.view.setInteractionMode(GraphView::PickPdfMode);
        chart.view.setPdfImportChoice({0, newCurve});
        const QString fresh = chart.model.freshCurveName();
        const int curves = int(chart.model.curves().size());
        const QByteArray before = chart.model.compactProjectJson();
        const QList<QPointF> data = curveData();

        chart.click(chart.screenAt(chart.pixel(data[5]), QPoint(1, 2)));

        const QString filled = newCurve ? fresh : QStringLiteral("Measured");
        QCOMPARE(int(chart.model.curves().size()), curves + (newCurve ? 1 : 0));
        QCOMPARE(chart.model.activeCurveName(), filled);
        const int index = chart.model.indexOfCurve(filled);
        QCOMPARE(int(chart.model.curves()[index].points.size()), int(data.size()) + (newCurve ? 0 : 1));
        QCOMPARE(chart.model.curves()[chart.model.indexOfCurve(QStringLiteral("Measured"))].points.size(),
                 newCurve ? 1 : data.size() + 1);
        chart.model.undoStack()->undo();
        QCOMPARE(chart.model.compactProjectJson(), before);
    }

    void sourcesWithoutDrawing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("picture")
            << "picture"
            << "Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.";
        QTest::newRow("scanned page") << "scan"
                                      << "This PDF page holds no vector drawing.";
        QTest::newRow("blank page") << "blank"
                                    << "This PDF page holds no vector drawing.";
    }
    void sourcesWithoutDrawing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString source = kind == QLatin1String("picture") ? chartPicture()
                               : kind == QLatin1String("scan")
                                   ? scannedPdf()
                                   : writePdf(QStringLiteral("blank.pdf"), chartPageSize, [](QPainter &) {});
        ChartView chart(150, source);
        QVERIFY(!chart.model.sourceImage().isNull());
        chart.calibrate();
        const QByteArray before = chart.model.compactProjectJson();
        const int steps = chart.model.undoStack()->count();

        chart.view.setInteractionMode(GraphView::PickPdfMode);
        QCOMPARE(chart.lastStatus(), message);
        chart.status.clear();
        const QPoint onCurve = chart.screenAt(chart.pixel(curveData()[4]));
        chart.hover(onCurve);
        QCOMPARE(int(chart.view.pdfPicking().hovered().kind), int(PickedCurve::Kind::Nothing));
        chart.click(onCurve);
        QCOMPARE(chart.status.size(), 1);
        QCOMPARE(chart.lastStatus(), message);
        QCOMPARE(chart.model.compactProjectJson(), before);
        QCOMPARE(chart.model.undoStack()->count(), steps);
    }

    void clickBesideEveryLine()
    {
        ChartView chart(150);
        chart.calibrate();
        chart.view.setInteractionMode(GraphView::PickPdfMode);
        QCOMPARE(chart.lastStatus(),
                 QStringLiteral("Point at a line drawn in the PDF and click to add its exact "
                                "points to the active curve."));
        const QByteArray before = chart.model.compactProjectJson();
        chart.click(chart.screenAt(chart.pixel({9.5, 40})));
        QCOMPARE(chart.lastStatus(),
                 QStringLiteral("No drawn line passes here: point at a line until it lights up."));
        QCOMPARE(chart.model.compactProjectJson(), before);
    }

    void calibrationSnapsToTheDrawing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("alt");
        QTest::addColumn<QPointF>("first"); // chart values the clicks aim at
        QTest::addColumn<QPointF>("second");
        QTest::addColumn<QPoint>("offset"); // of both clicks, screen pixels
        QTest::addColumn<bool>("snaps");

        const int x = GraphView::CalibrateXMode, y = GraphView::CalibrateYMode;
        QTest::newRow("x axis ends") << "chart" << x << 150 << false << QPointF(0, 0) << QPointF(10, 0)
                                     << QPoint(2, -1) << true;
        QTest::newRow("x axis ends, Alt held")
            << "chart" << x << 150 << true << QPointF(0, 0) << QPointF(10, 0) << QPoint(2, -1) << false;
        QTest::newRow("y axis ends") << "chart" << y << 150 << false << QPointF(0, 0) << QPointF(0, 100)
                                     << QPoint(-1, 2) << true;
        QTest::newRow("y axis ends, Alt held")
            << "chart" << y << 150 << true << QPointF(0, 0) << QPointF(0, 100) << QPoint(-1, 2) << false;
        QTest::newRow("ticks crossing the x axis")
            << "chart" << x << 72 << false << QPointF(4, 0) << QPointF(8, 0) << QPoint(1, 1) << true;
        QTest::newRow("ticks crossing the y axis")
            << "chart" << y << 300 << false << QPointF(0, 20) << QPointF(0, 80) << QPoint(-3, 4) << true;
        QTest::newRow("far from the drawing")
            << "chart" << x << 150 << false << QPointF(5, 50) << QPointF(7, 50) << QPoint(1, 0) << false;
        QTest::newRow("picture of the chart")
            << "picture" << x << 150 << false << QPointF(0, 0) << QPointF(10, 0) << QPoint(2, -1) << false;
    }
    void calibrationSnapsToTheDrawing()
    {
        QFETCH(QString, source);
        QFETCH(int, mode);
        QFETCH(int, dpi);
        QFETCH(bool, alt);
        QFETCH(QPointF, first);
        QFETCH(QPointF, second);
        QFETCH(QPoint, offset);
        QFETCH(bool, snaps);
        ChartView chart(dpi, source == QLatin1String("picture") ? chartPicture() : chartFile());
        // Tilted axes take the marks as they are, so the line shows exactly where they went.
        chart.view.setOrthogonalAxes(false);
        chart.view.setInteractionMode(mode);
        QSignalSpy lines(&chart.view, &GraphView::calibrationLineSelected);
        const Qt::KeyboardModifiers modifiers = alt ? Qt::AltModifier : Qt::NoModifier;
        QList<QPointF> marks;
        for (const QPointF &aim : {first, second}) {
            const QPoint at = chart.screenAt(chart.pixel(aim), offset);
            const QPointF mark = snaps ? chart.pixel(aim) : chart.view.mapToScene(at);
            marks.append(mark);
            chart.hover(at, modifiers);
            // Shown before the click.
            const std::optional<QPointF> shown = chart.view.pdfPicking().snapMark();
            QCOMPARE(shown.has_value(), snaps);
            if (snaps)
                QVERIFY2(QLineF(*shown, mark).length() <= chart.tolerance(),
                         qPrintable(QStringLiteral("shown at %1, %2").arg(shown->x()).arg(shown->y())));
            chart.click(at, modifiers);
        }
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(0).toBool(), mode == GraphView::CalibrateXMode);
        const QLineF line = lines.at(0).at(1).toLineF();
        QString why;
        QVERIFY2(samePoints({line.p1(), line.p2()}, marks, snaps ? chart.tolerance() : 0.0, &why),
                 qPrintable(why));
    }

    // Calibrated by clicks a little beside the axis ends, the curve comes back as the data that drew it.
    void snappedCalibrationGivesTheDrawnData_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPoint>("miss"); // of every calibration click, screen pixels
        QTest::newRow("72 dpi") << 72 << QPoint(3, -2);
        QTest::newRow("150 dpi") << 150 << QPoint(-2, 4);
        QTest::newRow("300 dpi") << 300 << QPoint(5, 5);
    }
    void snappedCalibrationGivesTheDrawnData()
    {
        QFETCH(int, dpi);
        QFETCH(QPoint, miss);
        ChartView chart(dpi);
        QObject::connect(&chart.view, &GraphView::calibrationLineSelected, &chart.model,
                         [&chart](bool xAxis, QLineF line) {
                             if (xAxis)
                                 chart.model.setAxisX(line, 0, 10);
                             else
                                 chart.model.setAxisY(line, 0, 100);
                         });
        for (const auto &[mode, end] : {std::pair(GraphView::CalibrateXMode, QPointF(10, 0)),
                                        std::pair(GraphView::CalibrateYMode, QPointF(0, 100))}) {
            chart.view.setInteractionMode(mode);
            chart.click(chart.screenAt(chart.pixel({0, 0}), miss));
            chart.click(chart.screenAt(chart.pixel(end), miss));
        }
        QVERIFY(chart.model.calibration().isComplete());
        chart.view.setInteractionMode(GraphView::PickPdfMode);
        chart.click(chart.screenAt(chart.pixel(curveData()[9])));
        QString why;
        QVERIFY2(sameValues(chart.model.curves()[chart.model.activeCurveIndex()].points, curveData(), &why),
                 qPrintable(why));
    }

    void rereadsWhenTheSourceChanges_data()
    {
        QTest::addColumn<int>("newDpi");
        QTest::addColumn<QPointF>("shift"); // of the rewritten file's drawing; none: same file
        QTest::newRow("finer resolution") << 300 << QPointF();
        QTest::newRow("coarser resolution") << 72 << QPointF();
        QTest::newRow("file rewritten under the same name") << 150 << QPointF(-30, 25);
    }
    void rereadsWhenTheSourceChanges()
    {
        QFETCH(int, newDpi);
        QFETCH(QPointF, shift);
        const QString path = writePdf(QStringLiteral("changing.pdf"), chartPageSize, paintChart);
        ChartView chart(150, path);
        chart.calibrate();
        chart.view.setInteractionMode(GraphView::PickPdfMode);
        const QPointF aim = curveData()[7];
        chart.hover(chart.screenAt(chart.pixel(aim)));
        QCOMPARE(int(chart.view.pdfPicking().hovered().kind), int(PickedCurve::Kind::Curve));

        if (!shift.isNull()) {
            writePdf(QStringLiteral("changing.pdf"), chartPageSize, [shift](QPainter &painter) {
                painter.translate(shift);
                paintChart(painter);
            });
            QVERIFY(chart.model.loadSource(path));
        } else {
            chart.model.setRenderDpi(newDpi);
        }
        // What was highlighted belongs to the old picture.
        QCOMPARE(int(chart.view.pdfPicking().hovered().kind), int(PickedCurve::Kind::Nothing));
        chart.readTransform(path, newDpi);
        chart.shift = shift;
        chart.hover(chart.screenAt(chart.pixel(aim)));
        QString why;
        QVERIFY2(samePoints(chart.view.pdfPicking().hovered().points, chart.pixels(curveData()),
                            chart.tolerance(), &why),
                 qPrintable(why));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestPdfPicking)
#include "tst_pdfpicking.moc"
