#include "axisfinding/inkmask.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace axisfinding {

namespace {

// Pictures are searched at most this large; beyond it the work grows with no gain.
constexpr double largestMaskPixels = 4.0e6;
constexpr double largestTiltDegrees = 4.0;
constexpr double angleStepDegrees = 0.125;
// A stroke shorter than this share of the picture is no axis.
constexpr double shortestShare = 0.25;
constexpr int largestStrokeCount = 6;
constexpr int largestTextBlob = 80;

// Mask coordinates with u along the stroke direction and v across it.
struct Oriented
{
    const InkMask &mask;
    bool vertical;

    int lengthU() const { return vertical ? mask.height : mask.width; }
    int lengthV() const { return vertical ? mask.width : mask.height; }
    bool at(int u, int v) const { return vertical ? mask.at(v, u) : mask.at(u, v); }
    QPointF point(double u, double v) const { return vertical ? QPointF(v, u) : QPointF(u, v); }
};

// Across-position of the stroke at u for a line v = c0 + c1 * u.
struct Track
{
    double c0;
    double c1;
    double at(double u) const { return c0 + c1 * u; }
};

// The longest stretch of u where the track runs over ink, allowing small gaps.
std::pair<int, int> inkedStretch(const Oriented &o, const Track &track)
{
    int bestFirst = 0, bestLast = -1, first = -1, last = -1, gap = 0;
    for (int u = 0; u < o.lengthU(); ++u) {
        const int v = int(std::floor(track.at(u)));
        const bool ink = o.at(u, v) || o.at(u, v - 1) || o.at(u, v + 1);
        if (ink) {
            if (first < 0)
                first = u;
            last = u;
            gap = 0;
        } else if (first >= 0 && ++gap > 4) {
            if (last - first > bestLast - bestFirst)
                bestFirst = first, bestLast = last;
            first = -1;
            gap = 0;
        }
    }
    if (first >= 0 && last - first > bestLast - bestFirst)
        bestFirst = first, bestLast = last;
    return {bestFirst, bestLast};
}

// The stroke's centre line by least squares over the middle of its ink across
// each u, and its usual thickness.
bool refine(const Oriented &o, Track *track, int first, int last, double *thickness)
{
    double su = 0, sv = 0, suu = 0, suv = 0;
    int n = 0;
    std::vector<int> widths;
    for (int u = first; u <= last; ++u) {
        int v0 = int(std::floor(track->at(u)));
        if (!o.at(u, v0))
            v0 = o.at(u, v0 - 1) ? v0 - 1 : v0 + 1;
        if (!o.at(u, v0))
            continue;
        int low = v0, high = v0;
        while (low > v0 - 8 && o.at(u, low - 1))
            --low;
        while (high < v0 + 8 && o.at(u, high + 1))
            ++high;
        widths.push_back(high - low + 1);
        if (high - low > 6)
            continue; // a tick or a crossing stroke here
        const double v = 0.5 * (low + high) + 0.5;
        su += u + 0.5;
        sv += v;
        suu += (u + 0.5) * (u + 0.5);
        suv += (u + 0.5) * v;
        ++n;
    }
    const double d = n * suu - su * su;
    if (n < 10 || std::abs(d) < 1e-9)
        return false;
    track->c1 = (n * suv - su * sv) / d;
    track->c0 = (sv - track->c1 * su) / n;
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    *thickness = widths[widths.size() / 2];
    return true;
}

} // namespace

