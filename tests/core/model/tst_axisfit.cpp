#include "core/model/axisfit.h"
#include "core/model/calibration.h"
#include "core/model/projectmodel.h"

#include "tests/support/testsupport.h"

#include <QJsonDocument>
#include <QtTest>

#include <cmath>

namespace {

using Marks = QList<CalibrationMark>;

// The true axis of these tests: value v (or log10 v) lies at origin + u * step.
struct TrueAxis
{
    QPointF origin;
    QPointF step;
    bool logScale;
    QPointF at(double value) const { return origin + (logScale ? std::log10(value) : value) * step; }
};

Marks marksOn(const TrueAxis &axis, const QList<double> &values, const QList<QPointF> &noise)
{
    Marks marks;
    for (int i = 0; i < values.size(); ++i)
        marks.append({axis.at(values[i]) + noise.value(i), values[i]});
    return marks;
}

// The farthest, in pixels, that a fitted axis puts any value of [low, high] from the truth.
double worstError(const AxisFit &fit, const TrueAxis &axis, double low, double high)
{
    Calibration c;
    c.axisXLine = fit.line;
    c.xValue1 = fit.value1;
    c.xValue2 = fit.value2;
    c.xLogScale = axis.logScale;
    c.axisXValid = true;
    // A perpendicular Y axis through the first end reads the position along X alone.
    const QPointF d = fit.line.p2() - fit.line.p1();
    c.axisYLine = QLineF(fit.line.p1(), fit.line.p1() + QPointF(-d.y(), d.x()));
    c.axisYValid = true;
    double worst = 0.0;
    for (int i = 0; i <= 100; ++i) {
        const double value = axis.logScale
                                 ? std::pow(10.0, std::log10(low) + i * (std::log10(high / low)) / 100)
                                 : low + i * (high - low) / 100;
        const QPointF truth = axis.at(value);
        const QPointF onFit = c.realToPixel(QPointF(value, c.pixelToReal(truth).y()));
        worst = std::max(worst, std::hypot(onFit.x() - truth.x(), onFit.y() - truth.y()));
    }
    return worst;
}

} // namespace

class AxisFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Two marks give the very numbers that the line and two values always gave.
    void twoMarksAreTheOldMapping_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<double>("value1");
        QTest::addColumn<double>("value2");
        QTest::addColumn<bool>("logScale");
        QTest::newRow("level") << QLineF(100, 400, 500, 400) << 0.0 << 10.0 << false;
        QTest::newRow("tilted, backwards") << QLineF(480.3, 377.1, 90.7, 401.9) << 7.5 << -2.25 << false;
        QTest::newRow("log") << QLineF(100, 400, 500, 400) << 1.0 << 1000.0 << true;
    }
    void twoMarksAreTheOldMapping()
    {
        QFETCH(QLineF, line);
        QFETCH(double, value1);
        QFETCH(double, value2);
        QFETCH(bool, logScale);
        ProjectModel old;
        old.setAxisX(line, value1, value2, logScale);
        old.setAxisY(QLineF(100, 400, 97, 80), 0, 5);
        ProjectModel fitted;
        QVERIFY(fitted.setAxisMarks(true, {{line.p1(), value1}, {line.p2(), value2}}, logScale));
        fitted.setAxisY(QLineF(100, 400, 97, 80), 0, 5);
        const Calibration &a = old.calibration();
        const Calibration &b = fitted.calibration();
        QCOMPARE(b.axisXLine, a.axisXLine);
        for (const QPointF pixel : {QPointF(0, 0), QPointF(313.7, 211.2), QPointF(900, 700)}) {
            QCOMPARE(b.pixelToReal(pixel), a.pixelToReal(pixel));
            QCOMPARE(b.realToPixel(a.pixelToReal(pixel)), a.realToPixel(a.pixelToReal(pixel)));
        }
    }

    // Five marks clicked with up to 0.3 px of error read the axis better than
    // any two of them.
    void fiveNoisyMarksBeatAnyTwo_data()
    {
        QTest::addColumn<bool>("logScale");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<QPointF>>("noise");
        const QList<QPointF> noise{{0.3, -0.2}, {-0.3, 0.3}, {0.25, 0.1}, {-0.2, -0.3}, {0.3, 0.2}};
        QTest::newRow("linear") << false << QList<double>{0, 10, 20, 30, 40} << noise;
        QTest::newRow("log") << true << QList<double>{1, 10, 100, 1000, 10000} << noise;
        QTest::newRow("other noise") << false << QList<double>{-5, 0, 5, 10, 15}
                                     << QList<QPointF>{
                                            {-0.3, 0}, {0.3, 0}, {-0.1, 0.3}, {0.3, -0.3}, {-0.3, 0.1}};
    }
    void fiveNoisyMarksBeatAnyTwo()
    {
        QFETCH(bool, logScale);
        QFETCH(QList<double>, values);
        QFETCH(QList<QPointF>, noise);
        const double span = logScale ? 4 : values.last() - values.first();
        const TrueAxis axis{QPointF(80, 420), QPointF(400, -14) / span, logScale};
        const Marks marks = marksOn(axis, values, noise);
        const AxisFit all = fitAxis(marks, logScale);
        QVERIFY(all.ok);
        QCOMPARE(all.used, QList<bool>(5, true));
        const double allError = worstError(all, axis, values.first(), values.last());
        for (int i = 0; i < 5; ++i) {
            for (int j = i + 1; j < 5; ++j) {
                const AxisFit two = fitAxis({marks[i], marks[j]}, logScale);
                const double twoError = worstError(two, axis, values.first(), values.last());
                QVERIFY2(allError < twoError,
                         qPrintable(QStringLiteral("marks %1, %2: %3 px, all five: %4 px")
                                        .arg(i)
                                        .arg(j)
                                        .arg(twoError)
                                        .arg(allError)));
            }
        }
        QVERIFY(all.rms > 0.0 && all.rms < 0.4);
    }

    // One value typed wrong (30 for 20 and the like) stands out: the largest
    // residual, over a pixel, at least twice any other's; the fit is not bent.
    void mistypedValueStandsOut_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<double>("typed");
        for (int wrong = 0; wrong < 5; ++wrong)
            QTest::addRow("mark %d", wrong) << wrong << 10.0 * wrong + 5.0;
        QTest::newRow("digits swapped") << 3 << 3.0;
    }
    void mistypedValueStandsOut()
    {
        QFETCH(int, wrong);
        QFETCH(double, typed);
        const TrueAxis axis{QPointF(100, 400), QPointF(10, 0.2), false};
        Marks marks =
            marksOn(axis, {0, 10, 20, 30, 40}, {{0.2, 0}, {-0.2, 0.1}, {0.1, -0.2}, {-0.1, 0.2}, {0.2, 0.1}});
        marks[wrong].value = typed;
        const AxisFit fit = fitAxis(marks, false);
        QVERIFY(fit.ok);
        QVERIFY2(fit.residuals[wrong] > 1.0, qPrintable(QString::number(fit.residuals[wrong])));
        for (int i = 0; i < 5; ++i) {
            if (i != wrong)
                QVERIFY2(
                    fit.residuals[wrong] >= 2 * fit.residuals[i],
                    qPrintable(
                        QStringLiteral("%1 against %2").arg(fit.residuals[wrong]).arg(fit.residuals[i])));
        }
        QVERIFY(!fit.used[wrong]);
        QVERIFY(worstError(fit, axis, 0, 40) < 0.5);
    }

    void marksThatDefineNoAxis_data()
    {
        QTest::addColumn<Marks>("marks");
        QTest::addColumn<bool>("logScale");
        QTest::newRow("one") << Marks{{QPointF(1, 1), 1}} << false;
        QTest::newRow("same place") << Marks{{QPointF(1, 1), 1}, {QPointF(1, 1), 2}} << false;
        QTest::newRow("same value") << Marks{{QPointF(1, 1), 2}, {QPointF(9, 1), 2}, {QPointF(5, 1), 2}}
                                    << false;
        QTest::newRow("zero on log") << Marks{{QPointF(1, 1), 0}, {QPointF(9, 1), 10}} << true;
        QTest::newRow("not finite") << Marks{{QPointF(1, 1), 0}, {QPointF(9, 1), qInf()}} << false;
    }
    void marksThatDefineNoAxis()
    {
        QFETCH(Marks, marks);
        QFETCH(bool, logScale);
        QVERIFY(!fitAxis(marks, logScale).ok);
        ProjectModel model;
        QSignalSpy changed(&model, &ProjectModel::calibrationChanged);
        QVERIFY(!model.setAxisMarks(true, marks, logScale));
        QVERIFY(changed.isEmpty());
    }

    // The marks travel with the calibration through JSON; a file without them
    // reads as before, and wrongly typed elements are skipped.
    void jsonRoundTrip_data()
    {
        QTest::addColumn<Marks>("xMarks");
        QTest::addColumn<Marks>("yMarks");
        QTest::newRow("without marks") << Marks{} << Marks{};
        QTest::newRow("three X marks")
            << Marks{{QPointF(100, 400), 0}, {QPointF(300.25, 401), 5}, {QPointF(500, 400.5), 10}} << Marks{};
        QTest::newRow("both") << Marks{{QPointF(100, 400), 0}, {QPointF(500, 400), 10}}
                              << Marks{{QPointF(100, 400), 1e-3},
                                       {QPointF(100, 250), 0.1},
                                       {QPointF(100, 100), 10}};
    }
    void jsonRoundTrip()
    {
        QFETCH(Marks, xMarks);
        QFETCH(Marks, yMarks);
        ProjectModel model;
        model.setAxisX(QLineF(100, 400, 500, 400), 0, 10);
        model.setAxisY(QLineF(100, 400, 100, 100), 0, 20);
        if (!xMarks.isEmpty())
            QVERIFY(model.setAxisMarks(true, xMarks, false));
        if (!yMarks.isEmpty())
            QVERIFY(model.setAxisMarks(false, yMarks, true));
        const QJsonObject json = model.calibration().toJson();
        QCOMPARE(json.contains(QStringLiteral("xMarks")), !xMarks.isEmpty());
        QCOMPARE(json.contains(QStringLiteral("yMarks")), !yMarks.isEmpty());
        const QByteArray bytes = QJsonDocument(json).toJson();
        const Calibration read = Calibration::fromJson(QJsonDocument::fromJson(bytes).object());
        QCOMPARE(read, model.calibration());
        QCOMPARE(read.xMarks, xMarks);
        // An older reader sees the two-mark fields, which read the same values.
        Calibration older = read;
        older.xMarks.clear();
        older.yMarks.clear();
        QCOMPARE(older.pixelToReal(QPointF(321, 123)), read.pixelToReal(QPointF(321, 123)));
    }

    void jsonSkipsBadMarks()
    {
        const QJsonObject json = QJsonDocument::fromJson(R"({"xMarks": [{"x": 1, "y": 2, "value": 3},
            {"x": "1", "y": 2, "value": 3}, 7, {"x": 5, "y": 6}], "yMarks": {"x": 1}})")
                                     .object();
        const Calibration read = Calibration::fromJson(json);
        QCOMPARE(read.xMarks, (Marks{{QPointF(1, 2), 3}}));
        QVERIFY(read.yMarks.isEmpty());
    }
};

PLOTMASON_TEST_MAIN(QCoreApplication, AxisFitTest)
#include "tst_axisfit.moc"
