#pragma once

#include "core/model/axisfit.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace axisfinding {

// Reads the text of a tick label: the box (picture pixels) holds one label.
// The OCR engine sits behind this, so that everything else is tested with a
// reader that knows what the test drew.
class LabelReader
{
public:
    virtual ~LabelReader() = default;
    virtual QString read(const QImage &picture, const QRect &box) const = 0;
    // Other readings of the box, for a label the axis does not agree with as first read;
    // none from a reader with one way to look.
    virtual QStringList otherReadings(const QImage &, const QRect &) const { return {}; }
};

// A text whose place is known, as a PDF page gives it.
struct PlacedText
{
    QRectF box;
    QString text;
};

// One tick label as found: where its tick is on the axis, its value, the text
// read and the label's box; residual and used as in AxisFit.
struct FoundMark
{
    QPointF pixel;
    double value = 0.0;
    QString text;
    QRectF labelBox;
    double residual = 0.0;
    bool used = false;
};

struct FoundAxis
{
    bool found = false;
    bool logScale = false;
    QList<FoundMark> marks;
    AxisFit fit;
    // Labels that agree with the fit within half a pixel.
    int agreeing = 0;

    QList<CalibrationMark> calibrationMarks() const;
    // Those the fit rests on, without the labels it left out.
    QList<CalibrationMark> usedMarks() const;
};

struct FoundAxes
{
    FoundAxis x;
    FoundAxis y;
    bool any() const { return x.found || y.found; }
};

// The axes of the chart in the picture: its long straight lines (level or a
// few degrees off, frame or axes crossing inside), the ticks along them and the
// tick labels read by the reader, each axis fitted through its labels with
// those that disagree left out. Large pictures are searched at a reduced size.
FoundAxes findAxes(const QImage &picture, const LabelReader &reader);

// The same with the labels given with their places (a PDF page's text, in
// picture pixels), so that nothing needs to be read.
FoundAxes findAxes(const QImage &picture, const QList<PlacedText> &texts);

// The axis fitted again through its marks (after they moved), on its own
// scale: residuals, the marks used and the agreeing count anew.
FoundAxis refitted(FoundAxis axis);

// "No axes with readable tick labels were found." or why one axis is not good
// enough for the batch mode (fewer than three labels agreeing within half a
// pixel); empty when both axes are.
QString batchProblem(const FoundAxes &axes);

} // namespace axisfinding
