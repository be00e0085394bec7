#pragma once

class ProjectModel;
class QColor;
class QIcon;
class QWidget;
class UserPrompts;

// A small square of the curve's colour, shown beside its name.
QIcon curveSwatch(const QColor &color);
// Asks for a new colour of the curve at `index`; the model keeps its line width.
void chooseCurveColor(ProjectModel &model, UserPrompts &prompts, QWidget *parent, int index);
