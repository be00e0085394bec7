#include "graph/plotticks.h"

#include "core/model/axisticks.h"

#include <algorithm>
#include <cmath>

namespace {

// Beyond these magnitudes plain numbers grow too long to read under a tick.
constexpr double largestPlain = 1e6;
constexpr double smallestPlain = 1e-4;

int decimalsOfStep(double step)
{
    return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

// value as mantissa "e" exponent, with the mantissa decimals that `step`
// needs at that exponent: 1.5e-7, 2e6, 1e-12.
QString exponentText(double value, double step, int exponent)
{
    const double scale = std::pow(10.0, exponent);
    const int decimals = std::max(0, decimalsOfStep(step / scale));
    QString mantissa = QString::number(value / scale, 'f', decimals);
    return mantissa + QStringLiteral("e") + QString::number(exponent);
}

QString plainText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

QList<PlotTick> linearPlotTicks(double minimum, double maximum, int divisions, int minimumDecimals)
{
    QList<PlotTick> ticks;
    // A coarse step may miss a short range altogether: finer until two ticks show.
    int count = std::max(1, divisions);
    QList<double> values = linearTicks(minimum, maximum, count);
    while (values.size() < 2 && count < 64) {
        count *= 2;
        values = linearTicks(minimum, maximum, count);
    }
    const double step = niceStep(maximum - minimum, count);
    if (values.isEmpty())
        return ticks;
    const double largest = std::max(std::abs(values.first()), std::abs(values.last()));
    // The exponent of the largest value, so that every label shares it.
    const bool exponent = largest >= largestPlain || step < smallestPlain;
    const int shared = exponent ? int(std::floor(std::log10(std::max(largest, step)) + 1e-9)) : 0;
    const int decimals = std::max(decimalsOfStep(step), minimumDecimals);
    for (double value : values) {
        PlotTick tick;
        tick.value = value;
        tick.fraction = (value - minimum) / (maximum - minimum);
        tick.text = exponent ? (value == 0.0 ? QStringLiteral("0") : exponentText(value, step, shared))
                             : plainText(value, decimals);
        ticks.append(tick);
    }
    return ticks;
}

QList<PlotTick> logPlotTicks(double minimum, double maximum, int minimumDecimals)
{
    QList<PlotTick> ticks;
    const QList<LogTick> values = logTicks(minimum, maximum);
    const qsizetype majors =
        std::count_if(values.begin(), values.end(), [](const LogTick &t) { return t.major; });
    // Fewer than two decades inside: the minors carry the labels as well.
    const bool labelMinors = majors < 2;
    const bool exponent = maximum > largestPlain * 10.0 || minimum < smallestPlain;
    const double low = std::log10(minimum);
    const double span = std::log10(maximum) - low;
    for (const LogTick &value : values) {
        PlotTick tick;
        tick.value = value.value;
        tick.fraction = (std::log10(value.value) - low) / span;
        tick.major = value.major || labelMinors;
        if (tick.major) {
            const int decade = int(std::floor(std::log10(value.value) + 1e-9));
            tick.text = exponent ? exponentText(value.value, std::pow(10.0, decade), decade)
                                 : plainText(value.value, std::max(decimalsOfStep(std::pow(10.0, decade)),
                                                                   minimumDecimals));
        }
        ticks.append(tick);
    }
    return ticks;
}

} // namespace

QList<PlotTick> plotTicks(double minimum, double maximum, bool logarithmic, int divisions,
                          int minimumDecimals)
{
    if (!(minimum < maximum) || !std::isfinite(minimum) || !std::isfinite(maximum) ||
        (logarithmic && !(minimum > 0.0)))
        return {};
    return logarithmic ? logPlotTicks(minimum, maximum, minimumDecimals)
                       : linearPlotTicks(minimum, maximum, divisions, minimumDecimals);
}
