#pragma once

#include "digitizing/digitizingtool.h"

// Trace and Markers: a click is the seed of a search, Shift+drag the region it
// runs in, Enter and Escape answer the preview. The search itself is the
// extraction panel's.
class ExtractionTool : public DigitizingTool
{
public:
    ExtractionTool(GraphView &view, bool markers);

    void activate() override;
    void press(const ToolEvent &event) override;
    bool drag(const ToolEvent &event) override;
    bool release(const ToolEvent &event) override;
    bool keyPress(QKeyEvent *event) override;
    void paint(QPainter *painter) const override;

private:
    bool m_markers;
    BoxDrag m_box;
};
