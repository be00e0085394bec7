#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <memory>
#include <vector>

// What a PDF page draws, read from its content stream: every stroked or filled
// path with its style, placed on the picture that renderPdfPage makes of the
// page. Read a page once into a PageDrawing; the picking and snapping
// functions then answer from that value without touching the file again.

enum class PathStep { MoveTo, LineTo, CurveTo };

// One step of a path in picture pixels. A CurveTo is a cubic Bézier from the
// previous point through control1 and control2 to point.
struct PathNode
{
    PathStep step = PathStep::MoveTo;
    QPointF point;
    QPointF control1;
    QPointF control2;

    friend bool operator==(const PathNode &a, const PathNode &b)
    {
        return a.step == b.step && a.point == b.point && a.control1 == b.control1 && a.control2 == b.control2;
    }
};

// Widths and dashes are in points of the page (1/72 inch) as the reader sees
// them after all transformations, so they do not depend on the resolution.
struct PathStyle
{
    bool stroked = false;
    bool filled = false;
    QColor strokeColor = Qt::black;
    QColor fillColor = Qt::black;
    double lineWidth = 1.0;
    QList<double> dashes; // empty for a solid line
    double dashPhase = 0.0;

    friend bool operator==(const PathStyle &a, const PathStyle &b)
    {
        return a.stroked == b.stroked && a.filled == b.filled && a.strokeColor == b.strokeColor &&
               a.fillColor == b.fillColor && a.lineWidth == b.lineWidth && a.dashes == b.dashes &&
               a.dashPhase == b.dashPhase;
    }
};

// A painted path. Every sub-path starts with a MoveTo; a closed sub-path ends
// with a LineTo back to its start.
struct DrawnPath
{
    PathStyle style;
    QList<PathNode> nodes;
    QRectF bounds; // of all nodes and control points, in pixels
};

// How a page lies on its rendered picture: the visible box of the page in its
// own coordinates (crop box cut by the media box), the page's clockwise quarter
// turns (its /Rotate), and the size of the picture.
struct PageFrame
{
    QRectF box;
    int quarterTurns = 0;
    QSize imageSize;
};

// The page's size in points as the renderer reports it (turned with the page).
QSizeF framePointSize(const PageFrame &frame);

// Page coordinates (points, y up) to picture pixels (y down), as the renderer
// places the page on a picture of frame.imageSize.
QTransform pageToPixelTransform(const PageFrame &frame);

// The paths by the cells of a grid over the picture that their bounds touch,
// so that a mouse move looks at the few paths near it. Paths that touch many
// cells are kept apart and always looked at.
struct PathGrid
{
    QRectF area;
    double cellSize = 1.0;
    int columns = 0;
    int rows = 0;
    std::vector<std::vector<int>> cells; // row by row
    std::vector<int> large;
    // The paths of each style in drawing order, and the style of each path;
    // likewise the chains of paths of one style joined end to end.
    std::vector<std::vector<int>> styles;
    std::vector<int> styleOf;
    std::vector<std::vector<int>> chains;
    std::vector<int> chainOf;
};

struct PageDrawing
{
    PageFrame frame;
    QTransform pageToPixel;
    QList<DrawnPath> paths;               // in drawing order
    int segmentCount = 0;                 // lines and curves of all paths
    std::shared_ptr<const PathGrid> grid; // of `paths`, once read; none: every path is looked at
};

// The grid of the drawing's paths, made once when the page is read.
std::shared_ptr<const PathGrid> pathGridOf(const PageDrawing &drawing);

// Reads page `page` (zero-based) of the PDF as renderPdfPage renders it at
// `dpi`. A page without vector drawing gives true and no paths. On failure
// `error` gets an Italian text for the user.
bool readPageDrawing(const QString &path, int page, int dpi, PageDrawing *drawing, QString *error);
