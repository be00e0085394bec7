#include "axisfinding/axisfinder.h"

#include "axisfinding/inkmask.h"
#include "axisfinding/ticklabels.h"
#include "i18n/localization.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace axisfinding {

namespace {

// Labels agree with their axis when the fit puts them this close.
constexpr double agreementPixels = 0.5;
constexpr int fewestBatchLabels = 3;
// Beyond these many boxes near one stroke, the stroke is not an axis with labels.
constexpr int largestLabelCount = 60;

// A possible tick label: its box in mask pixels and, once read, its text.
struct Label
{
    QRectF box;
    QString text;
    bool read = false;
    QStringList otherTexts;
    bool readOtherwise = false;
};

// Reads labels lazily: OCR only for the boxes a stroke could own.
class Labels
{
public:
    Labels(const QImage &picture, const InkMask &mask, const LabelReader *reader, QList<Label> labels)
        : m_picture(picture)
        , m_mask(mask)
        , m_reader(reader)
        , m_labels(std::move(labels))
    {}
    int size() const { return int(m_labels.size()); }
    const QRectF &box(int i) const { return m_labels[i].box; }
    // The reader's other readings of a label, read once.
    const QStringList &otherTexts(int i)
    {
        Label &label = m_labels[i];
        if (!label.readOtherwise && m_reader) {
            const QRectF &b = label.box;
            const QRectF inPicture(b.topLeft() / m_mask.scale, b.size() / m_mask.scale);
            label.otherTexts =
                m_reader->otherReadings(m_picture, inPicture.toAlignedRect().intersected(m_picture.rect()));
        }
        label.readOtherwise = true;
        return label.otherTexts;
    }
    const QString &text(int i)
    {
        Label &label = m_labels[i];
        if (!label.read && m_reader) {
            const QRectF &b = label.box;
            const QRectF inPicture(b.topLeft() / m_mask.scale, b.size() / m_mask.scale);
            label.text = m_reader->read(m_picture, inPicture.toAlignedRect().intersected(m_picture.rect()));
        }
        label.read = true;
        return label.text;
    }

private:
    const QImage &m_picture;
    const InkMask &m_mask;
    const LabelReader *m_reader;
    QList<Label> m_labels;
};

FoundAxis fitted(const QList<FoundMark> &candidates, double multiplier)
{
    FoundAxis best;
    for (const CommaReading comma : {CommaReading::Decimal, CommaReading::Thousands}) {
        QList<FoundMark> marks;
        for (const FoundMark &candidate : candidates) {
            if (const std::optional<double> value = parseTickLabel(candidate.text, comma)) {
                FoundMark mark = candidate;
                mark.value = *value * multiplier;
                marks.append(mark);
            }
        }
        const bool positive =
            std::all_of(marks.begin(), marks.end(), [](const FoundMark &mark) { return mark.value > 0.0; });
        // Log only for positive values, and only when it fits better than linear.
        for (const bool logScale : {false, true}) {
            if (logScale && !positive)
                continue;
            const FoundAxis axis = refitted(FoundAxis{true, logScale, marks, {}, 0});
            if (!axis.found)
                continue;
            if (!best.found || axis.agreeing > best.agreeing ||
                (axis.agreeing == best.agreeing && axis.fit.rms < best.fit.rms - 1e-9))
                best = axis;
        }
    }
    return best;
}

// Labels the axis does not agree with are read again in the reader's other ways; a
// reading is kept when more labels then agree (a "1.5" first read as "5").
FoundAxis withLabelsReadAgain(FoundAxis axis, QList<FoundMark> candidates, const QList<int> &candidateLabels,
                              Labels &labels, double multiplier)
{
    for (int c = 0; axis.found && c < candidates.size(); ++c) {
        const QPointF pixel = candidates[c].pixel;
        const bool agrees = std::any_of(axis.marks.begin(), axis.marks.end(), [&](const FoundMark &mark) {
            return mark.pixel == pixel && mark.used && mark.residual <= agreementPixels;
        });
        if (agrees)
            continue;
        for (const QString &other : labels.otherTexts(candidateLabels[c])) {
            QList<FoundMark> tried = candidates;
            tried[c].text = other.trimmed();
            const FoundAxis better = fitted(tried, multiplier);
            if (better.found && better.agreeing > axis.agreeing) {
                axis = better;
                candidates = tried;
                break;
            }
        }
    }
    return axis;
}

// A multiplier shared by the axis' labels, printed near one of its ends
// ("×10³", or "1e6" as matplotlib prints it) and not itself a tick label of
// the row; only the few texts near the ends are read for it.
double axisMultiplier(const Stroke &stroke, Labels &labels, const QList<int> &rowLabels)
{
    for (int i = 0; i < labels.size(); ++i) {
        const QRectF &box = labels.box(i);
        const double reach = 4.0 * std::max(box.height(), 8.0);
        const bool nearEnd = QLineF(box.center(), stroke.line.p1()).length() <= reach ||
                             QLineF(box.center(), stroke.line.p2()).length() <= reach;
        if (!nearEnd || (rowLabels.contains(i) && parseTickLabel(labels.text(i))))
            continue;
        if (const std::optional<double> multiplier = parseAxisMultiplier(labels.text(i)))
            return *multiplier;
    }
    return 1.0;
}

// The labels along one side of a stroke, nearest row first, paired with the
// stroke's ticks, and the axis they fit; not found when fewer than two fit.
FoundAxis axisAlong(const Stroke &stroke, double side, const QList<double> &ticks, Labels &labels,
                    double scale)
{
    const QPointF along = (stroke.line.p2() - stroke.line.p1()) / stroke.line.length();
    const QPointF across(-along.y(), along.x());
    const bool level = std::abs(along.x()) > std::abs(along.y());
    struct Near
    {
        int index;
        double distance; // from the stroke to the box's near edge
        double position; // of the box's centre along the stroke
        double extent;   // of the box along the stroke
        double depth;    // of the box across the stroke
    };
    QList<Near> near;
    for (int i = 0; i < labels.size(); ++i) {
        const QRectF &box = labels.box(i);
        const QPointF centre = box.center() - stroke.line.p1();
        const double position = QPointF::dotProduct(centre, along);
        const double offset = side * QPointF::dotProduct(centre, across);
        const double depth = level ? box.height() : box.width();
        const double extent = level ? box.width() : box.height();
        const double distance = offset - depth / 2.0;
        if (position < -extent || position > stroke.line.length() + extent ||
            distance < stroke.thickness / 2.0 || distance > 6.0 * std::max(depth, 8.0))
            continue;
        near.append({i, distance, position, extent, depth});
    }
    if (near.size() < 2 || near.size() > largestLabelCount)
        return {};
    // The row of labels nearest to the stroke, not the axis title beyond it.
    const double nearest = std::min_element(near.begin(), near.end(), [](const Near &a, const Near &b) {
                               return a.distance < b.distance;
                           })->distance;
    QList<double> depths;
    for (const Near &n : near)
        depths.append(n.depth);
    std::sort(depths.begin(), depths.end());
    const double rowDepth = std::max(4.0, 0.9 * depths[depths.size() / 2]);
    QList<FoundMark> candidates;
    QList<int> candidateLabels;
    QList<double> pairedTicks;
    for (const Near &n : near) {
        if (n.distance > nearest + rowDepth)
            continue;
        // The tick under the label's middle, else the middle itself.
        double position = n.position;
        double closest = n.extent / 2.0 + 1.0;
        for (const double tick : ticks) {
            if (std::abs(tick - n.position) < closest) {
                closest = std::abs(tick - n.position);
                position = tick;
            }
        }
        // A label in pieces is one label: a tick takes the first.
        if (position != n.position && pairedTicks.contains(position))
            continue;
        pairedTicks.append(position);
        const QString text = labels.text(n.index).trimmed();
        if (text.isEmpty())
            continue;
        const QPointF pixel = (stroke.line.p1() + position * along) / scale;
        const QRectF box = labels.box(n.index);
        candidates.append({pixel, 0.0, text, QRectF(box.topLeft() / scale, box.size() / scale), 0.0, false});
        candidateLabels.append(n.index);
    }
    const double multiplier = axisMultiplier(stroke, labels, candidateLabels);
    return withLabelsReadAgain(fitted(candidates, multiplier), candidates, candidateLabels, labels,
                               multiplier);
}

// The best axis over the strokes of one direction and both their sides.
FoundAxis bestAxis(const InkMask &mask, bool vertical, Labels &labels)
{
    FoundAxis best;
    for (const Stroke &stroke : longStrokes(mask, vertical)) {
        const QList<double> ticks = ticksAlong(mask, stroke);
        for (const double side : {-1.0, 1.0}) {
            const FoundAxis axis = axisAlong(stroke, side, ticks, labels, mask.scale);
            if (axis.found && (!best.found || axis.agreeing > best.agreeing))
                best = axis;
        }
    }
    return best;
}

FoundAxes findIn(const InkMask &mask, Labels &labels)
{
    FoundAxes axes;
    axes.x = bestAxis(mask, false, labels);
    axes.y = bestAxis(mask, true, labels);
    return axes;
}

} // namespace

