#include "graph/plotrenderer.h"

#include "core/model/curvepath.h"
#include "core/model/projectmodel.h"
#include "graph/curvedrawing.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
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

// Grid lines, tick marks and tick values of both axes, then the frame over them.
void drawAxes(QGraphicsScene &scene, const GraphSettings &s, const QRectF &plot, double opacity,
              const Units &units)
{
    const QList<PlotTick> xTicks = plotTicks(s.xMin, s.xMax, s.xLog, s.gridDivisions, s.axisDecimals);
    const QList<PlotTick> yTicks = plotTicks(s.yMin, s.yMax, s.yLog, s.gridDivisions, s.axisDecimals);
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
    for (const PlotTick &tick : xTicks) {
        const double x = plot.left() + plot.width() * tick.fraction;
        add(tick.major ? majors : minors, QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const double length = (tick.major ? majorTickMm : minorTickMm) * units.mm;
        add(marks, QPointF(x, plot.bottom()), QPointF(x, plot.bottom() - length));
        add(marks, QPointF(x, plot.top()), QPointF(x, plot.top() + length));
        if (tick.text.isEmpty())
            continue;
        auto *text = addFixedText(scene, tick.text, s.axisValueFont, Qt::black, units);
        const double width = text->boundingRect().width() * units.text;
        text->setPos(x - width / 2.0, plot.bottom() + xValueGapMm * units.mm);
        text->setOpacity(opacity);
    }
    for (const PlotTick &tick : yTicks) {
        const double y = plot.bottom() - plot.height() * tick.fraction;
        add(tick.major ? majors : minors, QPointF(plot.left(), y), QPointF(plot.right(), y));
        const double length = (tick.major ? majorTickMm : minorTickMm) * units.mm;
        add(marks, QPointF(plot.left(), y), QPointF(plot.left() + length, y));
        add(marks, QPointF(plot.right(), y), QPointF(plot.right() - length, y));
        if (tick.text.isEmpty())
            continue;
        auto *text = addFixedText(scene, tick.text, s.axisValueFont, Qt::black, units);
        const QRectF box = text->boundingRect();
        text->setPos(plot.left() - box.width() * units.text - yValueGapMm * units.mm,
                     y - box.height() * units.text / 2.0);
        text->setOpacity(opacity);
    }
    if (s.showGrid) {
        scene.addPath(minors, minorGrid)->setOpacity(opacity);
        scene.addPath(majors, majorGrid)->setOpacity(opacity);
    }
    scene.addPath(marks, tickPen)->setOpacity(opacity);
    scene.addRect(plot, linePen(Qt::black, framePenPt * units.pt), Qt::NoBrush)->setOpacity(opacity);
}

// The vertices of one sub-path that Douglas-Peucker keeps: the line through
// them strays at most `tolerance` from the one through all of them.
void simplifyInto(QPainterPath &out, const QList<QPointF> &line, double tolerance)
{
    // In blocks of a few hundred vertices, whose ends are kept: a line that
    // no tolerance can thin would otherwise cost the square of its length.
    constexpr qsizetype block = 256;
    QList<bool> kept(line.size(), false);
    QList<std::pair<qsizetype, qsizetype>> spans;
    for (qsizetype from = 0; from + 1 < line.size(); from += block) {
        const qsizetype to = std::min(from + block, line.size() - 1);
        kept[from] = kept[to] = true;
        spans.append({from, to});
    }
    while (!spans.isEmpty()) {
        const auto [from, to] = spans.takeLast();
        const QLineF chord(line.at(from), line.at(to));
        const double length = chord.length();
        double farthest = -1.0;
        qsizetype at = -1;
        for (qsizetype i = from + 1; i < to; ++i) {
            const QPointF v = line.at(i) - chord.p1();
            const double distance = length > 0.0 ? std::abs(v.x() * chord.dy() - v.y() * chord.dx()) / length
                                                 : std::hypot(v.x(), v.y());
            if (distance > farthest) {
                farthest = distance;
                at = i;
            }
        }
        if (farthest > tolerance) {
            kept[at] = true;
            spans.append({from, at});
            spans.append({at, to});
        }
    }
    out.moveTo(line.first());
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (kept.at(i))
            out.lineTo(line.at(i));
    }
}

