#pragma once

#include "core/model/spline.h"

#include <QColor>
#include <QFont>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

class ProjectModel;
struct Calibration;
struct Curve;

// Ranges of the settings. The window's controls are built from the same
// constants, so a value that went through applyJson is one the controls can
// show unchanged.
namespace graphlimits {
constexpr int minimumOpacity = 5;
constexpr int maximumOpacity = 100;
// Any finite limit; axisProblem refuses the ranges a plot cannot draw.
constexpr double minimumAxisValue = -1.7976931348623157e308;
constexpr double maximumAxisValue = 1.7976931348623157e308;
constexpr int axisValueDigits = 12; // significant digits of an axis limit
constexpr double minimumSizeCm = 1.0;
constexpr double maximumSizeCm = 200.0;
constexpr int sizeDecimals = 2;
constexpr int minimumDpi = 72;
constexpr int maximumDpi = 1200;
constexpr int minimumAxisDecimals = 0;
constexpr int maximumAxisDecimals = 12;
constexpr int minimumGridDivisions = 1;
constexpr int maximumGridDivisions = 100;
} // namespace graphlimits

// The fonts of a fresh graph, largest for the title and smallest for the
// tick values, as journals set figures: title 12 pt, axis labels, free
// labels and general text 10 pt, tick values and legend 9 pt, all Arial.
constexpr double titlePointSize = 12.0;
constexpr double labelPointSize = 10.0;
constexpr double valuePointSize = 9.0;
QFont graphFont(double pointSize);
// The text font of a fresh graph and of labels without a stored font.
QFont defaultGraphFont();

// A free text of the regenerated graph.
struct GraphLabel
{
    QString text;
    QPointF pos;
    QFont font = defaultGraphFont();
    QColor color = QColor(0, 0, 0);
    int rotation = 0; // degrees
    bool visible = true;

    friend bool operator==(const GraphLabel &a, const GraphLabel &b);
    friend bool operator!=(const GraphLabel &a, const GraphLabel &b) { return !(a == b); }
};

// Everything the user sets for the regenerated graph; stored in the project
// as one JSON object.
struct GraphSettings
{
    QString title = QStringLiteral("Title");
    QString xLabel = QStringLiteral("X");
    QString yLabel = QStringLiteral("Y");
    bool showTitle = true;
    bool showBlueprint = false;
    int blueprintOpacity = 35;    // percent
    int regeneratedOpacity = 100; // percent
    // Real units. autoScaleAxes normally replaces these before the first drawing.
    double xMin = 0.0;
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
    bool xLog = false;
    bool yLog = false;
    // Date axes (limits in seconds since 1970-01-01 UTC, calendar ticks). They
    // follow the calibration and are not stored with the settings.
    bool xDate = false;
    bool yDate = false;
    double widthCm = 20.0;
    double heightCm = 12.5;
    int dpi = 300;
    int axisDecimals = 0;
    bool showGrid = true;
    int gridDivisions = 10;
    bool lockAspect = true;
    QFont textFont = defaultGraphFont();
    QFont titleFont = graphFont(titlePointSize);
    QFont xLabelFont = graphFont(labelPointSize);
    QFont yLabelFont = graphFont(labelPointSize);
    QFont axisValueFont = graphFont(valuePointSize);
    // Scene positions of the three texts: where the layout put them, or,
    // once the user dragged one (its ...Moved flag), where the user did.
    QPointF titlePos;
    QPointF xLabelPos;
    QPointF yLabelPos;
    bool textLayoutInitialized = false;
    bool titleMoved = false;
    bool xLabelMoved = false;
    bool yLabelMoved = false;
    QList<GraphLabel> labels;
    // Fresh graphs draw shape-preserving curves; a stored record without the
    // key keeps the spline it was drawn with (see initialGraphSettings).
    CurveSmoothing curveSmoothing = CurveSmoothing::ShapePreserving;
    bool showLegend = true;
    QFont legendFont = graphFont(valuePointSize);
    QPointF legendPos; // scene position, valid once legendPlaced is set
    bool legendPlaced = false;
    bool legendMoved = false; // dragged by the user: legendPos is kept

    // Every key, in the order of graphSettingsKeys().
    QJsonObject toJson() const;
    // Takes every key of the object that holds a value of the right type and
    // keeps the current value for the others, so a partial object changes only
    // what it holds. Values are brought into their ranges and rounded to the
    // decimals of their fields as the window's number fields do.
    void applyJson(const QJsonObject &object);

    friend bool operator==(const GraphSettings &a, const GraphSettings &b);
    friend bool operator!=(const GraphSettings &a, const GraphSettings &b) { return !(a == b); }
};

QStringList graphSettingsKeys();

// What a number field with that many decimals and that range holds after
// being given value.
double fieldValue(double value, int decimals, double minimum, double maximum);

// What an axis limit field holds after being given value: 12 significant
// digits, so 1e-12 and 2.5e6 alike, within the limit range.
double axisLimitValue(double value);

// Limits, scales and log-positivity agree, so a plot can be drawn.
bool axesValid(const GraphSettings &settings);

// Why valid axes still cannot be drawn, naming the limit (a range too
// narrow for the precision of its values, or too wide for a double); empty
// when they can.
QString axisProblem(const GraphSettings &settings);

// The output size in pixels at the export DPI; the scene has exactly this size.
QSize outputPixelSize(const GraphSettings &settings);

// The automatic axis limits: every visible point and the calibrated values
// at both marks, out to round values (whole decades on logarithmic axes,
// which count only values above zero). An axis with nothing to go by keeps
// its limits.
void autoScaleAxes(GraphSettings &settings, const Calibration &calibration, const QList<Curve> &curves);
void autoScaleAxes(GraphSettings &settings, const ProjectModel &model);

// The settings of a freshly opened regenerated-graph window on this model:
// the stored object over the defaults, or the defaults with automatic limits
// when the model holds none. Window and batch exports both start here.
GraphSettings initialGraphSettings(const ProjectModel &model);

// Moves the texts along when the output size changes, so that they keep
// their places: a text in a margin keeps its distance from that edge of the
// graph (the margins do not grow), a text over the plot keeps its place
// relative to the plot and so stays beside the same data.
// A change of DPI alone scales every position with it.
void followOutputSize(GraphSettings &settings, const QSize &oldSize, int oldDpi, const QSize &newSize);