FoundAxis refitted(FoundAxis axis)
{
    axis.fit = fitAxis(axis.calibrationMarks(), axis.logScale);
    axis.found = axis.fit.ok;
    axis.agreeing = 0;
    if (!axis.found)
        return axis;
    for (int i = 0; i < axis.marks.size(); ++i) {
        axis.marks[i].residual = axis.fit.residuals[i];
        axis.marks[i].used = axis.fit.used[i];
        axis.agreeing += axis.fit.used[i] && axis.fit.residuals[i] <= agreementPixels ? 1 : 0;
    }
    return axis;
}

QList<CalibrationMark> FoundAxis::calibrationMarks() const
{
    QList<CalibrationMark> result;
    for (const FoundMark &mark : marks)
        result.append({mark.pixel, mark.value});
    return result;
}

QList<CalibrationMark> FoundAxis::usedMarks() const
{
    QList<CalibrationMark> result;
    for (const FoundMark &mark : marks) {
        if (mark.used)
            result.append({mark.pixel, mark.value});
    }
    return result;
}

FoundAxes findAxes(const QImage &picture, const LabelReader &reader)
{
    const InkMask mask = inkMask(picture);
    QList<Label> found;
    for (const QRectF &box : textBoxes(mask))
        found.append({box, QString(), false, {}, false});
    Labels labels(picture, mask, &reader, found);
    return findIn(mask, labels);
}

