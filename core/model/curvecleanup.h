#pragma once

#include "core/model/calibration.h"

#include <QHash>
#include <QList>
#include <QPointF>

// Tidying a curve's points (pixels): what the clean-up commands compute
// before the model takes the result as one change.

// The points in order of x in axis units; points of equal x keep their order.
QList<QPointF> sortedByX(const QList<QPointF> &pixels, const Calibration &calibration);

// The points without those closer than tolerance pixels to one kept before them.
QList<QPointF> withoutDuplicates(const QList<QPointF> &pixels, double tolerance);

// A new stretch joined to a curve's points: the added points that lie within
// tolerance pixels of the curve's line are dropped, so an overlap is not
// doubled, and what is left joins the end it continues, turned round if its
// nearer end is its last point.
QList<QPointF> mergedAlongPath(const QList<QPointF> &existing, const QList<QPointF> &added, double tolerance);
