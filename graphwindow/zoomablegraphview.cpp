#include "graphwindow/zoomablegraphview.h"

#include <QKeyEvent>
#include <QMouseEvent>
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
    if (m_panning.keyPress(event))
        return;
    QGraphicsView::keyPressEvent(event);
}

void ZoomableGraphView::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_panning.keyRelease(event))
        QGraphicsView::keyReleaseEvent(event);
}

void ZoomableGraphView::mousePressEvent(QMouseEvent *event)
{
    if (!m_panning.press(event))
        QGraphicsView::mousePressEvent(event);
}

void ZoomableGraphView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_panning.move(event))
        QGraphicsView::mouseMoveEvent(event);
}

void ZoomableGraphView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning.release(event))
        return;
    QGraphicsView::mouseReleaseEvent(event);
    Q_EMIT mouseReleased();
}
