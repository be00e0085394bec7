#include "digitizing/digitizingtool.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

bool DigitizingTool::keyPress(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    view().model().clearSelection();
    return true;
}

void BoxDrag::begin(const QPointF &at)
{
    m_active = true;
    m_start = m_corner = at;
}

QRectF BoxDrag::finish(const QPointF &corner)
{
    m_active = false;
    return QRectF(m_start, corner).normalized();
}

void BoxDrag::paint(QPainter *painter, double zoom) const
{
    if (!m_active)
        return;
    const double unit = 1.0 / std::max(zoom, 1e-9);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(QColor(0, 120, 215), 1.0 * unit, Qt::DashLine));
    painter->drawRect(QRectF(m_start, m_corner).normalized());
}
