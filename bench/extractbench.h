#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// From the click to the points of a trace and of a marker search, on a
// 24-megapixel and a 2-megapixel chart.
QList<Row> extraction(const Scale &scale);

} // namespace bench
