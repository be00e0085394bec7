#include "window/extractionpanel.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSlider>

#include <iterator>

namespace {

// The slider's 0 lets the tracer choose from the contrast of ink and paper.
constexpr int toleranceMaximum = 200;
// How long a search runs before the window paints and hears the keyboard again.
constexpr qint64 frameMilliseconds = 16;

// The calendar units offered for dx on a date axis, in the order of the list.
struct CalendarUnit
{
    CalendarStep::Unit unit;
    int factor;
};
constexpr CalendarUnit calendarUnits[] = {
    {CalendarStep::Second, 1}, {CalendarStep::Minute, 1}, {CalendarStep::Hour, 1}, {CalendarStep::Day, 1},
    {CalendarStep::Day, 7},    {CalendarStep::Month, 1},  {CalendarStep::Year, 1}};
constexpr int monthsUnit = 5;

bool datesInX(const ProjectModel *model)
{
    return model->calibration().xKind == AxisKind::Date;
}

} // namespace

ExtractionPanel::ExtractionPanel(ProjectModel *model, GraphView *view, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_view(view)
    , m_countLabel(new QLabel(this))
    , m_toleranceLabel(new QLabel(this))
    , m_tolerance(new QSlider(Qt::Horizontal, this))
    , m_samplingLabel(new QLabel(this))
    , m_sampling(new QComboBox(this))
    , m_samplingValue(new QDoubleSpinBox(this))
    , m_samplingUnit(new QComboBox(this))
    , m_targetLabel(new QLabel(this))
    , m_target(new QComboBox(this))
    , m_acceptButton(new QPushButton(this))
    , m_cancelButton(new QPushButton(this))
{
    m_tolerance->setRange(0, toleranceMaximum);
    m_tolerance->setObjectName(QStringLiteral("extractionTolerance"));
    m_sampling->setObjectName(QStringLiteral("extractionSampling"));
    m_samplingValue->setObjectName(QStringLiteral("extractionSamplingValue"));
    m_samplingUnit->setObjectName(QStringLiteral("extractionSamplingUnit"));
    m_target->setObjectName(QStringLiteral("extractionTarget"));
    m_acceptButton->setObjectName(QStringLiteral("extractionAccept"));
    m_countLabel->setObjectName(QStringLiteral("extractionCount"));
    m_samplingValue->setDecimals(6);
    m_samplingValue->setRange(1e-12, 1e12);
    m_samplingValue->setValue(100);

    auto *layout = new QHBoxLayout(this);
    for (QWidget *widget : {static_cast<QWidget *>(m_countLabel), static_cast<QWidget *>(m_toleranceLabel),
                            static_cast<QWidget *>(m_tolerance), static_cast<QWidget *>(m_samplingLabel),
                            static_cast<QWidget *>(m_sampling), static_cast<QWidget *>(m_samplingValue),
                            static_cast<QWidget *>(m_samplingUnit), static_cast<QWidget *>(m_targetLabel),
                            static_cast<QWidget *>(m_target), static_cast<QWidget *>(m_acceptButton),
                            static_cast<QWidget *>(m_cancelButton)})
        layout->addWidget(widget);
    layout->addStretch(1);
    retranslate();

    connect(m_tolerance, &QSlider::valueChanged, this, [this] { rerun(); });
    connect(m_sampling, &QComboBox::currentIndexChanged, this, [this] {
        updateSamplingControls();
        resample();
    });
    connect(m_samplingValue, &QDoubleSpinBox::valueChanged, this, [this] { resample(); });
    connect(m_samplingUnit, &QComboBox::currentIndexChanged, this, [this] { resample(); });
    connect(m_model, &ProjectModel::calibrationChanged, this, &ExtractionPanel::updateSamplingControls);
    connect(m_acceptButton, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    updateSamplingControls();
}

void ExtractionPanel::retranslate()
{
    m_toleranceLabel->setText(i18n::tr("Colour tolerance"));
    m_tolerance->setToolTip(
        i18n::tr("At the far left the tolerance follows the contrast of the picked colour."));
    m_samplingLabel->setText(i18n::tr("Points"));
    const int sampling = m_sampling->currentIndex();
    {
        const QSignalBlocker block(m_sampling);
        m_sampling->clear();
        m_sampling->addItems({i18n::tr("Keep the shape"), i18n::tr("N points evenly in x"),
                              i18n::tr("Every dx in axis units")});
        m_sampling->setCurrentIndex(qMax(sampling, 0));
    }
    const int unit = m_samplingUnit->currentIndex();
    {
        const QSignalBlocker block(m_samplingUnit);
        m_samplingUnit->clear();
        m_samplingUnit->addItems({i18n::tr("seconds"), i18n::tr("minutes"), i18n::tr("hours"),
                                  i18n::tr("days"), i18n::tr("weeks"), i18n::tr("months"),
                                  i18n::tr("years")});
        m_samplingUnit->setCurrentIndex(unit >= 0 ? unit : monthsUnit);
    }
    const QString stepTip =
        i18n::tr("dx is the step in axis units; on a logarithmic x axis dx is a factor per "
                 "step (2: a point at every power of 2, 10: one per decade).");
    m_sampling->setItemData(2, stepTip, Qt::ToolTipRole);
    m_samplingValue->setToolTip(stepTip);
    m_targetLabel->setText(i18n::tr("Add to"));
    const int target = m_target->currentIndex();
    m_target->clear();
    m_target->addItems({i18n::tr("Active curve"), i18n::tr("New curve")});
    m_target->setCurrentIndex(qMax(target, 0));
    m_acceptButton->setText(i18n::tr("Accept"));
    m_cancelButton->setText(i18n::tr("Cancel"));
    m_countLabel->setText(m_hasSeed ? i18n::tr("%1 points found.").arg(m_points.size())
                                    : i18n::tr("Click on the curve in the picture."));
}

bool ExtractionPanel::markersMode() const
{
    return m_view->interactionMode() == GraphView::MarkersMode;
}

extract::ExtractionParams ExtractionPanel::params() const
{
    extract::ExtractionParams params;
    params.region = m_region;
    params.tolerance = m_tolerance->value();
    switch (m_sampling->currentIndex()) {
    case 1:
        params.sampling.mode = extract::SamplingMode::EvenInX;
        params.sampling.count = qMax(2, int(m_samplingValue->value()));
        break;
    case 2:
        params.sampling.mode = extract::SamplingMode::EveryDx;
        params.sampling.step = m_samplingValue->value();
        // On a date axis dx counts whole calendar units: 1 month is the first of every month.
        if (datesInX(m_model)) {
            const CalendarUnit unit =
                calendarUnits[qBound(0, m_samplingUnit->currentIndex(), int(std::size(calendarUnits)) - 1)];
            params.sampling.calendarStep =
                CalendarStep{unit.unit, unit.factor * qMax(1, int(m_samplingValue->value()))};
        }
        break;
    default: params.sampling.mode = extract::SamplingMode::KeepShape;
    }
    return params;
}

void ExtractionPanel::startAt(QPointF seed)
{
    m_seed = seed;
    m_hasSeed = true;
    rerun();
}

void ExtractionPanel::setRegion(const QPolygonF &region)
{
    m_region = region;
    m_view->setExtractionRegion(region);
    rerun();
}

bool ExtractionPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: return static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close: return true;
    default: return QWidget::eventFilter(watched, event);
    }
}

