#include "core/model/calibration.h"

#include "core/model/jsonfields.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QLocale>

#include <cmath>

namespace {

bool isFinite(const QLineF &line)
{
    return std::isfinite(line.x1()) && std::isfinite(line.y1()) && std::isfinite(line.x2()) &&
           std::isfinite(line.y2());
}

// Non-finite values would turn every point into NaN, so such an axis is not
// usable; a logarithmic axis needs both values above zero.
bool isAxisValid(bool flag, const QLineF &line, double value1, double value2, bool logScale)
{
    if (logScale && !(value1 > 0.0 && value2 > 0.0))
        return false;
    // Values such as -1e308 and 1e308 are finite, but the span between them is not.
    return flag && isFinite(line) && line.length() > 1e-9 && std::isfinite(value1) && std::isfinite(value2) &&
           std::isfinite(value2 - value1) && !fuzzyEqual(value1, value2);
}

double crossProduct(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// One axis as the map between its line parameter t (0 at the first mark, 1 at
// the second) and a real value; log axes interpolate the exponent.
struct AxisScale
{
    double value1;
    double value2;
    bool logScale;

    double valueAt(double t) const
    {
        if (!logScale)
            return value1 + t * (value2 - value1);
        const double log1 = std::log10(value1);
        return std::pow(10.0, log1 + t * (std::log10(value2) - log1));
    }

    // False for a value that the axis cannot show (not above zero on a log axis).
    bool parameterOf(double value, double *t) const
    {
        if (!logScale) {
            *t = (value - value1) / (value2 - value1);
            return true;
        }
        if (!(value > 0.0))
            return false;
        const double log1 = std::log10(value1);
        *t = (std::log10(value) - log1) / (std::log10(value2) - log1);
        return true;
    }
};

double projectionParameter(QPointF pixel, const QLineF &line)
{
    const QPointF d = line.p2() - line.p1();
    return QPointF::dotProduct(pixel - line.p1(), d) / QPointF::dotProduct(d, d);
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
    const auto number = [&](const char *key) {
        return numericValue(object.value(QLatin1StringView(key))).toDouble(0.0);
    };
    return QLineF(number("x1"), number("y1"), number("x2"), number("y2"));
}

QJsonArray marksToJson(const QList<CalibrationMark> &marks)
{
    QJsonArray array;
    for (const CalibrationMark &mark : marks)
        array.append(QJsonObject{{QStringLiteral("x"), mark.pixel.x()},
                                 {QStringLiteral("y"), mark.pixel.y()},
                                 {QStringLiteral("value"), mark.value}});
    return array;
}

// Elements that are not objects with three numbers are skipped.
QList<CalibrationMark> marksFromJson(const QJsonValue &value)
{
    QList<CalibrationMark> marks;
    const QJsonArray array = value.toArray();
    for (const QJsonValue &element : array) {
        const QJsonObject object = element.toObject();
        const QJsonValue x = object.value(QStringLiteral("x"));
        const QJsonValue y = object.value(QStringLiteral("y"));
        const QJsonValue v = object.value(QStringLiteral("value"));
        if (x.isDouble() && y.isDouble() && v.isDouble())
            marks.append({QPointF(x.toDouble(), y.toDouble()), v.toDouble()});
    }
    return marks;
}

const QString dateKind = QStringLiteral("date");

// Absent means a number axis. A kind this program does not know (from a newer
// version) is read as numbers and left among the other keys, so that saving
// writes it back unchanged.
bool readKind(const QJsonObject &object, const QString &key, AxisKind *kind)
{
    const QJsonValue value = object.value(key);
    *kind = value == dateKind ? AxisKind::Date : AxisKind::Number;
    return value.isUndefined() || value == dateKind || value == QLatin1String("number");
}

} // namespace

bool fuzzyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

bool Calibration::isAxisXValid() const
{
    return isAxisValid(axisXValid, axisXLine, xValue1, xValue2, xLogScale);
}

bool Calibration::isAxisYValid() const
{
    return isAxisValid(axisYValid, axisYLine, yValue1, yValue2, yLogScale);
}

bool Calibration::isComplete() const
{
    return isAxisXValid() && isAxisYValid();
}

// The directions of a complete calibration's axes; none (and *ok false) for an
// incomplete one.
std::optional<Calibration::AxisDirections> Calibration::axisDirections(bool *ok) const
{
    if (ok)
        *ok = false;
    if (!isComplete())
        return std::nullopt;
    const QPointF dX = axisXLine.p2() - axisXLine.p1();
    const QPointF dY = axisYLine.p2() - axisYLine.p1();
    return AxisDirections{dX, dY, crossProduct(dX, dY)};
}

QPointF Calibration::pixelToReal(QPointF pixel, bool *ok) const
{
    const std::optional<AxisDirections> axes = axisDirections(ok);
    if (!axes)
        return {};
    // Solving X.p1 + tX·dX + s·dY = pixel for tX (and the same with the axes
    // swapped for tY) reads each value along the other axis' direction; with
    // parallel axis lines each value is read from the orthogonal projection.
    const bool parallel = std::abs(axes->determinant) <= 1e-12;
    const double tX = parallel ? projectionParameter(pixel, axisXLine)
                               : crossProduct(pixel - axisXLine.p1(), axes->dY) / axes->determinant;
    const double tY = parallel ? projectionParameter(pixel, axisYLine)
                               : crossProduct(axes->dX, pixel - axisYLine.p1()) / axes->determinant;
    if (ok)
        *ok = true;
    return {AxisScale{xValue1, xValue2, xLogScale}.valueAt(tX),
            AxisScale{yValue1, yValue2, yLogScale}.valueAt(tY)};
}

QPointF Calibration::realToPixel(QPointF real, bool *ok) const
{
    const std::optional<AxisDirections> axes = axisDirections(ok);
    double tX = 0.0;
    double tY = 0.0;
    if (!axes || std::abs(axes->determinant) <= 1e-12 ||
        !AxisScale{xValue1, xValue2, xLogScale}.parameterOf(real.x(), &tX) ||
        !AxisScale{yValue1, yValue2, yLogScale}.parameterOf(real.y(), &tY))
        return {};
    const QPointF dX = axes->dX;
    const QPointF dY = axes->dY;
    // The pixel is where the line through X.p1 + tX·dX parallel to the Y axis
    // meets the line through Y.p1 + tY·dY parallel to the X axis.
    const QPointF onX = axisXLine.p1() + tX * dX;
    const QPointF onY = axisYLine.p1() + tY * dY;
    const double s = crossProduct(onY - onX, dX) / crossProduct(dY, dX);
    const QPointF pixel = onX + s * dY;
    if (!std::isfinite(pixel.x()) || !std::isfinite(pixel.y()))
        return {};
    if (ok)
        *ok = true;
    return pixel;
}

std::optional<DateFormat> Calibration::dateFormat(bool xAxis) const
{
    if ((xAxis ? xKind : yKind) != AxisKind::Date)
        return std::nullopt;
    return xAxis ? dateFormatForAxis(xValue1, xValue2) : dateFormatForAxis(yValue1, yValue2);
}

QString Calibration::valueText(bool xAxis, double value, int digits) const
{
    if (const std::optional<DateFormat> format = dateFormat(xAxis))
        return formatDate(value, *format);
    return QLocale::c().toString(value, 'g', digits);
}

QList<CalibrationMark> Calibration::marks(bool xAxis) const
{
    const QList<CalibrationMark> &stored = xAxis ? xMarks : yMarks;
    if (!stored.isEmpty())
        return stored;
    if (!(xAxis ? axisXValid : axisYValid))
        return {};
    const QLineF &line = xAxis ? axisXLine : axisYLine;
    return {{line.p1(), xAxis ? xValue1 : yValue1}, {line.p2(), xAxis ? xValue2 : yValue2}};
}

QJsonObject Calibration::toJson() const
{
    QJsonObject object{{QStringLiteral("axisXLine"), lineToJson(axisXLine)},
                       {QStringLiteral("axisYLine"), lineToJson(axisYLine)},
                       {QStringLiteral("xValue1"), xValue1},
                       {QStringLiteral("xValue2"), xValue2},
                       {QStringLiteral("yValue1"), yValue1},
                       {QStringLiteral("yValue2"), yValue2},
                       {QStringLiteral("axisXValid"), axisXValid},
                       {QStringLiteral("axisYValid"), axisYValid},
                       {QStringLiteral("xLogScale"), xLogScale},
                       {QStringLiteral("yLogScale"), yLogScale}};
    if (!xMarks.isEmpty())
        object.insert(QStringLiteral("xMarks"), marksToJson(xMarks));
    if (!yMarks.isEmpty())
        object.insert(QStringLiteral("yMarks"), marksToJson(yMarks));
    if (xKind == AxisKind::Date)
        object.insert(QStringLiteral("xKind"), dateKind);
    if (yKind == AxisKind::Date)
        object.insert(QStringLiteral("yKind"), dateKind);
    return withKeysKept(object, otherKeys);
}

Calibration Calibration::fromJson(const QJsonObject &object)
{
    Calibration calibration;
    calibration.axisXLine = lineFromJson(object.value(QStringLiteral("axisXLine")));
    calibration.axisYLine = lineFromJson(object.value(QStringLiteral("axisYLine")));
    calibration.xValue1 = numericValue(object.value(QStringLiteral("xValue1"))).toDouble(0.0);
    calibration.xValue2 = numericValue(object.value(QStringLiteral("xValue2"))).toDouble(1.0);
    calibration.yValue1 = numericValue(object.value(QStringLiteral("yValue1"))).toDouble(0.0);
    calibration.yValue2 = numericValue(object.value(QStringLiteral("yValue2"))).toDouble(1.0);
    calibration.axisXValid = object.value(QStringLiteral("axisXValid")).toBool(false);
    calibration.axisYValid = object.value(QStringLiteral("axisYValid")).toBool(false);
    // Files written before logarithmic axes existed have no such keys: linear.
    calibration.xLogScale = object.value(QStringLiteral("xLogScale")).toBool(false);
    calibration.yLogScale = object.value(QStringLiteral("yLogScale")).toBool(false);
    // The two-mark fields stay what the axes are read by, so that a file edited
    // by an older version (which drops the marks) and this one agree.
    calibration.xMarks = marksFromJson(object.value(QStringLiteral("xMarks")));
    calibration.yMarks = marksFromJson(object.value(QStringLiteral("yMarks")));
    calibration.otherKeys = unknownKeys(
        object, {QLatin1StringView("axisXLine"), QLatin1StringView("axisYLine"), QLatin1StringView("xValue1"),
                 QLatin1StringView("xValue2"), QLatin1StringView("yValue1"), QLatin1StringView("yValue2"),
                 QLatin1StringView("axisXValid"), QLatin1StringView("axisYValid"),
                 QLatin1StringView("xLogScale"), QLatin1StringView("yLogScale"), QLatin1StringView("xMarks"),
                 QLatin1StringView("yMarks"), QLatin1StringView("xKind"), QLatin1StringView("yKind")});
    if (!readKind(object, QStringLiteral("xKind"), &calibration.xKind))
        calibration.otherKeys.insert(QStringLiteral("xKind"), object.value(QStringLiteral("xKind")));
    if (!readKind(object, QStringLiteral("yKind"), &calibration.yKind))
        calibration.otherKeys.insert(QStringLiteral("yKind"), object.value(QStringLiteral("yKind")));
    // A date axis is linear, whatever a hand-edited file says.
    calibration.xLogScale = calibration.xLogScale && calibration.xKind == AxisKind::Number;
    calibration.yLogScale = calibration.yLogScale && calibration.yKind == AxisKind::Number;
    return calibration;
}

bool operator==(const Calibration &a, const Calibration &b)
{
    return a.axisXLine == b.axisXLine && a.axisYLine == b.axisYLine && a.xValue1 == b.xValue1 &&
           a.xValue2 == b.xValue2 && a.yValue1 == b.yValue1 && a.yValue2 == b.yValue2 &&
           a.axisXValid == b.axisXValid && a.axisYValid == b.axisYValid && a.xLogScale == b.xLogScale &&
           a.yLogScale == b.yLogScale && a.xKind == b.xKind && a.yKind == b.yKind && a.xMarks == b.xMarks &&
           a.yMarks == b.yMarks && a.otherKeys == b.otherKeys;
}
