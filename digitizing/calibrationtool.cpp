#include "digitizing/calibrationtool.h"

#include "core/model/projectmodel.h"
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

bool CalibrationTool::addsMarks() const
{
    const Calibration &calibration = view().model().calibration();
    return !m_anew && (m_xAxis ? calibration.isAxisXValid() : calibration.isAxisYValid());
}

void CalibrationTool::activate()
{
    if (addsMarks())
        Q_EMIT view().statusMessage(i18n::tr(
            "Click a tick of the axis to add a mark with its value; \"Calibration marks...\" shows how "
            "well the marks fit. Shift+click marks the axis anew."));
    else if (view().orthogonalAxes())
        Q_EMIT view().statusMessage(
            i18n::tr("Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical."));
    else
        Q_EMIT view().statusMessage(i18n::tr("Select two points on the axis. Tilted axes are allowed."));
}

void CalibrationTool::deactivate()
{
    m_hasFirstMark = false;
    m_anew = false;
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
    // On an axis already set a click is one more mark; Shift+click starts again.
    if (addsMarks() && !(event.modifiers & Qt::ShiftModifier)) {
        Q_EMIT view().calibrationMarkAdded(m_xAxis, mark);
        return;
    }
    m_anew = true;
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

namespace {

// Within half a degree of the forced direction a mark is hand jitter and is
// snapped; further off, up to a few degrees, the chart itself is turned (a scan)
// and the mark is taken as clicked; far beyond, the click was not on the axis
// line at all, and only its position along the axis counts.
constexpr double jitterDegrees = 0.5;
constexpr double largestTiltDegrees = 10.0;

double degreesOff(const QLineF &clicked, const QLineF &forced)
{
    if (clicked.length() < 1e-9 || forced.length() < 1e-9)
        return 0.0;
    const double angle = clicked.angleTo(forced);
    return std::min(angle, 360.0 - angle);
}

// Two marks closer than this cannot define an axis.
constexpr double shortestAxisPixels = 1.0;

} // namespace

QPointF CalibrationTool::forcedMark(const QPointF &mark) const
{
    return m_xAxis ? QPointF(mark.x(), m_firstMark.y()) : QPointF(m_firstMark.x(), mark.y());
}

double CalibrationTool::tiltDegrees(const QPointF &mark) const
{
    // A PDF page is drawn square to itself: its marks, snapped to the drawing
    // or not, keep the forced direction.
    if (!view().orthogonalAxes() || view().model().pdfPageCount() > 0)
        return 0.0;
    const double off = degreesOff(QLineF(m_firstMark, mark), QLineF(m_firstMark, forcedMark(mark)));
    return off > jitterDegrees && off <= largestTiltDegrees ? off : 0.0;
}

QPointF CalibrationTool::constrainedMark(const QPointF &mark) const
{
    if (!view().orthogonalAxes() || tiltDegrees(mark) > 0.0)
        return mark;
    return forcedMark(mark);
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
    const QPointF second = constrainedMark(m_currentMark);
    // Both marks on one spot define no axis: say so and keep the first mark.
    if (QLineF(m_firstMark, second).length() < shortestAxisPixels) {
        Q_EMIT view().statusMessage(
            i18n::tr("The two marks are at the same place. Move away from the first mark, then click or "
                     "press Enter."));
        return;
    }
    const double tilt = tiltDegrees(m_currentMark);
    m_hasFirstMark = false;
    m_anew = false;
    removePreview();
    Q_EMIT view().calibrationLineSelected(m_xAxis, QLineF(m_firstMark, second));
    // Said after the axis is stored so that the workflow's message does not hide it.
    if (tilt > 0.0)
        Q_EMIT view().statusMessage(
            i18n::tr("The picture is tilted by %1 degrees; the axis was taken as clicked.")
                .arg(QLocale::c().toString(tilt, 'f', 1)));
}
