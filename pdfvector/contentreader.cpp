#include "pdfvector/contentreader.h"

#include "pdfvector/clipping.h"

#include "core/model/pdfcontent.h"

#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace {

using pdfcontent::CappedContent;
using pdfcontent::LimitReached;

// No operator takes more operands than this (colour components of the largest spaces).
constexpr size_t maximumOperands = 64;

struct Operand
{
    enum class Kind { Number, Name, Array, Other };
    Kind kind = Kind::Other;
    double number = 0.0;
    std::string name;
    std::vector<double> array;
};

struct GraphicsState
{
    QTransform ctm; // content space to page space
    QColor strokeColor = Qt::black;
    QColor fillColor = Qt::black;
    double lineWidth = 1.0;
    QList<double> dashes;
    double dashPhase = 0.0;
    std::shared_ptr<const ClipRegion> clip; // null: nothing clips
};

double parsedNumber(const std::string &text)
{
    std::string_view view(text);
    if (!view.empty() && view.front() == '+')
        view.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(view.data(), view.data() + view.size(), value);
    return result.ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

double channel(double value)
{
    return std::isfinite(value) ? qBound(0.0, value, 1.0) : 0.0;
}

// Colour operands by their count: gray, RGB or CMYK. Patterns and other spaces
// keep the colour they had, which is enough to tell curves apart.
void setColor(QColor *color, const std::vector<Operand> &operands)
{
    std::vector<double> values;
    for (const Operand &operand : operands) {
        if (operand.kind == Operand::Kind::Number)
            values.push_back(channel(operand.number));
    }
    if (values.size() == 1)
        *color = QColor::fromRgbF(float(values[0]), float(values[0]), float(values[0]));
    else if (values.size() == 3)
        *color = QColor::fromRgbF(float(values[0]), float(values[1]), float(values[2]));
    else if (values.size() == 4)
        *color = QColor::fromCmykF(float(values[0]), float(values[1]), float(values[2]), float(values[3]));
}

class Interpreter
{
public:
    Interpreter(const QTransform &pageToPixel, PageDrawing *drawing, const ContentLimits &limits)
        : m_pageToPixel(pageToPixel)
        , m_drawing(drawing)
        , m_limits(limits)
        , m_contentBudget(limits.maximumContentBytes)
    {
        updateTransform();
        // Nothing outside the page is drawn on its picture.
        const QSize size = drawing->frame.imageSize;
        if (!size.isEmpty()) {
            const QRectF page(QPointF(0, 0), QSizeF(size));
            m_state.clip = intersected(nullptr, clipAreaOf(rectangleNodes(QPolygonF(page)), false));
        }
    }

    void runPage(QPDFObjectHandle page)
    {
        std::string content;
        CappedContent pipe(&content, &m_contentBudget);
        QPDFPageObjectHelper(page).pipeContents(&pipe);
        QPDFObjectHandle resources = QPDFPageObjectHelper(page).getAttribute("/Resources", false);
        run(content, resources);
    }

private:
    void run(const std::string &content, QPDFObjectHandle resources)
    {
        auto input = std::make_shared<BufferInputSource>("content", content);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        std::vector<Operand> operands;
        int arrayDepth = 0;
        int dictionaryDepth = 0;
        for (;;) {
            const QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
            const QPDFTokenizer::token_type_e type = token.getType();
            if (type == QPDFTokenizer::tt_eof)
                break;
            if (dictionaryDepth > 0) {
                // Marked-content properties: nothing of them is needed.
                if (type == QPDFTokenizer::tt_dict_open)
                    ++dictionaryDepth;
                else if (type == QPDFTokenizer::tt_dict_close)
                    --dictionaryDepth;
                continue;
            }
            switch (type) {
            case QPDFTokenizer::tt_integer:
            case QPDFTokenizer::tt_real:
                if (arrayDepth > 0 && !operands.empty()) {
                    if (operands.back().array.size() < maximumOperands)
                        operands.back().array.push_back(parsedNumber(token.getValue()));
                } else {
                    push(&operands, {Operand::Kind::Number, parsedNumber(token.getValue()), {}, {}});
                }
                break;
            case QPDFTokenizer::tt_name:
                if (arrayDepth == 0)
                    push(&operands, {Operand::Kind::Name, 0.0, token.getValue(), {}});
                break;
            case QPDFTokenizer::tt_array_open:
                if (arrayDepth++ == 0)
                    push(&operands, {Operand::Kind::Array, 0.0, {}, {}});
                break;
            case QPDFTokenizer::tt_array_close: arrayDepth = qMax(0, arrayDepth - 1); break;
            case QPDFTokenizer::tt_dict_open:
                dictionaryDepth = 1;
                push(&operands, {});
                break;
            case QPDFTokenizer::tt_word:
                arrayDepth = 0;
                if (++m_operatorCount > m_limits.maximumOperators)
                    throw LimitReached();
                if (token.getValue() == "ID") {
                    skipInlineImage(tokenizer, input);
                } else {
                    execute(token.getValue(), operands, resources);
                }
                operands.clear();
                break;
            case QPDFTokenizer::tt_bad:
                operands.clear();
                arrayDepth = 0;
                break;
            default:
                if (arrayDepth == 0)
                    push(&operands, {});
                break;
            }
        }
    }

    // Operands beyond what any operator takes are dropped from the front, as
    // they can only be garbage; this bounds memory on a stream of bare numbers.
    static void push(std::vector<Operand> *operands, Operand operand)
    {
        if (operands->size() >= maximumOperands)
            operands->erase(operands->begin());
        operands->push_back(std::move(operand));
    }

    static void skipInlineImage(QPDFTokenizer &tokenizer, const std::shared_ptr<InputSource> &input)
    {
        char separator = 0;
        input->read(&separator, 1);
        tokenizer.expectInlineImage(input);
        tokenizer.readToken(input, "inline image", true);
    }

    // The last `count` operands when they are numbers; extra ones before them
    // are ignored, as viewers do.
    static bool numbers(const std::vector<Operand> &operands, size_t count, double *values)
    {
        if (operands.size() < count)
            return false;
        const size_t first = operands.size() - count;
        for (size_t i = 0; i < count; ++i) {
            if (operands[first + i].kind != Operand::Kind::Number)
                return false;
            values[i] = operands[first + i].number;
        }
        return true;
    }

    void execute(const std::string &op, const std::vector<Operand> &operands, QPDFObjectHandle resources)
    {
        double v[6];
        const std::string_view name(op);
        if (name == "l") {
            if (numbers(operands, 2, v))
                addNode(PathStep::LineTo, map(v[0], v[1]));
        } else if (name == "c") {
            if (numbers(operands, 6, v))
                addCurve(map(v[0], v[1]), map(v[2], v[3]), map(v[4], v[5]));
        } else if (name == "m") {
            if (numbers(operands, 2, v))
                moveTo(map(v[0], v[1]));
        } else if (name == "v") {
            if (numbers(operands, 4, v))
                addCurve(m_current, map(v[0], v[1]), map(v[2], v[3]));
        } else if (name == "y") {
            if (numbers(operands, 4, v)) {
                const QPointF end = map(v[2], v[3]);
                addCurve(map(v[0], v[1]), end, end);
            }
        } else if (name == "re") {
            if (numbers(operands, 4, v)) {
                moveTo(map(v[0], v[1]));
                addNode(PathStep::LineTo, map(v[0] + v[2], v[1]));
                addNode(PathStep::LineTo, map(v[0] + v[2], v[1] + v[3]));
                addNode(PathStep::LineTo, map(v[0], v[1] + v[3]));
                closePath();
            }
        } else if (name == "h") {
            closePath();
        } else if (name == "S") {
            paint(true, false);
        } else if (name == "s") {
            closePath();
            paint(true, false);
        } else if (name == "f" || name == "F" || name == "f*") {
            paint(false, true);
        } else if (name == "B" || name == "B*") {
            paint(true, true);
        } else if (name == "b" || name == "b*") {
            closePath();
            paint(true, true);
        } else if (name == "n") {
            paint(false, false);
        } else if (name == "W" || name == "W*") {
            m_pendingClip = name == "W" ? PendingClip::NonZero : PendingClip::EvenOdd;
        } else if (name == "q") {
            if (int(m_saved.size()) >= m_limits.maximumSavedStates)
                throw LimitReached();
            m_saved.push_back(m_state);
        } else if (name == "Q") {
            // A form's Q never restores what was saved outside the form.
            if (m_saved.size() > m_floor)
                restoreTo(m_saved.size() - 1);
        } else if (name == "cm") {
            if (numbers(operands, 6, v)) {
                m_state.ctm = QTransform(v[0], v[1], v[2], v[3], v[4], v[5]) * m_state.ctm;
                updateTransform();
            }
        } else if (name == "w") {
            if (numbers(operands, 1, v))
                m_state.lineWidth = std::fabs(v[0]);
        } else if (name == "d") {
            if (operands.size() == 2 && operands[0].kind == Operand::Kind::Array &&
                operands[1].kind == Operand::Kind::Number)
                setDash(operands[0].array, operands[1].number);
        } else if (name == "G" || name == "RG" || name == "K" || name == "SC" || name == "SCN") {
            setColor(&m_state.strokeColor, operands);
        } else if (name == "g" || name == "rg" || name == "k" || name == "sc" || name == "scn") {
            setColor(&m_state.fillColor, operands);
        } else if (name == "CS") {
            m_state.strokeColor = Qt::black;
        } else if (name == "cs") {
            m_state.fillColor = Qt::black;
        } else if (name == "gs") {
            if (operands.size() == 1 && operands[0].kind == Operand::Kind::Name)
                applyExtGState(resource(resources, "/ExtGState", operands[0].name));
        } else if (name == "Do") {
            if (operands.size() == 1 && operands[0].kind == Operand::Kind::Name)
                drawForm(resource(resources, "/XObject", operands[0].name), resources);
        }
    }

    static QPDFObjectHandle resource(QPDFObjectHandle resources, const char *category,
                                     const std::string &name)
    {
        if (!resources.isDictionary())
            return QPDFObjectHandle::newNull();
        QPDFObjectHandle group = resources.getKey(category);
        return group.isDictionary() ? group.getKey(name) : QPDFObjectHandle::newNull();
    }

    void setDash(const std::vector<double> &array, double phase)
    {
        m_state.dashes.clear();
        for (double length : array)
            m_state.dashes.append(std::fabs(length));
        m_state.dashPhase = phase;
    }

    void applyExtGState(QPDFObjectHandle state)
    {
        if (!state.isDictionary())
            return;
        QPDFObjectHandle width = state.getKey("/LW");
        if (width.isNumber())
            m_state.lineWidth = std::fabs(width.getNumericValue());
        QPDFObjectHandle dash = state.getKey("/D");
        if (dash.isArray() && dash.getArrayNItems() == 2 && dash.getArrayItem(0).isArray() &&
            dash.getArrayItem(1).isNumber()) {
            std::vector<double> lengths;
            for (QPDFObjectHandle item : dash.getArrayItem(0).aitems()) {
                if (item.isNumber())
                    lengths.push_back(item.getNumericValue());
            }
            setDash(lengths, dash.getArrayItem(1).getNumericValue());
        }
    }

    void drawForm(QPDFObjectHandle form, QPDFObjectHandle parentResources)
    {
        if (!form.isStream() || !form.getDict().getKey("/Subtype").isNameAndEquals("/Form"))
            return;
        const QPDFObjGen id = form.getObjGen();
        if (m_activeForms.count(id) > 0 || int(m_activeForms.size()) >= m_limits.maximumFormDepth)
            return;
        if (++m_formRuns > m_limits.maximumFormRuns)
            throw LimitReached();
        auto cached = m_formContent.find(id);
        if (cached == m_formContent.end()) {
            std::string content;
            CappedContent pipe(&content, &m_contentBudget);
            QPDFPageObjectHelper(form).pipeContents(&pipe);
            cached = m_formContent.emplace(id, std::move(content)).first;
        }
        QPDFObjectHandle dictionary = form.getDict();
        QPDFObjectHandle resources = dictionary.getKey("/Resources");
        const size_t depth = m_saved.size();
        m_saved.push_back(m_state);
        QPDFObjectHandle matrix = dictionary.getKey("/Matrix");
        if (matrix.isMatrix()) {
            const QPDFObjectHandle::Matrix m = matrix.getArrayAsMatrix();
            m_state.ctm = QTransform(m.a, m.b, m.c, m.d, m.e, m.f) * m_state.ctm;
            updateTransform();
        }
        QPDFObjectHandle box = dictionary.getKey("/BBox");
        if (box.isRectangle()) {
            const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
            setClip(
                rectangleNodes(m_toPixel.map(QPolygonF(QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly)))),
                false);
        }
        m_path.clear();
        m_activeForms.insert(id);
        const size_t outerFloor = m_floor;
        m_floor = m_saved.size();
        run(cached->second, resources.isDictionary() ? resources : parentResources);
        m_floor = outerFloor;
        m_activeForms.erase(id);
        m_path.clear();
        restoreTo(depth);
    }

    // Pops saved states down to `depth` entries, the last one popped becoming current.
    void restoreTo(size_t depth)
    {
        if (m_saved.size() <= depth)
            return;
        m_state = m_saved[depth];
        m_saved.resize(depth);
        updateTransform();
    }

    void updateTransform()
    {
        m_toPixel = m_state.ctm * m_pageToPixel;
        m_widthScale = std::sqrt(std::fabs(m_state.ctm.determinant()));
    }

    QPointF map(double x, double y) const { return m_toPixel.map(QPointF(x, y)); }

    void moveTo(const QPointF &point)
    {
        // A MoveTo right after another replaces it: only the last one starts a sub-path.
        if (!m_path.isEmpty() && m_path.last().step == PathStep::MoveTo)
            m_path.removeLast();
        m_path.append({PathStep::MoveTo, point, {}, {}});
        m_start = m_current = point;
    }

    // Paths under construction count too, so that one endless path cannot exhaust memory.
    void checkSize() const
    {
        if (m_drawing->segmentCount + m_path.size() >= m_limits.maximumSegments)
            throw LimitReached();
    }

    // Without a current point a segment only starts the path, as viewers do.
    void addNode(PathStep step, const QPointF &point)
    {
        if (m_path.isEmpty()) {
            moveTo(point);
            return;
        }
        checkSize();
        m_path.append({step, point, {}, {}});
        m_current = point;
    }

    void addCurve(const QPointF &control1, const QPointF &control2, const QPointF &end)
    {
        if (m_path.isEmpty()) {
            moveTo(end);
            return;
        }
        checkSize();
        m_path.append({PathStep::CurveTo, end, control1, control2});
        m_current = end;
    }

    void closePath()
    {
        if (!m_path.isEmpty() && m_path.last().step != PathStep::MoveTo && m_current != m_start)
            addNode(PathStep::LineTo, m_start);
        m_current = m_start;
    }

    // A clipping path takes effect once the path is painted (or ended by n).
    void setClip(const QList<PathNode> &nodes, bool evenOdd)
    {
        m_state.clip = intersected(m_state.clip, clipAreaOf(nodes, evenOdd));
        if (m_state.clip->edgeCount > m_limits.maximumClipEdges)
            throw LimitReached();
    }

    static QList<PathNode> rectangleNodes(const QPolygonF &corners)
    {
        QList<PathNode> nodes;
        for (int i = 0; i < 4; ++i)
            nodes.append({i == 0 ? PathStep::MoveTo : PathStep::LineTo, corners.value(i), {}, {}});
        return nodes;
    }

    void paint(bool stroke, bool fill)
    {
        const QList<PathNode> clipPath = m_pendingClip != PendingClip::None ? m_path : QList<PathNode>();
        const bool evenOdd = m_pendingClip == PendingClip::EvenOdd;
        if (stroke || fill)
            paintPath(stroke, fill);
        m_path = {};
        if (m_pendingClip != PendingClip::None)
            setClip(clipPath, evenOdd);
        m_pendingClip = PendingClip::None;
    }

    void paintPath(bool stroke, bool fill)
    {
        if (m_state.clip && m_path.size() >= 2)
            m_path = clippedNodes(m_path, *m_state.clip);
        if (m_path.size() >= 2) {
            DrawnPath path;
            path.style.stroked = stroke;
            path.style.filled = fill;
            path.style.strokeColor = m_state.strokeColor;
            path.style.fillColor = m_state.fillColor;
            path.style.lineWidth = m_state.lineWidth * m_widthScale;
            for (double length : std::as_const(m_state.dashes))
                path.style.dashes.append(length * m_widthScale);
            path.style.dashPhase = m_state.dashPhase * m_widthScale;
            path.bounds = nodeBounds(m_path);
            m_drawing->segmentCount += int(m_path.size());
            for (const PathNode &node : std::as_const(m_path))
                m_drawing->segmentCount -= node.step == PathStep::MoveTo ? 1 : 0;
            path.nodes = std::move(m_path);
            m_drawing->paths.append(std::move(path));
        }
    }

    static QRectF nodeBounds(const QList<PathNode> &nodes)
    {
        double left = nodes.first().point.x(), right = left;
        double top = nodes.first().point.y(), bottom = top;
        auto include = [&](const QPointF &p) {
            left = qMin(left, p.x());
            right = qMax(right, p.x());
            top = qMin(top, p.y());
            bottom = qMax(bottom, p.y());
        };
        for (const PathNode &node : nodes) {
            include(node.point);
            if (node.step == PathStep::CurveTo) {
                include(node.control1);
                include(node.control2);
            }
        }
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }

    const QTransform m_pageToPixel;
    PageDrawing *m_drawing;
    const ContentLimits m_limits;
    size_t m_contentBudget;
    qint64 m_operatorCount = 0;
    qint64 m_formRuns = 0;
    GraphicsState m_state;
    std::vector<GraphicsState> m_saved;
    size_t m_floor = 0; // saved states that belong to enclosing forms
    QTransform m_toPixel;
    double m_widthScale = 1.0;
    QList<PathNode> m_path;
    enum class PendingClip { None, NonZero, EvenOdd } m_pendingClip = PendingClip::None;
    QPointF m_start;
    QPointF m_current;
    std::set<QPDFObjGen> m_activeForms;
    std::map<QPDFObjGen, std::string> m_formContent;
};

} // namespace

ContentOutcome readContentPaths(QPDFObjectHandle page, const QTransform &pageToPixel, PageDrawing *drawing,
                                const ContentLimits &limits)
{
    try {
        Interpreter(pageToPixel, drawing, limits).runPage(page);
    } catch (const LimitReached &) {
        drawing->paths.clear();
        drawing->segmentCount = 0;
        return ContentOutcome::TooLarge;
    }
    return ContentOutcome::Complete;
}
