#pragma once

#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

struct Calibration;
struct GraphSettings;

// The plot inside a graph of that output size: margins of 90 units left, 75
// top, 45 right and 85 bottom for tick values, axis labels and the title.
QRectF plotRectangle(const QSize &outputSize);

// Scene position of a real point. On a logarithmic axis the decade logarithms
// are mapped linearly; y grows upwards from the plot's bottom edge.
QPointF mapToPlot(const GraphSettings &settings, const QRectF &plot, const QPointF &real);

// True when the real point lies within the limits and, on a logarithmic axis,
// above zero: only such samples are drawn.
bool insideAxisLimits(const GraphSettings &settings, const QPointF &real);

// The value at fraction f (0..1) of an axis from minimum to maximum.
double tickValue(double minimum, double maximum, bool logarithmic, double fraction);

// A tick value as text: rounded to a whole number (half away from zero) at 0
// decimals, fixed-point with that many decimals otherwise. Never "-0".
QString tickText(double value, int decimals);

// The corners of the axis-limit box on the source picture, in the order
// (xMin, yMin), (xMax, yMin), (xMax, yMax), (xMin, yMax). Fails when the
// calibration cannot convert them.
bool blueprintQuad(const Calibration &calibration, const GraphSettings &settings, QPolygonF *quad);

// The projective transform from source-picture pixels to scene units that
// takes the limit box's corners onto the plot's corners (left-bottom,
// right-bottom, right-top, left-top). Fails when the calibration cannot
// convert the corners or the quadrilateral is degenerate.
bool blueprintTransform(const Calibration &calibration, const GraphSettings &settings, const QRectF &plot,
                        QTransform *transform);

// The part of the picture inside quad (picture pixels), with everything
// outside the quadrilateral made transparent, and where that part starts in
// the picture. The plot then shows the source only inside its frame, and no
// exporter has to clip (the SVG generator cannot).
QImage blueprintPart(const QImage &picture, const QPolygonF &quad, QPoint *offset);
