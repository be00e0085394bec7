#pragma once

#include <QList>
#include <QString>

// One tick of a plot axis: where it sits (0 at the minimum, 1 at the maximum,
// in the axis's own scale) and what it reads. Minor ticks have no text.
struct PlotTick
{
    double value = 0.0;
    double fraction = 0.0;
    bool major = true;
    QString text;
};

// The ticks of an axis from minimum to maximum. Linear axes: multiples of a
// round step (1, 2 or 5 times a power of ten) giving about `divisions` parts,
// labelled with as many decimals as the step needs and at least
// minimumDecimals, so that no label rounds to another value. Logarithmic
// axes: labelled decades with unlabelled 2..9 minors; a range shorter than a
// decade labels its minors too. Exponent form where plain numbers would be
// long. Empty for invalid limits.
QList<PlotTick> plotTicks(double minimum, double maximum, bool logarithmic, int divisions,
                          int minimumDecimals);
