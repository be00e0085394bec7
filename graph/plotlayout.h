#pragma once

#include "graph/plotticks.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

struct GraphSettings;

// How big the graph draws a text, in scene units at the export DPI: the
// layout asks, the renderer answers with the very items it draws.
struct TextMeasure
{
    // A one-line text that stays where the layout puts it (tick values, multipliers).
    std::function<QSizeF(const QString &, const QFont &)> fixedText;
    // A text the user may move (title, axis labels), with its item's margins.
    std::function<QSizeF(const QString &, const QFont &)> movableText;
    // The legend with these entries in that many columns.
    std::function<QSizeF(const QStringList &, int, const QFont &)> legend;
    // The text shortened with "…" to at most that width.
    std::function<QString(const QString &, const QFont &, double)> elide;
};

// A text as the layout places it: what it reads, the item position and the
// rectangle it covers in the scene (for the y label, the rotated box).
struct PlacedText
{
    QString text;
    QPointF pos;
    QRectF rect;
};

// Where everything of a graph goes, for one size and DPI.
struct PlotLayout
{
    QSize figure;
    QRectF plot;
    AxisTicks xTicks;
    AxisTicks yTicks;
    QList<PlacedText> xValues; // one per labelled tick, in tick order
    QList<PlacedText> yValues;
    PlacedText xMultiplier; // empty text when the axis has none
    PlacedText yMultiplier;
    bool hasTitle = false;
    PlacedText title;
    PlacedText xLabel;
    PlacedText yLabel; // drawn turned by -90 degrees about pos
    bool hasLegend = false;
    PlacedText legend;         // text unused
    QStringList legendEntries; // names as they fit
    int legendColumns = 1;
    bool legendOutside = false;

    // Every text the layout placed, for checks of overlap and fit.
    QList<QRectF> textRects() const;
};

// Lays the graph out as a typesetter would: measures every text, derives the
// plot from what they need (margins inside the figure, which keeps exactly
// its set size), picks the densest ticks whose labels keep apart, centres
// title and axis labels on the plot and finds the legend a place that covers
// no data, outside the plot if need be. Texts the user moved stay where they
// are and take no room. `curves` are the drawn lines in plot fractions
// (0..1 from left to right and from top to bottom); `legendEntries` the
// names, one per curve.
PlotLayout layoutPlot(const GraphSettings &settings, const QStringList &legendEntries,
                      const QList<QPolygonF> &curves, const TextMeasure &measure);

// How many lines of the curves (in scene units) pass through the box.
int crossings(const QList<QPolygonF> &curves, const QRectF &box);
