#include "ui/graphview.h"

#include "i18n/localization.h"
#include "model/projectmodel.h"
#include "ui/curveinsertion.h"
#include "ui/digitizingscene.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr double zoomStep = 1.15;
constexpr double maximumZoom = 30.0;
constexpr double minimumZoom = 0.03;

} // namespace

GraphView::GraphView(ProjectModel *model, QWidget *parent)
    : QGraphicsView(parent)
    , m_model(model)
    , m_scene(new DigitizingScene(model, this))
{
    setScene(m_scene);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    setBackgroundBrush(QColor(QStringLiteral("#30343b")));
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_model, &ProjectModel::sourceImageChanged, this, &GraphView::rebuildScene);
    connect(m_model, &ProjectModel::pointsChanged, this, &GraphView::refreshPoints);
    connect(m_model, &ProjectModel::calibrationChanged, this, &GraphView::rebuildScene);
    connect(m_model, &ProjectModel::visibleLayersChanged, this, &GraphView::rebuildScene);
    connect(m_model, &ProjectModel::sourceImageChanged, this, [this] { m_pdf.forget(); });
    // A new selection must show at once; restyling two circles is enough for it.
    connect(m_model, &ProjectModel::selectedPointChanged, m_scene, &DigitizingScene::refreshSelection);
    connect(m_model, &ProjectModel::pointGroupChanged, this, [this] { viewport()->update(); });
    // The group's frames follow its points; without a group the scene repaints
    // only what changed, which keeps a click on a large project quick.
    connect(m_model, &ProjectModel::pointsChanged, this, [this] {
        if (!m_model->pointGroup().isEmpty())
            viewport()->update();
    });
    rebuildScene();
}

double GraphView::pickRadius() const
{
    const double scale = transform().m11();
    return scale <= 0.01 ? 900.0 : 9.0 / scale;
}

void GraphView::rebuildScene()
{
    // The preview items go with the scene contents; a placed mark stays.
    m_previewLine = nullptr;
    m_previewMarker = nullptr;
    m_scene->rebuild();
    // Left alone, the scene keeps the size of the largest picture it ever held,
    // and the empty view its scroll bars.
    if (m_model->sourceImage().isNull())
        m_scene->setSceneRect(QRectF(0, 0, 1, 1));
}

void GraphView::refreshPoints()
{
    if (m_scene->refreshCurves()) {
        m_previewLine = nullptr;
        m_previewMarker = nullptr;
    }
}

void GraphView::setInteractionMode(int mode)
{
    m_mode = mode;
    m_hasFirstMark = false;
    removePreview();
    if (m_pdf.clear())
        viewport()->update();
    Q_EMIT interactionModeChanged(mode);
    if (mode == TraceMode)
        Q_EMIT statusMessage(
            i18n::tr("Click on a curve's line to trace it. Shift+drag: search only inside a rectangle. "
                     "Enter: add the points. Esc: cancel."));
    else if (mode == MarkersMode)
        Q_EMIT statusMessage(
            i18n::tr("Click on one marker to find all like it. Shift+drag: search only inside a rectangle. "
                     "Enter: add the points. Esc: cancel."));
    else if (mode == PickPdfMode)
        Q_EMIT statusMessage(m_pdf.modeMessage(*m_model));
    else if (mode == PointMode)
        Q_EMIT statusMessage(
            i18n::tr("Click: add a point or select one of the active curve. Ctrl+click: select a point of "
                     "any curve. Drag: move point. Shift+drag: select points. Del: delete. Ctrl+Z: undo. "
                     "Wheel: zoom. Middle click: pan. Ctrl+PgDn/PgUp: next/previous curve."));
    else if (m_orthogonal)
        Q_EMIT statusMessage(
            i18n::tr("Select two points on the axis. Orthogonal mode keeps X horizontal and Y vertical."));
    else
        Q_EMIT statusMessage(i18n::tr("Select two points on the axis. Tilted axes are allowed."));
}

void GraphView::setOrthogonalAxes(bool on)
{
    if (on == m_orthogonal)
        return;
    m_orthogonal = on;
    if (m_hasFirstMark)
        removePreview();
    Q_EMIT statusMessage(on ? i18n::tr("Orthogonal axis calibration enabled.")
                            : i18n::tr("Tilted axis calibration enabled."));
}