void ExtractionPanel::rerun()
{
    if (!m_hasSeed || m_searching)
        return;
    const QImage &image = m_model->sourceImage();
    const Calibration &calibration = m_model->calibration();
    extract::ExtractionStatus status = extract::ExtractionStatus::NothingFound;
    int leftOut = 0;
    extract::ExtractionParams searchParams = params();
    QElapsedTimer clock;
    clock.start();
    qint64 painted = 0;
    searchParams.cancelled = [this, &clock, &painted] {
        if (clock.elapsed() - painted >= frameMilliseconds) {
            QCoreApplication::processEvents();
            painted = clock.elapsed();
        }
        return m_cancelRequested;
    };
    m_searching = true;
    m_cancelRequested = false;
    qApp->installEventFilter(this);
    if (markersMode()) {
        const extract::MarkerResult found = extract::findMarkers(image, calibration, m_seed, searchParams);
        status = found.status;
        m_path = found.points;
        m_points = found.points;
        m_ink = found.ink;
        leftOut = found.leftOut;
    } else {
        const extract::TraceResult found = extract::traceCurve(image, calibration, m_seed, searchParams);
        status = found.status;
        m_path = found.path;
        m_points = found.points;
        m_ink = found.ink;
    }
    qApp->removeEventFilter(this);
    m_searching = false;
    if (status == extract::ExtractionStatus::Cancelled) {
        cancel();
        m_countLabel->setText(extract::statusMessage(status));
        return;
    }
    if (status != extract::ExtractionStatus::Found) {
        m_path.clear();
        m_points.clear();
        m_countLabel->setText(extract::statusMessage(status));
    } else if (leftOut > 0) {
        m_countLabel->setText(i18n::tr("%1 markers found; left out as legend samples or strays: %2.")
                                  .arg(m_points.size())
                                  .arg(leftOut));
    } else {
        m_countLabel->setText(i18n::tr("%1 points found.").arg(m_points.size()));
    }
    showPreview();
}

