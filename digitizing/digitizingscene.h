#pragma once

#include "core/model/curve.h"

#include <QColor>
#include <QGraphicsScene>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QString>

#include <optional>
#include <utility>

class PointMarksItem;
class ProjectModel;
class QGraphicsPathItem;
class QPainterPath;
class QGraphicsSimpleTextItem;

QPen cosmeticPen(const QColor &color, double width, Qt::PenStyle style = Qt::SolidLine);
extern const QColor xAxisColor;
extern const QColor yAxisColor;

// What the digitizing view shows of the project: the picture, the calibrated
// grid when asked for, the axes, and
// per visible curve its spline, point circles and label, stacked in that
// order. A click or a drag changes one curve, so those changes touch only the
// items that differ instead of rebuilding thousands of them.
class DigitizingScene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit DigitizingScene(const ProjectModel *model, QObject *parent = nullptr);

    // Everything from scratch (items of others, like a calibration preview, go too).
    void rebuild();
    // After points or curves changed: updates what differs, or rebuilds when
    // the curves themselves (count, visibility, colour, label) changed; true
    // when it rebuilt.
    bool refreshCurves();
    // Restyles the circle that lost the selection and the one that got it.
    void refreshSelection();
    // The circles of curve `index`; null when the curve shows none.
    const PointMarksItem *pointMarks(int index) const;
    // The point the model's selectNearestPoint would pick, found through the
    // curves' grids: {curve, index}, or {-1, -1} for none; nothing when the
    // scene does not show the points.
    std::optional<std::pair<int, int>> nearestPoint(const QPointF &spot, double maxDistance,
                                                    bool activeCurveOnly) const;

private:
    struct CurveItems
    {
        bool shown = false;
        QColor color;
        QString label;
        QList<QGraphicsPathItem *> pieces; // the spline, a few segments each
        PointMarksItem *marks = nullptr;   // holds the pixels shown
        // The model's points when last shown, shared: while the scene holds
        // them, any change of the model's detaches its list from these.
        QList<CurvePoint> shownPoints;
        QGraphicsSimpleTextItem *labelItem = nullptr;
    };

    bool needsRebuild() const;
    void addAxisMarks(bool xAxis);
    void addCalibrationGrid(const QRectF &picture);
    QGraphicsPathItem *addPiece(const QPainterPath &piece, const QColor &color);
    void addCurveItems(int index);
    void updateCurveItems(int index);
    int selectedIndexIn(const QString &curveName) const;
    void restyle(const QString &curveName, int index);

    const ProjectModel *m_model;
    QPixmap m_sourcePixmap; // converted once per picture, not once per rebuild
    qint64 m_sourceCacheKey = 0;
    QList<CurveItems> m_curves;
    QString m_highlightedCurve;
};
