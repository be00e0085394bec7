#pragma once

#include "axisfinding/axisfinder.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QTransform>

namespace drawnchart {

// What a test chart looks like; values at the plot's edges and the ticks' values.
struct ChartPlan
{
    QSize size{800, 600};
    QRectF plot{110, 40, 640, 480};
    double xLow = 0, xHigh = 10;
    double yLow = 0, yHigh = 100;
    bool xLog = false, yLog = false;
    QList<double> xTicks{0, 2, 4, 6, 8, 10};
    QList<double> yTicks{0, 20, 40, 60, 80, 100};
    // Axes through value 0 inside the plot instead of a frame around it.
    bool zeroAxes = false;
    double tiltDegrees = 0.0;
    QString fontFamily = QStringLiteral("DejaVu Sans");
    int fontPixels = 14; // 0: no labels drawn
    // The label of this X tick shows this text instead of its value.
    int wrongXLabel = -1;
    QString wrongText;
    bool jpeg = false;
    // The Y labels show their values over 10^yExponent, with "1e<yExponent>"
    // above the axis' top end as matplotlib prints it (0: no such text).
    int yExponent = 0;
    // The texts, e.g. "1,000" or a true minus, as the chart prints each value.
    std::function<QString(double)> format;
};

struct Chart
{
    QImage picture;
    QTransform valueToPixel; // linear (or log10) value space to picture pixels
    bool xLog = false, yLog = false;
    QList<axisfinding::PlacedText> labels; // in picture pixels
    QPointF pixelOf(double x, double y) const;
};

// Paints the chart (in picture pixels, or points on a PDF page) and fills in its truth.
void paint(QPainter &painter, const ChartPlan &plan, Chart &chart);
Chart draw(const ChartPlan &plan);

// Reads the label drawn where the box is, as a perfect OCR would.
class KnownLabels : public axisfinding::LabelReader
{
public:
    explicit KnownLabels(const QList<axisfinding::PlacedText> &labels)
        : m_labels(labels)
    {}
    QString read(const QImage &, const QRect &box) const override;

private:
    QList<axisfinding::PlacedText> m_labels;
};

} // namespace drawnchart
