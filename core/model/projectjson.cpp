// The project document: how ProjectModel is written to and read from JSON.
#include "core/model/projectmodel.h"

#include "core/model/jsonfields.h"
#include "core/model/projectdocument.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUndoStack>
#include <QUuid>

#include <charconv>
#include <cmath>
#include <utility>

#include <algorithm>

namespace {

const QString formatTag = QStringLiteral("PlotmasonProject");
// The version of the document this program writes, and the newest it reads.
constexpr int formatVersion = 1;

// A point is written under the name of the curve that holds it, whatever it was read with.
QJsonObject pointToJson(const CurvePoint &point, const QString &curveName)
{
    return withKeysKept({{QStringLiteral("x_pixel"), point.pixel.x()},
                         {QStringLiteral("y_pixel"), point.pixel.y()},
                         {QStringLiteral("x_reale"), point.real.x()},
                         {QStringLiteral("y_reale"), point.real.y()},
                         {QStringLiteral("curve_name"), curveName}},
                        point.otherKeys);
}

QJsonObject curveToJson(const Curve &curve, bool withPoints)
{
    QJsonArray points;
    for (qsizetype i = 0; withPoints && i < curve.points.size(); ++i)
        points.append(pointToJson(curve.points[i], curve.name));
    return withKeysKept({{QStringLiteral("name"), curve.name},
                         {QStringLiteral("parameterName"), curve.parameterName},
                         {QStringLiteral("parameterValue"), curve.parameterValue},
                         {QStringLiteral("color"), curve.color.name(QColor::HexArgb)},
                         {QStringLiteral("lineWidth"), curve.lineWidth},
                         {QStringLiteral("visible"), curve.visible},
                         {QStringLiteral("points"), points}},
                        curve.otherKeys);
}

// A text as the JSON writer quotes and escapes it.
QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// A number as the JSON writer writes it, formatted in place: whole numbers
// below 2^53 as integers, other finite numbers in their shortest exact digits,
// plainly written unless the exponent form is shorter (a tie goes to plain).
void appendJsonNumber(QByteArray &text, double value)
{
    char buffer[40];
    constexpr double largestExactInteger = 9007199254740991.0; // 2^53 - 1
    if (std::trunc(value) == value && std::abs(value) <= largestExactInteger) {
        text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, qint64(value)).ptr - buffer);
        return;
    }
    if (!std::isfinite(value)) {
        text += "null";
        return;
    }
    // "-d.ddde-XX" with the shortest digits that read back as the same value.
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const char *mark = std::find(static_cast<const char *>(buffer), end, 'e');
    int exponent = 0;
    std::from_chars(mark + (mark[1] == '+' ? 2 : 1), end, exponent);
    char digits[24];
    int count = 0;
    for (const char *c = buffer + (value < 0); c < mark; ++c) {
        if (*c != '.')
            digits[count++] = *c;
    }
    const int point = exponent + 1; // digits before the decimal point
    const int exponentLength = count + (count > 1) + 2 + (std::abs(exponent) >= 100 ? 3 : 2);
    const int plainLength = point >= count ? point : point > 0 ? count + 1 : count + 2 - point;
    if (plainLength > exponentLength) {
        text.append(buffer, end - buffer);
        return;
    }
    if (value < 0)
        text += '-';
    if (point <= 0) {
        text += "0.";
        text.append(-point, '0');
        text.append(digits, count);
    } else if (point >= count) {
        text.append(digits, count);
        text.append(point - count, '0');
    } else {
        text.append(digits, point);
        text += '.';
        text.append(digits + point, count - point);
    }
}

// Arrays and objects as the JSON writer lays them out: compact, or indented by
// four spaces a level, a blank after each colon, every element on a line.
struct JsonLayout
{
    bool indented = false;

    QByteArray indent(int depth) const { return QByteArray(indented ? 4 * depth : 0, ' '); }
    // A value the writer wrote alone, as it stands `depth` levels deep.
    QByteArray nested(const QByteArray &written, int depth) const
    {
        if (!indented)
            return written;
        QByteArray text = written.chopped(1); // the document's last line break
        return text.replace('\n', '\n' + indent(depth));
    }
    // An array `depth` levels deep of `count` elements, each appended by `element(i)`.
    template <typename Element>
    void appendArray(QByteArray &text, qsizetype count, int depth, const Element &element) const
    {
        text += indented ? "[\n" : "[";
        const QByteArray inner = indent(depth + 1);
        for (qsizetype i = 0; i < count; ++i) {
            text += inner;
            element(i);
            if (i + 1 < count)
                text += indented ? ",\n" : ",";
            else if (indented)
                text += '\n';
        }
        text += indent(depth);
        text += ']';
    }
};

