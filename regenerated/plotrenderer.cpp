#include "regenerated/plotrenderer.h"

#include "i18n/localization.h"
#include "model/projectmodel.h"
#include "regenerated/curvepath.h"
#include "regenerated/graphsettings.h"
#include "regenerated/plotgeometry.h"

#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPen>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace {

constexpr double backgroundZ = -30.0;
constexpr double blueprintZ = -20.0;
constexpr double curveZ = 10.0;

QPen linePen(const QColor &color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QGraphicsSimpleTextItem *addFixedText(QGraphicsScene &scene, const QString &text, const QFont &font,
                                      const QColor &color)
{
    auto *item = scene.addSimpleText(text, font);
    item->setBrush(color);
    return item;
}

QGraphicsTextItem *addMovableText(QGraphicsScene &scene, const QString &text, const QFont &font,
                                  const QString &role, const QPointF &pos, double rotation, double opacity)
{
    auto *item = scene.addText(text, font);
    item->setDefaultTextColor(Qt::black);
    item->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable);
    item->setData(graphitems::roleKey, role);
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

void drawGridAndFrame(QGraphicsScene &scene, const GraphSettings &s, const QRectF &plot, double opacity)
{
    const int divisions = std::max(1, s.gridDivisions);
    if (s.showGrid) {
        const QPen pen = linePen(QColor(220, 220, 220), 1.0);
        for (int i = 0; i <= divisions; ++i) {
            const double x = plot.left() + plot.width() * i / divisions;
            const double y = plot.bottom() - plot.height() * i / divisions;
            scene.addLine(QLineF(x, plot.top(), x, plot.bottom()), pen)->setOpacity(opacity);
            scene.addLine(QLineF(plot.left(), y, plot.right(), y), pen)->setOpacity(opacity);
        }
    }
    scene.addRect(plot, linePen(Qt::black, 2.0), Qt::NoBrush)->setOpacity(opacity);
}

void drawTickValues(QGraphicsScene &scene, const GraphSettings &s, const QRectF &plot, double opacity)
{
    // One value per grid line, spaced evenly between the limits: no rounding
    // to round-looking steps.
    const int divisions = std::max(1, s.gridDivisions);
    for (int i = 0; i <= divisions; ++i) {
        const double f = double(i) / divisions;
        auto *x = addFixedText(scene, tickText(tickValue(s.xMin, s.xMax, s.xLog, f), s.axisDecimals),
                               s.axisValueFont, Qt::black);
        const QRectF xBox = x->boundingRect();
        x->setPos(plot.left() + plot.width() * f - xBox.width() / 2.0, plot.bottom() + 8.0);
        x->setOpacity(opacity);
        auto *y = addFixedText(scene, tickText(tickValue(s.yMin, s.yMax, s.yLog, f), s.axisDecimals),
                               s.axisValueFont, Qt::black);
        const QRectF yBox = y->boundingRect();
        y->setPos(plot.left() - yBox.width() - 12.0, plot.bottom() - plot.height() * f - yBox.height() / 2.0);
        y->setOpacity(opacity);
    }
}

void drawCurves(QGraphicsScene &scene, const ProjectModel &model, const GraphSettings &s, const QRectF &plot,
                double opacity)
{
    for (const Curve &curve : model.curves()) {
        if (!curve.visible || curve.points.size() < 2)
            continue;
        const QPen pen(QBrush(curve.color), curve.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        auto *item = scene.addPath(buildCurvePath(sortedRealPoints(curve), s, plot), pen, Qt::NoBrush);
        item->setOpacity(opacity);
        item->setZValue(curveZ);
    }
}

void drawTexts(QGraphicsScene &scene, const GraphSettings &s, double opacity)
{
    using namespace graphitems;
    if (s.showTitle && !s.title.trimmed().isEmpty())
        addMovableText(scene, s.title, s.titleFont, titleRole, s.titlePos, 0.0, opacity);
    addMovableText(scene, s.xLabel, s.xLabelFont, xLabelRole, s.xLabelPos, 0.0, opacity);
    addMovableText(scene, s.yLabel, s.yLabelFont, yLabelRole, s.yLabelPos, -90.0, opacity);
    for (qsizetype index = 0; index < s.labels.size(); ++index) {
        const GraphLabel &label = s.labels.at(index);
        if (!label.visible)
            continue;
        auto *item =
            addMovableText(scene, label.text, label.font, labelRole, label.pos, label.rotation, opacity);
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

    if (!axesValid(settings)) {
        auto *message =
            addFixedText(scene, i18n::tr("Invalid axes. For logarithmic scale, minimum values must be > 0."),
                         settings.textFont, Qt::red);
        message->setPos(size.width() / 2.0 - 260.0, size.height() / 2.0 - 20.0);
        return;
    }

    const QRectF plot = plotRectangle(size);
    const double opacity = settings.regeneratedOpacity / 100.0;
    drawBlueprint(scene, model, settings, plot);
    drawGridAndFrame(scene, settings, plot, opacity);
    drawTickValues(scene, settings, plot, opacity);
    drawCurves(scene, model, settings, plot, opacity);
    ensureTextLayout(settings, size);
    drawTexts(scene, settings, opacity);
}
