// A PDF of any content whose first pages' drawing is read, then asked what a
// mouse move asks: the path under a pixel, its curve, and the snap point.
#include "fuzz/fuzzsupport.h"
#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"

#include <cmath>

namespace {

bool finite(const QPointF &point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

void checkDrawing(const PageDrawing &drawing)
{
    int segments = 0;
    for (const DrawnPath &path : drawing.paths) {
        if (path.nodes.size() < 2 || path.nodes.first().step != PathStep::MoveTo)
            fuzzsupport::fail("a painted path starts with a MoveTo and has a segment");
        if (!path.style.stroked && !path.style.filled)
            fuzzsupport::fail("a painted path is stroked or filled");
        for (const PathNode &node : path.nodes) {
            segments += node.step == PathStep::MoveTo ? 0 : 1;
            // Bounds of far-away or non-finite points are not checked: the page may hold anything.
            if (finite(node.point) && std::fabs(node.point.x()) < 1e12 && std::fabs(node.point.y()) < 1e12 &&
                !path.bounds.adjusted(-1, -1, 1, 1).contains(node.point))
                fuzzsupport::fail("the bounds hold every node");
        }
    }
    if (segments != drawing.segmentCount)
        fuzzsupport::fail("the segment count is that of the paths");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::writeInput(data, size, QStringLiteral("input.pdf"));
    for (int page = 0; page < 2; ++page) {
        PageDrawing drawing;
        QString error;
        if (!readPageDrawing(path, page, 72, &drawing, &error)) {
            if (error.isEmpty())
                fuzzsupport::fail("a refused page says why");
            continue;
        }
        checkDrawing(drawing);
        const QSize size = drawing.frame.imageSize;
        for (const QPointF &pixel : {QPointF(0, 0), QPointF(size.width() / 2.0, size.height() / 2.0),
                                     QPointF(size.width() / 3.0, size.height() * 0.7)}) {
            const PickedCurve picked = pickCurve(drawing, pixel, 20.0, 2);
            if ((picked.kind == PickedCurve::Kind::Nothing) != picked.paths.isEmpty())
                fuzzsupport::fail("a pick names its paths exactly when it found something");
            snapPoint(drawing, pixel, 20.0);
        }
    }
    return 0;
}
