#include "digitizing/digitizingscene.h"

#include "core/model/calibrationgrid.h"
#include "core/model/projectmodel.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsSimpleTextItem>
#include <QPainterPath>

const QColor xAxisColor(QStringLiteral("#1976d2"));
const QColor yAxisColor(QStringLiteral("#2e7d32"));

namespace {

const QColor selectionOutline(QStringLiteral("#ffeb3b"));
const QPointF labelOffset(8, -18);

// A curve's spline is drawn in pieces of this many segments, so that a click
// or a drag repaints the neighbourhood of the change, not the whole curve.
constexpr int segmentsPerPiece = 32;

int pieceCount(qsizetype points)
{
    return points < 2 ? 0 : int((points - 2) / segmentsPerPiece) + 1;
}

// The points that shape piece `piece`: its own and, for the tangents, one on
// either side. Equal inputs draw an equal piece.
QList<QPointF> pieceInputs(const QList<QPointF> &points, int piece)
{
    const qsizetype first = qMax<qsizetype>(piece * segmentsPerPiece - 1, 0);
    const qsizetype last = qMin<qsizetype>((piece + 1) * segmentsPerPiece + 1, points.size() - 1);
    return points.mid(first, last - first + 1);
}

// One piece of the uniform Catmull-Rom spline through the points, end points
// repeated, as one cubic Bézier per segment; two points make a straight line.
QPainterPath curvePiece(const QList<QPointF> &points, int piece)
{
    const int n = int(points.size());
    const int first = piece * segmentsPerPiece;
    const int end = qMin(first + segmentsPerPiece, n - 1);
    QPainterPath path(points[first]);
    if (n == 2) {
        path.lineTo(points[1]);
        return path;
    }
    for (int i = first; i < end; ++i) {
        const QPointF &p0 = points[qMax(i - 1, 0)];
        const QPointF &p1 = points[i];
        const QPointF &p2 = points[i + 1];
        const QPointF &p3 = points[qMin(i + 2, n - 1)];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    return path;
}

QString curveLabel(const Curve &curve)
{
    if (curve.parameterValue.isEmpty())
        return curve.name;
    return QStringLiteral("%1 %2").arg(curve.parameterName, curve.parameterValue).trimmed();
}

} // namespace

QPen cosmeticPen(const QColor &color, double width, Qt::PenStyle style)
{
    QPen pen(color, width, style, Qt::RoundCap);
    pen.setCosmetic(true);
    return pen;
}

DigitizingScene::DigitizingScene(const ProjectModel *model, QObject *parent)
    : QGraphicsScene(parent)
    , m_model(model)
{}

void DigitizingScene::rebuild()
{
    clear();
    m_curves.clear();
    const uint layers = m_model->visibleLayers();
    const QImage &image = m_model->sourceImage();
    if (image.isNull()) {
        m_sourcePixmap = QPixmap();
        m_sourceCacheKey = 0;
    } else if (image.cacheKey() != m_sourceCacheKey) {
        m_sourcePixmap = QPixmap::fromImage(image);
        m_sourceCacheKey = image.cacheKey();
    }
    if ((layers & ProjectModel::SourceLayer) && !m_sourcePixmap.isNull())
        addPixmap(m_sourcePixmap);
    if ((layers & ProjectModel::GridLayer) && !image.isNull())
        addCalibrationGrid(QRectF(image.rect()));

    if (layers & ProjectModel::AxesLayer) {
        const Calibration &calibration = m_model->calibration();
        if (calibration.axisXValid)
            addLine(calibration.axisXLine, cosmeticPen(xAxisColor, 5));
        if (calibration.axisYValid)
            addLine(calibration.axisYLine, cosmeticPen(yAxisColor, 5));
        addAxisMarks(true);
        addAxisMarks(false);
    }

    m_highlightedCurve = m_model->selectedPointCurveName();
    m_highlightedIndex = m_model->selectedPointIndex();
    if (layers & ProjectModel::PointsLayer) {
        m_curves.resize(m_model->curves().size());
        for (int c = 0; c < m_curves.size(); ++c)
            addCurveItems(c);
    }
    if (!image.isNull())
        setSceneRect(0, 0, image.width(), image.height());
}

// The marks an axis was fitted through, as crosses: red for one more than a
// pixel from the fit. Two-mark axes show their line alone, as always.
void DigitizingScene::addAxisMarks(bool xAxis)
{
    const Calibration &calibration = m_model->calibration();
    const QList<CalibrationMark> &marks = xAxis ? calibration.xMarks : calibration.yMarks;
    const AxisFit fit = fitAxis(marks, xAxis ? calibration.xLogScale : calibration.yLogScale);
    if (!fit.ok)
        return;
    QPainterPath good;
    QPainterPath suspect;
    for (int i = 0; i < marks.size(); ++i) {
        QPainterPath &path = fit.residuals[i] > 1.0 ? suspect : good;
        const QPointF p = marks[i].pixel;
        path.moveTo(p + QPointF(-4, -4));
        path.lineTo(p + QPointF(4, 4));
        path.moveTo(p + QPointF(-4, 4));
        path.lineTo(p + QPointF(4, -4));
    }
    addPath(good, cosmeticPen(Qt::white, 1.5))->setZValue(1);
    addPath(suspect, cosmeticPen(QColor(QStringLiteral("#d50000")), 2))->setZValue(1);
}

// Thin and see-through, so the chart's own grid shows whether they agree.
void DigitizingScene::addCalibrationGrid(const QRectF &picture)
{
    QPainterPath majors;
    QPainterPath minors;
    for (const GridLine &grid : calibrationGridLines(m_model->calibration(), picture)) {
        QPainterPath &path = grid.major ? majors : minors;
        path.moveTo(grid.line.p1());
        path.lineTo(grid.line.p2());
    }
    addPath(majors, cosmeticPen(QColor(230, 0, 150, 170), 1));
    addPath(minors, cosmeticPen(QColor(230, 0, 150, 90), 1));
}

void DigitizingScene::addCurveItems(int index)
{
    const Curve &curve = m_model->curves()[index];
    CurveItems &items = m_curves[index];
    items.shown = curve.visible;
    items.color = curve.color;
    items.label = curveLabel(curve);
    if (!curve.visible)
        return;
    items.pixels = curvePixels(curve);
    for (int k = 0; k < pieceCount(items.pixels.size()); ++k)
        items.pieces.append(addPath(curvePiece(items.pixels, k), cosmeticPen(curve.color, 2), Qt::NoBrush));
    for (int p = 0; p < items.pixels.size(); ++p) {
        auto *circle = new QGraphicsEllipseItem;
        stylePoint(circle, items.pixels[p], curve.color, isSelected(curve.name, p));
        addItem(circle);
        items.circles.append(circle);
    }
    if (!items.pixels.isEmpty()) {
        items.labelItem = addSimpleText(items.label);
        items.labelItem->setBrush(curve.color);
        items.labelItem->setFlag(QGraphicsItem::ItemIgnoresTransformations);
        items.labelItem->setPos(items.pixels.last() + labelOffset);
    }
}

bool DigitizingScene::needsRebuild() const
{
    const QList<Curve> &curves = m_model->curves();
    if (!(m_model->visibleLayers() & ProjectModel::PointsLayer))
        return false; // no curve items to keep up to date
    if (curves.size() != m_curves.size())
        return true;
    for (int c = 0; c < curves.size(); ++c) {
        const Curve &curve = curves[c];
        const CurveItems &items = m_curves[c];
        if (curve.visible != items.shown)
            return true;
        if (!curve.visible)
            continue;
        // A curve gaining its first point or losing its last one changes the stacking.
        if (curve.color != items.color || curveLabel(curve) != items.label ||
            curve.points.isEmpty() != items.pixels.isEmpty())
            return true;
    }
    return false;
}

bool DigitizingScene::refreshCurves()
{
    if (needsRebuild()) {
        rebuild();
        return true;
    }
    for (int c = 0; c < m_curves.size(); ++c) {
        if (m_curves[c].shown)
            updateCurveItems(c);
    }
    refreshSelection();
    return false;
}

void DigitizingScene::updateCurveItems(int index)
{
    const Curve &curve = m_model->curves()[index];
    CurveItems &items = m_curves[index];
    const QList<QPointF> pixels = curvePixels(curve);
    if (pixels == items.pixels)
        return;

    const qsizetype kept = qMin(pixels.size(), items.pixels.size());
    for (qsizetype p = 0; p < kept; ++p) {
        if (pixels[p] != items.pixels[p])
            stylePoint(items.circles[p], pixels[p], curve.color, isSelected(curve.name, int(p)));
    }
    while (items.circles.size() > pixels.size())
        delete items.circles.takeLast();
    for (qsizetype p = items.circles.size(); p < pixels.size(); ++p) {
        auto *circle = new QGraphicsEllipseItem;
        stylePoint(circle, pixels[p], curve.color, isSelected(curve.name, int(p)));
        addItem(circle);
        circle->stackBefore(items.labelItem);
        items.circles.append(circle);
    }

    const int pieces = pieceCount(pixels.size());
    for (int k = 0; k < qMin(pieces, int(items.pieces.size())); ++k) {
        if (pieceInputs(pixels, k) != pieceInputs(items.pixels, k))
            items.pieces[k]->setPath(curvePiece(pixels, k));
    }
    while (items.pieces.size() > pieces)
        delete items.pieces.takeLast();
    for (int k = int(items.pieces.size()); k < pieces; ++k) {
        QGraphicsPathItem *piece = addPath(curvePiece(pixels, k), cosmeticPen(curve.color, 2), Qt::NoBrush);
        piece->stackBefore(items.circles.first());
        items.pieces.append(piece);
    }
    items.labelItem->setPos(pixels.last() + labelOffset);
    items.pixels = pixels;
}

bool DigitizingScene::isSelected(const QString &curveName, int index) const
{
    return index == m_model->selectedPointIndex() && curveName == m_model->selectedPointCurveName();
}

void DigitizingScene::stylePoint(QGraphicsEllipseItem *item, const QPointF &center, const QColor &color,
                                 bool selected) const
{
    const double radius = selected ? 5.0 : 3.0;
    item->setRect(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    item->setBrush(color);
    QPen pen = selected ? QPen(selectionOutline, 2) : QPen(Qt::white, 1);
    pen.setCosmetic(true);
    item->setPen(pen);
}

void DigitizingScene::restyle(const QString &curveName, int index, bool selected)
{
    const int c = m_model->indexOfCurve(curveName);
    if (c < 0 || c >= m_curves.size() || index < 0 || index >= m_curves[c].circles.size())
        return;
    stylePoint(m_curves[c].circles[index], m_curves[c].pixels[index], m_curves[c].color, selected);
}

void DigitizingScene::refreshSelection()
{
    restyle(m_highlightedCurve, m_highlightedIndex, false);
    m_highlightedCurve = m_model->selectedPointCurveName();
    m_highlightedIndex = m_model->selectedPointIndex();
    restyle(m_highlightedCurve, m_highlightedIndex, true);
}
