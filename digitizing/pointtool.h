#pragma once

#include "digitizing/digitizingtool.h"

// Adding, selecting, dragging and nudging points of the curves.
class PointTool : public DigitizingTool
{
public:
    using DigitizingTool::DigitizingTool;

    void activate() override;
    void press(const ToolEvent &event) override;
    bool drag(const ToolEvent &event) override;
    bool release(const ToolEvent &event) override;
    bool keyPress(QKeyEvent *event) override;
    bool nudge(const QPointF &step) override;
    void paint(QPainter *painter) const override;

private:
    bool m_draggingPoint = false;
    bool m_draggingGroup = false;
    QPointF m_lastDragPosition; // of a group drag
    BoxDrag m_box;
};
