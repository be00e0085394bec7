#include "graphwindow/graphsettingspanel.h"

#include "graph/graphexports.h"
#include "graphwindow/curvestyletable.h"
#include "graphwindow/labelstable.h"
#include "graphwindow/limitfield.h"
#include "graphwindow/lockicon.h"
#include "i18n/localization.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

using namespace graphlimits;

namespace {

QSlider *makeOpacitySlider(QWidget *parent)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(minimumOpacity, maximumOpacity);
    slider->setSingleStep(5);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(25);
    return slider;
}

QDoubleSpinBox *makeRealField(double minimum, double maximum, int decimals, double step, QWidget *parent)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setDecimals(decimals);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    return spin;
}

QSpinBox *makeIntegerField(int minimum, int maximum, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}

// Scrolling the panel with the wheel must not change the field that happens
// to pass under the pointer: a field takes the wheel only once it has focus,
// otherwise the event goes on to the scroll area.
class WheelGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

template <typename Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

GraphSettingsPanel::GraphSettingsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("graphSettingsPanel"));
    setMinimumWidth(520);
    auto *layout = new QVBoxLayout(this);
    for (QGroupBox *group : {buildViewGroup(), buildGraphGroup(), buildLimitsGroup(), buildSizeGroup(),
                             buildFontsGroup(), buildCurvesGroup(), buildLabelsGroup(), buildExportsGroup()})
        layout->addWidget(group);
    layout->addStretch(1);
    auto *guard = new WheelGuard(this);
    for (QWidget *field : std::initializer_list<QWidget *>{m_blueprintOpacity, m_regeneratedOpacity, m_xMin,
                                                           m_xMax, m_yMin, m_yMax, m_gridDivisions, m_width,
                                                           m_height, m_dpi, m_axisDecimals}) {
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(guard);
    }
    setSettings(GraphSettings());
    connectEdits();
    retranslate();
}

QPushButton *GraphSettingsPanel::makeButton(Button which, const char *objectName)
{
    m_buttons[which] = named(new QPushButton(this), objectName);
    return m_buttons[which];
}

QGroupBox *GraphSettingsPanel::buildViewGroup()
{
    m_viewGroup = new QGroupBox(this);
    auto *row = new QHBoxLayout(m_viewGroup);
    row->addWidget(makeButton(ZoomInButton, "zoomInButton"));
    row->addWidget(makeButton(ZoomOutButton, "zoomOutButton"));
    row->addWidget(makeButton(FitButton, "fitButton"));
    return m_viewGroup;
}

QGroupBox *GraphSettingsPanel::buildGraphGroup()
{
    m_graphGroup = new QGroupBox(this);
    auto *form = new QFormLayout(m_graphGroup);
    m_title = named(new QLineEdit(this), "titleEdit");
    m_xLabel = named(new QLineEdit(this), "xLabelEdit");
    m_yLabel = named(new QLineEdit(this), "yLabelEdit");
    m_showTitle = named(new QCheckBox(this), "showTitleCheck");
    m_showBlueprint = named(new QCheckBox(this), "showBlueprintCheck");
    m_blueprintOpacity = named(makeOpacitySlider(this), "blueprintOpacitySlider");
    m_regeneratedOpacity = named(makeOpacitySlider(this), "regeneratedOpacitySlider");
    m_showLegend = named(new QCheckBox(this), "showLegendCheck");
    m_smoothing = named(new QComboBox(this), "curveSmoothingCombo");
    // In the order of CurveSmoothing; the texts come with retranslate.
    for (int i = 0; i < 3; ++i)
        m_smoothing->addItem(QString());
    m_smoothingLabel = new QLabel(this);
    m_titleLabel = new QLabel(this);
    m_xLabelLabel = new QLabel(this);
    m_yLabelLabel = new QLabel(this);
    m_blueprintOpacityLabel = new QLabel(this);
    m_regeneratedOpacityLabel = new QLabel(this);
    form->addRow(m_titleLabel, m_title);
    form->addRow(m_xLabelLabel, m_xLabel);
    form->addRow(m_yLabelLabel, m_yLabel);
    form->addRow(m_showTitle);
    form->addRow(m_showBlueprint);
    form->addRow(m_blueprintOpacityLabel, m_blueprintOpacity);
    form->addRow(m_regeneratedOpacityLabel, m_regeneratedOpacity);
    form->addRow(m_showLegend);
    form->addRow(m_smoothingLabel, m_smoothing);
    return m_graphGroup;
}

