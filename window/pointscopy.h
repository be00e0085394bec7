#pragma once

#include "core/model/calibration.h"
#include "core/model/curve.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>

class GraphView;
class ProjectModel;
class QTableWidget;

// The points at `rows` (all points when empty) as lines of "x<TAB>y", the
// numbers written the way `locale` writes them so that a spreadsheet in that
// language reads them as numbers. Rows outside the list are left out.
QString pointsClipboardText(const QList<CurvePoint> &points, const QList<int> &rows, const QLocale &locale,
                            const Calibration &calibration = Calibration());

// Ctrl+C in the points table (its selected rows) and in the view (the selected
// point) copies real coordinates for a spreadsheet.
class PointsCopy : public QObject
{
    Q_OBJECT

public:
    PointsCopy(ProjectModel *model, QTableWidget *pointsTable, GraphView *view, QObject *parent);

    void copyTableRows();
    void copySelectedPoint();

private:
    void putOnClipboard(const QList<int> &rows);

    ProjectModel *m_model;
    QTableWidget *m_table;
};
