#pragma once

#include <QList>

// Round values along an axis, for grids drawn over the picture and for the
// ticks of redrawn plots.

// The step, 1, 2 or 5 times a power of ten, that divides span into about
// `count` parts; 0 for an empty or non-finite span.
double niceStep(double span, int count);

// The multiples of niceStep(high - low, count) inside [low, high] (either
// order), at most a few hundred; exact zeros instead of rounding noise.
QList<double> linearTicks(double low, double high, int count);

struct LogTick
{
    double value;
    bool major; // a decade (or every n-th decade on very long axes)
};

// Decades inside [low, high] (both above zero, either order) as major ticks,
// with their 2..9 multiples as minor ticks while the range spans few enough
// decades to show them; on very long ranges every n-th decade only.
QList<LogTick> logTicks(double low, double high);
