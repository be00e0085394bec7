#include "cli/batchcalibration.h"

#include "axisfinding/axisfinder.h"
#include "axisfinding/projectaxes.h"
#include "core/model/calibration.h"
#include "core/model/projectmodel.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"

#include <QLocale>

namespace batch {

namespace {

QString number(double value)
{
    return QLocale::c().toString(value, 'g', 10);
}

void appendAxis(QString *table, const Calibration &calibration, bool xAxis)
{
    const bool logScale = xAxis ? calibration.xLogScale : calibration.yLogScale;
    const bool date = (xAxis ? calibration.xKind : calibration.yKind) == AxisKind::Date;
    const QList<CalibrationMark> marks = calibration.marks(xAxis);
    const AxisFit fit = fitAxis(marks, logScale);
    if (!fit.ok)
        return;
    const QString axis = xAxis ? QStringLiteral("X") : QStringLiteral("Y");
    const QChar tab = QLatin1Char('\t');
    for (int i = 0; i < marks.size(); ++i)
        *table += QStringLiteral("mark") + tab + axis + tab + number(marks[i].pixel.x()) + tab +
                  number(marks[i].pixel.y()) + tab +
                  (date ? formatDateExactly(marks[i].value) : number(marks[i].value)) + tab +
                  number(fit.residuals[i]) + QLatin1Char('\n');
    // A date axis has its pixels per second.
    const QString scale = date       ? QStringLiteral("date")
                          : logScale ? QStringLiteral("log")
                                     : QStringLiteral("linear");
    *table += QStringLiteral("axis") + tab + axis + tab + number(fit.rms) + tab + number(fit.pixelsPerUnit) +
              tab + scale + QLatin1Char('\n');
}

} // namespace

QString calibrationTable(const Calibration &calibration)
{
    QString table;
    appendAxis(&table, calibration, true);
    appendAxis(&table, calibration, false);
    return table;
}

bool autoCalibrate(ProjectModel &model, QString *error)
{
    const axisfinding::FoundAxes axes = axisfinding::findProjectAxes(model, error);
    if (error->isEmpty())
        *error = axisfinding::batchProblem(axes);
    if (!error->isEmpty())
        return false;
    const RecordedChange change(&model, i18n::tr("Find axes"),
                                {&ProjectModel::calibrationChanged, &ProjectModel::pointsChanged});
    return model.setAxisMarks(true, axes.x.usedMarks(), axes.x.logScale) &&
           model.setAxisMarks(false, axes.y.usedMarks(), axes.y.logScale);
}

} // namespace batch
