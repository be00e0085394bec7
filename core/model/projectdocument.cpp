#include "core/model/projectdocument.h"

#include "core/model/jsonfields.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const QString defaultCurveName = QStringLiteral("Curve 1");

// The point's numeric fields, in the order of pointKeys.
enum PointField { XPixel, YPixel, XReal, YReal, CurveName, OtherField };
constexpr const char *pointKeys[] = {"x_pixel", "y_pixel", "x_reale", "y_reale", "curve_name"};

void setPointField(CurvePoint &point, int field, double value)
{
    switch (field) {
    case XPixel: point.pixel.setX(value); break;
    case YPixel: point.pixel.setY(value); break;
    case XReal: point.real.setX(value); break;
    case YReal: point.real.setY(value); break;
    default: break;
    }
}

CurvePoint pointFromJson(const QJsonObject &object)
{
    CurvePoint point;
    for (int field = XPixel; field <= YReal; ++field)
        setPointField(point, field,
                      numericValue(object.value(QLatin1StringView(pointKeys[field]))).toDouble(0.0));
    point.otherKeys = unknownKeys(object, {QLatin1StringView("x_pixel"), QLatin1StringView("y_pixel"),
                                           QLatin1StringView("x_reale"), QLatin1StringView("y_reale"),
                                           QLatin1StringView("curve_name")});
    return point;
}

// A point belongs to the curve that holds it, whatever name it was stored with.
void finishCurve(Curve &curve)
{
    for (CurvePoint &point : curve.points)
        point.curveName = curve.name;
}

} // namespace

Curve curveFromJson(const QJsonObject &object)
{
    Curve curve;
    curve.name = object.value(QStringLiteral("name")).toString(defaultCurveName);
    curve.parameterName = object.value(QStringLiteral("parameterName")).toString();
    curve.parameterValue = object.value(QStringLiteral("parameterValue")).toString();
    // A colour text that names no colour falls back to the default like a missing one.
    const QColor color = QColor::fromString(object.value(QStringLiteral("color")).toString());
    // At the 8 bits per channel that "#aarrggbb" keeps, so that a colour given
    // with more digits ("#rrrgggbbb") is saved as it is held.
    curve.color = color.isValid() ? QColor::fromRgba(color.rgba()) : defaultCurveColor();
    curve.lineWidth = clampedLineWidth(numericValue(object.value(QStringLiteral("lineWidth"))).toDouble(2.0));
    curve.visible = object.value(QStringLiteral("visible")).toBool(true);
    curve.otherKeys = unknownKeys(object, {QLatin1StringView("name"), QLatin1StringView("parameterName"),
                                           QLatin1StringView("parameterValue"), QLatin1StringView("color"),
                                           QLatin1StringView("lineWidth"), QLatin1StringView("visible"),
                                           QLatin1StringView("points")});
    return curve;
}

ProjectDocument projectDocumentFrom(const QJsonObject &object)
{
    ProjectDocument document;
    document.object = object;
    document.object.remove(QStringLiteral("curves"));
    const QJsonArray curves = object.value(QStringLiteral("curves")).toArray();
    for (const QJsonValue &value : curves) {
        const QJsonObject stored = value.toObject();
        Curve curve = curveFromJson(stored);
        const QJsonArray points = stored.value(QStringLiteral("points")).toArray();
        curve.points.reserve(points.size());
        for (const QJsonValue &point : points)
            curve.points.append(pointFromJson(point.toObject()));
        finishCurve(curve);
        document.curves.append(curve);
    }
    return document;
}

