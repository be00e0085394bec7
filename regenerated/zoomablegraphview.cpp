#include "regenerated/zoomablegraphview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

ZoomableGraphView::ZoomableGraphView(QWidget *parent)
    : QGraphicsView(parent)
{
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    // Grey around the page, so that the white graph shows where it ends.
    setBackgroundBrush(QColor(232, 232, 232));
}

double ZoomableGraphView::zoomFactor() const
{
    return transform().m11();
}

void ZoomableGraphView::zoomBy(double factor)
{
    const double m = zoomFactor();
    if ((factor > 1.0 && m < maximumScale) || (factor < 1.0 && m > minimumScale))
        scale(factor, factor);
}

void ZoomableGraphView::zoomIn()
{
    zoomBy(buttonZoomFactor);
}

void ZoomableGraphView::zoomOut()
{
    zoomBy(1.0 / buttonZoomFactor);
}

void ZoomableGraphView::fitScene()
{
    if (!scene())
        return;
    const QRectF rect = scene()->sceneRect();
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    resetTransform();
    fitInView(rect, Qt::KeepAspectRatio);
}

void ZoomableGraphView::wheelEvent(QWheelEvent *event)
{
    zoomBy(event->angleDelta().y() > 0 ? wheelZoomFactor : 1.0 / wheelZoomFactor);
    event->accept();
}

void ZoomableGraphView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::ZoomIn)) {
        zoomIn();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::ZoomOut)) {
        zoomOut();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_spaceHeld = true;
            if (!m_panning)
                viewport()->setCursor(Qt::OpenHandCursor);
        }
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void ZoomableGraphView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_spaceHeld = false;
            if (!m_panning)
                viewport()->unsetCursor();
        }
        event->accept();
        return;
    }
    QGraphicsView::keyReleaseEvent(event);
}

void ZoomableGraphView::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (button == Qt::RightButton || button == Qt::MiddleButton ||
        (button == Qt::LeftButton && m_spaceHeld)) {
        m_panning = true;
        m_lastPanPosition = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void ZoomableGraphView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning) {
        const QPoint position = event->position().toPoint();
        const QPoint delta = position - m_lastPanPosition;
        m_lastPanPosition = position;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void ZoomableGraphView::mouseReleaseEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (m_panning && (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton)) {
        m_panning = false;
        restoreCursor();
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
    Q_EMIT mouseReleased();
}

void ZoomableGraphView::restoreCursor()
{
    if (m_spaceHeld)
        viewport()->setCursor(Qt::OpenHandCursor);
    else
        viewport()->unsetCursor();
}
