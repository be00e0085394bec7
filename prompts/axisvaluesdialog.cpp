#include "prompts/axisvaluesdialog.h"

#include "i18n/localization.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AxisValuesDialog::AxisValuesDialog(bool xAxis, const AxisValuesAnswer &initial, QWidget *parent)
    : QDialog(parent)
    , m_firstValue(new QLineEdit(initial.valueAtFirstMark, this))
    , m_secondValue(new QLineEdit(initial.valueAtSecondMark, this))
    , m_logScale(new QCheckBox(i18n::tr("Logarithmic scale"), this))
{
    setWindowTitle(i18n::tr("Calibration"));
    auto *heading = new QLabel(xAxis ? i18n::tr("X axis") : i18n::tr("Y axis"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    m_logScale->setChecked(initial.logScale);

    auto *form = new QFormLayout;
    form->addRow(i18n::tr("Value at first mark"), m_firstValue);
    form->addRow(i18n::tr("Value at second mark"), m_secondValue);
    form->addRow(QString(), m_logScale);
    // Dates are recognised as they are typed; the hint tells that they may be.
    auto *hint =
        new QLabel(i18n::tr("Numbers, or dates and times such as 2019-01-31 or 2019-01-31T12:30."), this);
    hint->setWordWrap(true);
    form->addRow(QString(), hint);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(i18n::tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(i18n::tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_firstValue->selectAll();
}

AxisValuesAnswer AxisValuesDialog::answer() const
{
    return {m_firstValue->text(), m_secondValue->text(), m_logScale->isChecked()};
}