namespace {

// A JSON number as QJsonDocument reads it: whole numbers as 64-bit integers,
// others as the nearest double, zero without a sign. False for what this
// cannot be sure to read alike (whole numbers beyond 64 bits, values beyond
// the range of doubles), which QJsonDocument then reads or refuses itself.
bool readNumber(const char *text, size_t length, QJsonValue *value)
{
    const char *end = text + length;
    if (std::none_of(text, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; })) {
        qint64 whole = 0;
        const auto [rest, failure] = std::from_chars(text, end, whole);
        *value = QJsonValue(whole);
        return failure == std::errc() && rest == end;
    }
    double number = 0.0;
    const auto [rest, failure] = std::from_chars(text, end, number);
    if (failure != std::errc() || rest != end || !std::isfinite(number))
        return false;
    // QJsonDocument keeps any whole number that fits 64 bits as an integer
    // (1e+17 among them), while QJsonValue(double) does so only up to 2^53.
    constexpr double twoTo63 = 9223372036854775808.0;
    if (std::trunc(number) == number && number >= -twoTo63 && number < twoTo63)
        *value = QJsonValue(qint64(number));
    else
        *value = QJsonValue(number);
    return true;
}

// RapidJSON lets a lone low surrogate through a \u escape, written as the
// three bytes UTF-8 has no place for; QJsonDocument decides about those.
bool holdsSurrogate(const char *text, std::size_t length)
{
    const char *end = text + length;
    for (const char *at = text; at + 1 < end; ++at) {
        if (static_cast<unsigned char>(at[0]) == 0xED && static_cast<unsigned char>(at[1]) >= 0xA0)
            return true;
    }
    return false;
}

// Builds the JSON values that are kept as values (settings, the calibration,
// other programs' keys); the points never pass through here.
class ValueBuilder
{
public:
    bool active() const { return !m_levels.empty(); }
    std::size_t depth() const { return m_levels.size(); }
    void start(bool object) { m_levels.push_back({object, {}, {}, {}}); }
    void key(const QString &key) { m_levels.back().key = key; }
    // False while the outermost container is open; true with the whole value once it closes.
    bool end(QJsonValue *finished)
    {
        Level level = std::move(m_levels.back());
        m_levels.pop_back();
        const QJsonValue value = level.object ? QJsonValue(level.members) : QJsonValue(level.elements);
        if (m_levels.empty()) {
            *finished = value;
            return true;
        }
        add(value);
        return false;
    }
    void add(const QJsonValue &value)
    {
        Level &level = m_levels.back();
        if (level.object)
            level.members.insert(level.key, value);
        else
            level.elements.append(value);
    }

private:
    struct Level
    {
        bool object;
        QJsonObject members;
        QJsonArray elements;
        QString key;
    };
    std::vector<Level> m_levels;
};

// The SAX events of a project document, sorted into the document as they come.
// Returning false stops the parser; the caller then lets QJsonDocument decide.
class DocumentHandler
{
public:
    explicit DocumentHandler(ProjectDocument *document)
        : m_document(document)
    {}
    bool finished() const { return m_place == Place::Done; }

    bool Null() { return scalar(QJsonValue(QJsonValue::Null)); }
    bool Bool(bool value) { return scalar(QJsonValue(value)); }
    bool RawNumber(const char *text, rapidjson::SizeType length, bool)
    {
        QJsonValue value;
        return readNumber(text, length, &value) && scalar(value);
    }
    bool String(const char *text, rapidjson::SizeType length, bool)
    {
        if (holdsSurrogate(text, length))
            return false;
        // A point belongs to the curve holding it: its own curve name is not kept.
        if (!m_values.active() && m_place == Place::Point && m_pointField == CurveName)
            return true;
        return scalar(QJsonValue(QString::fromUtf8(text, length)));
    }
    bool Key(const char *text, rapidjson::SizeType length, bool)
    {
        if (holdsSurrogate(text, length))
            return false;
        if (m_values.active()) {
            m_values.key(QString::fromUtf8(text, length));
            return true;
        }
        if (m_place == Place::Point) {
            const auto known = std::find_if(std::begin(pointKeys), std::end(pointKeys), [&](const char *key) {
                return std::strlen(key) == length && std::memcmp(key, text, length) == 0;
            });
            m_pointField = int(known - std::begin(pointKeys));
            if (m_pointField != OtherField)
                return true;
        }
        m_key = QString::fromUtf8(text, length);
        return true;
    }
    bool StartObject() { return start(true); }
    bool StartArray() { return start(false); }
    bool EndObject(rapidjson::SizeType) { return end(); }
    bool EndArray(rapidjson::SizeType) { return end(); }
    // Unused with numbers read as text.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(int64_t) { return false; }
    bool Uint64(uint64_t) { return false; }
    bool Double(double) { return false; }

private:
    enum class Place { Outside, Root, Curves, Curve, Points, Point, Done };

