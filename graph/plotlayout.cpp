#include "graph/plotlayout.h"

#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Millimetres.
constexpr double edgePad = 1.5;   // from the figure's edge to any text
constexpr double textGap = 1.2;   // between neighbouring texts
constexpr double xValueGap = 1.5; // from the plot's bottom to the x values
constexpr double yValueGap = 2.0; // from the plot's left to the y values
constexpr double legendInset = 2.0;
// A legend beside the plot takes at most this share of the figure's width.
constexpr double legendShare = 0.4;

enum class LegendPlace { Inside, Right, Below };

// Whether the straight line from a to b passes through the rectangle
// (Liang-Barsky clipping).
bool crosses(const QPointF &a, const QPointF &b, const QRectF &box)
{
    double enter = 0.0;
    double leave = 1.0;
    const double d[2] = {b.x() - a.x(), b.y() - a.y()};
    const double low[2] = {box.left() - a.x(), box.top() - a.y()};
    const double high[2] = {box.right() - a.x(), box.bottom() - a.y()};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0.0) {
            if (low[axis] > 0.0 || high[axis] < 0.0)
                return false;
            continue;
        }
        double t0 = low[axis] / d[axis];
        double t1 = high[axis] / d[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave)
            return false;
    }
    return true;
}

// Everything the layout measures once, before it tries sizes.
class Layouter
{
public:
    Layouter(const GraphSettings &s, const QStringList &entries, const QList<QPolygonF> &curves,
             const TextMeasure &measure)
        : m_s(s)
        , m_entries(entries)
        , m_curves(curves)
        , m_measure(measure)
        , m_mm(sceneUnitsPerMm(s.dpi))
        , m_figure(outputPixelSize(s))
    {
        m_xCandidates = s.xDate && !s.xLog
                            ? dateTickCandidates(s.xMin, s.xMax, s.gridDivisions)
                            : tickCandidates(s.xMin, s.xMax, s.xLog, s.gridDivisions, s.axisDecimals);
        m_yCandidates = s.yDate && !s.yLog
                            ? dateTickCandidates(s.yMin, s.yMax, s.gridDivisions)
                            : tickCandidates(s.yMin, s.yMax, s.yLog, s.gridDivisions, s.axisDecimals);
        m_em = fixedSize(QStringLiteral("M"), s.axisValueFont).width();
        const double width = m_figure.width() - 2.0 * pad();
        const double height = m_figure.height() - 2.0 * pad();
        m_hasTitle = s.showTitle && !s.title.trimmed().isEmpty();
        m_title = placedLabel(s.title, s.titleFont, s.titleMoved, width);
        m_xLabel = placedLabel(s.xLabel, s.xLabelFont, s.xLabelMoved, width);
        m_yLabel = placedLabel(s.yLabel, s.yLabelFont, s.yLabelMoved, height);
    }

    PlotLayout run()
    {
        PlotLayout inside = build(LegendPlace::Inside, m_entries, 1);
        if (!inside.hasLegend || m_s.legendMoved || placeInside(inside))
            return inside;
        PlotLayout right = outside(LegendPlace::Right);
        PlotLayout below = outside(LegendPlace::Below);
        const auto area = [](const PlotLayout &l) { return l.plot.width() * l.plot.height(); };
        return area(below) > area(right) ? below : right;
    }

private:
    double pad() const { return edgePad * m_mm; }
    double gap() const { return textGap * m_mm; }

    QSizeF fixedSize(const QString &text, const QFont &font)
    {
        const QString key = font.key() + QChar(0) + text;
        const auto found = m_fixedCache.constFind(key);
        if (found != m_fixedCache.constEnd())
            return found.value();
        const QSizeF size = m_measure.fixedText(text, font);
        m_fixedCache.insert(key, size);
        return size;
    }

    // A title or axis label: shortened to the room it has unless the user placed it.
    PlacedText placedLabel(const QString &text, const QFont &font, bool moved, double room)
    {
        PlacedText placed;
        placed.text = moved ? text : m_measure.elide(text, font, room);
        placed.rect = QRectF(QPointF(), m_measure.movableText(placed.text, font));
        return placed;
    }

