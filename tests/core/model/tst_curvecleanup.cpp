#include "core/model/curvecleanup.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

namespace {

using Points = QList<QPointF>;

// A straight run along y = 300 from x0 to x1 (pixels) every 10 px.
Points run(double x0, double x1)
{
    Points points;
    for (double x = x0; x0 < x1 ? x <= x1 : x >= x1; x += x0 < x1 ? 10.0 : -10.0)
        points.append(QPointF(x, 300));
    return points;
}

} // namespace

class TestCurveCleanup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merges_data()
    {
        QTest::addColumn<Points>("existing");
        QTest::addColumn<Points>("added");
        QTest::addColumn<Points>("merged");
        QTest::newRow("into an empty curve") << Points{} << run(100, 130) << run(100, 130);
        QTest::newRow("continues the end, overlap dropped")
            << run(100, 200) << run(150, 250) << run(100, 250);
        QTest::newRow("traced backwards from beyond the end")
            << run(100, 200) << run(250, 150) << run(100, 250);
        QTest::newRow("comes before the start") << run(200, 300) << run(100, 250) << run(100, 300);
        QTest::newRow("wholly on the curve") << run(100, 300) << run(150, 250) << run(100, 300);
        QTest::newRow("a point beside the line is kept")
            << run(100, 200) << Points{{150, 301.5}} << run(100, 200) + Points{{150, 301.5}};
    }
    void merges()
    {
        QFETCH(Points, existing);
        QFETCH(Points, added);
        QFETCH(Points, merged);
        QCOMPARE(mergedAlongPath(existing, added, 1.0), merged);
    }

    void removesDuplicates_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<Points>("kept");
        QTest::newRow("none") << Points{{1, 1}, {2, 2}} << Points{{1, 1}, {2, 2}};
        QTest::newRow("within half a pixel, later dropped")
            << Points{{1, 1}, {5, 5}, {1.3, 1.3}, {5.5, 5}} << Points{{1, 1}, {5, 5}};
        QTest::newRow("just beyond") << Points{{1, 1}, {1.51, 1}} << Points{{1, 1}, {1.51, 1}};
        QTest::newRow("across a cell border") << Points{{0.99, 0.99}, {1.01, 1.01}} << Points{{0.99, 0.99}};
        QTest::newRow("empty") << Points{} << Points{};
    }
    void removesDuplicates()
    {
        QFETCH(Points, points);
        QFETCH(Points, kept);
        QCOMPARE(withoutDuplicates(points, 0.5), kept);
    }

    // Each clean-up is one undo step with the points' signals, on the named or the active curve.
    void modelCommandsUndo()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        const Points shuffled{{300, 300}, {120, 480}, {300.2, 300.1}, {480, 150}};
        QVERIFY(model.appendPoints(QStringLiteral("Mixed"), shuffled));
        QSignalSpy points(&model, &ProjectModel::pointsChanged);
        QVERIFY(model.sortPointsByX(QString()));
        QCOMPARE(points.count(), 1);
        const auto pixels = [&] {
            Points result;
            for (const CurvePoint &p : model.curves().last().points)
                result.append(p.pixel);
            return result;
        };
        QCOMPARE(pixels(), (Points{{120, 480}, {300, 300}, {300.2, 300.1}, {480, 150}}));
        QVERIFY(model.removeDuplicatePoints(QStringLiteral("Mixed")));
        QCOMPARE(pixels(), (Points{{120, 480}, {300, 300}, {480, 150}}));
        QCOMPARE(model.curves().last().points[1].real, model.calibration().pixelToReal({300, 300}));
        model.undoStack()->undo();
        model.undoStack()->undo();
        QCOMPARE(pixels(), shuffled);
        QVERIFY(!model.sortPointsByX(QStringLiteral("Missing")));
        QVERIFY(model.lastError().contains(QLatin1String("Missing")));
        QCOMPARE(pixels(), shuffled);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCurveCleanup)
#include "tst_curvecleanup.moc"
