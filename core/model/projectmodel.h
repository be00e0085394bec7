#pragma once

#include <functional>

#include "core/model/calibration.h"
#include "core/model/curve.h"
#include "core/model/projectdocument.h"
#include "core/model/projectstate.h"
#include "core/model/sourceloading.h"

#include <QColor>
#include <QImage>
#include <QJsonObject>
#include <QLineF>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVariantList>

class QUndoCommand;
class QUndoStack;

// The one document of the program: source picture, calibration, curves and
// points. Every change goes through an operation below, is announced by the
// signals and becomes one step of the undo history; windows rebuild from those
// signals and never write the state directly.
class ProjectModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString sourcePath READ sourcePath WRITE setSourcePath NOTIFY sourcePathChanged)
    Q_PROPERTY(uint visibleLayers READ visibleLayers WRITE setVisibleLayers NOTIFY visibleLayersChanged)
    Q_PROPERTY(int pdfPage READ pdfPage WRITE setPdfPage NOTIFY pdfInfoChanged)
    Q_PROPERTY(int pdfPageCount READ pdfPageCount NOTIFY pdfInfoChanged)
    Q_PROPERTY(int renderDpi READ renderDpi WRITE setRenderDpi NOTIFY pdfInfoChanged)
    Q_PROPERTY(QLineF axisXLine READ axisXLine NOTIFY calibrationChanged)
    Q_PROPERTY(QLineF axisYLine READ axisYLine NOTIFY calibrationChanged)
    Q_PROPERTY(QVariantList pointsPixel READ pointsPixel NOTIFY pointsChanged)
    Q_PROPERTY(
        QString activeCurveName READ activeCurveName WRITE setActiveCurveName NOTIFY activeCurveChanged)
    Q_PROPERTY(QString activeCurveParameterName READ activeCurveParameterName WRITE
                   setActiveCurveParameterName NOTIFY activeCurveChanged)
    Q_PROPERTY(QString activeCurveParameterValue READ activeCurveParameterValue WRITE
                   setActiveCurveParameterValue NOTIFY activeCurveChanged)
    Q_PROPERTY(QString selectedPointCurveName READ selectedPointCurveName NOTIFY selectedPointChanged)
    Q_PROPERTY(int selectedPointIndex READ selectedPointIndex NOTIFY selectedPointChanged)

