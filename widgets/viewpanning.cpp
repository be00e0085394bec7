#include "widgets/viewpanning.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

ViewPanning::ViewPanning(QAbstractScrollArea *view)
    : m_view(view)
{}

bool ViewPanning::press(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (button != Qt::RightButton && button != Qt::MiddleButton && !(button == Qt::LeftButton && m_spaceHeld))
        return false;
    m_panning = true;
    m_lastPosition = event->position().toPoint();
    m_view->viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
    return true;
}

bool ViewPanning::move(QMouseEvent *event)
{
    if (!m_panning)
        return false;
    const QPoint position = event->position().toPoint();
    const QPoint delta = position - m_lastPosition;
    m_lastPosition = position;
    m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->value() - delta.x());
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value() - delta.y());
    event->accept();
    return true;
}

bool ViewPanning::release(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (!m_panning || (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton))
        return false;
    m_panning = false;
    restoreCursor();
    event->accept();
    return true;
}

bool ViewPanning::keyPress(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space)
        return false;
    if (!event->isAutoRepeat()) {
        m_spaceHeld = true;
        if (!m_panning)
            m_view->viewport()->setCursor(Qt::OpenHandCursor);
    }
    event->accept();
    return true;
}

bool ViewPanning::keyRelease(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space)
        return false;
    if (!event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (!m_panning)
            m_view->viewport()->unsetCursor();
    }
    event->accept();
    return true;
}

void ViewPanning::restoreCursor()
{
    if (m_spaceHeld)
        m_view->viewport()->setCursor(Qt::OpenHandCursor);
    else
        m_view->viewport()->unsetCursor();
}
