#pragma once

#include "bench/benchsupport.h"

#include <QList>

namespace bench {

// Reading a PDF page's drawing of 100,000 segments, and the questions a mouse move asks of it.
QList<Row> pdfDrawing(const Scale &scale);

} // namespace bench