QPainterPath simplified(const QPainterPath &path, double tolerance)
{
    QPainterPath out;
    QList<QPointF> line;
    for (int i = 0; i <= path.elementCount(); ++i) {
        if (i == path.elementCount() || path.elementAt(i).isMoveTo()) {
            if (line.size() > 1)
                simplifyInto(out, line, tolerance);
            line.clear();
        }
        if (i < path.elementCount())
            line.append(path.elementAt(i));
    }
    return out;
}

// A curve whose bounding rectangle comes from the path's points, grown by
// half the pen: the item base class would stroke the whole path to find it,
// on every rebuild, and again for every hit test. The stroked outline is made
// only when something asks for the exact shape, and then kept. Shown smaller
// than its scene size, as the window shows a whole graph, it draws the line
// without the vertices that change it by less than a quarter of a pixel there; the
// exports draw every vertex.
class CurveItem : public QGraphicsPathItem
{
public:
    CurveItem(const QPainterPath &path, const QPen &pen)
        : QGraphicsPathItem(path)
    {
        setPen(pen);
        // Round and bevel joins and round caps stay within half the width of
        // the line; a square cap reaches half the diagonal of its square.
        const double reach = pen.widthF() / 2.0 * (pen.capStyle() == Qt::SquareCap ? M_SQRT2 : 1.0);
        m_bounds = path.controlPointRect().adjusted(-reach, -reach, reach, reach);
        setAcceptedMouseButtons(Qt::NoButton);
    }
    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        const double detail =
            QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->deviceTransform());
        painter->setPen(pen());
        painter->setBrush(Qt::NoBrush);
        if (detail >= 0.9 || path().elementCount() < 64) {
            painter->drawPath(path());
            return;
        }
        if (std::abs(detail - m_coarseDetail) > 0.01 * detail) {
            m_coarse = simplified(path(), 0.25 / detail);
            m_coarseDetail = detail;
        }
        painter->drawPath(m_coarse);
    }
    QPainterPath shape() const override
    {
        if (m_shape.isEmpty() && !path().isEmpty()) {
            QPainterPathStroker stroker(pen());
            m_shape = stroker.createStroke(path());
        }
        return m_shape;
    }

private:
    QRectF m_bounds;
    mutable QPainterPath m_shape;
    QPainterPath m_coarse; // the line as last shown at m_coarseDetail
    double m_coarseDetail = 0.0;
};

// The curves' paths, to keep the legend off them.
QList<QPainterPath> drawCurves(QGraphicsScene &scene, const ProjectModel &model, const GraphSettings &s,
                               const QRectF &plot, double opacity, const Units &units)
{
    QList<QPainterPath> paths;
    for (const Curve &curve : model.curves()) {
        if (!curve.visible || curve.points.size() < 2)
            continue;
        // Curve widths are points, like every other size of the graph. A
        // smoothed curve turns a little at each of its many vertices, where a
        // bevel looks as round as a round join and costs far less to draw;
        // straight lines keep round corners at their points.
        const Qt::PenJoinStyle join =
            s.curveSmoothing == CurveSmoothing::StraightLines ? Qt::RoundJoin : Qt::BevelJoin;
        const QPen pen(QBrush(curve.color), curve.lineWidth * units.pt, Qt::SolidLine, Qt::RoundCap, join);
        paths.append(buildCurvePath(sortedRealPoints(curve), s, plot));
        auto *item = new CurveItem(paths.last(), pen);
        scene.addItem(item);
        item->setOpacity(opacity);
        item->setZValue(curveZ);
    }
    return paths;
}

