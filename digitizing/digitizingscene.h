#pragma once

#include <QColor>
#include <QGraphicsScene>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QString>

class ProjectModel;
class QGraphicsEllipseItem;
class QGraphicsPathItem;
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

private:
    struct CurveItems
    {
        bool shown = false;
        QColor color;
        QString label;
        QList<QPointF> pixels;
        QList<QGraphicsPathItem *> pieces; // the spline, a few segments each
        QList<QGraphicsEllipseItem *> circles;
        QGraphicsSimpleTextItem *labelItem = nullptr;
    };

    bool needsRebuild() const;
    void addAxisMarks(bool xAxis);
    void addCalibrationGrid(const QRectF &picture);
    void addCurveItems(int index);
    void updateCurveItems(int index);
    bool isSelected(const QString &curveName, int index) const;
    void stylePoint(QGraphicsEllipseItem *item, const QPointF &center, const QColor &color,
                    bool selected) const;
    void restyle(const QString &curveName, int index, bool selected);

    const ProjectModel *m_model;
    QPixmap m_sourcePixmap; // converted once per picture, not once per rebuild
    qint64 m_sourceCacheKey = 0;
    QList<CurveItems> m_curves;
    QString m_highlightedCurve;
    int m_highlightedIndex = -1;
};
