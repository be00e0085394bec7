#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <vector>

// Points in order with a grid over them, so that the points inside a rectangle
// or nearest to a spot are found without visiting all of them. Moving or
// appending a point keeps the grid; inserting or removing one in the middle
// renumbers the points after it and builds the grid again.
class PointIndex
{
public:
    PointIndex() = default;
    explicit PointIndex(QList<QPointF> points);

    const QList<QPointF> &points() const { return m_points; }
    qsizetype size() const { return m_points.size(); }
    // Every point; empty without points.
    QRectF bounds() const { return m_bounds; }

    void append(const QPointF &point);
    void move(int index, const QPointF &point);

    // The indices of the points inside the rectangle (edges included), ascending.
    QList<int> pointsIn(const QRectF &rect) const;
    // The point nearest to `spot` no farther than maxDistance, the first one
    // of equally near points; -1 when there is none.
    int nearest(const QPointF &spot, double maxDistance) const;

private:
    void rebuild();
    void extendBounds(const QPointF &point);
    int column(double x) const;
    int row(double y) const;

    QList<QPointF> m_points;
    QRectF m_bounds;
    // The grid as built: the points of cell c are m_cellPoints[m_cellStart[c]
    // .. m_cellStart[c + 1]), over the box m_gridBox.
    QRectF m_gridBox;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<int> m_cellStart;
    std::vector<int> m_cellPoints;
    // Points moved or appended since: looked at one by one, and skipped in the grid.
    std::vector<int> m_loose;
    std::vector<bool> m_isLoose;
};
