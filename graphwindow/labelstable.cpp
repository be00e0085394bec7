#include "graphwindow/labelstable.h"

#include "i18n/localization.h"
#include "widgets/tablecells.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include <cmath>

using namespace tablecells;

namespace {
constexpr int angleLimit = 360;
}

QString fontSummary(const QFont &font)
{
    return QStringLiteral("%1, %2 pt").arg(font.family(), QString::number(font.pointSizeF()));
}

LabelsTable::LabelsTable(QWidget *parent)
    : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("labelsTable"));
    setMinimumHeight(140);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    for (int column : {ColorColumn, FontColumn, AngleColumn, VisibleColumn})
        horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    setItemDelegateForColumn(AngleColumn, new NumberDelegate(-angleLimit, angleLimit, 0, 5, this));
    retranslate();
}

void LabelsTable::showLabels(const QList<GraphLabel> &labels)
{
    const QSignalBlocker blocker(this);
    setRowCount(int(labels.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const GraphLabel &label = labels.at(row);
        setCell(this, row, TextColumn, new QTableWidgetItem(label.text));
        setCell(this, row, ColorColumn, colorItem(label.color));
        setCell(this, row, FontColumn, readOnlyItem(fontSummary(label.font)));
        setCell(this, row, AngleColumn, numberItem(label.rotation));
        setCell(this, row, VisibleColumn, checkItem(label.visible));
    }
    retranslate();
}

QString LabelsTable::textAt(int row) const
{
    return tablecells::textAt(this, row, TextColumn);
}

int LabelsTable::angleAt(int row, bool *ok) const
{
    const double angle = numberAt(this, row, AngleColumn, ok);
    return int(std::lround(angle));
}

bool LabelsTable::visibleAt(int row) const
{
    return checkedAt(this, row, VisibleColumn);
}

int LabelsTable::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void LabelsTable::retranslate()
{
    setHorizontalHeaderLabels(
        {i18n::tr("Text"), i18n::tr("Color"), i18n::tr("Font"), i18n::tr("Angle"), i18n::tr("Visible")});
    const QSignalBlocker blocker(this);
    for (int row = 0; row < rowCount(); ++row) {
        if (QTableWidgetItem *text = item(row, TextColumn))
            text->setToolTip(i18n::tr("Text of the label."));
        if (QTableWidgetItem *color = item(row, ColorColumn))
            color->setToolTip(i18n::tr("Double-click a colour to change it."));
        if (QTableWidgetItem *font = item(row, FontColumn))
            font->setToolTip(i18n::tr("Double-click to choose the font."));
        if (QTableWidgetItem *angle = item(row, AngleColumn))
            angle->setToolTip(i18n::tr("Rotation in degrees."));
        if (QTableWidgetItem *visible = item(row, VisibleColumn))
            visible->setToolTip(i18n::tr("Show the label in the graph."));
    }
}
