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
    QPointF calibrationMark(const QPointF &position, Qt::KeyboardModifiers modifiers);
    QPointF constrainedMark(const QPointF &mark) const;
    void drawPreview();
    void removePreview();
    void confirmAxis();
    void reportTilt(const QPointF &secondMark);

    bool m_xAxis;
    bool m_hasFirstMark = false;
    QPointF m_firstMark;
    QPointF m_currentMark;
    QGraphicsLineItem *m_previewLine = nullptr;
    QGraphicsEllipseItem *m_previewMarker = nullptr;
};
