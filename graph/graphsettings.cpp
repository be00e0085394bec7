#include "graph/graphsettings.h"

#include "core/model/axisticks.h"
#include "core/model/calibration.h"
#include "core/model/curve.h"
#include "core/model/projectmodel.h"
#include "graph/plotgeometry.h"
#include "i18n/localization.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

using namespace graphlimits;

// One JSON key of the record: how it is written and how it is read back.
struct Field
{
    QString key;
    std::function<QJsonValue(const GraphSettings &)> write;
    std::function<void(GraphSettings &, const QJsonValue &)> read;
};

QJsonValue fontJson(const QFont &font)
{
    return QJsonObject{{QStringLiteral("description"), font.toString()}};
}

QFont fontFromJson(const QJsonValue &value, const QFont &fallback)
{
    const QJsonValue description = value.toObject().value(QStringLiteral("description"));
    QFont font;
    if (!description.isString() || !font.fromString(description.toString()))
        return fallback;
    return font;
}

QJsonValue pointJson(const QPointF &point)
{
    return QJsonObject{{QStringLiteral("x"), point.x()}, {QStringLiteral("y"), point.y()}};
}

double finiteNumber(const QJsonValue &value, double fallback)
{
    return value.isDouble() && std::isfinite(value.toDouble()) ? value.toDouble() : fallback;
}

QPointF pointFromJson(const QJsonValue &value, const QPointF &fallback)
{
    if (!value.isObject())
        return fallback;
    const QJsonObject object = value.toObject();
    return QPointF(finiteNumber(object.value(QStringLiteral("x")), fallback.x()),
                   finiteNumber(object.value(QStringLiteral("y")), fallback.y()));
}

int integerFromJson(const QJsonValue &value, int fallback)
{
    // toInt refuses numbers that are not whole (and those beyond int).
    return value.isDouble() ? value.toInt(fallback) : fallback;
}

QJsonObject labelJson(const GraphLabel &label)
{
    return {{QStringLiteral("text"), label.text},
            {QStringLiteral("pos"), pointJson(label.pos)},
            {QStringLiteral("font"), fontJson(label.font)},
            {QStringLiteral("color"), label.color.name(QColor::HexArgb)},
            {QStringLiteral("rotation"), label.rotation},
            {QStringLiteral("visible"), label.visible}};
}

GraphLabel labelFromJson(const QJsonObject &object)
{
    const GraphLabel fallback; // empty text at (0, 0), default font, opaque black, upright, visible
    GraphLabel label;
    const QJsonValue text = object.value(QStringLiteral("text"));
    label.text = text.isString() ? text.toString() : fallback.text;
    label.pos = pointFromJson(object.value(QStringLiteral("pos")), fallback.pos);
    label.font = fontFromJson(object.value(QStringLiteral("font")), fallback.font);
    const QColor color = QColor::fromString(object.value(QStringLiteral("color")).toString());
    // Kept at the 8 bits per channel that "#aarrggbb" stores, so that a colour
    // written with more digits ("#rrrgggbbb") reads back as itself.
    label.color = color.isValid() ? QColor::fromRgba(color.rgba()) : fallback.color;
    label.rotation = integerFromJson(object.value(QStringLiteral("rotation")), fallback.rotation);
    const QJsonValue visible = object.value(QStringLiteral("visible"));
    label.visible = visible.isBool() ? visible.toBool() : fallback.visible;
    return label;
}

Field textField(const char *key, QString GraphSettings::*member)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return QJsonValue(s.*member); },
            [member](GraphSettings &s, const QJsonValue &v) {
                if (v.isString())
                    s.*member = v.toString();
            }};
}

Field boolField(const char *key, bool GraphSettings::*member)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return QJsonValue(s.*member); },
            [member](GraphSettings &s, const QJsonValue &v) {
                if (v.isBool())
                    s.*member = v.toBool();
            }};
}

Field integerField(const char *key, int GraphSettings::*member, int minimum, int maximum)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return QJsonValue(s.*member); },
            [member, minimum, maximum](GraphSettings &s, const QJsonValue &v) {
                s.*member = std::clamp(integerFromJson(v, s.*member), minimum, maximum);
            }};
}

Field realField(const char *key, double GraphSettings::*member, int decimals, double minimum, double maximum)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return QJsonValue(s.*member); },
            [member, decimals, minimum, maximum](GraphSettings &s, const QJsonValue &v) {
                s.*member = fieldValue(finiteNumber(v, s.*member), decimals, minimum, maximum);
            }};
}

