#pragma once

#include "digitizing/pdfpicking.h"
#include "widgets/viewpanning.h"

#include <QGraphicsView>
#include <QJsonObject>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <array>
#include <memory>

class DigitizingScene;
class DigitizingTool;
class ProjectModel;

// The picture being digitized, with the axes and curves drawn over it. The
// view zooms and pans; clicks, drags and keys on the picture go to the tool of
// the interaction mode, which turns them into model operations. Scene
// coordinates are the picture's pixel coordinates.
class GraphView : public QGraphicsView
{
    Q_OBJECT

public:
    enum InteractionMode {
        PointMode = 0,
        CalibrateXMode = 1,
        CalibrateYMode = 2,
        TraceMode = 3,
        MarkersMode = 4,
        PickPdfMode = 5
    };

    GraphView(ProjectModel *model, QWidget *parent = nullptr);
    ~GraphView() override;

    void setInteractionMode(int mode);
    int interactionMode() const { return m_mode; }
    void setOrthogonalAxes(bool on);
    bool orthogonalAxes() const { return m_orthogonal; }

    // Zoom and the scene point at the viewport's centre; empty without a picture.
    QJsonObject viewState() const;
    void restoreViewState(const QJsonObject &state);

    // 9 screen pixels in scene units at the current zoom.
    double pickRadius() const;
    // The model's selectNearestPoint, through the scene's index of the shown points.
    bool selectNearestPoint(const QPointF &position, double maxDistance, bool activeCurveOnly);

    // Found but not yet added: the traced line and its points, drawn over
    // everything until replaced or cleared with empty polygons.
    void setExtractionPreview(const QPolygonF &path, const QPolygonF &points);
    // Marks proposed by the program, each with a text beside it, drawn over
    // everything until replaced by empty lists.
    void setProposedMarks(const QPolygonF &marks, const QStringList &texts);
    // Where the user restricted the search, outlined until replaced by an empty polygon.
    void setExtractionRegion(const QPolygonF &region);

    // The drawing of a PDF source: what the pointer highlights, where marks snap.
    const PdfPicking &pdfPicking() const { return m_pdf; }
    void setPdfImportChoice(const PdfImportChoice &choice);

    // For the tools.
    ProjectModel &model() const { return *m_model; }
    DigitizingScene &digitizingScene() const { return *m_scene; }
    PdfPicking &pdfPicking() { return m_pdf; }
    bool isInsidePicture(const QPointF &scenePosition) const;
    double zoom() const;
    // Repaints what is drawn over the scene (selection, previews, highlights).
    void updateForeground();

public Q_SLOTS:
    // The group of points when there is one, else the selected point; false when nothing went.
    bool deleteSelectedPoints();
    void rebuildScene();

Q_SIGNALS:
    void calibrationLineSelected(bool xAxis, QLineF line);
    // A click on the picture while calibrating an axis that is already set: a
    // further mark of that axis.
    void calibrationMarkAdded(bool xAxis, QPointF pixel);
    void statusMessage(const QString &message);
    // Where the mouse is over the picture, in picture pixels (not rounded).
    void pointerMoved(QPointF pixel);
    void pointerLeft();
    void interactionModeChanged(int mode);
    // A click on the picture in TraceMode or MarkersMode, unrounded.
    void extractionSeedPicked(QPointF pixel);
    // Enter (true) or Escape (false) in those modes.
    void extractionAnswered(bool accept);
    // A Shift+drag in those modes; empty for a box too small to search in.
    void extractionRegionDrawn(QPolygonF region);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // The group's highlights, the selection box and the extraction preview, above the scene's items.
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void refreshPoints();
    QPointF scenePosition(const QPointF &viewportPosition) const;
    void drawPointGroup(QPainter *painter) const;
    void drawExtractionPreview(QPainter *painter) const;
    void drawProposedMarks(QPainter *painter) const;
    void followPointer(const QPointF &position, Qt::KeyboardModifiers modifiers);

    ProjectModel *m_model;
    DigitizingScene *m_scene;
    int m_mode = PointMode;
    bool m_orthogonal = true;
    // Between a project's replacement being announced and its curves: the
    // scene waits to be built once instead of once per announced part.
    bool m_replacing = false;
    ViewPanning m_panning{this};
    std::array<std::unique_ptr<DigitizingTool>, PickPdfMode + 1> m_tools;
    DigitizingTool *m_tool = nullptr;
    QPolygonF m_previewPath;
    QPolygonF m_previewPoints;
    QPolygonF m_extractionRegion;
    QPolygonF m_proposedMarks;
    QStringList m_proposedTexts;

    PdfPicking m_pdf;
};
