#include "extract/inkmodel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace extract {

namespace {

// Below this distance from the background nothing counts as ink.
constexpr double minimumContrast = 40.0;
constexpr int pickRadius = 4;
constexpr int backgroundRadius = 15;

double colourDistance(QRgb a, QRgb b)
{
    const double r = qRed(a) - qRed(b);
    const double g = qGreen(a) - qGreen(b);
    const double bl = qBlue(a) - qBlue(b);
    return std::sqrt(r * r + g * g + bl * bl);
}

int medianOf(std::vector<int> &values)
{
    auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The per-channel median of a square ring around centre: lines crossing the
// ring cover only a few of its pixels.
QRgb ringBackground(const Raster &raster, QPoint centre)
{
    std::vector<int> reds, greens, blues;
    const auto take = [&](int x, int y) {
        if (!raster.contains(x, y))
            return;
        const QRgb pixel = raster.at(x, y);
        reds.push_back(qRed(pixel));
        greens.push_back(qGreen(pixel));
        blues.push_back(qBlue(pixel));
    };
    for (int d = -backgroundRadius; d <= backgroundRadius; ++d) {
        take(centre.x() + d, centre.y() - backgroundRadius);
        take(centre.x() + d, centre.y() + backgroundRadius);
        take(centre.x() - backgroundRadius, centre.y() + d);
        take(centre.x() + backgroundRadius, centre.y() + d);
    }
    if (reds.empty())
        return raster.at(centre.x(), centre.y());
    return qRgb(medianOf(reds), medianOf(greens), medianOf(blues));
}

// How far the ring's pixels typically stray from its background: the grain of a scan.
double ringGrain(const Raster &raster, QPoint centre, QRgb background)
{
    std::vector<int> distances;
    for (int d = -backgroundRadius; d <= backgroundRadius; ++d) {
        for (QPoint p : {QPoint(centre.x() + d, centre.y() - backgroundRadius),
                         QPoint(centre.x() + d, centre.y() + backgroundRadius),
                         QPoint(centre.x() - backgroundRadius, centre.y() + d),
                         QPoint(centre.x() + backgroundRadius, centre.y() + d)}) {
            if (raster.contains(p.x(), p.y()))
                distances.push_back(int(colourDistance(raster.at(p.x(), p.y()), background)));
        }
    }
    return distances.empty() ? 0.0 : medianOf(distances);
}

} // namespace

Raster::Raster(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: m_image = image; break;
    default: m_image = image.convertToFormat(QImage::Format_RGB32); break;
    }
    m_bits = m_image.constBits();
    m_stride = m_image.bytesPerLine();
}

InkModel::InkModel(QRgb ink, QRgb background, double tolerance)
    : m_ink(ink)
    , m_background(background)
    , m_tolerance(tolerance)
    , m_br(float(qRed(background)))
    , m_bg(float(qGreen(background)))
    , m_bb(float(qBlue(background)))
    , m_dr(float(qRed(ink) - qRed(background)))
    , m_dg(float(qGreen(ink) - qGreen(background)))
    , m_db(float(qBlue(ink) - qBlue(background)))
    , m_tolerance2(float(tolerance * tolerance))
{
    const float length2 = m_dr * m_dr + m_dg * m_dg + m_db * m_db;
    m_inverseLength2 = length2 > 0.0f ? 1.0f / length2 : 0.0f;
    constexpr int colourfulness = 60; // between the ink's strongest and weakest channel
    m_coloured =
        std::max({qRed(ink), qGreen(ink), qBlue(ink)}) - std::min({qRed(ink), qGreen(ink), qBlue(ink)}) >
        colourfulness;
    constexpr float darker = 0.55f;
    m_darkR = darker * float(qRed(ink)) - m_br;
    m_darkG = darker * float(qGreen(ink)) - m_bg;
    m_darkB = darker * float(qBlue(ink)) - m_bb;
    const float darkLength2 = m_darkR * m_darkR + m_darkG * m_darkG + m_darkB * m_darkB;
    m_inverseDarkLength2 = darkLength2 > 0.0f ? 1.0f / darkLength2 : 0.0f;
}

std::optional<PickedInk> pickInk(const Raster &raster, QPointF seed, double tolerance)
{
    const QPoint centre(int(std::floor(seed.x())), int(std::floor(seed.y())));
    if (!raster.contains(centre.x(), centre.y()))
        return std::nullopt;
    const QRgb background = ringBackground(raster, centre);
    // On grainy paper a speck of grain beside the click must not pass for ink.
    const double contrastNeeded = std::max(minimumContrast, 6.0 * ringGrain(raster, centre, background));

    // The most distinct pixel, nearer ones first so that a neighbouring
    // darker line does not win over the one clicked.
    QPoint best;
    double bestContrast = 0.0;
    for (int radius = 1; radius <= pickRadius && bestContrast < contrastNeeded; radius += 3) {
        for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
            for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
                if (!raster.contains(x, y))
                    continue;
                const double contrast = colourDistance(raster.at(x, y), background);
                if (contrast > bestContrast) {
                    bestContrast = contrast;
                    best = QPoint(x, y);
                }
            }
        }
    }
    if (bestContrast < contrastNeeded)
        return std::nullopt;

    // Averaging the solid pixels beside the best one evens out compression noise.
    const QRgb core = raster.at(best.x(), best.y());
    double sum[3] = {0, 0, 0};
    int count = 0;
    for (int y = best.y() - 1; y <= best.y() + 1; ++y) {
        for (int x = best.x() - 1; x <= best.x() + 1; ++x) {
            if (!raster.contains(x, y))
                continue;
            const QRgb pixel = raster.at(x, y);
            if (colourDistance(pixel, core) > 0.2 * bestContrast + 10.0)
                continue;
            sum[0] += qRed(pixel);
            sum[1] += qGreen(pixel);
            sum[2] += qBlue(pixel);
            ++count;
        }
    }
    const QRgb ink = qRgb(int(std::lround(sum[0] / count)), int(std::lround(sum[1] / count)),
                          int(std::lround(sum[2] / count)));
    const double used = tolerance > 0.0 ? tolerance : std::max(30.0, 0.25 * colourDistance(ink, background));
    return PickedInk{InkModel(ink, background, used), best};
}

} // namespace extract
