#include "digitizing/pointmarks.h"

#include "core/model/curve.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor selectionOutline(QStringLiteral("#ffeb3b"));

// Outlines are cosmetic: this many screen pixels beyond a circle cover them
// and their antialiasing at every zoom.
constexpr double outlinePixels = 2.0;
// The view's smallest zoom: the bounds leave room for outlines there too.
constexpr double smallestZoom = 0.03;
// Below this many circles in view every one is drawn.
constexpr qsizetype crowded = 4096;
// Circles closer than this fraction of a pixel count as one.
constexpr int spotsPerPixel = 4;

QPen outline(bool selected)
{
    QPen pen = selected ? QPen(selectionOutline, 2) : QPen(Qt::white, 1);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

PointMarksItem::PointMarksItem(QList<QPointF> pixels, const QColor &color, int selected, const QRectF &area)
    : m_index(std::move(pixels))
    , m_color(color)
    , m_selected(selected)
    , m_bounds(area)
{
    setFlag(ItemUsesExtendedStyleOption);
    boundsMayHaveGrown();
}

QRectF PointMarksItem::boundingRect() const
{
    const double padding = selectedRadius + outlinePixels / smallestZoom;
    return m_bounds.adjusted(-padding, -padding, padding, padding);
}

QRectF PointMarksItem::markRect(int index) const
{
    const double r = index == m_selected ? selectedRadius : radius;
    const QPointF &center = m_index.points()[index];
    return QRectF(center.x() - r, center.y() - r, 2 * r, 2 * r);
}

QPen PointMarksItem::markPen(int index) const
{
    return outline(index >= 0 && index == m_selected);
}

void PointMarksItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const QTransform &world = painter->worldTransform();
    const double scale = std::sqrt(std::abs(world.determinant()));
    if (!(scale > 0))
        return;
    const double reach = selectedRadius + outlinePixels / scale;
    // A click repaints a few small places far apart (the circle, the label's
    // old and new place): their box would hold most of the circles.
    QList<QRectF> exposed{option->exposedRect};
    const QRegion clip = painter->hasClipping() ? painter->clipRegion() : QRegion();
    if (clip.rectCount() > 1 && clip.rectCount() <= 32) {
        exposed.clear();
        for (const QRect &rect : clip)
            exposed.append(QRectF(rect).intersected(option->exposedRect));
    }
    QList<int> candidates;
    for (const QRectF &rect : std::as_const(exposed))
        candidates += m_index.pointsIn(rect.adjusted(-reach, -reach, reach, reach));
    if (exposed.size() > 1) {
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }

    // Crowded: of the circles whose centres fall on one screen pixel only the
    // last, which covers the others, is drawn; the selected one always is.
    QList<int> drawn;
    if (candidates.size() <= crowded) {
        drawn = candidates;
    } else {
        const QSize device(painter->device()->width() * spotsPerPixel,
                           painter->device()->height() * spotsPerPixel);
        std::vector<bool> taken(size_t(device.width()) * size_t(device.height()));
        for (qsizetype k = candidates.size() - 1; k >= 0; --k) {
            const int i = candidates[k];
            const QPointF at = world.map(m_index.points()[i]) * spotsPerPixel;
            if (i != m_selected && at.x() >= 0 && at.y() >= 0 && at.x() < device.width() &&
                at.y() < device.height()) {
                const size_t spot = size_t(at.y()) * size_t(device.width()) + size_t(at.x());
                if (taken[spot])
                    continue;
                taken[spot] = true;
            }
            drawn.append(i);
        }
        std::reverse(drawn.begin(), drawn.end());
    }

    const QPen plain = outline(false);
    painter->setBrush(m_color);
    painter->setPen(plain);
    for (const int i : std::as_const(drawn)) {
        if (i == m_selected) {
            painter->setPen(markPen(i));
            painter->drawEllipse(markRect(i));
            painter->setPen(plain);
        } else {
            painter->drawEllipse(markRect(i));
        }
    }
}

void PointMarksItem::repaintAround(const QPointF &center)
{
    double zoom = 1.0;
    if (scene() && !scene()->views().isEmpty())
        zoom = std::max(smallestZoom, scene()->views().first()->transform().m11());
    const double reach = selectedRadius + outlinePixels / zoom;
    QGraphicsItem::update(QRectF(center.x() - reach, center.y() - reach, 2 * reach, 2 * reach));
}

void PointMarksItem::boundsMayHaveGrown()
{
    const QRectF points = m_index.bounds();
    const bool empty = m_bounds.width() <= 0 && m_bounds.height() <= 0 && m_bounds.topLeft().isNull();
    const QRectF grown = empty ? points
                               : QRectF(QPointF(std::min(m_bounds.left(), points.left()),
                                                std::min(m_bounds.top(), points.top())),
                                        QPointF(std::max(m_bounds.right(), points.right()),
                                                std::max(m_bounds.bottom(), points.bottom())));
    if (m_index.size() == 0 || grown == m_bounds)
        return;
    prepareGeometryChange();
    m_bounds = grown;
}

void PointMarksItem::setSelected(int index)
{
    if (index == m_selected)
        return;
    const int before = m_selected;
    m_selected = index;
    for (const int i : {before, index}) {
        if (i >= 0 && i < m_index.size())
            repaintAround(m_index.points()[i]);
    }
}

void PointMarksItem::follow(const Curve &curve, qsizetype same, qsizetype sameAtEnd)
{
    const QList<CurvePoint> &points = curve.points;
    const qsizetype before = m_index.size();
    const qsizetype after = points.size();
    if (after == before) {
        for (qsizetype i = same; i < after - sameAtEnd; ++i) {
            repaintAround(m_index.points()[i]);
            m_index.move(int(i), points[i].pixel);
            repaintAround(points[i].pixel);
        }
    } else if (after > before && same == before) {
        for (qsizetype i = before; i < after; ++i) {
            m_index.append(points[i].pixel);
            repaintAround(points[i].pixel);
        }
    } else {
        // Inserted or removed in the middle: the points after it are renumbered
        // but stay where they are, so only the points taken out or put in show.
        const qsizetype changed = std::max(before, after) - same - sameAtEnd;
        if (changed > crowded) {
            QGraphicsItem::update();
        } else {
            for (qsizetype i = same; i < before - sameAtEnd; ++i)
                repaintAround(m_index.points()[i]);
            for (qsizetype i = same; i < after - sameAtEnd; ++i)
                repaintAround(points[i].pixel);
        }
        m_index = PointIndex(curvePixels(curve));
    }
    boundsMayHaveGrown();
}
