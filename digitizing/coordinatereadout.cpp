#include "digitizing/coordinatereadout.h"

#include "core/model/projectmodel.h"
#include "i18n/localization.h"

#include <QLocale>

CoordinateReadout::CoordinateReadout(const ProjectModel *model, QWidget *parent)
    : QLabel(parent)
    , m_model(model)
{
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void CoordinateReadout::showAt(QPointF pixel)
{
    const QImage &image = m_model->sourceImage();
    bool ok = false;
    const QPointF real = m_model->calibration().pixelToReal(pixel, &ok);
    if (!ok || image.isNull() || !QRectF(image.rect()).contains(pixel)) {
        clearReading();
        return;
    }
    setText(coordinateReadoutText(m_model->calibration(), real));
}

void CoordinateReadout::clearReading()
{
    clear();
}

QString coordinateReadoutText(const Calibration &calibration, QPointF real)
{
    return i18n::tr("x = %1   y = %2")
        .arg(calibration.valueText(true, real.x(), 6), calibration.valueText(false, real.y(), 6));
}
