#pragma once

#include "core/model/calibration.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <functional>

// Chart pictures drawn through a known calibration, so that what the
// extraction finds can be compared with what was drawn.
namespace scenes {

// 800 x 600; X axis (80,520)-(720,520) for 0..10, Y axis (80,520)-(80,40) for
// -1.5..1.5, both turned by rotationDegrees about the picture's centre.
Calibration chartCalibration(double rotationDegrees = 0.0);
QImage blankPicture();
// The committed renders put the plot's frame at 10 % and 90 % of a 640 x 480
// picture, x 0..10 and y -1.5..1.5; a scan is then turned about the centre.
Calibration renderCalibration(double rotationDegrees = 0.0);
// Axes crossing in the middle of the picture, x -20..20 along y = 280 and
// y -1.5..1.5 along x = 400, drawn with ticks every 5 and no frame.
Calibration crossingCalibration();
void drawCrossingAxes(QImage &image, const Calibration &calibration);

// The pixel polyline of t -> (x, y) in axis units, densely sampled.
QPolygonF curveInPixels(const Calibration &calibration, const std::function<QPointF(double)> &real, double t0,
                        double t1, int samples = 2000);
// The straight segment between two points in axis units.
QPolygonF segmentInPixels(const Calibration &calibration, QPointF from, QPointF to);

// Antialiased painting of the usual chart parts.
void drawPolyline(QImage &image, const QPolygonF &pixels, const QColor &colour, double width,
                  const QList<qreal> &dashes = {});
// Lines at every xStep and yStep (axis units) across the axes' range.
void drawGrid(QImage &image, const Calibration &calibration, double xStep, double yStep, const QColor &colour,
              double width);
// The two axes and the frame around the plot.
void drawAxesAndFrame(QImage &image, const Calibration &calibration, const QColor &colour, double width);
void drawDisc(QImage &image, QPointF centre, double radius, const QColor &colour);

// The picture after a trip through a file format: "png", "jpg75", "jpg40".
QImage throughFormat(const QImage &image, const QString &format);

// The largest distance from one of points to the polyline.
double largestDistance(const QPolygonF &points, const QPolygonF &polyline);
// The same along the whole of path, every half pixel of its segments.
double largestDistanceAlong(const QPolygonF &path, const QPolygonF &polyline);
double distanceToPolyline(QPointF point, const QPolygonF &polyline);
// The index of the polyline's vertex nearest to point.
qsizetype nearestVertex(QPointF point, const QPolygonF &polyline);

} // namespace scenes
