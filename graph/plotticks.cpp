#include "graph/plotticks.h"

#include "core/model/axisticks.h"

#include <algorithm>
#include <cmath>

namespace {

// Linear labels use a shared multiplier when the largest value has at least
// this many digits before the point, or this many zeros after it.
constexpr int largestPlainExponent = 5;
constexpr int smallestPlainExponent = -4;
// Log decades print as plain decimals while every label lies within these.
constexpr int smallestPlainDecade = -3;
constexpr int largestPlainDecade = 4;
// More ticks than this would only paint a solid block.
constexpr double maximumTicks = 400.0;

const QChar minusSign(0x2212);

int decimalsOfStep(double step)
{
    const int exponent = int(std::floor(std::log10(step) + 1e-9));
    const double mantissa = step / std::pow(10.0, exponent);
    // 2.5 × 10ⁿ needs one decimal more than its power.
    const int extra = std::abs(mantissa - 2.5) < 1e-6 ? 1 : 0;
    return std::max(0, extra - exponent);
}

// The smallest round step that cuts span into at most `parts` pieces.
double roundStep(double span, int parts)
{
    const double raw = span / parts;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double nice : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (nice * magnitude >= raw * (1.0 - 1e-9))
            return nice * magnitude;
    }
    return 10.0 * magnitude;
}

QList<double> multiplesOf(double step, double minimum, double maximum)
{
    QList<double> values;
    const double first = std::ceil(minimum / step - 1e-9);
    const double last = std::floor(maximum / step + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > maximumTicks)
        return values;
    const int exponent = int(std::floor(std::log10(step)));
    const double scale = std::pow(10.0, -exponent);
    for (double n = first; n <= last; n += 1.0) {
        // Rounded at the step's own decimal place, so 3 × 0.1 reads 0.3.
        const double value = exponent < 0 ? std::round(n * step * scale * 10.0) / (scale * 10.0) : n * step;
        values.append(n == 0.0 ? 0.0 : value);
    }
    return values;
}

AxisTicks linearCandidate(const QList<double> &values, double step, double minimum, double maximum,
                          int minimumDecimals)
{
    AxisTicks result;
    const double largest = std::max(std::abs(values.first()), std::abs(values.last()));
    int exponent = largest > 0.0 ? int(std::floor(std::log10(largest) + 1e-9)) : 0;
    if (exponent >= smallestPlainExponent && exponent <= largestPlainExponent)
        exponent = 0;
    const double scale = std::pow(10.0, exponent);
    const int decimals = std::max(decimalsOfStep(step / scale), exponent == 0 ? minimumDecimals : 0);
    if (exponent != 0)
        result.multiplier = QChar(0x00d7) + powerOfTen(exponent);
    for (double value : values) {
        PlotTick tick;
        tick.value = value;
        tick.fraction = (value - minimum) / (maximum - minimum);
        tick.text = printedNumber(value / scale, decimals);
        result.ticks.append(tick);
    }
    return result;
}

QList<AxisTicks> linearCandidates(double minimum, double maximum, int divisions, int minimumDecimals)
{
    QList<AxisTicks> candidates;
    double previous = 0.0;
    const auto tryParts = [&](int parts) {
        const double step = roundStep(maximum - minimum, parts);
        if (!(step > 0.0) || !std::isfinite(step) || step == previous)
            return;
        previous = step;
        const QList<double> values = multiplesOf(step, minimum, maximum);
        if (values.size() >= 2)
            candidates.append(linearCandidate(values, step, minimum, maximum, minimumDecimals));
    };
    // From the grid setting down to one part.
    for (int parts = std::max(1, divisions); parts >= 1; --parts)
        tryParts(parts);
    // A short range off the round values that every such step misses: finer
    // steps until two ticks show.
    for (int parts = std::max(1, divisions) * 2; candidates.isEmpty() && parts <= 256; parts *= 2)
        tryParts(parts);
    return candidates;
}

int decadeOf(double value)
{
    return int(std::floor(std::log10(value) + 1e-9));
}

QString logText(double value, bool plain, int minimumDecimals)
{
    const int decade = decadeOf(value);
    if (plain)
        return printedNumber(value, std::max(std::max(0, -decade), minimumDecimals));
    const double mantissa = value / std::pow(10.0, decade);
    if (std::abs(mantissa - 1.0) < 1e-9)
        return powerOfTen(decade);
    return QString::number(std::round(mantissa)) + QChar(0x00d7) + powerOfTen(decade);
}

QList<AxisTicks> logCandidates(double minimum, double maximum, int minimumDecimals)
{
    const QList<LogTick> values = logTicks(minimum, maximum);
    const qsizetype majors =
        std::count_if(values.begin(), values.end(), [](const LogTick &t) { return t.major; });
    // Fewer than two decades inside: the minors carry the labels as well.
    const bool labelMinors = majors < 2;
    bool plain = true;
    for (const LogTick &value : values) {
        const int decade = decadeOf(value.value);
        if ((value.major || labelMinors) && (decade < smallestPlainDecade || decade > largestPlainDecade))
            plain = false;
    }
    const double low = std::log10(minimum);
    const double span = std::log10(maximum) - low;
    QList<AxisTicks> candidates;
    for (int every : {1, 2, 3, 5, 10, 20, 50, 100}) {
        if (every > 1 && (labelMinors || every >= majors))
            break;
        AxisTicks candidate;
        for (const LogTick &value : values) {
            PlotTick tick;
            tick.value = value.value;
            tick.fraction = (std::log10(value.value) - low) / span;
            tick.major = value.major || labelMinors;
            const bool shown = labelMinors || (value.major && decadeOf(value.value) % every == 0);
            if (shown)
                tick.text = logText(value.value, plain, minimumDecimals);
            candidate.ticks.append(tick);
        }
        candidates.append(candidate);
    }
    return candidates;
}

} // namespace

QString printedNumber(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-')) {
        if (text.toDouble() == 0.0)
            text.remove(0, 1);
        else
            text.replace(0, 1, minusSign);
    }
    return text;
}

QString powerOfTen(int exponent)
{
    static const QChar digits[] = {QChar(0x2070), QChar(0x00b9), QChar(0x00b2), QChar(0x00b3), QChar(0x2074),
                                   QChar(0x2075), QChar(0x2076), QChar(0x2077), QChar(0x2078), QChar(0x2079)};
    QString text = QStringLiteral("10");
    if (exponent < 0)
        text += QChar(0x207b);
    for (QChar c : QString::number(std::abs(exponent)))
        text += digits[c.digitValue()];
    return text;
}

QList<AxisTicks> tickCandidates(double minimum, double maximum, bool logarithmic, int divisions,
                                int minimumDecimals)
{
    if (!(minimum < maximum) || !std::isfinite(minimum) || !std::isfinite(maximum) ||
        !std::isfinite(maximum - minimum) || (logarithmic && !(minimum > 0.0)))
        return {};
    return logarithmic ? logCandidates(minimum, maximum, minimumDecimals)
                       : linearCandidates(minimum, maximum, divisions, minimumDecimals);
}

AxisTicks plotTicks(double minimum, double maximum, bool logarithmic, int divisions, int minimumDecimals)
{
    const QList<AxisTicks> candidates =
        tickCandidates(minimum, maximum, logarithmic, divisions, minimumDecimals);
    return candidates.isEmpty() ? AxisTicks() : candidates.first();
}
