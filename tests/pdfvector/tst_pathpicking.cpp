#include "core/model/projectmodel.h"
#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <QPainterPath>

#include <cmath>

using namespace chartpdf;

namespace {

struct Chart
{
    QString path;
    PageDrawing drawing;

    // The pixel of a chart value on the rendered picture.
    QPointF pixel(double x, double y) const
    {
        const QPointF drawn = chartPoint(x, y);
        return drawing.pageToPixel.map(QPointF(drawn.x(), chartPageSize.height() - drawn.y()));
    }
};

Chart chart(int rotate, int dpi)
{
    Chart chart;
    const QString drawn = chartpdf::writePdf(QStringLiteral("chart-drawn.pdf"), chartPageSize, paintChart);
    chartpdf::PageEdit edit;
    edit.rotate = rotate;
    chart.path = chartpdf::editFirstPage(drawn, QStringLiteral("chart.pdf"), edit);
    QString error;
    if (!readPageDrawing(chart.path, 0, dpi, &chart.drawing, &error))
        qWarning("cannot read the chart: %s", qPrintable(error));
    return chart;
}

double pixelTolerance(const PageDrawing &drawing)
{
    const QSize size = drawing.frame.imageSize;
    return 1e-6 * qMax(size.width(), size.height());
}

bool near(const QPointF &a, const QPointF &b, double tolerance)
{
    return QLineF(a, b).length() <= tolerance;
}

} // namespace

