#pragma once

#include "core/model/calibration.h"
#include "core/model/curve.h"
#include "core/model/spline.h"

#include <QList>
#include <QString>
#include <QtNumeric>

#include <optional>

// Writes the visible curves that have points to an Office Open XML workbook:
// one sheet "Data" with an x/y column pair of real coordinates per curve
// (header rows: curve name, "parameter = value", X/Y) and a smoothed scatter
// chart with one series per curve in the curve's colour. A curve is resampled
// on its spline (resampleCurve, stored point order) when pointsPerCurve exceeds
// its acquired point count; otherwise its acquired points are written as they
// are. Fails without touching the file when no visible curve has points, saying
// so apart when the only curves with points are hidden.
// How the curves are resampled and charted: in the axes' own scales (decade
// logarithms on logarithmic axes, whose chart axes are logarithmic too), with
// that smoothing.
// The chart takes the graph's axis titles and limits (NaN: the chart's own)
// and draws its axes at the plot's edges.
struct WorkbookScales
{
    bool xLog = false;
    bool yLog = false;
    CurveSmoothing smoothing = CurveSmoothing::Spline;
    QString xTitle = QStringLiteral("X");
    QString yTitle = QStringLiteral("Y");
    double xMin = qQNaN();
    double xMax = qQNaN();
    double yMin = qQNaN();
    double yMax = qQNaN();
    // The chart's legend names the curves as a graph does (by parameter), not
    // by the sheet's column headers.
    bool legendByParameter = false;
    // Date axes: their cells are Excel dates shown in this form.
    std::optional<DateFormat> xDates = std::nullopt;
    std::optional<DateFormat> yDates = std::nullopt;
};

// The scales of the digitized data: logarithmic and dates where the calibration is.
WorkbookScales calibrationScales(const Calibration &calibration);

bool writeCurvesWorkbook(const QString &path, const QList<Curve> &curves, int pointsPerCurve,
                         QString *error = nullptr, const WorkbookScales &scales = {});