QJsonObject GraphView::viewState() const
{
    const QRectF rect = sceneRect();
    if (!scene() || m_model->sourceImage().isNull() || !(rect.width() > 0 && rect.height() > 0))
        return {};
    const QPointF center = mapToScene(viewport()->rect().center());
    return {{QStringLiteral("zoom"), transform().m11()},
            {QStringLiteral("centerX"), center.x()},
            {QStringLiteral("centerY"), center.y()}};
}

void GraphView::restoreViewState(const QJsonObject &state)
{
    resetTransform();
    if (state.isEmpty())
        return;
    const double zoom = state.value(QStringLiteral("zoom")).toDouble(1.0);
    if (zoom > 0)
        scale(zoom, zoom);
    const QRectF rect = sceneRect();
    centerOn(state.value(QStringLiteral("centerX")).toDouble(rect.center().x()),
             state.value(QStringLiteral("centerY")).toDouble(rect.center().y()));
}

bool GraphView::isInsidePicture(const QPointF &position) const
{
    const QImage &image = m_model->sourceImage();
    return !image.isNull() && QRectF(0, 0, image.width(), image.height()).contains(position);
}

QPointF GraphView::scenePosition(const QPointF &viewportPosition) const
{
    return mapToScene(viewportPosition.toPoint());
}

QPointF GraphView::constrainedMark(const QPointF &mark) const
{
    if (!m_orthogonal)
        return mark;
    return m_mode == CalibrateXMode ? QPointF(mark.x(), m_firstMark.y()) : QPointF(m_firstMark.x(), mark.y());
}

void GraphView::drawPreview()
{
    const QColor color = m_mode == CalibrateXMode ? xAxisColor : yAxisColor;
    const double radius = pickRadius();
    if (!m_previewMarker) {
        m_previewMarker = m_scene->addEllipse(QRectF());
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
        m_previewLine = m_scene->addLine(QLineF());
        m_previewLine->setZValue(1000);
    }
    m_previewLine->setLine(QLineF(m_firstMark, constrainedMark(m_currentMark)));
    m_previewLine->setPen(cosmeticPen(color, 4, Qt::DashLine));
}

void GraphView::removePreview()
{
    delete m_previewLine;
    delete m_previewMarker;
    m_previewLine = nullptr;
    m_previewMarker = nullptr;
}

void GraphView::confirmAxis()
{
    const QPointF clicked = m_currentMark;
    const QPointF second = constrainedMark(m_currentMark);
    m_hasFirstMark = false;
    removePreview();
    Q_EMIT calibrationLineSelected(m_mode == CalibrateXMode, QLineF(m_firstMark, second));
    reportTilt(clicked);
}

