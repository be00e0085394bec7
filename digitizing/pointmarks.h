#pragma once

#include "core/model/pointindex.h"

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QPen>

struct Curve;

// All point circles of one curve as one scene item: filled with the curve's
// colour, outlined in white, the selected one larger with a yellow outline,
// later points over earlier ones. It paints only the circles in the exposed
// area, found through a grid, so a curve of a million points costs what its
// visible part costs; where many circles fall on one screen pixel, only the
// topmost is drawn, which looks the same.
class PointMarksItem : public QGraphicsItem
{
public:
    enum { Type = UserType + 701 };
    static constexpr double radius = 3.0;
    static constexpr double selectedRadius = 5.0;

    // The item covers `area` (the picture) whole besides its points, so that
    // a point added or moved inside it never grows the item, which would
    // repaint all of it.
    PointMarksItem(QList<QPointF> pixels, const QColor &color, int selected, const QRectF &area = QRectF());

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    const PointIndex &index() const { return m_index; }
    const QList<QPointF> &pixels() const { return m_index.points(); }
    QColor color() const { return m_color; }
    int selected() const { return m_selected; }
    // The circle of point `index` as drawn: its rectangle and its outline.
    QRectF markRect(int index) const;
    QPen markPen(int index) const;

    // -1 selects none.
    void setSelected(int index);
    // Brings the circles to the curve's points, of which the first `same` and
    // the last `sameAtEnd` are known to be where they were.
    void follow(const Curve &curve, qsizetype same, qsizetype sameAtEnd);

private:
    void repaintAround(const QPointF &center);
    void boundsMayHaveGrown();

    PointIndex m_index;
    QColor m_color;
    int m_selected = -1;
    QRectF m_bounds; // what boundingRect() last told the scene
};
