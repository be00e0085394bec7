#pragma once

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QString>

#include <utility>

// One digitized point: where it sits on the picture and what it means in axis units.
struct CurvePoint
{
    CurvePoint() = default;
    CurvePoint(QPointF pixelPosition, QPointF realPosition, QString curve)
        : pixel(pixelPosition)
        , real(realPosition)
        , curveName(std::move(curve))
    {}

    QPointF pixel;
    QPointF real;
    QString curveName;
    // Keys of its stored object that this program does not read, written back on save.
    QJsonObject otherKeys;

    friend bool operator==(const CurvePoint &a, const CurvePoint &b)
    {
        return a.pixel == b.pixel && a.real == b.real && a.curveName == b.curveName &&
               a.otherKeys == b.otherKeys;
    }
    friend bool operator!=(const CurvePoint &a, const CurvePoint &b) { return !(a == b); }
};

// Moved in memory as a whole when a list of points grows.
Q_DECLARE_TYPEINFO(CurvePoint, Q_RELOCATABLE_TYPE);

// Line widths outside this range are brought to its nearest end (NaN to the minimum).
constexpr double minimumLineWidth = 0.1;
constexpr double maximumLineWidth = 30.0;
double clampedLineWidth(double width);

QColor defaultCurveColor();

struct Curve
{
    QString name;
    QString parameterName;
    QString parameterValue;
    QColor color = defaultCurveColor();
    double lineWidth = 2.0; // kept within minimumLineWidth..maximumLineWidth by its writers
    bool visible = true;
    QList<CurvePoint> points;
    QJsonObject otherKeys; // as CurvePoint::otherKeys

    friend bool operator==(const Curve &a, const Curve &b)
    {
        return a.name == b.name && a.parameterName == b.parameterName &&
               a.parameterValue == b.parameterValue && a.color == b.color && a.lineWidth == b.lineWidth &&
               a.visible == b.visible && a.points == b.points && a.otherKeys == b.otherKeys;
    }
    friend bool operator!=(const Curve &a, const Curve &b) { return !(a == b); }
};

// How the curve is named in a graph's legend: its parameter ("T = 25 °C")
// where it has one, otherwise its name.
QString curveLegendEntry(const Curve &curve);

// Where the curve's points sit on the picture, in order.
QList<QPointF> curvePixels(const Curve &curve);

// A curve of that name with every other field at its default.
Curve makeCurve(const QString &name);

// The colours new curves take in turn, the default first; neighbours differ in
// hue and lightness so that they stay apart also for red-green blindness.
QList<QColor> curvePalette();
// The first palette colour that no curve uses; when all are used, the palette
// starts over at the number of curves.
QColor nextCurveColor(const QList<Curve> &curves);

// Where a point was inserted, so that the insertion can be undone.
struct InsertionRecord
{
    QString curveName;
    int pointIndex = 0;

    friend bool operator==(const InsertionRecord &a, const InsertionRecord &b)
    {
        return a.curveName == b.curveName && a.pointIndex == b.pointIndex;
    }
};
