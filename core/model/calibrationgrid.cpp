#include "core/model/calibrationgrid.h"

#include "core/model/axisticks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int linearLinesPerAxis = 10;

struct Range
{
    double low = 0.0;
    double high = 0.0;
};

// The line through a and b cut to the rectangle (Liang-Barsky); false when it misses it.
bool clipToRect(QPointF a, QPointF b, const QRectF &rect, QLineF *clipped)
{
    const QPointF d = b - a;
    double enter = -1e300;
    double leave = 1e300;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(), rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    *clipped = QLineF(a + enter * d, a + leave * d);
    return true;
}

// The real values the picture's corners read on one axis.
Range cornerRange(const Calibration &calibration, const QRectF &picture, bool xAxis)
{
    Range range{1e308, -1e308};
    for (const QPointF corner :
         {picture.topLeft(), picture.topRight(), picture.bottomLeft(), picture.bottomRight()}) {
        const QPointF real = calibration.pixelToReal(corner);
        const double value = xAxis ? real.x() : real.y();
        range.low = std::min(range.low, value);
        range.high = std::max(range.high, value);
    }
    return range;
}

QList<LogTick> ticksFor(const Range &range, bool logScale)
{
    if (logScale)
        return logTicks(std::max(range.low, 1e-300), std::min(range.high, 1e300));
    QList<LogTick> ticks;
    for (double value : linearTicks(range.low, range.high, linearLinesPerAxis))
        ticks.append({value, true});
    return ticks;
}

} // namespace

QList<GridLine> calibrationGridLines(const Calibration &calibration, const QRectF &picture)
{
    QList<GridLine> lines;
    if (!calibration.isComplete() || picture.isEmpty())
        return lines;
    const Range xRange = cornerRange(calibration, picture, true);
    const Range yRange = cornerRange(calibration, picture, false);
    if (!std::isfinite(xRange.low + xRange.high + yRange.low + yRange.high))
        return lines;
    // A line of constant x is straight in pixels (the map is affine in each
    // axis' own scale), so two of its points fix it.
    const auto addLine = [&](QPointF realA, QPointF realB, bool major) {
        bool okA = false;
        bool okB = false;
        const QPointF a = calibration.realToPixel(realA, &okA);
        const QPointF b = calibration.realToPixel(realB, &okB);
        QLineF clipped;
        if (okA && okB && QLineF(a, b).length() > 1e-9 && clipToRect(a, b, picture, &clipped))
            lines.append({clipped, major});
    };
    const double yInside = calibration.yLogScale ? std::max(yRange.low, 1e-300) : yRange.low;
    const double xInside = calibration.xLogScale ? std::max(xRange.low, 1e-300) : xRange.low;
    const double yOther = calibration.yLogScale ? std::max(yRange.high, yInside * 10) : yRange.high + 1.0;
    const double xOther = calibration.xLogScale ? std::max(xRange.high, xInside * 10) : xRange.high + 1.0;
    for (const LogTick &tick : ticksFor(xRange, calibration.xLogScale))
        addLine(QPointF(tick.value, yInside), QPointF(tick.value, yOther), tick.major);
    for (const LogTick &tick : ticksFor(yRange, calibration.yLogScale))
        addLine(QPointF(xInside, tick.value), QPointF(xOther, tick.value), tick.major);
    return lines;
}
