#pragma once

#include <QGraphicsPathItem>
#include <QPainterPath>
#include <QPen>

class QGraphicsScene;

// The line of one curve on the scene. Its bounding rectangle comes from the
// path's points, grown by half the pen: the item base class would stroke the
// whole path to find it, on every rebuild, and again for every hit test. The
// stroked outline is made only when something asks for the exact shape.
// It leaves out the vertices that change the line by less than its output
// can show: a quarter of a pixel where the window shows the graph smaller
// than its size, and the tolerance an export sets (setDrawingTolerance).
class CurveItem : public QGraphicsPathItem
{
public:
    CurveItem(const QPainterPath &path, const QPen &pen);
    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    QPainterPath shape() const override;

    // Scene units a left-out vertex may move the line by; 0 draws every vertex.
    void setDrawingTolerance(double tolerance) { m_tolerance = tolerance; }

private:
    QRectF m_bounds;
    mutable QPainterPath m_shape;
    QPainterPath m_coarse; // the line as last drawn at m_coarseTolerance
    double m_coarseTolerance = 0.0;
    double m_tolerance = 0.0;
};

// The drawing tolerance of every curve of the scene.
void setCurveTolerance(QGraphicsScene &scene, double tolerance);

// The path without the vertices of each sub-path that Douglas-Peucker can
// drop: the line through the rest strays at most `tolerance` from it.
QPainterPath simplifiedPath(const QPainterPath &path, double tolerance);