QGroupBox *GraphSettingsPanel::buildLimitsGroup()
{
    m_limitsGroup = new QGroupBox(this);
    auto *form = new QFormLayout(m_limitsGroup);
    const auto axisField = [this](const char *name) { return named(new LimitField(this), name); };
    m_xMin = axisField("xMinField");
    m_xMax = axisField("xMaxField");
    m_yMin = axisField("yMinField");
    m_yMax = axisField("yMaxField");
    m_xMinLabel = new QLabel(this);
    m_xMaxLabel = new QLabel(this);
    m_yMinLabel = new QLabel(this);
    m_yMaxLabel = new QLabel(this);
    m_xLog = named(new QCheckBox(this), "xLogCheck");
    m_yLog = named(new QCheckBox(this), "yLogCheck");
    m_showGrid = named(new QCheckBox(this), "showGridCheck");
    m_gridDivisions =
        named(makeIntegerField(minimumGridDivisions, maximumGridDivisions, this), "gridDivisionsField");
    m_gridDivisionsLabel = new QLabel(this);
    form->addRow(m_xMinLabel, m_xMin);
    form->addRow(m_xMaxLabel, m_xMax);
    form->addRow(m_yMinLabel, m_yMin);
    form->addRow(m_yMaxLabel, m_yMax);
    auto *scales = new QHBoxLayout;
    scales->addWidget(m_xLog);
    scales->addWidget(m_yLog);
    scales->addStretch(1);
    form->addRow(scales);
    form->addRow(makeButton(AutoScaleButton, "autoScaleButton"));
    form->addRow(m_showGrid);
    form->addRow(m_gridDivisionsLabel, m_gridDivisions);
    return m_limitsGroup;
}

QGroupBox *GraphSettingsPanel::buildSizeGroup()
{
    m_sizeGroup = new QGroupBox(this);
    auto *form = new QFormLayout(m_sizeGroup);
    // The lock sits first in this group, right above the two sizes it couples.
    m_lockAspect = named(new QToolButton(this), "lockAspectButton");
    m_lockAspect->setCheckable(true);
    m_lockAspect->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_lockAspect->setIconSize(QSize(20, 20));
    m_width = named(makeRealField(minimumSizeCm, maximumSizeCm, sizeDecimals, 0.5, this), "widthField");
    m_height = named(makeRealField(minimumSizeCm, maximumSizeCm, sizeDecimals, 0.5, this), "heightField");
    m_dpi = named(makeIntegerField(minimumDpi, maximumDpi, this), "dpiField");
    m_axisDecimals =
        named(makeIntegerField(minimumAxisDecimals, maximumAxisDecimals, this), "axisDecimalsField");
    m_widthLabel = new QLabel(this);
    m_heightLabel = new QLabel(this);
    m_dpiLabel = new QLabel(this);
    m_axisDecimalsLabel = new QLabel(this);
    m_pixelSize = named(new QLabel(this), "pixelSizeLabel");
    m_pixelSize->setWordWrap(true);
    form->addRow(m_lockAspect);
    form->addRow(m_widthLabel, m_width);
    form->addRow(m_heightLabel, m_height);
    form->addRow(m_dpiLabel, m_dpi);
    form->addRow(m_axisDecimalsLabel, m_axisDecimals);
    form->addRow(m_pixelSize);
    return m_sizeGroup;
}

QGroupBox *GraphSettingsPanel::buildFontsGroup()
{
    m_fontsGroup = new QGroupBox(this);
    auto *row = new QHBoxLayout(m_fontsGroup);
    row->addWidget(makeButton(TextFontButton, "textFontButton"));
    row->addWidget(makeButton(AxisValueFontButton, "axisValueFontButton"));
    return m_fontsGroup;
}

