#include "core/model/projectmodel.h"

#include "core/model/undocommands.h"

#include "i18n/localization.h"

#include <QLineF>
#include <QUndoStack>

#include <algorithm>
#include <cmath>

namespace {

const QString defaultCurveName = QStringLiteral("Curve 1");

QString calibrationRequiredMessage()
{
    return QStringLiteral("Completa prima la calibrazione degli assi X e Y.");
}

QString trimmedOr(const QString &text, const QString &fallback)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? fallback : trimmed;
}

bool isFinite(QPointF point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

ProjectModel::ProjectModel(QObject *parent)
    : QObject(parent)
    , m_curves{makeCurve(defaultCurveName)}
    , m_activeCurveName(defaultCurveName)
    , m_undoStack(new QUndoStack(this))
{
    // Ten thousand edits of single points take a few MB, but every other step
    // may keep a copy of the curves it changed; this bounds the worst case.
    m_undoStack->setUndoLimit(undoLimit);
}

void ProjectModel::setError(const QString &message) const
{
    m_lastError = message.isEmpty() ? QStringLiteral("Operazione non riuscita.") : message;
    Q_EMIT const_cast<ProjectModel *>(this)->errorOccurred(m_lastError);
}

bool ProjectModel::hasSelection() const
{
    return m_selectedPointIndex >= 0 || !m_selectedPointCurveName.isEmpty();
}

bool ProjectModel::dropSelection()
{
    const bool had = hasSelection();
    m_selectedPointCurveName.clear();
    m_selectedPointIndex = -1;
    return had;
}

bool ProjectModel::isSelectionValid() const
{
    const int curveIndex = indexOfCurve(m_selectedPointCurveName);
    return curveIndex >= 0 && m_selectedPointIndex >= 0 &&
           m_selectedPointIndex < m_curves[curveIndex].points.size();
}

int ProjectModel::indexOfCurve(const QString &name) const
{
    for (int i = 0; i < m_curves.size(); ++i) {
        if (m_curves[i].name == name)
            return i;
    }
    return -1;
}

int ProjectModel::ensureCurve(const QString &name)
{
    const QString wanted = trimmedOr(name, defaultCurveName);
    const int existing = indexOfCurve(wanted);
    if (existing >= 0)
        return existing;
    // A fresh project's empty "Curve 1" is a placeholder: the first named curve takes it over.
    if (m_curves.size() == 1 && m_curves[0].points.isEmpty() && m_curves[0].name == defaultCurveName) {
        m_curves[0].name = wanted;
        return 0;
    }
    Curve curve = makeCurve(wanted);
    curve.color = nextCurveColor(m_curves);
    m_curves.append(curve);
    return m_curves.size() - 1;
}

QString ProjectModel::uniqueCurveName(const QString &desired, int ignoreIndex) const
{
    const QString base = trimmedOr(desired, QStringLiteral("Curve"));
    const auto isTaken = [&](const QString &candidate) {
        for (int i = 0; i < m_curves.size(); ++i) {
            if (i != ignoreIndex && m_curves[i].name == candidate)
                return true;
        }
        return false;
    };
    if (!isTaken(base))
        return base;
    for (int n = 2; n <= 99999; ++n) {
        const QString candidate = QStringLiteral("%1 %2").arg(base).arg(n);
        if (!isTaken(candidate))
            return candidate;
    }
    return QStringLiteral("%1 %2").arg(base).arg(m_curves.size() + 1);
}

void ProjectModel::recomputeRealValues()
{
    if (!m_calibration.isComplete())
        return;
    for (Curve &curve : m_curves) {
        for (CurvePoint &point : curve.points)
            point.real = m_calibration.pixelToReal(point.pixel);
    }
}

void ProjectModel::renameCurvePoints(Curve &curve, const QString &name)
{
    curve.name = name;
    for (CurvePoint &point : curve.points)
        point.curveName = name;
}

QVariantList ProjectModel::pointsPixel() const
{
    QVariantList pixels;
    for (const Curve &curve : m_curves) {
        for (const CurvePoint &point : curve.points)
            pixels.append(point.pixel);
    }
    return pixels;
}

void ProjectModel::setVisibleLayers(uint layers)
{
    if (layers == m_visibleLayers)
        return;
    const RecordedChange change(this, i18n::tr("Show layers"), {&ProjectModel::visibleLayersChanged});
    m_visibleLayers = layers;
    Q_EMIT visibleLayersChanged();
}

QString ProjectModel::activeCurveParameterName() const
{
    const int index = activeCurveIndex();
    return index >= 0 ? m_curves[index].parameterName : QString();
}

QString ProjectModel::activeCurveParameterValue() const
{
    const int index = activeCurveIndex();
    return index >= 0 ? m_curves[index].parameterValue : QString();
}

void ProjectModel::setActiveCurveName(const QString &name)
{
    const QString wanted = trimmedOr(name, defaultCurveName);
    if (wanted == m_activeCurveName)
        return;
    const RecordedChange change(this, i18n::tr("Choose curve"),
                                {&ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    m_activeCurveName = wanted;
    ensureCurve(wanted);
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
}

void ProjectModel::setActiveCurveParameterName(const QString &value)
{
    const RecordedChange change(this, i18n::tr("Edit curve"),
                                {&ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    Curve &curve = m_curves[ensureCurve(m_activeCurveName)];
    const QString trimmed = value.trimmed();
    if (curve.parameterName == trimmed)
        return;
    curve.parameterName = trimmed;
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
}

void ProjectModel::setActiveCurveParameterValue(const QString &value)
{
    const RecordedChange change(this, i18n::tr("Edit curve"),
                                {&ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    Curve &curve = m_curves[ensureCurve(m_activeCurveName)];
    const QString trimmed = value.trimmed();
    if (curve.parameterValue == trimmed)
        return;
    curve.parameterValue = trimmed;
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
}

void ProjectModel::setRegeneratedGraphSettings(const QJsonObject &settings)
{
    if (settings == m_regeneratedGraphSettings)
        return;
    m_regeneratedGraphSettings = settings;
    Q_EMIT regeneratedGraphSettingsChanged();
}

void ProjectModel::addPointAt(int curveIndex, int pointIndex, const QPointF &pixel)
{
    const CurvePoint point{pixel, m_calibration.pixelToReal(pixel), m_curves[curveIndex].name};
    perform(new InsertPointCommand(this, i18n::tr("Add point"), curveIndex, pointIndex, point, focus()));
}

void ProjectModel::addPoint(const QPointF &pixel, const QString &curveName)
{
    if (!m_calibration.isComplete()) {
        setError(calibrationRequiredMessage());
        return;
    }
    const QString wanted = trimmedOr(trimmedOr(curveName, m_activeCurveName), defaultCurveName);
    // A point that creates or renames its curve is one step with that change.
    const RecordedChange change(this, i18n::tr("Add point"),
                                {&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                                 &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged},
                                indexOfCurve(wanted) < 0);
    const int curveIndex = ensureCurve(wanted);
    addPointAt(curveIndex, m_curves[curveIndex].points.size(), pixel);
}

bool ProjectModel::insertPoint(int curveIndex, int pointIndex, const QPointF &pixel)
{
    if (!m_calibration.isComplete()) {
        setError(calibrationRequiredMessage());
        return false;
    }
    if (curveIndex < 0 || curveIndex >= m_curves.size())
        return false;
    addPointAt(curveIndex, qBound(0, pointIndex, int(m_curves[curveIndex].points.size())), pixel);
    return true;
}

bool ProjectModel::appendPoints(const QString &curveName, const QList<QPointF> &pixels)
{
    if (!m_calibration.isComplete()) {
        setError(calibrationRequiredMessage());
        return false;
    }
    if (pixels.isEmpty())
        return true;
    const RecordedChange change(this, i18n::tr("Add points"),
                                {&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                                 &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    const int curveIndex = ensureCurve(trimmedOr(curveName, m_activeCurveName));
    Curve &curve = m_curves[curveIndex];
    curve.points.reserve(curve.points.size() + pixels.size());
    for (const QPointF &pixel : pixels) {
        m_insertionHistory.append(InsertionRecord{curve.name, int(curve.points.size())});
        curve.points.append(CurvePoint{pixel, m_calibration.pixelToReal(pixel), curve.name});
    }
    m_activeCurveName = curve.name;
    m_selectedPointCurveName = curve.name;
    m_selectedPointIndex = int(curve.points.size()) - 1;
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    return true;
}

QString ProjectModel::freshCurveName() const
{
    return uniqueCurveName(QStringLiteral("Curve %1").arg(m_curves.size() + 1), -1);
}

int ProjectModel::addCurve(const QString &name, const QString &parameterName, const QString &parameterValue)
{
    const RecordedChange change(this, i18n::tr("Add curve"),
                                {&ProjectModel::selectedPointChanged, &ProjectModel::activeCurveChanged,
                                 &ProjectModel::curvesChanged});
    Curve curve =
        makeCurve(name.trimmed().isEmpty() ? freshCurveName() : uniqueCurveName(name.trimmed(), -1));
    curve.parameterName = parameterName.trimmed();
    curve.parameterValue = parameterValue.trimmed();
    curve.color = nextCurveColor(m_curves);
    m_curves.append(curve);
    m_activeCurveName = curve.name;
    if (dropSelection())
        Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    return m_curves.size() - 1;
}

bool ProjectModel::removeCurve(int index)
{
    if (index < 0 || index >= m_curves.size())
        return false;
    const RecordedChange change(this, i18n::tr("Remove curve"),
                                {&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged,
                                 &ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged});
    if (m_curves.size() == 1) {
        m_curves[0] = makeCurve(defaultCurveName);
        m_activeCurveName = defaultCurveName;
    } else {
        const bool wasActive = m_curves[index].name == m_activeCurveName;
        m_curves.removeAt(index);
        if (wasActive || indexOfCurve(m_activeCurveName) < 0)
            m_activeCurveName = m_curves[qMin(index, int(m_curves.size()) - 1)].name;
    }
    dropSelection();
    m_insertionHistory.clear();
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    return true;
}

bool ProjectModel::setActiveCurveIndex(int index)
{
    if (index < 0 || index >= m_curves.size())
        return false;
    if (m_curves[index].name == m_activeCurveName)
        return true;
    m_activeCurveName = m_curves[index].name;
    Q_EMIT activeCurveChanged();
    return true;
}

bool ProjectModel::setCurveMetadata(int index, const QString &name, const QString &parameterName,
                                    const QString &parameterValue)
{
    if (index < 0 || index >= m_curves.size())
        return false;
    const RecordedChange change(this, i18n::tr("Edit curve"),
                                {&ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged,
                                 &ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
    Curve &curve = m_curves[index];
    const QString oldName = curve.name;
    const QString newName = uniqueCurveName(trimmedOr(name, oldName), index);
    curve.parameterName = parameterName.trimmed();
    curve.parameterValue = parameterValue.trimmed();
    if (newName != oldName) {
        renameCurvePoints(curve, newName);
        if (m_activeCurveName == oldName)
            m_activeCurveName = newName;
        if (m_selectedPointCurveName == oldName)
            m_selectedPointCurveName = newName;
        for (InsertionRecord &record : m_insertionHistory) {
            if (record.curveName == oldName)
                record.curveName = newName;
        }
    }
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
    return true;
}

bool ProjectModel::setCurveVisible(int index, bool visible)
{
    if (index < 0 || index >= m_curves.size())
        return false;
    if (m_curves[index].visible == visible)
        return true;
    const RecordedChange change(this, visible ? i18n::tr("Show curve") : i18n::tr("Hide curve"),
                                {&ProjectModel::curvesChanged, &ProjectModel::pointsChanged});
    m_curves[index].visible = visible;
    Q_EMIT curvesChanged();
    Q_EMIT pointsChanged();
    return true;
}

bool ProjectModel::setCurveStyle(int index, const QColor &color, double lineWidth)
{
    if (index < 0 || index >= m_curves.size())
        return false;
    const RecordedChange change(this, i18n::tr("Change curve style"),
                                {&ProjectModel::curvesChanged, &ProjectModel::pointsChanged});
    m_curves[index].color = color;
    m_curves[index].lineWidth = clampedLineWidth(lineWidth);
    Q_EMIT curvesChanged();
    Q_EMIT pointsChanged();
    return true;
}

void ProjectModel::setActiveCurveMetadata(const QString &name, const QString &parameterName,
                                          const QString &parameterValue)
{
    const RecordedChange change(this, i18n::tr("Edit curve"),
                                {&ProjectModel::activeCurveChanged, &ProjectModel::curvesChanged,
                                 &ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
    const QString wanted = trimmedOr(name, defaultCurveName);
    const int active = activeCurveIndex();
    int target = -1;
    for (int i = 0; i < m_curves.size(); ++i) {
        if (i != active && m_curves[i].name == wanted) {
            target = i;
            break;
        }
    }
    if (target < 0)
        target = ensureCurve(m_activeCurveName);
    Curve &curve = m_curves[target];
    if (curve.name != wanted) {
        // Insertion records keep the old name on purpose: undo does not follow this rename.
        if (m_selectedPointCurveName == m_activeCurveName)
            m_selectedPointCurveName = wanted;
        renameCurvePoints(curve, wanted);
    }
    curve.parameterName = parameterName.trimmed();
    curve.parameterValue = parameterValue.trimmed();
    m_activeCurveName = wanted;
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
}

bool ProjectModel::selectPoint(int curveIndex, int pointIndex)
{
    if (curveIndex < 0 || curveIndex >= m_curves.size() || pointIndex < 0 ||
        pointIndex >= m_curves[curveIndex].points.size())
        return false;
    m_selectedPointCurveName = m_curves[curveIndex].name;
    m_selectedPointIndex = pointIndex;
    m_activeCurveName = m_curves[curveIndex].name;
    Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    return true;
}

bool ProjectModel::selectNearestPoint(const QPointF &pixel, double maxDistancePixels, bool activeCurveOnly)
{
    int bestCurve = -1;
    int bestPoint = -1;
    double bestDistance = 0.0;
    const int active = activeCurveIndex();
    for (int c = 0; c < m_curves.size(); ++c) {
        if (!m_curves[c].visible || (activeCurveOnly && c != active))
            continue;
        const QList<CurvePoint> &points = m_curves[c].points;
        for (int p = 0; p < points.size(); ++p) {
            const double distance = QLineF(pixel, points[p].pixel).length();
            if (distance <= maxDistancePixels && (bestCurve < 0 || distance < bestDistance)) {
                bestCurve = c;
                bestPoint = p;
                bestDistance = distance;
            }
        }
    }
    return selectFoundPoint(bestCurve, bestPoint);
}

bool ProjectModel::selectFoundPoint(int curveIndex, int pointIndex)
{
    if (curveIndex < 0 || curveIndex >= m_curves.size() || pointIndex < 0 ||
        pointIndex >= m_curves[curveIndex].points.size()) {
        if (dropSelection())
            Q_EMIT selectedPointChanged();
        return false;
    }
    const QString &curveName = m_curves[curveIndex].name;
    const bool changed = m_selectedPointCurveName != curveName || m_selectedPointIndex != pointIndex;
    m_selectedPointCurveName = curveName;
    m_selectedPointIndex = pointIndex;
    m_activeCurveName = curveName;
    if (changed)
        Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    return true;
}

void ProjectModel::clearSelection()
{
    if (dropSelection())
        Q_EMIT selectedPointChanged();
}

bool ProjectModel::moveSelectedPoint(const QPointF &pixel)
{
    if (!isSelectionValid())
        return false;
    const int curveIndex = indexOfCurve(m_selectedPointCurveName);
    const CurvePoint &before = m_curves[curveIndex].points[m_selectedPointIndex];
    const CurvePoint after{pixel, m_calibration.pixelToReal(pixel), before.curveName};
    perform(
        new MovePointsCommand(this, i18n::tr("Move point"),
                              {curveIndex, {m_selectedPointIndex}, {before}, {after}, m_moveGesture, false}));
    return true;
}

bool ProjectModel::setPointReal(int curveIndex, int pointIndex, const QPointF &real)
{
    if (curveIndex < 0 || curveIndex >= m_curves.size() || pointIndex < 0 ||
        pointIndex >= m_curves[curveIndex].points.size())
        return false;
    // A typed NaN or infinity would leave a point that no file can store.
    if (!isFinite(real))
        return false;
    bool ok = false;
    const QPointF pixel = m_calibration.realToPixel(real, &ok);
    if (!ok || !isFinite(pixel))
        return false;
    const CurvePoint &before = m_curves[curveIndex].points[pointIndex];
    perform(new MovePointsCommand(
        this, i18n::tr("Edit point value"),
        {curveIndex, {pointIndex}, {before}, {{pixel, real, before.curveName}}, 0, true}));
    return true;
}

bool ProjectModel::deleteSelectedPoint()
{
    if (!isSelectionValid())
        return false;
    const int curveIndex = indexOfCurve(m_selectedPointCurveName);
    const int remaining = int(m_curves[curveIndex].points.size()) - 1;
    ProjectFocus after = focus();
    if (remaining == 0)
        after.selectedPointCurveName.clear();
    after.selectedPointIndex = remaining == 0 ? -1 : qMin(m_selectedPointIndex, remaining - 1);
    // Later insertion records would name shifted indices, so the deletion drops them all.
    removePointsAsStep(i18n::tr("Delete point"), curveIndex, {m_selectedPointIndex}, after,
                       int(m_insertionHistory.size()));
    return true;
}

bool ProjectModel::undoLastPointInsertion()
{
    for (int i = int(m_insertionHistory.size()) - 1; i >= 0; --i) {
        const InsertionRecord &record = m_insertionHistory[i];
        const int curveIndex = indexOfCurve(record.curveName);
        if (curveIndex < 0 || record.pointIndex < 0 ||
            record.pointIndex >= m_curves[curveIndex].points.size())
            continue; // stale record: its curve or point is gone
        ProjectFocus after = focus();
        after.selectedPointCurveName.clear();
        after.selectedPointIndex = -1;
        removePointsAsStep(i18n::tr("Undo last point"), curveIndex, {record.pointIndex}, after,
                           int(m_insertionHistory.size()) - i);
        return true;
    }
    // Only stale records are left: they go without an undo step.
    m_insertionHistory.clear();
    return false;
}

bool ProjectModel::deletePoints(int curveIndex, const QList<int> &pointIndices)
{
    const QList<int> indices = validPointIndices(curveIndex, pointIndices);
    if (indices.isEmpty())
        return false;
    ProjectFocus after = focus();
    if (m_selectedPointCurveName == m_curves[curveIndex].name) {
        after.selectedPointCurveName.clear();
        after.selectedPointIndex = -1;
    }
    // Later insertion records would name shifted indices, so the deletion drops them all.
    removePointsAsStep(i18n::tr("Delete points"), curveIndex, indices, after, int(m_insertionHistory.size()));
    return true;
}

bool ProjectModel::movePoints(int curveIndex, const QList<int> &pointIndices, const QPointF &offset)
{
    const QList<int> indices = validPointIndices(curveIndex, pointIndices);
    if (indices.isEmpty() || !isFinite(offset))
        return false;
    MovePointsCommand::Change change{curveIndex, indices, {}, {}, m_moveGesture, false};
    for (const int index : indices) {
        const CurvePoint &point = m_curves[curveIndex].points[index];
        change.before.append(point);
        const QPointF pixel = point.pixel + offset;
        change.after.append({pixel, m_calibration.pixelToReal(pixel), point.curveName});
    }
    perform(new MovePointsCommand(this, i18n::tr("Move points"), change));
    return true;
}

QList<int> ProjectModel::validPointIndices(int curveIndex, const QList<int> &pointIndices) const
{
    if (curveIndex < 0 || curveIndex >= m_curves.size())
        return {};
    QList<int> indices;
    for (const int index : pointIndices) {
        if (index >= 0 && index < m_curves[curveIndex].points.size())
            indices.append(index);
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

void ProjectModel::clearPoints()
{
    const RecordedChange change(this, i18n::tr("Clear points"),
                                {&ProjectModel::pointsChanged, &ProjectModel::selectedPointChanged});
    for (Curve &curve : m_curves)
        curve.points.clear();
    dropSelection();
    m_insertionHistory.clear();
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
}

void ProjectModel::resetProject()
{
    Q_EMIT projectAboutToBeReplaced();
    m_lastError.clear();
    m_sourcePath.clear();
    m_visibleLayers = AllMvpLayers;
    m_pdfPage = 0;
    m_pdfPageCount = 0;
    m_renderDpi = defaultRenderDpi;
    m_calibration = Calibration();
    m_curves = {makeCurve(defaultCurveName)};
    m_activeCurveName = defaultCurveName;
    m_sourceImage = QImage();
    dropSelection();
    m_regeneratedGraphSettings = QJsonObject();
    m_graphViewSettings = QJsonObject();
    m_otherKeys = QJsonObject();
    m_sourceProblem.clear();
    m_insertionHistory.clear();
    Q_EMIT regeneratedGraphSettingsChanged();
    m_undoStack->clear();
    clearPointGroup();
    Q_EMIT sourcePathChanged();
    Q_EMIT visibleLayersChanged();
    Q_EMIT pdfInfoChanged();
    Q_EMIT calibrationChanged();
    Q_EMIT pointsChanged();
    Q_EMIT selectedPointChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    Q_EMIT sourceImageChanged();
}