// Only the sampling changed: the traced line stays, its points are taken again.
void ExtractionPanel::resample()
{
    if (!m_hasSeed || markersMode() || m_path.isEmpty()) {
        rerun();
        return;
    }
    m_points = extract::samplePath(m_path, m_model->calibration(), params().sampling);
    m_countLabel->setText(i18n::tr("%1 points found.").arg(m_points.size()));
    showPreview();
}

void ExtractionPanel::showPreview()
{
    m_view->setExtractionPreview(markersMode() ? QPolygonF() : m_path, m_points);
    m_acceptButton->setEnabled(!m_points.isEmpty());
}

void ExtractionPanel::updateSamplingControls()
{
    const int mode = m_sampling->currentIndex();
    m_samplingValue->setEnabled(mode != 0 && !markersMode());
    const bool calendar = mode == 2 && datesInX(m_model);
    m_samplingUnit->setVisible(calendar);
    m_samplingUnit->setEnabled(!markersMode());
    const QSignalBlocker block(m_samplingValue);
    m_samplingValue->setDecimals(mode == 1 || calendar ? 0 : 6);
    if (mode == 1 && m_samplingValue->value() < 2)
        m_samplingValue->setValue(100);
    // The count left from other modes (100 at first) is rarely meant in months: a date step starts at one.
    if (calendar && m_samplingValue->value() >= 100)
        m_samplingValue->setValue(1);
}

bool ExtractionPanel::accept()
{
    if (m_points.isEmpty())
        return false;
    const QList<QPointF> points(m_points.cbegin(), m_points.cend());
    // Into the active curve a stretch traced again is merged rather than doubled.
    const bool added = m_target->currentIndex() == 1
                           ? m_model->appendPoints(m_model->freshCurveName(), points)
                           : m_model->mergePoints(QString(), points);
    if (added)
        cancel();
    return added;
}

void ExtractionPanel::cancel()
{
    if (m_searching) {
        m_cancelRequested = true;
        return;
    }
    m_hasSeed = false;
    m_path.clear();
    m_points.clear();
    m_view->setExtractionPreview({}, {});
    m_acceptButton->setEnabled(false);
    m_countLabel->setText(i18n::tr("Click on the curve in the picture."));
}

QDockWidget *addExtractionDock(QMainWindow *window, ProjectModel *model, GraphView *view)
{
    auto *dock = new QDockWidget(window);
    dock->setObjectName(QStringLiteral("extractionDock"));
    dock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    auto *panel = new ExtractionPanel(model, view, dock);
    dock->setWidget(panel);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    const auto retranslate = [dock, panel] {
        dock->setWindowTitle(i18n::tr("Automatic extraction"));
        panel->retranslate();
    };
    retranslate();
    QObject::connect(&i18n::Localization::instance(), &i18n::Localization::languageChanged, dock,
                     retranslate);
    QObject::connect(view, &GraphView::extractionSeedPicked, panel, &ExtractionPanel::startAt);
    QObject::connect(view, &GraphView::extractionRegionDrawn, panel, &ExtractionPanel::setRegion);
    QObject::connect(view, &GraphView::extractionAnswered, panel, [panel](bool accepted) {
        if (accepted)
            panel->accept();
        else if (panel->hasPreview())
            panel->cancel();
        else // a second Escape lets the whole plot area count again
            panel->setRegion({});
    });
    QObject::connect(view, &GraphView::interactionModeChanged, dock, [dock, panel](int mode) {
        panel->cancel();
        panel->setRegion({});
        dock->setVisible(mode == GraphView::TraceMode || mode == GraphView::MarkersMode);
    });
    return dock;
}
