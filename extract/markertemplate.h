#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

#include <algorithm>
#include <optional>
#include <vector>

namespace extract {

// How much of each pixel of a rectangle is the picked ink, 0..255. The ink of
// straight lines (grid lines, axes) is kept apart in lineValues, so that a
// marker on a line can still be seen whole; it is empty when there are none.
struct CoverageMap
{
    QRect box;
    std::vector<unsigned char> values;
    std::vector<unsigned char> lineValues;

    size_t index(int x, int y) const { return size_t(y - box.top()) * box.width() + size_t(x - box.left()); }
    unsigned char at(int x, int y) const { return values[index(x, y)]; }
    // The ink with the lines in.
    unsigned char withLinesAt(int x, int y) const
    {
        return lineValues.empty() ? at(x, y) : std::max(at(x, y), lineValues[index(x, y)]);
    }
};

// What one marker looks like, learnt from the clicked one without the lines
// that run into it.
struct MarkerTemplate
{
    int width = 0;
    int height = 0;
    std::vector<float> values; // coverage 0..1, row by row
    QPointF centre;            // the marker's centre, from the template's top left corner
    QSize markerSize;          // the ink of the marker itself, without the antialiased rim
    int solidCount = 0;        // of the marker's solid pixels
};

// The marker at (or within a few pixels of) clicked: a compact blob on its
// own, a hollow outline round a small hole, or the thick part of ink where
// thinner lines join it. Nothing when the click is on a plain line.
std::optional<MarkerTemplate> learnTemplate(const CoverageMap &map, QPoint clicked);

// The template of what the markers at centres (the best first) have in
// common, learnt from the median of their pixels with the lines in: a line
// through the clicked marker is in no other at the same place. Nothing when
// fewer than three are whole in the map.
std::optional<MarkerTemplate> commonTemplate(const CoverageMap &map, const MarkerTemplate &learnt,
                                             const std::vector<QPointF> &centres);

// A click on two touching markers learns both as one. The blobs of the map
// that have about half the clicked one's solid pixels show a single marker:
// a pixel of the typical one, when there are several.
std::optional<QPoint> singleMarkerPixel(const CoverageMap &map, int clickedSolidCount);

} // namespace extract
