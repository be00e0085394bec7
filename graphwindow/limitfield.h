#pragma once

#include <QDoubleSpinBox>

// A number field for axis limits: it shows and accepts values with 12
// significant digits in plain or exponent form ("0.5", "1e-12", "2.5E+6"), in
// the C form or that of the interface language, so the tiny and huge limits of
// logarithmic axes fit as well as everyday ones. On a date axis it shows and
// takes dates (ISO forms or the language's short date) for the seconds since 1970.
class LimitField : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit LimitField(QWidget *parent = nullptr);

    QString textFromValue(double value) const override;
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &position) const override;

    // The value a text stands for; false when the text is not a whole number.
    bool parse(const QString &text, double *value) const;
    void setDates(bool dates);

private:
    bool m_dates = false;
};