public:
    enum VisibleLayer : uint {
        SourceLayer = 1,
        AxesLayer = 2,
        PointsLayer = 4,
        GridLayer = 8,
        AllMvpLayers = SourceLayer | AxesLayer | PointsLayer,
    };
    Q_ENUM(VisibleLayer)

    static constexpr int minimumRenderDpi = 36;
    static constexpr int maximumRenderDpi = 1200;
    static constexpr int defaultRenderDpi = 150;
    // Steps the undo history keeps.
    static constexpr int undoLimit = 1000;
    // Bytes of pictures the undo history keeps; older steps read theirs again from the files.
    static constexpr qint64 defaultHistoryPictureLimit = qint64(1024) << 20;

    // How moves join into undo steps: every drag is a step of its own, while
    // consecutive nudges of one point add up to one.
    enum class MoveGesture { Drag, Nudge };

    using Notifier = void (ProjectModel::*)();

    explicit ProjectModel(QObject *parent = nullptr);

    // Cleared (and clean) after opening, closing and resetting a project.
    QUndoStack *undoStack() const { return m_undoStack; }
    // Moves of the selected point until the next gesture merge into one step.
    void beginMoveGesture(MoveGesture gesture);
    // Memory of the pictures that only the undo history holds.
    qint64 historyPictureBytes() const;
    void setHistoryPictureLimit(qint64 bytes);

    QString sourcePath() const { return m_sourcePath; }
    void setSourcePath(const QString &path);
    uint visibleLayers() const { return m_visibleLayers; }
    void setVisibleLayers(uint layers);
    int pdfPage() const { return m_pdfPage; }
    void setPdfPage(int page);
    int pdfPageCount() const { return m_pdfPageCount; }
    int renderDpi() const { return m_renderDpi; }
    void setRenderDpi(int dpi);
    QLineF axisXLine() const { return m_calibration.axisXLine; }
    QLineF axisYLine() const { return m_calibration.axisYLine; }
    QVariantList pointsPixel() const;
    QString activeCurveName() const { return m_activeCurveName; }
    void setActiveCurveName(const QString &name);
    QString activeCurveParameterName() const;
    void setActiveCurveParameterName(const QString &value);
    QString activeCurveParameterValue() const;
    void setActiveCurveParameterValue(const QString &value);
    QString selectedPointCurveName() const { return m_selectedPointCurveName; }
    int selectedPointIndex() const { return m_selectedPointIndex; }

    const Calibration &calibration() const { return m_calibration; }
    const QList<Curve> &curves() const { return m_curves; }
    const QImage &sourceImage() const { return m_sourceImage; }
    int activeCurveIndex() const { return indexOfCurve(m_activeCurveName); }
    int indexOfCurve(const QString &name) const;
    // The name a new curve gets from addCurve() now ("Curve 3", or "Curve 3 2" when taken).
    QString freshCurveName() const;
    QJsonObject regeneratedGraphSettings() const { return m_regeneratedGraphSettings; }
    // Announced by regeneratedGraphSettingsChanged when the record differs.
    void setRegeneratedGraphSettings(const QJsonObject &settings);
    QJsonObject graphViewSettings() const { return m_graphViewSettings; }
    void setGraphViewSettings(const QJsonObject &settings) { m_graphViewSettings = settings; }
    const QList<InsertionRecord> &insertionHistory() const { return m_insertionHistory; }

    // Installs a picture that did not come from loadSource (the database keeps
    // one). The PDF page number is kept, to be rendered once the file is back.
    void setSourceImage(const QImage &image, const QString &path);

    // The project document that project files and the database store.
    QJsonObject projectJson() const;
    // The same document as compact JSON text, byte for byte what QJsonDocument
    // writes of projectJson(), in a fraction of the time for many points.
    QByteArray compactProjectJson() const;
    // The same as the indented text of project files.
    QByteArray indentedProjectJson() const;
    // Replaces the whole project with a stored document. A relative "sourcePath"
    // is resolved against baseDirectory. Without allowMissingSource a source that
    // cannot be loaded refuses the document and leaves the model as it was; the
    // reason is then in lastError() for the caller to report. With it, the
    // project opens without a picture, and sourceProblem() says why. A document
    // of a newer version than this program writes is refused the same way. Without readPicture the picture is
    // not read at all and its path and PDF page stay as stored, for work that never draws it;
    // loadSource(sourcePath()) reads it later.
    bool applyProjectJson(const QJsonObject &object, const QString &baseDirectory, bool allowMissingSource,
                          bool readPicture = true);
    // The same with a document read by readProjectJson or readProjectJsonFile.
    bool applyProjectDocument(ProjectDocument document, const QString &baseDirectory, bool allowMissingSource,
                              bool readPicture = true);
    // Why the picture of the project last opened could not be read; empty once
    // a picture is shown.
    QString sourceProblem() const { return m_sourceProblem; }

    // Swaps the picture and keeps calibration, curves and points.
    Q_INVOKABLE bool loadSource(const QString &path);
    // A new project on the picture at path; a picture that cannot be read
    // leaves the current project as it is.
    Q_INVOKABLE bool startProjectFromSource(const QString &path);
    // Any calibration or point that a new picture would orphan.
    bool hasDigitizedWork() const;
    Q_INVOKABLE void setAxisX(const QLineF &pixelLine, double value1, double value2, bool logScale = false);
    Q_INVOKABLE void setAxisY(const QLineF &pixelLine, double value1, double value2, bool logScale = false);
    // An axis of either kind from its line and the values at its ends (a date
    // axis is linear whatever logScale says).
    void setAxis(bool xAxis, const QLineF &pixelLine, double value1, double value2, bool logScale,
                 AxisKind kind);
    // The axis fitted by least squares through its marks (kept with it); false,
    // and nothing changed, when the marks define no axis.
    bool setAxisMarks(bool xAxis, const QList<CalibrationMark> &marks, bool logScale,
                      AxisKind kind = AxisKind::Number);
    Q_INVOKABLE void addPoint(const QPointF &pixel, const QString &curveName = QString());
    Q_INVOKABLE bool insertPoint(int curveIndex, int pointIndex, const QPointF &pixel);
    // Appends all pixels, in order, to the named curve (the active one when the
    // name is empty; created when missing) as one change with one set of signals.
    Q_INVOKABLE bool appendPoints(const QString &curveName, const QList<QPointF> &pixels);
    // Clean-up of one curve (the active one when the name is empty), each one
    // undo step: its points in order of x in axis units; without points closer
    // than tolerancePixels to one before them.
    bool sortPointsByX(const QString &curveName = QString());
    bool removeDuplicatePoints(const QString &curveName = QString(), double tolerancePixels = 0.5);
    // Like appendPoints, for a stretch found on the picture: points within a
    // pixel of the curve's line are left out, so that a stretch traced twice
    // is not doubled, and the rest joins the end it continues.
    bool mergePoints(const QString &curveName, const QList<QPointF> &pixels);
    Q_INVOKABLE int addCurve(const QString &name = QString(), const QString &parameterName = QString(),
                             const QString &parameterValue = QString());
    Q_INVOKABLE bool removeCurve(int index);
    Q_INVOKABLE bool setActiveCurveIndex(int index);
    Q_INVOKABLE bool setCurveMetadata(int index, const QString &name, const QString &parameterName,
                                      const QString &parameterValue);
    Q_INVOKABLE bool setCurveVisible(int index, bool visible);
    Q_INVOKABLE bool setCurveStyle(int index, const QColor &color, double lineWidth);
    Q_INVOKABLE void setActiveCurveMetadata(const QString &name, const QString &parameterName,
                                            const QString &parameterValue);
    Q_INVOKABLE bool selectPoint(int curveIndex, int pointIndex);
    // The nearest point of a visible curve (of the active curve only, when
    // activeCurveOnly) within the distance; its curve becomes the active one.
    Q_INVOKABLE bool selectNearestPoint(const QPointF &pixel, double maxDistancePixels,
                                        bool activeCurveOnly = false);
    // What selectNearestPoint does once the point is found (curveIndex -1:
    // none was), for callers that keep their own index of the points.
    bool selectFoundPoint(int curveIndex, int pointIndex);
    Q_INVOKABLE void clearSelection();
    Q_INVOKABLE bool moveSelectedPoint(const QPointF &pixel);
    Q_INVOKABLE bool setPointReal(int curveIndex, int pointIndex, const QPointF &real);
    Q_INVOKABLE bool deleteSelectedPoint();
    Q_INVOKABLE bool undoLastPointInsertion();
    Q_INVOKABLE void clearPoints();
    // Several points of one curve at once, each call one undo step (moves merge
    // within a gesture). Indices outside the curve are ignored; false when none is left.
    Q_INVOKABLE bool deletePoints(int curveIndex, const QList<int> &pointIndices);
    Q_INVOKABLE bool movePoints(int curveIndex, const QList<int> &pointIndices, const QPointF &offset);
    // Several points of one curve picked together (a box, select all), beside
    // the single selected point. The group empties itself when its curve is
    // renamed, removed or changes its number of points.
    QString pointGroupCurveName() const { return m_groupCurveName; }
    QList<int> pointGroup() const { return m_group; }
    Q_INVOKABLE void selectPointGroup(int curveIndex, const QList<int> &pointIndices);
    // The active curve's points inside the rectangle.
    Q_INVOKABLE void selectPointGroupIn(const QRectF &pixelRect);
    Q_INVOKABLE void clearPointGroup();
    Q_INVOKABLE bool deletePointGroup();
    Q_INVOKABLE bool movePointGroup(const QPointF &offset);
    Q_INVOKABLE bool exportCsv(const QString &path) const;
    Q_INVOKABLE bool exportSvg(const QString &path) const;
    Q_INVOKABLE bool saveProject(const QString &path) const;
    Q_INVOKABLE bool openProject(const QString &path);
    Q_INVOKABLE void resetProject();
    Q_INVOKABLE QString lastError() const { return m_lastError; }

