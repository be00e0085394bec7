#pragma once

#include "batchrun/picturelist.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

namespace batchrun {

// What became of one picture of a run.
struct PictureOutcome
{
    bool done = false;
    QString message; // why it failed
    QString output;  // what its steps printed
    QList<QPair<QString, int>> pointsPerCurve;
    std::optional<double> rmsX; // calibration residuals in pixels, when the axis is set
    std::optional<double> rmsY;
};

// One CSV row per picture: file, page, status, message, points per curve and
// the calibration's RMS on each axis.
QByteArray reportCsv(const QList<Picture> &pictures, const std::vector<PictureOutcome> &outcomes);

// "37/300 pictures, 4.2 per second, 1:02 left".
QString progressLine(int done, int total, double elapsedSeconds);
// "297 done, 3 failed: see above".
QString summaryLine(int done, int failed);

} // namespace batchrun
