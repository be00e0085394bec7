#pragma once

#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QPointF>

#include <cmath>

// Projects for the regenerated-graph tests, built on testsupport::calibrate:
// X axis (100,500)-(500,500) for 0..10, Y axis (100,500)-(100,100) for 0..20.
namespace graphtestdata {

// The pixel of a real point under that calibration.
inline QPointF pixelOf(double x, double y)
{
    return QPointF(100.0 + x * 40.0, 500.0 - y * 20.0);
}

// A calibrated project with a chart picture and two curves: "Rising" through
// (1, 2), (4, 9), (8, 15) in red and "Falling" through (0.5, 18), (5, 10),
// (9.5, 3) in blue, 3 units wide.
inline void fillTwoCurveProject(ProjectModel &model)
{
    model.setSourceImage(testsupport::chartImage(640, 560), QStringLiteral("/tmp/chart.png"));
    testsupport::calibrate(model);
    for (const QPointF &p : {QPointF(1, 2), QPointF(4, 9), QPointF(8, 15)})
        model.addPoint(pixelOf(p.x(), p.y()), QStringLiteral("Rising"));
    model.addCurve(QStringLiteral("Falling"));
    for (const QPointF &p : {QPointF(0.5, 18), QPointF(5, 10), QPointF(9.5, 3)})
        model.addPoint(pixelOf(p.x(), p.y()), QStringLiteral("Falling"));
    model.setCurveStyle(1, QColor(QStringLiteral("#1565c0")), 3.0);
}

} // namespace graphtestdata
