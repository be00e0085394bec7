#pragma once

#include <QPointF>

class ProjectModel;

// Where a click at `position` would insert a point into the active curve: the
// index after the nearest drawn segment within `maxDistance`, or -1.
int insertionIndexNear(const ProjectModel &model, const QPointF &position, double maxDistance);
