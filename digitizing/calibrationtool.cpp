#include "digitizing/calibrationtool.h"

#include "digitizing/digitizingscene.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QKeyEvent>
#include <QLocale>
#include <QPainterPath>

#include <algorithm>

CalibrationTool::CalibrationTool(GraphView &view, bool xAxis)
    : DigitizingTool(view)
    , m_xAxis(xAxis)
{}

void CalibrationTool::activate()
{
    if (view().orthogonalAxes())
        Q_EMIT view().statusMessage(
            i18n::tr("Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical."));
    else
        Q_EMIT view().statusMessage(i18n::tr("Select two points on the axis. Tilted axes are allowed."));
}

void CalibrationTool::deactivate()
{
    m_hasFirstMark = false;
    removePreview();
}

void CalibrationTool::press(const ToolEvent &event)
{
    const QPointF mark = calibrationMark(event.position, event.modifiers);
    if (m_hasFirstMark) {
        m_currentMark = mark;
        confirmAxis();
        return;
    }
    m_hasFirstMark = true;
    m_firstMark = m_currentMark = mark;
    drawPreview();
    Q_EMIT view().statusMessage(
        i18n::tr("First reference acquired; move the mouse or use arrow keys, then click or "
                 "press Enter to confirm."));
}

bool CalibrationTool::drag(const ToolEvent &event)
{
    if (!m_hasFirstMark)
        return false;
    if (view().isInsidePicture(event.position)) {
        m_currentMark = calibrationMark(event.position, event.modifiers);
        drawPreview();
    }
    return true;
}

void CalibrationTool::hover(const ToolEvent &event)
{
    calibrationMark(event.position, event.modifiers);
}

bool CalibrationTool::keyPress(QKeyEvent *event)
{
    const int key = event->key();
    if (m_hasFirstMark && key == Qt::Key_Escape) {
        deactivate();
        Q_EMIT view().statusMessage(i18n::tr("Calibration point selection cancelled."));
        return true;
    }
    if (m_hasFirstMark && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        confirmAxis();
        return true;
    }
    return DigitizingTool::keyPress(event);
}

bool CalibrationTool::nudge(const QPointF &step)
{
    if (!m_hasFirstMark || !view().isInsidePicture(m_firstMark + step))
        return false;
    m_firstMark += step;
    drawPreview();
    Q_EMIT view().statusMessage(
        i18n::tr("First calibration point moved with keyboard. Select the second point to "
                 "confirm the axis."));
    return true;
}

void CalibrationTool::sceneCleared()
{
    // The preview items went with the scene contents; a placed mark stays.
    m_previewLine = nullptr;
    m_previewMarker = nullptr;
}

void CalibrationTool::orthogonalAxesChanged()
{
    if (m_hasFirstMark)
        removePreview();
}

// On a PDF's drawing a mark goes exactly where the page draws a tick or axis
// end; Alt keeps it where the mouse is.
QPointF CalibrationTool::calibrationMark(const QPointF &position, Qt::KeyboardModifiers modifiers)
{
    PdfPicking &pdf = view().pdfPicking();
    const std::optional<QPointF> shown = pdf.snapMark();
    const QPointF mark =
        pdf.snap(view().model(), position, view().pickRadius(), !(modifiers & Qt::AltModifier));
    if (pdf.snapMark() != shown)
        view().updateForeground();
    return view().isInsidePicture(mark) ? mark : position;
}

QPointF CalibrationTool::constrainedMark(const QPointF &mark) const
{
    if (!view().orthogonalAxes())
        return mark;
    return m_xAxis ? QPointF(mark.x(), m_firstMark.y()) : QPointF(m_firstMark.x(), mark.y());
}

void CalibrationTool::drawPreview()
{
    const QColor color = m_xAxis ? xAxisColor : yAxisColor;
    const double radius = view().pickRadius();
    DigitizingScene &scene = view().digitizingScene();
    if (!m_previewMarker) {
        m_previewMarker = scene.addEllipse(QRectF());
        m_previewMarker->setZValue(1001);
        // A thin ring with a crosshair keeps the marked spot itself in sight.
        new QGraphicsPathItem(m_previewMarker);
    }
    const QPointF mark = m_firstMark;
    m_previewMarker->setRect(mark.x() - radius, mark.y() - radius, 2 * radius, 2 * radius);
    m_previewMarker->setPen(cosmeticPen(color, 1.5));
    m_previewMarker->setBrush(Qt::NoBrush);
    QPainterPath cross;
    cross.moveTo(mark.x() - radius, mark.y());
    cross.lineTo(mark.x() + radius, mark.y());
    cross.moveTo(mark.x(), mark.y() - radius);
    cross.lineTo(mark.x(), mark.y() + radius);
    auto *crossItem = static_cast<QGraphicsPathItem *>(m_previewMarker->childItems().first());
    crossItem->setPath(cross);
    crossItem->setPen(cosmeticPen(color, 1));
    if (!m_previewLine) {
        m_previewLine = scene.addLine(QLineF());
        m_previewLine->setZValue(1000);
    }
    m_previewLine->setLine(QLineF(m_firstMark, constrainedMark(m_currentMark)));
    m_previewLine->setPen(cosmeticPen(color, 4, Qt::DashLine));
}

void CalibrationTool::removePreview()
{
    delete m_previewLine;
    delete m_previewMarker;
    m_previewLine = nullptr;
    m_previewMarker = nullptr;
}

void CalibrationTool::confirmAxis()
{
    const QPointF clicked = m_currentMark;
    const QPointF second = constrainedMark(m_currentMark);
    m_hasFirstMark = false;
    removePreview();
    Q_EMIT view().calibrationLineSelected(m_xAxis, QLineF(m_firstMark, second));
    reportTilt(clicked);
}

// A mark clicked clearly off the forced direction means the scan is turned;
// said after the axis is stored so that the workflow's message does not hide it.
void CalibrationTool::reportTilt(const QPointF &secondMark)
{
    if (!view().orthogonalAxes())
        return;
    const QLineF clicked(m_firstMark, secondMark);
    const QLineF forced(m_firstMark, constrainedMark(secondMark));
    if (clicked.length() < 1e-9 || forced.length() < 1e-9)
        return;
    const double angle = std::min(clicked.angleTo(forced), 360.0 - clicked.angleTo(forced));
    if (angle > 1.0)
        Q_EMIT view().statusMessage(
            i18n::tr("The picture looks tilted by %1 degrees. Turn off \"Orthogonal axes\" to "
                     "calibrate along its axes.")
                .arg(QLocale::c().toString(angle, 'f', 1)));
}
