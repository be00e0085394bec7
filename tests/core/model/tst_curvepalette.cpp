#include "core/model/curve.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// Distance in the CIE L*a*b* space (CIE76): about 2 is just noticeable, 20 and
// more reads as another colour.
double labDistance(const QColor &a, const QColor &b)
{
    const auto lab = [](const QColor &color) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        const double r = linear(color.redF()), g = linear(color.greenF()), bl = linear(color.blueF());
        const double x = (0.4124 * r + 0.3576 * g + 0.1805 * bl) / 0.95047;
        const double y = 0.2126 * r + 0.7152 * g + 0.0722 * bl;
        const double z = (0.0193 * r + 0.1192 * g + 0.9505 * bl) / 1.08883;
        const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
        return std::array<double, 3>{116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
    };
    const auto la = lab(a), lb = lab(b);
    return std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
}

QList<Curve> curvesColoured(const QList<int> &paletteIndexes)
{
    QList<Curve> curves;
    for (int index : paletteIndexes) {
        Curve curve = makeCurve(QStringLiteral("c%1").arg(curves.size()));
        curve.color = curvePalette().at(index);
        curves.append(curve);
    }
    return curves;
}

} // namespace

class TestCurvePalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithTheDefaultColour()
    {
        QCOMPARE(curvePalette().first(), QColor(QStringLiteral("#d32f2f")));
        QCOMPARE(curvePalette().first(), defaultCurveColor());
    }

    void coloursStayApart()
    {
        const QList<QColor> palette = curvePalette();
        QVERIFY(palette.size() >= 8);
        for (int i = 0; i < palette.size(); ++i) {
            for (int j = i + 1; j < palette.size(); ++j)
                QVERIFY2(labDistance(palette[i], palette[j]) > 25,
                         qPrintable(palette[i].name() + QLatin1Char(' ') + palette[j].name()));
        }
    }

    void nextColour_data()
    {
        QTest::addColumn<QList<int>>("used");
        QTest::addColumn<int>("expected");
        QTest::newRow("no curves") << QList<int>{} << 0;
        QTest::newRow("after the first") << QList<int>{0} << 1;
        QTest::newRow("fills a gap") << QList<int>{0, 2, 3} << 1;
        QTest::newRow("first removed") << QList<int>{1, 2} << 0;
        QTest::newRow("all used: by count") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1} << 2;
    }

    void nextColour()
    {
        QFETCH(QList<int>, used);
        QFETCH(int, expected);
        QCOMPARE(nextCurveColor(curvesColoured(used)), curvePalette().at(expected));
    }

    void newCurvesTakeTheNextColour()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addCurve();
        model.addPoint(QPointF(1, 1), QStringLiteral("By name"));
        QCOMPARE(model.curves().size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(model.curves()[i].color, curvePalette().at(i));
        model.removeCurve(1);
        model.addCurve();
        QCOMPARE(model.curves().last().color, curvePalette().at(1));
    }
};

PLOTMASON_TEST_MAIN(QCoreApplication, TestCurvePalette)
#include "tst_curvepalette.moc"
