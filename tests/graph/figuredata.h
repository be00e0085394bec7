#pragma once

#include "core/model/projectmodel.h"
#include "graph/graphsettings.h"
#include "tests/support/testsupport.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTest>

#include <cmath>

// Figures as scientists make them, for the layout and export tests.
namespace figuredata {

// The data sets a scientist's figures bring: limits and curves in real units.
struct Figure
{
    double xMin, xMax, yMin, yMax;
    bool xLog = false;
    bool yLog = false;
    QList<QList<QPointF>> curves{};
    QStringList names{};
    QString xLabel = QStringLiteral("Flow rate Q (m³/h)");
    QString yLabel = QStringLiteral("Head H (m)");
};

inline Figure pump()
{
    Figure f{0, 100, 0, 60};
    f.curves = {{{0, 55}, {20, 54}, {40, 50}, {60, 43}, {80, 33}, {100, 20}},
                {{0, 40}, {30, 39}, {60, 33}, {90, 22}, {100, 17}}};
    f.names = {QStringLiteral("D = 250 mm"), QStringLiteral("D = 220 mm")};
    return f;
}

inline Figure strain()
{
    Figure f{-0.0005, 0.0005, 0, 100000};
    f.curves = {{{-0.0005, 0}, {-0.0002, 40000}, {0.0001, 70000}, {0.0005, 100000}}};
    f.names = {QStringLiteral("Specimen A")};
    f.xLabel = QStringLiteral("Strain ε");
    f.yLabel = QStringLiteral("Stress (Pa)");
    return f;
}

inline Figure decades()
{
    Figure f{1e-10, 1e-5, 1, 1e6, true, true};
    f.curves = {{{1e-10, 3}, {1e-8, 500}, {1e-6, 8e4}, {1e-5, 9e5}}};
    f.names = {QStringLiteral("Leakage current")};
    return f;
}

inline Figure huge()
{
    Figure f{0, 4e13, -5e12, 3e13};
    f.curves = {{{0, -5e12}, {1e13, 5e12}, {3e13, 2.5e13}, {4e13, 3e13}}};
    f.names = {QStringLiteral("Energy")};
    return f;
}

inline Figure twelve()
{
    Figure f{0, 10, 0, 12};
    for (int c = 0; c < 12; ++c) {
        QList<QPointF> line;
        for (int i = 0; i <= 10; ++i)
            line.append(QPointF(i, c + 0.5 + 0.3 * std::sin(i + c)));
        f.curves.append(line);
        f.names.append(
            QStringLiteral("Measured sample number %1 at a long descriptive condition").arg(c + 1));
    }
    return f;
}

// The figures above by number, in the order pump, strain, decades, huge, twelve.
inline Figure figureAt(int index)
{
    return QList<Figure>{pump(), strain(), decades(), huge(), twelve()}.at(index);
}

// A model holding the figure's curves with their exact real values.
inline void fill(ProjectModel &model, const Figure &f)
{
    model.setSourceImage(testsupport::chartImage(640, 560), QStringLiteral("/tmp/chart.png"));
    model.setAxisX(QLineF(0, 1000, 1000, 1000), f.xMin, f.xMax, f.xLog);
    model.setAxisY(QLineF(0, 1000, 0, 0), f.yMin, f.yMax, f.yLog);
    for (qsizetype c = 0; c < f.curves.size(); ++c) {
        const int index = c == 0 ? 0 : model.addCurve(QStringLiteral("c%1").arg(c));
        model.setCurveMetadata(index, f.names.at(c), QString(), QString());
        model.setActiveCurveIndex(index);
        for (qsizetype i = 0; i < f.curves.at(c).size(); ++i) {
            model.addPoint(QPointF(10.0 * double(i), 500.0), f.names.at(c));
            model.setPointReal(index, int(i), f.curves.at(c).at(i));
        }
    }
}

inline GraphSettings settingsOf(const Figure &f, double widthCm, double heightCm, int dpi)
{
    GraphSettings s;
    s.title = QStringLiteral("Characteristic curves measured on the test bench");
    s.xLabel = f.xLabel;
    s.yLabel = f.yLabel;
    s.xMin = f.xMin;
    s.xMax = f.xMax;
    s.yMin = f.yMin;
    s.yMax = f.yMax;
    s.xLog = f.xLog;
    s.yLog = f.yLog;
    s.widthCm = widthCm;
    s.heightCm = heightCm;
    s.dpi = dpi;
    return s;
}

// The columns of a table of figures: which figure, its size and DPI.
inline void addFigureColumns()
{
    QTest::addColumn<int>("figure");
    QTest::addColumn<double>("widthCm");
    QTest::addColumn<double>("heightCm");
    QTest::addColumn<int>("dpi");
}

// The current row's figure filled into the model, and its settings.
inline GraphSettings figureOfRow(ProjectModel &model)
{
    QFETCH(int, figure);
    QFETCH(double, widthCm);
    QFETCH(double, heightCm);
    QFETCH(int, dpi);
    const Figure f = figureAt(figure);
    fill(model, f);
    return settingsOf(f, widthCm, heightCm, dpi);
}

} // namespace figuredata
