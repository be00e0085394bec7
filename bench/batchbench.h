#pragma once

#include "bench/benchsupport.h"

#include <QList>
#include <QStringList>

namespace bench {

// The command line over a folder of 2-megapixel chart pictures: one trace and
// one CSV each, on every core; its time and its peak memory for two counts of
// pictures, which must not differ much.
QList<Row> batchRun(const Scale &scale);

// Runs the program with arguments and prints its wall time in ms and its peak
// resident memory in KiB; in a process of its own so that the peak is its alone.
int batchChild(const QStringList &arguments);

} // namespace bench
