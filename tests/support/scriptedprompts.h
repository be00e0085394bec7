#pragma once

#include "prompts/userprompts.h"

#include <QList>
#include <QQueue>
#include <QVariant>

namespace testsupport {

// Answers the windows' questions from a script instead of showing dialogs.
// Every question is recorded; one without a queued answer is cancelled.
class ScriptedPrompts : public UserPrompts
{
public:
    struct Asked
    {
        QString kind; // "open", "save", "text", "item", "integer", "real", "question", "information", ...
        QString title;
        QString text;
        QVariant offer; // what the question offered besides its text (initial value, items, filter)
    };

    void answer(const QVariant &value) { m_answers.enqueue(value); }
    QList<Asked> asked() const { return m_asked; }
    Asked last() const { return m_asked.isEmpty() ? Asked() : m_asked.last(); }
    QStringList kinds() const;
    void clear()
    {
        m_asked.clear();
        m_answers.clear();
    }
    int pendingAnswers() const { return int(m_answers.size()); }

    QString openFileName(QWidget *, const QString &title, const QString &filter) override;
    // Adds the default suffix to a name without one, as the file dialog does;
    // the offer is {filter, defaultSuffix, confirmOverwrite, proposedName}.
    QString saveFileName(QWidget *, const QString &title, const QString &filter, const QString &defaultSuffix,
                         bool confirmOverwrite, const QString &proposedName) override;
    bool text(QWidget *, const QString &title, const QString &label, const QString &initial,
              QString *answer) override;
    bool item(QWidget *, const QString &title, const QString &label, const QStringList &items,
              QString *answer) override;
    bool integer(QWidget *, const QString &title, const QString &label, int initial, int minimum, int maximum,
                 int *answer) override;
    bool real(QWidget *, const QString &title, const QString &label, double initial, double minimum,
              double maximum, int decimals, double *answer) override;
    // Answered by a QVariantList {first value text, second value text, log scale}.
    bool axisValues(QWidget *, bool xAxis, const AxisValuesAnswer &initial,
                    AxisValuesAnswer *answer) override;
    QMessageBox::StandardButton question(QWidget *, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons) override;
    void information(QWidget *, const QString &title, const QString &text) override;
    void warning(QWidget *, const QString &title, const QString &text) override;
    void critical(QWidget *, const QString &title, const QString &text) override;
    // Answered by a QColor; the offer is the initial colour.
    bool color(QWidget *, const QString &title, const QColor &initial, QColor *answer) override;
    // Answered by a QFont; the offer is the initial font.
    bool font(QWidget *, const QString &title, const QFont &initial, QFont *answer) override;

    // What the last question offered besides its text (initial value, items, filter).
    QVariant lastOffer() const { return m_asked.isEmpty() ? QVariant() : m_asked.last().offer; }

private:
    QVariant next(const QString &kind, const QString &title, const QString &text, const QVariant &offer);

    QQueue<QVariant> m_answers;
    QList<Asked> m_asked;
};

} // namespace testsupport