// A curve's points, `depth` levels deep, as the JSON writer writes the array of
// their objects, without an object per point: numbers and names in the
// writer's own form, keys in its order.
void appendPointsJson(QByteArray &text, const Curve &curve, const JsonLayout &layout, int depth)
{
    const QByteArray colon = layout.indented ? ": " : ":";
    const QByteArray next = (layout.indented ? ",\n" : ",") + layout.indent(depth + 2);
    const QByteArray open = (layout.indented ? "{\n" : "{") + layout.indent(depth + 2) + "\"curve_name\"" +
                            colon + jsonString(curve.name) + next + "\"x_pixel\"" + colon;
    const QByteArray xReal = next + "\"x_reale\"" + colon;
    const QByteArray yPixel = next + "\"y_pixel\"" + colon;
    const QByteArray yReal = next + "\"y_reale\"" + colon;
    const QByteArray close = layout.indented ? '\n' + layout.indent(depth + 1) + '}' : QByteArray("}");
    const QJsonDocument::JsonFormat format =
        layout.indented ? QJsonDocument::Indented : QJsonDocument::Compact;
    layout.appendArray(text, curve.points.size(), depth, [&](qsizetype i) {
        const CurvePoint &point = curve.points[i];
        if (!point.otherKeys.isEmpty()) {
            // Keys of another program interleave with ours: the writer orders them.
            text += layout.nested(QJsonDocument(pointToJson(point, curve.name)).toJson(format), depth + 1);
            return;
        }
        text += open;
        appendJsonNumber(text, point.pixel.x());
        text += xReal;
        appendJsonNumber(text, point.real.x());
        text += yPixel;
        appendJsonNumber(text, point.pixel.y());
        text += yReal;
        appendJsonNumber(text, point.real.y());
        text += close;
    });
}

// A JSON text cut around the placeholder value: what comes before the value
// and what comes after it.
std::pair<QByteArrayView, QByteArrayView> aroundPlaceholder(const QByteArray &text,
                                                            const QString &placeholder)
{
    const QByteArray value = jsonString(placeholder);
    const qsizetype at = text.indexOf(value);
    Q_ASSERT(at >= 0);
    return {QByteArrayView(text).first(at), QByteArrayView(text).sliced(at + value.size())};
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
    return projectJson(true);
}

QJsonObject ProjectModel::projectJson(bool withCurves) const
{
    QJsonArray curves;
    for (qsizetype i = 0; withCurves && i < m_curves.size(); ++i)
        curves.append(curveToJson(m_curves[i], true));
    return withKeysKept({{QStringLiteral("format"), formatTag},
                         {QStringLiteral("version"), formatVersion},
                         {QStringLiteral("sourcePath"), m_sourcePath},
                         {QStringLiteral("visibleLayers"), qint64(m_visibleLayers)},
                         {QStringLiteral("pdfPage"), m_pdfPage},
                         {QStringLiteral("pdfPageCount"), m_pdfPageCount},
                         {QStringLiteral("renderDpi"), m_renderDpi},
                         {QStringLiteral("calibration"), m_calibration.toJson()},
                         {QStringLiteral("curves"), curves},
                         {QStringLiteral("regeneratedGraphSettings"), m_regeneratedGraphSettings},
                         {QStringLiteral("graphViewSettings"), m_graphViewSettings}},
                        m_otherKeys);
}

QByteArray ProjectModel::compactProjectJson() const
{
    return projectJsonText(false);
}

QByteArray ProjectModel::indentedProjectJson() const
{
    return projectJsonText(true);
}

QByteArray ProjectModel::projectJsonText(bool indented) const
{
    // Objects for a hundred thousand points take longer to build and write than
    // the database takes to store them: the points are written as text, the rest
    // by the writer around placeholders that no stored text can spell.
    const JsonLayout layout{indented};
    const QJsonDocument::JsonFormat format = indented ? QJsonDocument::Indented : QJsonDocument::Compact;
    const QString placeholder = QUuid::createUuid().toString();
    QJsonObject document = projectJson(false);
    document.insert(QStringLiteral("curves"), placeholder);
    const QByteArray outer = QJsonDocument(document).toJson(format);
    const auto [beforeCurves, afterCurves] = aroundPlaceholder(outer, placeholder);
    qsizetype points = 0;
    for (const Curve &curve : m_curves)
        points += curve.points.size();
    QByteArray text;
    text.reserve(outer.size() + points * (indented ? 224 : 128));
    text += beforeCurves;
    // The curves array stands one level deep, its curves two, their points four.
    layout.appendArray(text, m_curves.size(), 1, [&](qsizetype c) {
        QJsonObject object = curveToJson(m_curves[c], false);
        object.insert(QStringLiteral("points"), placeholder);
        const QByteArray written = layout.nested(QJsonDocument(object).toJson(format), 2);
        const auto [beforePoints, afterPoints] = aroundPlaceholder(written, placeholder);
        text += beforePoints;
        appendPointsJson(text, m_curves[c], layout, 3);
        text += afterPoints;
    });
    text += afterCurves;
    return text;
}

