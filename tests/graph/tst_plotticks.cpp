#include "core/model/calibration.h"
#include "core/model/curve.h"
#include "core/model/curvepath.h"
#include "core/model/spline.h"
#include "graph/curvedrawing.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotticks.h"
#include "tests/support/calibrations.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QtTest>

#include <cmath>

namespace {

QStringList labelled(const AxisTicks &ticks)
{
    QStringList texts;
    for (const PlotTick &tick : ticks.ticks) {
        if (!tick.text.isEmpty())
            texts.append(tick.text);
    }
    return texts;
}

// What a printed label reads: "−2.5", "10⁻⁷", "3×10⁴", with the axis's
// shared multiplier; NaN for anything else.
double readBack(QString text, const QString &multiplier)
{
    const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    const auto power = [&](QString p) {
        if (!p.startsWith(QStringLiteral("10")))
            return std::nan("");
        p.remove(0, 2);
        QString exponent;
        for (QChar c : p)
            exponent += c == QChar(0x207b) ? QChar(u'-') : QChar(char16_t(u'0' + superscripts.indexOf(c)));
        return std::pow(10.0, exponent.toInt());
    };
    text.replace(QChar(0x2212), u'-');
    double value = 0.0;
    const qsizetype times = text.indexOf(QChar(0x00d7));
    if (text.startsWith(QStringLiteral("10")) && text.size() > 2 &&
        (superscripts.contains(text.at(2)) || text.at(2) == QChar(0x207b)))
        value = power(text);
    else if (times > 0)
        value = text.left(times).toDouble() * power(text.mid(times + 1));
    else
        value = text.toDouble();
    return multiplier.isEmpty() ? value : value * power(multiplier.mid(1));
}

Curve curveThrough(const QList<QPointF> &reals, bool visible = true)
{
    Curve curve = makeCurve(QStringLiteral("c"));
    curve.visible = visible;
    for (const QPointF &real : reals)
        curve.points.append(CurvePoint{real, real, curve.name});
    return curve;
}

} // namespace

