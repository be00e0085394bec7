#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// What the user typed for one axis: the values at its two marks, as text so
// that the caller can read them in the C form or the interface language's.
struct AxisValuesAnswer
{
    QString valueAtFirstMark;
    QString valueAtSecondMark;
    bool logScale = false;
};

// Asks for the values at both reference marks of an axis and its scale.
class AxisValuesDialog : public QDialog
{
public:
    AxisValuesDialog(bool xAxis, const AxisValuesAnswer &initial, QWidget *parent);
    AxisValuesAnswer answer() const;

private:
    QLineEdit *m_firstValue;
    QLineEdit *m_secondValue;
    QCheckBox *m_logScale;
};