FoundAxes findAxes(const QImage &picture, const QList<PlacedText> &texts)
{
    const InkMask mask = inkMask(picture);
    QList<Label> given;
    for (const PlacedText &text : texts) {
        if (parseTickLabel(text.text) || parseTickLabel(text.text, CommaReading::Thousands) ||
            parseAxisMultiplier(text.text))
            given.append({QRectF(text.box.topLeft() * mask.scale, text.box.size() * mask.scale),
                          text.text,
                          true,
                          {},
                          true});
    }
    Labels labels(picture, mask, nullptr, given);
    return findIn(mask, labels);
}

QString batchProblem(const FoundAxes &axes)
{
    if (!axes.any())
        return i18n::tr("No axes with readable tick labels were found.");
    for (const auto &[axis, name] : {std::pair{&axes.x, "X"}, std::pair{&axes.y, "Y"}}) {
        if (!axis->found)
            return i18n::tr("No %1 axis with readable tick labels was found.").arg(QLatin1String(name));
        if (axis->agreeing < fewestBatchLabels)
            return i18n::tr("The %1 axis has %2 tick labels agreeing within 0.5 px; at least 3 are needed.")
                .arg(QLatin1String(name))
                .arg(axis->agreeing);
    }
    return {};
}

} // namespace axisfinding
