#pragma once

#include "axisfinding/axisfinder.h"

#include <QDialog>

class GraphView;
class ProjectModel;
class QLabel;
class QTableWidget;
class UserPrompts;

// The axes the program found, mark by mark with the value read and how far
// each lies from its axis' fit; values can be corrected before accepting.
class AxisProposalDialog : public QDialog
{
public:
    AxisProposalDialog(const axisfinding::FoundAxes &axes, QWidget *parent);
    // The axes with the values as they stand in the table.
    axisfinding::FoundAxes axes() const;

private:
    axisfinding::FoundAxes m_axes;
    QTableWidget *m_table;
    QLabel *m_summary;
};

// "Find axes": reads the picture's axes and tick labels and, when the user
// accepts the proposal shown on the picture and in the dialog, calibrates from
// them in one undoable step. Nothing is ever applied unasked.
void findAxesInPicture(ProjectModel &model, GraphView &view, UserPrompts &prompts, QWidget *parent);
