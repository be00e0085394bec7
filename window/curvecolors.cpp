#include "window/curvecolors.h"

#include "core/model/projectmodel.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

QIcon curveSwatch(const QColor &color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(color.darker(150));
    painter.setBrush(color);
    painter.drawRect(QRectF(0.5, 0.5, 13, 13));
    return QIcon(pixmap);
}

void chooseCurveColor(ProjectModel &model, UserPrompts &prompts, QWidget *parent, int index)
{
    if (index < 0 || index >= model.curves().size())
        return;
    const Curve &curve = model.curves()[index];
    QColor chosen;
    if (prompts.color(parent, i18n::tr("Curve color"), curve.color, &chosen) && chosen.isValid())
        model.setCurveStyle(index, chosen, curve.lineWidth);
}
