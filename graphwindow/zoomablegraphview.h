#pragma once

#include "widgets/viewpanning.h"

#include <QGraphicsView>

// The view of the regenerated graph: zoom by buttons, keys and wheel within
// fixed limits, and pan with the right or middle button or with Space and the
// left button. Everything else (selecting and dragging texts) is the
// ordinary QGraphicsView behaviour.
class ZoomableGraphView : public QGraphicsView
{
    Q_OBJECT

public:
    static constexpr double buttonZoomFactor = 1.2;
    static constexpr double wheelZoomFactor = 1.15;
    static constexpr double maximumScale = 80.0;
    static constexpr double minimumScale = 0.02;

    explicit ZoomableGraphView(QWidget *parent = nullptr);

    // The horizontal scale factor of the view's transform.
    double zoomFactor() const;
    bool isPanning() const { return m_panning.isPanning(); }

Q_SIGNALS:
    // A mouse button was released over the scene: texts may have been dragged.
    void mouseReleased();

public Q_SLOTS:
    void zoomIn();
    void zoomOut();
    // The whole scene rectangle in the view, aspect kept; nothing without a scene size.
    void fitScene();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void zoomBy(double factor);

    ViewPanning m_panning{this};
};