void GraphView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const Qt::MouseButton button = event->button();
    if (button == Qt::RightButton || button == Qt::MiddleButton ||
        (button == Qt::LeftButton && m_spaceHeld)) {
        m_panning = true;
        m_lastPanPos = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    if (button != Qt::LeftButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QPointF position = scenePosition(event->position());
    if (!isInsidePicture(position)) {
        event->ignore();
        return;
    }
    if ((m_mode == TraceMode || m_mode == MarkersMode) && event->modifiers().testFlag(Qt::ShiftModifier)) {
        m_selectingBox = true;
        m_boxStart = m_lastDragPosition = position;
    } else if (m_mode == TraceMode || m_mode == MarkersMode) {
        Q_EMIT extractionSeedPicked(viewportTransform().inverted().map(event->position()));
    } else if (m_mode == PickPdfMode) {
        const QString message = m_pdf.importAt(*m_model, position, pickRadius());
        if (!message.isEmpty())
            Q_EMIT statusMessage(message);
    } else if (m_mode != PointMode) {
        const QPointF mark = calibrationMark(position, event->modifiers());
        if (m_hasFirstMark) {
            m_currentMark = mark;
            confirmAxis();
        } else {
            m_hasFirstMark = true;
            m_firstMark = m_currentMark = mark;
            drawPreview();
            Q_EMIT statusMessage(
                i18n::tr("First reference acquired; move the mouse or use arrow keys, then click or "
                         "press Enter to confirm."));
        }
    } else {
        pressInPointMode(position, event->modifiers());
    }
    event->accept();
}

void GraphView::pressInPointMode(const QPointF &position, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        // The box replaces whatever was picked, so that Delete takes only what it shows.
        m_model->clearSelection();
        m_selectingBox = true;
        m_boxStart = m_lastDragPosition = position;
        return;
    }
    const double radius = pickRadius();
    const QList<int> group = m_model->pointGroup();
    // A plain click near another curve's point must still go into the active curve.
    if (m_model->selectNearestPoint(position, radius, !(modifiers & Qt::ControlModifier))) {
        if (m_model->selectedPointCurveName() == m_model->pointGroupCurveName() &&
            group.contains(m_model->selectedPointIndex())) {
            m_model->beginMoveGesture(ProjectModel::MoveGesture::Drag);
            m_draggingGroup = true;
            m_lastDragPosition = position;
            return;
        }
        m_model->clearPointGroup();
        m_model->beginMoveGesture(ProjectModel::MoveGesture::Drag);
        m_draggingPoint = true;
        Q_EMIT statusMessage(
            i18n::tr("Point selected. Drag, use arrow keys, edit values, or press Del to delete it."));
        return;
    }
    m_model->clearPointGroup();
    const int index = insertionIndexNear(*m_model, position, radius);
    if (index < 0) {
        m_model->addPoint(position, m_model->activeCurveName());
        Q_EMIT statusMessage(i18n::tr("Point added to the active curve."));
    } else if (m_model->insertPoint(m_model->activeCurveIndex(), index, position)) {
        m_model->beginMoveGesture(ProjectModel::MoveGesture::Drag);
        m_draggingPoint = true;
        Q_EMIT statusMessage(i18n::tr("Point added to the active curve."));
    }
}

void GraphView::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT pointerMoved(viewportTransform().inverted().map(event->position()));
    if (m_panning) {
        const QPoint current = event->position().toPoint();
        const QPoint delta = current - m_lastPanPos;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        m_lastPanPos = current;
        event->accept();
    } else if (m_draggingPoint) {
        const QPointF position = scenePosition(event->position());
        if (isInsidePicture(position))
            m_model->moveSelectedPoint(position);
        event->accept();
    } else if (m_draggingGroup || m_selectingBox) {
        const QPointF position = scenePosition(event->position());
        if (m_draggingGroup)
            m_model->movePointGroup(position - m_lastDragPosition);
        m_lastDragPosition = position;
        viewport()->update();
        event->accept();
    } else if (m_hasFirstMark) {
        const QPointF position = scenePosition(event->position());
        if (isInsidePicture(position)) {
            m_currentMark = calibrationMark(position, event->modifiers());
            drawPreview();
        }
        event->accept();
    } else {
        followPointer(scenePosition(event->position()), event->modifiers());
        QGraphicsView::mouseMoveEvent(event);
    }
}

// On a PDF's drawing a mark goes exactly where the page draws a tick or axis
// end; Alt keeps it where the mouse is.
QPointF GraphView::calibrationMark(const QPointF &position, Qt::KeyboardModifiers modifiers)
{
    const std::optional<QPointF> shown = m_pdf.snapMark();
    const QPointF mark = m_pdf.snap(*m_model, position, pickRadius(), !(modifiers & Qt::AltModifier));
    if (m_pdf.snapMark() != shown)
        viewport()->update();
    return isInsidePicture(mark) ? mark : position;
}

// Shows before the click what it would take from a PDF's drawing.
void GraphView::followPointer(const QPointF &position, Qt::KeyboardModifiers modifiers)
{
    if (!isInsidePicture(position)) {
        if (m_pdf.clear())
            viewport()->update();
    } else if (m_mode == PickPdfMode) {
        if (m_pdf.hover(*m_model, position, pickRadius()))
            viewport()->update();
    } else if (m_mode == CalibrateXMode || m_mode == CalibrateYMode) {
        calibrationMark(position, modifiers);
    }
}

