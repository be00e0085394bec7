#pragma once

#include <QPoint>

class QAbstractScrollArea;
class QKeyEvent;
class QMouseEvent;

// Panning a scrolled view with the right or middle button, or with the left
// button while Space is held, with the hand cursors that show it. The view
// hands its events here first; a call that returns true took the event.
class ViewPanning
{
public:
    explicit ViewPanning(QAbstractScrollArea *view);

    bool isPanning() const { return m_panning; }

    bool press(QMouseEvent *event);
    bool move(QMouseEvent *event);
    bool release(QMouseEvent *event);
    bool keyPress(QKeyEvent *event);
    bool keyRelease(QKeyEvent *event);

private:
    void restoreCursor();

    QAbstractScrollArea *m_view;
    bool m_panning = false;
    bool m_spaceHeld = false;
    QPoint m_lastPosition;
};
