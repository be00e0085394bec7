#include "core/model/projectmodel.h"
#include "digitizing/curveinsertion.h"
#include "digitizing/graphview.h"
#include "digitizing/pointmarks.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsSimpleTextItem>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtMath>

#include <cmath>

namespace {

// An offscreen view of a known size over a 640 x 480 picture, at zoom 1 unless told.
struct Fixture
{
    ProjectModel model;
    GraphView view{&model};
    QSignalSpy status{&view, &GraphView::statusMessage};

    explicit Fixture(bool withPicture = true)
    {
        if (withPicture)
            model.setSourceImage(testsupport::chartImage(640, 480), QStringLiteral("/tmp/chart.png"));
        view.resize(900, 700);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qWarning("view not exposed");
    }
    QPoint at(const QPointF &scenePoint) const { return view.mapFromScene(scenePoint); }
    void click(const QPointF &scenePoint, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, at(scenePoint));
    }
    void press(const QPointF &scenePoint)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(scenePoint));
    }
    void moveTo(const QPointF &scenePoint) { QTest::mouseMove(view.viewport(), at(scenePoint)); }
    void release(const QPointF &scenePoint)
    {
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(scenePoint));
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&view, key, modifiers); }
    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }
    // Calibrates by clicking, answering the view's question like the main window does.
    void calibrateByClicking()
    {
        QObject::connect(&view, &GraphView::calibrationLineSelected, &model, [this](bool xAxis, QLineF line) {
            if (xAxis)
                model.setAxisX(line, 0, 10);
            else
                model.setAxisY(line, 0, 20);
        });
        view.setInteractionMode(GraphView::CalibrateXMode);
        click(QPointF(100, 400));
        click(QPointF(500, 403)); // orthogonal: hand jitter under half a degree, kept horizontal
        view.setInteractionMode(GraphView::CalibrateYMode);
        click(QPointF(100, 400));
        click(QPointF(98, 100));
        view.setInteractionMode(GraphView::PointMode);
    }
    void zoomTo(double factor)
    {
        view.resetTransform();
        view.scale(factor, factor);
        view.centerOn(320, 240);
    }
    void wheel(int angleY, int angleX = 0)
    {
        const QPointF position = view.viewport()->rect().center();
        QWheelEvent event(position, view.viewport()->mapToGlobal(position), QPoint(), QPoint(angleX, angleY),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    }
};

template <typename Item> QList<Item *> itemsOf(const QGraphicsScene *scene)
{
    QList<Item *> found;
    // items() lists topmost first; insertion order is the reverse for equal z.
    const QList<QGraphicsItem *> all = scene->items(Qt::AscendingOrder);
    for (QGraphicsItem *item : all) {
        if (auto *typed = qgraphicsitem_cast<Item *>(item))
            found.append(typed);
    }
    return found;
}

void comparePoint(const QPointF &actual, const QPointF &expected)
{
    QVERIFY2(std::abs(actual.x() - expected.x()) < 1e-9 && std::abs(actual.y() - expected.y()) < 1e-9,
             qPrintable(QStringLiteral("(%1, %2) instead of (%3, %4)")
                            .arg(actual.x(), 0, 'g', 17)
                            .arg(actual.y(), 0, 'g', 17)
                            .arg(expected.x())
                            .arg(expected.y())));
}

} // namespace

// The region of every paint event the widget receives while alive.
struct PaintRecorder : QObject
{
    QRegion painted;
    explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

class TestGraphView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A new point repaints its neighbourhood; only a group of points, whose
    // frames follow every move, repaints the whole view.
    void addedPointRepaintsOnlyItsNeighbourhood_data()
    {
        QTest::addColumn<bool>("withGroup");
        QTest::addColumn<bool>("inserted"); // into the middle of the first curve instead
        QTest::addColumn<QPointF>("farAway");
        QTest::newRow("no group") << false << false << QPointF(150, 300);
        QTest::newRow("group of another curve's points") << true << false << QPointF(150, 300);
        QTest::newRow("inserted into a curve") << false << true << QPointF(450, 420);
    }
    void addedPointRepaintsOnlyItsNeighbourhood()
    {
        QFETCH(bool, withGroup);
        QFETCH(bool, inserted);
        QFETCH(QPointF, farAway);
        Fixture f;
        testsupport::calibrate(f.model);
        for (const double x : {150.0, 200.0, 250.0, 300.0})
            f.model.addPoint(QPointF(x, 300), QStringLiteral("A"));
        if (withGroup)
            f.model.selectPointGroup(0, {0, 1});
        f.model.addCurve(QStringLiteral("B"));
        f.model.addPoint(QPointF(500, 100));
        QCoreApplication::processEvents();
        PaintRecorder recorder(f.view.viewport());
        if (inserted)
            QVERIFY(f.model.insertPoint(0, 2, QPointF(225, 310)));
        else
            f.model.addPoint(QPointF(520, 110));
        QTRY_VERIFY(!recorder.painted.isEmpty());
        QCoreApplication::processEvents();
        const QRect whole = f.view.viewport()->rect();
        if (withGroup) {
            QCOMPARE(recorder.painted.boundingRect(), whole);
        } else {
            QVERIFY2(recorder.painted.boundingRect().width() < whole.width() / 2,
                     qPrintable(QStringLiteral("%1 px of %2")
                                    .arg(recorder.painted.boundingRect().width())
                                    .arg(whole.width())));
            QVERIFY(!recorder.painted.contains(f.at(farAway)));
        }
    }

