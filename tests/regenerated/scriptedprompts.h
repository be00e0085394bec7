#pragma once

#include "tests/support/testsupport.h"
#include "ui/userprompts.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QStringList>

// Answers the window's questions from lists prepared by the test and records
// every question as "kind|title|text".
class ScriptedPrompts : public UserPrompts
{
public:
    QStringList asked;
    QStringList fileNames; // taken from the front; none left means cancelled
    QList<int> integers;   // likewise for integer questions
    QList<QColor> colors;
    QList<QFont> fonts;
    QStringList proposedNames; // of the save dialogs, in order
    int integerInitial = 0;
    int integerMinimum = 0;
    int integerMaximum = 0;

    QString saveFileName(QWidget *, const QString &title, const QString &filter, const QString &defaultSuffix,
                         bool, const QString &proposedName) override
    {
        asked.append(QStringLiteral("save|%1|%2|%3").arg(title, filter, defaultSuffix));
        proposedNames.append(proposedName);
        return fileNames.isEmpty() ? QString()
                                   : testsupport::dialogChosenName(fileNames.takeFirst(), defaultSuffix);
    }
    bool integer(QWidget *, const QString &title, const QString &label, int initial, int minimum, int maximum,
                 int *answer) override
    {
        asked.append(QStringLiteral("integer|%1|%2").arg(title, label));
        integerInitial = initial;
        integerMinimum = minimum;
        integerMaximum = maximum;
        if (integers.isEmpty())
            return false;
        *answer = integers.takeFirst();
        return true;
    }
    bool color(QWidget *, const QString &title, const QColor &, QColor *answer) override
    {
        asked.append(QStringLiteral("color|%1|").arg(title));
        if (colors.isEmpty())
            return false;
        *answer = colors.takeFirst();
        return true;
    }
    bool font(QWidget *, const QString &title, const QFont &, QFont *answer) override
    {
        asked.append(QStringLiteral("font|%1|").arg(title));
        if (fonts.isEmpty())
            return false;
        *answer = fonts.takeFirst();
        return true;
    }
    void information(QWidget *, const QString &title, const QString &text) override
    {
        asked.append(QStringLiteral("information|%1|%2").arg(title, text));
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        asked.append(QStringLiteral("warning|%1|%2").arg(title, text));
    }
    void critical(QWidget *, const QString &title, const QString &text) override
    {
        asked.append(QStringLiteral("critical|%1|%2").arg(title, text));
    }
};