QGroupBox *GraphSettingsPanel::buildCurvesGroup()
{
    m_curvesGroup = new QGroupBox(this);
    auto *box = new QVBoxLayout(m_curvesGroup);
    m_curveTable = new CurveStyleTable(this);
    box->addWidget(m_curveTable);
    return m_curvesGroup;
}

QGroupBox *GraphSettingsPanel::buildLabelsGroup()
{
    m_labelsGroup = new QGroupBox(this);
    auto *box = new QVBoxLayout(m_labelsGroup);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(makeButton(AddLabelButton, "addLabelButton"));
    buttons->addWidget(makeButton(RemoveLabelButton, "removeLabelButton"));
    buttons->addStretch(1);
    box->addLayout(buttons);
    m_labelsTable = new LabelsTable(this);
    box->addWidget(m_labelsTable);
    return m_labelsGroup;
}

QGroupBox *GraphSettingsPanel::buildExportsGroup()
{
    m_exportsGroup = new QGroupBox(this);
    auto *grid = new QGridLayout(m_exportsGroup);
    grid->addWidget(makeButton(ExportPdfButton, "exportPdfButton"), 0, 0);
    grid->addWidget(makeButton(ExportJpgButton, "exportJpgButton"), 0, 1);
    grid->addWidget(makeButton(ExportSvgButton, "exportSvgButton"), 1, 0);
    grid->addWidget(makeButton(ExportExcelButton, "exportExcelButton"), 1, 1);
    return m_exportsGroup;
}

void GraphSettingsPanel::connectEdits()
{
    const auto edited = [this] { Q_EMIT settingsEdited(); };
    for (QLineEdit *edit : {m_title, m_xLabel, m_yLabel})
        connect(edit, &QLineEdit::textChanged, this, edited);
    for (QCheckBox *box : {m_showTitle, m_showBlueprint, m_showGrid, m_showLegend})
        connect(box, &QCheckBox::toggled, this, edited);
    connect(m_smoothing, &QComboBox::currentIndexChanged, this, edited);
    for (QSlider *slider : {m_blueprintOpacity, m_regeneratedOpacity})
        connect(slider, &QSlider::valueChanged, this, edited);
    for (QDoubleSpinBox *limit : {m_xMin, m_xMax, m_yMin, m_yMax})
        connect(limit, &QDoubleSpinBox::valueChanged, this, edited);
    for (QCheckBox *box : {m_xLog, m_yLog})
        connect(box, &QCheckBox::toggled, this, [this] { Q_EMIT autoScaleRequested(); });
    connect(m_gridDivisions, &QSpinBox::valueChanged, this, edited);
    connect(m_axisDecimals, &QSpinBox::valueChanged, this, edited);
    connect(m_dpi, &QSpinBox::valueChanged, this, [this] {
        updatePixelSize();
        Q_EMIT settingsEdited();
    });
    connect(m_width, &QDoubleSpinBox::valueChanged, this, &GraphSettingsPanel::widthChanged);
    connect(m_height, &QDoubleSpinBox::valueChanged, this, &GraphSettingsPanel::heightChanged);
    connect(m_lockAspect, &QToolButton::toggled, this, &GraphSettingsPanel::lockToggled);
}

void GraphSettingsPanel::widthChanged(double width)
{
    if (m_lockAspect->isChecked()) {
        if (!m_coupling) {
            m_coupling = true;
            const QSignalBlocker blocker(m_height);
            m_height->setValue(
                std::clamp(width / std::max(m_aspect, 1e-6), m_height->minimum(), m_height->maximum()));
            m_coupling = false;
        }
    } else if (m_height->value() > 0) {
        m_aspect = width / m_height->value();
    }
    updatePixelSize();
    Q_EMIT settingsEdited();
}

