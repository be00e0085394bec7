#pragma once

#include "core/model/calibration.h"

#include <QPolygonF>
#include <QSize>

#include <vector>

namespace extract {

struct Preparation;

// The centres without a legend's sample (a marker with text beside it) and
// without lone markers far from all others.
std::vector<QPointF> withoutLegendSamples(const Preparation &prepared, const std::vector<QPointF> &centres,
                                          QSize markerSize);

// Chains the centres from the one with the least x (axis units), always on to the nearest left over.
QPolygonF orderAlongCurve(const std::vector<QPointF> &centres, const Calibration &calibration);

} // namespace extract
