#include "fuzz/fuzzsources.h"

#include <QDir>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

void writeFuzzSources(const QDir &folder)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.drawLine(4, 40, 60, 8);
    }
    image.save(folder.filePath(QStringLiteral("chart.png")));

    // Small pages keep even the highest resolution (1200 dpi) cheap to render.
    QPdfWriter pdf(folder.filePath(QStringLiteral("chart.pdf")));
    pdf.setPageSize(QPageSize(QSizeF(36, 24), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF());
    QPainter painter(&pdf);
    for (int page = 0; page < 3; ++page) {
        if (page > 0)
            pdf.newPage();
        painter.drawText(QPointF(10, 10), QString::number(page + 1));
    }
}
