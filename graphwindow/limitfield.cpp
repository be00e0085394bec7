#include "graphwindow/limitfield.h"

#include "graph/graphsettings.h"

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
    return locale().toString(value, 'g', graphlimits::axisValueDigits);
}

bool LimitField::parse(const QString &text, double *value) const
{
    const QString trimmed = text.trimmed();
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