    // Deep enough for any settings this program writes; deeper text is left to QJsonDocument.
    static constexpr std::size_t deepestValue = 512;

    bool scalar(const QJsonValue &value)
    {
        if (m_values.active()) {
            m_values.add(value);
            return true;
        }
        return place(value);
    }

    bool start(bool object)
    {
        if (m_values.active() || !enter(object)) {
            m_values.start(object);
            return m_values.depth() <= deepestValue;
        }
        return true;
    }

    bool end()
    {
        if (m_values.active()) {
            QJsonValue value;
            return !m_values.end(&value) || place(value);
        }
        switch (m_place) {
        case Place::Root: m_place = Place::Done; return true;
        case Place::Curves: m_place = Place::Root; return true;
        case Place::Curve:
            m_curve = curveFromJson(m_curveObject);
            m_curve.points = std::move(m_points);
            m_points = {};
            finishCurve(m_curve);
            m_document->curves.append(std::move(m_curve));
            m_curve = Curve();
            m_place = Place::Curves;
            return true;
        case Place::Points: m_place = Place::Curve; return true;
        case Place::Point:
            m_points.append(std::move(m_point));
            m_place = Place::Points;
            return true;
        default: return false;
        }
    }

    // A container that opens one of the document's own places; false for one
    // that is a value to build (and, where its place expects none, to drop).
    bool enter(bool object)
    {
        switch (m_place) {
        case Place::Outside:
            if (!object)
                return false;
            m_place = Place::Root;
            return true;
        case Place::Root:
            if (object || m_key != QLatin1String("curves"))
                return false;
            m_document->curves.clear(); // of an earlier "curves": the last one counts
            m_place = Place::Curves;
            return true;
        case Place::Curves:
            if (!object)
                return false;
            m_curveObject = QJsonObject();
            m_points.clear();
            m_place = Place::Curve;
            return true;
        case Place::Curve:
            if (object || m_key != QLatin1String("points"))
                return false;
            m_points.clear();
            m_place = Place::Points;
            return true;
        case Place::Points:
            if (!object)
                return false;
            m_point = CurvePoint();
            m_place = Place::Point;
            return true;
        default: return false;
        }
    }

    // A whole value (scalar or built container) at the current place.
    bool place(const QJsonValue &value)
    {
        switch (m_place) {
        case Place::Outside:
        case Place::Done: return false; // a root that is no object
        case Place::Root:
            if (m_key == QLatin1String("curves"))
                m_document->curves.clear(); // not an array: no curves
            else
                m_document->object.insert(m_key, value);
            return true;
        case Place::Curves: m_document->curves.append(curveFromJson(QJsonObject())); return true;
        case Place::Curve:
            if (m_key == QLatin1String("points"))
                m_points.clear();
            else
                m_curveObject.insert(m_key, value);
            return true;
        case Place::Points: m_points.append(CurvePoint()); return true;
        case Place::Point:
            if (m_pointField <= YReal)
                setPointField(m_point, m_pointField, numericValue(value).toDouble(0.0));
            else if (m_pointField == OtherField)
                m_point.otherKeys.insert(m_key, value);
            return true;
        }
        return false;
    }

    ProjectDocument *m_document;
    Place m_place = Place::Outside;
    QString m_key;
    QJsonObject m_curveObject;
    Curve m_curve;
    QList<CurvePoint> m_points;
    CurvePoint m_point;
    int m_pointField = OtherField;
    ValueBuilder m_values;
};

