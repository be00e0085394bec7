#pragma once

#include "core/model/curve.h"

#include <QList>
#include <QSize>
#include <QString>

// Writes the visible curves as an SVG drawing in the pixel coordinates of the
// source picture (width, height and view box = sourceSize): one polyline per
// curve with two or more points, a dot for a curve of one point, each in the
// curve's colour, opacity and line width and titled with the curve's name.
// Fails when sourceSize is empty, since there is no picture to place them on.
bool writeCurvesSvg(const QString &path, const QList<Curve> &curves, const QSize &sourceSize,
                    QString *error = nullptr);