InkMask inkMask(const QImage &picture)
{
    InkMask mask;
    if (picture.isNull())
        return mask;
    const double pixels = double(picture.width()) * picture.height();
    mask.scale = pixels > largestMaskPixels ? std::sqrt(largestMaskPixels / pixels) : 1.0;
    const QImage gray = (mask.scale < 1.0 ? picture.scaled(std::max(1, int(picture.width() * mask.scale)),
                                                           std::max(1, int(picture.height() * mask.scale)),
                                                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                          : picture)
                            .convertToFormat(QImage::Format_Grayscale8);
    mask.width = gray.width();
    mask.height = gray.height();
    mask.grey.resize(size_t(mask.width) * size_t(mask.height));
    for (int y = 0; y < mask.height; ++y)
        std::copy_n(gray.constScanLine(y), mask.width, mask.grey.begin() + ptrdiff_t(y) * mask.width);
    return mask;
}

QList<Stroke> longStrokes(const InkMask &mask, bool vertical)
{
    const Oriented o{mask, vertical};
    QList<Stroke> strokes;
    if (o.lengthU() < 16 || o.lengthV() < 16)
        return strokes;
    const int angles = int(2 * largestTiltDegrees / angleStepDegrees) + 1;
    const int margin = int(std::ceil(o.lengthU() * std::sin(largestTiltDegrees * M_PI / 180.0))) + 2;
    const int bins = o.lengthV() + 2 * margin;
    std::vector<double> sines(angles), cosines(angles);
    for (int a = 0; a < angles; ++a) {
        const double radians = (-largestTiltDegrees + a * angleStepDegrees) * M_PI / 180.0;
        sines[a] = std::sin(radians);
        cosines[a] = std::cos(radians);
    }
    // Votes of every ink pixel for the lines v·cos a − u·sin a = r through it.
    std::vector<int> votes(size_t(angles) * size_t(bins), 0);
    for (int v = 0; v < o.lengthV(); ++v) {
        for (int u = 0; u < o.lengthU(); ++u) {
            if (!o.at(u, v))
                continue;
            for (int a = 0; a < angles; ++a) {
                const int r = int(std::lround((v + 0.5) * cosines[a] - (u + 0.5) * sines[a])) + margin;
                if (r >= 0 && r < bins)
                    ++votes[size_t(a) * size_t(bins) + size_t(r)];
            }
        }
    }
    struct Peak
    {
        int votes;
        int angle;
        int r;
    };
    std::vector<Peak> peaks;
    const int least = int(shortestShare * o.lengthU());
    for (int a = 0; a < angles; ++a) {
        for (int r = 0; r < bins; ++r) {
            const int count = votes[size_t(a) * size_t(bins) + size_t(r)];
            if (count >= least)
                peaks.push_back({count, a, r});
        }
    }
    std::sort(peaks.begin(), peaks.end(), [](const Peak &a, const Peak &b) { return a.votes > b.votes; });
    QList<double> taken;
    for (const Peak &peak : peaks) {
        if (strokes.size() >= largestStrokeCount || taken.size() > 4 * largestStrokeCount)
            break;
        const double r = peak.r - margin;
        if (std::any_of(taken.begin(), taken.end(), [r](double t) { return std::abs(t - r) < 6.0; }))
            continue;
        taken.append(r);
        Track track{r / cosines[peak.angle], sines[peak.angle] / cosines[peak.angle]};
        auto [first, last] = inkedStretch(o, track);
        double thickness = 1.0;
        if (last - first < least || !refine(o, &track, first, last, &thickness))
            continue;
        std::tie(first, last) = inkedStretch(o, track);
        if (last - first < least)
            continue;
        strokes.append(
            {QLineF(o.point(first + 0.5, track.at(first + 0.5)), o.point(last + 0.5, track.at(last + 0.5))),
             thickness});
    }
    return strokes;
}

QList<double> ticksAlong(const InkMask &mask, const Stroke &stroke)
{
    QList<double> ticks;
    const QPointF along = (stroke.line.p2() - stroke.line.p1()) / stroke.line.length();
    const QPointF across(-along.y(), along.x());
    const double reach = stroke.thickness / 2.0 + 1.5;
    const auto inkAt = [&mask](QPointF p) { return mask.at(int(std::floor(p.x())), int(std::floor(p.y()))); };
    // A tick leaves the stroke on one side or both for at least three pixels.
    const auto tickAt = [&](double t) {
        const QPointF centre = stroke.line.p1() + t * along;
        for (const double side : {-1.0, 1.0}) {
            int run = 0;
            while (run < 4 && inkAt(centre + side * (reach + run) * across))
                ++run;
            if (run >= 3)
                return true;
        }
        return false;
    };
    // The middle of a tick's ink, weighted by how dark it is just off the
    // stroke, to a fraction of a pixel on smoothed and turned pictures.
    const auto tickCentre = [&](int first, int last) {
        double sum = 0.0, weight = 0.0;
        for (int t = first - 2; t <= last + 2; ++t) {
            for (const double side : {-1.0, 1.0}) {
                for (int k = 0; k < 3; ++k) {
                    const QPointF p = stroke.line.p1() + t * along + side * (reach + k) * across;
                    const int x = int(std::floor(p.x())), y = int(std::floor(p.y()));
                    const double w = mask.inside(x, y) ? std::max(0, 230 - int(mask.level(x, y))) : 0.0;
                    sum += w * t;
                    weight += w;
                }
            }
        }
        return weight > 0.0 ? sum / weight : 0.5 * (first + last);
    };
    const int length = int(stroke.line.length());
    int first = -1;
    for (int t = 0; t <= length + 1; ++t) {
        const bool tick = t <= length && tickAt(t);
        if (tick && first < 0)
            first = t;
        if (!tick && first >= 0) {
            const int width = t - first;
            if (width <= std::max(6.0, 3.0 * stroke.thickness))
                ticks.append(tickCentre(first, t - 1));
            first = -1;
        }
    }
    return ticks;
}

QList<QRectF> textBoxes(const InkMask &mask)
{
    // Small blobs by a flood fill over the mask, each pixel visited once.
    std::vector<int> label(mask.grey.size(), 0);
    QList<QRect> blobs;
    std::vector<int> stack;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const size_t start = size_t(y) * size_t(mask.width) + size_t(x);
            if (!mask.printAt(x, y) || label[start])
                continue;
            int left = x, right = x, top = y, bottom = y;
            label[start] = 1;
            stack.assign(1, int(start));
            while (!stack.empty()) {
                const int index = stack.back();
                stack.pop_back();
                const int px = index % mask.width, py = index / mask.width;
                left = std::min(left, px), right = std::max(right, px);
                top = std::min(top, py), bottom = std::max(bottom, py);
                for (const auto &[dx, dy] :
                     {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
                    const int nx = px + dx, ny = py + dy;
                    if (!mask.printAt(nx, ny))
                        continue;
                    const size_t next = size_t(ny) * size_t(mask.width) + size_t(nx);
                    if (!label[next]) {
                        label[next] = 1;
                        stack.push_back(int(next));
                    }
                }
            }
            if (right - left < largestTextBlob && bottom - top < largestTextBlob)
                blobs.append(QRect(QPoint(left, top), QPoint(right, bottom)));
        }
    }
    // Blobs side by side on one line of text join, by union over neighbours in x order.
    std::sort(blobs.begin(), blobs.end(), [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    std::vector<int> parent(blobs.size());
    std::iota(parent.begin(), parent.end(), 0);
    const std::function<int(int)> root = [&](int i) {
        return parent[i] == i ? i : parent[i] = root(parent[i]);
    };
    for (int i = 0; i < blobs.size(); ++i) {
        const QRect &a = blobs[i];
        for (int j = i + 1; j < blobs.size() && blobs[j].left() <= a.right() + largestTextBlob / 4; ++j) {
            const QRect &b = blobs[j];
            const int height = std::max(a.height(), b.height());
            const int gap = b.left() - a.right() - 1;
            const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
            const bool small = std::min(a.height(), b.height()) <= height / 2; // a point or a minus
            const bool sideBySide =
                gap <= std::max(2, int(0.6 * height)) &&
                (overlap >= 0.3 * std::min(a.height(), b.height()) || (small && overlap > 0));
            // Pieces of one glyph thinned apart by smoothing lie one above the other.
            const int across = std::min(a.right(), b.right()) - std::max(a.left(), b.left()) + 1;
            const bool stacked =
                across >= 0.5 * std::min(a.width(), b.width()) && -overlap <= std::max(2, height / 3);
            if (sideBySide || stacked)
                parent[root(j)] = root(i);
        }
    }
    QMap<int, QRect> joined;
    for (int i = 0; i < blobs.size(); ++i)
        joined[root(i)] |= blobs[i];
    QList<QRectF> boxes;
    for (const QRect &box : std::as_const(joined)) {
        if (box.height() >= 4 && box.height() < largestTextBlob && box.width() < 4 * largestTextBlob)
            boxes.append(QRectF(box));
    }
    return boxes;
}

} // namespace axisfinding
