#include "core/model/spline.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QRandomGenerator>

namespace {

// QPointF's own == is fuzzy; these checks want the exact doubles.
bool same(const QPointF &a, const QPointF &b)
{
    return a.x() == b.x() && a.y() == b.y();
}

QByteArray text(const QPointF &p)
{
    return QByteArray::number(p.x(), 'g', 17) + ", " + QByteArray::number(p.y(), 'g', 17);
}

#define COMPARE_EXACT(actual, expected)                                                                      \
    QVERIFY2(same(actual, expected), (text(actual) + " instead of " + text(expected)).constData())

QList<QPointF> randomPoints(QRandomGenerator &random, int count)
{
    QList<QPointF> points;
    for (int i = 0; i < count; ++i)
        points.append(QPointF(random.bounded(2000.0) - 1000.0, random.bounded(1e6) - 5e5));
    return points;
}

} // namespace

class TestSpline : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void evaluatesSegmentFormula_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<QPointF>("expected");
        // A = (0, 0), B = (1, 1), C = (2, 0), D = (3, 1), worked by hand from
        // 0.5 (2B + (C - A) t + (2A - 5B + 4C - D) t^2 + (3B - A - 3C + D) t^3).
        QTest::newRow("t = 0 is B") << 0.0 << QPointF(1, 1);
        QTest::newRow("t = 0.25") << 0.25 << QPointF(1.25, 0.84375);
        QTest::newRow("t = 0.5") << 0.5 << QPointF(1.5, 0.5);
        QTest::newRow("t = 0.75") << 0.75 << QPointF(1.75, 0.15625);
        QTest::newRow("t = 1 is C") << 1.0 << QPointF(2, 0);
    }

    void evaluatesSegmentFormula()
    {
        QFETCH(double, t);
        QFETCH(QPointF, expected);
        COMPARE_EXACT(catmullRomPoint(QPointF(0, 0), QPointF(1, 1), QPointF(2, 0), QPointF(3, 1), t),
                      expected);
    }

    void segmentsUseNeighboursAndRepeatTheEnds()
    {
        const QList<QPointF> p = {QPointF(0, 3), QPointF(1, -1), QPointF(4, 2), QPointF(5, 7), QPointF(9, 0)};
        for (double t : {0.1, 0.5, 0.9}) {
            COMPARE_EXACT(splineSegmentPoint(p, 0, t), catmullRomPoint(p[0], p[0], p[1], p[2], t));
            COMPARE_EXACT(splineSegmentPoint(p, 1, t), catmullRomPoint(p[0], p[1], p[2], p[3], t));
            COMPARE_EXACT(splineSegmentPoint(p, 2, t), catmullRomPoint(p[1], p[2], p[3], p[4], t));
            COMPARE_EXACT(splineSegmentPoint(p, 3, t), catmullRomPoint(p[2], p[3], p[4], p[4], t));
        }
        // The repeated end changes the first segment: it is not the one with a real neighbour.
        QVERIFY(!same(splineSegmentPoint(p, 0, 0.5), catmullRomPoint(p[2], p[0], p[1], p[2], 0.5)));
    }

    void passesThroughEveryPoint()
    {
        QRandomGenerator random(11);
        const QList<QPointF> points = randomPoints(random, 12);
        for (qsizetype i = 0; i + 1 < points.size(); ++i) {
            COMPARE_EXACT(splineSegmentPoint(points, i, 0.0), points.at(i));
            COMPARE_EXACT(splineSegmentPoint(points, i, 1.0), points.at(i + 1));
        }
    }

    void twoPointsGiveAStraightSegment()
    {
        const QList<QPointF> points = {QPointF(1, 2), QPointF(5, 10)};
        for (int k = 0; k <= 32; ++k) {
            const QPointF p = splineSegmentPoint(points, 0, k / 32.0);
            QVERIFY(testsupport::fuzzyEqual(p.y(), 2.0 * p.x(), 1e-12));
            QVERIFY(p.x() >= 1.0 && p.x() <= 5.0);
        }
        // S(t) = P0 + (P1 - P0) (t/2 + 3t^2/2 - t^3): the middle is reached at
        // t = 0.5, but the speed is uneven.
        COMPARE_EXACT(splineSegmentPoint(points, 0, 0.5), QPointF(3, 6));
        COMPARE_EXACT(splineSegmentPoint(points, 0, 0.25), QPointF(1.8125, 3.625));
    }

    void resampleKeepsFewPointsAsTheyAre_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<int>("count");
        const QList<QPointF> four = {QPointF(3, 1), QPointF(1, 2), QPointF(2, 0), QPointF(0, 5)};
        QTest::newRow("no points") << QList<QPointF>() << 100;
        QTest::newRow("one point") << QList<QPointF>{QPointF(2.5, -1)} << 100;
        QTest::newRow("count equal to the points") << four << 4;
        QTest::newRow("count below the points") << four << 2;
        QTest::newRow("count zero") << four << 0;
        QTest::newRow("count negative") << four << -3;
    }

    void resampleKeepsFewPointsAsTheyAre()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(int, count);
        const QList<QPointF> result = resampleCurve(points, count);
        QCOMPARE(result.size(), points.size());
        for (qsizetype i = 0; i < points.size(); ++i)
            COMPARE_EXACT(result.at(i), points.at(i));
    }

    void resampleSpreadsSamplesOverTheParameter()
    {
        // s = 0, 0.5, 1, 1.5, 2; the middle samples worked by hand.
        const QList<QPointF> points = {QPointF(0, 0), QPointF(1, 1), QPointF(2, 0)};
        const QList<QPointF> result = resampleCurve(points, 5);
        const QList<QPointF> expected = {QPointF(0, 0), QPointF(0.4375, 0.5625), QPointF(1, 1),
                                         QPointF(1.5625, 0.5625), QPointF(2, 0)};
        QCOMPARE(result.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            COMPARE_EXACT(result.at(i), expected.at(i));
    }

    void resampleOneMoreThanThePoints()
    {
        // Four samples over three points: u = 0, 1/3, 2/3, 1, so s = 0, 2/3, 4/3, 2.
        const QList<QPointF> points = {QPointF(0, 0), QPointF(1, 4), QPointF(5, 2)};
        const QList<QPointF> result = resampleCurve(points, 4);
        QCOMPARE(result.size(), 4);
        COMPARE_EXACT(result.at(0), points.at(0));
        QVERIFY(result.at(1) == splineSegmentPoint(points, 0, 2.0 / 3.0));
        QVERIFY(result.at(2) == splineSegmentPoint(points, 1, 1.0 / 3.0));
        COMPARE_EXACT(result.at(3), points.at(2));
    }

    void resampleHitsEndsAndCount_data()
    {
        QTest::addColumn<int>("pointCount");
        QTest::addColumn<int>("count");
        QTest::newRow("2 points to 3") << 2 << 3;
        QTest::newRow("2 points to 100") << 2 << 100;
        QTest::newRow("7 points to 8") << 7 << 8;
        QTest::newRow("7 points to 13") << 7 << 13;
        QTest::newRow("50 points to 10000") << 50 << 10000;
    }

    void resampleHitsEndsAndCount()
    {
        QFETCH(int, pointCount);
        QFETCH(int, count);
        QRandomGenerator random(quint32(pointCount * 7919 + count));
        const QList<QPointF> points = randomPoints(random, pointCount);
        const QList<QPointF> result = resampleCurve(points, count);
        QCOMPARE(result.size(), count);
        COMPARE_EXACT(result.first(), points.first());
        COMPARE_EXACT(result.last(), points.last());
        // With count - 1 a multiple of n - 1, every acquired point is a sample.
        if ((count - 1) % (pointCount - 1) == 0) {
            const int step = (count - 1) / (pointCount - 1);
            for (int i = 0; i < pointCount; ++i)
                QVERIFY(result.at(i * step) == points.at(i));
        }
    }

    void resampleKeepsAStraightLineStraight()
    {
        const QList<QPointF> points = {QPointF(0, 0), QPointF(1, 2), QPointF(2, 4), QPointF(3, 6)};
        const QList<QPointF> result = resampleCurve(points, 61);
        QCOMPARE(result.size(), 61);
        double previousX = -1.0;
        for (const QPointF &p : result) {
            QVERIFY2(testsupport::fuzzyEqual(p.y(), 2.0 * p.x(), 1e-12), text(p).constData());
            QVERIFY(p.x() >= previousX && p.x() <= 3.0); // no overshoot, no turning back
            previousX = p.x();
        }
        // The middle segment has real neighbours on both sides: uniform speed there.
        QVERIFY(testsupport::fuzzyEqual(result.at(25).x(), 1.25, 1e-12));
    }

    void resampleFollowsStoredOrder()
    {
        // Clicked out of x order: the samples run through the points as stored, without sorting.
        const QList<QPointF> points = {QPointF(4, 0), QPointF(0, 1), QPointF(2, 3)};
        const QList<QPointF> result = resampleCurve(points, 5);
        COMPARE_EXACT(result.at(0), QPointF(4, 0));
        COMPARE_EXACT(result.at(2), QPointF(0, 1));
        COMPARE_EXACT(result.at(4), QPointF(2, 3));
        QVERIFY(result.at(1).x() > 0.0 && result.at(1).x() < 4.0);
    }

    void resampleDoesNotClip()
    {
        // Negative values pass: resampling knows nothing of axis limits or log scales.
        const QList<QPointF> points = {QPointF(-1, -5), QPointF(0, 0), QPointF(1, -5)};
        const QList<QPointF> result = resampleCurve(points, 9);
        QCOMPARE(result.size(), 9);
        COMPARE_EXACT(result.first(), QPointF(-1, -5));
        COMPARE_EXACT(result.at(4), QPointF(0, 0));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestSpline)
#include "tst_spline.moc"
