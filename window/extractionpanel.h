#pragma once

#include "extract/extraction.h"

#include <QPointF>
#include <QWidget>

class GraphView;
class QDockWidget;
class QMainWindow;
class ProjectModel;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;

// The window side of automatic extraction: after a click on a curve's ink (or
// on one marker) it shows what was found over the picture, lets the user tune
// the colour tolerance and the sampling with a live preview, and adds the
// points to the project only when accepted.
class ExtractionPanel : public QWidget
{
public:
    ExtractionPanel(ProjectModel *model, GraphView *view, QWidget *parent);

    // Runs the extraction of the view's current mode from a clicked pixel.
    void startAt(QPointF seed);
    // Adds the previewed points as one change; false when there is nothing to add.
    bool accept();
    void cancel();
    bool hasPreview() const { return m_hasSeed; }
    // Searches only inside the region (pixels) from now on; empty: the whole plot area.
    void setRegion(const QPolygonF &region);
    void retranslate();

protected:
    // While a search runs, only Escape reaches the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool markersMode() const;
    extract::ExtractionParams params() const;
    void rerun();
    void resample();
    void showPreview();
    void updateSamplingControls();

    ProjectModel *m_model;
    GraphView *m_view;
    bool m_hasSeed = false;
    // A search lets the window paint every frame, and Escape stop it.
    bool m_searching = false;
    bool m_cancelRequested = false;
    QPointF m_seed;
    QPolygonF m_region;
    QPolygonF m_path;
    QPolygonF m_points;
    QColor m_ink;
    QLabel *m_countLabel;
    QLabel *m_toleranceLabel;
    QSlider *m_tolerance;
    QLabel *m_samplingLabel;
    QComboBox *m_sampling;
    QDoubleSpinBox *m_samplingValue;
    // The calendar unit of dx on a date x axis.
    QComboBox *m_samplingUnit;
    QLabel *m_targetLabel;
    QComboBox *m_target;
    QPushButton *m_acceptButton;
    QPushButton *m_cancelButton;
};

// The panel in a dock below the picture, shown while the view is in an
// extraction mode; leaving the mode drops what was not accepted.
QDockWidget *addExtractionDock(QMainWindow *window, ProjectModel *model, GraphView *view);
