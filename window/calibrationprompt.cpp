#include "window/calibrationprompt.h"

#include "core/model/projectmodel.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"
#include "prompts/axisvaluesdialog.h"
#include "prompts/userprompts.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

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
    model.setAxis(true, axes.axisX, 0.0, calibration.xValue2, false, calibration.xKind);
    model.setAxis(false, axes.axisY, 0.0, calibration.yValue2, false, calibration.yKind);
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

bool parseTypedValue(const QString &text, AxisKind kind, const QLocale &interfaceLocale, double *value)
{
    if (kind == AxisKind::Number)
        return parseTypedNumber(text, interfaceLocale, value);
    const std::optional<double> date = parseTypedDate(text, interfaceLocale);
    if (date)
        *value = *date;
    return date.has_value();
}

QString unreadableValue(const QString &field, const QString &text, AxisKind kind, const QLocale &locale)
{
    if (kind == AxisKind::Number)
        return i18n::tr("Type a number at each mark, for example 2.5 or 1e-3.");
    return i18n::tr("%1: \"%2\" is no date. Dates are written as %3.")
        .arg(field, text.trimmed(), acceptedDateForms(locale));
}

namespace {

QLocale interfaceLocale()
{
    return QLocale(i18n::languageCode(i18n::Localization::instance().language()));
}

// No number, but a date or something shaped like one (2019-13-01), so that
// a mistyped date is answered with the forms of dates.
bool meantAsDate(const QString &text, const QLocale &locale)
{
    static const QRegularExpression dateShape(QStringLiteral(R"(\d[-/.:]\d)"));
    double number = 0.0;
    return !parseTypedNumber(text, locale, &number) &&
           (parseTypedDate(text, locale) || text.contains(dateShape));
}

// A date axis when a value is meant as a date; a date axis typed again stays
// one while its values read as dates (2019 and 2024 as years).
AxisKind typedKind(const QStringList &texts, AxisKind current, const QLocale &locale)
{
    bool anyDate = false;
    bool allDates = true;
    for (const QString &text : texts) {
        anyDate = anyDate || meantAsDate(text, locale);
        allDates = allDates && parseTypedDate(text, locale);
    }
    return anyDate || (current == AxisKind::Date && allDates) ? AxisKind::Date : AxisKind::Number;
}

// The typed values when they define an axis; otherwise the reason, for a warning.
QString readAxisValues(const AxisValuesAnswer &typed, AxisKind kind, double *first, double *second)
{
    const QLocale locale = interfaceLocale();
    if (!parseTypedValue(typed.valueAtFirstMark, kind, locale, first))
        return unreadableValue(i18n::tr("Value at first mark"), typed.valueAtFirstMark, kind, locale);
    if (!parseTypedValue(typed.valueAtSecondMark, kind, locale, second))
        return unreadableValue(i18n::tr("Value at second mark"), typed.valueAtSecondMark, kind, locale);
    if (fuzzyEqual(*first, *second))
        return i18n::tr("The two values must differ.");
    if (typed.logScale && kind == AxisKind::Date)
        return i18n::tr("A date axis is linear: clear \"Logarithmic scale\".");
    if (typed.logScale && !(*first > 0.0 && *second > 0.0))
        return i18n::tr("A logarithmic axis needs values greater than zero.");
    return {};
}

// A stored value as the dialog offers it again, without losing what was typed.
QString editableText(double value, AxisKind kind)
{
    return kind == AxisKind::Date ? formatDateExactly(value) : valueText(value);
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
    const AxisKind currentKind = xAxis ? current.xKind : current.yKind;
    AxisValuesAnswer typed{QStringLiteral("0"), QStringLiteral("1"), false};
    if (xAxis && current.axisXValid)
        typed = {editableText(current.xValue1, currentKind), editableText(current.xValue2, currentKind),
                 current.xLogScale};
    else if (!xAxis && current.axisYValid)
        typed = {editableText(current.yValue1, currentKind), editableText(current.yValue2, currentKind),
                 current.yLogScale};
    double first = 0.0;
    double second = 0.0;
    AxisKind kind = AxisKind::Number;
    // A value that cannot be used is asked for again, the marks and the text kept.
    for (;;) {
        if (!prompts.axisValues(parent, xAxis, typed, &typed))
            return;
        kind = typedKind({typed.valueAtFirstMark, typed.valueAtSecondMark}, currentKind, interfaceLocale());
        const QString problem = readAxisValues(typed, kind, &first, &second);
        if (problem.isEmpty())
            break;
        warn(prompts, parent, problem);
    }
    // The origin re-anchoring below belongs to the same undo step.
    const RecordedChange change(&model, xAxis ? i18n::tr("Calibrate X axis") : i18n::tr("Calibrate Y axis"),
                                {&ProjectModel::calibrationChanged, &ProjectModel::pointsChanged});
    model.setAxis(xAxis, line, first, second, typed.logScale, kind);

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
    const AxisKind currentKind = xAxis ? calibration.xKind : calibration.yKind;
    bool ok = false;
    const QPointF real = calibration.pixelToReal(pixel, &ok);
    QString typed = ok ? calibration.valueText(xAxis, xAxis ? real.x() : real.y(), 6) : QString();
    const QLocale locale = interfaceLocale();
    for (;;) {
        if (!prompts.text(parent, i18n::tr("Calibration"), i18n::tr("Value at this mark"), typed, &typed))
            return;
        // Only an axis without two marks yet may become a date axis here.
        const AxisKind kind = marks.size() < 2 ? typedKind({typed}, currentKind, locale) : currentKind;
        double value = 0.0;
        QString problem;
        if (!parseTypedValue(typed, kind, locale, &value))
            problem = unreadableValue(i18n::tr("Value at this mark"), typed, kind, locale);
        else if (logScale && !(value > 0.0))
            problem = i18n::tr("A logarithmic axis needs values greater than zero.");
        else if (model.setAxisMarks(xAxis, marks + QList<CalibrationMark>{{pixel, value}}, logScale, kind))
            return;
        else
            problem = i18n::tr("These marks define no axis: they need different values at different places.");
        warn(prompts, parent, problem);
    }
}
