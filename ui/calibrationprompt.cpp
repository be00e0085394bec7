#include "ui/calibrationprompt.h"

#include "i18n/localization.h"
#include "model/projectmodel.h"
#include "ui/userprompts.h"

namespace {

// The end of the segment farther from the origin; the first end on a tie.
QPointF farEnd(const QLineF &segment, const QPointF &origin)
{
    return QLineF(origin, segment.p2()).length() > QLineF(origin, segment.p1()).length() ? segment.p2()
                                                                                         : segment.p1();
}

} // namespace

ReanchoredAxes reanchorAtCrossing(const Calibration &calibration)
{
    ReanchoredAxes result;
    QPointF origin;
    if (calibration.axisXLine.intersects(calibration.axisYLine, &origin) != QLineF::BoundedIntersection) {
        result.problem = ReanchoredAxes::NoCrossing;
        return result;
    }
    result.axisX = QLineF(origin, farEnd(calibration.axisXLine, origin));
    result.axisY = QLineF(origin, farEnd(calibration.axisYLine, origin));
    if (result.axisX.length() <= 1.0 || result.axisY.length() <= 1.0)
        result.problem = ReanchoredAxes::OriginAtEndpoint;
    return result;
}

void promptForAxisValue(ProjectModel &model, UserPrompts &prompts, QWidget *parent, bool xAxis,
                        const QLineF &line)
{
    double maximum = 0.0;
    if (!prompts.real(parent, i18n::tr("Calibration"),
                      xAxis ? i18n::tr("Maximum X axis value") : i18n::tr("Maximum Y axis value"), 1.0, 0.0,
                      1e100, 8, &maximum))
        return;
    if (!(maximum > 0.0)) {
        prompts.warning(parent, i18n::tr("Calibration"),
                        i18n::tr("The maximum axis value must be greater than zero."));
        return;
    }
    if (xAxis)
        model.setAxisX(line, 0.0, maximum);
    else
        model.setAxisY(line, 0.0, maximum);

    const Calibration &calibration = model.calibration();
    if (!calibration.isAxisXValid() || !calibration.isAxisYValid())
        return;
    const ReanchoredAxes axes = reanchorAtCrossing(calibration);
    if (axes.problem == ReanchoredAxes::NoCrossing) {
        prompts.warning(
            parent, i18n::tr("Calibration"),
            i18n::tr("The X and Y axis lines must intersect at the graph origin. Extend or recalibrate "
                     "the axis that does not reach zero."));
        return;
    }
    if (axes.problem == ReanchoredAxes::OriginAtEndpoint) {
        prompts.warning(
            parent, i18n::tr("Calibration"),
            i18n::tr("The axis origin is too close to an axis endpoint. Select a longer calibration "
                     "segment."));
        return;
    }
    const double xMaximum = calibration.xValue2;
    const double yMaximum = calibration.yValue2;
    model.setAxisX(axes.axisX, 0.0, xMaximum);
    model.setAxisY(axes.axisY, 0.0, yMaximum);
}
