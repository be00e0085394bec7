#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// What the undo history holds after 10,000 edits of every kind on a large
// project: the peak of a child that makes them over that of one that does not.
QList<Row> undoHistory(const Scale &scale);
// The child: builds the project and, with edits, makes them; prints its peak in KiB.
int undoPeakChild(bool tiny, bool edits);

} // namespace bench
