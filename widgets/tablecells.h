#pragma once

#include <QColor>
#include <QString>
#include <QStyledItemDelegate>

class QTableWidget;
class QTableWidgetItem;

// Cells shared by the curve style and label tables.
namespace tablecells {

QTableWidgetItem *readOnlyItem(const QString &text);
// A read-only cell painted in the colour and naming it.
QTableWidgetItem *colorItem(const QColor &color);
QTableWidgetItem *checkItem(bool checked);
QTableWidgetItem *numberItem(double value);

// Puts the item at (row, column), or updates the one there in place: a table
// refilled from inside its own cellChanged must not delete the cell being edited.
void setCell(QTableWidget *table, int row, int column, QTableWidgetItem *item);

double numberAt(const QTableWidget *table, int row, int column, bool *ok);
QString textAt(const QTableWidget *table, int row, int column);
bool checkedAt(const QTableWidget *table, int row, int column);

// Edits a number cell with a spin box bounded to the range (an integer spin
// box when decimals is 0), so that no text that is not a number gets in.
class NumberDelegate : public QStyledItemDelegate
{
public:
    NumberDelegate(double minimum, double maximum, int decimals, double step, QObject *parent);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    double m_minimum;
    double m_maximum;
    int m_decimals;
    double m_step;
};

} // namespace tablecells