Field limitField(const char *key, double GraphSettings::*member)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return QJsonValue(s.*member); },
            [member](GraphSettings &s, const QJsonValue &v) {
                s.*member = axisLimitValue(finiteNumber(v, s.*member));
            }};
}

Field fontField(const char *key, QFont GraphSettings::*member)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return fontJson(s.*member); },
            [member](GraphSettings &s, const QJsonValue &v) { s.*member = fontFromJson(v, s.*member); }};
}

Field pointField(const char *key, QPointF GraphSettings::*member)
{
    return {QString::fromLatin1(key), [member](const GraphSettings &s) { return pointJson(s.*member); },
            [member](GraphSettings &s, const QJsonValue &v) { s.*member = pointFromJson(v, s.*member); }};
}

const QStringList &smoothingNames()
{
    // In the order of CurveSmoothing.
    static const QStringList names = {QStringLiteral("spline"), QStringLiteral("shapePreserving"),
                                      QStringLiteral("straightLines")};
    return names;
}

Field smoothingField()
{
    return {QStringLiteral("curveSmoothing"),
            [](const GraphSettings &s) { return QJsonValue(smoothingNames().at(int(s.curveSmoothing))); },
            [](GraphSettings &s, const QJsonValue &v) {
                const qsizetype index = smoothingNames().indexOf(v.toString());
                if (index >= 0)
                    s.curveSmoothing = CurveSmoothing(index);
            }};
}

Field labelsField()
{
    return {QStringLiteral("labels"),
            [](const GraphSettings &s) {
                QJsonArray labels;
                for (const GraphLabel &label : s.labels)
                    labels.append(labelJson(label));
                return QJsonValue(labels);
            },
            [](GraphSettings &s, const QJsonValue &v) {
                if (!v.isArray())
                    return;
                // Entries that are not objects carry nothing to show and are left out.
                s.labels.clear();
                for (const QJsonValue &entry : v.toArray()) {
                    if (entry.isObject())
                        s.labels.append(labelFromJson(entry.toObject()));
                }
            }};
}

const std::vector<Field> &fields()
{
    using S = GraphSettings;
    static const std::vector<Field> table = {
        textField("title", &S::title),
        textField("xLabel", &S::xLabel),
        textField("yLabel", &S::yLabel),
        boolField("showTitle", &S::showTitle),
        boolField("showBlueprint", &S::showBlueprint),
        integerField("blueprintOpacity", &S::blueprintOpacity, minimumOpacity, maximumOpacity),
        integerField("regeneratedOpacity", &S::regeneratedOpacity, minimumOpacity, maximumOpacity),
        limitField("xMin", &S::xMin),
        limitField("xMax", &S::xMax),
        limitField("yMin", &S::yMin),
        limitField("yMax", &S::yMax),
        boolField("xLog", &S::xLog),
        boolField("yLog", &S::yLog),
        realField("widthCm", &S::widthCm, sizeDecimals, minimumSizeCm, maximumSizeCm),
        realField("heightCm", &S::heightCm, sizeDecimals, minimumSizeCm, maximumSizeCm),
        integerField("dpi", &S::dpi, minimumDpi, maximumDpi),
        integerField("axisDecimals", &S::axisDecimals, minimumAxisDecimals, maximumAxisDecimals),
        boolField("showGrid", &S::showGrid),
        integerField("gridDivisions", &S::gridDivisions, minimumGridDivisions, maximumGridDivisions),
        boolField("lockAspect", &S::lockAspect),
        fontField("textFont", &S::textFont),
        fontField("titleFont", &S::titleFont),
        fontField("xLabelFont", &S::xLabelFont),
        fontField("yLabelFont", &S::yLabelFont),
        fontField("axisValueFont", &S::axisValueFont),
        pointField("titlePos", &S::titlePos),
        pointField("xLabelPos", &S::xLabelPos),
        pointField("yLabelPos", &S::yLabelPos),
        boolField("textLayoutInitialized", &S::textLayoutInitialized),
        labelsField(),
        smoothingField(),
        boolField("showLegend", &S::showLegend),
        fontField("legendFont", &S::legendFont),
        pointField("legendPos", &S::legendPos),
        boolField("legendPlaced", &S::legendPlaced),
        boolField("titleMoved", &S::titleMoved),
        boolField("xLabelMoved", &S::xLabelMoved),
        boolField("yLabelMoved", &S::yLabelMoved),
        boolField("legendMoved", &S::legendMoved),
    };
    return table;
}

