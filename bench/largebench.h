#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// Opening 1,000,000 points: from a project file (indented and compact) and
// from the database, each timed and, for files, with its peak memory.
QList<Row> millionPoints(const Scale &scale);
// The child: opens the project file (none: only starts) and prints its peak in KiB.
int openPeakChild(const QString &project);

// The main window with 1,000,000 points: opened and painted, then a click
// that adds a point until it is painted.
QList<Row> millionInWindow(const Scale &scale);

} // namespace bench
