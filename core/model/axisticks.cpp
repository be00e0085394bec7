#include "core/model/axisticks.h"

#include <algorithm>
#include <cmath>

namespace {

// More ticks than this would only paint a solid block.
constexpr int maximumTicks = 400;
// Minor ticks are shown while the range spans at most this many decades.
constexpr double decadesWithMinors = 8.0;

// multiple × 10^decade as the double nearest to it: dividing by an exact power
// of ten gives 0.03 where 3 × 0.01 gives 0.030000000000000002.
double decadeValue(int multiple, double decade)
{
    return decade < 0 ? multiple / std::pow(10.0, -decade) : multiple * std::pow(10.0, decade);
}

} // namespace

double niceStep(double span, int count)
{
    span = std::abs(span);
    if (!std::isfinite(span) || span <= 0.0 || count < 1)
        return 0.0;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double nice = fraction < 1.5 ? 1.0 : fraction < 3.5 ? 2.0 : fraction < 7.5 ? 5.0 : 10.0;
    return nice * magnitude;
}

QList<double> linearTicks(double low, double high, int count)
{
    if (low > high)
        std::swap(low, high);
    const double step = niceStep(high - low, count);
    QList<double> ticks;
    if (step <= 0.0)
        return ticks;
    // Multiples of the step counted as integers, so 0.1 * 3 does not drift to 0.30000000000000004.
    const double first = std::ceil(low / step - 1e-9);
    const double last = std::floor(high / step + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > maximumTicks)
        return ticks;
    const double exponent = std::floor(std::log10(step));
    const double scale = std::pow(10.0, -exponent);
    // Counted with an integer: beyond 2^53 adding 1 to a double changes nothing,
    // and neighbouring multiples may then round to the same value, kept once.
    const int multiples = int(last - first);
    for (int i = 0; i <= multiples; ++i) {
        const double n = first + i;
        // n * step carries the rounding of step; rounding at the step's own
        // decimal place gives the round value itself.
        double value = exponent < 0 ? std::round(n * step * scale) / scale : n * step;
        value = value == 0.0 ? 0.0 : value;
        if (ticks.isEmpty() || value != ticks.last())
            ticks.append(value);
    }
    return ticks;
}

QList<LogTick> logTicks(double low, double high)
{
    QList<LogTick> ticks;
    if (low > high)
        std::swap(low, high);
    if (!(low > 0.0) || !std::isfinite(high))
        return ticks;
    const double lowDecade = std::floor(std::log10(low) + 1e-9);
    const double highDecade = std::floor(std::log10(high) + 1e-9);
    const double decades = highDecade - lowDecade;
    const bool minors = decades <= decadesWithMinors;
    const double every = minors ? 1.0 : std::max(1.0, niceStep(decades, 10));
    for (double decade = std::ceil(lowDecade / every) * every; decade <= highDecade; decade += every) {
        const double base = decadeValue(1, decade);
        if (base >= low * (1 - 1e-12) && base <= high * (1 + 1e-12))
            ticks.append({base, true});
        if (!minors)
            continue;
        for (int multiple = 2; multiple <= 9; ++multiple) {
            const double value = decadeValue(multiple, decade);
            if (value >= low * (1 - 1e-12) && value <= high * (1 + 1e-12))
                ticks.append({value, false});
        }
        if (ticks.size() > maximumTicks)
            break;
    }
    return ticks;
}
