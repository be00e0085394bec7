#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// What the undo history holds after 10,000 edits of every kind on a large project.
QList<Row> undoHistory(const Scale &scale);

} // namespace bench
