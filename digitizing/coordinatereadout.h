#pragma once

#include <QLabel>
#include <QPointF>

class ProjectModel;
struct Calibration;

// The real coordinates under the mouse, so the user can hover a tick of the
// chart and see whether the calibration reads its value. Empty while the
// calibration is incomplete or the mouse is off the picture.
class CoordinateReadout : public QLabel
{
public:
    CoordinateReadout(const ProjectModel *model, QWidget *parent);

    void showAt(QPointF pixel);
    void clearReading();

private:
    const ProjectModel *m_model;
};

// "x = 1987.5   y = 42.25": six significant digits, in the C form like the
// tables; a date axis reads "x = 2021-03-15".
QString coordinateReadoutText(const Calibration &calibration, QPointF real);
