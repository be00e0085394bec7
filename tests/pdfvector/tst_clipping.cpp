#include "pdfvector/pagedrawing.h"
#include "pdfvector/pathpicking.h"
#include "tests/pdfvector/chartpdf.h"
#include "tests/support/testsupport.h"

#include <cmath>

namespace {

// The page of `content` (600 x 400 points), turned by `rotate`, read at 72 dpi.
PageDrawing readContent(const QByteArray &content, int rotate)
{
    const QString drawn = chartpdf::contentPdf(QStringLiteral("clip-drawn.pdf"), content);
    chartpdf::PageEdit edit;
    edit.rotate = rotate;
    const QString path = chartpdf::editFirstPage(drawn, QStringLiteral("clip.pdf"), edit);
    PageDrawing drawing;
    QString error;
    if (!readPageDrawing(path, 0, 72, &drawing, &error))
        qWarning("cannot read the page: %s", qPrintable(error));
    return drawing;
}

QByteArray pointText(const QPointF &point)
{
    return QByteArray::number(point.x()) + ", " + QByteArray::number(point.y());
}

} // namespace

class TestClipping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a click imports from a clipped path: the vertices inside the clip,
    // and the places where the path crosses it.
    void pickedPathsEndAtTheClip_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QPointF>("click");           // page points
        QTest::addColumn<QList<QPointF>>("expected"); // page points

        const QByteArray polyline = "50 150 m 150 150 l 250 250 l 350 150 l S";
        const QList<QPointF> inside{{100, 150}, {150, 150}, {250, 250}, {300, 200}};
        for (int rotate : {0, 90, 270}) {
            QTest::newRow("polyline through a clip rectangle, turned " + QByteArray::number(rotate))
                << "q 100 100 200 200 re W n " + polyline + " Q" << rotate << QPointF(200, 200) << inside;
        }
        QTest::newRow("even-odd clip")
            << "q 100 100 200 200 re W* n " + polyline + " Q" << 0 << QPointF(200, 200) << inside;
        QTest::newRow("nested clips cut further")
            << "q 100 100 200 200 re W n q 0 0 200 400 re W n " + polyline + " Q Q" << 0 << QPointF(150, 150)
            << QList<QPointF>{{100, 150}, {150, 150}, {200, 200}};
        QTest::newRow("a clip ends with Q") << QByteArray("q 0 0 10 10 re W n Q 20 20 m 80 80 l S") << 0
                                            << QPointF(50, 50) << QList<QPointF>{{20, 20}, {80, 80}};
        QTest::newRow("the page's own edge")
            << QByteArray("-50 200 m 300 200 l 300 500 l S") << 270 << QPointF(100, 200)
            << QList<QPointF>{{0, 200}, {300, 200}, {300, 400}};
        QTest::newRow("a curve leaving the clip on both sides")
            << QByteArray("q 100 100 200 200 re W n 50 200 m 50 300 350 300 350 200 c S Q") << 0
            << QPointF(200, 275) << QList<QPointF>{{100, 257.5972408704097}, {300, 257.5972408704097}};
        QTest::newRow("a triangular clip")
            << QByteArray("q 0 0 m 400 0 l 0 400 l h W n 0 100 m 400 100 l S Q") << 0 << QPointF(100, 100)
            << QList<QPointF>{{0, 100}, {300, 100}};
        QTest::newRow("wholly outside the clip") << QByteArray("q 0 0 50 50 re W n 100 100 m 200 200 l S Q")
                                                 << 0 << QPointF(150, 150) << QList<QPointF>();
    }

    void pickedPathsEndAtTheClip()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, rotate);
        QFETCH(QPointF, click);
        QFETCH(QList<QPointF>, expected);
        const PageDrawing drawing = readContent(content, rotate);
        const PickedCurve picked = pickCurve(drawing, drawing.pageToPixel.map(click), 3.0);
        QCOMPARE(picked.points.size(), expected.size());
        const QRectF picture(QPointF(0, 0), QSizeF(drawing.frame.imageSize));
        for (int i = 0; i < expected.size(); ++i) {
            const QPointF pixel = drawing.pageToPixel.map(expected[i]);
            QVERIFY2(QLineF(picked.points[i], pixel).length() <= 1e-6,
                     pointText(picked.points[i]) + " instead of " + pointText(pixel));
            QVERIFY(picture.adjusted(-1e-3, -1e-3, 1e-3, 1e-3).contains(picked.points[i]));
        }
    }

    // Coordinates far beyond the page, up to a scale of 1e300: what is read lies
    // on the picture, and each path's bounds hold its nodes.
    void farCoordinatesStayOnThePicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray huge = "1" + QByteArray(300, '0');
        QTest::newRow("1e300 scale in cm")
            << "1 0 0 1 0 200 cm " + huge + " 0 0 " + huge + " 0 0 cm -1 0 m 1 0 l 0.5 0.001 l S";
        QTest::newRow("1e300 scale, curve")
            << "0.5 0 0 0.5 300 200 cm " + huge + " 0 0 " + huge + " 0 0 cm 0 0 m -1 1 1 -1 0 0 c S";
        QTest::newRow("far points beside near ones")
            << "10 10 m " + huge + " 20 l 30 30 l -" + huge + " -" + huge + " l 40 40 l S";
        QTest::newRow("tiny scale undone by a huge one")
            << "0.000000001 0 0 0.000000001 0 0 cm " + huge + " 0 0 " + huge + " 0 0 cm 5 5 m 9 9 l S";
    }

    void farCoordinatesStayOnThePicture()
    {
        QFETCH(QByteArray, content);
        const PageDrawing drawing = readContent(content, 0);
        const QRectF picture = QRectF(QPointF(0, 0), QSizeF(drawing.frame.imageSize)).adjusted(-1, -1, 1, 1);
        int segments = 0;
        for (const DrawnPath &path : drawing.paths) {
            for (const PathNode &node : path.nodes) {
                segments += node.step == PathStep::MoveTo ? 0 : 1;
                QVERIFY2(picture.contains(node.point), pointText(node.point));
                QVERIFY2(path.bounds.adjusted(-1, -1, 1, 1).contains(node.point), pointText(node.point));
            }
        }
        QCOMPARE(drawing.segmentCount, segments);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestClipping)
#include "tst_clipping.moc"
