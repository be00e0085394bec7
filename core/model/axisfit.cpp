#include "core/model/axisfit.h"

#include <algorithm>
#include <cmath>

namespace {

// A mark farther than this from where a fit puts its value does not agree with it.
constexpr double agreementPixels = 1.0;
// Above this many marks the search for the agreeing majority looks at fewer pairs.
constexpr int largestPairSearch = 40;

// Position on the picture as an affine function of the (log) value:
// pixel(u) = origin + u * step.
struct AxisLine
{
    QPointF origin;
    QPointF step;

    QPointF at(double u) const { return origin + u * step; }
};

double axisCoordinate(double value, bool logScale)
{
    return logScale ? std::log10(value) : value;
}

// Least squares over the chosen marks: the direction is the principal axis of
// their pixels, the position along it a straight function of the value.
bool leastSquares(const QList<QPointF> &pixels, const QList<double> &u, const QList<bool> &chosen,
                  AxisLine *fit)
{
    int n = 0;
    QPointF centre;
    double meanU = 0.0;
    for (int i = 0; i < pixels.size(); ++i) {
        if (!chosen[i])
            continue;
        centre += pixels[i];
        meanU += u[i];
        ++n;
    }
    if (n < 2)
        return false;
    centre /= n;
    meanU /= n;
    double sxx = 0.0, syy = 0.0, sxy = 0.0, suu = 0.0;
    for (int i = 0; i < pixels.size(); ++i) {
        if (!chosen[i])
            continue;
        const QPointF d = pixels[i] - centre;
        sxx += d.x() * d.x();
        syy += d.y() * d.y();
        sxy += d.x() * d.y();
        suu += (u[i] - meanU) * (u[i] - meanU);
    }
    if (!(suu > 0.0))
        return false;
    const double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy);
    const QPointF direction(std::cos(angle), std::sin(angle));
    double sus = 0.0;
    for (int i = 0; i < pixels.size(); ++i) {
        if (chosen[i])
            sus += (u[i] - meanU) * QPointF::dotProduct(pixels[i] - centre, direction);
    }
    const double slope = sus / suu; // pixels along the line per unit of u
    if (!(std::abs(slope) > 0.0) || !std::isfinite(slope))
        return false;
    fit->step = slope * direction;
    fit->origin = centre - meanU * fit->step;
    return true;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The marks that agree with the line through some pair of marks, for the pair
// with the most agreeing marks; empty when no pair has a clear majority.
QList<bool> agreeingMajority(const QList<QPointF> &pixels, const QList<double> &u)
{
    const int n = int(pixels.size());
    const int stride = std::max(1, n / largestPairSearch);
    QList<bool> best;
    int bestCount = 0;
    for (int i = 0; i < n; i += stride) {
        for (int j = i + 1; j < n; j += stride) {
            if (u[i] == u[j])
                continue;
            const AxisLine line{pixels[i] - u[i] * (pixels[j] - pixels[i]) / (u[j] - u[i]),
                                (pixels[j] - pixels[i]) / (u[j] - u[i])};
            QList<bool> agree(n, false);
            int count = 0;
            for (int k = 0; k < n; ++k) {
                agree[k] = distance(pixels[k], line.at(u[k])) <= agreementPixels;
                count += agree[k] ? 1 : 0;
            }
            if (count > bestCount) {
                bestCount = count;
                best = agree;
            }
        }
    }
    if (bestCount < 3 || 2 * bestCount <= n)
        return {};
    return best;
}

} // namespace

AxisFit fitAxis(const QList<CalibrationMark> &marks, bool logScale)
{
    AxisFit result;
    const int n = int(marks.size());
    QList<QPointF> pixels;
    QList<double> u;
    for (const CalibrationMark &mark : marks) {
        if ((logScale && !(mark.value > 0.0)) || !std::isfinite(mark.value) ||
            !std::isfinite(mark.pixel.x()) || !std::isfinite(mark.pixel.y()))
            return result;
        pixels.append(mark.pixel);
        u.append(axisCoordinate(mark.value, logScale));
    }
    if (n < 2)
        return result;

    AxisLine line;
    QList<bool> used(n, true);
    if (n == 2) {
        // Exactly the line between the two marks, as with two marks ever since.
        if (u[0] == u[1] || distance(pixels[0], pixels[1]) <= 1e-9)
            return result;
        line = {pixels[0] - u[0] * (pixels[1] - pixels[0]) / (u[1] - u[0]),
                (pixels[1] - pixels[0]) / (u[1] - u[0])};
        result.line = QLineF(pixels[0], pixels[1]);
        result.value1 = marks[0].value;
        result.value2 = marks[1].value;
    } else {
        if (n >= 4) {
            const QList<bool> majority = agreeingMajority(pixels, u);
            if (!majority.isEmpty())
                used = majority;
        }
        if (!leastSquares(pixels, u, used, &line))
            return result;
        // The outermost marks along the axis carry the two-mark form.
        int first = -1, last = -1;
        for (int i = 0; i < n; ++i) {
            if (!used[i])
                continue;
            if (first < 0 || u[i] < u[first])
                first = i;
            if (last < 0 || u[i] > u[last])
                last = i;
        }
        if (first > last)
            std::swap(first, last);
        result.line = QLineF(line.at(u[first]), line.at(u[last]));
        result.value1 = marks[first].value;
        result.value2 = marks[last].value;
    }
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const double residual = distance(pixels[i], line.at(u[i]));
        result.residuals.append(residual);
        if (used[i]) {
            sum += residual * residual;
            ++count;
        }
    }
    result.used = used;
    result.rms = std::sqrt(sum / count);
    result.pixelsPerUnit = std::hypot(line.step.x(), line.step.y());
    result.ok = result.line.length() > 1e-9;
    return result;
}
