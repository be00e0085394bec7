#include "graphwindow/curvestyletable.h"

#include "i18n/localization.h"
#include "widgets/tablecells.h"

#include <QHeaderView>
#include <QSignalBlocker>

using namespace tablecells;

CurveStyleTable::CurveStyleTable(QWidget *parent)
    : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("curveStyleTable"));
    setMinimumHeight(170);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {ColorColumn, WidthColumn, VisibleColumn})
        horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    setItemDelegateForColumn(WidthColumn,
                             new NumberDelegate(minimumLineWidth, maximumLineWidth, 2, 0.5, this));
    retranslate();
}

void CurveStyleTable::showCurves(const QList<Curve> &curves)
{
    const QSignalBlocker blocker(this);
    setRowCount(int(curves.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const Curve &curve = curves.at(row);
        setCell(this, row, NameColumn, readOnlyItem(curve.name));
        setCell(this, row, ColorColumn, colorItem(curve.color));
        setCell(this, row, WidthColumn, numberItem(curve.lineWidth));
        setCell(this, row, VisibleColumn, checkItem(curve.visible));
    }
    retranslate();
}

double CurveStyleTable::widthAt(int row, bool *ok) const
{
    return numberAt(this, row, WidthColumn, ok);
}

bool CurveStyleTable::visibleAt(int row) const
{
    return checkedAt(this, row, VisibleColumn);
}

void CurveStyleTable::retranslate()
{
    setHorizontalHeaderLabels({i18n::tr("Curve"), i18n::tr("Color"), i18n::tr("Width"), i18n::tr("Visible")});
    const QSignalBlocker blocker(this);
    for (int row = 0; row < rowCount(); ++row) {
        if (QTableWidgetItem *color = item(row, ColorColumn))
            color->setToolTip(i18n::tr("Double-click a colour to change it."));
        if (QTableWidgetItem *width = item(row, WidthColumn))
            width->setToolTip(i18n::tr("Line width in pixels."));
        if (QTableWidgetItem *visible = item(row, VisibleColumn))
            visible->setToolTip(i18n::tr("Show the curve in the regenerated graph."));
    }
}
