#include "digitizing/graphview.h"

#include "core/model/projectmodel.h"
#include "digitizing/calibrationtool.h"
#include "digitizing/digitizingscene.h"
#include "digitizing/extractiontool.h"
#include "digitizing/pdfpicktool.h"
#include "digitizing/pointtool.h"
#include "i18n/localization.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

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
    m_tools[PointMode] = std::make_unique<PointTool>(*this);
    m_tools[CalibrateXMode] = std::make_unique<CalibrationTool>(*this, true);
    m_tools[CalibrateYMode] = std::make_unique<CalibrationTool>(*this, false);
    m_tools[TraceMode] = std::make_unique<ExtractionTool>(*this, false);
    m_tools[MarkersMode] = std::make_unique<ExtractionTool>(*this, true);
    m_tools[PickPdfMode] = std::make_unique<PdfPickTool>(*this);
    m_tool = m_tools[PointMode].get();
    connect(m_model, &ProjectModel::projectAboutToBeReplaced, this, [this] { m_replacing = true; });
    connect(m_model, &ProjectModel::curvesChanged, this, [this] {
        if (m_replacing) {
            m_replacing = false;
            rebuildScene();
        }
    });
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

GraphView::~GraphView() = default;

double GraphView::pickRadius() const
{
    const double scale = transform().m11();
    return scale <= 0.01 ? 900.0 : 9.0 / scale;
}

bool GraphView::selectNearestPoint(const QPointF &position, double maxDistance, bool activeCurveOnly)
{
    const auto found = m_scene->nearestPoint(position, maxDistance, activeCurveOnly);
    if (!found)
        return m_model->selectNearestPoint(position, maxDistance, activeCurveOnly);
    return m_model->selectFoundPoint(found->first, found->second);
}

double GraphView::zoom() const
{
    return transform().m11();
}

void GraphView::updateForeground()
{
    viewport()->update();
}

void GraphView::rebuildScene()
{
    if (m_replacing)
        return;
    m_scene->rebuild();
    m_tool->sceneCleared();
    // Left alone, the scene keeps the size of the largest picture it ever held,
    // and the empty view its scroll bars.
    if (m_model->sourceImage().isNull())
        m_scene->setSceneRect(QRectF(0, 0, 1, 1));
}

void GraphView::refreshPoints()
{
    if (m_replacing)
        return;
    if (m_scene->refreshCurves())
        m_tool->sceneCleared();
}

void GraphView::setInteractionMode(int mode)
{
    if (mode < PointMode || mode > PickPdfMode)
        return;
    m_tool->deactivate();
    if (m_pdf.clear())
        viewport()->update();
    m_mode = mode;
    m_tool = m_tools[mode].get();
    Q_EMIT interactionModeChanged(mode);
    m_tool->activate();
}

void GraphView::setOrthogonalAxes(bool on)
{
    if (on == m_orthogonal)
        return;
    m_orthogonal = on;
    m_tool->orthogonalAxesChanged();
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

void GraphView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (m_panning.press(event))
        return;
    if (event->button() != Qt::LeftButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    const QPointF position = scenePosition(event->position());
    if (!isInsidePicture(position)) {
        event->ignore();
        return;
    }
    m_tool->press({position, viewportTransform().inverted().map(event->position()), event->modifiers()});
    event->accept();
}

void GraphView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF exact = viewportTransform().inverted().map(event->position());
    Q_EMIT pointerMoved(exact);
    if (m_panning.move(event))
        return;
    const QPointF position = scenePosition(event->position());
    if (m_tool->drag({position, exact, event->modifiers()})) {
        event->accept();
        return;
    }
    followPointer(position, event->modifiers());
    QGraphicsView::mouseMoveEvent(event);
}

// Shows before the click what it would take from a PDF's drawing.
void GraphView::followPointer(const QPointF &position, Qt::KeyboardModifiers modifiers)
{
    if (!isInsidePicture(position)) {
        if (m_pdf.clear())
            viewport()->update();
    } else {
        m_tool->hover({position, position, modifiers});
    }
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

void GraphView::setProposedMarks(const QPolygonF &marks, const QStringList &texts)
{
    m_proposedMarks = marks;
    m_proposedTexts = texts;
    viewport()->update();
}

void GraphView::drawProposedMarks(QPainter *painter) const
{
    if (m_proposedMarks.isEmpty())
        return;
    painter->save();
    const double unit = 1.0 / qMax(transform().m11(), 0.01);
    const QColor proposal(QStringLiteral("#ff6d00"));
    QFont font = painter->font();
    font.setPointSizeF(font.pointSizeF() * unit);
    painter->setFont(font);
    for (int i = 0; i < m_proposedMarks.size(); ++i) {
        const QPointF p = m_proposedMarks[i];
        painter->setPen(cosmeticPen(proposal, 2));
        painter->drawLine(p - QPointF(6, 0) * unit, p + QPointF(6, 0) * unit);
        painter->drawLine(p - QPointF(0, 6) * unit, p + QPointF(0, 6) * unit);
        const QString text = m_proposedTexts.value(i);
        const QRectF box =
            painter->fontMetrics().boundingRect(text).toRectF().translated(p + QPointF(8, -8) * unit);
        painter->fillRect(box.adjusted(-2 * unit, 0, 2 * unit, 0), QColor(255, 255, 255, 220));
        painter->setPen(proposal.darker(130));
        painter->drawText(box, Qt::AlignCenter, text);
    }
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
    if (m_panning.release(event))
        return;
    const QPointF position = scenePosition(event->position());
    if (event->button() == Qt::LeftButton &&
        m_tool->release(
            {position, viewportTransform().inverted().map(event->position()), event->modifiers()})) {
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
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
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const QPointF direction = event->key() == Qt::Key_Left    ? QPointF(-1, 0)
                                  : event->key() == Qt::Key_Right ? QPointF(1, 0)
                                  : event->key() == Qt::Key_Up    ? QPointF(0, -1)
                                                                  : QPointF(0, 1);
        if (m_tool->nudge(direction * step)) {
            event->accept();
            return;
        }
        break;
    }
    default:
        if (!event->isAutoRepeat() && m_panning.keyPress(event))
            return;
        if (m_tool->keyPress(event)) {
            event->accept();
            return;
        }
        break;
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
    m_tool->paint(painter);
    drawPointGroup(painter);
    drawExtractionPreview(painter);
    drawProposedMarks(painter);
    m_pdf.paint(painter, transform().m11());
}

void GraphView::drawPointGroup(QPainter *painter) const
{
    const int curve = m_model->indexOfCurve(m_model->pointGroupCurveName());
    if (curve < 0)
        return;
    const double unit = 1.0 / std::max(transform().m11(), 1e-9);
    const QList<CurvePoint> &points = m_model->curves()[curve].points;
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(QColor(255, 140, 0), 2.0 * unit));
    const double half = 7.0 * unit;
    for (const int index : m_model->pointGroup()) {
        if (index < points.size())
            painter->drawRect(QRectF(points[index].pixel - QPointF(half, half), QSizeF(2 * half, 2 * half)));
    }
}

void GraphView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat() || !m_panning.keyRelease(event))
        QGraphicsView::keyReleaseEvent(event);
}