Q_SIGNALS:
    void sourcePathChanged();
    void visibleLayersChanged();
    void pdfInfoChanged();
    void calibrationChanged();
    void pointsChanged();
    void activeCurveChanged();
    void selectedPointChanged();
    void curvesChanged();
    void sourceImageChanged();
    void regeneratedGraphSettingsChanged();
    // Fired before a stored project or an empty one replaces the current one,
    // while the model still holds the old project.
    void projectAboutToBeReplaced();
    void errorOccurred(const QString &message);
    void pointGroupChanged();

private:
    friend class StateCommand;
    friend class RecordedChange;
    friend class InsertPointCommand;
    friend class RemovePointsCommand;
    friend class MovePointsCommand;

    // Appliers of the undo commands: they change the state without checks or
    // signals; the commands announce the change.
    ProjectState captureState() const;
    void restoreState(const ProjectState &state);
    // The picture of a state that holds none, or the one shown when its file fails.
    QImage readPictureAgain(const ProjectState &state) const;
    // Bytes of the pictures only the history holds; with `release`, the steps
    // past the limit let go of theirs.
    qint64 weighHistoryPictures(bool release) const;
    void boundHistoryPictures();
    ProjectFocus focus() const;
    void restoreFocus(const ProjectFocus &focus);
    void placePoint(int curveIndex, int pointIndex, const CurvePoint &point);
    void takePoint(int curveIndex, int pointIndex);
    void replacePoint(int curveIndex, int pointIndex, const CurvePoint &point);
    void announce(const QList<Notifier> &notifiers);
    // Empties a group that no longer fits its curve, and says so.
    void checkPointGroup();
    // Pushes the step, or applies it directly when it is part of a larger recorded change.
    void perform(QUndoCommand *command);
    // pointIndices ascending and valid.
    void removePointsAsStep(const QString &text, int curveIndex, const QList<int> &pointIndices,
                            const ProjectFocus &focusAfter, int droppedRecords);

    // Reports are const so that const exports can fail visibly; only the error
    // text changes.
    void setError(const QString &message) const;
    // Reports the error of a failed step; gives back whether it succeeded.
    bool reportIfFailed(bool succeeded, const QString &error) const;
    QJsonObject projectJson(bool withCurves) const;
    QByteArray projectJsonText(bool indented) const;
    // The calibration as one step, refused with a message when it gives non-finite values.
    bool hasSelection() const;
    // Clears the selection without a signal; true when there was one.
    bool dropSelection();
    bool isSelectionValid() const;
    // The curve's points replaced by pixels as one step named text; false with an error when there is no such
    // curve.
    bool replaceCurvePixels(const QString &curveName, const QString &text,
                            const std::function<QList<QPointF>(const QList<QPointF> &)> &change);
    int ensureCurve(const QString &name);
    QString uniqueCurveName(const QString &desired, int ignoreIndex) const;
    // False (with the error said) when the values give no finite reading.
    bool storeAxis(bool xAxis, const QLineF &pixelLine, double value1, double value2, bool logScale,
                   AxisKind kind, const QList<CalibrationMark> &marks);
    void recomputeRealValues();
    void scalePixelPositions(double factor);
    bool reloadPdfPage();
    void installSource(const LoadedSource &source);
    void addPointAt(int curveIndex, int pointIndex, const QPointF &pixel);
    void renameCurvePoints(Curve &curve, const QString &name);
    // Sorted, without repeats, only those inside the curve; empty for a bad curve.
    QList<int> validPointIndices(int curveIndex, const QList<int> &pointIndices) const;

    QString m_sourcePath;
    uint m_visibleLayers = AllMvpLayers;
    int m_pdfPage = 0;
    int m_pdfPageCount = 0;
    int m_renderDpi = defaultRenderDpi;
    Calibration m_calibration;
    QList<Curve> m_curves;
    QImage m_sourceImage;
    QString m_activeCurveName;
    QString m_selectedPointCurveName;
    int m_selectedPointIndex = -1;
    QJsonObject m_regeneratedGraphSettings;
    QJsonObject m_graphViewSettings;
    QJsonObject m_otherKeys; // top-level keys of the opened document that this program does not read
    QString m_sourceProblem;
    QList<InsertionRecord> m_insertionHistory;
    mutable QString m_lastError;
    QUndoStack *m_undoStack;
    int m_recordingDepth = 0;
    qint64 m_historyPictureLimit = defaultHistoryPictureLimit;
    QString m_groupCurveName;
    QList<int> m_group;
    qsizetype m_groupCurveSize = 0;
    int m_moveGesture = 0;
    MoveGesture m_lastGesture = MoveGesture::Drag;
};