// Exact comparison: QPointF's own operator== is fuzzy, and a record that was
// stored and read back must come back to the bit.
bool samePoint(const QPointF &a, const QPointF &b)
{
    return a.x() == b.x() && a.y() == b.y();
}

// |a - b| * 1e12 <= min(|a|, |b|): equal for the purpose of widening a range.
bool relativelyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

struct Span
{
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void include(double v)
    {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

// The automatic limits of one axis around the span: widened when it is a
// single value, then out to round values (multiples of the tick step, or
// whole decades on a logarithmic axis).
std::pair<double, double> roundedLimits(Span span, bool logarithmic, int divisions)
{
    if (relativelyEqual(span.lo, span.hi)) {
        const double pad = logarithmic ? std::max(1e-9, 0.1 * span.lo) : 1.0;
        span.lo -= pad;
        span.hi += pad;
    }
    if (logarithmic) {
        const double lo = std::pow(10.0, std::floor(std::log10(span.lo) + 1e-9));
        const double hi = std::pow(10.0, std::ceil(std::log10(span.hi) - 1e-9));
        return {std::max(lo, 1e-12), std::min(hi, maximumAxisValue)};
    }
    const double step = niceStep(span.hi - span.lo, std::max(1, divisions));
    const double lo = std::floor(span.lo / step + 1e-9) * step;
    const double hi = std::ceil(span.hi / step - 1e-9) * step;
    return {std::max(lo, minimumAxisValue), std::min(hi, maximumAxisValue)};
}

// Records written before texts knew whether the user had moved them hold
// every text's place: a text away from where those versions put it by
// default was dragged there.
void takeOlderTextPlaces(GraphSettings &s, const QJsonObject &stored)
{
    if (!s.textLayoutInitialized || stored.contains(QStringLiteral("titleMoved")))
        return;
    const QSize size = outputPixelSize(s);
    const double mm = s.dpi / 25.4;
    const auto moved = [](const QPointF &at, const QPointF &standard) {
        return std::abs(at.x() - standard.x()) > 1.0 || std::abs(at.y() - standard.y()) > 1.0;
    };
    s.titleMoved = moved(s.titlePos, QPointF(size.width() * 0.42, 3.0 * mm));
    s.xLabelMoved = moved(s.xLabelPos, QPointF(size.width() * 0.48, size.height() - 9.0 * mm));
    s.yLabelMoved = moved(s.yLabelPos, QPointF(2.0 * mm, size.height() * 0.55));
}

void setLimits(GraphSettings &s, double xMin, double xMax, double yMin, double yMax)
{
    s.xMin = axisLimitValue(xMin);
    s.xMax = axisLimitValue(xMax);
    s.yMin = axisLimitValue(yMin);
    s.yMax = axisLimitValue(yMax);
}

} // namespace

QFont graphFont(double pointSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    return font;
}

QFont defaultGraphFont()
{
    return graphFont(labelPointSize);
}

// Fonts are the same setting when they are stored alike: QFont's own
// comparison also sees which attributes were set explicitly, which a damaged
// description and its rewritten form can disagree on.
bool sameFont(const QFont &a, const QFont &b)
{
    return a.toString() == b.toString();
}

bool operator==(const GraphLabel &a, const GraphLabel &b)
{
    return a.text == b.text && samePoint(a.pos, b.pos) && sameFont(a.font, b.font) && a.color == b.color &&
           a.rotation == b.rotation && a.visible == b.visible;
}

bool operator==(const GraphSettings &a, const GraphSettings &b)
{
    return a.title == b.title && a.xLabel == b.xLabel && a.yLabel == b.yLabel && a.showTitle == b.showTitle &&
           a.showBlueprint == b.showBlueprint && a.blueprintOpacity == b.blueprintOpacity &&
           a.regeneratedOpacity == b.regeneratedOpacity && a.xMin == b.xMin && a.xMax == b.xMax &&
           a.yMin == b.yMin && a.yMax == b.yMax && a.xLog == b.xLog && a.yLog == b.yLog &&
           a.xDate == b.xDate && a.yDate == b.yDate && a.widthCm == b.widthCm && a.heightCm == b.heightCm &&
           a.dpi == b.dpi && a.axisDecimals == b.axisDecimals && a.showGrid == b.showGrid &&
           a.gridDivisions == b.gridDivisions && a.lockAspect == b.lockAspect &&
           sameFont(a.textFont, b.textFont) && sameFont(a.titleFont, b.titleFont) &&
           sameFont(a.xLabelFont, b.xLabelFont) && sameFont(a.yLabelFont, b.yLabelFont) &&
           sameFont(a.axisValueFont, b.axisValueFont) && samePoint(a.titlePos, b.titlePos) &&
           samePoint(a.xLabelPos, b.xLabelPos) && samePoint(a.yLabelPos, b.yLabelPos) &&
           a.textLayoutInitialized == b.textLayoutInitialized && a.labels == b.labels &&
           a.curveSmoothing == b.curveSmoothing && a.showLegend == b.showLegend &&
           sameFont(a.legendFont, b.legendFont) && samePoint(a.legendPos, b.legendPos) &&
           a.legendPlaced == b.legendPlaced && a.titleMoved == b.titleMoved &&
           a.xLabelMoved == b.xLabelMoved && a.yLabelMoved == b.yLabelMoved && a.legendMoved == b.legendMoved;
}

QJsonObject GraphSettings::toJson() const
{
    QJsonObject object;
    for (const Field &field : fields())
        object.insert(field.key, field.write(*this));
    return object;
}

void GraphSettings::applyJson(const QJsonObject &object)
{
    for (const Field &field : fields()) {
        const auto found = object.constFind(field.key);
        if (found != object.constEnd())
            field.read(*this, found.value());
    }
}

QStringList graphSettingsKeys()
{
    QStringList keys;
    for (const Field &field : fields())
        keys.append(field.key);
    return keys;
}

double fieldValue(double value, int decimals, double minimum, double maximum)
{
    // QDoubleSpinBox rounds through this very text before it bounds the value.
    const double rounded = QString::number(value, 'f', decimals).toDouble();
    return std::clamp(rounded, minimum, maximum);
}

double axisLimitValue(double value)
{
    const double rounded = QString::number(value, 'g', axisValueDigits).toDouble();
    return std::clamp(rounded, minimumAxisValue, maximumAxisValue);
}

bool axesValid(const GraphSettings &s)
{
    return s.xMin < s.xMax && s.yMin < s.yMax && (!s.xLog || s.xMin > 0.0) && (!s.yLog || s.yMin > 0.0);
}

QString axisProblem(const GraphSettings &s)
{
    // The ends must differ in their first twelve digits (on a log axis, in
    // their logarithms), and the distance between them must be a number.
    const auto drawable = [](double low, double high, bool logarithmic) {
        const double a = logarithmic ? std::log10(low) : low;
        const double b = logarithmic ? std::log10(high) : high;
        const double span = b - a;
        return std::isfinite(span) && span > 1e-12 * std::max(std::abs(a), std::abs(b));
    };
    const auto message = [](const QString &axis, double low, double high) {
        return i18n::tr("The %1 axis cannot be drawn from %2 to %3: the limits are too close together "
                        "for numbers of that size, or too far apart.")
            .arg(axis, QString::number(low, 'g', 17), QString::number(high, 'g', 17));
    };
    if (!drawable(s.xMin, s.xMax, s.xLog))
        return message(QStringLiteral("X"), s.xMin, s.xMax);
    if (!drawable(s.yMin, s.yMax, s.yLog))
        return message(QStringLiteral("Y"), s.yMin, s.yMax);
    return QString();
}

QSize outputPixelSize(const GraphSettings &s)
{
    // std::round goes half away from zero.
    const auto pixels = [&s](double cm) { return std::max(1, int(std::round(cm / 2.54 * s.dpi))); };
    return QSize(pixels(s.widthCm), pixels(s.heightCm));
}

void autoScaleAxes(GraphSettings &s, const Calibration &calibration, const QList<Curve> &curves)
{
    Span x;
    Span y;
    const auto include = [](Span &span, double value, bool logarithmic) {
        if (std::isfinite(value) && (!logarithmic || value > 0.0))
            span.include(value);
    };
    for (const Curve &curve : curves) {
        if (!curve.visible)
            continue;
        for (const CurvePoint &point : curve.points) {
            // A point counts only where both of its coordinates can be shown.
            if ((s.xLog && point.real.x() <= 0.0) || (s.yLog && point.real.y() <= 0.0))
                continue;
            include(x, point.real.x(), s.xLog);
            include(y, point.real.y(), s.yLog);
        }
    }
    // The calibrated range belongs to the chart the user digitized.
    if (calibration.isAxisXValid()) {
        include(x, calibration.xValue1, s.xLog);
        include(x, calibration.xValue2, s.xLog);
    }
    if (calibration.isAxisYValid()) {
        include(y, calibration.yValue1, s.yLog);
        include(y, calibration.yValue2, s.yLog);
    }
    // An axis with nothing to go by keeps its limits.
    // Date axes end on whole calendar units rather than round numbers of seconds.
    const auto limits = [&s](const Span &span, bool logarithmic, bool date, double low, double high) {
        if (!(span.lo <= span.hi))
            return std::pair(low, high);
        return date ? calendarLimits(span.lo, span.hi) : roundedLimits(span, logarithmic, s.gridDivisions);
    };
    auto [xMin, xMax] = limits(x, s.xLog, s.xDate, s.xMin, s.xMax);
    auto [yMin, yMax] = limits(y, s.yLog, s.yDate, s.yMin, s.yMax);
    setLimits(s, xMin, xMax, yMin, yMax);
}

void autoScaleAxes(GraphSettings &settings, const ProjectModel &model)
{
    autoScaleAxes(settings, model.calibration(), model.curves());
}

GraphSettings initialGraphSettings(const ProjectModel &model)
{
    GraphSettings settings;
    settings.xDate = model.calibration().xKind == AxisKind::Date;
    settings.yDate = model.calibration().yKind == AxisKind::Date;
    const QJsonObject stored = model.regeneratedGraphSettings();
    if (stored.isEmpty()) {
        settings.xLog = model.calibration().xLogScale;
        settings.yLog = model.calibration().yLogScale;
        autoScaleAxes(settings, model);
        return settings;
    }
    // Graphs stored before the choice existed were drawn with the spline.
    settings.curveSmoothing = CurveSmoothing::Spline;
    settings.applyJson(stored);
    settings.xLog = settings.xLog && !settings.xDate;
    settings.yLog = settings.yLog && !settings.yDate;
    // A limit the record lacks (one written by another program, or older) comes from the data.
    GraphSettings scaled = settings;
    autoScaleAxes(scaled, model);
    const std::pair<const char *, double GraphSettings::*> limits[] = {{"xMin", &GraphSettings::xMin},
                                                                       {"xMax", &GraphSettings::xMax},
                                                                       {"yMin", &GraphSettings::yMin},
                                                                       {"yMax", &GraphSettings::yMax}};
    for (const auto &[key, limit] : limits) {
        if (!stored.value(QLatin1String(key)).isDouble())
            settings.*limit = scaled.*limit;
    }
    takeOlderTextPlaces(settings, stored);
    return settings;
}

namespace {

// One coordinate of followOutputSize: fixed before the plot, proportional
// across it, fixed to the far edge after it.
double followCoordinate(double v, double plotStart, double oldPlotEnd, double newPlotEnd, double oldExtent,
                        double newExtent)
{
    if (oldPlotEnd <= plotStart || newPlotEnd <= plotStart)
        return v * newExtent / oldExtent; // no plot to follow in a graph this small
    if (v <= plotStart)
        return v;
    if (v >= oldPlotEnd)
        return v + (newExtent - oldExtent);
    return plotStart + (v - plotStart) * (newPlotEnd - plotStart) / (oldPlotEnd - plotStart);
}

} // namespace

void followOutputSize(GraphSettings &s, const QSize &oldSize, int oldDpi, const QSize &newSize)
{
    if (!s.textLayoutInitialized || oldSize.isEmpty() || oldDpi <= 0 ||
        (oldSize == newSize && oldDpi == s.dpi))
        return;
    // Another DPI draws the same graph finer: everything scales with it first.
    const double dpiScale = double(s.dpi) / oldDpi;
    const QSize scaled(int(std::round(oldSize.width() * dpiScale)),
                       int(std::round(oldSize.height() * dpiScale)));
    if (dpiScale != 1.0) {
        s.titlePos *= dpiScale;
        s.xLabelPos *= dpiScale;
        s.yLabelPos *= dpiScale;
        s.legendPos *= dpiScale;
        for (GraphLabel &label : s.labels)
            label.pos *= dpiScale;
    }
    if (scaled == newSize)
        return;
    const QRectF before = plotRectangle(scaled, s.dpi);
    const QRectF after = plotRectangle(newSize, s.dpi);
    const auto follow = [&](QPointF &p) {
        p = QPointF(followCoordinate(p.x(), before.left(), before.right(), after.right(), scaled.width(),
                                     newSize.width()),
                    followCoordinate(p.y(), before.top(), before.bottom(), after.bottom(), scaled.height(),
                                     newSize.height()));
    };
    follow(s.titlePos);
    follow(s.xLabelPos);
    follow(s.yLabelPos);
    follow(s.legendPos);
    for (GraphLabel &label : s.labels)
        follow(label.pos);
}