void drawTexts(QGraphicsScene &scene, const GraphSettings &s, double opacity, const Units &units)
{
    using namespace graphitems;
    if (s.showTitle && !s.title.trimmed().isEmpty())
        addMovableText(scene, s.title, s.titleFont, titleRole, s.titlePos, 0.0, opacity, units);
    addMovableText(scene, s.xLabel, s.xLabelFont, xLabelRole, s.xLabelPos, 0.0, opacity, units);
    addMovableText(scene, s.yLabel, s.yLabelFont, yLabelRole, s.yLabelPos, -90.0, opacity, units);
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

QString legendEntry(const Curve &curve)
{
    if (curve.parameterValue.trimmed().isEmpty())
        return curve.name;
    if (curve.parameterName.trimmed().isEmpty())
        return curve.parameterValue;
    return curve.parameterName + QStringLiteral(" = ") + curve.parameterValue;
}

// One line per drawn curve: a stroke in its colour and its name, or its
// parameter for a family of curves, on white in a thin frame; placed, the
// first time it is drawn, where it covers the fewest curves.
void drawLegend(QGraphicsScene &scene, const ProjectModel &model, GraphSettings &s, const QSize &size,
                const QList<QPainterPath> &curves, double opacity, const Units &units)
{
    if (!s.showLegend)
        return;
    QString html;
    for (const Curve &curve : model.curves()) {
        if (!curve.visible || curve.points.size() < 2)
            continue;
        if (!html.isEmpty())
            html += QStringLiteral("<br/>");
        html += QStringLiteral("<span style=\"color:%1\">&#x2501;&#x2501;</span>&nbsp;%2")
                    .arg(curve.color.name(QColor::HexRgb), legendEntry(curve).toHtmlEscaped());
    }
    if (html.isEmpty())
        return;
    auto *item = addMovableText(scene, QString(), s.legendFont, graphitems::legendRole, s.legendPos, 0.0,
                                opacity, units);
    item->setHtml(html);
    QTextFrameFormat frame = item->document()->rootFrame()->frameFormat();
    frame.setBackground(Qt::white);
    frame.setBorder(0.5);
    frame.setBorderBrush(QColor(120, 120, 120));
    frame.setPadding(4.0);
    item->document()->rootFrame()->setFrameFormat(frame);
    item->setZValue(legendZ);
    ensureLegendLayout(s, size, item->boundingRect().size() * units.text, curves);
    item->setPos(s.legendPos);
}

} // namespace

void readBackTextItems(const QGraphicsScene &scene, GraphSettings &settings)
{
    using namespace graphitems;
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items) {
        const auto *text = qgraphicsitem_cast<const QGraphicsTextItem *>(item);
        if (!text)
            continue;
        const QString role = text->data(roleKey).toString();
        if (role == titleRole) {
            settings.titlePos = text->pos();
            settings.titleFont = text->font();
        } else if (role == xLabelRole) {
            settings.xLabelPos = text->pos();
            settings.xLabelFont = text->font();
        } else if (role == yLabelRole) {
            settings.yLabelPos = text->pos();
            settings.yLabelFont = text->font();
        } else if (role == legendRole) {
            settings.legendPos = text->pos();
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

void drawGraph(QGraphicsScene &scene, const ProjectModel &model, GraphSettings &settings)
{
    scene.clear();
    const QSize size = outputPixelSize(settings);
    scene.setSceneRect(0, 0, size.width(), size.height());
    scene.addRect(scene.sceneRect(), Qt::NoPen, Qt::white)->setZValue(backgroundZ);
    const Units units(settings.dpi);

    const QRectF plot = plotRectangle(size, settings.dpi);
    const QSizeF smallest = minimumGraphSizeCm();
    const QString problem = !axesValid(settings)
                                ? i18n::tr("Invalid axes. For logarithmic scale, minimum values must be > 0.")
                            : settings.widthCm < smallest.width() || settings.heightCm < smallest.height()
                                ? i18n::tr("The graph is too small to draw: make it at least %1 x %2 cm.")
                                      .arg(smallest.width())
                                      .arg(smallest.height())
                                : QString();
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
    drawBlueprint(scene, model, settings, plot);
    drawAxes(scene, settings, plot, opacity, units);
    const QList<QPainterPath> curves = drawCurves(scene, model, settings, plot, opacity, units);
    ensureTextLayout(settings, size);
    drawTexts(scene, settings, opacity, units);
    drawLegend(scene, model, settings, size, curves, opacity, units);
}
