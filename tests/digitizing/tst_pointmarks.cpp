#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "digitizing/pointmarks.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>

namespace {

// Points along a wavy line with some noise, so that neighbours overlap.
QList<QPointF> wavyPoints(int count)
{
    QRandomGenerator random(5);
    QList<QPointF> points;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / std::max(1, count - 1);
        points.append(QPointF(20 + t * 560, 200 + 120 * std::sin(t * 9) + random.bounded(6.0)));
    }
    return points;
}

QImage rendered(QGraphicsScene &scene, double zoom)
{
    const QRectF source(0, 0, 600, 400);
    QImage image((source.size() * zoom).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), source);
    return image;
}

} // namespace

class TestPointMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One item draws what a circle item per point drew: exactly while there
    // are few, and all but invisibly where thousands crowd onto few pixels.
    void paintsLikeCirclesOfTheirOwn_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("selected");
        QTest::addColumn<double>("differing"); // the share of pixels allowed to differ
        QTest::newRow("three") << 3 << 1.0 << 1 << 0.0;
        QTest::newRow("300, none selected") << 300 << 1.0 << -1 << 0.0;
        QTest::newRow("300, zoomed in") << 300 << 2.5 << 150 << 0.0;
        QTest::newRow("20,000, crowded") << 20000 << 1.0 << 7000 << 0.003;
        // Circles under a pixel wide: thousands of antialiased edges on one
        // pixel add up to a slightly wider band than those drawn.
        QTest::newRow("20,000, zoomed out") << 20000 << 0.25 << 7000 << 0.02;
    }
    void paintsLikeCirclesOfTheirOwn()
    {
        QFETCH(int, count);
        QFETCH(double, zoom);
        QFETCH(int, selected);
        QFETCH(double, differing);
        const QList<QPointF> points = wavyPoints(count);
        const QColor color(QStringLiteral("#d32f2f"));

        QGraphicsScene circles;
        for (int i = 0; i < count; ++i) {
            const double r = i == selected ? 5.0 : 3.0;
            QPen pen = i == selected ? QPen(QColor(QStringLiteral("#ffeb3b")), 2) : QPen(Qt::white, 1);
            pen.setCosmetic(true);
            circles.addEllipse(points[i].x() - r, points[i].y() - r, 2 * r, 2 * r, pen, color);
        }
        QGraphicsScene marks;
        marks.addItem(new PointMarksItem(points, color, selected));

        const QImage expected = rendered(circles, zoom);
        const QImage actual = rendered(marks, zoom);
        qsizetype differ = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb a = expected.pixel(x, y), b = actual.pixel(x, y);
                if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                        std::abs(qBlue(a) - qBlue(b)) >
                    (differing > 0 ? 60 : 0))
                    ++differ;
            }
        }
        QVERIFY2(differ <= differing * expected.width() * expected.height(),
                 qPrintable(QStringLiteral("%1 pixels differ").arg(differ)));
        // The selected circle shows in its colour even among thousands.
        if (selected >= 0) {
            const QPoint ring = (points[selected] * zoom + QPointF(5 * zoom, 0)).toPoint();
            const QRect around(ring - QPoint(2, 2), QSize(5, 5));
            bool yellow = false;
            for (int y = around.top(); y <= around.bottom(); ++y)
                for (int x = around.left(); x <= around.right(); ++x)
                    yellow = yellow || (qRed(actual.pixel(x, y)) > 200 && qGreen(actual.pixel(x, y)) > 180 &&
                                        qBlue(actual.pixel(x, y)) < 120);
            QVERIFY(yellow);
        }
    }

    // Clicks pick through the scene's grids exactly the point the model's own
    // search picks, on any curve or on the active one only.
    void picksWhatTheModelPicks_data()
    {
        QTest::addColumn<bool>("activeOnly");
        QTest::addColumn<uint>("layers");
        QTest::newRow("any curve") << false << uint(ProjectModel::AllMvpLayers);
        QTest::newRow("active curve") << true << uint(ProjectModel::AllMvpLayers);
        QTest::newRow("points hidden") << false << uint(ProjectModel::SourceLayer);
    }
    void picksWhatTheModelPicks()
    {
        QFETCH(bool, activeOnly);
        QFETCH(uint, layers);
        ProjectModel model;
        model.setSourceImage(testsupport::chartImage(640, 480), QStringLiteral("/tmp/chart.png"));
        testsupport::calibrate(model);
        QRandomGenerator random(3);
        for (int c = 0; c < 3; ++c) {
            model.addCurve(QStringLiteral("C%1").arg(c));
            // Whole pixels: many clicks are equally near two points.
            for (int i = 0; i < 400; ++i)
                model.addPoint(QPointF(random.bounded(640), random.bounded(480)));
        }
        model.setCurveVisible(1, false);
        model.setVisibleLayers(layers);
        GraphView view(&model);
        ProjectModel reference;
        reference.applyProjectJson(model.projectJson(), QString(), true);
        for (int k = 0; k < 400; ++k) {
            const QPointF click(random.bounded(640), random.bounded(480));
            const double radius = k % 2 ? 9.0 : random.bounded(30.0);
            const int active = random.bounded(int(model.curves().size()));
            model.setActiveCurveIndex(active);
            reference.setActiveCurveIndex(active);
            QCOMPARE(view.selectNearestPoint(click, radius, activeOnly),
                     reference.selectNearestPoint(click, radius, activeOnly));
            QCOMPARE(model.selectedPointCurveName(), reference.selectedPointCurveName());
            QCOMPARE(model.selectedPointIndex(), reference.selectedPointIndex());
            QCOMPARE(model.activeCurveIndex(), reference.activeCurveIndex());
        }
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestPointMarks)
#include "tst_pointmarks.moc"
