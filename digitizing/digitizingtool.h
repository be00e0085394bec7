#pragma once

#include <QPointF>
#include <QRectF>
#include <Qt>

class GraphView;
class QKeyEvent;
class QPainter;

// A mouse event over the picture, in scene (picture pixel) coordinates.
struct ToolEvent
{
    QPointF position; // of the viewport pixel under the pointer, where clicks are placed
    QPointF exact;    // unrounded
    Qt::KeyboardModifiers modifiers;
};

// One interaction mode of the digitizing view. The view keeps zoom, pan and
// the scene, and hands every other event to the active tool.
class DigitizingTool
{
public:
    explicit DigitizingTool(GraphView &view)
        : m_view(view)
    {}
    virtual ~DigitizingTool() = default;
    DigitizingTool(const DigitizingTool &) = delete;
    DigitizingTool &operator=(const DigitizingTool &) = delete;

    // Made the active tool: says in the status bar what it does.
    virtual void activate() = 0;
    // Left for another mode: drops whatever it had begun.
    virtual void deactivate() {}
    // A left press inside the picture.
    virtual void press(const ToolEvent &event) = 0;
    // A move during a gesture of the tool; false when none is going on.
    virtual bool drag(const ToolEvent &) { return false; }
    // The pointer moves over the picture with no gesture going on.
    virtual void hover(const ToolEvent &) {}
    // The left button released; false when it ended no gesture of the tool.
    virtual bool release(const ToolEvent &) { return false; }
    // Escape clears the selection; a tool may take other keys. False leaves the key to the view.
    virtual bool keyPress(QKeyEvent *event);
    // The arrow keys; false when the tool has nothing to move.
    virtual bool nudge(const QPointF &) { return false; }
    // Over the scene, in scene coordinates.
    virtual void paint(QPainter *) const {}
    // The scene was rebuilt: items the tool had added to it are gone.
    virtual void sceneCleared() {}
    virtual void orthogonalAxesChanged() {}

protected:
    GraphView &view() const { return m_view; }

private:
    GraphView &m_view;
};

// A rectangle being dragged out on the picture (Shift+drag).
class BoxDrag
{
public:
    bool isActive() const { return m_active; }
    void begin(const QPointF &at);
    void moveTo(const QPointF &corner) { m_corner = corner; }
    // Ends the drag at `corner` and gives the rectangle.
    QRectF finish(const QPointF &corner);
    // A dashed outline one screen pixel wide at the view's zoom.
    void paint(QPainter *painter, double zoom) const;

private:
    bool m_active = false;
    QPointF m_start;
    QPointF m_corner;
};
