#include "window/calibrationprompt.h"

#include "core/model/projectmodel.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"
#include "prompts/axisvaluesdialog.h"
#include "prompts/userprompts.h"

#include <QLocale>

#include <cmath>

namespace {

// The end of the segment farther from the origin; the first end on a tie.
QPointF farEnd(const QLineF &segment, const QPointF &origin)
{
    return QLineF(origin, segment.p2()).length() > QLineF(origin, segment.p1()).length() ? segment.p2()
                                                                                         : segment.p1();
}

bool parseWith(QLocale locale, const QString &text, double *value)
{
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double parsed = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

QString valueText(double value)
{
    return QLocale::c().toString(value, 'g', 15);
}

void warn(UserPrompts &prompts, QWidget *parent, const QString &text)
{
    prompts.warning(parent, i18n::tr("Calibration"), text);
}

// The origin shortcut: with 0 typed at the first mark of two linear axes, the
// crossing of the axis lines becomes exactly (0, 0).
bool startsAtOrigin(const Calibration &calibration)
{
    // An axis fitted through its marks is already where they put it.
    return !calibration.xLogScale && !calibration.yLogScale && calibration.xValue1 == 0.0 &&
           calibration.yValue1 == 0.0 && calibration.xMarks.isEmpty() && calibration.yMarks.isEmpty();
}

void reanchorAtOrigin(ProjectModel &model, UserPrompts &prompts, QWidget *parent)
{
    const Calibration calibration = model.calibration();
    const ReanchoredAxes axes = reanchorAtCrossing(calibration);
    if (axes.problem == ReanchoredAxes::NoCrossing) {
        warn(prompts, parent,
             i18n::tr("The X and Y axis lines must intersect at the graph origin. Extend or recalibrate "
                      "the axis that does not reach zero."));
        return;
    }
    if (axes.problem == ReanchoredAxes::OriginAtEndpoint) {
        warn(prompts, parent,
             i18n::tr("The axis origin is too close to an axis endpoint. Select a longer calibration "
                      "segment."));
        return;
    }
    // The value typed at the second mark belongs to the far end; when the 0
    // mark is the far one, moving it would swap the values the user gave.
    if (axes.axisX.p2() != calibration.axisXLine.p2() || axes.axisY.p2() != calibration.axisYLine.p2())
        return;
    model.setAxisX(axes.axisX, 0.0, calibration.xValue2);
    model.setAxisY(axes.axisY, 0.0, calibration.yValue2);
}

} // namespace

ReanchoredAxes reanchorAtCrossing(const Calibration &calibration)
{
    ReanchoredAxes result;
    QPointF origin;
    if (calibration.axisXLine.intersects(calibration.axisYLine, &origin) != QLineF::BoundedIntersection) {
        result.problem = ReanchoredAxes::NoCrossing;
        return result;
    }
    result.axisX = QLineF(origin, farEnd(calibration.axisXLine, origin));
    result.axisY = QLineF(origin, farEnd(calibration.axisYLine, origin));
    if (result.axisX.length() <= 1.0 || result.axisY.length() <= 1.0)
        result.problem = ReanchoredAxes::OriginAtEndpoint;
    return result;
}

bool parseTypedNumber(const QString &text, const QLocale &interfaceLocale, double *value)
{
    const QString trimmed = text.trimmed();
    return !trimmed.isEmpty() &&
           (parseWith(QLocale::c(), trimmed, value) || parseWith(interfaceLocale, trimmed, value));
}

namespace {

// The typed values when they define an axis; otherwise the reason, for a warning.
QString readAxisValues(const AxisValuesAnswer &typed, double *first, double *second)
{
    const QLocale interfaceLocale(i18n::languageCode(i18n::Localization::instance().language()));
    if (!parseTypedNumber(typed.valueAtFirstMark, interfaceLocale, first) ||
        !parseTypedNumber(typed.valueAtSecondMark, interfaceLocale, second))
        return i18n::tr("Type a number at each mark, for example 2.5 or 1e-3.");
    if (fuzzyEqual(*first, *second))
        return i18n::tr("The two values must differ.");
    if (typed.logScale && !(*first > 0.0 && *second > 0.0))
        return i18n::tr("A logarithmic axis needs values greater than zero.");
    return {};
}

} // namespace

void promptForAxisValues(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                         const QLineF &line)
{
    if (!(line.length() > 1e-9)) {
        warn(prompts, parent, i18n::tr("The two marks are at the same place. Mark the axis again."));
        return;
    }
    const Calibration &current = model.calibration();
    AxisValuesAnswer typed{QStringLiteral("0"), QStringLiteral("1"), false};
    if (xAxis && current.axisXValid)
        typed = {valueText(current.xValue1), valueText(current.xValue2), current.xLogScale};
    else if (!xAxis && current.axisYValid)
        typed = {valueText(current.yValue1), valueText(current.yValue2), current.yLogScale};
    double first = 0.0;
    double second = 0.0;
    // A value that cannot be used is asked for again, the marks and the text kept.
    for (;;) {
        if (!prompts.axisValues(parent, xAxis, typed, &typed))
            return;
        const QString problem = readAxisValues(typed, &first, &second);
        if (problem.isEmpty())
            break;
        warn(prompts, parent, problem);
    }
    // The origin re-anchoring below belongs to the same undo step.
    const RecordedChange change(&model, xAxis ? i18n::tr("Calibrate X axis") : i18n::tr("Calibrate Y axis"),
                                {&ProjectModel::calibrationChanged, &ProjectModel::pointsChanged});
    if (xAxis)
        model.setAxisX(line, first, second, typed.logScale);
    else
        model.setAxisY(line, first, second, typed.logScale);

    const Calibration &calibration = model.calibration();
    if (calibration.isAxisXValid() && calibration.isAxisYValid() && startsAtOrigin(calibration))
        reanchorAtOrigin(model, prompts, parent);
}

void promptForMarkValue(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                        const QPointF &pixel)
{
    const Calibration &calibration = model.calibration();
    QList<CalibrationMark> marks = calibration.marks(xAxis);
    const bool logScale = xAxis ? calibration.xLogScale : calibration.yLogScale;
    bool ok = false;
    const QPointF real = calibration.pixelToReal(pixel, &ok);
    QString typed = ok ? QLocale::c().toString(xAxis ? real.x() : real.y(), 'g', 6) : QString();
    const QLocale interfaceLocale(i18n::languageCode(i18n::Localization::instance().language()));
    for (;;) {
        if (!prompts.text(parent, i18n::tr("Calibration"), i18n::tr("Value at this mark"), typed, &typed))
            return;
        double value = 0.0;
        QString problem;
        if (!parseTypedNumber(typed, interfaceLocale, &value))
            problem = i18n::tr("Type a number at each mark, for example 2.5 or 1e-3.");
        else if (logScale && !(value > 0.0))
            problem = i18n::tr("A logarithmic axis needs values greater than zero.");
        else if (model.setAxisMarks(xAxis, marks + QList<CalibrationMark>{{pixel, value}}, logScale))
            return;
        else
            problem = i18n::tr("These marks define no axis: they need different values at different places.");
        warn(prompts, parent, problem);
    }
}