    // The sizes of the labelled ticks of the densest candidate whose labels
    // keep apart along an axis of that length: an em between x values, a
    // label's height between y values.
    AxisTicks chooseTicks(const QList<AxisTicks> &candidates, double length, bool horizontal,
                          QList<QSizeF> *sizes)
    {
        for (qsizetype c = 0; c < candidates.size(); ++c) {
            sizes->clear();
            QList<double> at;
            for (const PlotTick &tick : candidates.at(c).ticks) {
                if (tick.text.isEmpty())
                    continue;
                sizes->append(fixedSize(tick.text, m_s.axisValueFont));
                at.append(tick.fraction * length);
            }
            bool fits = true;
            for (qsizetype i = 1; i < at.size() && fits; ++i) {
                const QSizeF a = sizes->at(i - 1);
                const QSizeF b = sizes->at(i);
                const double needed =
                    horizontal ? (a.width() + b.width()) / 2.0 + m_em
                               : (a.height() + b.height()) / 2.0 + std::max(a.height(), b.height());
                fits = at.at(i) - at.at(i - 1) >= needed;
            }
            if (fits || c + 1 == candidates.size())
                return candidates.at(c);
        }
        sizes->clear();
        return AxisTicks();
    }

    PlotLayout build(LegendPlace place, const QStringList &entries, int columns)
    {
        PlotLayout l;
        l.figure = m_figure;
        l.hasTitle = m_hasTitle;
        l.hasLegend = m_s.showLegend && !entries.isEmpty();
        l.legendEntries = entries;
        l.legendColumns = columns;
        l.legendOutside = place != LegendPlace::Inside;
        const QSizeF legendSize = l.hasLegend ? m_measure.legend(entries, columns, m_s.legendFont) : QSizeF();
        const double width = m_figure.width();
        const double height = m_figure.height();
        const QSizeF xLabelSize = m_xLabel.rect.size();
        const QSizeF yLabelSize = m_yLabel.rect.size();
        const bool xLabelRoom = !m_s.xLabelMoved && !m_xLabel.text.trimmed().isEmpty();
        const bool yLabelRoom = !m_s.yLabelMoved && !m_yLabel.text.trimmed().isEmpty();
        const double titleRoom = m_hasTitle && !m_s.titleMoved ? m_title.rect.height() + gap() : 0.0;
        const double legendRight = place == LegendPlace::Right ? legendSize.width() + gap() : 0.0;
        const double legendBelow = place == LegendPlace::Below ? legendSize.height() + gap() : 0.0;

        // The margins depend on the ticks and the ticks on the plot's size:
        // a few rounds settle both, as the labels change little from one to the next.
        double left = pad();
        double right = pad();
        double top = pad() + titleRoom;
        double bottom = pad();
        QList<QSizeF> xSizes;
        QList<QSizeF> ySizes;
        QSizeF xMultiplier;
        QSizeF yMultiplier;
        double xRow = xValueGap * m_mm; // from the plot's bottom to the x values
        for (int round = 0; round < 3; ++round) {
            l.plot =
                QRectF(left, top, std::max(1.0, width - left - right), std::max(1.0, height - top - bottom));
            l.xTicks = chooseTicks(m_xCandidates, l.plot.width(), true, &xSizes);
            l.yTicks = chooseTicks(m_yCandidates, l.plot.height(), false, &ySizes);
            xMultiplier =
                l.xTicks.multiplier.isEmpty() ? QSizeF() : fixedSize(l.xTicks.multiplier, m_s.axisValueFont);
            yMultiplier =
                l.yTicks.multiplier.isEmpty() ? QSizeF() : fixedSize(l.yTicks.multiplier, m_s.axisValueFont);
            double yValuesWidth = 0.0;
            for (const QSizeF &size : ySizes)
                yValuesWidth = std::max(yValuesWidth, size.width());
            double xValuesHeight = 0.0;
            for (const QSizeF &size : xSizes)
                xValuesHeight = std::max(xValuesHeight, size.height());
            left = pad() + (yLabelRoom ? yLabelSize.height() + gap() : 0.0) +
                   (ySizes.isEmpty() ? 0.0 : yValuesWidth + yValueGap * m_mm);
            xRow = clearOfCorner(l, xSizes, ySizes);
            bottom = pad() + legendBelow + (xLabelRoom ? xLabelSize.height() + gap() : 0.0) +
                     (xSizes.isEmpty() ? 0.0 : xValuesHeight + xRow);
            top = pad() + titleRoom + (yMultiplier.isEmpty() ? 0.0 : yMultiplier.height() + gap());
            right = pad() + legendRight + (xMultiplier.isEmpty() ? 0.0 : xMultiplier.width() + gap());
            // Values centred on the ends of an axis reach beyond the plot.
            const QList<PlotTick> xLabelled = labelled(l.xTicks);
            for (qsizetype i = 0; i < xLabelled.size(); ++i) {
                const double half = xSizes.at(i).width() / 2.0;
                const double f = xLabelled.at(i).fraction;
                left = std::max(left, pad() + half - f * l.plot.width());
                right = std::max(right, pad() + legendRight + half - (1.0 - f) * l.plot.width() +
                                            (xMultiplier.isEmpty() ? 0.0 : xMultiplier.width() + gap()));
            }
            const QList<PlotTick> yLabelled = labelled(l.yTicks);
            for (qsizetype i = 0; i < yLabelled.size(); ++i) {
                const double half = ySizes.at(i).height() / 2.0;
                const double f = yLabelled.at(i).fraction;
                top = std::max(top, pad() + titleRoom + half - (1.0 - f) * l.plot.height());
                bottom = std::max(bottom, pad() + legendBelow + half - f * l.plot.height());
            }
        }
        l.plot = QRectF(left, top, std::max(1.0, width - left - right), std::max(1.0, height - top - bottom));
        placeValues(l, xSizes, ySizes, xMultiplier, yMultiplier, xRow);
        placeLabels(l, legendSize, place);
        return l;
    }

