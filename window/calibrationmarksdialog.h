#pragma once

#include <QDialog>

class ProjectModel;
class QLabel;
class QPushButton;
class QTableWidget;

// The marks of both axes with how far each lies from its axis' fit, and each
// axis' RMS. A mark more than a pixel off is highlighted as probably mistyped;
// its value can be edited in place and a mark removed. Every change goes
// through the model, so it is undoable, and the table rebuilds from it.
class CalibrationMarksDialog : public QDialog
{
public:
    CalibrationMarksDialog(ProjectModel *model, QWidget *parent);

    void rebuild();
    void retranslate();

private:
    struct Row
    {
        bool xAxis;
        int mark;
    };
    void valueEdited(int row, int column);
    void removeSelectedMark();
    void showProblem(const QString &text);

    ProjectModel *m_model;
    QTableWidget *m_table;
    QLabel *m_summary;
    QLabel *m_problem;
    QPushButton *m_remove;
    QPushButton *m_close;
    QList<Row> m_rows;
    bool m_rebuilding = false;
};
