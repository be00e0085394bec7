#pragma once

#include "core/model/calibration.h"

#include <QLineF>
#include <QList>
#include <QRectF>

struct GridLine
{
    QLineF line; // in picture pixels, clipped to the picture
    bool major;
};

// The calibrated coordinate grid over a picture: lines of constant x and of
// constant y at round values (decades with their 2..9 multiples on log axes),
// so that a good calibration puts them on the chart's own grid and ticks.
// Empty while the calibration is incomplete or cannot be inverted.
QList<GridLine> calibrationGridLines(const Calibration &calibration, const QRectF &picture);
