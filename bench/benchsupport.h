#pragma once

#include "model/projectmodel.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

// How big the scenarios are: "full" is what users meet, "tiny" only proves
// that the benchmark still runs.
struct Scale
{
    bool tiny = false;
    int repeat(int full) const { return tiny ? std::min(full, 2) : full; }
    int size(int full, int small) const { return tiny ? small : full; }
};

struct Row
{
    QString scenario;
    double medianMs = 0;
    double baselineMs = -1; // negative: no baseline
    QString goal;
    QString unit = QStringLiteral("ms");
};

// Median wall time of `runs` calls, in milliseconds; `prepare` runs untimed before each.
double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {});

// A calibrated model with `curves` curves of `pointsPerCurve` points along smooth lines.
void fillProject(ProjectModel &model, int curves, int pointsPerCurve, const QSize &picture);

QString temporaryPath(const QString &name);
long peakResidentKiB();

} // namespace bench
