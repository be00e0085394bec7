#pragma once

#include <QStyledItemDelegate>

// A check box cell with the box in the middle of the cell; a click on the box,
// or the space key, toggles it.
class CenteredCheckDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

// Where the check box of a cell with this option is drawn.
QRect centeredCheckRect(const QStyleOptionViewItem &option);
