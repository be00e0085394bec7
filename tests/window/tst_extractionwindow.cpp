// The automatic extraction as the window offers it: its panel, preview, box and one-step accept.
#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "tests/support/testsupport.h"
#include "tests/window/mainwindowfixture.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSettings>

#include <cmath>

namespace {

// A calibrated sine drawn in blue between x = 120 and 480, over black axes.
double sineY(double x)
{
    return 250 - 80 * std::sin((x - 120) / 60);
}

void loadSineChart(ProjectModel &model)
{
    QImage chart(640, 480, QImage::Format_RGB32);
    chart.fill(Qt::white);
    {
        QPainter painter(&chart);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(QLineF(100, 400, 500, 400));
        painter.drawLine(QLineF(100, 400, 100, 100));
        QPainterPath sine(QPointF(120, sineY(120)));
        for (double x = 121; x <= 480; x += 1)
            sine.lineTo(x, sineY(x));
        painter.setPen(QPen(QColor(20, 60, 200), 2.5));
        painter.drawPath(sine);
    }
    model.setSourceImage(chart, QString());
    model.setAxisX(QLineF(100, 400, 500, 400), 0, 10);
    model.setAxisY(QLineF(100, 400, 100, 100), 0, 20);
}

} // namespace

class TestExtractionWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    // Tracing previews what it found without touching the project; Escape
    // drops it, Enter adds the points along the drawn curve.
    void traceCurvePreviewAndAccept()
    {
        Window w;
        loadSineChart(*w.model());
        auto *dock = w.window.findChild<QDockWidget *>(QStringLiteral("extractionDock"));
        auto *count = w.window.findChild<QLabel *>(QStringLiteral("extractionCount"));
        QVERIFY(dock && count);
        QVERIFY(dock->isHidden());
        w.action("traceModeAction")->trigger();
        QCOMPARE(w.view()->interactionMode(), int(GraphView::TraceMode));
        QVERIFY(!dock->isHidden());

        const QJsonObject before = w.model()->projectJson();
        w.click(QPointF(300, std::round(sineY(300))));
        const QRegularExpression found(QStringLiteral("^(\\d+) points found\\.$"));
        const QRegularExpressionMatch match = found.match(count->text());
        QVERIFY2(match.hasMatch(), qPrintable(count->text()));
        QVERIFY(match.captured(1).toInt() > 5);
        QCOMPARE(w.model()->projectJson(), before);
        QTest::keyClick(w.view(), Qt::Key_Escape);
        QCOMPARE(count->text(), QStringLiteral("Click on the curve in the picture."));
        QCOMPARE(w.model()->projectJson(), before);

        w.click(QPointF(300, std::round(sineY(300))));
        const int previewed = found.match(count->text()).captured(1).toInt();
        QTest::keyClick(w.view(), Qt::Key_Return);
        const QList<CurvePoint> points = w.model()->curves()[0].points;
        QCOMPARE(int(points.size()), previewed);
        for (const CurvePoint &point : points)
            QVERIFY2(std::abs(point.pixel.y() - sineY(point.pixel.x())) < 1.0,
                     qPrintable(QStringLiteral("%1, %2").arg(point.pixel.x()).arg(point.pixel.y())));
        QVERIFY(points.first().pixel.x() < 130 && points.last().pixel.x() > 470);
        // One Ctrl+Z takes back everything the extraction added.
        QCOMPARE(w.action("historyUndoAction")->text(), QStringLiteral("Undo Add points"));
        QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.model()->projectJson(), before);
        // Leaving the mode hides the panel.
        w.action("pointModeAction")->trigger();
        QVERIFY(dock->isHidden());
    }

    // A Shift+drag box keeps the trace inside it; a second Escape gives the whole plot back.
    void traceStaysInsideTheDrawnBox_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::newRow("middle of the curve") << QRectF(250, 120, 100, 280);
        QTest::newRow("left end") << QRectF(105, 120, 120, 280);
        QTest::newRow("drawn from the far corner") << QRectF(420, 390, -120, -260);
    }
    void traceStaysInsideTheDrawnBox()
    {
        QFETCH(QRectF, box);
        Window w;
        loadSineChart(*w.model());
        w.action("traceModeAction")->trigger();
        auto *count = w.window.findChild<QLabel *>(QStringLiteral("extractionCount"));
        QWidget *viewport = w.view()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier, w.view()->mapFromScene(box.topLeft()));
        QTest::mouseMove(viewport, w.view()->mapFromScene(box.center()));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ShiftModifier,
                            w.view()->mapFromScene(box.bottomRight()));
        const QRectF inside = box.normalized();
        const double seedX = inside.center().x();
        w.click(QPointF(seedX, std::round(sineY(seedX))));
        QTest::keyClick(w.view(), Qt::Key_Return);
        const QList<CurvePoint> points = w.model()->curves()[0].points;
        QVERIFY2(points.size() > 3, qPrintable(count->text()));
        double left = points.first().pixel.x(), right = left;
        for (const CurvePoint &point : points) {
            // A pixel of slack for the line's width at the box's edge.
            QVERIFY2(inside.adjusted(-1, -1, 1, 1).contains(point.pixel),
                     qPrintable(QStringLiteral("%1, %2").arg(point.pixel.x()).arg(point.pixel.y())));
            left = std::min(left, point.pixel.x());
            right = std::max(right, point.pixel.x());
        }
        // The trace reaches both edges of the box, or the curve's end inside it.
        const double reach = std::min(inside.right(), 480.0) - std::max(inside.left(), 120.0);
        QVERIFY2(right - left > reach - 6, qPrintable(QStringLiteral("%1 .. %2").arg(left).arg(right)));
        // Escape with nothing previewed drops the box: the next trace runs over the whole curve.
        QTest::keyClick(w.view(), Qt::Key_Escape);
        w.click(QPointF(seedX, std::round(sineY(seedX))));
        QTest::keyClick(w.view(), Qt::Key_Return);
        // Accepted into the same curve, it is merged: the curve reaches the left end, and the stretch
        // traced twice is there once.
        const QList<CurvePoint> whole = w.model()->curves()[0].points;
        QVERIFY(whole.size() > points.size());
        double lowest = 1e9;
        int inBox = 0;
        for (const CurvePoint &point : whole) {
            lowest = std::min(lowest, point.pixel.x());
            inBox += inside.adjusted(2, 2, -2, -2).contains(point.pixel) ? 1 : 0;
        }
        QVERIFY2(lowest < 130, qPrintable(QString::number(lowest)));
        QVERIFY(inBox <= points.size());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestExtractionWindow)
#include "tst_extractionwindow.moc"
