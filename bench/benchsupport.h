#pragma once

#include "core/model/projectmodel.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

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
    Row(const QString &scenario, double medianMs, double baselineMs, const QString &goal,
        const QString &unit = QStringLiteral("ms"))
        : scenario(scenario)
        , medianMs(medianMs)
        , baselineMs(baselineMs) // negative: no baseline
        , goal(goal)
        , unit(unit)
    {}
    QString scenario;
    double medianMs = 0;
    double baselineMs = -1;
    QString goal;
    QString unit;
    QString failure; // not empty: the scenario did not run as meant and its numbers mean nothing
};

// Median wall time of `runs` calls, in milliseconds; `prepare` runs untimed before each.
double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {});

// A calibrated model with `curves` curves of `pointsPerCurve` points along smooth lines.
void fillProject(ProjectModel &model, int curves, int pointsPerCurve, const QSize &picture);

// A file in a folder of this run, removed with everything in it when the program ends.
QString temporaryPath(const QString &name);
// The highest resident memory of this process so far, in KiB.
long peakResidentKiB();
// Peak resident memory of this program run again with arguments, in KiB, as
// the child prints it; negative when it failed.
double childPeakKiB(const QStringList &arguments);

// A picture that costs what a scanned chart costs to decode and encode: grey
// paper noise with dark grid lines and curves, the same for every run.
QImage scanLikePicture(const QSize &size);

// Runs the event loop until it is idle: every posted event delivered, the
// scene's deferred updates processed and the widgets repainted. With a widget,
// it also waits (up to a second) until that widget has been painted, and
// returns how often it was.
int settle(QWidget *painted = nullptr);

// Delivers one mouse event and returns when every synchronous slot has run;
// the caller settles the event loop to count the painting that follows.
void deliver(QWidget *widget, QEvent::Type type, const QPoint &position, Qt::MouseButtons buttons);

} // namespace bench
