#include "model/calibration.h"

#include <QJsonValue>

#include <cmath>

namespace {

bool isFinite(const QLineF &line)
{
    return std::isfinite(line.x1()) && std::isfinite(line.y1()) && std::isfinite(line.x2()) &&
           std::isfinite(line.y2());
}

// Non-finite values would turn every point into NaN, so such an axis is not usable.
bool isAxisValid(bool flag, const QLineF &line, double value1, double value2)
{
    return flag && isFinite(line) && line.length() > 1e-9 && std::isfinite(value1) && std::isfinite(value2) &&
           !fuzzyEqual(value1, value2);
}

double projectOnAxis(QPointF pixel, const QLineF &line, double value1, double value2)
{
    const QPointF d = line.p2() - line.p1();
    const double t = QPointF::dotProduct(pixel - line.p1(), d) / QPointF::dotProduct(d, d);
    return value1 + t * (value2 - value1);
}

QJsonObject lineToJson(const QLineF &line)
{
    return {{QStringLiteral("x1"), line.x1()},
            {QStringLiteral("y1"), line.y1()},
            {QStringLiteral("x2"), line.x2()},
            {QStringLiteral("y2"), line.y2()}};
}

QLineF lineFromJson(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return QLineF(
        object.value(QStringLiteral("x1")).toDouble(0.0), object.value(QStringLiteral("y1")).toDouble(0.0),
        object.value(QStringLiteral("x2")).toDouble(0.0), object.value(QStringLiteral("y2")).toDouble(0.0));
}

} // namespace

bool fuzzyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

bool Calibration::isAxisXValid() const
{
    return isAxisValid(axisXValid, axisXLine, xValue1, xValue2);
}

bool Calibration::isAxisYValid() const
{
    return isAxisValid(axisYValid, axisYLine, yValue1, yValue2);
}

bool Calibration::isComplete() const
{
    return isAxisXValid() && isAxisYValid();
}

QPointF Calibration::pixelToReal(QPointF pixel, bool *ok) const
{
    if (ok)
        *ok = false;
    if (!isComplete())
        return {};
    if (ok)
        *ok = true;
    return {projectOnAxis(pixel, axisXLine, xValue1, xValue2),
            projectOnAxis(pixel, axisYLine, yValue1, yValue2)};
}

QPointF Calibration::realToPixel(QPointF real, bool *ok) const
{
    if (ok)
        *ok = false;
    if (!isComplete())
        return {};
    const QPointF dX = axisXLine.p2() - axisXLine.p1();
    const QPointF dY = axisYLine.p2() - axisYLine.p1();
    const double determinant = dX.x() * dY.y() - dY.x() * dX.y();
    if (std::abs(determinant) <= 1e-12)
        return {};

    // a and b are the values that P·dX and P·dY must take for P to project onto
    // the requested real values; solving the 2x2 system gives P.
    const double a = (real.x() - xValue1) / (xValue2 - xValue1) * QPointF::dotProduct(dX, dX) +
                     QPointF::dotProduct(axisXLine.p1(), dX);
    const double b = (real.y() - yValue1) / (yValue2 - yValue1) * QPointF::dotProduct(dY, dY) +
                     QPointF::dotProduct(axisYLine.p1(), dY);
    if (ok)
        *ok = true;
    return {(a * dY.y() - dX.y() * b) / determinant, (dX.x() * b - dY.x() * a) / determinant};
}

QJsonObject Calibration::toJson() const
{
    return {{QStringLiteral("axisXLine"), lineToJson(axisXLine)},
            {QStringLiteral("axisYLine"), lineToJson(axisYLine)},
            {QStringLiteral("xValue1"), xValue1},
            {QStringLiteral("xValue2"), xValue2},
            {QStringLiteral("yValue1"), yValue1},
            {QStringLiteral("yValue2"), yValue2},
            {QStringLiteral("axisXValid"), axisXValid},
            {QStringLiteral("axisYValid"), axisYValid}};
}

Calibration Calibration::fromJson(const QJsonObject &object)
{
    Calibration calibration;
    calibration.axisXLine = lineFromJson(object.value(QStringLiteral("axisXLine")));
    calibration.axisYLine = lineFromJson(object.value(QStringLiteral("axisYLine")));
    calibration.xValue1 = object.value(QStringLiteral("xValue1")).toDouble(0.0);
    calibration.xValue2 = object.value(QStringLiteral("xValue2")).toDouble(1.0);
    calibration.yValue1 = object.value(QStringLiteral("yValue1")).toDouble(0.0);
    calibration.yValue2 = object.value(QStringLiteral("yValue2")).toDouble(1.0);
    calibration.axisXValid = object.value(QStringLiteral("axisXValid")).toBool(false);
    calibration.axisYValid = object.value(QStringLiteral("axisYValid")).toBool(false);
    return calibration;
}

bool operator==(const Calibration &a, const Calibration &b)
{
    return a.axisXLine == b.axisXLine && a.axisYLine == b.axisYLine && a.xValue1 == b.xValue1 &&
           a.xValue2 == b.xValue2 && a.yValue1 == b.yValue1 && a.yValue2 == b.yValue2 &&
           a.axisXValid == b.axisXValid && a.axisYValid == b.axisYValid;
}
