#include "graphwindow/zoomablegraphview.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QScrollBar>

#include <cmath>

namespace {

// A view of 800 x 500 over a graph-sized scene.
struct View
{
    QGraphicsScene scene{0, 0, 2362, 1476};
    ZoomableGraphView view;

    View()
    {
        scene.addRect(scene.sceneRect(), QPen(Qt::black), Qt::white);
        view.setScene(&scene);
        view.resize(800, 500);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qWarning("view not exposed");
        view.fitScene();
    }
    bool wheel(int delta)
    {
        const QPointF at = view.viewport()->rect().center();
        QWheelEvent event(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
        return event.isAccepted();
    }
    Qt::CursorShape cursor() const { return view.viewport()->cursor().shape(); }
};

} // namespace

class TestRegeneratedView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitShowsTheWholeScene()
    {
        View v;
        v.view.scale(3, 3);
        v.view.fitScene();
        // Aspect kept, and the scene just fits the viewport (fitInView leaves a few pixels).
        const QSize port = v.view.viewport()->size();
        const double expected = std::min(port.width() / 2362.0, port.height() / 1476.0);
        QCOMPARE(v.view.transform().m11(), v.view.transform().m22());
        QVERIFY2(std::abs(v.view.zoomFactor() - expected) < 0.01 * expected,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(v.view.zoomFactor()).arg(expected)));

        QGraphicsScene empty;
        v.view.setScene(&empty);
        v.view.scale(2, 2);
        const double zoomed = v.view.zoomFactor();
        v.view.fitScene(); // nothing to fit: the zoom stays
        QCOMPARE(v.view.zoomFactor(), zoomed);
    }

    void zoomStaysWithinItsLimits()
    {
        View v;
        const double fitted = v.view.zoomFactor();
        v.view.zoomIn();
        QVERIFY(qFuzzyCompare(v.view.zoomFactor(), fitted * 1.2));
        for (int i = 0; i < 60; ++i)
            v.view.zoomIn();
        const double top = v.view.zoomFactor();
        QVERIFY(top >= 80.0 && top < 80.0 * 1.2);
        QTest::keyClick(&v.view, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(v.view.zoomFactor(), top);
        QTest::keyClick(&v.view, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(qFuzzyCompare(v.view.zoomFactor(), top / 1.2));
        for (int i = 0; i < 80; ++i)
            v.view.zoomOut();
        const double bottom = v.view.zoomFactor();
        QVERIFY(bottom <= 0.02 && bottom > 0.02 / 1.2);
        QVERIFY(v.wheel(-120));
        QCOMPARE(v.view.zoomFactor(), bottom);
    }

    void wheelZooms()
    {
        View v;
        const double fitted = v.view.zoomFactor();
        QVERIFY(v.wheel(120));
        QVERIFY(qFuzzyCompare(v.view.zoomFactor(), fitted * 1.15));
        QVERIFY(v.wheel(0)); // no delta zooms out
        QVERIFY(qFuzzyCompare(v.view.zoomFactor(), fitted));
        QVERIFY(v.wheel(-120));
        QVERIFY(qFuzzyCompare(v.view.zoomFactor(), fitted / 1.15));
    }

    void panScrollsByTheMouseMovement_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("middle") << int(Qt::MiddleButton);
        QTest::newRow("right") << int(Qt::RightButton);
    }

    void panScrollsByTheMouseMovement()
    {
        QFETCH(int, button);
        View v;
        for (int i = 0; i < 6; ++i)
            v.view.zoomIn();
        QScrollBar *h = v.view.horizontalScrollBar();
        QScrollBar *s = v.view.verticalScrollBar();
        h->setValue((h->minimum() + h->maximum()) / 2);
        s->setValue((s->minimum() + s->maximum()) / 2);
        const int h0 = h->value();
        const int v0 = s->value();
        QWidget *port = v.view.viewport();
        const QPoint start = port->rect().center();
        QTest::mousePress(port, Qt::MouseButton(button), {}, start);
        QVERIFY(v.view.isPanning());
        QCOMPARE(v.cursor(), Qt::ClosedHandCursor);
        QTest::mouseMove(port, start + QPoint(-50, -30));
        QTest::mouseRelease(port, Qt::MouseButton(button), {}, start + QPoint(-50, -30));
        QCOMPARE(h->value(), h0 + 50);
        QCOMPARE(s->value(), v0 + 30);
        QVERIFY(!v.view.isPanning());
        QCOMPARE(v.cursor(), Qt::ArrowCursor);
    }

    void spaceAndLeftButtonPan()
    {
        View v;
        for (int i = 0; i < 6; ++i)
            v.view.zoomIn();
        QScrollBar *h = v.view.horizontalScrollBar();
        h->setValue((h->minimum() + h->maximum()) / 2);
        const int h0 = h->value();
        QWidget *port = v.view.viewport();
        const QPoint start = port->rect().center();

        // Without Space the left button does not pan.
        QTest::mousePress(port, Qt::LeftButton, {}, start);
        QVERIFY(!v.view.isPanning());
        QTest::mouseRelease(port, Qt::LeftButton, {}, start);

        QTest::keyPress(&v.view, Qt::Key_Space);
        QCOMPARE(v.cursor(), Qt::OpenHandCursor);
        QTest::mousePress(port, Qt::LeftButton, {}, start);
        QCOMPARE(v.cursor(), Qt::ClosedHandCursor);
        QTest::mouseMove(port, start + QPoint(40, 0));
        QTest::mouseRelease(port, Qt::LeftButton, {}, start + QPoint(40, 0));
        QCOMPARE(h->value(), h0 - 40);
        QCOMPARE(v.cursor(), Qt::OpenHandCursor); // Space still held
        QTest::keyRelease(&v.view, Qt::Key_Space);
        QCOMPARE(v.cursor(), Qt::ArrowCursor);
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestRegeneratedView)
#include "tst_regenerated_view.moc"
