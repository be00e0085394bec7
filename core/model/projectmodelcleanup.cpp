// The clean-up commands of a curve: each one replaces the curve's points as one undo step.
#include "core/model/projectmodel.h"

#include "core/model/curvecleanup.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"

namespace {

// A point of a new stretch this close to the curve's line is already there.
constexpr double overlapTolerance = 1.0;

} // namespace

bool ProjectModel::replaceCurvePixels(const QString &curveName, const QString &text,
                                      const std::function<QList<QPointF>(const QList<QPointF> &)> &change)
{
    const QString name = curveName.trimmed().isEmpty() ? m_activeCurveName : curveName.trimmed();
    const int index = indexOfCurve(name);
    if (index < 0) {
        setError(i18n::tr("There is no curve named %1.").arg(name));
        return false;
    }
    const QList<QPointF> before = curvePixels(m_curves[index]);
    const QList<QPointF> after = change(before);
    if (after == before)
        return true;
    const RecordedChange recorded(this, text,
                                  {&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                                   &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    Curve &curve = m_curves[index];
    curve.points.clear();
    for (QPointF pixel : after)
        curve.points.append(CurvePoint{pixel, m_calibration.pixelToReal(pixel), curve.name});
    // The curve's insertion records and a selection in it would name other points now.
    m_insertionHistory.removeIf(
        [&](const InsertionRecord &record) { return record.curveName == curve.name; });
    if (m_selectedPointCurveName == curve.name) {
        m_selectedPointCurveName.clear();
        m_selectedPointIndex = -1;
    }
    m_activeCurveName = curve.name;
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    return true;
}

bool ProjectModel::sortPointsByX(const QString &curveName)
{
    if (!m_calibration.isComplete()) {
        setError(i18n::tr("Complete X and Y axis calibration before adding points or exporting."));
        return false;
    }
    return replaceCurvePixels(curveName, i18n::tr("Sort points by x"), [this](const QList<QPointF> &pixels) {
        return sortedByX(pixels, m_calibration);
    });
}

bool ProjectModel::removeDuplicatePoints(const QString &curveName, double tolerancePixels)
{
    return replaceCurvePixels(curveName, i18n::tr("Remove duplicate points"),
                              [tolerancePixels](const QList<QPointF> &pixels) {
                                  return withoutDuplicates(pixels, tolerancePixels);
                              });
}

bool ProjectModel::mergePoints(const QString &curveName, const QList<QPointF> &pixels)
{
    const QString name = curveName.trimmed().isEmpty() ? m_activeCurveName : curveName.trimmed();
    const int index = indexOfCurve(name);
    if (index < 0 || m_curves[index].points.isEmpty() || !m_calibration.isComplete())
        return appendPoints(curveName, pixels);
    return replaceCurvePixels(name, i18n::tr("Add points"), [&pixels](const QList<QPointF> &existing) {
        return mergedAlongPath(existing, pixels, overlapTolerance);
    });
}
