#pragma once

#include "core/model/calibration.h"
#include "core/model/curve.h"

#include <QList>
#include <QString>

// Writes every point of every curve, hidden ones included, as one CSV row:
// quoted curve name, parameter name and parameter value, then real x and y and
// pixel x and y in %.15g form. UTF-8 without byte-order mark, LF line ends.
// The real x or y of a date axis of the calibration is ISO 8601 text instead.
bool writeCurvesCsv(const QString &path, const QList<Curve> &curves, QString *error = nullptr,
                    const Calibration &calibration = Calibration());
