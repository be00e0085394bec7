#pragma once

#include "core/model/calibration.h"

namespace testsupport {

// Both axes set and flagged valid, with the given lines, values and scales.
inline Calibration calibrationOf(const QLineF &xLine, double x1, double x2, bool xLog, const QLineF &yLine,
                                 double y1, double y2, bool yLog)
{
    Calibration c;
    c.axisXLine = xLine;
    c.xValue1 = x1;
    c.xValue2 = x2;
    c.xLogScale = xLog;
    c.axisXValid = true;
    c.axisYLine = yLine;
    c.yValue1 = y1;
    c.yValue2 = y2;
    c.yLogScale = yLog;
    c.axisYValid = true;
    return c;
}

} // namespace testsupport
