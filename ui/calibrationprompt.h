#pragma once

#include <QLineF>

struct Calibration;
class ProjectModel;
class QWidget;
class UserPrompts;

// Both axis segments re-drawn from the point where they cross, which becomes
// the origin, so the order in which the marks were clicked does not matter.
struct ReanchoredAxes
{
    enum Problem { None, NoCrossing, OriginAtEndpoint };
    Problem problem = None;
    QLineF axisX;
    QLineF axisY;
};
ReanchoredAxes reanchorAtCrossing(const Calibration &calibration);

// Asks for the maximum value of the axis just picked in the view, stores the
// axis and, once both exist, re-anchors them at their crossing.
void promptForAxisValue(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                        const QLineF &line);
