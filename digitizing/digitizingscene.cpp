#include "digitizing/digitizingscene.h"

#include "core/model/calibrationgrid.h"
#include "core/model/projectmodel.h"
#include "digitizing/pointmarks.h"

#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsSimpleTextItem>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

const QColor xAxisColor(QStringLiteral("#1976d2"));
const QColor yAxisColor(QStringLiteral("#2e7d32"));

namespace {

const QPointF labelOffset(8, -18);

// A curve's spline is drawn in pieces of this many segments, so that a click
// or a drag repaints the neighbourhood of the change, not the whole curve.
constexpr int segmentsPerPiece = 32;

int pieceCount(qsizetype points)
{
    return points < 2 ? 0 : int((points - 2) / segmentsPerPiece) + 1;
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

// A piece of spline whose points lie under half a pixel apart on the screen looks
// the same drawn as the line through them, which costs a fraction of the
// curves; vertices within a pixel of the last one drawn are left out.
class SplinePiece : public QGraphicsPathItem
{
public:
    using QGraphicsPathItem::QGraphicsPathItem;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        const QPainterPath &spline = path();
        const int elements = spline.elementCount();
        const int step = elements > 2 ? 3 : 1; // a cubic adds three elements, a line one
        const QTransform &world = painter->worldTransform();
        const double scale = std::sqrt(std::abs(world.determinant()));
        const double length = QLineF(spline.elementAt(0), spline.elementAt(elements - 1)).length();
        if (elements < 2 || !(scale * length < 0.5 * double(elements / step))) {
            QGraphicsPathItem::paint(painter, option, widget);
            return;
        }
        QPolygonF line;
        QPointF last = world.map(QPointF(spline.elementAt(0)));
        line.append(spline.elementAt(0));
        for (int e = step; e < elements; e += step) {
            const QPointF point = spline.elementAt(e);
            const QPointF shown = world.map(point);
            if (e + step < elements && std::abs(shown.x() - last.x()) < 1.0 &&
                std::abs(shown.y() - last.y()) < 1.0)
                continue;
            line.append(point);
            last = shown;
        }
        painter->setPen(pen());
        painter->drawPolyline(line);
    }
};

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

QGraphicsPathItem *DigitizingScene::addPiece(const QPainterPath &piece, const QColor &color)
{
    auto *item = new SplinePiece(piece);
    item->setPen(cosmeticPen(color, 2));
    addItem(item);
    return item;
}

void DigitizingScene::addCurveItems(int index)
{
    const Curve &curve = m_model->curves()[index];
    CurveItems &items = m_curves[index];
    items.shown = curve.visible;
    items.color = curve.color;
    items.label = curveLabel(curve);
    if (!curve.visible || curve.points.isEmpty())
        return;
    const QList<QPointF> pixels = curvePixels(curve);
    for (int k = 0; k < pieceCount(pixels.size()); ++k)
        items.pieces.append(addPiece(curvePiece(pixels, k), curve.color));
    items.shownPoints = curve.points;
    items.marks = new PointMarksItem(pixels, curve.color, selectedIndexIn(curve.name),
                                     QRectF(m_model->sourceImage().rect()));
    addItem(items.marks);
    items.labelItem = addSimpleText(items.label);
    items.labelItem->setBrush(curve.color);
    items.labelItem->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    items.labelItem->setPos(pixels.last() + labelOffset);
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
            curve.points.isEmpty() != !items.marks)
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
        if (m_curves[c].marks)
            updateCurveItems(c);
    }
    refreshSelection();
    return false;
}

void DigitizingScene::updateCurveItems(int index)
{
    const Curve &curve = m_model->curves()[index];
    CurveItems &items = m_curves[index];
    const QList<CurvePoint> &points = curve.points;
    if (points.constData() == items.shownPoints.constData() && points.size() == items.shownPoints.size())
        return; // untouched: a large project's other curves cost nothing
    items.shownPoints = points;
    const qsizetype before = items.marks->pixels().size();
    const qsizetype after = points.size();
    const qsizetype common = qMin(before, after);
    // What lies between the unchanged start and the unchanged end is what a
    // click, a drag or an undo changed.
    qsizetype same = 0;
    while (same < common && points[same].pixel == items.marks->pixels()[same])
        ++same;
    if (same == before && before == after)
        return;
    qsizetype sameAtEnd = 0;
    while (sameAtEnd < common - same &&
           points[after - 1 - sameAtEnd].pixel == items.marks->pixels()[before - 1 - sameAtEnd])
        ++sameAtEnd;
    items.marks->follow(curve, same, sameAtEnd);
    const QList<QPointF> &pixels = items.marks->pixels();

    // A piece is drawn again when one of the points shaping it, before or
    // after the change, changed; after a change of the count, every point from
    // the first changed one on did.
    const int pieces = pieceCount(after);
    for (int k = 0; k < qMin(pieces, int(items.pieces.size())); ++k) {
        const qsizetype first = qMax<qsizetype>(k * segmentsPerPiece - 1, 0);
        const qsizetype last = qMin<qsizetype>((k + 1) * segmentsPerPiece + 1, qMax(before, after) - 1);
        if (last >= same && (before != after || first < after - sameAtEnd))
            items.pieces[k]->setPath(curvePiece(pixels, k));
    }
    while (items.pieces.size() > pieces)
        delete items.pieces.takeLast();
    for (int k = int(items.pieces.size()); k < pieces; ++k) {
        QGraphicsPathItem *piece = addPiece(curvePiece(pixels, k), curve.color);
        piece->stackBefore(items.marks);
        items.pieces.append(piece);
    }
    items.labelItem->setPos(pixels.last() + labelOffset);
}

int DigitizingScene::selectedIndexIn(const QString &curveName) const
{
    return curveName == m_model->selectedPointCurveName() ? m_model->selectedPointIndex() : -1;
}

void DigitizingScene::restyle(const QString &curveName, int index)
{
    const int c = m_model->indexOfCurve(curveName);
    if (c >= 0 && c < m_curves.size() && m_curves[c].marks)
        m_curves[c].marks->setSelected(index);
}

void DigitizingScene::refreshSelection()
{
    restyle(m_highlightedCurve, -1);
    m_highlightedCurve = m_model->selectedPointCurveName();
    restyle(m_highlightedCurve, m_model->selectedPointIndex());
}

const PointMarksItem *DigitizingScene::pointMarks(int index) const
{
    return index >= 0 && index < m_curves.size() ? m_curves[index].marks : nullptr;
}

std::optional<std::pair<int, int>> DigitizingScene::nearestPoint(const QPointF &spot, double maxDistance,
                                                                 bool activeCurveOnly) const
{
    const int active = m_model->activeCurveIndex();
    const QList<Curve> &curves = m_model->curves();
    if (!(m_model->visibleLayers() & ProjectModel::PointsLayer) || curves.size() != m_curves.size())
        return std::nullopt;
    std::pair<int, int> best{-1, -1};
    double bestDistance = 0.0;
    for (int c = 0; c < curves.size(); ++c) {
        if (!curves[c].visible || (activeCurveOnly && c != active))
            continue;
        const PointMarksItem *marks = m_curves[c].marks;
        if ((marks ? marks->pixels().size() : 0) != curves[c].points.size())
            return std::nullopt;
        const int found = marks ? marks->index().nearest(spot, maxDistance) : -1;
        if (found < 0)
            continue;
        const double distance = QLineF(spot, marks->pixels()[found]).length();
        if (best.first < 0 || distance < bestDistance) {
            best = {c, found};
            bestDistance = distance;
        }
    }
    return best;
}
