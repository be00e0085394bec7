#pragma once

#include "pdfvector/pagedrawing.h"

#include <QList>
#include <QPolygonF>
#include <QRectF>

#include <memory>

// The clip in effect while a page is drawn: the page itself, cut by every
// clipping path set since (each one an area of closed polygons in picture
// pixels with its fill rule). Only what lies inside all of them is drawn.
struct ClipArea
{
    QList<QPolygonF> polygons; // closed, curves flattened
    bool evenOdd = false;
    QRectF bounds;
    bool isRectangle = false; // one axis-parallel rectangle, which is all bounds says
};

struct ClipRegion
{
    QList<ClipArea> areas;
    QRectF bounds; // of the intersection; empty when nothing can be drawn
    int edgeCount = 0;
};

// The area a painted clipping path encloses, sub-paths closed and curves flattened.
ClipArea clipAreaOf(const QList<PathNode> &nodes, bool evenOdd);

// `region` cut further by `area`.
std::shared_ptr<const ClipRegion> intersected(const std::shared_ptr<const ClipRegion> &region,
                                              const ClipArea &area);

// The parts of the path that lie inside the region: vertices outside are
// dropped, and a segment that crosses the border ends (or starts again) there.
// Segments with a point that is not finite are not drawn.
QList<PathNode> clippedNodes(const QList<PathNode> &nodes, const ClipRegion &region);