// A mark clicked clearly off the forced direction means the scan is turned;
// said after the axis is stored so that the workflow's message does not hide it.
void GraphView::reportTilt(const QPointF &secondMark)
{
    if (!m_orthogonal)
        return;
    const QLineF clicked(m_firstMark, secondMark);
    const QLineF forced(m_firstMark, constrainedMark(secondMark));
    if (clicked.length() < 1e-9 || forced.length() < 1e-9)
        return;
    const double angle = std::min(clicked.angleTo(forced), 360.0 - clicked.angleTo(forced));
    if (angle > 1.0)
        Q_EMIT statusMessage(
            i18n::tr("The picture looks tilted by %1 degrees. Turn off \"Orthogonal axes\" to "
                     "calibrate along its axes.")
                .arg(QLocale::c().toString(angle, 'f', 1)));
}

void GraphView::setExtractionPreview(const QPolygonF &path, const QPolygonF &points)
{
    m_previewPath = path;
    m_previewPoints = points;
    viewport()->update();
}

void GraphView::setPdfImportChoice(const PdfImportChoice &choice)
{
    m_pdf.setImportChoice(choice);
    viewport()->update();
}

void GraphView::setExtractionRegion(const QPolygonF &region)
{
    m_extractionRegion = region;
    viewport()->update();
}

// Drawn in the foreground so that scene rebuilds never take the preview along.
void GraphView::drawExtractionPreview(QPainter *painter) const
{
    if (m_previewPath.isEmpty() && m_previewPoints.isEmpty() && m_extractionRegion.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QColor preview(QStringLiteral("#ff6d00"));
    painter->setBrush(Qt::NoBrush);
    if (!m_extractionRegion.isEmpty()) {
        QPen outline = cosmeticPen(preview, 1);
        outline.setStyle(Qt::DashLine);
        painter->setPen(outline);
        painter->drawPolygon(m_extractionRegion);
    }
    painter->setPen(cosmeticPen(preview, 2));
    painter->drawPolyline(m_previewPath);
    const double radius = 4.0 / qMax(transform().m11(), 0.01);
    painter->setPen(cosmeticPen(Qt::white, 1));
    painter->setBrush(preview);
    for (const QPointF &point : std::as_const(m_previewPoints))
        painter->drawEllipse(point, radius, radius);
    painter->restore();
}

void GraphView::leaveEvent(QEvent *event)
{
    Q_EMIT pointerLeft();
    if (m_pdf.clear())
        viewport()->update();
    QGraphicsView::leaveEvent(event);
}

void GraphView::mouseReleaseEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    if (button == Qt::RightButton || button == Qt::MiddleButton || (button == Qt::LeftButton && m_panning)) {
        m_panning = false;
        if (m_spaceHeld)
            viewport()->setCursor(Qt::OpenHandCursor);
        else
            viewport()->unsetCursor();
        event->accept();
    } else if (button == Qt::LeftButton && (m_draggingPoint || m_draggingGroup)) {
        m_draggingPoint = m_draggingGroup = false;
        event->accept();
    } else if (button == Qt::LeftButton && m_selectingBox) {
        m_selectingBox = false;
        const QRectF box = QRectF(m_boxStart, scenePosition(event->position())).normalized();
        viewport()->update();
        if (m_mode == TraceMode || m_mode == MarkersMode) {
            // A box too thin to search in (a Shift+click) lets the whole plot area count again.
            Q_EMIT extractionRegionDrawn(box.width() < 2 || box.height() < 2 ? QPolygonF() : QPolygonF(box));
        } else {
            m_model->selectPointGroupIn(box);
            Q_EMIT statusMessage(i18n::tr("%1 points selected.").arg(m_model->pointGroup().size()));
        }
        event->accept();
    } else {
        QGraphicsView::mouseReleaseEvent(event);
    }
}

void GraphView::wheelEvent(QWheelEvent *event)
{
    const double scaleNow = transform().m11();
    if (event->angleDelta().y() > 0) {
        if (scaleNow < maximumZoom)
            scale(zoomStep, zoomStep);
    } else if (scaleNow > minimumZoom) {
        scale(1.0 / zoomStep, 1.0 / zoomStep);
    }
    event->accept();
}

