#include "core/model/projectmodel.h"

#include "core/model/axisfit.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"

#include <cmath>

// Setting an axis from its line and two values, or from any number of marks.

namespace {

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

void ProjectModel::setAxisX(const QLineF &pixelLine, double value1, double value2, bool logScale)
{
    storeAxis(true, pixelLine, value1, value2, logScale, AxisKind::Number, {});
}

void ProjectModel::setAxisY(const QLineF &pixelLine, double value1, double value2, bool logScale)
{
    storeAxis(false, pixelLine, value1, value2, logScale, AxisKind::Number, {});
}

void ProjectModel::setAxis(bool xAxis, const QLineF &pixelLine, double value1, double value2, bool logScale,
                           AxisKind kind)
{
    storeAxis(xAxis, pixelLine, value1, value2, logScale, kind, {});
}

bool ProjectModel::setAxisMarks(bool xAxis, const QList<CalibrationMark> &marks, bool logScale, AxisKind kind)
{
    logScale = logScale && kind == AxisKind::Number;
    const AxisFit fit = fitAxis(marks, logScale);
    if (!fit.ok)
        return false;
    return storeAxis(xAxis, fit.line, fit.value1, fit.value2, logScale, kind, marks);
}

bool ProjectModel::storeAxis(bool xAxis, const QLineF &pixelLine, double value1, double value2, bool logScale,
                             AxisKind kind, const QList<CalibrationMark> &marks)
{
    Calibration candidate = m_calibration;
    logScale = logScale && kind == AxisKind::Number;
    // The axis is set anew: a kind kept from a newer version's file no longer applies.
    candidate.otherKeys.remove(xAxis ? QStringLiteral("xKind") : QStringLiteral("yKind"));
    if (xAxis) {
        candidate.axisXLine = pixelLine;
        candidate.xValue1 = value1;
        candidate.xValue2 = value2;
        candidate.axisXValid = true;
        candidate.xLogScale = logScale;
        candidate.xKind = kind;
        candidate.xMarks = marks;
    } else {
        candidate.axisYLine = pixelLine;
        candidate.yValue1 = value1;
        candidate.yValue2 = value2;
        candidate.axisYValid = true;
        candidate.yLogScale = logScale;
        candidate.yKind = kind;
        candidate.yMarks = marks;
    }
    // Values whose span overflows, or that turn a point or a corner of the
    // picture into an infinite number, would export every value as nan or inf.
    bool finite = std::isfinite(value2 - value1);
    if (finite && candidate.isComplete()) {
        const QRectF picture(QPointF(0, 0), QSizeF(m_sourceImage.size()));
        for (const QPointF &pixel :
             {picture.topLeft(), picture.topRight(), picture.bottomLeft(), picture.bottomRight()})
            finite = finite && isFinite(candidate.pixelToReal(pixel));
        for (qsizetype c = 0; finite && c < m_curves.size(); ++c) {
            for (const CurvePoint &point : m_curves[c].points)
                finite = finite && isFinite(candidate.pixelToReal(point.pixel));
        }
    }
    if (!finite) {
        setError(QStringLiteral("Valori degli assi non utilizzabili: %1 e %2 danno risultati non finiti.")
                     .arg(value1)
                     .arg(value2));
        return false;
    }
    const RecordedChange change(this, xAxis ? i18n::tr("Calibrate X axis") : i18n::tr("Calibrate Y axis"),
                                {&ProjectModel::calibrationChanged, &ProjectModel::pointsChanged});
    m_calibration = candidate;
    recomputeRealValues();
    Q_EMIT calibrationChanged();
    Q_EMIT pointsChanged();
    return true;
}
