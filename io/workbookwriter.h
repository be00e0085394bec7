#pragma once

#include "model/curve.h"

#include <QList>
#include <QString>

// Writes the visible curves that have points to an Office Open XML workbook:
// one sheet "Data" with an x/y column pair of real coordinates per curve
// (header rows: curve name, "parameter = value", X/Y) and a smoothed scatter
// chart with one series per curve in the curve's colour. A curve is resampled
// on its spline (resampleCurve, stored point order) when pointsPerCurve exceeds
// its acquired point count; otherwise its acquired points are written as they
// are. Fails without touching the file when no visible curve has points.
bool writeCurvesWorkbook(const QString &path, const QList<Curve> &curves, int pointsPerCurve,
                         QString *error = nullptr);