    static QList<PlotTick> labelled(const AxisTicks &ticks)
    {
        QList<PlotTick> result;
        for (const PlotTick &tick : ticks.ticks) {
            if (!tick.text.isEmpty())
                result.append(tick);
        }
        return result;
    }

    // How far below the plot the x values start: lower than usual where the
    // first of them would run into the lowest y value at the corner.
    double clearOfCorner(const PlotLayout &l, const QList<QSizeF> &xSizes, const QList<QSizeF> &ySizes) const
    {
        const double usual = xValueGap * m_mm;
        const QList<PlotTick> xLabelled = labelled(l.xTicks);
        const QList<PlotTick> yLabelled = labelled(l.yTicks);
        if (xLabelled.isEmpty() || yLabelled.isEmpty())
            return usual;
        const double xLeft =
            l.plot.left() + l.plot.width() * xLabelled.first().fraction - xSizes.first().width() / 2.0;
        const double yRight = l.plot.left() - yValueGap * m_mm;
        const double yBelow = ySizes.first().height() / 2.0 - l.plot.height() * yLabelled.first().fraction;
        if (xLeft >= yRight || yBelow <= usual)
            return usual;
        return yBelow + gap() / 2.0;
    }

    void placeValues(PlotLayout &l, const QList<QSizeF> &xSizes, const QList<QSizeF> &ySizes,
                     const QSizeF &xMultiplier, const QSizeF &yMultiplier, double xRow) const
    {
        const QRectF plot = l.plot;
        const QList<PlotTick> xLabelled = labelled(l.xTicks);
        double lastRight = plot.right();
        for (qsizetype i = 0; i < xLabelled.size(); ++i) {
            const QSizeF size = xSizes.at(i);
            const double x = plot.left() + plot.width() * xLabelled.at(i).fraction;
            const QRectF rect(QPointF(x - size.width() / 2.0, plot.bottom() + xRow), size);
            l.xValues.append({xLabelled.at(i).text, rect.topLeft(), rect});
            lastRight = std::max(lastRight, rect.right());
        }
        const QList<PlotTick> yLabelled = labelled(l.yTicks);
        for (qsizetype i = 0; i < yLabelled.size(); ++i) {
            const QSizeF size = ySizes.at(i);
            const double y = plot.bottom() - plot.height() * yLabelled.at(i).fraction;
            const QRectF rect(QPointF(plot.left() - yValueGap * m_mm - size.width(), y - size.height() / 2.0),
                              size);
            l.yValues.append({yLabelled.at(i).text, rect.topLeft(), rect});
        }
        if (!xMultiplier.isEmpty()) {
            const QRectF rect(QPointF(lastRight + gap(), plot.bottom() + xRow), xMultiplier);
            l.xMultiplier = {l.xTicks.multiplier, rect.topLeft(), rect};
        }
        if (!yMultiplier.isEmpty()) {
            const QRectF rect(QPointF(plot.left(), plot.top() - gap() - yMultiplier.height()), yMultiplier);
            l.yMultiplier = {l.yTicks.multiplier, rect.topLeft(), rect};
        }
    }

