#include "tests/support/scriptedprompts.h"

#include "prompts/axisvaluesdialog.h"

#include "tests/support/testsupport.h"

#include <QColor>
#include <QFont>

namespace testsupport {

QStringList ScriptedPrompts::kinds() const
{
    QStringList result;
    for (const Asked &asked : m_asked)
        result.append(asked.kind);
    return result;
}

QVariant ScriptedPrompts::next(const QString &kind, const QString &title, const QString &text,
                               const QVariant &offer)
{
    m_asked.append(Asked{kind, title, text, offer});
    return m_answers.isEmpty() ? QVariant() : m_answers.dequeue();
}

bool ScriptedPrompts::axisValues(QWidget *, bool xAxis, const AxisValuesAnswer &initial,
                                 AxisValuesAnswer *answer)
{
    const QVariant value =
        next(QStringLiteral("axisValues"), QString(), xAxis ? QStringLiteral("X") : QStringLiteral("Y"),
             QVariantList{initial.valueAtFirstMark, initial.valueAtSecondMark, initial.logScale});
    const QVariantList typed = value.toList();
    *answer = {typed.value(0).toString(), typed.value(1).toString(), typed.value(2).toBool()};
    return value.isValid();
}

QString ScriptedPrompts::openFileName(QWidget *, const QString &title, const QString &filter)
{
    return next(QStringLiteral("open"), title, QString(), filter).toString();
}

QString ScriptedPrompts::saveFileName(QWidget *, const QString &title, const QString &filter,
                                      const QString &defaultSuffix, bool confirmOverwrite,
                                      const QString &proposedName)
{
    const QString typed = next(QStringLiteral("save"), title, QString(),
                               QVariantList{filter, defaultSuffix, confirmOverwrite, proposedName})
                              .toString();
    return typed.isEmpty() ? typed : dialogChosenName(typed, defaultSuffix);
}

bool ScriptedPrompts::text(QWidget *, const QString &title, const QString &label, const QString &initial,
                           QString *answer)
{
    const QVariant value = next(QStringLiteral("text"), title, label, initial);
    *answer = value.toString();
    return value.isValid();
}

bool ScriptedPrompts::item(QWidget *, const QString &title, const QString &label, const QStringList &items,
                           QString *answer)
{
    const QVariant value = next(QStringLiteral("item"), title, label, items);
    *answer = value.toString();
    return value.isValid();
}

bool ScriptedPrompts::color(QWidget *, const QString &title, const QColor &initial, QColor *answer)
{
    const QVariant value = next(QStringLiteral("color"), title, QString(), initial);
    *answer = value.value<QColor>();
    return value.isValid();
}

bool ScriptedPrompts::font(QWidget *, const QString &title, const QFont &initial, QFont *answer)
{
    const QVariant value = next(QStringLiteral("font"), title, QString(), QVariant::fromValue(initial));
    *answer = value.value<QFont>();
    return value.isValid();
}

bool ScriptedPrompts::integer(QWidget *, const QString &title, const QString &label, int initial, int minimum,
                              int maximum, int *answer)
{
    const QVariant value =
        next(QStringLiteral("integer"), title, label, QVariantList{initial, minimum, maximum});
    *answer = value.toInt();
    return value.isValid();
}

bool ScriptedPrompts::real(QWidget *, const QString &title, const QString &label, double initial,
                           double minimum, double maximum, int decimals, double *answer)
{
    const QVariant value =
        next(QStringLiteral("real"), title, label, QVariantList{initial, minimum, maximum, decimals});
    *answer = value.toDouble();
    return value.isValid();
}

QMessageBox::StandardButton ScriptedPrompts::question(QWidget *, const QString &title, const QString &text,
                                                      QMessageBox::StandardButtons buttons)
{
    const QVariant value = next(QStringLiteral("question"), title, text, int(buttons));
    if (!value.isValid())
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
    return QMessageBox::StandardButton(value.toInt());
}

void ScriptedPrompts::information(QWidget *, const QString &title, const QString &text)
{
    m_asked.append(Asked{QStringLiteral("information"), title, text, QVariant()});
}

void ScriptedPrompts::warning(QWidget *, const QString &title, const QString &text)
{
    m_asked.append(Asked{QStringLiteral("warning"), title, text, QVariant()});
}

void ScriptedPrompts::critical(QWidget *, const QString &title, const QString &text)
{
    m_asked.append(Asked{QStringLiteral("critical"), title, text, QVariant()});
}

} // namespace testsupport
