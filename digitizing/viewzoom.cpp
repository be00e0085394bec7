#include "digitizing/viewzoom.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QAction>
#include <QEvent>
#include <QIcon>

namespace {

constexpr double zoomStep = 1.25;
constexpr double largestZoom = 30.0;
constexpr double smallestZoom = 0.03;
// Room kept around a point scrolled into view, in screen pixels.
constexpr int pointMargin = 60;

} // namespace

ViewZoom::ViewZoom(GraphView *view, ProjectModel *model, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_model(model)
    , m_fit(new QAction(this))
    , m_zoomIn(new QAction(this))
    , m_zoomOut(new QAction(this))
    , m_actualSize(new QAction(this))
{
    m_fit->setObjectName(QStringLiteral("fitAction"));
    m_zoomIn->setObjectName(QStringLiteral("zoomInAction"));
    m_zoomOut->setObjectName(QStringLiteral("zoomOutAction"));
    m_actualSize->setObjectName(QStringLiteral("actualSizeAction"));
    m_fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    // Ctrl+= too, since "+" needs Shift on most keyboards.
    m_zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m_zoomOut->setShortcuts(QKeySequence::ZoomOut);
    m_actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    m_fit->setIcon(QIcon::fromTheme(QStringLiteral("zoom-fit-best")));
    m_zoomIn->setIcon(QIcon::fromTheme(QStringLiteral("zoom-in")));
    m_zoomOut->setIcon(QIcon::fromTheme(QStringLiteral("zoom-out")));
    m_actualSize->setIcon(QIcon::fromTheme(QStringLiteral("zoom-original")));
    connect(m_fit, &QAction::triggered, this, &ViewZoom::fitToWindow);
    connect(m_zoomIn, &QAction::triggered, this, [this] { zoomBy(zoomStep); });
    connect(m_zoomOut, &QAction::triggered, this, [this] { zoomBy(1.0 / zoomStep); });
    connect(m_actualSize, &QAction::triggered, this, &ViewZoom::showActualSize);
    // Connected after the view's own rebuild, so the scene already has the new picture.
    connect(m_model, &ProjectModel::sourceImageChanged, this, &ViewZoom::fitToWindow);
    connect(m_model, &ProjectModel::selectedPointChanged, this, &ViewZoom::showSelectedPoint);
    m_view->viewport()->installEventFilter(this);
}

void ViewZoom::retranslate()
{
    m_fit->setText(i18n::tr("Fit to window"));
    m_zoomIn->setText(i18n::tr("Zoom in"));
    m_zoomOut->setText(i18n::tr("Zoom out"));
    m_actualSize->setText(i18n::tr("Actual size"));
}

void ViewZoom::fitToWindow()
{
    const QRectF picture = m_view->sceneRect();
    if (m_model->sourceImage().isNull() || picture.isEmpty())
        return;
    m_view->fitInView(picture, Qt::KeepAspectRatio);
    m_fittedScale = m_view->transform().m11();
}

void ViewZoom::zoomBy(double factor)
{
    const double now = m_view->transform().m11();
    const double wanted = qBound(smallestZoom, now * factor, largestZoom);
    m_view->scale(wanted / now, wanted / now);
    m_fittedScale = 0;
}

void ViewZoom::showActualSize()
{
    const QPointF centre = m_view->mapToScene(m_view->viewport()->rect().center());
    m_view->resetTransform();
    m_view->centerOn(centre);
    m_fittedScale = 0;
}

void ViewZoom::restoreOrFit(const QJsonObject &state)
{
    m_fittedScale = 0;
    if (state.isEmpty())
        fitToWindow();
    else
        m_view->restoreViewState(state);
}

bool ViewZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_fittedScale > 0 && m_view->transform().m11() == m_fittedScale)
        fitToWindow();
    return QObject::eventFilter(watched, event);
}

void ViewZoom::showSelectedPoint()
{
    const int curve = m_model->indexOfCurve(m_model->selectedPointCurveName());
    const int point = m_model->selectedPointIndex();
    if (curve < 0 || point < 0 || point >= m_model->curves()[curve].points.size())
        return;
    m_view->ensureVisible(QRectF(m_model->curves()[curve].points[point].pixel, QSizeF(0, 0)), pointMargin,
                          pointMargin);
}
