#pragma once

#include <QJsonObject>
#include <QObject>

class GraphView;
class ProjectModel;
class QAction;

// The View menu's zoom commands. A new picture is fitted to the view and stays
// fitted while the window is resized, until the user zooms; a point selected
// elsewhere (in the points table) is scrolled into view.
class ViewZoom : public QObject
{
    Q_OBJECT

public:
    ViewZoom(GraphView *view, ProjectModel *model, QObject *parent);

    QAction *fitAction() const { return m_fit; }
    QAction *zoomInAction() const { return m_zoomIn; }
    QAction *zoomOutAction() const { return m_zoomOut; }
    QAction *actualSizeAction() const { return m_actualSize; }
    void retranslate();

    void fitToWindow();
    void zoomBy(double factor);
    void showActualSize();
    // A stored view state wins; without one the picture is fitted.
    void restoreOrFit(const QJsonObject &state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSelectedPoint();

    GraphView *m_view;
    ProjectModel *m_model;
    QAction *m_fit;
    QAction *m_zoomIn;
    QAction *m_zoomOut;
    QAction *m_actualSize;
    // The scale that fitting chose; refitted on resizes while it still holds.
    double m_fittedScale = 0;
};
