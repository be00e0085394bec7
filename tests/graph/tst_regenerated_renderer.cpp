#include "core/model/curvepath.h"
#include "core/model/projectmodel.h"
#include "graph/curvedrawing.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotlayout.h"
#include "graph/plotrenderer.h"
#include "tests/graph/graphtestdata.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPainter>
#include <QPen>
#include <QStyleOptionGraphicsItem>
#include <QTextCursor>

#include <cmath>
#include <functional>

namespace {

// A drawn graph of the two-curve project.
struct Drawing
{
    ProjectModel model;
    GraphSettings settings;
    QGraphicsScene scene;

    Drawing()
    {
        graphtestdata::fillTwoCurveProject(model);
        settings = initialGraphSettings(model);
    }
    void draw() { drawGraph(scene, model, settings); }
    QRectF plot() const { return graphLayout(model, settings).plot; }
    // Stacking order, bottom first; equal z keeps the order of insertion.
    QList<QGraphicsItem *> bottomUp() const { return scene.items(Qt::AscendingOrder); }
    template <typename Item> QList<Item *> all() const
    {
        QList<Item *> found;
        for (QGraphicsItem *item : bottomUp()) {
            if (auto *typed = qgraphicsitem_cast<Item *>(item))
                found.append(typed);
        }
        return found;
    }
    QGraphicsTextItem *text(const QString &role, int index = -1) const
    {
        for (QGraphicsTextItem *item : all<QGraphicsTextItem>()) {
            if (item->data(graphitems::roleKey).toString() == role &&
                (index < 0 || item->data(graphitems::labelIndexKey).toInt() == index))
                return item;
        }
        return nullptr;
    }
    QStringList tickTexts() const
    {
        QStringList texts;
        for (QGraphicsSimpleTextItem *item : all<QGraphicsSimpleTextItem>())
            texts.append(item->text());
        return texts;
    }
};

bool near(const QPointF &a, const QPointF &b, double tolerance = 1e-6)
{
    return std::abs(a.x() - b.x()) < tolerance && std::abs(a.y() - b.y()) < tolerance;
}

GraphLabel label(const QString &text, const QPointF &pos, int rotation, const QColor &color,
                 bool visible = true)
{
    GraphLabel l;
    l.text = text;
    l.pos = pos;
    l.rotation = rotation;
    l.color = color;
    l.visible = visible;
    return l;
}

} // namespace

class TestRegeneratedRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sceneHasTheOutputSizeOnAWhiteBackground()
    {
        Drawing d;
        d.draw();
        QCOMPARE(d.scene.sceneRect(), QRectF(0, 0, 2362, 1476));
        auto *background = qgraphicsitem_cast<QGraphicsRectItem *>(d.bottomUp().first());
        QVERIFY(background);
        QCOMPARE(background->rect(), QRectF(0, 0, 2362, 1476));
        QCOMPARE(background->zValue(), -30.0);
        QCOMPARE(background->brush().color(), QColor(Qt::white));
        QCOMPARE(background->pen().style(), Qt::NoPen);
    }

    void itemsComeInTheirOrder()
    {
        Drawing d;
        d.settings.gridDivisions = 4;
        d.settings.showBlueprint = true;
        d.settings.labels = {label(QStringLiteral("note"), QPointF(500, 500), 0, Qt::black)};
        d.draw();
        QStringList kinds;
        for (QGraphicsItem *item : d.bottomUp()) {
            if (qgraphicsitem_cast<QGraphicsPixmapItem *>(item))
                kinds.append(QStringLiteral("blueprint"));
            else if (qgraphicsitem_cast<QGraphicsLineItem *>(item))
                kinds.append(QStringLiteral("grid"));
            else if (qgraphicsitem_cast<QGraphicsRectItem *>(item))
                kinds.append(QStringLiteral("rect"));
            else if (qgraphicsitem_cast<QGraphicsSimpleTextItem *>(item))
                kinds.append(QStringLiteral("tick"));
            else if (auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item))
                kinds.append(text->data(graphitems::roleKey).toString());
            else if (qgraphicsitem_cast<QGraphicsPathItem *>(item))
                kinds.append(QStringLiteral("curve"));
        }
        // Tick values first, then grid (minor, major), tick marks and frame;
        // the curves above them and the texts on top.
        QStringList expected = {QStringLiteral("rect"), QStringLiteral("blueprint")};
        const PlotLayout layout = graphLayout(d.model, d.settings);
        for (qsizetype i = 0; i < layout.xValues.size() + layout.yValues.size(); ++i)
            expected.append(QStringLiteral("tick"));
        expected << "curve"
                 << "curve"
                 << "curve"
                 << "rect"
                 << "title"
                 << "xLabel"
                 << "yLabel"
                 << "label"
                 << "curve"
                 << "curve"
                 << "legend";
        QCOMPARE(kinds, expected);
        // Above the grid and tick-mark paths, which stay at 0.
        for (QGraphicsPathItem *path : d.all<QGraphicsPathItem>())
            QCOMPARE(path->zValue(), path->pen().color() == QColor(220, 220, 220) ||
                                             path->pen().color() == QColor(236, 236, 236) ||
                                             path->pen().color() == QColor(Qt::black)
                                         ? 0.0
                                         : 10.0);
        QCOMPARE(d.all<QGraphicsPixmapItem>().first()->zValue(), -20.0);
        QCOMPARE(d.text(graphitems::titleRole)->zValue(), 0.0);
    }

    void opacitiesFollowTheSettings()
    {
        Drawing d;
        d.settings.regeneratedOpacity = 60;
        d.settings.showBlueprint = true;
        d.settings.blueprintOpacity = 35;
        d.draw();
        for (QGraphicsItem *item : d.bottomUp()) {
            if (item == d.bottomUp().first())
                QCOMPARE(item->opacity(), 1.0); // the background
            else if (qgraphicsitem_cast<QGraphicsPixmapItem *>(item))
                QCOMPARE(item->opacity(), 0.35);
            else
                QCOMPARE(item->opacity(), 0.6);
        }
    }

    void gridAndFrameAreDrawnOnThePlot()
    {
        Drawing d;
        d.settings.gridDivisions = 4;
        d.settings.xMax = 10;
        d.settings.yMax = 20;
        d.draw();
        const QRectF plot = d.plot();
        // Grid lines sit on the round ticks of at most 4 parts: x 0, 2.5, ..., 10 and y 0, 5, ..., 20.
        const QList<QGraphicsPathItem *> paths = d.all<QGraphicsPathItem>();
        const QGraphicsPathItem *majors = paths.at(1);
        const QPainterPath grid = majors->path();
        QCOMPARE(grid.elementCount(), 2 * (5 + 5));
        for (int i = 0; i < 5; ++i) {
            const double x = plot.left() + plot.width() * (2.5 * i / 10.0);
            QVERIFY(near(grid.elementAt(2 * i), QPointF(x, plot.top())));
            QVERIFY(near(grid.elementAt(2 * i + 1), QPointF(x, plot.bottom())));
        }
        for (int i = 0; i < 5; ++i) {
            const double y = plot.bottom() - plot.height() * (5.0 * i / 20.0);
            QVERIFY(near(grid.elementAt(10 + 2 * i), QPointF(plot.left(), y)));
            QVERIFY(near(grid.elementAt(10 + 2 * i + 1), QPointF(plot.right(), y)));
        }
        // Pens in points at the export DPI: 0.5 pt grid, 1 pt frame.
        QCOMPARE(majors->pen().color(), QColor(220, 220, 220));
        QCOMPARE(majors->pen().widthF(), 0.5 * 300 / 72.0);
        QGraphicsRectItem *frame = d.all<QGraphicsRectItem>().last();
        QCOMPARE(frame->rect(), plot);
        QCOMPARE(frame->pen().color(), QColor(Qt::black));
        QCOMPARE(frame->pen().widthF(), 300 / 72.0);
        QCOMPARE(frame->brush().style(), Qt::NoBrush);

        Drawing hidden;
        hidden.settings.showGrid = false;
        hidden.draw();
        // Only the tick marks and the curves remain as paths.
        QCOMPARE(hidden.all<QGraphicsPathItem>().size(), 1 + 2);
        QCOMPARE(hidden.all<QGraphicsRectItem>().size(), 2);
    }

    void tickValuesSitUnderAndBesideThePlot()
    {
        Drawing d;
        d.settings.xMax = 100;
        d.settings.yMax = 1;
        d.settings.axisDecimals = 1;
        d.settings.gridDivisions = 5;
        d.draw();
        const QRectF plot = d.plot();
        const QList<QGraphicsSimpleTextItem *> ticks = d.all<QGraphicsSimpleTextItem>();
        QCOMPARE(d.tickTexts(), (QStringList{"0.0", "20.0", "40.0", "60.0", "80.0", "100.0", "0.0", "0.2",
                                             "0.4", "0.6", "0.8", "1.0"}));
        const double mm = 300 / 25.4;
        for (int i = 0; i <= 5; ++i) {
            const double f = i / 5.0;
            const QRectF x = ticks.at(i)->sceneBoundingRect();
            const QRectF y = ticks.at(6 + i)->sceneBoundingRect();
            QVERIFY(std::abs(x.center().x() - (plot.left() + plot.width() * f)) < 1e-6);
            QVERIFY(x.top() >= plot.bottom() + 1.5 * mm - 1e-6);
            QVERIFY(std::abs(y.right() - (plot.left() - 2.0 * mm)) < 1e-6);
            QVERIFY(std::abs(y.center().y() - (plot.bottom() - plot.height() * f)) < 1e-6);
            QCOMPARE(ticks.at(i)->brush().color(), QColor(Qt::black));
            QCOMPARE(ticks.at(i)->font(), d.settings.axisValueFont);
        }
    }

    void logarithmicTicks()
    {
        Drawing d;
        d.settings.xLog = true;
        d.settings.xMin = 1;
        d.settings.xMax = 1000;
        d.settings.gridDivisions = 3;
        d.draw();
        const QStringList texts = d.tickTexts();
        QCOMPARE(texts.mid(0, 4), (QStringList{"1", "10", "100", "1000"}));
    }

    void curvesArePathsInTheirStyle()
    {
        Drawing d;
        d.model.addCurve(QStringLiteral("Single"));
        d.model.addPoint(graphtestdata::pixelOf(5, 5), QStringLiteral("Single"));
        d.draw();
        QList<QGraphicsPathItem *> paths;
        for (QGraphicsPathItem *path : d.all<QGraphicsPathItem>()) {
            if (path->zValue() == 10.0) // the curves' level, above grid and tick marks
                paths.append(path);
        }
        QCOMPARE(paths.size(), 2); // the one-point curve draws nothing
        for (int i = 0; i < 2; ++i) {
            const Curve &curve = d.model.curves().at(i);
            const QPen pen = paths.at(i)->pen();
            QCOMPARE(pen.color(), curve.color);
            QCOMPARE(pen.widthF(), curve.lineWidth * 300 / 72.0); // points at the export DPI
            QCOMPARE(pen.style(), Qt::SolidLine);
            QCOMPARE(pen.capStyle(), Qt::RoundCap);
            QCOMPARE(pen.joinStyle(), Qt::BevelJoin); // smoothed: many slight turns
            QCOMPARE(paths.at(i)->brush().style(), Qt::NoBrush);
            // From the first point to the last, inside the plot.
            const QRectF plot = d.plot();
            const QPainterPath drawn = paths.at(i)->path();
            const QList<QPointF> points = sortedRealPoints(curve);
            QVERIFY(near(drawn.elementAt(0), mapToPlot(d.settings, plot, points.first()), 1e-6));
            QVERIFY(near(drawn.currentPosition(), mapToPlot(d.settings, plot, points.last()), 1e-6));
            QVERIFY(plot.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(drawn.controlPointRect()));
        }
        // Straight lines keep round corners at their points.
        d.settings.curveSmoothing = CurveSmoothing::StraightLines;
        d.draw();
        QCOMPARE(d.all<QGraphicsPathItem>().last()->pen().joinStyle(), Qt::RoundJoin);
        d.model.setCurveVisible(0, false);
        d.draw();
        QGraphicsPathItem *last = d.all<QGraphicsPathItem>().last();
        QCOMPARE(d.all<QGraphicsPathItem>().size(), 3 + 1);
        QCOMPARE(last->pen().color(), QColor(QStringLiteral("#1565c0")));
    }

    void curveShownSmallLooksAsDrawnInFull()
    {
        // A dense wavy curve, shown at a third of its size as the window shows a graph.
        Drawing d;
        d.model.addCurve(QStringLiteral("Dense"));
        QList<QPointF> pixels;
        for (int i = 0; i < 2000; ++i)
            pixels.append(
                graphtestdata::pixelOf(i / 200.0, 10 + 6 * std::sin(i / 37.0) + 0.3 * std::sin(i / 3.0)));
        QVERIFY(d.model.appendPoints(QStringLiteral("Dense"), pixels));
        d.draw();
        QGraphicsPathItem *curve = d.all<QGraphicsPathItem>().last();
        QVERIFY(curve->path().elementCount() > 2000);
        const auto picture = [&](const std::function<void(QPainter &)> &paint) {
            QImage image(800, 500, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(1.0 / 3.0, 1.0 / 3.0);
            paint(painter);
            painter.end();
            return image;
        };
        const QStyleOptionGraphicsItem option;
        const QImage shown = picture([&](QPainter &painter) { curve->paint(&painter, &option, nullptr); });
        const QImage full = picture([&](QPainter &painter) {
            painter.setPen(curve->pen());
            painter.drawPath(curve->path());
        });
        int inked = 0;
        int differing = 0;
        for (int y = 0; y < full.height(); ++y) {
            for (int x = 0; x < full.width(); ++x) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = full.pixel(x, y);
                inked += qGray(b) < 200 ? 1 : 0;
                differing += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))}) > 64
                                 ? 1
                                 : 0;
            }
        }
        QVERIFY(inked > 2000);
        QVERIFY2(differing < inked / 50, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inked)));
    }

    void invalidAxesShowOnlyTheMessage()
    {
        Drawing d;
        d.settings.xLog = true; // xMin is 0
        d.draw();
        const QList<QGraphicsItem *> items = d.bottomUp();
        QCOMPARE(items.size(), 2);
        auto *message = qgraphicsitem_cast<QGraphicsSimpleTextItem *>(items.at(1));
        QVERIFY(message);
        QCOMPARE(message->text(),
                 QStringLiteral("Invalid axes. For logarithmic scale, minimum values must be > 0."));
        QCOMPARE(message->brush().color(), QColor(Qt::red));
        QCOMPARE(message->font(), d.settings.textFont);
        QVERIFY(near(message->sceneBoundingRect().center(), QPointF(2362 / 2.0, 1476 / 2.0)));
        QVERIFY(!d.settings.textLayoutInitialized);
        // Stored as they are.
        QCOMPARE(d.settings.xMin, 0.0);
    }

    void tooSmallGraphShowsOnlyTheMessage_data()
    {
        QTest::addColumn<double>("widthCm");
        QTest::addColumn<double>("heightCm");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("1 x 1 cm at 72 DPI") << 1.0 << 1.0 << 72 << false;
        QTest::newRow("1 x 1 cm at 300 DPI") << 1.0 << 1.0 << 300 << false;
        QTest::newRow("1 x 1 cm at 1200 DPI") << 1.0 << 1.0 << 1200 << false;
        QTest::newRow("too narrow") << 4.1 << 20.0 << 300 << false;
        QTest::newRow("too low") << 20.0 << 4.4 << 300 << false;
        QTest::newRow("plot of 2 mm") << 3.4 << 3.7 << 300 << false;
        QTest::newRow("smallest drawn") << 4.2 << 4.5 << 300 << true;
    }

    void tooSmallGraphShowsOnlyTheMessage()
    {
        QFETCH(double, widthCm);
        QFETCH(double, heightCm);
        QFETCH(int, dpi);
        QFETCH(bool, drawn);
        Drawing d;
        d.settings.widthCm = widthCm;
        d.settings.heightCm = heightCm;
        d.settings.dpi = dpi;
        d.draw();
        const QList<QGraphicsItem *> items = d.bottomUp();
        const QList<QGraphicsSimpleTextItem *> texts = d.all<QGraphicsSimpleTextItem>();
        const QString message =
            QStringLiteral("The graph is too small to draw: make it at least 4.2 x 4.5 cm.");
        if (drawn) {
            QVERIFY(items.size() > 2);
            QVERIFY(!d.tickTexts().contains(message));
            return;
        }
        // The white page and the message, nothing mirrored or drawn outside it.
        QCOMPARE(items.size(), 2);
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.first()->text(), message);
        QCOMPARE(texts.first()->brush().color(), QColor(Qt::red));
        QVERIFY(d.scene.sceneRect().contains(texts.first()->sceneBoundingRect()));
        // Every export still makes its file, showing the message.
        for (const GraphFileFormat format :
             {GraphFileFormat::Pdf, GraphFileFormat::Jpg, GraphFileFormat::Svg}) {
            const QString file = testsupport::sandbox().filePath(QStringLiteral("small.out"));
            QString error;
            QVERIFY2(exportGraphFile(d.model, d.settings, format, file, &error), qPrintable(error));
            QVERIFY(QFileInfo(file).size() > 0);
        }
    }

    void legendTakesTheEmptiestCorner_data()
    {
        QTest::addColumn<bool>("risingShown");
        QTest::addColumn<bool>("fallingShown");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("top");
        // Falling starts in the top-left corner and ends in the bottom-right
        // one; Rising starts bottom-left and stays below the top-right one.
        QTest::newRow("both curves") << true << true << true << true;
        QTest::newRow("rising only") << true << false << true << true;
        QTest::newRow("falling only") << false << true << true << true;
    }

    void legendTakesTheEmptiestCorner()
    {
        QFETCH(bool, risingShown);
        QFETCH(bool, fallingShown);
        QFETCH(bool, right);
        QFETCH(bool, top);
        Drawing d;
        d.model.setCurveVisible(0, risingShown);
        d.model.setCurveVisible(1, fallingShown);
        d.draw();
        QVERIFY(d.settings.legendPlaced);
        const QGraphicsTextItem *legend = d.text(graphitems::legendRole);
        QVERIFY(legend);
        const QRectF plot = d.plot();
        const QRectF box = legend->sceneBoundingRect();
        QVERIFY(plot.contains(box));
        QCOMPARE(box.center().x() > plot.center().x(), right);
        QCOMPARE(box.center().y() < plot.center().y(), top);
        // No drawn curve passes under it.
        for (const QGraphicsPathItem *path : d.all<QGraphicsPathItem>()) {
            if (path->zValue() != 10.0)
                continue;
            for (int i = 0; i <= 1000; ++i)
                QVERIFY(!box.contains(path->path().pointAtPercent(i / 1000.0)));
        }
        // Dragged, it keeps its place however the curves change.
        const QPointF dragged = legend->pos() + QPointF(-300, 200);
        d.text(graphitems::legendRole)->setPos(dragged);
        readBackTextItems(d.scene, d.settings);
        QVERIFY(d.settings.legendMoved);
        d.model.setCurveVisible(0, true);
        d.model.setCurveVisible(1, true);
        d.draw();
        QCOMPARE(d.text(graphitems::legendRole)->pos(), dragged);
    }

    void legendGoesBesideThePlotWhenEveryPlaceInsideCoversData()
    {
        Drawing d;
        d.model.setCurveVisible(0, false);
        d.model.setCurveVisible(1, false);
        // Lines across the plot closer together than the legend is high.
        for (int line = 0; line < 10; ++line) {
            const QString name = QStringLiteral("Level %1").arg(line);
            d.model.addCurve(name);
            d.model.addPoint(graphtestdata::pixelOf(0, 1 + 2 * line), name);
            d.model.addPoint(graphtestdata::pixelOf(10, 1 + 2 * line), name);
        }
        d.settings.curveSmoothing = CurveSmoothing::StraightLines;
        d.draw();
        const QRectF plot = d.plot();
        const QRectF box = d.text(graphitems::legendRole)->sceneBoundingRect();
        QVERIFY(!box.intersects(plot));
        QVERIFY(QRectF(0, 0, 2362, 1476).contains(box));
        // The plot gave way, the graph kept its size.
        QCOMPARE(d.scene.sceneRect(), QRectF(0, 0, 2362, 1476));
        QVERIFY(plot.right() < box.left() || plot.bottom() < box.top());
    }

    void textsTakeTheirRolesAndPlaces()
    {
        Drawing d;
        d.settings.titleFont = QFont(QStringLiteral("Times"), 22);
        d.draw();
        QVERIFY(d.settings.textLayoutInitialized);
        QGraphicsTextItem *title = d.text(graphitems::titleRole);
        QGraphicsTextItem *x = d.text(graphitems::xLabelRole);
        QGraphicsTextItem *y = d.text(graphitems::yLabelRole);
        QVERIFY(title && x && y);
        QCOMPARE(title->toPlainText(), QStringLiteral("Title"));
        QCOMPARE(title->font(), QFont(QStringLiteral("Times"), 22));
        // Centred over and beside the plot, clear of it, inside the graph.
        const QRectF plot = d.plot();
        const QRectF graph(0, 0, 2362, 1476);
        QVERIFY(std::abs(title->sceneBoundingRect().center().x() - plot.center().x()) < 1.0);
        QVERIFY(std::abs(x->sceneBoundingRect().center().x() - plot.center().x()) < 1.0);
        QVERIFY(std::abs(y->sceneBoundingRect().center().y() - plot.center().y()) < 1.0);
        for (QGraphicsTextItem *item : {title, x, y}) {
            QVERIFY(graph.contains(item->sceneBoundingRect()));
            QVERIFY(!item->sceneBoundingRect().intersects(plot));
        }
        QCOMPARE(title->rotation(), 0.0);
        QCOMPARE(y->rotation(), -90.0);
        for (QGraphicsTextItem *item : {title, x, y}) {
            QVERIFY(item->flags() & QGraphicsItem::ItemIsMovable);
            QVERIFY(item->flags() & QGraphicsItem::ItemIsSelectable);
            QCOMPARE(item->defaultTextColor(), QColor(Qt::black));
        }
    }

    void blankTitleIsHiddenButBlankAxisLabelIsNot()
    {
        Drawing d;
        d.settings.title = QStringLiteral("  \t");
        d.settings.xLabel = QString();
        d.draw();
        QVERIFY(!d.text(graphitems::titleRole));
        QVERIFY(d.text(graphitems::xLabelRole));
        QCOMPARE(d.text(graphitems::xLabelRole)->toPlainText(), QString());

        Drawing off;
        off.settings.showTitle = false;
        off.draw();
        QVERIFY(!off.text(graphitems::titleRole));
    }

    void freeLabelsCarryTheirLookAndIndex()
    {
        Drawing d;
        const QColor green(0x2e, 0x7d, 0x32);
        d.settings.labels = {label(QStringLiteral("hidden"), QPointF(1, 1), 0, Qt::black, false),
                             label(QStringLiteral("Peak"), QPointF(700, 300), -30, green)};
        d.draw();
        QVERIFY(!d.text(graphitems::labelRole, 0));
        QGraphicsTextItem *peak = d.text(graphitems::labelRole, 1);
        QVERIFY(peak);
        QCOMPARE(peak->toPlainText(), QStringLiteral("Peak"));
        QCOMPARE(peak->pos(), QPointF(700, 300));
        QCOMPARE(peak->rotation(), -30.0);
        QCOMPARE(peak->defaultTextColor(), green);
        QTextCursor cursor(peak->document());
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().foreground().color(), green);
        QVERIFY(peak->flags() & QGraphicsItem::ItemIsMovable);
    }

    void readsDraggedTextsBack()
    {
        Drawing d;
        d.settings.labels = {label(QStringLiteral("A"), QPointF(300, 300), 0, Qt::black)};
        d.draw();
        QGraphicsTextItem *title = d.text(graphitems::titleRole);
        QGraphicsTextItem *yLabel = d.text(graphitems::yLabelRole);
        QGraphicsTextItem *a = d.text(graphitems::labelRole, 0);
        title->setPos(111.5, 42);
        yLabel->setFont(QFont(QStringLiteral("Courier"), 9));
        a->setPos(2500, 600); // beyond the right border
        a->setRotation(33.6);
        a->setDefaultTextColor(Qt::blue);
        a->setFont(QFont(QStringLiteral("Times"), 30));
        readBackTextItems(d.scene, d.settings);
        QCOMPARE(d.settings.titlePos, QPointF(111.5, 42));
        QCOMPARE(d.settings.yLabelFont, QFont(QStringLiteral("Courier"), 9));
        const GraphLabel &back = d.settings.labels.at(0);
        QCOMPARE(back.pos, QPointF(2500, 600));
        QCOMPARE(back.rotation, 34);
        QCOMPARE(back.color, QColor(Qt::blue));
        QCOMPARE(back.font, QFont(QStringLiteral("Times"), 30));

        // A redraw keeps what was read back; an index that no longer exists is skipped.
        d.draw();
        QCOMPARE(d.text(graphitems::labelRole, 0)->pos(), QPointF(2500, 600));
        d.settings.labels.clear();
        readBackTextItems(d.scene, d.settings);
        QVERIFY(d.settings.labels.isEmpty());
    }

    void blueprintTransformMapsTheLimitCornersOntoThePlot_data()
    {
        QTest::addColumn<QLineF>("xAxis");
        QTest::addColumn<QLineF>("yAxis");
        QTest::addColumn<bool>("logarithmic");
        QTest::newRow("upright axes") << QLineF(100, 500, 500, 500) << QLineF(100, 500, 100, 100) << false;
        QTest::newRow("tilted axes") << QLineF(100, 500, 490, 420) << QLineF(100, 500, 160, 110) << false;
        QTest::newRow("log limits") << QLineF(100, 500, 500, 500) << QLineF(100, 500, 100, 100) << true;
    }

    void blueprintTransformMapsTheLimitCornersOntoThePlot()
    {
        QFETCH(QLineF, xAxis);
        QFETCH(QLineF, yAxis);
        QFETCH(bool, logarithmic);
        ProjectModel model;
        model.setSourceImage(testsupport::chartImage(640, 560), QStringLiteral("/tmp/c.png"));
        model.setAxisX(xAxis, 0, 10);
        model.setAxisY(yAxis, 0, 20);
        GraphSettings s;
        s.xMin = logarithmic ? 0.5 : 1;
        s.xMax = 9;
        s.yMin = logarithmic ? 0.1 : 2;
        s.yMax = 18;
        s.xLog = s.yLog = logarithmic;
        const QRectF plot = graphLayout(model, s).plot;
        QTransform transform;
        QVERIFY(blueprintTransform(model.calibration(), s, plot, &transform));
        const QPointF corners[] = {{s.xMin, s.yMin}, {s.xMax, s.yMin}, {s.xMax, s.yMax}, {s.xMin, s.yMax}};
        const QPointF expected[] = {plot.bottomLeft(), plot.bottomRight(), plot.topRight(), plot.topLeft()};
        for (int i = 0; i < 4; ++i) {
            const QPointF pixel = model.calibration().realToPixel(corners[i]);
            QVERIFY2(near(transform.map(pixel), expected[i], 1e-6), qPrintable(QString::number(i)));
        }

        // The picture item carries the transform and shows nothing beyond the plot.
        s.showBlueprint = true;
        QGraphicsScene scene;
        drawGraph(scene, model, s);
        QGraphicsPixmapItem *picture = nullptr;
        for (QGraphicsItem *item : scene.items())
            picture = picture ? picture : qgraphicsitem_cast<QGraphicsPixmapItem *>(item);
        QVERIFY(picture);
        QCOMPARE(picture->transform(), transform);
        const QPointF pixel = model.calibration().realToPixel(corners[2]);
        QVERIFY(near(picture->sceneTransform().map(pixel), plot.topRight(), 1e-6));
        const QImage shown = picture->pixmap().toImage();
        const QPoint outside = (QPointF(picture->offset()) + QPointF(0.5, 0.5)).toPoint();
        const QPolygonF quad = QPolygonF(
            {model.calibration().realToPixel(corners[0]), model.calibration().realToPixel(corners[1]),
             model.calibration().realToPixel(corners[2]), model.calibration().realToPixel(corners[3])});
        if (!quad.containsPoint(QPointF(outside), Qt::OddEvenFill))
            QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
        const QPointF middle = quad.boundingRect().center() - picture->offset();
        QCOMPARE(qAlpha(shown.pixel(middle.toPoint())), 255);
    }

    void blueprintNeedsPictureAndCalibration()
    {
        // Calibrated, but no picture.
        ProjectModel bare;
        testsupport::calibrate(bare);
        GraphSettings shown = initialGraphSettings(bare);
        shown.showBlueprint = true;
        QGraphicsScene bareScene;
        drawGraph(bareScene, bare, shown);
        for (QGraphicsItem *item : bareScene.items())
            QVERIFY(!qgraphicsitem_cast<QGraphicsPixmapItem *>(item));

        ProjectModel uncalibrated;
        uncalibrated.setSourceImage(testsupport::chartImage(), QStringLiteral("/tmp/c.png"));
        GraphSettings s;
        s.showBlueprint = true;
        QTransform transform;
        QVERIFY(!blueprintTransform(uncalibrated.calibration(), s, QRectF(100, 100, 800, 500), &transform));
        QGraphicsScene scene;
        drawGraph(scene, uncalibrated, s);
        for (QGraphicsItem *item : scene.items())
            QVERIFY(!qgraphicsitem_cast<QGraphicsPixmapItem *>(item));

        Drawing off;
        off.draw();
        QVERIFY(off.all<QGraphicsPixmapItem>().isEmpty());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestRegeneratedRenderer)
#include "tst_regenerated_renderer.moc"
