#pragma once

#include "core/model/curve.h"

#include <QList>
#include <QTableWidget>

// One row per curve of the project: its name, colour, line width and
// visibility. The table shows the model's curves; its edits are read by the
// window, which passes them to the model.
class CurveStyleTable : public QTableWidget
{
    Q_OBJECT

public:
    enum Column { NameColumn = 0, ColorColumn, WidthColumn, VisibleColumn, ColumnCount };

    explicit CurveStyleTable(QWidget *parent = nullptr);

    // Shows the curves without announcing cell changes.
    void showCurves(const QList<Curve> &curves);
    double widthAt(int row, bool *ok) const;
    bool visibleAt(int row) const;
    void retranslate();
};