    // Centred on the plot, within the figure.
    double centred(double centre, double extent, double figureExtent) const
    {
        return std::clamp(centre - extent / 2.0, pad(), std::max(pad(), figureExtent - pad() - extent));
    }

    void placeLabels(PlotLayout &l, const QSizeF &legendSize, LegendPlace place) const
    {
        const double width = m_figure.width();
        const double height = m_figure.height();
        const double legendBelow = place == LegendPlace::Below ? legendSize.height() + gap() : 0.0;
        l.title = m_title;
        if (m_s.titleMoved)
            l.title.pos = m_s.titlePos;
        else
            l.title.pos = QPointF(centred(l.plot.center().x(), m_title.rect.width(), width), pad());
        l.title.rect.moveTopLeft(l.title.pos);

        l.xLabel = m_xLabel;
        if (m_s.xLabelMoved)
            l.xLabel.pos = m_s.xLabelPos;
        else
            l.xLabel.pos = QPointF(centred(l.plot.center().x(), m_xLabel.rect.width(), width),
                                   height - pad() - legendBelow - m_xLabel.rect.height());
        l.xLabel.rect.moveTopLeft(l.xLabel.pos);

        // Turned by -90 degrees about its position: the item's width runs up the figure.
        const QSizeF turned(m_yLabel.rect.height(), m_yLabel.rect.width());
        l.yLabel = m_yLabel;
        if (m_s.yLabelMoved)
            l.yLabel.pos = m_s.yLabelPos;
        else
            l.yLabel.pos =
                QPointF(pad(), centred(l.plot.center().y(), turned.height(), height) + turned.height());
        l.yLabel.rect = QRectF(QPointF(l.yLabel.pos.x(), l.yLabel.pos.y() - turned.height()), turned);

        if (!l.hasLegend)
            return;
        QPointF at;
        switch (place) {
        case LegendPlace::Inside:
            at = m_s.legendMoved ? m_s.legendPos
                                 : QPointF(l.plot.right() - legendInset * m_mm - legendSize.width(),
                                           l.plot.top() + legendInset * m_mm);
            break;
        case LegendPlace::Right:
            at = QPointF(
                width - pad() - legendSize.width(),
                std::clamp(l.plot.top(), pad(), std::max(pad(), height - pad() - legendSize.height())));
            break;
        case LegendPlace::Below:
            at = QPointF(centred(l.plot.center().x(), legendSize.width(), width),
                         height - pad() - legendSize.height());
            break;
        }
        l.legend.pos = at;
        l.legend.rect = QRectF(at, legendSize);
    }

    QList<QPolygonF> curvesIn(const QRectF &plot) const
    {
        QList<QPolygonF> scene;
        for (const QPolygonF &curve : m_curves) {
            QPolygonF mapped;
            for (const QPointF &p : curve)
                mapped.append(
                    QPointF(plot.left() + p.x() * plot.width(), plot.top() + p.y() * plot.height()));
            scene.append(mapped);
        }
        return scene;
    }

    // The inside place that crosses no data, in the order a reader looks
    // for a legend: corners, then middles of the sides, then the centre.
    bool placeInside(PlotLayout &l) const
    {
        const QSizeF size = l.legend.rect.size();
        const double inset = legendInset * m_mm;
        const QRectF room = l.plot.adjusted(inset, inset, -inset, -inset);
        if (size.width() > room.width() || size.height() > room.height())
            return false;
        const double left = room.left();
        const double right = room.right() - size.width();
        const double middle = room.center().x() - size.width() / 2.0;
        const double top = room.top();
        const double bottom = room.bottom() - size.height();
        const double centre = room.center().y() - size.height() / 2.0;
        const QPointF places[] = {{right, top},     {left, top},     {left, bottom},
                                  {right, bottom},  {right, centre}, {left, centre},
                                  {middle, bottom}, {middle, top},   {middle, centre}};
        const QList<QPolygonF> curves = curvesIn(l.plot);
        for (const QPointF &place : places) {
            // A little air around the box: a line grazing its frame still hides.
            const QRectF box(place, size);
            if (crossings(curves, box.adjusted(-inset / 2, -inset / 2, inset / 2, inset / 2)) == 0) {
                l.legend.pos = place;
                l.legend.rect = box;
                return true;
            }
        }
        return false;
    }