void GraphSettingsPanel::heightChanged(double height)
{
    if (m_lockAspect->isChecked()) {
        if (!m_coupling) {
            m_coupling = true;
            const QSignalBlocker blocker(m_width);
            m_width->setValue(std::clamp(m_aspect * height, m_width->minimum(), m_width->maximum()));
            m_coupling = false;
        }
    } else if (height > 0) {
        m_aspect = m_width->value() / height;
    }
    updatePixelSize();
    Q_EMIT settingsEdited();
}

void GraphSettingsPanel::lockToggled(bool locked)
{
    if (locked && m_height->value() > 0)
        m_aspect = m_width->value() / m_height->value();
    updateLockIcon();
    Q_EMIT settingsEdited();
}

void GraphSettingsPanel::updateLockIcon()
{
    m_lockAspect->setIcon(lockIcon(m_lockAspect->isChecked()));
}

void GraphSettingsPanel::updatePixelSize()
{
    GraphSettings sizes;
    readInto(sizes);
    const QSize pixels = outputPixelSize(sizes);
    m_pixelSize->setText(i18n::tr("At %1 DPI: %2 x %3 px. Increase cm or DPI for more JPG detail.")
                             .arg(m_dpi->value())
                             .arg(pixels.width())
                             .arg(pixels.height()) +
                         u'\n' +
                         i18n::tr("At this DPI a JPG can be at most %1 cm on a side.")
                             .arg(std::floor(largestJpgSideCm(m_dpi->value()) * 10.0) / 10.0));
}

void GraphSettingsPanel::setSettings(const GraphSettings &s)
{
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QObject *control : std::initializer_list<QObject *>{
             m_title, m_xLabel, m_yLabel, m_showTitle, m_showBlueprint, m_blueprintOpacity,
             m_regeneratedOpacity, m_xLog, m_yLog, m_showGrid, m_gridDivisions, m_lockAspect, m_width,
             m_height, m_dpi, m_axisDecimals, m_showLegend, m_smoothing})
        blockers.push_back(std::make_unique<QSignalBlocker>(control));
    m_title->setText(s.title);
    m_xLabel->setText(s.xLabel);
    m_yLabel->setText(s.yLabel);
    m_showTitle->setChecked(s.showTitle);
    m_showBlueprint->setChecked(s.showBlueprint);
    m_blueprintOpacity->setValue(s.blueprintOpacity);
    m_regeneratedOpacity->setValue(s.regeneratedOpacity);
    setAxisLimits(s);
    m_xLog->setChecked(s.xLog);
    m_yLog->setChecked(s.yLog);
    m_showGrid->setChecked(s.showGrid);
    m_gridDivisions->setValue(s.gridDivisions);
    m_lockAspect->setChecked(s.lockAspect);
    m_width->setValue(s.widthCm);
    m_height->setValue(s.heightCm);
    m_dpi->setValue(s.dpi);
    m_axisDecimals->setValue(s.axisDecimals);
    m_showLegend->setChecked(s.showLegend);
    m_smoothing->setCurrentIndex(int(s.curveSmoothing));
    if (m_height->value() > 0)
        m_aspect = m_width->value() / m_height->value();
    updateLockIcon();
    updatePixelSize();
}

void GraphSettingsPanel::setAxisLimits(const GraphSettings &s)
{
    const std::tuple<LimitField *, double, bool> limits[] = {{m_xMin, s.xMin, s.xDate},
                                                             {m_xMax, s.xMax, s.xDate},
                                                             {m_yMin, s.yMin, s.yDate},
                                                             {m_yMax, s.yMax, s.yDate}};
    for (const auto &[field, value, dates] : limits) {
        const QSignalBlocker blocker(field);
        field->setDates(dates);
        field->setValue(value);
    }
    // Date axes are linear only.
    m_xLog->setEnabled(!s.xDate);
    m_yLog->setEnabled(!s.yDate);
}

