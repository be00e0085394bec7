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

// The scene is measured in pixels of the export; sizes that the user thinks
// of in points and millimetres become scene units here, at the export DPI, so
// the graph looks the same at every resolution.
double sceneUnitsPerPoint(int dpi);
double sceneUnitsPerMm(int dpi);

// The resolution at which text items lay out their fonts (the screen's, as
// the toolkit rounds it); text is scaled by dpi / textLayoutDpi() to keep its
// point size at the export DPI.
int textLayoutDpi();

// The plot inside a graph of that output size at that DPI: margins of 24 mm
// left, 16 top, 8 right and 19 bottom for tick values, axis labels and title.
QRectF plotRectangle(const QSize &outputSize, int dpi);

// The smallest output size, in centimetres, whose plot can still be drawn.
QSizeF minimumGraphSizeCm();

// Scene position of a real point. On a logarithmic axis the decade logarithms
// are mapped linearly; y grows upwards from the plot's bottom edge.
QPointF mapToPlot(const GraphSettings &settings, const QRectF &plot, const QPointF &real);

// True when the real point lies within the limits and, on a logarithmic axis,
// above zero: only such samples are drawn.
bool insideAxisLimits(const GraphSettings &settings, const QPointF &real);

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