    // A name on one line if it fits that width, else on two broken at a
    // space, the second shortened with "…" if it still does not fit.
    QString wrapped(const QString &name, const QFont &font, double width)
    {
        if (m_measure.fixedText(name, font).width() <= width)
            return name;
        const QStringList words = name.split(u' ');
        QString first;
        qsizetype used = 0;
        for (; used < words.size(); ++used) {
            const QString longer = first.isEmpty() ? words.at(used) : first + u' ' + words.at(used);
            if (!first.isEmpty() && m_measure.fixedText(longer, font).width() > width)
                break;
            first = longer;
        }
        const QString rest = words.mid(used).join(u' ');
        const QString line = m_measure.elide(first, font, width);
        return rest.isEmpty() ? line : line + u'\n' + m_measure.elide(rest, font, width);
    }

    // The legend beside or below the plot, in as many columns and with the
    // names as short as it takes to fit the figure.
    PlotLayout outside(LegendPlace place)
    {
        const QFont &font = m_s.legendFont;
        const double overhead = m_measure.legend({QString()}, 1, font).width();
        const qsizetype n = m_entries.size();
        const double roomWidth =
            place == LegendPlace::Right ? legendShare * m_figure.width() : m_figure.width() - 2.0 * pad();
        const double roomHeight =
            place == LegendPlace::Right ? m_figure.height() - 2.0 * pad() : 0.4 * m_figure.height();
        QStringList names;
        int columns = 1;
        const auto fitted = [&](int c, bool wrap) {
            const double each = std::max(m_em * 3.0, roomWidth / c - overhead);
            QStringList shortened;
            for (const QString &entry : m_entries)
                shortened.append(wrap ? wrapped(entry, font, each) : m_measure.elide(entry, font, each));
            return shortened;
        };
        const auto fits = [&](const QStringList &candidate, int c) {
            const QSizeF size = m_measure.legend(candidate, c, font);
            return size.height() <= roomHeight && size.width() <= roomWidth;
        };
        // Whole names on two lines in one column where they fit; else the
        // fewest columns of names shortened to one line.
        names = fitted(1, true);
        if (fits(names, 1))
            return build(place, names, 1);
        for (columns = 1; columns <= n; ++columns) {
            names = fitted(columns, false);
            if (fits(names, columns))
                break;
        }
        columns = std::clamp(columns, 1, int(std::max<qsizetype>(1, n)));
        names = fitted(columns, false);
        return build(place, names, columns);
    }

    const GraphSettings &m_s;
    const QStringList &m_entries;
    const QList<QPolygonF> &m_curves;
    const TextMeasure &m_measure;
    const double m_mm;
    const QSize m_figure;
    QList<AxisTicks> m_xCandidates;
    QList<AxisTicks> m_yCandidates;
    double m_em = 0.0;
    bool m_hasTitle = false;
    PlacedText m_title;
    PlacedText m_xLabel;
    PlacedText m_yLabel;
    QHash<QString, QSizeF> m_fixedCache;
};

} // namespace

QList<QRectF> PlotLayout::textRects() const
{
    QList<QRectF> rects;
    for (const PlacedText &value : xValues)
        rects.append(value.rect);
    for (const PlacedText &value : yValues)
        rects.append(value.rect);
    for (const PlacedText *text : {&xMultiplier, &yMultiplier, &xLabel, &yLabel}) {
        if (!text->text.trimmed().isEmpty())
            rects.append(text->rect);
    }
    if (hasTitle)
        rects.append(title.rect);
    if (hasLegend)
        rects.append(legend.rect);
    return rects;
}

PlotLayout layoutPlot(const GraphSettings &settings, const QStringList &legendEntries,
                      const QList<QPolygonF> &curves, const TextMeasure &measure)
{
    return Layouter(settings, legendEntries, curves, measure).run();
}

int crossings(const QList<QPolygonF> &curves, const QRectF &box)
{
    int count = 0;
    for (const QPolygonF &curve : curves) {
        if (!curve.boundingRect().adjusted(-1, -1, 1, 1).intersects(box))
            continue;
        if (curve.size() == 1 && box.contains(curve.first()))
            ++count;
        for (qsizetype i = 1; i < curve.size(); ++i) {
            if (crosses(curve.at(i - 1), curve.at(i), box))
                ++count;
        }
    }
    return count;
}
