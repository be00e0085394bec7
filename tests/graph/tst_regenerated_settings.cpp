#include "core/model/projectmodel.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "tests/graph/graphtestdata.h"
#include "tests/support/calibrations.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A record in which every field differs from its default.
GraphSettings unusualSettings()
{
    GraphSettings s;
    s.title = QStringLiteral("Pump curves");
    s.xLabel = QStringLiteral("Flow");
    s.yLabel = QStringLiteral("Head");
    s.showTitle = false;
    s.showBlueprint = true;
    s.blueprintOpacity = 55;
    s.regeneratedOpacity = 80;
    s.xMin = 1.5;
    s.xMax = 250.25;
    s.yMin = -3.125;
    s.yMax = 40.0;
    s.xLog = true;
    s.yLog = true;
    s.widthCm = 25.5;
    s.heightCm = 10.25;
    s.dpi = 600;
    s.axisDecimals = 3;
    s.showGrid = false;
    s.gridDivisions = 7;
    s.lockAspect = false;
    s.textFont = QFont(QStringLiteral("Courier"), 11);
    s.titleFont = QFont(QStringLiteral("Times"), 20, QFont::Bold);
    s.xLabelFont = QFont(QStringLiteral("Helvetica"), 9, QFont::Normal, true);
    s.yLabelFont = QFont(QStringLiteral("Helvetica"), 10);
    s.axisValueFont = QFont(QStringLiteral("Arial"), 8);
    s.titlePos = QPointF(812.5, 19.75);
    s.xLabelPos = QPointF(1100, 1400.5);
    s.yLabelPos = QPointF(21, 700.125);
    s.textLayoutInitialized = true;
    GraphLabel first;
    first.text = QStringLiteral("Best point");
    first.pos = QPointF(400.5, 300.25);
    first.font = QFont(QStringLiteral("Arial"), 16, QFont::Bold);
    first.color = QColor(0x20, 0x80, 0x40, 0x99);
    first.rotation = -35;
    GraphLabel second;
    second.text = QStringLiteral("hidden");
    second.visible = false;
    s.labels = {first, second};
    s.curveSmoothing = CurveSmoothing::StraightLines;
    s.showLegend = false;
    s.legendFont = QFont(QStringLiteral("Times"), 9);
    s.legendPos = QPointF(300.5, 120.25);
    s.legendPlaced = true;
    s.titleMoved = true;
    s.xLabelMoved = true;
    s.yLabelMoved = true;
    s.legendMoved = true;
    return s;
}

Curve curveThrough(const QList<QPointF> &reals)
{
    Curve curve = makeCurve(QStringLiteral("c"));
    for (const QPointF &real : reals)
        curve.points.append(CurvePoint{QPointF(), real, curve.name});
    return curve;
}

} // namespace

class TestRegeneratedSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsAndKeyOrder()
    {
        const QStringList keys =
            QStringLiteral("title xLabel yLabel showTitle showBlueprint blueprintOpacity regeneratedOpacity "
                           "xMin xMax yMin yMax xLog yLog widthCm heightCm dpi axisDecimals showGrid "
                           "gridDivisions lockAspect textFont titleFont xLabelFont yLabelFont axisValueFont "
                           "titlePos xLabelPos yLabelPos textLayoutInitialized labels curveSmoothing "
                           "showLegend legendFont "
                           "legendPos legendPlaced titleMoved xLabelMoved yLabelMoved legendMoved")
                .split(u' ');
        QCOMPARE(graphSettingsKeys(), keys);
        const QByteArray defaults = R"({"title": "Title", "xLabel": "X", "yLabel": "Y", "showTitle": true,
            "showBlueprint": false, "blueprintOpacity": 35, "regeneratedOpacity": 100, "xMin": 0, "xMax": 1,
            "yMin": 0, "yMax": 1, "xLog": false, "yLog": false, "widthCm": 20, "heightCm": 12.5, "dpi": 300,
            "axisDecimals": 0, "showGrid": true, "gridDivisions": 10, "lockAspect": true,
            "titlePos": {"x": 0, "y": 0}, "xLabelPos": {"x": 0, "y": 0}, "yLabelPos": {"x": 0, "y": 0},
            "textLayoutInitialized": false, "labels": [], "curveSmoothing": "shapePreserving",
            "showLegend": true, "legendPos": {"x": 0, "y": 0}, "legendPlaced": false, "titleMoved": false,
            "xLabelMoved": false, "yLabelMoved": false, "legendMoved": false})";
        QJsonObject expected = QJsonDocument::fromJson(defaults).object();
        QCOMPARE(expected.size(), keys.size() - 6);
        // Title 12 pt over axis labels and text 10 pt over tick values and legend 9 pt.
        const auto arial = [](double points) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSizeF(points);
            return QJsonObject{{"description", font.toString()}};
        };
        for (const auto &[font, points] :
             {std::pair("textFont", 10.0), std::pair("titleFont", 12.0), std::pair("xLabelFont", 10.0),
              std::pair("yLabelFont", 10.0), std::pair("axisValueFont", 9.0), std::pair("legendFont", 9.0)})
            expected.insert(QString::fromLatin1(font), arial(points));
        QCOMPARE(GraphSettings().toJson(), expected);
    }

    void writesTheDocumentedEncodings()
    {
        const GraphSettings s = unusualSettings();
        const QJsonObject json = s.toJson();
        QCOMPARE(json.value("title").toString(), QStringLiteral("Pump curves"));
        QVERIFY(json.value("blueprintOpacity").isDouble());
        QCOMPARE(json.value("blueprintOpacity").toInt(), 55);
        QCOMPARE(json.value("xMax").toDouble(), 250.25);
        QCOMPARE(json.value("titleFont").toObject(), (QJsonObject{{"description", s.titleFont.toString()}}));
        QCOMPARE(json.value("titlePos").toObject(), (QJsonObject{{"x", 812.5}, {"y", 19.75}}));
        const QJsonArray labels = json.value("labels").toArray();
        QCOMPARE(labels.size(), 2);
        const QJsonObject label = labels.at(0).toObject();
        QCOMPARE(label.keys(), (QStringList{"color", "font", "pos", "rotation", "text", "visible"}));
        QCOMPARE(label.value("color").toString(), QStringLiteral("#99208040"));
        QCOMPARE(label.value("rotation").toInt(), -35);
        QCOMPARE(label.value("pos").toObject(), (QJsonObject{{"x", 400.5}, {"y", 300.25}}));
        QCOMPARE(labels.at(1).toObject().value("color").toString(), QStringLiteral("#ff000000"));
        QCOMPARE(labels.at(1).toObject().value("visible").toBool(true), false);
    }

    void roundTripsThroughText()
    {
        const GraphSettings original = unusualSettings();
        const QByteArray text = QJsonDocument(original.toJson()).toJson();
        GraphSettings restored;
        restored.applyJson(QJsonDocument::fromJson(text).object());
        QVERIFY(restored == original);
        QCOMPARE(restored.toJson(), original.toJson());
        QVERIFY(GraphSettings() != original);
    }

    void equalityNoticesEveryField()
    {
        // Each key changed alone makes the records differ.
        const GraphSettings base;
        const QJsonObject different = unusualSettings().toJson();
        for (const QString &key : graphSettingsKeys()) {
            GraphSettings changed;
            changed.applyJson(QJsonObject{{key, different.value(key)}});
            QVERIFY2(changed != base, qPrintable(key));
        }
    }

    void appliesTolerantly_data()
    {
        QTest::addColumn<QJsonObject>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("expected");

        QTest::newRow("missing dpi keeps 300") << QJsonObject{{"title", "T"}} << "dpi" << QJsonValue(300);
        QTest::newRow("unknown key ignored") << QJsonObject{{"colour", 3}} << "title" << QJsonValue("Title");
        QTest::newRow("dpi taken") << QJsonObject{{"dpi", 150}} << "dpi" << QJsonValue(150);
        QTest::newRow("dpi above range") << QJsonObject{{"dpi", 5000}} << "dpi" << QJsonValue(1200);
        QTest::newRow("dpi not whole keeps") << QJsonObject{{"dpi", 150.5}} << "dpi" << QJsonValue(300);
        QTest::newRow("grid divisions as string keeps")
            << QJsonObject{{"gridDivisions", "20"}} << "gridDivisions" << QJsonValue(10);
        QTest::newRow("grid divisions below range")
            << QJsonObject{{"gridDivisions", 0}} << "gridDivisions" << QJsonValue(1);
        QTest::newRow("opacity below range")
            << QJsonObject{{"blueprintOpacity", 1}} << "blueprintOpacity" << QJsonValue(5);
        QTest::newRow("title as number keeps") << QJsonObject{{"title", 5}} << "title" << QJsonValue("Title");
        QTest::newRow("empty title taken") << QJsonObject{{"title", ""}} << "title" << QJsonValue("");
        QTest::newRow("bool as string keeps")
            << QJsonObject{{"showTitle", "false"}} << "showTitle" << QJsonValue(true);
        QTest::newRow("bool taken") << QJsonObject{{"showGrid", false}} << "showGrid" << QJsonValue(false);
        QTest::newRow("width rounded to the field's two decimals")
            << QJsonObject{{"widthCm", 12.346}} << "widthCm" << QJsonValue(12.35);
        QTest::newRow("height below range")
            << QJsonObject{{"heightCm", 0.2}} << "heightCm" << QJsonValue(1.0);
        QTest::newRow("limit rounded to twelve digits")
            << QJsonObject{{"xMin", 0.1234567890123456}} << "xMin" << QJsonValue(0.123456789012);
        QTest::newRow("tiny limit kept") << QJsonObject{{"yMin", 1e-12}} << "yMin" << QJsonValue(1e-12);
        QTest::newRow("limit beyond 1e12 kept") << QJsonObject{{"yMax", 5e13}} << "yMax" << QJsonValue(5e13);
        QTest::newRow("limit as bool keeps") << QJsonObject{{"xMax", true}} << "xMax" << QJsonValue(1.0);
        QTest::newRow("point with only x keeps y")
            << QJsonObject{{"titlePos", QJsonObject{{"x", 5}}}} << "titlePos"
            << QJsonValue(QJsonObject{{"x", 5}, {"y", 0}});
        QTest::newRow("point not an object keeps")
            << QJsonObject{{"xLabelPos", QJsonArray{1, 2}}} << "xLabelPos"
            << QJsonValue(QJsonObject{{"x", 0}, {"y", 0}});
        const QFont courier(QStringLiteral("Courier"), 9);
        QTest::newRow("font taken") << QJsonObject{{"axisValueFont",
                                                    QJsonObject{{"description", courier.toString()}}}}
                                    << "axisValueFont"
                                    << QJsonValue(QJsonObject{{"description", courier.toString()}});
        QTest::newRow("font without description keeps")
            << QJsonObject{{"textFont", QJsonObject{{"name", "Courier"}}}} << "textFont"
            << QJsonValue(QJsonObject{{"description", defaultGraphFont().toString()}});
        QTest::newRow("labels not an array keep")
            << QJsonObject{{"labels", QJsonObject{}}} << "labels" << QJsonValue(QJsonArray{});
    }

    void appliesTolerantly()
    {
        QFETCH(QJsonObject, stored);
        QFETCH(QString, key);
        QFETCH(QJsonValue, expected);
        GraphSettings s;
        s.applyJson(stored);
        QCOMPARE(s.toJson().value(key), expected);
    }

    // Found by fuzzing: a label with a damaged font weight, or a colour of twelve
    // bits per channel, compared unequal to itself after being stored and read back.
    void damagedFontSurvivesItsOwnJson()
    {
        GraphSettings stored;
        const QJsonObject damagedFont{{"description", "Arial,14,-1,5,40p,0,0,0,0,0,0,0,0,0,0,1"}};
        const QJsonObject shortFont{{"description", "Arial,9,-1,5,x,0"}};
        stored.applyJson(QJsonObject{
            {"labels",
             QJsonArray{QJsonObject{{"text", "n"}, {"font", damagedFont}, {"color", "#2ff2e7d32"}}}},
            {"titleFont", shortFont}});
        GraphSettings again;
        again.applyJson(stored.toJson());
        QVERIFY(again == stored);
        QCOMPARE(again.toJson(), stored.toJson());
    }

    void labelsFallBackPerKey()
    {
        GraphSettings s;
        s.applyJson(QJsonObject{{"labels", QJsonArray{QJsonObject{}, 7,
                                                      QJsonObject{{"text", "A"},
                                                                  {"color", "not a colour"},
                                                                  {"rotation", 12.5},
                                                                  {"visible", "no"},
                                                                  {"pos", QJsonObject{{"y", 9}}}}}}});
        QCOMPARE(s.labels.size(), 2); // the number is no label
        for (const GraphLabel &label : s.labels) {
            QCOMPARE(label.color, QColor(0, 0, 0, 255));
            QCOMPARE(label.rotation, 0);
            QVERIFY(label.visible);
            QCOMPARE(label.font, defaultGraphFont());
        }
        QCOMPARE(s.labels.at(0).text, QString());
        QCOMPARE(s.labels.at(0).pos, QPointF(0, 0));
        QCOMPARE(s.labels.at(1).text, QStringLiteral("A"));
        QCOMPARE(s.labels.at(1).pos, QPointF(0, 9));
        QCOMPARE(s.toJson().value("labels").toArray().at(0).toObject().value("color").toString(),
                 QStringLiteral("#ff000000"));
    }

    void axesValidity_data()
    {
        QTest::addColumn<double>("xMin");
        QTest::addColumn<double>("xMax");
        QTest::addColumn<double>("yMin");
        QTest::addColumn<double>("yMax");
        QTest::addColumn<bool>("xLog");
        QTest::addColumn<bool>("yLog");
        QTest::addColumn<bool>("valid");
        QTest::newRow("linear") << -5.0 << 5.0 << 0.0 << 1.0 << false << false << true;
        QTest::newRow("equal x") << 2.0 << 2.0 << 0.0 << 1.0 << false << false << false;
        QTest::newRow("reversed y") << 0.0 << 1.0 << 3.0 << 1.0 << false << false << false;
        QTest::newRow("log x from zero") << 0.0 << 10.0 << 0.0 << 1.0 << true << false << false;
        QTest::newRow("log x positive") << 0.1 << 10.0 << 0.0 << 1.0 << true << false << true;
        QTest::newRow("log y negative") << 0.0 << 1.0 << -1.0 << 10.0 << false << true << false;
        QTest::newRow("both log") << 1.0 << 1000.0 << 0.01 << 1.0 << true << true << true;
    }

    void axesValidity()
    {
        QFETCH(double, xMin);
        QFETCH(double, xMax);
        QFETCH(double, yMin);
        QFETCH(double, yMax);
        QFETCH(bool, xLog);
        QFETCH(bool, yLog);
        QFETCH(bool, valid);
        GraphSettings s;
        s.xMin = xMin;
        s.xMax = xMax;
        s.yMin = yMin;
        s.yMax = yMax;
        s.xLog = xLog;
        s.yLog = yLog;
        QCOMPARE(axesValid(s), valid);
    }

    void outputSizeInPixels_data()
    {
        QTest::addColumn<double>("widthCm");
        QTest::addColumn<double>("heightCm");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("default") << 20.0 << 12.5 << 300 << QSize(2362, 1476);
        QTest::newRow("smallest") << 1.0 << 1.0 << 72 << QSize(28, 28);
        // 1.27 cm is half an inch: 36.5 pixels at 73 DPI round away from zero.
        QTest::newRow("half rounds up") << 1.27 << 1.27 << 73 << QSize(37, 37);
        QTest::newRow("never below one pixel") << 0.001 << 0.001 << 72 << QSize(1, 1);
        QTest::newRow("largest") << 200.0 << 200.0 << 1200 << QSize(94488, 94488);
    }

    void outputSizeInPixels()
    {
        QFETCH(double, widthCm);
        QFETCH(double, heightCm);
        QFETCH(int, dpi);
        QFETCH(QSize, pixels);
        GraphSettings s;
        s.widthCm = widthCm;
        s.heightCm = heightCm;
        s.dpi = dpi;
        QCOMPARE(outputPixelSize(s), pixels);
    }

    void autoScalesAxes_data()
    {
        QTest::addColumn<bool>("useReferences"); // a calibration with positive reference maxima
        QTest::addColumn<QList<QPointF>>("reals");
        QTest::addColumn<bool>("xLog");
        QTest::addColumn<bool>("yLog");
        QTest::addColumn<QList<double>>("limits"); // xMin, xMax, yMin, yMax

        const QList<QPointF> spread = {{1, 10}, {3, 20}, {2, 15}};
        QTest::newRow("reference range") << true << spread << false << false << QList<double>{0, 10, 0, 20};
        QTest::newRow("reference range, log x")
            << true << spread << true << false << QList<double>{1, 10, 0, 20};
        QTest::newRow("points out to round values")
            << false << spread << false << false << QList<double>{1, 3, 10, 20};
        QTest::newRow("points off the step") << false << QList<QPointF>{{0.93, 9.6}, {3.04, 20.3}} << false
                                             << false << QList<double>{0.8, 3.2, 9, 21};
        QTest::newRow("same x widened by 1")
            << false << QList<QPointF>{{4, 1}, {4, 2}} << false << false << QList<double>{3, 5, 1, 2};
        QTest::newRow("log out to decades")
            << false << QList<QPointF>{{1, 2}, {100, 8}} << true << true << QList<double>{1, 100, 1, 10};
        QTest::newRow("same value on a log axis padded by a tenth")
            << false << QList<QPointF>{{5, 5}, {5, 5}} << true << true << QList<double>{1, 10, 1, 10};
        QTest::newRow("log skips points that are not positive")
            << false << QList<QPointF>{{-3, 1}, {0.2, 4}, {8, 0}, {6, 200}} << true << true
            << QList<double>{0.1, 10, 1, 1000};
        QTest::newRow("log with no positive point keeps the limits")
            << false << QList<QPointF>{{-1, 5}, {0, 6}} << true << false << QList<double>{0, 1, 0, 1};
        QTest::newRow("no points keeps the limits")
            << false << QList<QPointF>{} << false << false << QList<double>{0, 1, 0, 1};
    }

    void autoScalesAxes()
    {
        QFETCH(bool, useReferences);
        QFETCH(QList<QPointF>, reals);
        QFETCH(bool, xLog);
        QFETCH(bool, yLog);
        QFETCH(QList<double>, limits);
        // Without a calibration only the points count.
        const Calibration calibration =
            useReferences ? testsupport::calibrationOf(QLineF(100, 500, 500, 500), 0, 10, false,
                                                       QLineF(100, 500, 100, 100), 20, 0, false)
                          : Calibration();
        GraphSettings s;
        s.xLog = xLog;
        s.yLog = yLog;
        autoScaleAxes(s, calibration, {curveThrough(reals)});
        QVERIFY2(testsupport::fuzzyEqual(s.xMin, limits[0]), qPrintable(QString::number(s.xMin)));
        QVERIFY2(testsupport::fuzzyEqual(s.xMax, limits[1]), qPrintable(QString::number(s.xMax)));
        QVERIFY2(testsupport::fuzzyEqual(s.yMin, limits[2]), qPrintable(QString::number(s.yMin)));
        QVERIFY2(testsupport::fuzzyEqual(s.yMax, limits[3]), qPrintable(QString::number(s.yMax)));
    }

    void freshWindowSettingsOfAModel()
    {
        ProjectModel model;
        graphtestdata::fillTwoCurveProject(model);
        GraphSettings expected;
        expected.xMax = 10;
        expected.yMax = 20;
        QVERIFY(initialGraphSettings(model) == expected);

        // A stored record replaces automatic limits, even a partial one.
        model.setRegeneratedGraphSettings(QJsonObject{{"dpi", 150}, {"xMax", 7.5}});
        GraphSettings stored;
        stored.dpi = 150;
        stored.xMax = 7.5;
        stored.yMax = 20;                               // a limit the record lacks comes from the data
        stored.curveSmoothing = CurveSmoothing::Spline; // stored before the choice existed
        QVERIFY(initialGraphSettings(model) == stored);

        const GraphSettings full = unusualSettings();
        model.setRegeneratedGraphSettings(full.toJson());
        QVERIFY(initialGraphSettings(model) == full);
    }

    void olderRecordsKeepDraggedTexts_data()
    {
        QTest::addColumn<QPointF>("titlePos");
        QTest::addColumn<bool>("titleMoved");
        const double mm = 300 / 25.4;
        QTest::newRow("where older versions put it") << QPointF(2362 * 0.42, 3 * mm) << false;
        QTest::newRow("dragged") << QPointF(300, 80) << true;
    }
    void olderRecordsKeepDraggedTexts()
    {
        QFETCH(QPointF, titlePos);
        QFETCH(bool, titleMoved);
        const double mm = 300 / 25.4;
        QJsonObject older = GraphSettings().toJson();
        for (const char *key : {"titleMoved", "xLabelMoved", "yLabelMoved", "legendMoved"})
            older.remove(QString::fromLatin1(key));
        older.insert("textLayoutInitialized", true);
        older.insert("titlePos", QJsonObject{{"x", titlePos.x()}, {"y", titlePos.y()}});
        older.insert("xLabelPos", QJsonObject{{"x", 2362 * 0.48}, {"y", 1476 - 9 * mm}});
        older.insert("yLabelPos", QJsonObject{{"x", 2 * mm}, {"y", 1476 * 0.55}});
        ProjectModel model;
        model.setRegeneratedGraphSettings(older);
        const GraphSettings read = initialGraphSettings(model);
        QCOMPARE(read.titleMoved, titleMoved);
        QVERIFY(!read.xLabelMoved && !read.yLabelMoved);
    }

    void missingLimitsShowTheData()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(graphtestdata::pixelOf(2, 3));
        model.addPoint(graphtestdata::pixelOf(13, 31));
        // A record naming a title and the x limits only.
        model.setRegeneratedGraphSettings({{"title", "Only a title"}, {"xMin", 1.0}, {"xMax", 2.0}});
        const GraphSettings read = initialGraphSettings(model);
        QCOMPARE(read.xMin, 1.0);
        QCOMPARE(read.xMax, 2.0);
        QVERIFY(read.yMin <= 0.0 && read.yMax >= 31.0);
    }

    void limitsBeyondAnyClamp_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<bool>("drawable");
        QTest::newRow("up to 1e13") << 0.0 << 1e13 << true;
        QTest::newRow("tiny") << 1e-30 << 3e-30 << true;
        QTest::newRow("near the largest double") << 1e300 << 1.5e308 << true;
        QTest::newRow("too far apart for a double") << -1.5e308 << 1.5e308 << false;
    }
    void limitsBeyondAnyClamp()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(bool, drawable);
        GraphSettings s;
        s.applyJson({{"yMin", low}, {"yMax", high}});
        // Stored as given, never cut to a range.
        QCOMPARE(s.yMin, low);
        QCOMPARE(s.yMax, high);
        const QString problem = axisProblem(s);
        QCOMPARE(problem.isEmpty(), drawable);
        if (!drawable)
            QVERIFY(problem.contains(QStringLiteral("Y axis")));
    }

    void textsFollowTheOutputSize()
    {
        GraphSettings s;
        const QSize before(2362, 1476);
        const QSize after(4724, 2952);
        const double mm = 300 / 25.4;
        s.textLayoutInitialized = true;
        s.titlePos = QPointF(1000, 3 * mm);
        s.xLabelPos = QPointF(1100, 1476 - 9 * mm);
        s.yLabelPos = QPointF(2 * mm, 800);
        const QRectF plot = plotRectangle(before, 300);
        const QRectF grown = plotRectangle(after, 300);
        GraphLabel onPlot;
        onPlot.pos = plot.topLeft() + QPointF(plot.width() * 0.25, plot.height() * 0.5);
        s.labels = {onPlot};
        const GraphSettings original = s;
        followOutputSize(s, before, 300, after);
        // In a margin: same distance from that edge.
        QCOMPARE(s.titlePos.y(), original.titlePos.y());
        QVERIFY(testsupport::fuzzyEqual(s.xLabelPos.y(), 2952.0 - (1476 - original.xLabelPos.y())));
        QCOMPARE(s.yLabelPos.x(), original.yLabelPos.x());
        // Over the plot: same place relative to it.
        QVERIFY(testsupport::fuzzyEqual(s.labels.at(0).pos.x(), grown.left() + grown.width() * 0.25));
        QVERIFY(testsupport::fuzzyEqual(s.labels.at(0).pos.y(), grown.top() + grown.height() * 0.5));

        // Another DPI at the same centimetres scales every position with it.
        GraphSettings finer = original;
        finer.dpi = 600;
        followOutputSize(finer, before, 300, outputPixelSize(finer));
        // Up to the pixel that rounding the new size adds.
        const auto near = [](const QPointF &a, const QPointF &b) { return QLineF(a, b).length() < 1.0; };
        QVERIFY(near(finer.titlePos, original.titlePos * 2.0));
        QVERIFY(near(finer.labels.at(0).pos, original.labels.at(0).pos * 2.0));

        // Before the first layout there is nothing to move.
        GraphSettings fresh;
        followOutputSize(fresh, before, 300, after);
        QCOMPARE(fresh.titlePos, QPointF(0, 0));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestRegeneratedSettings)
#include "tst_regenerated_settings.moc"
