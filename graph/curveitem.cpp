#include "graph/curveitem.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPathStroker>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <cmath>

namespace {

// Curves with fewer vertices draw as they are: nothing worth saving.
constexpr int fewVertices = 64;

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

} // namespace

QPainterPath simplifiedPath(const QPainterPath &path, double tolerance)
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

CurveItem::CurveItem(const QPainterPath &path, const QPen &pen)
    : QGraphicsPathItem(path)
{
    setPen(pen);
    // Round and bevel joins and round caps stay within half the width of
    // the line; a square cap reaches half the diagonal of its square.
    const double reach = pen.widthF() / 2.0 * (pen.capStyle() == Qt::SquareCap ? M_SQRT2 : 1.0);
    m_bounds = path.controlPointRect().adjusted(-reach, -reach, reach, reach);
    setAcceptedMouseButtons(Qt::NoButton);
}

void CurveItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double detail = QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->deviceTransform());
    painter->setPen(pen());
    painter->setBrush(Qt::NoBrush);
    const double tolerance = std::max(m_tolerance, detail < 0.9 ? 0.25 / detail : 0.0);
    if (tolerance <= 0.0 || path().elementCount() < fewVertices) {
        painter->drawPath(path());
        return;
    }
    if (std::abs(tolerance - m_coarseTolerance) > 0.01 * tolerance) {
        m_coarse = simplifiedPath(path(), tolerance);
        m_coarseTolerance = tolerance;
    }
    painter->drawPath(m_coarse);
}

QPainterPath CurveItem::shape() const
{
    if (m_shape.isEmpty() && !path().isEmpty()) {
        QPainterPathStroker stroker(pen());
        m_shape = stroker.createStroke(path());
    }
    return m_shape;
}

void setCurveTolerance(QGraphicsScene &scene, double tolerance)
{
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items) {
        if (auto *curve = dynamic_cast<CurveItem *>(item))
            curve->setDrawingTolerance(tolerance);
    }
}
