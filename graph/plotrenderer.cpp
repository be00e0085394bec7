#include "graph/plotrenderer.h"

#include "core/model/curvepath.h"
#include "core/model/projectmodel.h"
#include "graph/curvedrawing.h"
#include "graph/curveitem.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotlayout.h"
#include "graph/plotticks.h"
#include "i18n/localization.h"

#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPen>
#include <QStyleOptionGraphicsItem>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <cmath>

namespace {

constexpr double backgroundZ = -30.0;
constexpr double blueprintZ = -20.0;
constexpr double curveZ = 10.0;
constexpr double legendZ = 20.0;

// Sizes of the drawing, in points and millimetres.
constexpr double gridPenPt = 0.5;
constexpr double minorGridPenPt = 0.35;
constexpr double framePenPt = 1.0;
constexpr double tickPenPt = 0.75;
constexpr double majorTickMm = 1.6;
constexpr double minorTickMm = 0.9;
constexpr double xValueGapMm = 1.5;
constexpr double yValueGapMm = 2.0;

// How the scene's units relate to points, millimetres and the text layout.
struct Units
{
    explicit Units(int dpi)
        : pt(sceneUnitsPerPoint(dpi))
        , mm(sceneUnitsPerMm(dpi))
        , text(double(dpi) / textLayoutDpi())
    {}
    double pt;
    double mm;
    double text; // scale of text items, whose fonts are laid out at the screen's resolution
};

QPen linePen(const QColor &color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QGraphicsSimpleTextItem *addFixedText(QGraphicsScene &scene, const QString &text, const QFont &font,
                                      const QColor &color, const Units &units)
{
    auto *item = scene.addSimpleText(text, font);
    item->setBrush(color);
    item->setScale(units.text);
    return item;
}

QGraphicsTextItem *addMovableText(QGraphicsScene &scene, const QString &text, const QFont &font,
                                  const QString &role, const QPointF &pos, double rotation, double opacity,
                                  const Units &units)
{
    auto *item = scene.addText(text, font);
    item->setDefaultTextColor(Qt::black);
    item->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    item->setData(graphitems::roleKey, role);
    item->setScale(units.text);
    item->setRotation(rotation);
    item->setPos(pos);
    item->setOpacity(opacity);
    return item;
}

void drawBlueprint(QGraphicsScene &scene, const ProjectModel &model, const GraphSettings &s,
                   const QRectF &plot)
{
    const QImage &picture = model.sourceImage();
    if (!s.showBlueprint || picture.isNull() || !model.calibration().isComplete())
        return;
    QPolygonF quad;
    QTransform transform;
    if (!blueprintQuad(model.calibration(), s, &quad) ||
        !blueprintTransform(model.calibration(), s, plot, &transform))
        return;
    QPoint offset;
    const QImage part = blueprintPart(picture, quad, &offset);
    if (part.isNull())
        return;
    auto *item = scene.addPixmap(QPixmap::fromImage(part));
    item->setOffset(offset);
    item->setTransformationMode(Qt::SmoothTransformation);
    item->setTransform(transform);
    item->setOpacity(s.blueprintOpacity / 100.0);
    item->setZValue(blueprintZ);
}

// Grid lines, tick marks and tick values of both axes where the layout put
// them, then the frame over them.
void drawAxes(QGraphicsScene &scene, const GraphSettings &s, const PlotLayout &layout, double opacity,
              const Units &units)
{
    const QRectF plot = layout.plot;
    const QPen majorGrid = linePen(QColor(220, 220, 220), gridPenPt * units.pt);
    const QPen minorGrid = linePen(QColor(236, 236, 236), minorGridPenPt * units.pt);
    const QPen tickPen = linePen(Qt::black, tickPenPt * units.pt);
    // All grid lines in one path per pen: a few items draw faster than hundreds.
    QPainterPath majors;
    QPainterPath minors;
    QPainterPath marks;
    const auto add = [](QPainterPath &path, const QPointF &from, const QPointF &to) {
        path.moveTo(from);
        path.lineTo(to);
    };
    for (const PlotTick &tick : layout.xTicks.ticks) {
        const double x = plot.left() + plot.width() * tick.fraction;
        add(tick.major ? majors : minors, QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const double length = (tick.major ? majorTickMm : minorTickMm) * units.mm;
        add(marks, QPointF(x, plot.bottom()), QPointF(x, plot.bottom() - length));
        add(marks, QPointF(x, plot.top()), QPointF(x, plot.top() + length));
    }
    for (const PlotTick &tick : layout.yTicks.ticks) {
        const double y = plot.bottom() - plot.height() * tick.fraction;
        add(tick.major ? majors : minors, QPointF(plot.left(), y), QPointF(plot.right(), y));
        const double length = (tick.major ? majorTickMm : minorTickMm) * units.mm;
        add(marks, QPointF(plot.left(), y), QPointF(plot.left() + length, y));
        add(marks, QPointF(plot.right(), y), QPointF(plot.right() - length, y));
    }
    QList<PlacedText> values = layout.xValues + layout.yValues;
    for (const PlacedText *multiplier : {&layout.xMultiplier, &layout.yMultiplier}) {
        if (!multiplier->text.isEmpty())
            values.append(*multiplier);
    }
    for (const PlacedText &value : values) {
        auto *text = addFixedText(scene, value.text, s.axisValueFont, Qt::black, units);
        text->setPos(value.pos);
        text->setOpacity(opacity);
    }
    if (s.showGrid) {
        scene.addPath(minors, minorGrid)->setOpacity(opacity);
        scene.addPath(majors, majorGrid)->setOpacity(opacity);
    }
    scene.addPath(marks, tickPen)->setOpacity(opacity);
    scene.addRect(plot, linePen(Qt::black, framePenPt * units.pt), Qt::NoBrush)->setOpacity(opacity);
}

// A drawn curve: its model curve and its line in the figure's own rectangle,
// to be moved into the plot once the layout knows where that is.
struct CurveLine
{
    const Curve *curve;
    QPainterPath path;
};

QList<CurveLine> curveLines(const ProjectModel &model, const GraphSettings &s, const QRectF &figure)
{
    QList<CurveLine> lines;
    for (const Curve &curve : model.curves()) {
        if (curve.visible && curve.points.size() >= 2)
            lines.append({&curve, buildCurvePath(sortedRealPoints(curve), s, figure)});
    }
    return lines;
}

// The lines in fractions of the plot, for the layout to keep the legend off them.
QList<QPolygonF> inFractions(const QList<CurveLine> &lines, const QRectF &figure)
{
    QList<QPolygonF> fractions;
    const QTransform toFraction = QTransform::fromScale(1.0 / figure.width(), 1.0 / figure.height());
    for (const CurveLine &line : lines) {
        const QList<QPolygonF> pieces = line.path.toSubpathPolygons(toFraction);
        fractions.append(pieces);
    }
    return fractions;
}

void drawCurves(QGraphicsScene &scene, const QList<CurveLine> &lines, const GraphSettings &s,
                const QRectF &figure, const QRectF &plot, double opacity, const Units &units)
{
    // The axes map linearly onto any rectangle, so the line drawn for the
    // figure's rectangle only moves and stretches into the plot's.
    const QTransform intoPlot(plot.width() / figure.width(), 0.0, 0.0, plot.height() / figure.height(),
                              plot.left(), plot.top());
    for (const CurveLine &line : lines) {
        // Curve widths are points, like every other size of the graph. A
        // smoothed curve turns a little at each of its many vertices, where a
        // bevel looks as round as a round join and costs far less to draw;
        // straight lines keep round corners at their points.
        const Qt::PenJoinStyle join =
            s.curveSmoothing == CurveSmoothing::StraightLines ? Qt::RoundJoin : Qt::BevelJoin;
        const QPen pen(QBrush(line.curve->color), line.curve->lineWidth * units.pt, Qt::SolidLine,
                       Qt::RoundCap, join);
        auto *item = new CurveItem(intoPlot.map(line.path), pen);
        scene.addItem(item);
        item->setOpacity(opacity);
        item->setZValue(curveZ);
    }
}

// A text that the layout placed: it remembers where, so that the read-back
// can tell whether the user dragged it since.
void placeByLayout(QGraphicsTextItem *item, const PlacedText &placed, bool moved)
{
    item->setPos(placed.pos);
    if (!moved)
        item->setData(graphitems::layoutPosKey, placed.pos);
}

void drawTexts(QGraphicsScene &scene, const GraphSettings &s, const PlotLayout &layout, double opacity,
               const Units &units)
{
    using namespace graphitems;
    if (layout.hasTitle) {
        auto *title =
            addMovableText(scene, layout.title.text, s.titleFont, titleRole, QPointF(), 0.0, opacity, units);
        placeByLayout(title, layout.title, s.titleMoved);
    }
    auto *x =
        addMovableText(scene, layout.xLabel.text, s.xLabelFont, xLabelRole, QPointF(), 0.0, opacity, units);
    placeByLayout(x, layout.xLabel, s.xLabelMoved);
    auto *y =
        addMovableText(scene, layout.yLabel.text, s.yLabelFont, yLabelRole, QPointF(), -90.0, opacity, units);
    placeByLayout(y, layout.yLabel, s.yLabelMoved);
    for (qsizetype index = 0; index < s.labels.size(); ++index) {
        const GraphLabel &label = s.labels.at(index);
        if (!label.visible)
            continue;
        auto *item = addMovableText(scene, label.text, label.font, labelRole, label.pos, label.rotation,
                                    opacity, units);
        item->setData(labelIndexKey, int(index));
        item->setDefaultTextColor(label.color);
        // The characters carry the colour too, so that it survives any
        // exporter that reads the text format rather than the item.
        QTextCursor cursor(item->document());
        cursor.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setForeground(label.color);
        cursor.mergeCharFormat(format);
    }
}

// The legend's text: a stroke in each curve's colour and its entry, down
// the columns, on white in a thin frame.
void setLegendContents(QGraphicsTextItem &item, const QStringList &entries, const QList<QColor> &colors,
                       int columns)
{
    const qsizetype rows = (entries.size() + columns - 1) / std::max(1, columns);
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
    for (qsizetype row = 0; row < rows; ++row) {
        html += QStringLiteral("<tr>");
        for (qsizetype column = 0; column < columns; ++column) {
            const qsizetype index = column * rows + row;
            if (index >= entries.size())
                break;
            const QString color =
                index < colors.size() ? colors.at(index).name(QColor::HexRgb) : QStringLiteral("#000000");
            html += QStringLiteral("<td><span style=\"color:%1\">&#x2501;&#x2501;</span>&nbsp;%2%3</td>")
                        .arg(color, entries.at(index).toHtmlEscaped().replace(u'\n', QStringLiteral("<br/>")),
                             column + 1 < columns ? QStringLiteral("&nbsp;&nbsp;&nbsp;") : QString());
        }
        html += QStringLiteral("</tr>");
    }
    item.setHtml(html + QStringLiteral("</table>"));
    QTextFrameFormat frame = item.document()->rootFrame()->frameFormat();
    frame.setBackground(Qt::white);
    frame.setBorder(0.5);
    frame.setBorderBrush(QColor(120, 120, 120));
    frame.setPadding(2.0);
    item.document()->rootFrame()->setFrameFormat(frame);
}

void drawLegend(QGraphicsScene &scene, const QList<CurveLine> &lines, const GraphSettings &s,
                const PlotLayout &layout, double opacity, const Units &units)
{
    if (!layout.hasLegend)
        return;
    QList<QColor> colors;
    for (const CurveLine &line : lines)
        colors.append(line.curve->color);
    auto *item = addMovableText(scene, QString(), s.legendFont, graphitems::legendRole, QPointF(), 0.0,
                                opacity, units);
    setLegendContents(*item, layout.legendEntries, colors, layout.legendColumns);
    item->setZValue(legendZ);
    placeByLayout(item, layout.legend, s.legendMoved);
}

// Item sizes in scene units, measured on the very items the graph draws.
TextMeasure itemMeasure(const Units &units)
{
    TextMeasure measure;
    const double scale = units.text;
    measure.fixedText = [scale](const QString &text, const QFont &font) {
        QGraphicsSimpleTextItem item(text);
        item.setFont(font);
        return item.boundingRect().size() * scale;
    };
    measure.movableText = [scale](const QString &text, const QFont &font) {
        QGraphicsTextItem item(text);
        item.setFont(font);
        return item.boundingRect().size() * scale;
    };
    measure.legend = [scale](const QStringList &entries, int columns, const QFont &font) {
        QGraphicsTextItem item;
        item.setFont(font);
        setLegendContents(item, entries, {}, columns);
        return item.boundingRect().size() * scale;
    };
    measure.elide = [scale](const QString &text, const QFont &font, double width) {
        // The middle goes: names of a family tend to differ at their ends.
        return QFontMetricsF(font).elidedText(text, Qt::ElideMiddle, width / scale);
    };
    return measure;
}

// The layout of the graph, and the curves' lines in the figure's rectangle
// that it was computed from.
PlotLayout layoutWithLines(const ProjectModel &model, const GraphSettings &settings, QList<CurveLine> *lines)
{
    const QRectF figure(QPointF(0, 0), QSizeF(outputPixelSize(settings)));
    *lines = curveLines(model, settings, figure);
    QStringList entries;
    for (const CurveLine &line : *lines)
        entries.append(curveLegendEntry(*line.curve));
    return layoutPlot(settings, entries, inFractions(*lines, figure), itemMeasure(Units(settings.dpi)));
}

} // namespace

void readBackTextItems(const QGraphicsScene &scene, GraphSettings &settings)
{
    using namespace graphitems;
    // A text still where the layout put it is the layout's; one elsewhere
    // was dragged, and keeps that place from now on.
    const auto takePlace = [](const QGraphicsTextItem *text, QPointF &pos, bool &moved) {
        const QVariant placed = text->data(layoutPosKey);
        const QPointF at = text->pos();
        if (!placed.isValid() || QLineF(placed.toPointF(), at).length() > 0.5)
            moved = true;
        pos = at;
    };
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items) {
        const auto *text = qgraphicsitem_cast<const QGraphicsTextItem *>(item);
        if (!text)
            continue;
        const QString role = text->data(roleKey).toString();
        if (role == titleRole) {
            takePlace(text, settings.titlePos, settings.titleMoved);
            settings.titleFont = text->font();
        } else if (role == xLabelRole) {
            takePlace(text, settings.xLabelPos, settings.xLabelMoved);
            settings.xLabelFont = text->font();
        } else if (role == yLabelRole) {
            takePlace(text, settings.yLabelPos, settings.yLabelMoved);
            settings.yLabelFont = text->font();
        } else if (role == legendRole) {
            takePlace(text, settings.legendPos, settings.legendMoved);
            settings.legendFont = text->font();
        } else if (role == labelRole) {
            bool ok = false;
            const int index = text->data(labelIndexKey).toInt(&ok);
            if (!ok || index < 0 || index >= settings.labels.size())
                continue;
            GraphLabel &label = settings.labels[index];
            label.pos = text->pos();
            label.font = text->font();
            label.color = text->defaultTextColor();
            label.rotation = int(std::lround(text->rotation()));
        }
    }
}

PlotLayout graphLayout(const ProjectModel &model, const GraphSettings &settings)
{
    QList<CurveLine> lines;
    return layoutWithLines(model, settings, &lines);
}

void drawGraph(QGraphicsScene &scene, const ProjectModel &model, GraphSettings &settings)
{
    scene.clear();
    const QSize size = outputPixelSize(settings);
    const QRectF figure(QPointF(0, 0), QSizeF(size));
    scene.setSceneRect(figure);
    scene.addRect(figure, Qt::NoPen, Qt::white)->setZValue(backgroundZ);
    const Units units(settings.dpi);

    const QSizeF smallest = minimumGraphSizeCm();
    const QString problem = !axesValid(settings)
                                ? i18n::tr("Invalid axes. For logarithmic scale, minimum values must be > 0.")
                            : settings.widthCm < smallest.width() || settings.heightCm < smallest.height()
                                ? i18n::tr("The graph is too small to draw: make it at least %1 x %2 cm.")
                                      .arg(smallest.width())
                                      .arg(smallest.height())
                                : axisProblem(settings);
    if (!problem.isEmpty()) {
        auto *message = addFixedText(scene, problem, settings.textFont, Qt::red, units);
        // Centred, and shrunk to fit a graph narrower than the text.
        const QRectF box = message->boundingRect();
        const double scale =
            std::min(units.text, 0.9 * std::min(size.width() / box.width(), size.height() / box.height()));
        message->setScale(scale);
        message->setPos((size.width() - box.width() * scale) / 2.0,
                        (size.height() - box.height() * scale) / 2.0);
        return;
    }

    const double opacity = settings.regeneratedOpacity / 100.0;
    QList<CurveLine> lines;
    const PlotLayout layout = layoutWithLines(model, settings, &lines);
    drawBlueprint(scene, model, settings, layout.plot);
    drawAxes(scene, settings, layout, opacity, units);
    drawCurves(scene, lines, settings, figure, layout.plot, opacity, units);
    drawTexts(scene, settings, layout, opacity, units);
    drawLegend(scene, lines, settings, layout, opacity, units);
    // The record shows what was drawn: the layout's places for the texts
    // that follow it.
    settings.textLayoutInitialized = true;
    settings.titlePos = layout.title.pos;
    settings.xLabelPos = layout.xLabel.pos;
    settings.yLabelPos = layout.yLabel.pos;
    if (layout.hasLegend) {
        settings.legendPlaced = true;
        settings.legendPos = layout.legend.pos;
    }
}
