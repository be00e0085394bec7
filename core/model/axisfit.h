#pragma once

#include <QLineF>
#include <QList>
#include <QPointF>

// A reference mark of an axis: where it is on the picture and the value there.
struct CalibrationMark
{
    QPointF pixel;
    double value = 0.0;

    friend bool operator==(const CalibrationMark &a, const CalibrationMark &b)
    {
        return a.pixel == b.pixel && a.value == b.value;
    }
};

// An axis fitted through its marks: a straight line on the picture along which
// the value (or its log10) grows evenly. line, value1 and value2 are the fit at
// the two outermost marks, the form every other part of the program reads.
struct AxisFit
{
    bool ok = false;
    QLineF line;
    double value1 = 0.0;
    double value2 = 1.0;
    // Per mark, in the marks' order: the distance in pixels from the mark to
    // where the fit puts its value, and whether the fit rests on it.
    QList<double> residuals;
    QList<bool> used;
    // Root mean square of the residuals of the marks used.
    double rms = 0.0;
    // Pixels per unit of value, or per decade on a logarithmic axis.
    double pixelsPerUnit = 0.0;
};

// The least-squares fit of an axis through its marks. Two marks give exactly
// the line between them. With four marks or more, a mark that disagrees with a
// clear majority by more than a pixel (a mistyped or misread value) is left out
// of the fit, so that it stands out instead of bending it. Not ok with fewer
// than two usable marks, equal values only, or values not above zero on a
// logarithmic axis.
AxisFit fitAxis(const QList<CalibrationMark> &marks, bool logScale);
