// The project document: how ProjectModel is written to and read from JSON.
#include "model/projectmodel.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QUndoStack>

namespace {

const QString formatTag = QStringLiteral("PlotmasonProject");

QJsonObject pointToJson(const CurvePoint &point)
{
    return {{QStringLiteral("x_pixel"), point.pixel.x()},
            {QStringLiteral("y_pixel"), point.pixel.y()},
            {QStringLiteral("x_reale"), point.real.x()},
            {QStringLiteral("y_reale"), point.real.y()},
            {QStringLiteral("curve_name"), point.curveName}};
}

CurvePoint pointFromJson(const QJsonObject &object)
{
    CurvePoint point;
    point.pixel = QPointF(object.value(QStringLiteral("x_pixel")).toDouble(0.0),
                          object.value(QStringLiteral("y_pixel")).toDouble(0.0));
    point.real = QPointF(object.value(QStringLiteral("x_reale")).toDouble(0.0),
                         object.value(QStringLiteral("y_reale")).toDouble(0.0));
    point.curveName = object.value(QStringLiteral("curve_name")).toString(QStringLiteral("Curve 1"));
    return point;
}

QJsonObject curveToJson(const Curve &curve)
{
    QJsonArray points;
    for (const CurvePoint &point : curve.points)
        points.append(pointToJson(point));
    return {{QStringLiteral("name"), curve.name},
            {QStringLiteral("parameterName"), curve.parameterName},
            {QStringLiteral("parameterValue"), curve.parameterValue},
            {QStringLiteral("color"), curve.color.name(QColor::HexArgb)},
            {QStringLiteral("lineWidth"), curve.lineWidth},
            {QStringLiteral("visible"), curve.visible},
            {QStringLiteral("points"), points}};
}

Curve curveFromJson(const QJsonObject &object)
{
    Curve curve;
    curve.name = object.value(QStringLiteral("name")).toString(QStringLiteral("Curve 1"));
    curve.parameterName = object.value(QStringLiteral("parameterName")).toString();
    curve.parameterValue = object.value(QStringLiteral("parameterValue")).toString();
    // A colour text that names no colour falls back to the default like a missing one.
    const QColor color = QColor::fromString(object.value(QStringLiteral("color")).toString());
    // At the 8 bits per channel that "#aarrggbb" keeps, so that a colour given
    // with more digits ("#rrrgggbbb") is saved as it is held.
    curve.color = color.isValid() ? QColor::fromRgba(color.rgba()) : defaultCurveColor();
    curve.lineWidth = clampedLineWidth(object.value(QStringLiteral("lineWidth")).toDouble(2.0));
    curve.visible = object.value(QStringLiteral("visible")).toBool(true);
    const QJsonArray points = object.value(QStringLiteral("points")).toArray();
    for (const QJsonValue &point : points)
        curve.points.append(pointFromJson(point.toObject()));
    return curve;
}

// Where the stored source lives now. Relative paths are taken from the
// project's folder; an absolute path that has gone is looked for there too, so
// a project moved together with its picture still opens.
QString resolveSourcePath(const QString &stored, const QString &baseDirectory)
{
    if (stored.isEmpty() || baseDirectory.isEmpty())
        return stored;
    const QDir base(baseDirectory);
    if (QFileInfo(stored).isRelative())
        return base.absoluteFilePath(stored);
    if (!QFileInfo::exists(stored)) {
        const QString beside = base.absoluteFilePath(QFileInfo(stored).fileName());
        if (QFileInfo(beside).isFile())
            return beside;
    }
    return stored;
}

} // namespace

QJsonObject ProjectModel::projectJson() const
{
    QJsonArray curves;
    for (const Curve &curve : m_curves)
        curves.append(curveToJson(curve));
    return {{QStringLiteral("format"), formatTag},
            {QStringLiteral("version"), 1},
            {QStringLiteral("sourcePath"), m_sourcePath},
            {QStringLiteral("visibleLayers"), qint64(m_visibleLayers)},
            {QStringLiteral("pdfPage"), m_pdfPage},
            {QStringLiteral("pdfPageCount"), m_pdfPageCount},
            {QStringLiteral("renderDpi"), m_renderDpi},
            {QStringLiteral("calibration"), m_calibration.toJson()},
            {QStringLiteral("curves"), curves},
            {QStringLiteral("regeneratedGraphSettings"), m_regeneratedGraphSettings},
            {QStringLiteral("graphViewSettings"), m_graphViewSettings}};
}

bool ProjectModel::applyProjectJson(const QJsonObject &object, const QString &baseDirectory,
                                    bool allowMissingSource)
{
    m_lastError.clear();
    if (object.value(QStringLiteral("format")).toString() != formatTag)
        return false;

    const QString sourcePath =
        resolveSourcePath(object.value(QStringLiteral("sourcePath")).toString(), baseDirectory);
    const uint visibleLayers = uint(object.value(QStringLiteral("visibleLayers")).toInteger(AllMvpLayers));
    const int renderDpi =
        qBound(minimumRenderDpi, object.value(QStringLiteral("renderDpi")).toInt(defaultRenderDpi),
               maximumRenderDpi);
    const int pdfPage = qMax(0, object.value(QStringLiteral("pdfPage")).toInt(0));

    QList<Curve> curves;
    const QJsonArray storedCurves = object.value(QStringLiteral("curves")).toArray();
    for (const QJsonValue &curve : storedCurves)
        curves.append(curveFromJson(curve.toObject()));
    if (curves.isEmpty())
        curves.append(makeCurve(QStringLiteral("Curve 1")));

    // The source is read before anything is replaced, so a project whose picture
    // cannot be loaded leaves the current one untouched.
    LoadedSource source;
    source.absolutePath = sourcePath;
    if (!sourcePath.isEmpty()) {
        QString error;
        if (!readSource(sourcePath, pdfPage, renderDpi, &source, &error)) {
            if (!allowMissingSource) {
                m_lastError = error.isEmpty() ? QStringLiteral("Operazione non riuscita.") : error;
                return false;
            }
            source = LoadedSource();
            source.absolutePath = sourcePath;
        }
    }

    m_visibleLayers = visibleLayers;
    m_renderDpi = renderDpi;
    m_pdfPage = pdfPage;
    m_calibration = Calibration::fromJson(object.value(QStringLiteral("calibration")).toObject());
    m_regeneratedGraphSettings = object.value(QStringLiteral("regeneratedGraphSettings")).toObject();
    m_graphViewSettings = object.value(QStringLiteral("graphViewSettings")).toObject();
    m_curves = curves;
    m_activeCurveName = m_curves.first().name;
    m_insertionHistory.clear();
    m_undoStack->clear();
    clearPointGroup();
    if (dropSelection())
        Q_EMIT selectedPointChanged();
    recomputeRealValues();

    // An empty "sourcePath" is a project without a picture: the previous
    // project's picture must not stay behind under the new project.
    installSource(source);

    Q_EMIT visibleLayersChanged();
    Q_EMIT calibrationChanged();
    Q_EMIT pointsChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    return true;
}
