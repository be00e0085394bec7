#include "bench/pdfscenario.h"

#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"

#include <QFile>
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

// A page of `count` short strokes in ten colours and seven lengths, spread
// over the page as a dense scatter plot would be, written without a compressor.
QString writeScatterPage(int count)
{
    QByteArray content;
    content.reserve(qsizetype(count) * 40);
    const int perColour = count / 10;
    for (int c = 0; c < 10; ++c) {
        content += QByteArray::number(c / 10.0) + " 0 " + QByteArray::number(1 - c / 10.0) + " RG\n";
        for (int i = 0; i < perColour; ++i) {
            const int n = c * perColour + i;
            const double x = 20 + std::fmod(n * 0.6180339887, 1.0) * 555;
            const double y = 20 + std::fmod(n * 0.7548776662, 1.0) * 800;
            const double length = 0.5 + 0.25 * (n % 7);
            content += QByteArray::number(x, 'f', 3) + ' ' + QByteArray::number(y, 'f', 3) + " m " +
                       QByteArray::number(x + length, 'f', 3) + ' ' + QByteArray::number(y + length, 'f', 3) +
                       " l S\n";
        }
    }
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << >> >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream"};
    QByteArray file = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(file.size());
        file += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = file.size();
    file += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        file += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    file += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
            QByteArray::number(xref) + "\n%%EOF\n";
    const QString path = temporaryPath(QStringLiteral("scatter.pdf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        qWarning("cannot write the scatter page");
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

    // A million small paths: the page is read once, then every move and click asks the grid.
    const QString scatter = writeScatterPage(scale.size(1000000, 2000));
    PageDrawing paths;
    const double readScatter =
        medianMs(scale.repeat(1), [&] { readPageDrawing(scatter, 0, 150, &paths, nullptr); });
    if (paths.paths.size() < scale.size(1000000, 2000))
        qWarning("the scatter page read %d paths only", int(paths.paths.size()));
    const auto scatterPixel = [&] {
        const QSize size = paths.frame.imageSize;
        return QPointF(size.width() * (0.1 + 0.8 * (moves++ % 97) / 97.0), size.height() * 0.4);
    };
    const double scatterHover = medianMs(scale.repeat(97), [&] { pathAt(paths, scatterPixel(), 8.0); });
    const double scatterClick = medianMs(scale.repeat(9), [&] { pickCurve(paths, scatterPixel(), 8.0); });
    return {
        {QStringLiteral("8. PDF page drawing read, 100,000 segments"), read, -1, QStringLiteral("300 ms")},
        {QStringLiteral("8. path under the mouse on that page"), hover, -1, QStringLiteral("16 ms")},
        {QStringLiteral("8. snap point under the mouse on that page"), snap, -1, QStringLiteral("16 ms")},
        {QStringLiteral("8. PDF page of 1,000,000 small paths read"), readScatter, -1, QString()},
        {QStringLiteral("8. path under the mouse on that page"), scatterHover, -1, QStringLiteral("16 ms")},
        {QStringLiteral("8. click (curve or markers) on that page"), scatterClick, -1,
         QStringLiteral("200 ms")}};
}

} // namespace bench
