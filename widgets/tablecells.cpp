#include "widgets/tablecells.h"

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTableWidget>

namespace tablecells {

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem *colorItem(const QColor &color)
{
    QTableWidgetItem *item =
        readOnlyItem(color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb));
    item->setBackground(color);
    // Readable on dark and light colours alike.
    item->setForeground(color.lightnessF() < 0.5 ? Qt::white : Qt::black);
    return item;
}

QTableWidgetItem *checkItem(bool checked)
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidgetItem *numberItem(double value)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::EditRole, value);
    return item;
}

void setCell(QTableWidget *table, int row, int column, QTableWidgetItem *item)
{
    QTableWidgetItem *existing = table->item(row, column);
    if (!existing) {
        table->setItem(row, column, item);
        return;
    }
    existing->setFlags(item->flags());
    for (int role : {int(Qt::DisplayRole), int(Qt::CheckStateRole), int(Qt::BackgroundRole),
                     int(Qt::ForegroundRole), int(Qt::ToolTipRole)})
        existing->setData(role, item->data(role));
    delete item;
}

double numberAt(const QTableWidget *table, int row, int column, bool *ok)
{
    const QTableWidgetItem *item = table->item(row, column);
    *ok = false;
    return item ? item->data(Qt::EditRole).toDouble(ok) : 0.0;
}

QString textAt(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

bool checkedAt(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item && item->checkState() == Qt::Checked;
}

NumberDelegate::NumberDelegate(double minimum, double maximum, int decimals, double step, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_decimals(decimals)
    , m_step(step)
{}

QWidget *NumberDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &) const
{
    if (m_decimals == 0) {
        auto *spin = new QSpinBox(parent);
        spin->setRange(int(m_minimum), int(m_maximum));
        spin->setSingleStep(int(m_step));
        return spin;
    }
    auto *spin = new QDoubleSpinBox(parent);
    spin->setDecimals(m_decimals);
    spin->setRange(m_minimum, m_maximum);
    spin->setSingleStep(m_step);
    return spin;
}

void NumberDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const double value = index.data(Qt::EditRole).toDouble();
    if (auto *spin = qobject_cast<QSpinBox *>(editor))
        spin->setValue(int(value));
    else if (auto *real = qobject_cast<QDoubleSpinBox *>(editor))
        real->setValue(value);
}

void NumberDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        spin->interpretText();
        model->setData(index, spin->value(), Qt::EditRole);
    } else if (auto *real = qobject_cast<QDoubleSpinBox *>(editor)) {
        real->interpretText();
        model->setData(index, real->value(), Qt::EditRole);
    }
}

} // namespace tablecells
