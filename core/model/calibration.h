#pragma once

#include "core/model/axisfit.h"
#include "core/model/dateaxis.h"

#include <QJsonObject>
#include <QLineF>
#include <QPointF>

#include <optional>

// True when a and b agree to about twelve significant digits. Zero equals only
// zero, so an axis running from 0 to 10 is valid.
bool fuzzyEqual(double a, double b);

// What an axis counts: plain numbers, or instants as seconds since
// 1970-01-01T00:00:00 UTC (always on a linear scale).
enum class AxisKind { Number, Date };

// The two axis lines drawn on the picture and the real values at their ends.
// The mapping is affine (oblique): the real x of a pixel is read where the line
// through it parallel to the Y axis meets the X axis, and the other way round
// for y, so tilted, sheared and non-perpendicular axes all read true. On a
// logarithmic axis the value varies linearly in log10 between the marks.
struct Calibration
{
    QLineF axisXLine;
    QLineF axisYLine;
    double xValue1 = 0.0;
    double xValue2 = 1.0;
    double yValue1 = 0.0;
    double yValue2 = 1.0;
    bool axisXValid = false;
    bool axisYValid = false;
    bool xLogScale = false;
    bool yLogScale = false;
    AxisKind xKind = AxisKind::Number;
    AxisKind yKind = AxisKind::Number;
    // The marks each axis was fitted through when it has more than the two
    // ends of its line; empty for an axis set from a line and two values.
    QList<CalibrationMark> xMarks;
    QList<CalibrationMark> yMarks;
    // Keys of the stored calibration that this program does not read, written back on save.
    QJsonObject otherKeys;

    bool isAxisXValid() const;
    bool isAxisYValid() const;
    bool isComplete() const;

    // (0, 0) with *ok false while the calibration is incomplete. With parallel
    // axis lines each value is read from the orthogonal projection instead.
    QPointF pixelToReal(QPointF pixel, bool *ok = nullptr) const;
    // Exact inverse of pixelToReal; fails as well when the axis lines are
    // parallel or a value is not above zero on a logarithmic axis.
    QPointF realToPixel(QPointF real, bool *ok = nullptr) const;

    // How the values of a date axis are written; none for a number axis.
    std::optional<DateFormat> dateFormat(bool xAxis) const;
    // A value of the axis as the program shows and writes it: ISO 8601 on a
    // date axis, otherwise the number with that many significant digits.
    QString valueText(bool xAxis, double value, int digits) const;

    // The marks of one axis: the stored ones, or the two ends of its line.
    QList<CalibrationMark> marks(bool xAxis) const;

    QJsonObject toJson() const;
    // Missing or wrongly typed values take the initial values; numbers may be written as text.
    static Calibration fromJson(const QJsonObject &object);

    friend bool operator==(const Calibration &a, const Calibration &b);
    friend bool operator!=(const Calibration &a, const Calibration &b) { return !(a == b); }

private:
    struct AxisDirections
    {
        QPointF dX;
        QPointF dY;
        double determinant; // zero for parallel axes
    };
    std::optional<AxisDirections> axisDirections(bool *ok) const;
};