bool GraphView::nudge(const QPointF &step)
{
    if (m_hasFirstMark && isInsidePicture(m_firstMark + step)) {
        m_firstMark += step;
        drawPreview();
        Q_EMIT statusMessage(
            i18n::tr("First calibration point moved with keyboard. Select the second point to "
                     "confirm the axis."));
        return true;
    }
    if (m_mode != PointMode)
        return false;
    if (!m_model->pointGroup().isEmpty()) {
        m_model->beginMoveGesture(ProjectModel::MoveGesture::Nudge);
        return m_model->movePointGroup(step);
    }
    const int curve = m_model->indexOfCurve(m_model->selectedPointCurveName());
    const int index = m_model->selectedPointIndex();
    if (curve < 0 || index < 0 || index >= m_model->curves()[curve].points.size())
        return false;
    const QPointF moved = m_model->curves()[curve].points[index].pixel + step;
    if (!isInsidePicture(moved))
        return false;
    m_model->beginMoveGesture(ProjectModel::MoveGesture::Nudge);
    m_model->moveSelectedPoint(moved);
    Q_EMIT statusMessage(i18n::tr("Point moved with keyboard."));
    return true;
}

void GraphView::keyPressEvent(QKeyEvent *event)
{
    const double step = (event->modifiers() & Qt::ControlModifier) ? 10.0
                        : (event->modifiers() & Qt::ShiftModifier) ? 1.0
                                                                   : 0.1;
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (deleteSelectedPoints()) {
            event->accept();
            return;
        }
        break;
    case Qt::Key_A:
        if (event->matches(QKeySequence::SelectAll) && m_mode == PointMode) {
            const int active = m_model->activeCurveIndex();
            QList<int> all(active >= 0 ? m_model->curves()[active].points.size() : 0);
            std::iota(all.begin(), all.end(), 0);
            m_model->selectPointGroup(active, all);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (m_hasFirstMark) {
            m_hasFirstMark = false;
            removePreview();
            Q_EMIT statusMessage(i18n::tr("Calibration point selection cancelled."));
        } else if (m_mode == TraceMode || m_mode == MarkersMode) {
            Q_EMIT extractionAnswered(false);
        } else {
            m_model->clearSelection();
        }
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_hasFirstMark) {
            confirmAxis();
            event->accept();
            return;
        }
        if (m_mode == TraceMode || m_mode == MarkersMode) {
            Q_EMIT extractionAnswered(true);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            m_spaceHeld = true;
            viewport()->setCursor(Qt::OpenHandCursor);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const QPointF direction = event->key() == Qt::Key_Left    ? QPointF(-1, 0)
                                  : event->key() == Qt::Key_Right ? QPointF(1, 0)
                                  : event->key() == Qt::Key_Up    ? QPointF(0, -1)
                                                                  : QPointF(0, 1);
        if (nudge(direction * step)) {
            event->accept();
            return;
        }
        break;
    }
    default: break;
    }
    QGraphicsView::keyPressEvent(event);
}

bool GraphView::deleteSelectedPoints()
{
    if (!m_model->pointGroup().isEmpty() ? m_model->deletePointGroup() : m_model->deleteSelectedPoint()) {
        Q_EMIT statusMessage(i18n::tr("Point deleted."));
        return true;
    }
    return false;
}

void GraphView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QGraphicsView::drawForeground(painter, rect);
    drawPointGroup(painter);
    drawExtractionPreview(painter);
    m_pdf.paint(painter, transform().m11());
}

void GraphView::drawPointGroup(QPainter *painter) const
{
    const double unit = 1.0 / std::max(transform().m11(), 1e-9);
    painter->setBrush(Qt::NoBrush);
    if (m_selectingBox) {
        painter->setPen(QPen(QColor(0, 120, 215), 1.0 * unit, Qt::DashLine));
        painter->drawRect(QRectF(m_boxStart, m_lastDragPosition).normalized());
    }
    const int curve = m_model->indexOfCurve(m_model->pointGroupCurveName());
    if (curve < 0)
        return;
    const QList<CurvePoint> &points = m_model->curves()[curve].points;
    painter->setPen(QPen(QColor(255, 140, 0), 2.0 * unit));
    const double half = 7.0 * unit;
    for (const int index : m_model->pointGroup()) {
        if (index < points.size())
            painter->drawRect(QRectF(points[index].pixel - QPointF(half, half), QSizeF(2 * half, 2 * half)));
    }
}

void GraphView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_spaceHeld = false;
        if (!m_panning)
            viewport()->unsetCursor();
        event->accept();
        return;
    }
    QGraphicsView::keyReleaseEvent(event);
}
