#include "graphwindow/limitfield.h"

#include "core/model/dateaxis.h"
#include "graph/graphsettings.h"

#include <QLineEdit>

#include <cmath>

namespace {

// As many as a double field can keep: the spin box rounds every value to its
// decimals, and 1e-12 must survive that.
constexpr int allDecimals = 323;

} // namespace

LimitField::LimitField(QWidget *parent)
    : QDoubleSpinBox(parent)
{
    setDecimals(allDecimals);
    setRange(graphlimits::minimumAxisValue, graphlimits::maximumAxisValue);
    setSingleStep(1.0);
}

QString LimitField::textFromValue(double value) const
{
    return m_dates ? formatDateExactly(value) : locale().toString(value, 'g', graphlimits::axisValueDigits);
}

void LimitField::setDates(bool dates)
{
    if (m_dates == dates)
        return;
    m_dates = dates;
    // The text is made anew in the other form.
    lineEdit()->setText(textFromValue(value()));
}

bool LimitField::parse(const QString &text, double *value) const
{
    const QString trimmed = text.trimmed();
    if (m_dates) {
        if (const std::optional<double> instant = parseTypedDate(trimmed, locale())) {
            *value = *instant;
            return true;
        }
    }
    bool ok = false;
    double parsed = locale().toDouble(trimmed, &ok);
    if (!ok)
        parsed = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

double LimitField::valueFromText(const QString &text) const
{
    double value = 0.0;
    return parse(text, &value) ? axisLimitValue(value) : this->value();
}

QValidator::State LimitField::validate(QString &text, int &position) const
{
    Q_UNUSED(position);
    double value = 0.0;
    if (parse(text, &value))
        return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    // Half-typed numbers ("-", "1e", "2.5E+") may still become one.
    return QValidator::Intermediate;
}
