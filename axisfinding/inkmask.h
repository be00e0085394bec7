#pragma once

#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>

#include <vector>

namespace axisfinding {

// The grey levels of a picture, at most a few megapixels: a larger picture is
// reduced first, and scale says how many mask pixels one picture pixel is.
// Strokes are dark; small print, thinned by smoothing, is taken lighter.
struct InkMask
{
    int width = 0;
    int height = 0;
    double scale = 1.0;
    std::vector<unsigned char> grey;

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    unsigned char level(int x, int y) const { return grey[size_t(y) * size_t(width) + size_t(x)]; }
    bool at(int x, int y) const { return inside(x, y) && level(x, y) < 128; }
    bool printAt(int x, int y) const { return inside(x, y) && level(x, y) < 200; }
};
InkMask inkMask(const QImage &picture);

// A long straight stroke: its centre line in mask pixels and its thickness.
struct Stroke
{
    QLineF line;
    double thickness = 1.0;
};

// The longest straight strokes running within a few degrees of level
// (vertical false) or of upright (vertical true), longest first.
QList<Stroke> longStrokes(const InkMask &mask, bool vertical);

// Where short strokes leave the stroke at right angles (its ticks), as
// distances along it from line.p1(), in mask pixels.
QList<double> ticksAlong(const InkMask &mask, const Stroke &stroke);

// The boxes of small connected ink blobs grouped into lines of text, in mask pixels.
QList<QRectF> textBoxes(const InkMask &mask);

} // namespace axisfinding
