#pragma once

#include "axisfinding/axisfinder.h"

struct PageDrawing;

namespace axisfinding {

// The axis found on a vector PDF page's rendered picture, moved onto the
// page's own drawing: each mark goes to where the straight line drawn across
// the axis there (its tick, or a grid line) meets the axis' drawn line, when
// both pass within a pixel and a half of it; the axis is then fitted again.
// Marks without such lines stay where the picture put them.
FoundAxis onDrawnLines(const FoundAxis &axis, const PageDrawing &drawing);

} // namespace axisfinding