class TestPathPicking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pickedCurve_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPointF>("near");   // chart value near which the click lands
        QTest::addColumn<QPointF>("offset"); // of the click from it, in pixels
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<QPointF>>("expected"); // chart values, empty for nothing

        const QList<QPointF> curve = curveData();
        QList<QPointF> triangles;
        for (const QPointF &point : markerData())
            triangles.append(point + QPointF(1, 0));
        const int line = int(PickedCurve::Kind::Curve), markers = int(PickedCurve::Kind::Markers);
        for (int rotate : {0, 90, 270}) {
            const QByteArray turned = QByteArray::number(rotate) + " degrees";
            QTest::newRow("first piece, " + turned)
                << rotate << 150 << curve[3] << QPointF(1.5, -1) << line << curve;
            QTest::newRow("last piece, " + turned)
                << rotate << 96 << curve[33] << QPointF(0, 2) << line << curve;
            QTest::newRow("circle markers, " + turned)
                << rotate << 150 << markerData()[2] << QPointF(3.5, 3) << markers << markerData();
            QTest::newRow("triangle markers, " + turned)
                << rotate << 72 << triangles[4] << QPointF(0, -3) << markers << triangles;
        }
        QTest::newRow("a lone line of the curve's style")
            << 0 << 150 << QPointF(7, 5) << QPointF(0, 1) << line << QList<QPointF>{{6, 5}, {9, 5}};
        QTest::newRow("empty paper") << 0 << 150 << QPointF(5, 95) << QPointF()
                                     << int(PickedCurve::Kind::Nothing) << QList<QPointF>();
    }

    void pickedCurve()
    {
        QFETCH(int, rotate);
        QFETCH(int, dpi);
        QFETCH(QPointF, near);
        QFETCH(QPointF, offset);
        QFETCH(int, kind);
        QFETCH(QList<QPointF>, expected);
        const Chart page = chart(rotate, dpi);
        const PickedCurve picked = pickCurve(page.drawing, page.pixel(near.x(), near.y()) + offset, 5.0);
        QCOMPARE(int(picked.kind), kind);
        QCOMPARE(picked.points.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QPointF pixel = page.pixel(expected[i].x(), expected[i].y());
            QVERIFY2(::near(picked.points[i], pixel, pixelTolerance(page.drawing)),
                     qPrintable(QStringLiteral("point %1 at (%2, %3), drawn at (%4, %5)")
                                    .arg(i)
                                    .arg(picked.points[i].x())
                                    .arg(picked.points[i].y())
                                    .arg(pixel.x())
                                    .arg(pixel.y())));
        }
    }

    void pointsAlongCurves_data()
    {
        QTest::addColumn<int>("pointsPerCurve");
        QTest::newRow("ends only") << 0;
        QTest::newRow("one between") << 1;
        QTest::newRow("seven between") << 7;
    }

    void pointsAlongCurves()
    {
        QFETCH(int, pointsPerCurve);
        const QPointF start(50.5, 300.25), c1(150.125, 40.5), c2(300.75, 390.0625), end(520.5, 100.125);
        const QString path =
            chartpdf::writePdf(QStringLiteral("bezier.pdf"), chartPageSize, [&](QPainter &painter) {
                QPainterPath curve(start);
                curve.cubicTo(c1, c2, end);
                painter.setPen(QPen(Qt::black, 1.5));
                painter.drawPath(curve);
            });
        PageDrawing drawing;
        QVERIFY(readPageDrawing(path, 0, 72, &drawing, nullptr));
        const PickedCurve picked = pickCurve(drawing, start + QPointF(0.5, 0.5), 2.0, pointsPerCurve);
        QCOMPARE(picked.points.size(), pointsPerCurve + 2);
        QVERIFY(near(picked.points.first(), start, 1e-6));
        QVERIFY(near(picked.points.last(), end, 1e-6));
        // Evenly spaced in the curve's parameter: at 72 dpi pixels are points.
        for (int i = 1; i <= pointsPerCurve; ++i) {
            const double t = double(i) / (pointsPerCurve + 1), s = 1 - t;
            const QPointF expected =
                s * s * s * start + 3 * s * s * t * c1 + 3 * s * t * t * c2 + t * t * t * end;
            QVERIFY(near(picked.points[i], expected, 1e-6));
        }
    }

    void snapping_data()
    {
        QTest::addColumn<QPointF>("near");     // chart value
        QTest::addColumn<QPointF>("offset");   // pixels
        QTest::addColumn<QPointF>("expected"); // painter points; NaN for no snap
        const QPointF none(qQNaN(), qQNaN());
        QTest::newRow("tick crossing the x axis") << QPointF(4, 0) << QPointF(2, -1.5) << chartPoint(4, 0);
        QTest::newRow("tick crossing the y axis") << QPointF(0, 60) << QPointF(-1, 2) << chartPoint(0, 60);
        QTest::newRow("origin") << QPointF(0, 0) << QPointF(3, 3) << chartPoint(0, 0);
        QTest::newRow("end of a tick")
            << QPointF(6, 0) << QPointF(0.5, 7) << chartPoint(6, 0) + QPointF(0, 4);
        QTest::newRow("nothing within reach") << QPointF(5, 50) << QPointF() << none;
    }

    void snapping()
    {
        QFETCH(QPointF, near);
        QFETCH(QPointF, offset);
        QFETCH(QPointF, expected);
        const Chart page = chart(0, 72); // pixels are painter points
        const std::optional<QPointF> snapped =
            snapPoint(page.drawing, page.pixel(near.x(), near.y()) + offset, 6.0);
        if (std::isnan(expected.x())) {
            QVERIFY(!snapped);
            return;
        }
        QVERIFY(snapped);
        QVERIFY2(::near(*snapped, expected, 1e-6),
                 qPrintable(QStringLiteral("(%1, %2)").arg(snapped->x()).arg(snapped->y())));
    }

    // Calibrating on snapped tick marks and importing the curve gives back the
    // numbers that drew it.
    void importAfterSnappedCalibration_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<int>("dpi");
        QTest::newRow("upright, 150 dpi") << 0 << 150;
        QTest::newRow("upright, 96 dpi") << 0 << 96;
        QTest::newRow("turned, 200 dpi") << 90 << 200;
        QTest::newRow("upside down, 72 dpi") << 180 << 72;
    }

    void importAfterSnappedCalibration()
    {
        QFETCH(int, rotate);
        QFETCH(int, dpi);
        const Chart page = chart(rotate, dpi);
        auto snapped = [&](double x, double y) {
            return snapPoint(page.drawing, page.pixel(x, y) + QPointF(1.7, -1.2), 5.0).value_or(QPointF());
        };
        ProjectModel model;
        model.setAxisX(QLineF(snapped(2, 0), snapped(8, 0)), 2, 8);
        model.setAxisY(QLineF(snapped(0, 20), snapped(0, 80)), 20, 80);
        QVERIFY(model.calibration().isComplete());

        const PickedCurve picked =
            pickCurve(page.drawing, page.pixel(curveData()[20].x(), curveData()[20].y()), 4.0);
        model.addCurve(QStringLiteral("Imported"));
        for (const QPointF &pixel : picked.points)
            model.addPoint(pixel, QStringLiteral("Imported"));

        const QList<CurvePoint> points = model.curves().last().points;
        const QList<QPointF> data = curveData();
        QCOMPARE(points.size(), data.size());
        for (int i = 0; i < data.size(); ++i) {
            // Six significant digits, values below one counted against one.
            const QPointF real = points[i].real;
            QVERIFY2(std::fabs(real.x() - data[i].x()) <= 5e-7 * qMax(1.0, std::fabs(data[i].x())) &&
                         std::fabs(real.y() - data[i].y()) <= 5e-7 * qMax(1.0, std::fabs(data[i].y())),
                     qPrintable(QStringLiteral("point %1: (%2, %3) instead of (%4, %5)")
                                    .arg(i)
                                    .arg(real.x(), 0, 'g', 10)
                                    .arg(real.y(), 0, 'g', 10)
                                    .arg(data[i].x(), 0, 'g', 10)
                                    .arg(data[i].y(), 0, 'g', 10)));
        }
    }

    // A click near a curve and a grid line, axis, tick or frame takes the curve;
    // decoration only when nothing else is within reach.
    void dataBeforeDecoration_data()
    {
        QTest::addColumn<QPointF>("click"); // painter points
        QTest::addColumn<QColor>("expected");
        QTest::newRow("curve crossing a grid line, nearer the grid") << QPointF(305, 199) << QColor(Qt::blue);
        QTest::newRow("curve leaving the frame, nearer the frame") << QPointF(51.5, 207) << QColor(Qt::blue);
        QTest::newRow("grid line alone") << QPointF(150, 201) << QColor(Qt::gray);
        QTest::newRow("tick on the frame") << QPointF(100, 352) << QColor(Qt::darkRed);
        QTest::newRow("square marker beside the frame") << QPointF(51.2, 300) << QColor(Qt::darkGreen);
    }

    void dataBeforeDecoration()
    {
        QFETCH(QPointF, click);
        QFETCH(QColor, expected);
        const QString path =
            chartpdf::writePdf(QStringLiteral("decorated.pdf"), chartPageSize, [](QPainter &p) {
                p.setPen(QPen(Qt::gray, 0.5));
                p.drawLine(QPointF(50, 200), QPointF(550, 200));
                p.setPen(QPen(Qt::black, 1));
                p.drawRect(QRectF(50, 50, 500, 300));
                p.setPen(QPen(Qt::darkRed, 1));
                p.drawLine(QPointF(100, 350), QPointF(100, 355));
                p.setPen(QPen(Qt::darkGreen, 1));
                p.drawRect(QRectF(53, 298, 4, 4));
                p.setPen(QPen(Qt::blue, 1.5, Qt::DashLine));
                QPolygonF curve;
                for (double x = 50; x <= 550; x += 5)
                    curve.append(QPointF(x, 200 + 100 * std::sin((x - 50) / 80)));
                p.drawPolyline(curve);
            });
        PageDrawing drawing;
        QVERIFY(readPageDrawing(path, 0, 72, &drawing, nullptr));
        // At 72 dpi pixels are painter points.
        const int index = pathAt(drawing, click, 5.0);
        QVERIFY(index >= 0);
        QCOMPARE(drawing.paths[index].style.strokeColor, expected);
    }

    // The grid, styles and chains made when the page is read answer as a search
    // of every path does.
    void gridAnswersAsEveryPathDoes_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("radius");
        QTest::newRow("upright, 72 dpi") << 0 << 72 << 5.0;
        QTest::newRow("turned, 150 dpi, wide reach") << 90 << 150 << 40.0;
        QTest::newRow("300 dpi, narrow reach") << 270 << 300 << 1.5;
    }

    void gridAnswersAsEveryPathDoes()
    {
        QFETCH(int, rotate);
        QFETCH(int, dpi);
        QFETCH(double, radius);
        const Chart page = chart(rotate, dpi);
        QVERIFY(page.drawing.grid);
        PageDrawing unindexed = page.drawing;
        unindexed.grid.reset();
        const QSize size = page.drawing.frame.imageSize;
        int found = 0;
        for (double y = -radius; y <= size.height() + radius; y += size.height() / 37.0) {
            for (double x = -radius; x <= size.width() + radius; x += size.width() / 53.0) {
                const int index = pathAt(page.drawing, QPointF(x, y), radius);
                QCOMPARE(index, pathAt(unindexed, QPointF(x, y), radius));
                QCOMPARE(snapPoint(page.drawing, QPointF(x, y), radius),
                         snapPoint(unindexed, QPointF(x, y), radius));
                if (index >= 0) {
                    QCOMPARE(curvePaths(page.drawing, index), curvePaths(unindexed, index));
                    QCOMPARE(markerPaths(page.drawing, index), markerPaths(unindexed, index));
                    ++found;
                }
            }
        }
        QVERIFY(found > 5); // the lattice meets the drawing, not only empty paper
    }

    // A vertex repeated by a segment of no length is imported once.
    void repeatedVerticesCountOnce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QPointF>>("expected"); // page points
        const QList<QPointF> three{{50, 50}, {100, 80}, {150, 60}};
        QTest::newRow("last point repeated, as matplotlib ends its lines")
            << QByteArray("50 50 m 100 80 l 150 60 l 150 60 l S") << three;
        QTest::newRow("a point repeated inside")
            << QByteArray("50 50 m 100 80 l 100 80 l 150 60 l S") << three;
        QTest::newRow("closed triangle keeps its return")
            << QByteArray("50 50 m 100 80 l 150 60 l h S") << three + QList<QPointF>{{50, 50}};
    }

    void repeatedVerticesCountOnce()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<QPointF>, expected);
        PageDrawing drawing;
        QVERIFY(readPageDrawing(chartpdf::contentPdf(QStringLiteral("repeats.pdf"), content), 0, 72, &drawing,
                                nullptr));
        const PickedCurve picked = pickCurve(drawing, drawing.pageToPixel.map(QPointF(75, 65)), 3.0);
        QCOMPARE(picked.points.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY(near(picked.points[i], drawing.pageToPixel.map(expected[i]), 1e-6));
    }

    void emptyAndOutOfRange()
    {
        const PageDrawing empty;
        QCOMPARE(pathAt(empty, QPointF(10, 10), 100.0), -1);
        QVERIFY(curvePaths(empty, 0).isEmpty());
        QVERIFY(markerPaths(empty, -1).isEmpty());
        QVERIFY(!snapPoint(empty, QPointF(10, 10), 100.0));
        QCOMPARE(int(pickCurve(empty, QPointF(10, 10), 100.0).kind), int(PickedCurve::Kind::Nothing));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestPathPicking)
#include "tst_pathpicking.moc"
