#pragma once

#include "graph/graphsettings.h"

#include <QWidget>

class CurveStyleTable;
class LabelsTable;
class QCheckBox;
class QComboBox;
class LimitField;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;

// The settings column of the regenerated-graph window: every control of the
// graph in its group, the curve style and label tables, and the buttons. It
// holds the values of the fields that have a control; the window keeps the
// rest of the record and reacts to the signals.
class GraphSettingsPanel : public QWidget
{
    Q_OBJECT

public:
    enum Button {
        ZoomInButton,
        ZoomOutButton,
        FitButton,
        AutoScaleButton,
        TextFontButton,
        AxisValueFontButton,
        AddLabelButton,
        RemoveLabelButton,
        ExportPdfButton,
        ExportJpgButton,
        ExportSvgButton,
        ExportExcelButton,
        ButtonCount
    };

    explicit GraphSettingsPanel(QWidget *parent = nullptr);

    // Shows the settings in the controls without announcing any change; the
    // proportion kept by the lock becomes that of the two sizes.
    void setSettings(const GraphSettings &settings);
    // Only the four limit fields, also without announcing it.
    void setAxisLimits(const GraphSettings &settings);
    // Copies the values of the controls into the settings.
    void readInto(GraphSettings &settings) const;
    // Width / height kept while the proportions are locked.
    double aspectRatio() const { return m_aspect; }

    QPushButton *button(Button which) const { return m_buttons[which]; }
    CurveStyleTable *curveTable() const { return m_curveTable; }
    LabelsTable *labelsTable() const { return m_labelsTable; }

public Q_SLOTS:
    void retranslate();

Q_SIGNALS:
    // A control that changes the picture was edited.
    void settingsEdited();
    // A logarithmic box was toggled: the limits are to be recomputed before drawing.
    void autoScaleRequested();

private:
    QGroupBox *buildViewGroup();
    QGroupBox *buildGraphGroup();
    QGroupBox *buildLimitsGroup();
    QGroupBox *buildSizeGroup();
    QGroupBox *buildFontsGroup();
    QGroupBox *buildCurvesGroup();
    QGroupBox *buildLabelsGroup();
    QGroupBox *buildExportsGroup();
    QPushButton *makeButton(Button which, const char *objectName);
    void connectEdits();
    void widthChanged(double width);
    void heightChanged(double height);
    void lockToggled(bool locked);
    void updateLockIcon();
    void updatePixelSize();

    QGroupBox *m_viewGroup = nullptr;
    QGroupBox *m_graphGroup = nullptr;
    QGroupBox *m_limitsGroup = nullptr;
    QGroupBox *m_sizeGroup = nullptr;
    QGroupBox *m_fontsGroup = nullptr;
    QGroupBox *m_curvesGroup = nullptr;
    QGroupBox *m_labelsGroup = nullptr;
    QGroupBox *m_exportsGroup = nullptr;

    QLabel *m_titleLabel = nullptr;
    QLabel *m_xLabelLabel = nullptr;
    QLabel *m_yLabelLabel = nullptr;
    QLabel *m_blueprintOpacityLabel = nullptr;
    QLabel *m_regeneratedOpacityLabel = nullptr;
    QLabel *m_xMinLabel = nullptr;
    QLabel *m_xMaxLabel = nullptr;
    QLabel *m_yMinLabel = nullptr;
    QLabel *m_yMaxLabel = nullptr;
    QLabel *m_gridDivisionsLabel = nullptr;
    QLabel *m_widthLabel = nullptr;
    QLabel *m_heightLabel = nullptr;
    QLabel *m_dpiLabel = nullptr;
    QLabel *m_axisDecimalsLabel = nullptr;
    QLabel *m_pixelSize = nullptr;
    QLabel *m_smoothingLabel = nullptr;

    QLineEdit *m_title = nullptr;
    QLineEdit *m_xLabel = nullptr;
    QLineEdit *m_yLabel = nullptr;
    QCheckBox *m_showTitle = nullptr;
    QCheckBox *m_showBlueprint = nullptr;
    QSlider *m_blueprintOpacity = nullptr;
    QSlider *m_regeneratedOpacity = nullptr;
    QCheckBox *m_showLegend = nullptr;
    QComboBox *m_smoothing = nullptr;
    LimitField *m_xMin = nullptr;
    LimitField *m_xMax = nullptr;
    LimitField *m_yMin = nullptr;
    LimitField *m_yMax = nullptr;
    QCheckBox *m_xLog = nullptr;
    QCheckBox *m_yLog = nullptr;
    QCheckBox *m_showGrid = nullptr;
    QSpinBox *m_gridDivisions = nullptr;
    QToolButton *m_lockAspect = nullptr;
    QDoubleSpinBox *m_width = nullptr;
    QDoubleSpinBox *m_height = nullptr;
    QSpinBox *m_dpi = nullptr;
    QSpinBox *m_axisDecimals = nullptr;
    CurveStyleTable *m_curveTable = nullptr;
    LabelsTable *m_labelsTable = nullptr;
    QPushButton *m_buttons[ButtonCount] = {};

    double m_aspect = 20.0 / 12.5;
    bool m_coupling = false; // a size field is being set from the other one
};
