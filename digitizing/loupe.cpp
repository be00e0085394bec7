#include "digitizing/loupe.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QAction>
#include <QPainter>
#include <QSettings>

#include <cmath>

namespace {

const QString loupeSetting = QStringLiteral("view/loupe");

} // namespace

Loupe::Loupe(GraphView *view, ProjectModel *model)
    : QWidget(view->viewport())
    , m_view(view)
    , m_model(model)
    , m_toggle(new QAction(this))
{
    setObjectName(QStringLiteral("loupe"));
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    m_toggle->setObjectName(QStringLiteral("loupeAction"));
    m_toggle->setCheckable(true);
    m_toggle->setChecked(QSettings().value(loupeSetting, true).toBool());
    m_toggle->setShortcut(QKeySequence(Qt::Key_F7));
    connect(m_toggle, &QAction::toggled, this, [this](bool on) {
        QSettings().setValue(loupeSetting, on);
        if (!on)
            hide();
    });
    connect(view, &GraphView::pointerMoved, this, &Loupe::follow);
    connect(view, &GraphView::pointerLeft, this, &QWidget::hide);
    connect(model, &ProjectModel::sourceImageChanged, this, &QWidget::hide);
}

void Loupe::retranslate()
{
    m_toggle->setText(i18n::tr("Loupe"));
    m_toggle->setToolTip(i18n::tr("Loupe") + QStringLiteral(" (%1)").arg(
                                                 m_toggle->shortcut().toString(QKeySequence::NativeText)));
}

QPoint Loupe::placement(const QPoint &pointer, const QSize &area)
{
    // Below right of the pointer by default, flipped on each axis where it would leave the view.
    int x = pointer.x() + gap;
    int y = pointer.y() + gap;
    if (x + side > area.width())
        x = pointer.x() - gap - side;
    if (y + side > area.height())
        y = pointer.y() - gap - side;
    return {x, y};
}

void Loupe::follow(QPointF pixel)
{
    if (!m_toggle->isChecked() || m_model->sourceImage().isNull()) {
        hide();
        return;
    }
    m_pixel = pixel;
    const QPoint pointer = m_view->mapFromScene(pixel);
    move(placement(pointer, parentWidget()->size()));
    show();
    raise();
    update();
}

void Loupe::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(rect(), QColor(QStringLiteral("#f0f0f0")));
    painter.save();
    painter.setClipRect(rect());
    // The pointer's spot at the centre; pixels stay crisp squares.
    const double scale = magnification * m_view->transform().m11();
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(scale, scale);
    painter.translate(-m_pixel);
    // Only the few pixels in sight, so a large page costs no more than a small one.
    const double half = side / (2 * scale) + 2;
    const QRectF shown = QRectF(m_pixel - QPointF(half, half), QSizeF(2 * half, 2 * half))
                             .intersected(m_model->sourceImage().rect());
    painter.drawImage(shown, m_model->sourceImage(), shown);
    painter.restore();

    const QPointF centre(width() / 2.0, height() / 2.0);
    const double pixelSide = scale;
    // The crosshair leaves the pixel under the pointer free and outlines it.
    painter.setPen(QPen(QColor(0, 120, 215), 1));
    const double open = qMax(3.0, pixelSide / 2 + 2);
    painter.drawLine(QPointF(0, centre.y()), centre - QPointF(open, 0));
    painter.drawLine(centre + QPointF(open, 0), QPointF(width(), centre.y()));
    painter.drawLine(QPointF(centre.x(), 0), centre - QPointF(0, open));
    painter.drawLine(centre + QPointF(0, open), QPointF(centre.x(), height()));
    const QPointF corner =
        centre + (QPointF(std::floor(m_pixel.x()), std::floor(m_pixel.y())) - m_pixel) * pixelSide;
    if (pixelSide >= 4)
        painter.drawRect(QRectF(corner, QSizeF(pixelSide, pixelSide)));
    painter.setPen(QPen(QColor(QStringLiteral("#404040")), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
}
