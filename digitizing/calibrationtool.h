#pragma once

#include "digitizing/digitizingtool.h"

class QGraphicsEllipseItem;
class QGraphicsLineItem;

// Marking an axis with two points: the first is shown with a ring and a line
// to the pointer until the second click or Enter confirms it.
class CalibrationTool : public DigitizingTool
{
public:
    CalibrationTool(GraphView &view, bool xAxis);

    void activate() override;
    void deactivate() override;
    void press(const ToolEvent &event) override;
    bool drag(const ToolEvent &event) override;
    void hover(const ToolEvent &event) override;
    bool keyPress(QKeyEvent *event) override;
    bool nudge(const QPointF &step) override;
    void sceneCleared() override;
    void orthogonalAxesChanged() override;

private:
    // The axis is set and no fresh pair was begun: a click adds one mark.
    bool addsMarks() const;
    QPointF calibrationMark(const QPointF &position, Qt::KeyboardModifiers modifiers);
    QPointF forcedMark(const QPointF &mark) const;
    // How far a second mark at mark turns the axis off the forced direction,
    // when that is read as a turned chart; 0 otherwise.
    double tiltDegrees(const QPointF &mark) const;
    QPointF constrainedMark(const QPointF &mark) const;
    void drawPreview();
    void removePreview();
    void confirmAxis();

    bool m_xAxis;
    bool m_anew = false;
    bool m_hasFirstMark = false;
    QPointF m_firstMark;
    QPointF m_currentMark;
    QGraphicsLineItem *m_previewLine = nullptr;
    QGraphicsEllipseItem *m_previewMarker = nullptr;
};