// A file read in blocks, as the parser's input stream.
class FileStream
{
public:
    using Ch = char;
    explicit FileStream(QFile &file)
        : m_file(file)
        , m_buffer(1 << 16)
    {
        refill();
    }
    Ch Peek() const { return m_position < m_end ? m_buffer[m_position] : '\0'; }
    Ch Take()
    {
        const Ch c = Peek();
        if (m_position < m_end && ++m_position == m_end)
            refill();
        return c;
    }
    std::size_t Tell() const { return m_consumed + m_position; }
    bool failed() const { return m_failed; }
    void skipWhitespace()
    {
        while (m_position < m_end) {
            const Ch c = m_buffer[m_position];
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return;
            if (++m_position == m_end)
                refill();
        }
    }
    // Not used by a reader that does not parse in place.
    Ch *PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    std::size_t PutEnd(Ch *) { return 0; }

private:
    void refill()
    {
        m_consumed += m_end;
        m_position = 0;
        const qint64 read = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
        m_failed = m_failed || read < 0;
        m_end = read > 0 ? std::size_t(read) : 0;
    }

    QFile &m_file;
    std::vector<Ch> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    std::size_t m_consumed = 0;
    bool m_failed = false;
};

// Found by the parser through argument lookup: whitespace is most of an indented
// file, skipped here within the block rather than a character at a time.
void SkipWhitespace(FileStream &stream)
{
    stream.skipWhitespace();
}

constexpr unsigned parseFlags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag |
                                rapidjson::kParseNumbersAsStringsFlag;

// Streams the text into document; false when anything is not as this reader
// is sure to read it as QJsonDocument does (then nothing of it counts).
template <typename Stream> bool streamDocument(Stream &stream, std::size_t size, ProjectDocument *document)
{
    DocumentHandler handler(document);
    rapidjson::Reader reader;
    // A byte order mark, which QJsonDocument skips as well.
    if (size >= 3 && stream.Peek() == '\xEF') {
        stream.Take();
        if (stream.Take() != '\xBB' || stream.Take() != '\xBF')
            return false;
    }
    // The parser takes a zero byte for the end of the text: the whole text must have been read.
    return !reader.Parse<parseFlags>(stream, handler).IsError() && handler.finished() &&
           stream.Tell() == size;
}

} // namespace

JsonReading readProjectJson(QByteArrayView text, ProjectDocument *document, QString *reason)
{
    reason->clear();
    *document = ProjectDocument();
    rapidjson::MemoryStream stream(text.data(), std::size_t(text.size()));
    if (streamDocument(stream, std::size_t(text.size()), document))
        return JsonReading::Read;
    *document = ProjectDocument();
    return readProjectJsonWithDocument(text.toByteArray(), document, reason);
}

JsonReading readProjectJsonFile(const QString &path, ProjectDocument *document, QString *reason)
{
    reason->clear();
    *document = ProjectDocument();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return JsonReading::Unreadable;
    }
    {
        FileStream stream(file);
        if (streamDocument(stream, std::size_t(file.size()), document) && !stream.failed())
            return JsonReading::Read;
        if (stream.failed()) {
            *reason = file.errorString();
            return JsonReading::Unreadable;
        }
    }
    *document = ProjectDocument();
    if (!file.seek(0)) {
        *reason = file.errorString();
        return JsonReading::Unreadable;
    }
    return readProjectJsonWithDocument(file.readAll(), document, reason);
}

JsonReading readProjectJsonWithDocument(const QByteArray &text, ProjectDocument *document, QString *reason)
{
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(text, &error);
    if (parsed.isNull()) {
        *reason = error.errorString();
        return JsonReading::NotJson;
    }
    if (!parsed.isObject())
        return JsonReading::NotAnObject;
    *document = projectDocumentFrom(parsed.object());
    return JsonReading::Read;
}
