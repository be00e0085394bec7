#include "bench/axisbench.h"

#include "axisfinding/axisfinder.h"
#include "axisfinding/projectaxes.h"
#include "axisfinding/tesseractreader.h"
#include "core/model/projectmodel.h"

#include <QPdfWriter>

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace bench {

namespace {

// A plotted chart as a plotting library draws one: frame, outward ticks with
// labels, a curve and a grey grid.
void paintChart(QPainter &painter, const QSize &size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot(0.1 * size.width(), 0.05 * size.height(), 0.85 * size.width(), 0.82 * size.height());
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(std::max(12, size.height() / 50));
    painter.setFont(font);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int i = 1; i < 10; ++i)
        painter.drawLine(QPointF(plot.left() + plot.width() * i / 10, plot.top()),
                         QPointF(plot.left() + plot.width() * i / 10, plot.bottom()));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    for (int i = 0; i <= 10; ++i) {
        const double x = plot.left() + plot.width() * i / 10;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 8));
        painter.drawText(QRectF(x - 40, plot.bottom() + 10, 80, 30), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(i * 20));
        const double y = plot.bottom() - plot.height() * i / 10;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.left() - 8, y));
        painter.drawText(QRectF(plot.left() - 100, y - 15, 88, 30), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(i * 0.5));
    }
    QPainterPath wave;
    for (int i = 0; i <= 400; ++i) {
        const QPointF p(plot.left() + plot.width() * i / 400,
                        plot.center().y() + 0.35 * plot.height() * std::sin(i / 30.0));
        i == 0 ? wave.moveTo(p) : wave.lineTo(p);
    }
    painter.setPen(QPen(QColor(31, 119, 180), 2));
    painter.drawPath(wave);
}

QImage chartPicture(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChart(painter, size);
    return image;
}

// The same chart as a vector PDF page written as a vector PDF, opened as the window opens it (150 dpi).
void openChartPage(ProjectModel &model, const QString &path, const QSize &points)
{
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(points, QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(72);
        QPainter painter(&writer);
        paintChart(painter, points);
    }
    model.setRenderDpi(150);
    if (!model.loadSource(path))
        qWarning("cannot open the chart page: %s", qPrintable(model.lastError()));
}

} // namespace

QList<Row> axisFinding(const Scale &scale)
{
    const QString pdf = temporaryPath(QStringLiteral("axes.pdf"));
    ProjectModel model;
    openChartPage(model, pdf, QSize(576, 384));
    Row pdfRow(QStringLiteral("find axes, vector PDF page (its own text)"), 0, -1,
               QStringLiteral("<= 150 ms"));
    int pdfAgreeing = 0;
    pdfRow.medianMs = medianMs(scale.repeat(5), [&] {
        QString problem;
        const axisfinding::FoundAxes found = axisfinding::findProjectAxes(model, &problem);
        pdfAgreeing = found.x.agreeing + found.y.agreeing;
    });
    if (pdfAgreeing < 6)
        pdfRow.failure = QStringLiteral("only %1 labels agreed: the axes were not found").arg(pdfAgreeing);

    const QImage picture = chartPicture(scale.tiny ? QSize(600, 400) : QSize(1732, 1155));
    const axisfinding::TesseractReader reader;
    Row row(QStringLiteral("find axes, 2 MP chart picture (OCR)"), 0, -1, QStringLiteral("<= 1000 ms"));
    if (!reader.isReady()) {
        row.failure = QStringLiteral("Tesseract could not start");
        return {pdfRow, row};
    }
    int agreeing = 0;
    row.medianMs = medianMs(scale.repeat(5), [&] {
        const axisfinding::FoundAxes found = axisfinding::findAxes(picture, reader);
        agreeing = found.x.agreeing + found.y.agreeing;
    });
    if (agreeing < 6)
        row.failure = QStringLiteral("only %1 labels agreed: the axes were not found").arg(agreeing);
    return {pdfRow, row};
}

} // namespace bench
