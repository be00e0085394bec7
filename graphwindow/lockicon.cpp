#include "graphwindow/lockicon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap lockPixmap(bool locked)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    const QColor color = locked ? QColor(QStringLiteral("#1565c0")) : QColor(QStringLiteral("#777777"));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color.lighter(165));
    painter.drawRoundedRect(QRectF(5, 9, 10, 8), 2, 2);
    // The shackle is the upper half of the ellipse; raised by one pixel when open.
    const QRectF shackle = locked ? QRectF(6, 3, 8, 10) : QRectF(6, 2, 8, 10);
    QPainterPath arc;
    arc.arcMoveTo(shackle, 0.0);
    arc.arcTo(shackle, 0.0, 180.0);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arc);
    if (!locked)
        painter.drawLine(QPointF(13, 6), QPointF(16, 4));
    painter.end();
    return pixmap;
}

QIcon lockIcon(bool locked)
{
    return QIcon(lockPixmap(locked));
}
