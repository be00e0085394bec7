#include "drawnchart.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace drawnchart {

namespace {

double axisValue(double value, bool logScale)
{
    return logScale ? std::log10(value) : value;
}

QString defaultText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

QPointF Chart::pixelOf(double x, double y) const
{
    return valueToPixel.map(QPointF(axisValue(x, xLog), axisValue(y, yLog)));
}

void paint(QPainter &painter, const Spec &spec, Chart &chart)
{
    chart.xLog = spec.xLog;
    chart.yLog = spec.yLog;
    const double u0 = axisValue(spec.xLow, spec.xLog), u1 = axisValue(spec.xHigh, spec.xLog);
    const double v0 = axisValue(spec.yLow, spec.yLog), v1 = axisValue(spec.yHigh, spec.yLog);
    // Values to the unturned plot, then the whole picture turned about its centre.
    QTransform plot;
    plot.translate(spec.plot.left(), spec.plot.bottom());
    plot.scale(spec.plot.width() / (u1 - u0), -spec.plot.height() / (v1 - v0));
    plot.translate(-u0, -v0);
    QTransform turn;
    turn.translate(spec.size.width() / 2.0, spec.size.height() / 2.0);
    turn.rotate(spec.tiltDegrees);
    turn.translate(-spec.size.width() / 2.0, -spec.size.height() / 2.0);
    chart.valueToPixel = plot * turn;
    chart.labels.clear();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(turn);
    const auto format = spec.format ? spec.format : defaultText;
    QFont font(spec.fontFamily);
    font.setPixelSize(std::max(1, spec.fontPixels));
    painter.setFont(font);
    const QPen axisPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(axisPen);
    const QPointF origin = plot.map(QPointF(spec.zeroAxes ? 0.0 : u0, spec.zeroAxes ? 0.0 : v0));
    if (spec.zeroAxes) {
        painter.drawLine(QPointF(spec.plot.left(), origin.y()), QPointF(spec.plot.right(), origin.y()));
        painter.drawLine(QPointF(origin.x(), spec.plot.top()), QPointF(origin.x(), spec.plot.bottom()));
    } else {
        painter.drawRect(spec.plot);
    }
    // A curve over the plot, so that not every stroke is an axis.
    QPainterPath curve;
    for (int i = 0; i <= 100; ++i) {
        const QPointF p(spec.plot.left() + spec.plot.width() * i / 100.0,
                        spec.plot.center().y() + 0.3 * spec.plot.height() * std::sin(i / 9.0));
        i == 0 ? curve.moveTo(p) : curve.lineTo(p);
    }
    painter.setPen(QPen(QColor(31, 119, 180), 2));
    painter.drawPath(curve);
    painter.setPen(axisPen);
    const QFontMetricsF metrics(font);
    const auto label = [&](const QString &text, QPointF anchor, bool below) {
        const QRectF bounds = metrics.tightBoundingRect(text);
        const QPointF baseline =
            below ? QPointF(anchor.x() - bounds.center().x(), anchor.y() - bounds.top() + 6)
                  : QPointF(anchor.x() - bounds.right() - 8, anchor.y() - bounds.center().y());
        if (spec.fontPixels > 0)
            painter.drawText(baseline, text);
        chart.labels.append({turn.mapRect(bounds.translated(baseline)), text});
    };
    for (int i = 0; i < spec.xTicks.size(); ++i) {
        const QPointF at = plot.map(QPointF(axisValue(spec.xTicks[i], spec.xLog), spec.zeroAxes ? 0.0 : v0));
        painter.drawLine(at, at + QPointF(0, 6));
        label(i == spec.wrongXLabel ? spec.wrongText : format(spec.xTicks[i]), at + QPointF(0, 6), true);
    }
    for (const double tick : spec.yTicks) {
        const QPointF at = plot.map(QPointF(spec.zeroAxes ? 0.0 : u0, axisValue(tick, spec.yLog)));
        painter.drawLine(at, at - QPointF(6, 0));
        label(format(tick), at - QPointF(6, 0), false);
    }
    painter.restore();
}

Chart draw(const Spec &spec)
{
    Chart chart;
    chart.picture = QImage(spec.size, QImage::Format_RGB32);
    chart.picture.fill(Qt::white);
    QPainter painter(&chart.picture);
    paint(painter, spec, chart);
    painter.end();
    if (spec.jpeg) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        chart.picture.save(&buffer, "JPG", 70);
        chart.picture = QImage::fromData(bytes, "JPG");
    }
    return chart;
}

QString KnownLabels::read(const QImage &, const QRect &box) const
{
    QString best;
    double bestArea = 0.0;
    for (const axisfinding::PlacedText &label : m_labels) {
        const QRectF common = label.box.intersected(QRectF(box));
        const double area = common.width() * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = label.text;
        }
    }
    return best;
}

} // namespace drawnchart
