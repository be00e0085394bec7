#pragma once

#include <QString>

struct Calibration;
class ProjectModel;

namespace batch {

// The calibration as tab-separated lines: one per mark of each set axis
// ("mark", axis, pixel x, pixel y, value, residual in pixels) and one per axis
// ("axis", axis, RMS in pixels, pixels per unit or per decade, "linear" or "log").
QString calibrationTable(const Calibration &calibration);

// Replaces the calibration by the axes found on the project's picture, and
// with it every point's values, only when each axis has at least three tick
// labels agreeing within half a pixel; otherwise says which axis and why.
bool autoCalibrate(ProjectModel &model, QString *error);

} // namespace batch