    void clickNearAnotherCurve_data()
    {
        QTest::addColumn<bool>("control");
        QTest::addColumn<QString>("active");
        QTest::addColumn<int>("firstPoints");
        QTest::addColumn<int>("secondPoints");
        QTest::addColumn<QString>("selectedCurve");
        QTest::addColumn<int>("selectedIndex");
        // The click lands 3 pixels from the first curve's point.
        QTest::newRow("plain click adds to the active curve") << false << "Second" << 1 << 3 << "Second" << 2;
        QTest::newRow("ctrl+click takes the other curve's point")
            << true << "First" << 1 << 2 << "First" << 0;
    }
    void clickNearAnotherCurve()
    {
        QFETCH(bool, control);
        QFETCH(QString, active);
        QFETCH(int, firstPoints);
        QFETCH(int, secondPoints);
        QFETCH(QString, selectedCurve);
        QFETCH(int, selectedIndex);
        Fixture f;
        f.calibrateByClicking();
        f.model.addPoint(QPointF(200, 200), QStringLiteral("First"));
        f.model.addPoint(QPointF(420, 330), QStringLiteral("Second"));
        f.model.addPoint(QPointF(450, 310), QStringLiteral("Second"));
        QCOMPARE(f.model.activeCurveName(), QStringLiteral("Second"));
        f.click(QPointF(203, 200), control ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(f.model.activeCurveName(), active);
        QCOMPARE(f.model.curves()[f.model.indexOfCurve(QStringLiteral("First"))].points.size(), firstPoints);
        QCOMPARE(f.model.curves()[f.model.indexOfCurve(QStringLiteral("Second"))].points.size(),
                 secondPoints);
        QCOMPARE(f.model.selectedPointCurveName(), selectedCurve);
        QCOMPARE(f.model.selectedPointIndex(), selectedIndex);
        // A plain click on the active curve's own point still selects it.
        f.click(active == QLatin1String("First") ? QPointF(201, 201) : QPointF(421, 331));
        QCOMPARE(f.model.selectedPointCurveName(), active);
        QCOMPARE(f.model.selectedPointIndex(), 0);
    }

    void pointModeHintNamesCtrlClick()
    {
        Fixture f;
        f.view.setInteractionMode(GraphView::PointMode);
        QVERIFY2(f.lastStatus().contains(QLatin1String("Ctrl+click: select a point of any curve")),
                 qPrintable(f.lastStatus()));
    }

    void calibrationLines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("orthogonal");
        QTest::addColumn<QLineF>("expected");
        QTest::newRow("X orthogonal, tilt taken as clicked")
            << int(GraphView::CalibrateXMode) << true << QLineF(100, 400, 500, 380);
        QTest::newRow("X tilted") << int(GraphView::CalibrateXMode) << false << QLineF(100, 400, 500, 380);
        QTest::newRow("Y orthogonal") << int(GraphView::CalibrateYMode) << true << QLineF(100, 400, 100, 380);
        QTest::newRow("Y tilted") << int(GraphView::CalibrateYMode) << false << QLineF(100, 400, 500, 380);
    }
    void calibrationLines()
    {
        QFETCH(int, mode);
        QFETCH(bool, orthogonal);
        QFETCH(QLineF, expected);
        Fixture f;
        QSignalSpy lines(&f.view, &GraphView::calibrationLineSelected);
        f.view.setOrthogonalAxes(orthogonal);
        f.view.setInteractionMode(mode);
        f.click(QPointF(100, 400));
        QVERIFY(lines.isEmpty());
        QCOMPARE(f.lastStatus(),
                 QStringLiteral("First reference acquired; move the mouse or use arrow keys, then "
                                "click or press Enter to confirm."));
        f.moveTo(QPointF(300, 300));
        f.click(QPointF(500, 380));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(0).toBool(), mode == GraphView::CalibrateXMode);
        QCOMPARE(lines.at(0).at(1).value<QLineF>(), expected);
        QVERIFY(f.model.curves()[0].points.isEmpty());
    }

    // With orthogonal axes a second mark within half a degree of the forced
    // direction is snapped; a few degrees off is a turned chart, taken as
    // clicked and named after the axis has been handed on; far off is not a
    // tilt at all and is snapped again.
    void tiltIsReported_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("orthogonal");
        QTest::addColumn<QPointF>("second");
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QString>("message");
        const QString tilted =
            QStringLiteral("The picture is tilted by %1 degrees; the axis was taken as clicked.");
        QTest::newRow("X, 1.4 degrees") << int(GraphView::CalibrateXMode) << true << QPointF(500, 390)
                                        << QLineF(100, 400, 500, 390) << tilted.arg("1.4");
        QTest::newRow("X, 1.4 degrees down") << int(GraphView::CalibrateXMode) << true << QPointF(500, 410)
                                             << QLineF(100, 400, 500, 410) << tilted.arg("1.4");
        QTest::newRow("X, 0.49 degrees: jitter")
            << int(GraphView::CalibrateXMode) << true << QPointF(500, 403.4) << QLineF(100, 400, 500, 400)
            << QString();
        QTest::newRow("Y, 1.9 degrees") << int(GraphView::CalibrateYMode) << true << QPointF(90, 100)
                                        << QLineF(100, 400, 90, 100) << tilted.arg("1.9");
        QTest::newRow("Y, 0.4 degrees: jitter") << int(GraphView::CalibrateYMode) << true << QPointF(102, 100)
                                                << QLineF(100, 400, 100, 100) << QString();
        QTest::newRow("Y, 30 degrees: not a tilt")
            << int(GraphView::CalibrateYMode) << true << QPointF(273, 100) << QLineF(100, 400, 100, 100)
            << QString();
        QTest::newRow("Y, two degrees but tilted axes allowed")
            << int(GraphView::CalibrateYMode) << false << QPointF(90, 100) << QLineF(100, 400, 90, 100)
            << QString();
    }
    void tiltIsReported()
    {
        QFETCH(int, mode);
        QFETCH(bool, orthogonal);
        QFETCH(QPointF, second);
        QFETCH(QLineF, line);
        QFETCH(QString, message);
        Fixture f;
        f.view.setOrthogonalAxes(orthogonal);
        f.view.setInteractionMode(mode);
        QStringList order;
        QList<QLineF> lines;
        QObject::connect(&f.view, &GraphView::calibrationLineSelected, &f.view,
                         [&order, &lines](bool, QLineF selected) {
                             order.append(QStringLiteral("line"));
                             lines.append(selected);
                         });
        QObject::connect(&f.view, &GraphView::statusMessage, &f.view,
                         [&order](const QString &text) { order.append(text); });
        f.click(QPointF(100, 400));
        f.click(second);
        QCOMPARE(lines, QList<QLineF>{line});
        QCOMPARE(order.last(), message.isEmpty() ? QStringLiteral("line") : message);
        if (!message.isEmpty())
            QCOMPARE(order.at(order.size() - 2), QStringLiteral("line"));
    }

    // Two marks on one spot are refused in the view: the first mark stays, and
    // a second mark elsewhere then confirms the axis.
    void degenerateMarksAreRefused_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("X, Enter at once") << int(GraphView::CalibrateXMode) << true;
        QTest::newRow("X, second click on the first") << int(GraphView::CalibrateXMode) << false;
        QTest::newRow("Y, Enter at once") << int(GraphView::CalibrateYMode) << true;
    }
    void degenerateMarksAreRefused()
    {
        QFETCH(int, mode);
        QFETCH(bool, byEnter);
        Fixture f;
        QSignalSpy lines(&f.view, &GraphView::calibrationLineSelected);
        f.view.setInteractionMode(mode);
        f.click(QPointF(100, 400));
        if (byEnter)
            f.key(Qt::Key_Return);
        else
            f.click(QPointF(100, 400));
        QVERIFY(lines.isEmpty());
        QCOMPARE(f.lastStatus(),
                 QStringLiteral("The two marks are at the same place. Move away from the first "
                                "mark, then click or press Enter."));
        QCOMPARE(itemsOf<QGraphicsEllipseItem>(f.view.scene()).size(), 1);
        f.click(QPointF(300, 200));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(1).value<QLineF>().p1(), QPointF(100, 400));
    }

    // The view reports where the mouse is in picture pixels, unrounded.
    void pointerIsReported()
    {
        Fixture f;
        f.zoomTo(4);
        QSignalSpy moved(&f.view, &GraphView::pointerMoved);
        const QPointF position = QPointF(f.at(QPointF(300, 250))) + QPointF(2, 1);
        QMouseEvent move(QEvent::MouseMove, position, f.view.viewport()->mapToGlobal(position), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.view.viewport(), &move);
        QCOMPARE(moved.size(), 1);
        // Two and one viewport pixels at zoom 4 are half and a quarter of a picture pixel.
        const QPointF reported = moved.last().at(0).toPointF();
        QVERIFY2(std::abs(reported.x() - 300.5) <= 0.25 && std::abs(reported.y() - 250.25) <= 0.25,
                 qPrintable(QStringLiteral("%1, %2").arg(reported.x()).arg(reported.y())));
        QVERIFY(reported.x() != std::round(reported.x()) || reported.y() != std::round(reported.y()));
    }

    void previewFollowsTheMouse()
    {
        Fixture f;
        f.view.setInteractionMode(GraphView::CalibrateXMode);
        f.click(QPointF(100, 400));
        f.moveTo(QPointF(250, 300));
        const QList<QGraphicsLineItem *> lines = itemsOf<QGraphicsLineItem>(f.view.scene());
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first()->zValue(), 1000.0);
        QCOMPARE(lines.first()->line(), QLineF(100, 400, 250, 400));
        QCOMPARE(lines.first()->pen().style(), Qt::DashLine);
        const QList<QGraphicsEllipseItem *> rings = itemsOf<QGraphicsEllipseItem>(f.view.scene());
        QCOMPARE(rings.size(), 1);
        QCOMPARE(rings.first()->zValue(), 1001.0);
        QCOMPARE(rings.first()->rect(), QRectF(91, 391, 18, 18));
        // Enter confirms with the current mark; the preview goes away.
        QSignalSpy lineSpy(&f.view, &GraphView::calibrationLineSelected);
        f.key(Qt::Key_Return);
        QCOMPARE(lineSpy.size(), 1);
        QCOMPARE(lineSpy.at(0).at(1).value<QLineF>(), QLineF(100, 400, 250, 400));
        QVERIFY(itemsOf<QGraphicsLineItem>(f.view.scene()).isEmpty());
    }

    void escapeCancelsPendingMark()
    {
        Fixture f;
        f.view.setInteractionMode(GraphView::CalibrateYMode);
        f.click(QPointF(100, 400));
        f.key(Qt::Key_Escape);
        QCOMPARE(f.lastStatus(), QStringLiteral("Calibration point selection cancelled."));
        QSignalSpy lines(&f.view, &GraphView::calibrationLineSelected);
        f.click(QPointF(200, 200)); // a new first mark, not a confirmation
        QVERIFY(lines.isEmpty());
    }

    void keyboardMovesFirstMark()
    {
        Fixture f;
        QSignalSpy lines(&f.view, &GraphView::calibrationLineSelected);
        f.view.setInteractionMode(GraphView::CalibrateXMode);
        f.click(QPointF(100, 400));
        f.key(Qt::Key_Up, Qt::ControlModifier);
        f.key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(f.lastStatus(),
                 QStringLiteral("First calibration point moved with keyboard. Select the second "
                                "point to confirm the axis."));
        f.click(QPointF(400, 200));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(1).value<QLineF>(), QLineF(101, 390, 400, 390));
    }

    // The whole pass a user makes: calibrate, add, select, drag, nudge, delete, undo.
    void completeDigitizingPass()
    {
        Fixture f;
        f.calibrateByClicking();
        const Calibration &calibration = f.model.calibration();
        QVERIFY(calibration.isComplete());
        QCOMPARE(calibration.axisXLine, QLineF(100, 400, 500, 400));
        QCOMPARE(calibration.axisYLine, QLineF(100, 400, 100, 100));

        f.click(QPointF(300, 250));
        QCOMPARE(f.lastStatus(), QStringLiteral("Point added to the active curve."));
        f.click(QPointF(200, 350));
        f.click(QPointF(450, 130));
        QCOMPARE(f.model.curves()[0].points.size(), 3);
        comparePoint(f.model.curves()[0].points[0].real, QPointF(5, 10));

        // Select the first point and drag it by 20 pixels to the right.
        f.press(QPointF(302, 251));
        QCOMPARE(
            f.lastStatus(),
            QStringLiteral("Point selected. Drag, use arrow keys, edit values, or press Del to delete it."));
        QCOMPARE(f.model.selectedPointIndex(), 0);
        f.moveTo(QPointF(310, 250));
        f.moveTo(QPointF(320, 250));
        f.release(QPointF(320, 250));
        comparePoint(f.model.curves()[0].points[0].pixel, QPointF(320, 250));
        comparePoint(f.model.curves()[0].points[0].real, QPointF(5.5, 10));

        // Nudges: Ctrl 10, Shift 1, plain 0.1 pixels.
        f.key(Qt::Key_Left, Qt::ControlModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        f.key(Qt::Key_Right);
        QCOMPARE(f.lastStatus(), QStringLiteral("Point moved with keyboard."));
        comparePoint(f.model.curves()[0].points[0].pixel, QPointF(310.1, 251));
        comparePoint(f.model.curves()[0].points[0].real, QPointF(5.2525, 149.0 / 15.0));

        // Delete the second point, then undo finds nothing (deletion clears the history).
        f.click(QPointF(200, 350));
        f.key(Qt::Key_Delete);
        QCOMPARE(f.lastStatus(), QStringLiteral("Point deleted."));
        QCOMPARE(f.model.curves()[0].points.size(), 2);
        QVERIFY(!f.model.undoLastPointInsertion());
        f.click(QPointF(150, 150));
        QVERIFY(f.model.undoLastPointInsertion());
        const QList<CurvePoint> &points = f.model.curves()[0].points;
        QCOMPARE(points.size(), 2);
        comparePoint(points[0].pixel, QPointF(310.1, 251));
        comparePoint(points[1].pixel, QPointF(450, 130));
        comparePoint(points[1].real, QPointF(8.75, 18));
    }

    void pickRadiusFollowsZoom_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("zoom 1") << 1.0;
        QTest::newRow("zoom 2") << 2.0;
        QTest::newRow("zoom 0.5") << 0.5;
        QTest::newRow("zoom 4") << 4.0;
    }
    void pickRadiusFollowsZoom()
    {
        QFETCH(double, zoom);
        Fixture f;
        testsupport::calibrate(f.model);
        f.model.addPoint(QPointF(320, 240));
        f.model.addCurve(); // an empty active curve, so that nothing is inserted
        f.model.clearSelection();
        f.zoomTo(zoom);
        QCOMPARE(f.view.pickRadius(), 9.0 / zoom);
        const QPoint centre = f.at(QPointF(320, 240));
        // 8 screen pixels away selects (Ctrl: the point is another curve's); 12 adds
        // a point to the active curve.
        QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::ControlModifier, centre + QPoint(8, 0));
        QCOMPARE(f.model.selectedPointIndex(), 0);
        QCOMPARE(f.model.selectedPointCurveName(), QStringLiteral("Curve 1"));
        f.model.setActiveCurveIndex(1);
        QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {}, centre + QPoint(0, 12));
        QCOMPARE(f.model.curves()[1].points.size(), 1);
        QCOMPARE(f.model.curves()[0].points.size(), 1);
    }

    void insertion_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<QPointF>("click");
        QTest::addColumn<int>("index");
        QTest::newRow("two points: straight segment")
            << QList<QPointF>{{100, 300}, {500, 100}} << QPointF(300, 203) << 1;
        QTest::newRow("two points: off the segment")
            << QList<QPointF>{{100, 300}, {500, 100}} << QPointF(300, 230) << -1;
        QTest::newRow("four points: second segment")
            << QList<QPointF>{{100, 400}, {200, 300}, {300, 300}, {400, 400}} << QPointF(250, 292) << 2;
        QTest::newRow("four points: first segment")
            << QList<QPointF>{{100, 400}, {200, 300}, {300, 300}, {400, 400}} << QPointF(150, 352) << 1;
        QTest::newRow("four points: last segment")
            << QList<QPointF>{{100, 400}, {200, 300}, {300, 300}, {400, 400}} << QPointF(352, 350) << 3;
    }
    void insertion()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(QPointF, click);
        QFETCH(int, index);
        Fixture f;
        testsupport::calibrate(f.model);
        for (const QPointF &p : points)
            f.model.addPoint(p);
        f.model.clearSelection();
        QCOMPARE(insertionIndexNear(f.model, click, f.view.pickRadius()), index);
        f.press(click);
        const QList<CurvePoint> &curve = f.model.curves()[0].points;
        QCOMPARE(curve.size(), points.size() + 1);
        const int inserted = index < 0 ? int(points.size()) : index;
        comparePoint(curve[inserted].pixel, click);
        QCOMPARE(f.model.selectedPointIndex(), inserted);
        // An inserted point is ready to drag; an appended one is not.
        f.moveTo(click + QPointF(0, 20));
        f.release(click + QPointF(0, 20));
        comparePoint(f.model.curves()[0].points[inserted].pixel, index < 0 ? click : click + QPointF(0, 20));
    }

    void hiddenActiveCurveAppends()
    {
        Fixture f;
        testsupport::calibrate(f.model);
        f.model.addPoint(QPointF(100, 300));
        f.model.addPoint(QPointF(500, 100));
        f.model.setCurveVisible(0, false);
        QCOMPARE(insertionIndexNear(f.model, QPointF(300, 200), 9), -1);
        f.click(QPointF(300, 200));
        QCOMPARE(f.model.curves()[0].points.last().pixel, QPointF(300, 200));
    }

    void ignoredClicks()
    {
        Fixture noPicture(false);
        testsupport::calibrate(noPicture.model);
        noPicture.click(QPointF(10, 10));
        QVERIFY(noPicture.model.curves()[0].points.isEmpty());

        Fixture f;
        testsupport::calibrate(f.model);
        f.click(QPointF(-5, 100));
        f.click(QPointF(700, 100));
        QVERIFY(f.model.curves()[0].points.isEmpty());
        // A nudge that would leave the picture moves nothing.
        f.click(QPointF(639.95, 100));
        f.key(Qt::Key_Right);
        comparePoint(f.model.curves()[0].points[0].pixel, QPointF(640, 100));
        f.key(Qt::Key_Right);
        comparePoint(f.model.curves()[0].points[0].pixel, QPointF(640, 100));
    }

    void uncalibratedClickAddsNothing()
    {
        Fixture f;
        QSignalSpy errors(&f.model, &ProjectModel::errorOccurred);
        f.click(QPointF(100, 100));
        QCOMPARE(errors.size(), 1);
        QVERIFY(f.model.curves()[0].points.isEmpty());
    }

    void escapeClearsSelection()
    {
        Fixture f;
        testsupport::calibrate(f.model);
        f.click(QPointF(100, 100));
        QCOMPARE(f.model.selectedPointIndex(), 0);
        const int messages = int(f.status.size());
        f.key(Qt::Key_Escape);
        QCOMPARE(f.model.selectedPointIndex(), -1);
        QCOMPARE(f.status.size(), messages);
    }

    void zoomLimits()
    {
        Fixture f;
        f.zoomTo(29.0);
        f.wheel(120);
        QCOMPARE(f.view.transform().m11(), 29.0 * 1.15);
        f.wheel(120);
        QCOMPARE(f.view.transform().m11(), 29.0 * 1.15);
        f.zoomTo(0.031);
        f.wheel(-120);
        QCOMPARE(f.view.transform().m11(), 0.031 / 1.15);
        f.wheel(-120);
        QCOMPARE(f.view.transform().m11(), 0.031 / 1.15);
        f.zoomTo(1.0);
        f.wheel(0, 120); // horizontal only: zooms out
        QCOMPARE(f.view.transform().m11(), 1.0 / 1.15);
    }

    void rightDragPans()
    {
        Fixture f;
        f.zoomTo(4.0);
        const int before = f.view.horizontalScrollBar()->value();
        const QPoint start(400, 300);
        QTest::mousePress(f.view.viewport(), Qt::RightButton, {}, start);
        QTest::mouseMove(f.view.viewport(), start + QPoint(-50, 0));
        QTest::mouseRelease(f.view.viewport(), Qt::RightButton, {}, start + QPoint(-50, 0));
        QCOMPARE(f.view.horizontalScrollBar()->value(), before + 50);
    }

    void viewStateRoundTrip()
    {
        Fixture f;
        f.zoomTo(2.5);
        f.view.centerOn(200, 150);
        const QJsonObject state = f.view.viewState();
        QCOMPARE(state.value("zoom").toDouble(), 2.5);
        QVERIFY(std::abs(state.value("centerX").toDouble() - 200) < 1);
        f.view.restoreViewState({});
        QCOMPARE(f.view.transform().m11(), 1.0);
        f.view.restoreViewState(state);
        // Scroll bars move in whole viewport pixels: the centre comes back within one.
        const QJsonObject restored = f.view.viewState();
        QCOMPARE(restored.value("zoom").toDouble(), 2.5);
        QVERIFY(std::abs(restored.value("centerX").toDouble() - state.value("centerX").toDouble()) <=
                1.01 / 2.5);
        QVERIFY(std::abs(restored.value("centerY").toDouble() - state.value("centerY").toDouble()) <=
                1.01 / 2.5);
        Fixture empty(false);
        QVERIFY(empty.view.viewState().isEmpty());
    }

    void sceneContentsInOrder()
    {
        Fixture f;
        testsupport::calibrate(f.model);
        f.model.addPoint(QPointF(100, 100), QStringLiteral("A"));
        f.model.addPoint(QPointF(200, 150));
        f.model.addPoint(QPointF(300, 120));
        f.model.setActiveCurveMetadata(QStringLiteral("A"), QStringLiteral("T"), QStringLiteral("20 C"));
        f.model.addCurve(QStringLiteral("Hidden"));
        f.model.addPoint(QPointF(50, 50));
        f.model.setCurveVisible(1, false);
        f.model.selectPoint(0, 1);

        QList<int> types;
        for (QGraphicsItem *item : f.view.scene()->items(Qt::AscendingOrder)) {
            QCOMPARE(item->zValue(), 0.0);
            types.append(item->type());
        }
        QCOMPARE(types,
                 (QList<int>{QGraphicsPixmapItem::Type, QGraphicsLineItem::Type, QGraphicsLineItem::Type,
                             QGraphicsPathItem::Type, PointMarksItem::Type, QGraphicsSimpleTextItem::Type}));
        const PointMarksItem *circles = itemsOf<PointMarksItem>(f.view.scene()).first();
        QCOMPARE(circles->pixels().size(), 3);
        QCOMPARE(circles->markRect(0), QRectF(97, 97, 6, 6));
        QCOMPARE(circles->markPen(0).color(), QColor(Qt::white));
        QCOMPARE(circles->markRect(1), QRectF(195, 145, 10, 10));
        QCOMPARE(circles->markPen(1).color(), QColor(QStringLiteral("#ffeb3b")));
        QCOMPARE(circles->color(), f.model.curves()[0].color);
        const QGraphicsSimpleTextItem *label = itemsOf<QGraphicsSimpleTextItem>(f.view.scene()).first();
        QCOMPARE(label->text(), QStringLiteral("T 20 C"));
        QCOMPARE(label->pos(), QPointF(308, 102));
        QVERIFY(label->flags() & QGraphicsItem::ItemIgnoresTransformations);
        QCOMPARE(f.view.sceneRect(), QRectF(0, 0, 640, 480));

        // A new selection shows at once.
        f.model.selectPoint(0, 2);
        QCOMPARE(circles->markRect(1), QRectF(197, 147, 6, 6));
        QCOMPARE(circles->markRect(2), QRectF(295, 115, 10, 10));

        f.model.setVisibleLayers(ProjectModel::PointsLayer);
        QCOMPARE(itemsOf<QGraphicsPixmapItem>(f.view.scene()).size(), 0);
        QCOMPARE(itemsOf<QGraphicsLineItem>(f.view.scene()).size(), 0);
    }

    // Clicks and drags update the scene in place; whatever they did must look
    // exactly like a scene built from scratch.
    void incrementalUpdatesMatchFullRebuild()
    {
        const auto snapshot = [](QGraphicsScene *scene) {
            QStringList items;
            for (QGraphicsItem *item : scene->items(Qt::AscendingOrder)) {
                QString text = QString::number(item->type());
                if (auto *circles = qgraphicsitem_cast<PointMarksItem *>(item)) {
                    text += QStringLiteral(" %1 %2").arg(circles->color().name()).arg(circles->selected());
                    for (int i = 0; i < circles->pixels().size(); ++i)
                        text += QStringLiteral(" %1,%2")
                                    .arg(circles->markRect(i).x())
                                    .arg(circles->markRect(i).y());
                    if (!circles->boundingRect().contains(circles->index().bounds()))
                        text += QStringLiteral(" bounds left behind");
                } else if (auto *path = qgraphicsitem_cast<QGraphicsPathItem *>(item))
                    text += QStringLiteral(" %1 %2")
                                .arg(path->path().elementCount())
                                .arg(path->pen().color().name()) +
                            QStringLiteral(" %1,%2")
                                .arg(path->path().currentPosition().x())
                                .arg(path->path().currentPosition().y());
                else if (auto *label = qgraphicsitem_cast<QGraphicsSimpleTextItem *>(item))
                    text += QStringLiteral(" %1 %2,%3")
                                .arg(label->text())
                                .arg(label->pos().x())
                                .arg(label->pos().y());
                items.append(text);
            }
            return items;
        };
        Fixture f;
        testsupport::calibrate(f.model);
        QRandomGenerator random(7);
        for (int step = 0; step < 400; ++step) {
            const QPointF pixel(random.bounded(640), random.bounded(480));
            const int curves = int(f.model.curves().size());
            switch (random.bounded(9)) {
            case 0:
            case 1: f.model.addPoint(pixel); break;
            case 2: f.model.insertPoint(random.bounded(curves), random.bounded(6), pixel); break;
            case 3: f.model.moveSelectedPoint(pixel); break;
            case 4: f.model.deleteSelectedPoint(); break;
            case 5: f.model.undoLastPointInsertion(); break;
            case 6: f.model.selectNearestPoint(pixel, 60); break;
            case 7: f.model.addCurve(); break;
            case 8: f.model.setCurveVisible(random.bounded(curves), random.bounded(4) != 0); break;
            }
            const QStringList incremental = snapshot(f.view.scene());
            f.view.rebuildScene();
            QCOMPARE(incremental, snapshot(f.view.scene()));
        }
        QVERIFY(f.model.pointsPixel().size() > 20);
    }

    // Long curves are drawn in pieces that must join into exactly the
    // Catmull-Rom spline through all points, however they were edited.
    void longCurveSplineInPieces_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("edit"); // 0 none, 1 append, 2 move a middle point, 3 delete it, 4 insert
        QTest::newRow("2 points, a line") << 2 << 0;
        QTest::newRow("3 points") << 3 << 0;
        QTest::newRow("one piece full") << 33 << 0;
        QTest::newRow("second piece starts") << 34 << 0;
        QTest::newRow("100, append") << 100 << 1;
        QTest::newRow("100, move middle") << 100 << 2;
        QTest::newRow("100, delete middle") << 100 << 3;
        QTest::newRow("100, insert middle") << 100 << 4;
        QTest::newRow("33, append") << 33 << 1;
        QTest::newRow("34, delete") << 34 << 3;
    }
    void longCurveSplineInPieces()
    {
        QFETCH(int, points);
        QFETCH(int, edit);
        Fixture f;
        testsupport::calibrate(f.model);
        for (int i = 0; i < points; ++i)
            f.model.addPoint(QPointF(5 + i * 6, 240 + 100 * std::sin(i / 5.0)));
        const int middle = points / 2;
        switch (edit) {
        case 1: f.model.addPoint(QPointF(620, 40)); break;
        case 2:
            f.model.selectPoint(0, middle);
            f.model.moveSelectedPoint(QPointF(300, 20));
            break;
        case 3:
            f.model.selectPoint(0, middle);
            f.model.deleteSelectedPoint();
            break;
        case 4: f.model.insertPoint(0, middle, QPointF(310, 470)); break;
        }

        QList<QPointF> p;
        for (const CurvePoint &point : f.model.curves()[0].points)
            p.append(point.pixel);
        const int n = int(p.size());
        // The spline's elements: a move, then a line (two points) or per segment
        // two control points and the end point.
        QList<QPointF> expected{p[0]};
        if (n == 2)
            expected.append(p[1]);
        for (int i = 0; n > 2 && i + 1 < n; ++i)
            expected << p[i] + (p[i + 1] - p[qMax(i - 1, 0)]) / 6.0
                     << p[i + 1] - (p[qMin(i + 2, n - 1)] - p[i]) / 6.0 << p[i + 1];

        const auto drawn = [&f] {
            QList<QPointF> elements;
            for (QGraphicsItem *item : f.view.scene()->items(Qt::AscendingOrder)) {
                const auto *piece = qgraphicsitem_cast<QGraphicsPathItem *>(item);
                if (!piece)
                    continue;
                const QPainterPath path = piece->path();
                // Each piece starts where the one before ended.
                if (!elements.isEmpty() && QPointF(path.elementAt(0)) != elements.last())
                    return QList<QPointF>{};
                for (int e = elements.isEmpty() ? 0 : 1; e < path.elementCount(); ++e)
                    elements.append(path.elementAt(e));
            }
            return elements;
        };
        QCOMPARE(drawn(), expected);
        f.view.rebuildScene();
        QCOMPARE(drawn(), expected);
    }

    void pictureIsConvertedOnce()
    {
        Fixture f;
        testsupport::calibrate(f.model);
        const qint64 key = itemsOf<QGraphicsPixmapItem>(f.view.scene()).first()->pixmap().cacheKey();
        f.model.addPoint(QPointF(10, 10));
        f.model.addPoint(QPointF(20, 10));
        QCOMPARE(itemsOf<QGraphicsPixmapItem>(f.view.scene()).first()->pixmap().cacheKey(), key);
        f.model.setSourceImage(testsupport::chartImage(300, 200), QString());
        QVERIFY(itemsOf<QGraphicsPixmapItem>(f.view.scene()).first()->pixmap().cacheKey() != key);
        QCOMPARE(f.view.sceneRect(), QRectF(0, 0, 300, 200));
    }

    void modeAndOrthogonalMessages()
    {
        Fixture f;
        f.view.setInteractionMode(GraphView::PointMode);
        QCOMPARE(
            f.lastStatus(),
            QStringLiteral("Click: add a point or select one of the active curve. Ctrl+click: select a "
                           "point of any curve. Drag: move point. Shift+drag: select points. Del: delete. "
                           "Ctrl+Z: undo. Wheel: zoom. Middle click: pan. Ctrl+PgDn/PgUp: next/previous "
                           "curve."));
        f.view.setInteractionMode(GraphView::CalibrateXMode);
        QCOMPARE(f.lastStatus(),
                 QStringLiteral("Select two points on the axis. Orthogonal mode keeps X horizontal "
                                "and Y vertical."));
        const int count = int(f.status.size());
        f.view.setOrthogonalAxes(true);
        QCOMPARE(f.status.size(), count);
        f.view.setOrthogonalAxes(false);
        QCOMPARE(f.lastStatus(), QStringLiteral("Tilted axis calibration enabled."));
        f.view.setInteractionMode(GraphView::CalibrateYMode);
        QCOMPARE(f.lastStatus(), QStringLiteral("Select two points on the axis. Tilted axes are allowed."));
        f.view.setOrthogonalAxes(true);
        QCOMPARE(f.lastStatus(), QStringLiteral("Orthogonal axis calibration enabled."));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestGraphView)
#include "tst_graphview.moc"
