#include "widgets/centeredcheckdelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

QRect centeredCheckRect(const QStyleOptionViewItem &option)
{
    const QRect box =
        styleOf(option)->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, option.widget);
    QRect centered(QPoint(), box.size());
    centered.moveCenter(option.rect.center());
    return centered;
}

void CenteredCheckDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QStyleOptionViewItem check = cell;
    // The background and the selection as usual, without the box at the left.
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    cell.text.clear();
    styleOf(option)->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);
    if (!check.features.testFlag(QStyleOptionViewItem::HasCheckIndicator))
        return;
    check.rect = centeredCheckRect(check);
    check.state &= ~QStyle::State_HasFocus;
    check.state |= check.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    styleOf(option)->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, option.widget);
}

bool CenteredCheckDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                        const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const Qt::ItemFlags flags = model->flags(index);
    if (!flags.testFlag(Qt::ItemIsUserCheckable) || !flags.testFlag(Qt::ItemIsEnabled))
        return false;
    bool toggle = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QStyleOptionViewItem check = option;
        initStyleOption(&check, index);
        toggle = mouse->button() == Qt::LeftButton &&
                 centeredCheckRect(check).contains(mouse->position().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick: return true; // two toggles would cancel out
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        break;
    }
    default: break;
    }
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
