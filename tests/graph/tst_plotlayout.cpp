#include "core/model/curvepath.h"
#include "core/model/projectmodel.h"
#include "graph/curvedrawing.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotlayout.h"
#include "graph/plotrenderer.h"
#include "tests/graph/figuredata.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QtTest>

#include <cmath>

namespace {

using namespace figuredata;

bool overlap(const QRectF &a, const QRectF &b)
{
    // Touching edges are fine; a shared area of a hundredth of a unit is not.
    const QRectF common = a.intersected(b);
    return common.width() > 0.01 && common.height() > 0.01;
}

QString describe(const QRectF &r)
{
    return QStringLiteral("(%1, %2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestPlotLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figures_data()
    {
        addFigureColumns();
        const char *names[] = {"pump", "strain", "decades", "huge", "twelve"};
        for (int figure = 0; figure < 5; ++figure) {
            for (const QSizeF &size : {QSizeF(8.5, 6.5), QSizeF(20, 12.5)}) {
                for (int dpi : {72, 150, 300, 600}) {
                    QTest::addRow("%s %gx%g cm %d dpi", names[figure], size.width(), size.height(), dpi)
                        << figure << size.width() << size.height() << dpi;
                }
            }
        }
    }
    void figures()
    {
        ProjectModel model;
        const GraphSettings s = figureOfRow(model);
        const PlotLayout layout = graphLayout(model, s);

        // Exactly the size set, the plot inside it.
        QCOMPARE(layout.figure, QSize(int(std::round(s.widthCm / 2.54 * s.dpi)),
                                      int(std::round(s.heightCm / 2.54 * s.dpi))));
        const QRectF figureRect(QPointF(0, 0), QSizeF(layout.figure));
        QVERIFY(figureRect.contains(layout.plot));
        QVERIFY(layout.plot.width() > 0.25 * figureRect.width());
        QVERIFY(layout.plot.height() > 0.25 * figureRect.height());

        // Every text inside the figure and clear of every other and of the plot.
        const QList<QRectF> texts = layout.textRects();
        QVERIFY(texts.size() >= 4);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QVERIFY2(figureRect.contains(texts.at(i)), qPrintable(describe(texts.at(i))));
            for (qsizetype j = i + 1; j < texts.size(); ++j)
                QVERIFY2(!overlap(texts.at(i), texts.at(j)),
                         qPrintable(describe(texts.at(i)) + QStringLiteral(" / ") + describe(texts.at(j))));
            if (texts.at(i) != layout.legend.rect || layout.legendOutside)
                QVERIFY2(!overlap(texts.at(i), layout.plot), qPrintable(describe(texts.at(i))));
        }
        // The axis labels beyond the tick values, the title above the plot.
        for (const PlacedText &value : layout.yValues)
            QVERIFY(layout.yLabel.rect.right() <= value.rect.left());
        for (const PlacedText &value : layout.xValues)
            QVERIFY(layout.xLabel.rect.top() >= value.rect.bottom());
        QVERIFY(layout.title.rect.bottom() <= layout.plot.top());
        QVERIFY(layout.xValues.size() >= 2 && layout.yValues.size() >= 2);
        // Centred on the plot where the figure leaves room.
        if (layout.xLabel.rect.width() < layout.plot.width())
            QVERIFY(std::abs(layout.xLabel.rect.center().x() - layout.plot.center().x()) < 1.0);

        // The legend covers no data point and no drawn line.
        QVERIFY(layout.hasLegend);
        for (const Curve &curve : model.curves()) {
            for (const CurvePoint &point : curve.points)
                QVERIFY(!layout.legend.rect.contains(mapToPlot(s, layout.plot, point.real)));
            const QPainterPath path = buildCurvePath(sortedRealPoints(curve), s, layout.plot);
            QCOMPARE(crossings(path.toSubpathPolygons(), layout.legend.rect), 0);
        }
    }

    void numbersAsInPrint()
    {
        ProjectModel model;
        fill(model, huge());
        const PlotLayout big = graphLayout(model, settingsOf(huge(), 20, 12.5, 300));
        QCOMPARE(big.xMultiplier.text, QStringLiteral("×10¹³"));
        for (const PlacedText &value : big.xValues + big.yValues) {
            QVERIFY(!value.text.contains(u'e'));
            QVERIFY(!value.text.contains(u'-'));
        }
        QVERIFY(big.yValues.first().text.startsWith(QChar(0x2212)));

        ProjectModel logModel;
        fill(logModel, decades());
        const PlotLayout log = graphLayout(logModel, settingsOf(decades(), 20, 12.5, 300));
        QStringList texts;
        for (const PlacedText &value : log.xValues)
            texts.append(value.text);
        QCOMPARE(texts, QStringList({"10⁻¹⁰", "10⁻⁹", "10⁻⁸", "10⁻⁷", "10⁻⁶", "10⁻⁵"}));
    }

    void movedTextsKeepTheirPlace()
    {
        ProjectModel model;
        fill(model, pump());
        GraphSettings s = settingsOf(pump(), 20, 12.5, 300);
        s.titleMoved = true;
        s.titlePos = QPointF(-40, 900);
        s.legendMoved = true;
        s.legendPos = QPointF(1500, 300);
        const PlotLayout layout = graphLayout(model, s);
        QCOMPARE(layout.title.pos, QPointF(-40, 900));
        QCOMPARE(layout.legend.pos, QPointF(1500, 300));
        // A moved title takes no room above the plot.
        s.titleMoved = false;
        QVERIFY(graphLayout(model, s).plot.top() > layout.plot.top());
    }

    void gridDivisionsAreTheDensest_data()
    {
        QTest::addColumn<int>("divisions");
        QTest::addColumn<double>("widthCm");
        QTest::addColumn<int>("most");
        QTest::newRow("4 on a wide graph") << 4 << 20.0 << 5;
        QTest::newRow("10 on a wide graph") << 10 << 20.0 << 11;
        QTest::newRow("100 on a narrow graph") << 100 << 8.5 << 11;
    }
    void gridDivisionsAreTheDensest()
    {
        QFETCH(int, divisions);
        QFETCH(double, widthCm);
        QFETCH(int, most);
        ProjectModel model;
        fill(model, pump());
        GraphSettings s = settingsOf(pump(), widthCm, 12.5, 150);
        s.gridDivisions = divisions;
        const PlotLayout layout = graphLayout(model, s);
        QVERIFY(layout.xValues.size() >= 2);
        QVERIFY2(layout.xValues.size() <= most, qPrintable(QString::number(layout.xValues.size())));
        for (qsizetype i = 1; i < layout.xValues.size(); ++i)
            QVERIFY(layout.xValues.at(i).rect.left() > layout.xValues.at(i - 1).rect.right());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestPlotLayout)
#include "tst_plotlayout.moc"
