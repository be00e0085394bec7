#pragma once

#include "graph/graphsettings.h"

#include <QList>
#include <QTableWidget>

// One row per free label of the graph: text, colour, font, angle and
// visibility. It shows the window's label records; the window reads the
// edits back.
class LabelsTable : public QTableWidget
{
    Q_OBJECT

public:
    enum Column { TextColumn = 0, ColorColumn, FontColumn, AngleColumn, VisibleColumn, ColumnCount };

    explicit LabelsTable(QWidget *parent = nullptr);

    // Shows the labels without announcing cell changes.
    void showLabels(const QList<GraphLabel> &labels);
    QString textAt(int row) const;
    int angleAt(int row, bool *ok) const;
    bool visibleAt(int row) const;
    // The row of the selected label, -1 when none is selected.
    int selectedRow() const;
    void retranslate();
};

// "Arial, 14 pt" and the like, as the font column shows it.
QString fontSummary(const QFont &font);