void GraphSettingsPanel::readInto(GraphSettings &s) const
{
    s.title = m_title->text();
    s.xLabel = m_xLabel->text();
    s.yLabel = m_yLabel->text();
    s.showTitle = m_showTitle->isChecked();
    s.showBlueprint = m_showBlueprint->isChecked();
    s.blueprintOpacity = m_blueprintOpacity->value();
    s.regeneratedOpacity = m_regeneratedOpacity->value();
    s.xMin = axisLimitValue(m_xMin->value());
    s.xMax = axisLimitValue(m_xMax->value());
    s.yMin = axisLimitValue(m_yMin->value());
    s.yMax = axisLimitValue(m_yMax->value());
    s.xLog = m_xLog->isChecked();
    s.yLog = m_yLog->isChecked();
    s.widthCm = m_width->value();
    s.heightCm = m_height->value();
    s.dpi = m_dpi->value();
    s.axisDecimals = m_axisDecimals->value();
    s.showGrid = m_showGrid->isChecked();
    s.gridDivisions = m_gridDivisions->value();
    s.lockAspect = m_lockAspect->isChecked();
    s.showLegend = m_showLegend->isChecked();
    s.curveSmoothing = CurveSmoothing(m_smoothing->currentIndex());
}

void GraphSettingsPanel::retranslate()
{
    m_viewGroup->setTitle(i18n::tr("View"));
    m_buttons[ZoomInButton]->setText(i18n::tr("Zoom in"));
    m_buttons[ZoomInButton]->setToolTip(i18n::tr("Enlarge the graph."));
    m_buttons[ZoomOutButton]->setText(i18n::tr("Zoom out"));
    m_buttons[ZoomOutButton]->setToolTip(i18n::tr("Shrink the graph."));
    m_buttons[FitButton]->setText(i18n::tr("Fit"));
    m_buttons[FitButton]->setToolTip(i18n::tr("Fit the whole graph into the view."));

    m_graphGroup->setTitle(i18n::tr("Graph settings"));
    m_titleLabel->setText(i18n::tr("Title"));
    m_title->setToolTip(i18n::tr("Text of the graph title."));
    m_xLabelLabel->setText(i18n::tr("X axis"));
    m_xLabel->setToolTip(i18n::tr("Label of the X axis."));
    m_yLabelLabel->setText(i18n::tr("Y axis"));
    m_yLabel->setToolTip(i18n::tr("Label of the Y axis."));
    m_showTitle->setText(i18n::tr("Show title"));
    m_showTitle->setToolTip(i18n::tr("Draw the title above the plot."));
    m_showBlueprint->setText(i18n::tr("Show original blueprint"));
    m_showBlueprint->setToolTip(i18n::tr("Draw the source picture under the plot."));
    m_blueprintOpacityLabel->setText(i18n::tr("Blueprint opacity"));
    m_blueprintOpacity->setToolTip(i18n::tr("Opacity of the source picture under the plot."));
    m_regeneratedOpacityLabel->setText(i18n::tr("Regenerated graph opacity"));
    m_regeneratedOpacity->setToolTip(i18n::tr("Opacity of the redrawn curves, grid and texts."));
    m_showLegend->setText(i18n::tr("Show legend"));
    m_showLegend->setToolTip(i18n::tr("Draw a legend of the curves; drag it to move it."));
    m_smoothingLabel->setText(i18n::tr("Curve smoothing"));
    m_smoothing->setItemText(int(CurveSmoothing::Spline), i18n::tr("Spline"));
    m_smoothing->setItemText(int(CurveSmoothing::ShapePreserving), i18n::tr("Shape-preserving"));
    m_smoothing->setItemText(int(CurveSmoothing::StraightLines), i18n::tr("Straight lines"));
    m_smoothing->setToolTip(
        i18n::tr("How curves run between their points; shape-preserving curves never overshoot."));

    m_limitsGroup->setTitle(i18n::tr("Axis limits"));
    m_xMinLabel->setText(i18n::tr("X min"));
    m_xMin->setToolTip(i18n::tr("Smallest value of the X axis."));
    m_xMaxLabel->setText(i18n::tr("X max"));
    m_xMax->setToolTip(i18n::tr("Largest value of the X axis."));
    m_yMinLabel->setText(i18n::tr("Y min"));
    m_yMin->setToolTip(i18n::tr("Smallest value of the Y axis."));
    m_yMaxLabel->setText(i18n::tr("Y max"));
    m_yMax->setToolTip(i18n::tr("Largest value of the Y axis."));
    m_xLog->setText(i18n::tr("X logarithmic"));
    m_xLog->setToolTip(i18n::tr("Use a logarithmic scale on the X axis."));
    m_yLog->setText(i18n::tr("Y logarithmic"));
    m_yLog->setToolTip(i18n::tr("Use a logarithmic scale on the Y axis."));
    m_buttons[AutoScaleButton]->setText(i18n::tr("Auto-scale axes"));
    m_buttons[AutoScaleButton]->setToolTip(
        i18n::tr("Compute the axis limits from the digitized points and the calibration."));
    m_showGrid->setText(i18n::tr("Show grid"));
    m_showGrid->setToolTip(i18n::tr("Draw grid lines inside the plot."));
    m_gridDivisionsLabel->setText(i18n::tr("Grid divisions"));
    m_gridDivisions->setToolTip(i18n::tr("Number of grid divisions and tick values on each axis."));

    m_sizeGroup->setTitle(i18n::tr("Output size"));
    m_lockAspect->setText(i18n::tr("Lock proportions"));
    m_lockAspect->setToolTip(i18n::tr("Keep width and height proportional when one value changes."));
    m_widthLabel->setText(i18n::tr("Width cm"));
    m_width->setToolTip(i18n::tr("Width of the exported graph in centimetres."));
    m_heightLabel->setText(i18n::tr("Height cm"));
    m_height->setToolTip(i18n::tr("Height of the exported graph in centimetres."));
    m_dpiLabel->setText(i18n::tr("Export DPI"));
    m_dpi->setToolTip(i18n::tr("Resolution of the exported pictures."));
    m_axisDecimalsLabel->setText(i18n::tr("Axis decimals"));
    m_axisDecimals->setToolTip(i18n::tr("Decimals of the tick values."));
    updatePixelSize();

    m_fontsGroup->setTitle(i18n::tr("Text and fonts"));
    m_buttons[TextFontButton]->setText(i18n::tr("Text font..."));
    m_buttons[TextFontButton]->setToolTip(i18n::tr("Font of the selected title or label."));
    m_buttons[AxisValueFontButton]->setText(i18n::tr("Axis value font..."));
    m_buttons[AxisValueFontButton]->setToolTip(i18n::tr("Font of the tick values."));

    m_curvesGroup->setTitle(i18n::tr("Curve style"));
    m_curveTable->retranslate();
    m_labelsGroup->setTitle(i18n::tr("Labels"));
    m_buttons[AddLabelButton]->setText(i18n::tr("Add"));
    m_buttons[AddLabelButton]->setToolTip(i18n::tr("Add a text label to the graph."));
    m_buttons[RemoveLabelButton]->setText(i18n::tr("Remove"));
    m_buttons[RemoveLabelButton]->setToolTip(i18n::tr("Remove the selected label."));
    m_labelsTable->retranslate();

    m_exportsGroup->setTitle(i18n::tr("Exports"));
    m_buttons[ExportPdfButton]->setText(i18n::tr("Export PDF"));
    m_buttons[ExportPdfButton]->setToolTip(i18n::tr("Save the graph as a PDF page."));
    m_buttons[ExportJpgButton]->setText(i18n::tr("Export JPG"));
    m_buttons[ExportJpgButton]->setToolTip(i18n::tr("Save the graph as a JPG picture."));
    m_buttons[ExportSvgButton]->setText(i18n::tr("Export SVG"));
    m_buttons[ExportSvgButton]->setToolTip(i18n::tr("Save the graph as an SVG drawing."));
    m_buttons[ExportExcelButton]->setText(i18n::tr("Export Excel"));
    m_buttons[ExportExcelButton]->setToolTip(
        i18n::tr("Write the curves, resampled on their splines, to an Excel workbook."));
}
