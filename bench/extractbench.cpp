#include "bench/extractbench.h"

#include "extract/extraction.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace bench {

namespace {

// A scanned-looking chart: grid, frame, a wave across the whole plot and a
// disc every 40 px along a second wave, with lines as thick as the picture is large.
struct Chart
{
    QImage image;
    Calibration calibration;
    QPointF onWave;
    QPointF onMarker;
};

Chart drawChart(const QSize &size)
{
    Chart chart;
    const double w = size.width(), h = size.height();
    chart.calibration.axisXLine = QLineF(0.1 * w, 0.9 * h, 0.9 * w, 0.9 * h);
    chart.calibration.axisYLine = QLineF(0.1 * w, 0.9 * h, 0.1 * w, 0.1 * h);
    chart.calibration.xValue1 = 0, chart.calibration.xValue2 = 10;
    chart.calibration.yValue1 = -1.5, chart.calibration.yValue2 = 1.5;
    chart.calibration.axisXValid = chart.calibration.axisYValid = true;
    const double pen = std::max(1.5, w / 2000.0);
    const auto at = [&](double x, double y) { return chart.calibration.realToPixel(QPointF(x, y)); };

    chart.image = QImage(size, QImage::Format_RGB32);
    chart.image.fill(Qt::white);
    QPainter painter(&chart.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(190, 190, 190), pen / 2));
    for (int i = 0; i <= 20; ++i) {
        painter.drawLine(at(i * 0.5, -1.5), at(i * 0.5, 1.5));
        painter.drawLine(at(0, -1.5 + i * 0.15), at(10, -1.5 + i * 0.15));
    }
    painter.setPen(QPen(Qt::black, pen));
    painter.drawPolygon(QPolygonF({at(0, -1.5), at(10, -1.5), at(10, 1.5), at(0, 1.5)}));
    QPolygonF wave;
    for (int i = 0; i <= 4000; ++i)
        wave.append(at(i / 400.0, std::sin(1.7 * i / 400.0)));
    painter.setPen(QPen(QColor(20, 70, 200), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(wave);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 130, 40));
    const double step = 40.0 / (0.8 * w) * 10.0;
    for (double x = step; x < 10.0; x += step)
        painter.drawEllipse(at(x, 0.5 * std::cos(0.9 * x) - 0.6), 2.5 * pen, 2.5 * pen);
    painter.end();
    chart.onWave = at(2.0, std::sin(3.4));
    chart.onMarker = at(step * 10, 0.5 * std::cos(0.9 * step * 10) - 0.6);
    return chart;
}

// A dense scatter: rows of small discs, side (or 30 when tiny) to a side.
Row manyMarkers(const Scale &scale)
{
    const int side = scale.size(300, 30);
    constexpr double spacing = 13.0, margin = 100.0;
    const int extent = int(2 * margin + spacing * side);
    QImage image(extent, extent, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 130, 40));
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column)
            painter.drawEllipse(QPointF(margin + spacing * (column + 0.5), margin + spacing * (row + 0.5)),
                                3.0, 3.0);
    }
    painter.end();
    Calibration calibration;
    calibration.axisXLine = QLineF(margin - 5, extent - margin + 5, extent - margin + 5, extent - margin + 5);
    calibration.axisYLine = QLineF(margin - 5, extent - margin + 5, margin - 5, margin - 5);
    calibration.xValue2 = calibration.yValue2 = 10;
    calibration.axisXValid = calibration.axisYValid = true;
    const QPointF seed(margin + spacing * 0.5, margin + spacing * 0.5);
    qsizetype found = 0;
    const double ms = medianMs(
        scale.repeat(3), [&] { found = extract::findMarkers(image, calibration, seed, {}).points.size(); });
    qInfo("%d of %d markers found", int(found), side * side);
    Row row(QStringLiteral("8. find %1 markers from a click").arg(side * side), ms, -1,
            QStringLiteral("2000 ms"));
    if (found < qsizetype(0.95 * side * side))
        row.failure = QStringLiteral("found %1 markers of %2").arg(found).arg(side * side);
    return row;
}

} // namespace

QList<Row> extraction(const Scale &scale)
{
    QList<Row> rows;
    const struct
    {
        const char *name;
        QSize size;
        const char *goal;
    } sizes[] = {{"24 MP", scale.tiny ? QSize(600, 400) : QSize(6000, 4000), "200 ms"},
                 {"2 MP", scale.tiny ? QSize(300, 200) : QSize(1732, 1155), "30 ms"}};
    for (const auto &size : sizes) {
        const Chart chart = drawChart(size.size);
        qsizetype found = 0;
        const double trace = medianMs(scale.repeat(11), [&] {
            found = extract::traceCurve(chart.image, chart.calibration, chart.onWave, {}).path.size();
        });
        qInfo("%s: the trace has %d centres", size.name, int(found));
        if (found < 2)
            qWarning("the trace found nothing: its row measured nothing");
        const double markers = medianMs(scale.repeat(11), [&] {
            found = extract::findMarkers(chart.image, chart.calibration, chart.onMarker, {}).points.size();
        });
        qInfo("%s: %d markers found", size.name, int(found));
        if (found < 2)
            qWarning("the marker search found nothing: its row measured nothing");
        rows.append({QStringLiteral("8. trace a curve from a click (%1)").arg(QLatin1String(size.name)),
                     trace, -1, QString::fromLatin1(size.goal)});
        rows.append({QStringLiteral("8. find markers from a click (%1)").arg(QLatin1String(size.name)),
                     markers, -1, QString::fromLatin1(size.goal)});
    }
    rows.append(manyMarkers(scale));
    return rows;
}

} // namespace bench
