#pragma once

#include <QLineF>
#include <QPointF>

struct Calibration;
class ProjectModel;
class QLocale;
class QString;
class QWidget;
class UserPrompts;

// Both axis segments re-drawn from the point where they cross, which becomes
// the origin, so the order in which the marks were clicked does not matter.
struct ReanchoredAxes
{
    enum Problem { None, NoCrossing, OriginAtEndpoint };
    Problem problem = None;
    QLineF axisX;
    QLineF axisY;
};
ReanchoredAxes reanchorAtCrossing(const Calibration &calibration);

// A number typed in the C form ("0.5", "2.5E+6") or in the form of the given
// interface locale ("0,5"); the whole text must be the number, no group
// separators, no prefix read on its own.
bool parseTypedNumber(const QString &text, const QLocale &interfaceLocale, double *value);

enum class AxisKind;

// A value typed for an axis of that kind: on a date axis a date or time in an
// ISO form or the interface locale's short date, else as parseTypedNumber.
bool parseTypedValue(const QString &text, AxisKind kind, const QLocale &interfaceLocale, double *value);

// Why text typed into the field cannot be a value of an axis of that kind.
QString unreadableValue(const QString &field, const QString &text, AxisKind kind,
                        const QLocale &interfaceLocale);

// Asks for the values at both marks of the axis just picked in the view and its
// scale, and stores the axis: a date axis when a value is a date and no number. When both axes are linear and
// start at 0, they are re-anchored at their crossing, the graph origin.
void promptForAxisValues(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                         const QLineF &line);

// Asks for the value at a further mark of an axis that is already set (the
// fit's value there offered) and refits the axis through all its marks; a value
// that cannot be used is asked for again.
void promptForMarkValue(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                        const QPointF &pixel);
