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

void paint(QPainter &painter, const ChartPlan &plan, Chart &chart)
{
    chart.xLog = plan.xLog;
    chart.yLog = plan.yLog;
    const double u0 = axisValue(plan.xLow, plan.xLog), u1 = axisValue(plan.xHigh, plan.xLog);
    const double v0 = axisValue(plan.yLow, plan.yLog), v1 = axisValue(plan.yHigh, plan.yLog);
    // Values to the unturned plot, then the whole picture turned about its centre.
    QTransform plot;
    plot.translate(plan.plot.left(), plan.plot.bottom());
    plot.scale(plan.plot.width() / (u1 - u0), -plan.plot.height() / (v1 - v0));
    plot.translate(-u0, -v0);
    QTransform turn;
    turn.translate(plan.size.width() / 2.0, plan.size.height() / 2.0);
    turn.rotate(plan.tiltDegrees);
    turn.translate(-plan.size.width() / 2.0, -plan.size.height() / 2.0);
    chart.valueToPixel = plot * turn;
    chart.labels.clear();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(turn);
    const auto format = plan.format ? plan.format : defaultText;
    QFont font(plan.fontFamily);
    font.setPixelSize(std::max(1, plan.fontPixels));
    painter.setFont(font);
    const QPen axisPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(axisPen);
    const QPointF origin = plot.map(QPointF(plan.zeroAxes ? 0.0 : u0, plan.zeroAxes ? 0.0 : v0));
    if (plan.zeroAxes) {
        painter.drawLine(QPointF(plan.plot.left(), origin.y()), QPointF(plan.plot.right(), origin.y()));
        painter.drawLine(QPointF(origin.x(), plan.plot.top()), QPointF(origin.x(), plan.plot.bottom()));
    } else {
        painter.drawRect(plan.plot);
    }
    // A curve over the plot, so that not every stroke is an axis.
    QPainterPath curve;
    for (int i = 0; i <= 100; ++i) {
        const QPointF p(plan.plot.left() + plan.plot.width() * i / 100.0,
                        plan.plot.center().y() + 0.3 * plan.plot.height() * std::sin(i / 9.0));
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
        if (plan.fontPixels > 0)
            painter.drawText(baseline, text);
        chart.labels.append({turn.mapRect(bounds.translated(baseline)), text});
    };
    for (int i = 0; i < plan.xTicks.size(); ++i) {
        const QPointF at = plot.map(QPointF(axisValue(plan.xTicks[i], plan.xLog), plan.zeroAxes ? 0.0 : v0));
        painter.drawLine(at, at + QPointF(0, 6));
        label(i == plan.wrongXLabel ? plan.wrongText : format(plan.xTicks[i]), at + QPointF(0, 6), true);
    }
    for (const double tick : plan.yTicks) {
        const QPointF at = plot.map(QPointF(plan.zeroAxes ? 0.0 : u0, axisValue(tick, plan.yLog)));
        painter.drawLine(at, at - QPointF(6, 0));
        label(format(tick / std::pow(10.0, plan.yExponent)), at - QPointF(6, 0), false);
    }
    if (plan.yExponent != 0 && plan.fontPixels > 0)
        painter.drawText(QPointF(origin.x(), plan.plot.top() - 0.5 * plan.fontPixels),
                         QStringLiteral("1e%1").arg(plan.yExponent));
    painter.restore();
}

Chart draw(const ChartPlan &plan)
{
    Chart chart;
    chart.picture = QImage(plan.size, QImage::Format_RGB32);
    chart.picture.fill(Qt::white);
    QPainter painter(&chart.picture);
    paint(painter, plan, chart);
    painter.end();
    if (plan.jpeg) {
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