class TestPlotTicks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tickTexts_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<int>("divisions");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("0..0.12 at 0 decimals")
            << 0.0 << 0.12 << false << 10 << 0
            << QStringList{"0.00", "0.02", "0.04", "0.06", "0.08", "0.10", "0.12"};
        QTest::newRow("0..45 in 10") << 0.0 << 45.0 << false << 10 << 0
                                     << QStringList{"0", "5", "10", "15", "20", "25", "30", "35", "40", "45"};
        QTest::newRow("0..0.12 with 2 decimals in 5")
            << 0.0 << 0.12 << false << 5 << 2 << QStringList{"0.000", "0.025", "0.050", "0.075", "0.100"};
        QTest::newRow("decimals are a minimum")
            << 0.0 << 100.0 << false << 5 << 1 << QStringList{"0.0", "20.0", "40.0", "60.0", "80.0", "100.0"};
        QTest::newRow("negative range")
            << -0.3 << 0.1 << false << 4 << 0 << QStringList{"−0.3", "−0.2", "−0.1", "0.0", "0.1"};
        QTest::newRow("off-grid limits")
            << 3.7 << 12.2 << false << 4 << 0 << QStringList{"5.0", "7.5", "10.0"};
        QTest::newRow("large values share a multiplier")
            << 0.0 << 4e6 << false << 4 << 0 << QStringList{"0", "1", "2", "3", "4"};
        QTest::newRow("100000 stays plain") << 0.0 << 1e5 << false << 5 << 0
                                            << QStringList{"0", "20000", "40000", "60000", "80000", "100000"};
        QTest::newRow("strain stays plain")
            << -0.0005 << 0.0005 << false << 5 << 0
            << QStringList{"−0.0004", "−0.0002", "0.0000", "0.0002", "0.0004"};
        QTest::newRow("log 0.02..20") << 0.02 << 20.0 << true << 10 << 0 << QStringList{"0.1", "1", "10"};
        QTest::newRow("log 1..1000") << 1.0 << 1000.0 << true << 3 << 0
                                     << QStringList{"1", "10", "100", "1000"};
        QTest::newRow("log tiny in exponent form")
            << 1e-12 << 1e-9 << true << 10 << 0 << QStringList{"10⁻¹²", "10⁻¹¹", "10⁻¹⁰", "10⁻⁹"};
        QTest::newRow("log short decimals plain")
            << 1e-3 << 1e4 << true << 10 << 0
            << QStringList{"0.001", "0.01", "0.1", "1", "10", "100", "1000", "10000"};
        QTest::newRow("log under a decade labels its minors")
            << 2.0 << 9.0 << true << 10 << 0 << QStringList{"2", "3", "4", "5", "6", "7", "8", "9"};
        QTest::newRow("invalid log axis") << 0.0 << 10.0 << true << 10 << 0 << QStringList{};
        QTest::newRow("reversed limits") << 5.0 << 1.0 << false << 10 << 0 << QStringList{};
    }
    void tickTexts()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        QFETCH(int, divisions);
        QFETCH(int, decimals);
        QFETCH(QStringList, expected);
        QCOMPARE(labelled(plotTicks(minimum, maximum, logarithmic, divisions, decimals)), expected);
        // The densest candidate never has more parts than the grid divisions.
        if (!logarithmic && !expected.isEmpty()) {
            const AxisTicks ticks = plotTicks(minimum, maximum, false, divisions, decimals);
            const double step = ticks.ticks.at(1).value - ticks.ticks.at(0).value;
            QVERIFY((maximum - minimum) / step <= divisions + 1e-9);
        }
    }

    void labelsReadTheirOwnValue_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::newRow("0..0.12") << 0.0 << 0.12 << false;
        QTest::newRow("0..45") << 0.0 << 45.0 << false;
        QTest::newRow("-7.3..2.9") << -7.3 << 2.9 << false;
        QTest::newRow("1990..2020") << 1990.0 << 2020.0 << false;
        QTest::newRow("0.0001..0.0009") << 0.0001 << 0.0009 << false;
        QTest::newRow("log 0.02..20") << 0.02 << 20.0 << true;
        QTest::newRow("log 3e-5..7e4") << 3e-5 << 7e4 << true;
        QTest::newRow("0..4e13") << 0.0 << 4e13 << false;
        QTest::newRow("-3e-9..7e-9") << -3e-9 << 7e-9 << false;
        QTest::newRow("log 2e-7..8e-7") << 2e-7 << 8e-7 << true;
    }
    void labelsReadTheirOwnValue()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        for (int divisions : {1, 3, 7, 10, 25}) {
            for (const AxisTicks &ticks : tickCandidates(minimum, maximum, logarithmic, divisions, 0)) {
                QVERIFY(!ticks.ticks.isEmpty());
                for (const PlotTick &tick : ticks.ticks) {
                    QVERIFY(tick.fraction >= -1e-12 && tick.fraction <= 1.0 + 1e-12);
                    if (tick.text.isEmpty())
                        continue;
                    // The text is the tick's value to the precision it is printed with.
                    const double read = readBack(tick.text, ticks.multiplier);
                    QVERIFY2(std::abs(read - tick.value) <= 1e-9 * std::abs(tick.value) + 1e-15,
                             qPrintable(tick.text));
                }
            }
        }
    }

    void autoScaleKeepsEveryPoint_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<bool>("log");
        QTest::addColumn<QRectF>("expected"); // xMin, yMin, xMax, yMax as a rectangle's corners
        // Calibrated 0..10 × 0..20 by the marks.
        QTest::newRow("negative data")
            << QList<QPointF>{{-3, -4}, {5, 7}} << false << QRectF(QPointF(-3, -4), QPointF(10, 20));
        QTest::newRow("beyond the calibration")
            << QList<QPointF>{{2, 3}, {13, 31}} << false << QRectF(QPointF(0, 0), QPointF(13, 32));
        QTest::newRow("inside the calibration")
            << QList<QPointF>{{2, 3}, {8, 15}} << false << QRectF(QPointF(0, 0), QPointF(10, 20));
    }
    void autoScaleKeepsEveryPoint()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(bool, log);
        QFETCH(QRectF, expected);
        GraphSettings s;
        s.xLog = s.yLog = log;
        autoScaleAxes(s,
                      testsupport::calibrationOf(QLineF(0, 500, 500, 500), 0, 10, false, QLineF(0, 500, 0, 0),
                                                 0, 20, false),
                      {curveThrough(points)});
        QCOMPARE(s.xMin, expected.left());
        QCOMPARE(s.yMin, expected.top());
        QCOMPARE(s.xMax, expected.right());
        QCOMPARE(s.yMax, expected.bottom());
        for (const QPointF &p : points)
            QVERIFY(s.xMin <= p.x() && p.x() <= s.xMax && s.yMin <= p.y() && p.y() <= s.yMax);
    }

    void autoScaleOnLogAxes()
    {
        GraphSettings s;
        s.xLog = true;
        s.yLog = true;
        // A log axis marked at 4e-6 and 2e-3, points above and at or below zero.
        const Curve curve = curveThrough({{0.5, 3e-5}, {-1, 5}, {30, 0.0}, {40, 7e-3}});
        const Curve hidden = curveThrough({{1e5, 1e5}}, false);
        autoScaleAxes(s,
                      testsupport::calibrationOf(QLineF(0, 500, 500, 500), 1, 10, true, QLineF(0, 500, 0, 0),
                                                 4e-6, 2e-3, true),
                      {curve, hidden});
        QCOMPARE(s.xMin, 0.1);
        QCOMPARE(s.xMax, 100.0);
        QCOMPARE(s.yMin, 1e-6);
        QCOMPARE(s.yMax, 0.01);
        QVERIFY(axesValid(s));
        // The limit keeps 1e-12 through the settings record.
        s.yMin = 1e-12;
        GraphSettings read;
        read.applyJson(s.toJson());
        QCOMPARE(read.yMin, 1e-12);
    }

    void shapePreservingStepStaysInside()
    {
        const QList<QPointF> step = {{0, 0}, {1, 0}, {2, 0}, {2.1, 10}, {3, 10}};
        double lastX = -1.0;
        for (qsizetype segment = 0; segment + 1 < step.size(); ++segment) {
            for (int k = 0; k <= 64; ++k) {
                const QPointF p = monotoneSegmentPoint(step, segment, k / 64.0);
                QVERIFY2(p.y() >= 0.0 && p.y() <= 10.0, qPrintable(QString::number(p.y())));
                QVERIFY(p.x() >= lastX);
                lastX = p.x();
            }
        }
        // The spline of the same points overshoots on both sides: the fault this smoothing avoids.
        double low = 0.0;
        double high = 10.0;
        for (int k = 0; k <= 64; ++k) {
            low = std::min(low, splineSegmentPoint(step, 1, k / 64.0).y());
            high = std::max(high, splineSegmentPoint(step, 3, k / 64.0).y());
        }
        QVERIFY(low < -0.5 && high > 10.5);
    }

    void smoothingsPassThroughEveryPoint_data()
    {
        QTest::addColumn<int>("smoothing");
        QTest::newRow("spline") << int(CurveSmoothing::Spline);
        QTest::newRow("shape-preserving") << int(CurveSmoothing::ShapePreserving);
        QTest::newRow("straight lines") << int(CurveSmoothing::StraightLines);
    }
    void smoothingsPassThroughEveryPoint()
    {
        QFETCH(int, smoothing);
        const QList<QPointF> points = {{0, 1}, {1, 3}, {2.5, 2}, {4, 8}};
        for (qsizetype i = 0; i + 1 < points.size(); ++i) {
            QCOMPARE(smoothedSegmentPoint(points, i, 0.0, CurveSmoothing(smoothing)), points.at(i));
            QCOMPARE(smoothedSegmentPoint(points, i, 1.0, CurveSmoothing(smoothing)), points.at(i + 1));
        }
        // A straight line stays straight whatever the smoothing.
        const QList<QPointF> line = {{0, 0}, {1, 2}, {3, 6}, {4, 8}};
        for (int k = 0; k <= 10; ++k) {
            const QPointF p = smoothedSegmentPoint(line, 1, k / 10.0, CurveSmoothing(smoothing));
            QVERIFY(std::abs(p.y() - 2.0 * p.x()) < 1e-12);
        }
    }

    void logPaperLineStaysStraight()
    {
        // y = x^2 on log-log paper is a straight line through its three points.
        GraphSettings s;
        s.xMin = 1;
        s.xMax = 1000;
        s.yMin = 1;
        s.yMax = 1e6;
        s.xLog = s.yLog = true;
        s.curveSmoothing = CurveSmoothing::Spline;
        const QRectF plot(0, 0, 300, 600);
        const QPainterPath path = buildCurvePath({{2, 4}, {30, 900}, {500, 250000}}, s, plot);
        QVERIFY(path.elementCount() > 3); // sampled between the points too
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPointF p = path.elementAt(i);
            // Scene y = 600 - 2 x decade coordinate: x in 0..300 spans 3 decades, y 6.
            QVERIFY2(std::abs((600.0 - p.y()) - 2.0 * p.x()) < 1e-6, qPrintable(QString::number(i)));
        }
        // Resampled for export in the same scale, the samples stay on y = x^2.
        const QList<QPointF> samples = fromAxisScale(
            resampleCurve(toAxisScale({{2, 4}, {30, 900}, {500, 250000}}, true, true), 40), true, true);
        QCOMPARE(samples.size(), 40);
        for (const QPointF &p : samples)
            QVERIFY(std::abs(p.y() / (p.x() * p.x()) - 1.0) < 1e-9);
    }

    void dateTicks_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QStringList>("texts");        // of the densest candidate
        QTest::addColumn<QStringList>("sparserTexts"); // of the next one
        const double day = 86400.0;
        const double jan2019 = 17897 * day;
        const double mar2021 = 18701 * day;
        QTest::newRow("six years of months: years")
            << jan2019 << jan2019 + 2192 * day
            << QStringList{"2019", "2020", "2021", "2022", "2023", "2024", "2025"}
            << QStringList{"2020", "2022", "2024"};
        QTest::newRow("a year: quarters")
            << jan2019 << jan2019 + 365 * day
            << QStringList{"Jan 2019", "Apr 2019", "Jul 2019", "Oct 2019", "Jan 2020"}
            << QStringList{"Jan 2019", "Jul 2019", "Jan 2020"};
        QTest::newRow("three days: half days, each date once")
            << mar2021 << mar2021 + 3 * day
            << QStringList{"2021-03-15", "12:00", "2021-03-16", "12:00", "2021-03-17", "12:00", "2021-03-18"}
            << QStringList{"2021-03-15", "2021-03-16", "2021-03-17", "2021-03-18"};
        QTest::newRow("ten days: days")
            << mar2021 + 0.5 * day << mar2021 + 10.5 * day
            << QStringList{"2021-03-16", "2021-03-17", "2021-03-18", "2021-03-19", "2021-03-20",
                           "2021-03-21", "2021-03-22", "2021-03-23", "2021-03-24", "2021-03-25"}
            << QStringList{"2021-03-16", "2021-03-18", "2021-03-20", "2021-03-22", "2021-03-24"};
        QTest::newRow("five minutes")
            << mar2021 + 3600 << mar2021 + 3900
            << QStringList{"01:00:00", "01:00:30", "01:01:00", "01:01:30", "01:02:00", "01:02:30",
                           "01:03:00", "01:03:30", "01:04:00", "01:04:30", "01:05:00"}
            << QStringList{"01:00", "01:01", "01:02", "01:03", "01:04", "01:05"};
        QTest::newRow("empty range") << mar2021 << mar2021 << QStringList{} << QStringList{};
    }

    void dateTicks()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, sparserTexts);
        const QList<AxisTicks> candidates = dateTickCandidates(minimum, maximum, 10);
        const auto textsOf = [&](int index) {
            QStringList all;
            for (const PlotTick &tick : candidates.value(index).ticks) {
                all.append(tick.text);
                // Every tick sits where its own instant is along the axis.
                if (std::abs(tick.fraction - (tick.value - minimum) / (maximum - minimum)) > 1e-12)
                    all.append(QStringLiteral("misplaced"));
            }
            return all;
        };
        QCOMPARE(textsOf(0), texts);
        QCOMPARE(textsOf(1), sparserTexts);
    }

    void newSettingsRoundTrip()
    {
        GraphSettings s;
        s.curveSmoothing = CurveSmoothing::StraightLines;
        s.showLegend = false;
        s.legendPos = QPointF(123.5, 456.25);
        s.legendFont = QFont(QStringLiteral("Courier"), 9);
        s.legendPlaced = true;
        GraphSettings read;
        read.applyJson(s.toJson());
        QCOMPARE(read, s);
        QCOMPARE(s.toJson().value(QStringLiteral("curveSmoothing")).toString(),
                 QStringLiteral("straightLines"));
        // An unknown smoothing name keeps the current choice.
        GraphSettings unknown;
        unknown.applyJson({{QStringLiteral("curveSmoothing"), QStringLiteral("bezier")}});
        QCOMPARE(unknown.curveSmoothing, CurveSmoothing::ShapePreserving);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestPlotTicks)
#include "tst_plotticks.moc"
