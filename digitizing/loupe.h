#pragma once

#include <QPointF>
#include <QWidget>

class GraphView;
class ProjectModel;
class QAction;

// A magnifier over the view: the picture around the pointer at four times the
// view's zoom, with a crosshair on the pixel under the pointer. It sits beside
// the pointer and moves to the other side near the view's edges, so that it
// never covers the spot being marked.
class Loupe : public QWidget
{
    Q_OBJECT

public:
    static constexpr int side = 160;
    static constexpr double magnification = 4.0;
    // Distance between the pointer and the loupe's nearest corner.
    static constexpr int gap = 24;

    Loupe(GraphView *view, ProjectModel *model);

    // The checkable View menu entry; its state is remembered between runs.
    QAction *toggleAction() const { return m_toggle; }
    void retranslate();
    QPointF shownPixel() const { return m_pixel; }

    // Where the loupe goes for a pointer at `pointer` in a viewport of `area`.
    static QPoint placement(const QPoint &pointer, const QSize &area);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow(QPointF pixel);

    GraphView *m_view;
    ProjectModel *m_model;
    QAction *m_toggle;
    QPointF m_pixel;
};
