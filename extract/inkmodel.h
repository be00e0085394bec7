#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>

#include <optional>

namespace extract {

// Read-only access to a picture in a 32-bit format (converted once if needed).
class Raster
{
public:
    explicit Raster(const QImage &image);
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
    QRgb at(int x, int y) const { return reinterpret_cast<const QRgb *>(m_bits + y * m_stride)[x]; }
    const QRgb *row(int y) const { return reinterpret_cast<const QRgb *>(m_bits + y * m_stride); }

private:
    QImage m_image;
    const uchar *m_bits = nullptr;
    qsizetype m_stride = 0;
};

// How much of a pixel is ink: antialiasing and compression blend the ink with
// the background, so a pixel is read as the point of the segment background ->
// ink nearest to its colour. Colours too far from that segment belong to
// something else (another curve, a grey grid) and read as foreign.
class InkModel
{
public:
    static constexpr float foreign = -1.0f;

    InkModel() = default;
    InkModel(QRgb ink, QRgb background, double tolerance);

    QRgb ink() const { return m_ink; }
    QRgb background() const { return m_background; }
    double tolerance() const { return m_tolerance; }

    // 0 (background) .. 1 (ink), or foreign.
    float coverage(QRgb pixel) const
    {
        const float r = float(qRed(pixel)) - m_br;
        const float g = float(qGreen(pixel)) - m_bg;
        const float b = float(qBlue(pixel)) - m_bb;
        float t = (r * m_dr + g * m_dg + b * m_db) * m_inverseLength2;
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
        const float er = r - t * m_dr;
        const float eg = g - t * m_dg;
        const float eb = b - t * m_db;
        return er * er + eg * eg + eb * eb > m_tolerance2 ? darkerCoverage(r, g, b) : t;
    }

private:
    // A JPEG keeps a thin line's brightness but blurs its colour with the paper's, which
    // leaves a coloured line darker and greyer than the ink's solid parts: a blend of the
    // background with a darker shade of a coloured ink counts too, within half the
    // tolerance. A grey ink has no colour to lose, and darker is text or other lines.
    float darkerCoverage(float r, float g, float b) const
    {
        if (!m_coloured)
            return foreign;
        float t = (r * m_darkR + g * m_darkG + b * m_darkB) * m_inverseDarkLength2;
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
        const float er = r - t * m_darkR;
        const float eg = g - t * m_darkG;
        const float eb = b - t * m_darkB;
        return er * er + eg * eg + eb * eb > 0.25f * m_tolerance2 ? foreign : t;
    }

    QRgb m_ink = 0;
    QRgb m_background = 0;
    double m_tolerance = 0.0;
    float m_br = 0, m_bg = 0, m_bb = 0;
    float m_dr = 0, m_dg = 0, m_db = 0;
    float m_inverseLength2 = 0;
    float m_darkR = 0, m_darkG = 0, m_darkB = 0; // the darker shade, from the background
    float m_inverseDarkLength2 = 0;
    bool m_coloured = false;
    float m_tolerance2 = 0;
};

// The ink under a click and where it is most solid.
struct PickedInk
{
    InkModel model;
    QPoint pixel; // the most ink-like pixel near the click
};

// Reads the ink near seed (within a few pixels) against the background around
// it. Nothing when no pixel there stands out from the background. tolerance 0
// picks one from the contrast.
std::optional<PickedInk> pickInk(const Raster &raster, QPointF seed, double tolerance);

} // namespace extract
