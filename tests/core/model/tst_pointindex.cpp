#include "core/model/pointindex.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QLineF>
#include <QRandomGenerator>

#include <cmath>

namespace {

// The answers of a walk through every point, which the grid must give too.
QList<int> allIn(const QList<QPointF> &points, const QRectF &rect)
{
    QList<int> found;
    for (int i = 0; i < points.size(); ++i) {
        const QPointF &p = points[i];
        if (p.x() >= rect.left() && p.x() <= rect.right() && p.y() >= rect.top() && p.y() <= rect.bottom())
            found.append(i);
    }
    return found;
}

int nearestOf(const QList<QPointF> &points, const QPointF &spot, double maxDistance)
{
    int best = -1;
    for (int i = 0; i < points.size(); ++i) {
        const double distance = QLineF(spot, points[i]).length();
        if (distance <= maxDistance && (best < 0 || distance < QLineF(spot, points[best]).length()))
            best = i;
    }
    return best;
}

// Points on a grid of whole pixels, so that many lie on cell edges and tie in distance.
QList<QPointF> shape(const QString &kind, int count, QRandomGenerator &random)
{
    QList<QPointF> points;
    for (int i = 0; i < count; ++i) {
        if (kind == QLatin1String("scattered"))
            points.append(QPointF(random.bounded(400), random.bounded(300)));
        else if (kind == QLatin1String("vertical line"))
            points.append(QPointF(50, random.bounded(1000)));
        else if (kind == QLatin1String("one spot"))
            points.append(QPointF(7, 7));
        else
            points.append(QPointF(i * 0.5, 100 + 80 * std::sin(i / 40.0)));
    }
    return points;
}

} // namespace

class TestPointIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Rectangles and nearest points agree with a walk through every point,
    // also after points were moved (out of the grid's box too) and appended.
    void agreesWithEveryPointWalked_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("edits");
        QTest::newRow("empty") << QStringLiteral("scattered") << 0 << 0;
        QTest::newRow("empty, then appended") << QStringLiteral("scattered") << 0 << 40;
        QTest::newRow("one point") << QStringLiteral("scattered") << 1 << 0;
        QTest::newRow("scattered") << QStringLiteral("scattered") << 3000 << 0;
        QTest::newRow("scattered, edited") << QStringLiteral("scattered") << 3000 << 200;
        QTest::newRow("scattered, edited past a rebuild") << QStringLiteral("scattered") << 3000 << 1200;
        QTest::newRow("curve") << QStringLiteral("curve") << 5000 << 30;
        QTest::newRow("vertical line") << QStringLiteral("vertical line") << 2000 << 30;
        QTest::newRow("all on one spot") << QStringLiteral("one spot") << 500 << 10;
    }
    void agreesWithEveryPointWalked()
    {
        QFETCH(QString, kind);
        QFETCH(int, count);
        QFETCH(int, edits);
        QRandomGenerator random(11);
        QList<QPointF> points = shape(kind, count, random);
        PointIndex index(points);
        for (int e = 0; e < edits; ++e) {
            // Some land far outside the box the grid was built over.
            const QPointF spot(random.bounded(1600) - 600, random.bounded(1200) - 450);
            if (points.isEmpty() || random.bounded(2) == 0) {
                points.append(spot);
                index.append(spot);
            } else {
                const int i = int(random.bounded(int(points.size())));
                points[i] = spot;
                index.move(i, spot);
            }
        }
        QCOMPARE(index.points(), points);
        const QRectF bounds = index.bounds();
        for (const QPointF &p : std::as_const(points))
            QVERIFY(p.x() >= bounds.left() && p.x() <= bounds.right() && p.y() >= bounds.top() &&
                    p.y() <= bounds.bottom());
        for (int q = 0; q < 300; ++q) {
            const QPointF corner(random.bounded(1400) - 500, random.bounded(1200) - 450);
            const QRectF rect(corner, QSizeF(random.bounded(300), random.bounded(300)));
            QCOMPARE(index.pointsIn(rect), allIn(points, rect));
            // A rectangle given from its far corner is the same rectangle.
            QCOMPARE(index.pointsIn(QRectF(rect.bottomRight(), rect.topLeft())), allIn(points, rect));
            const double reach = q % 3 == 0 ? 2000.0 : random.bounded(40.0);
            QCOMPARE(index.nearest(corner, reach), nearestOf(points, corner, reach));
        }
    }

    void everythingAndNothing()
    {
        const PointIndex index({QPointF(1, 1), QPointF(5, 5), QPointF(1, 1)});
        QCOMPARE(index.pointsIn(QRectF(-1e9, -1e9, 2e9, 2e9)), (QList<int>{0, 1, 2}));
        QCOMPARE(index.pointsIn(QRectF(2, 2, 1, 1)), QList<int>());
        // A rectangle of no width still holds the points on it.
        QCOMPARE(index.pointsIn(QRectF(5, 0, 0, 10)), QList<int>{1});
        // Equally near: the first one.
        QCOMPARE(index.nearest(QPointF(1, 1), 3), 0);
        QCOMPARE(index.nearest(QPointF(3, 3), 2.83), 0);
        QCOMPARE(index.nearest(QPointF(3, 3), 2.82), -1);
        QCOMPARE(PointIndex().nearest(QPointF(0, 0), 1e9), -1);
        QCOMPARE(index.bounds(), QRectF(1, 1, 4, 4));
    }
};

PLOTMASON_TEST_MAIN(QCoreApplication, TestPointIndex)
#include "tst_pointindex.moc"
