#include "bench/pdfscenario.h"

#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace bench {

namespace {

constexpr int curves = 10;

// Ten wavy polylines that together have `segments` segments, over axes with ticks.
QString writeDensePage(int segments)
{
    const QString path = temporaryPath(QStringLiteral("dense.pdf"));
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setResolution(72); // painter units are points
    QPainter painter(&writer);
    painter.setPen(QPen(Qt::black, 0.75));
    painter.drawLine(QPointF(50, 780), QPointF(550, 780));
    painter.drawLine(QPointF(50, 780), QPointF(50, 60));
    const int perCurve = segments / curves;
    for (int c = 0; c < curves; ++c) {
        painter.setPen(QPen(QColor::fromHsv(c * 36, 255, 200), 0.75));
        QPolygonF line;
        for (int i = 0; i <= perCurve; ++i) {
            const double x = 50 + 500.0 * i / perCurve;
            line.append(QPointF(x, 100 + 65 * c + 20 * std::sin(x * 0.37 + c)));
        }
        painter.drawPolyline(line);
    }
    painter.end();
    return path;
}

} // namespace

QList<Row> pdfDrawing(const Scale &scale)
{
    const QString path = writeDensePage(scale.size(100000, 1000));
    PageDrawing drawing;
    const double read = medianMs(scale.repeat(9), [&] { readPageDrawing(path, 0, 150, &drawing, nullptr); });
    if (drawing.segmentCount < scale.size(100000, 1000))
        qWarning("the dense page read %d segments only", drawing.segmentCount);
    // Mouse moves along the page's middle, where every curve passes.
    int moves = 0;
    const auto nextPixel = [&] {
        const QSize size = drawing.frame.imageSize;
        return QPointF(size.width() * (0.1 + 0.8 * (moves++ % 97) / 97.0), size.height() * 0.4);
    };
    const double hover = medianMs(scale.repeat(97), [&] { pathAt(drawing, nextPixel(), 8.0); });
    const double snap = medianMs(scale.repeat(97), [&] { snapPoint(drawing, nextPixel(), 8.0); });
    return {
        {QStringLiteral("8. PDF page drawing read, 100,000 segments"), read, -1, QStringLiteral("300 ms")},
        {QStringLiteral("8. path under the mouse on that page"), hover, -1, QStringLiteral("16 ms")},
        {QStringLiteral("8. snap point under the mouse on that page"), snap, -1, QStringLiteral("16 ms")}};
}

} // namespace bench
