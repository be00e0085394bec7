#pragma once

#include "digitizing/digitizingtool.h"

// Pick from PDF: the pointer highlights the path a click would take from the
// page's drawing, and the click imports it.
class PdfPickTool : public DigitizingTool
{
public:
    using DigitizingTool::DigitizingTool;

    void activate() override;
    void press(const ToolEvent &event) override;
    void hover(const ToolEvent &event) override;
};