bool ProjectModel::applyProjectJson(const QJsonObject &object, const QString &baseDirectory,
                                    bool allowMissingSource, bool readPicture)
{
    return applyProjectDocument(projectDocumentFrom(object), baseDirectory, allowMissingSource, readPicture);
}

bool ProjectModel::applyProjectDocument(ProjectDocument document, const QString &baseDirectory,
                                        bool allowMissingSource, bool readPicture)
{
    const QJsonObject &object = document.object;
    m_lastError.clear();
    if (object.value(QStringLiteral("format")).toString() != formatTag)
        return false;
    // A newer program may have moved things where this one would not look: saving
    // what it understood of such a file would destroy the rest.
    const double version = numericValue(object.value(QStringLiteral("version"))).toDouble(formatVersion);
    if (version > formatVersion) {
        m_lastError = QStringLiteral("Il progetto è stato scritto nella versione %1 del formato; questo "
                                     "programma legge fino alla versione %2.")
                          .arg(version)
                          .arg(formatVersion);
        return false;
    }

    const QString sourcePath =
        resolveSourcePath(object.value(QStringLiteral("sourcePath")).toString(), baseDirectory);
    const uint visibleLayers =
        uint(numericValue(object.value(QStringLiteral("visibleLayers"))).toInteger(AllMvpLayers));
    const int renderDpi = qBound(
        minimumRenderDpi, numericValue(object.value(QStringLiteral("renderDpi"))).toInt(defaultRenderDpi),
        maximumRenderDpi);
    const int pdfPage = qMax(0, numericValue(object.value(QStringLiteral("pdfPage"))).toInt(0));

    QList<Curve> curves = std::move(document.curves);
    if (curves.isEmpty())
        curves.append(makeCurve(QStringLiteral("Curve 1")));

    // The source is read before anything is replaced, so a project whose picture
    // cannot be loaded leaves the current one untouched.
    LoadedSource source;
    source.absolutePath = sourcePath;
    QString sourceProblem;
    if (!readPicture) {
        source.page = pdfPage;
        source.pageCount = qMax(0, numericValue(object.value(QStringLiteral("pdfPageCount"))).toInt(0));
    } else if (!sourcePath.isEmpty()) {
        QString error;
        if (!readSource(sourcePath, pdfPage, renderDpi, &source, &error)) {
            sourceProblem = error.isEmpty() ? QStringLiteral("Operazione non riuscita.") : error;
            if (!allowMissingSource) {
                m_lastError = sourceProblem;
                return false;
            }
            source = LoadedSource();
            source.absolutePath = sourcePath;
            // Kept for the day the file is back, so that a save does not move the points to page 1.
            source.page = pdfPage;
        }
    }

    Q_EMIT projectAboutToBeReplaced();
    m_visibleLayers = visibleLayers;
    m_renderDpi = renderDpi;
    m_pdfPage = pdfPage;
    m_calibration = Calibration::fromJson(object.value(QStringLiteral("calibration")).toObject());
    m_regeneratedGraphSettings = object.value(QStringLiteral("regeneratedGraphSettings")).toObject();
    m_graphViewSettings = object.value(QStringLiteral("graphViewSettings")).toObject();
    m_otherKeys = unknownKeys(
        object,
        {QLatin1StringView("format"), QLatin1StringView("version"), QLatin1StringView("sourcePath"),
         QLatin1StringView("visibleLayers"), QLatin1StringView("pdfPage"), QLatin1StringView("pdfPageCount"),
         QLatin1StringView("renderDpi"), QLatin1StringView("calibration"), QLatin1StringView("curves"),
         QLatin1StringView("regeneratedGraphSettings"), QLatin1StringView("graphViewSettings")});
    // Moved, not shared: the real values are recomputed in place below.
    m_curves = std::move(curves);
    // Curves are found by name: a second curve of the same name (a hand-edited
    // file) would hand its clicks to the first.
    for (int i = 1; i < m_curves.size(); ++i) {
        const auto sameName = [&](const Curve &earlier) { return earlier.name == m_curves[i].name; };
        if (std::any_of(m_curves.cbegin(), m_curves.cbegin() + i, sameName))
            renameCurvePoints(m_curves[i], uniqueCurveName(m_curves[i].name, i));
    }
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
    m_sourceProblem = sourceProblem;

    Q_EMIT visibleLayersChanged();
    Q_EMIT calibrationChanged();
    Q_EMIT pointsChanged();
    Q_EMIT activeCurveChanged();
    Q_EMIT curvesChanged();
    Q_EMIT regeneratedGraphSettingsChanged();
    return true;
}
