#pragma once

#include <QList>
#include <QString>

// One tick of a plot axis: where it sits (0 at the minimum, 1 at the maximum,
// in the axis's own scale) and what it reads. Minor ticks, and majors left
// unlabelled to make room, have no text.
struct PlotTick
{
    double value = 0.0;
    double fraction = 0.0;
    bool major = true;
    QString text;
};

// The ticks of one axis and the multiplier that all its labels share
// ("×10¹²"), empty when the labels are the values themselves.
struct AxisTicks
{
    QList<PlotTick> ticks;
    QString multiplier;
};

// The possible ticks of an axis, densest first; the first has at most
// `divisions` parts. Linear axes: multiples of a round step (1, 2, 2.5 or 5
// times a power of ten), every label of an axis with the same decimals (at
// least minimumDecimals), and one shared multiplier where the values are
// very large or very small. Logarithmic axes: decades as 10ⁿ (or plain
// decimals where every label is short) with unlabelled 2..9 minors, the
// sparser candidates labelling every 2nd, 3rd, 5th... decade; a range shorter
// than two decades labels its minors too. Empty for limits that cannot be drawn.
QList<AxisTicks> tickCandidates(double minimum, double maximum, bool logarithmic, int divisions,
                                int minimumDecimals);

// The ticks of a date axis (seconds since 1970-01-01 UTC) on calendar steps,
// densest first, the first with at most `divisions` parts: whole years
// ("2021"), quarters and months ("Mar 2021"), days ("2021-03-15"), hours and
// shorter ("06:00", the date at midnight).
QList<AxisTicks> dateTickCandidates(double minimum, double maximum, int divisions);

// The densest of the candidates.
AxisTicks plotTicks(double minimum, double maximum, bool logarithmic, int divisions, int minimumDecimals);

// A number as printed: with a true minus sign and no "-0".
QString printedNumber(double value, int decimals);

// "10" with the exponent in superscript digits: 10⁻⁵.
QString powerOfTen(int exponent);
