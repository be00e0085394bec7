#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// "Find axes" on a vector PDF page (labels from its text) and on a
// 2-megapixel chart picture (labels read by OCR).
QList<Row> axisFinding(const Scale &scale);

} // namespace bench
