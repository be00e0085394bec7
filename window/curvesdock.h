#pragma once

#include "core/model/curve.h"
#include "core/model/dateaxis.h"

#include <QDockWidget>
#include <QPair>

#include <optional>

class ProjectModel;
class QAction;
class QLabel;
class QPushButton;
class QTableWidget;
class UserPrompts;

// The dock beside the picture: the curves, the points of the active curve,
// and the buttons that add and remove curves. Refilled from the model's
// signals; edits go back through the model's operations.
class CurvesDock : public QDockWidget
{
    Q_OBJECT

public:
    CurvesDock(ProjectModel *model, UserPrompts *prompts, QWidget *parent);

    void setUserPrompts(UserPrompts *prompts) { m_prompts = prompts; }
    void retranslate();
    // The tables and buttons work only once both axes are calibrated.
    void setEditingEnabled(bool enabled);

    QTableWidget *curvesTable() const { return m_curvesTable; }
    QTableWidget *pointsTable() const { return m_pointsTable; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *removeButton() const { return m_removeButton; }
    // "Sort points by x" and "Remove duplicate points" of the active curve:
    // the curves table's menu, and the Edit menu's too.
    QList<QAction *> cleanupActions() const { return {m_sortAction, m_dedupeAction}; }

    void updateCurvesTable();
    void updatePointsTable();
    void updateCurveFromTable(int row, int column);
    void activateCurveFromTable();
    void updatePointFromTable(int row, int column);
    void activatePointFromTable();
    void addCurveRow();
    void removeSelectedCurveRow();

private:
    ProjectModel *m_model;
    UserPrompts *m_prompts;
    QTableWidget *m_curvesTable;
    QLabel *m_pointsLabel;
    QTableWidget *m_pointsTable;
    QPushButton *m_addButton;
    QPushButton *m_removeButton;
    QPushButton *m_colorButton;
    QAction *m_sortAction;
    QAction *m_dedupeAction;
    // What the points table shows, to rewrite only the rows that changed.
    QString m_shownCurve;
    QList<CurvePoint> m_shownPoints;
    bool m_refillPoints = false;
    QPair<std::optional<DateFormat>, std::optional<DateFormat>> m_shownFormats;
};
