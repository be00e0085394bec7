#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QRandomGenerator>

#include <functional>
#include <map>

using testsupport::SignalLog;

namespace {

const QString calibrationMessage = QStringLiteral("Completa prima la calibrazione degli assi X e Y.");

// A calibrated model with two curves: "A" (three points) and "B" (one point, active last).
void fillTwoCurves(ProjectModel &model)
{
    testsupport::calibrate(model);
    model.addPoint(QPointF(110, 490), QStringLiteral("A"));
    model.addPoint(QPointF(200, 400), QStringLiteral("A"));
    model.addPoint(QPointF(300, 300), QStringLiteral("A"));
    model.addCurve(QStringLiteral("B"));
    model.addPoint(QPointF(400, 200));
}

using Action = std::function<void(ProjectModel &)>;

// Named scenarios for the signal-order table: each runs on a model prepared by
// fillTwoCurves, whose selection is then B's point 0 (cleared first for the
// scenarios named "unselected" or "without selection").
const std::map<QString, Action> &actions()
{
    static const std::map<QString, Action> table = {
        {"addPoint", [](ProjectModel &m) { m.addPoint(QPointF(1, 1)); }},
        {"insertPoint", [](ProjectModel &m) { m.insertPoint(0, 1, QPointF(1, 1)); }},
        {"insertPoint bad curve", [](ProjectModel &m) { m.insertPoint(7, 0, QPointF(1, 1)); }},
        {"appendPoints",
         [](ProjectModel &m) {
             m.appendPoints("C", {QPointF(1, 1), QPointF(2, 2)});
         }},
        {"appendPoints none", [](ProjectModel &m) { m.appendPoints("A", {}); }},
        {"addCurve with selection", [](ProjectModel &m) { m.addCurve(); }},
        {"addCurve without selection", [](ProjectModel &m) { m.addCurve(); }},
        {"removeCurve", [](ProjectModel &m) { m.removeCurve(0); }},
        {"removeCurve out of range", [](ProjectModel &m) { m.removeCurve(2); }},
        {"setActiveCurveIndex other", [](ProjectModel &m) { m.setActiveCurveIndex(0); }},
        {"setActiveCurveIndex same", [](ProjectModel &m) { m.setActiveCurveIndex(1); }},
        {"setCurveMetadata", [](ProjectModel &m) { m.setCurveMetadata(0, "A", "", ""); }},
        {"setCurveVisible change", [](ProjectModel &m) { m.setCurveVisible(0, false); }},
        {"setCurveVisible same", [](ProjectModel &m) { m.setCurveVisible(0, true); }},
        {"setCurveStyle", [](ProjectModel &m) { m.setCurveStyle(0, Qt::blue, 2.0); }},
        {"setActiveCurveMetadata", [](ProjectModel &m) { m.setActiveCurveMetadata("B", "T", "1"); }},
        {"setActiveCurveName new", [](ProjectModel &m) { m.setActiveCurveName("C"); }},
        {"setActiveCurveName same", [](ProjectModel &m) { m.setActiveCurveName(" B "); }},
        {"setActiveCurveParameterName", [](ProjectModel &m) { m.setActiveCurveParameterName("T"); }},
        {"setActiveCurveParameterValue same", [](ProjectModel &m) { m.setActiveCurveParameterValue(" "); }},
        {"selectPoint", [](ProjectModel &m) { m.selectPoint(0, 2); }},
        {"selectNearestPoint same", [](ProjectModel &m) { m.selectNearestPoint(QPointF(401, 200), 5); }},
        {"selectNearestPoint other", [](ProjectModel &m) { m.selectNearestPoint(QPointF(200, 401), 5); }},
        {"selectNearestPoint miss", [](ProjectModel &m) { m.selectNearestPoint(QPointF(0, 0), 5); }},
        {"selectNearestPoint miss unselected",
         [](ProjectModel &m) { m.selectNearestPoint(QPointF(0, 0), 5); }},
        {"clearSelection", [](ProjectModel &m) { m.clearSelection(); }},
        {"moveSelectedPoint", [](ProjectModel &m) { m.moveSelectedPoint(QPointF(5, 5)); }},
        {"setPointReal", [](ProjectModel &m) { m.setPointReal(0, 0, QPointF(1, 1)); }},
        {"deleteSelectedPoint", [](ProjectModel &m) { m.deleteSelectedPoint(); }},
        {"undoLastPointInsertion", [](ProjectModel &m) { m.undoLastPointInsertion(); }},
        {"clearPoints", [](ProjectModel &m) { m.clearPoints(); }},
        {"setAxisX", [](ProjectModel &m) { m.setAxisX(QLineF(0, 0, 10, 0), 0, 1); }},
        {"setSourcePath", [](ProjectModel &m) { m.setSourcePath("/tmp/x.png"); }},
        {"setVisibleLayers", [](ProjectModel &m) { m.setVisibleLayers(15); }},
        {"setVisibleLayers same", [](ProjectModel &m) { m.setVisibleLayers(7); }},
        {"setRenderDpi", [](ProjectModel &m) { m.setRenderDpi(300); }},
        {"resetProject", [](ProjectModel &m) { m.resetProject(); }},
    };
    return table;
}

void checkInvariants(const ProjectModel &model)
{
    QVERIFY(!model.curves().isEmpty());
    const bool hasIndex = model.selectedPointIndex() != -1;
    QCOMPARE(hasIndex, !model.selectedPointCurveName().isEmpty());
    if (hasIndex) {
        const int curve = model.indexOfCurve(model.selectedPointCurveName());
        QVERIFY(curve >= 0);
        QVERIFY(model.selectedPointIndex() >= 0);
        QVERIFY(model.selectedPointIndex() < model.curves()[curve].points.size());
    }
    for (const Curve &curve : model.curves()) {
        for (const CurvePoint &point : curve.points)
            QCOMPARE(point.curveName, curve.name);
    }
}

QStringList curveNames(const ProjectModel &model)
{
    QStringList names;
    for (const Curve &curve : model.curves())
        names.append(curve.name);
    return names;
}

} // namespace

class TestProjectModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshModel()
    {
        ProjectModel model;
        QCOMPARE(model.curves().size(), 1);
        const Curve &curve = model.curves().first();
        QCOMPARE(curve.name, QStringLiteral("Curve 1"));
        QCOMPARE(curve.color, QColor(0xd3, 0x2f, 0x2f));
        QCOMPARE(curve.lineWidth, 2.0);
        QVERIFY(curve.visible);
        QVERIFY(curve.points.isEmpty());
        QCOMPARE(model.activeCurveName(), QStringLiteral("Curve 1"));
        QCOMPARE(model.activeCurveIndex(), 0);
        QCOMPARE(model.visibleLayers(), 7u);
        QCOMPARE(model.renderDpi(), 150);
        QCOMPARE(model.selectedPointIndex(), -1);
        QVERIFY(!model.calibration().isComplete());
        QVERIFY(model.lastError().isEmpty());
    }

    void layerFlagsAreRegistered()
    {
        const QMetaEnum layers = QMetaEnum::fromType<ProjectModel::VisibleLayer>();
        QCOMPARE(layers.keyToValue("SourceLayer"), 1);
        QCOMPARE(layers.keyToValue("AxesLayer"), 2);
        QCOMPARE(layers.keyToValue("PointsLayer"), 4);
        QCOMPARE(layers.keyToValue("GridLayer"), 8);
        QCOMPARE(layers.keyToValue("AllMvpLayers"), 7);
    }

    void declarationOrder()
    {
        const QMetaObject &meta = ProjectModel::staticMetaObject;
        QStringList signalNames;
        QStringList invokables;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Signal)
                signalNames.append(QString::fromLatin1(method.name()));
            else if (method.methodType() == QMetaMethod::Method && !invokables.contains(method.name()))
                invokables.append(QString::fromLatin1(method.name()));
        }
        QCOMPARE(signalNames, (QStringList{"sourcePathChanged", "visibleLayersChanged", "pdfInfoChanged",
                                           "calibrationChanged", "pointsChanged", "activeCurveChanged",
                                           "selectedPointChanged", "curvesChanged", "sourceImageChanged",
                                           "regeneratedGraphSettingsChanged", "projectAboutToBeReplaced",
                                           "errorOccurred", "pointGroupChanged"}));
        QCOMPARE(invokables, (QStringList{"loadSource",
                                          "startProjectFromSource",
                                          "setAxisX",
                                          "setAxisY",
                                          "addPoint",
                                          "insertPoint",
                                          "appendPoints",
                                          "addCurve",
                                          "removeCurve",
                                          "setActiveCurveIndex",
                                          "setCurveMetadata",
                                          "setCurveVisible",
                                          "setCurveStyle",
                                          "setActiveCurveMetadata",
                                          "selectPoint",
                                          "selectNearestPoint",
                                          "clearSelection",
                                          "moveSelectedPoint",
                                          "setPointReal",
                                          "deleteSelectedPoint",
                                          "undoLastPointInsertion",
                                          "clearPoints",
                                          "deletePoints",
                                          "movePoints",
                                          "selectPointGroup",
                                          "selectPointGroupIn",
                                          "clearPointGroup",
                                          "deletePointGroup",
                                          "movePointGroup",
                                          "exportCsv",
                                          "exportSvg",
                                          "saveProject",
                                          "openProject",
                                          "resetProject",
                                          "lastError"}));
    }

    // The acceptance case: a click at (300,300) reads (5,10), and typing (5,10)
    // back lands on (300,300), all driven by operation name.
    void drivenByNameThroughMetaObject()
    {
        ProjectModel model;
        QVERIFY(QMetaObject::invokeMethod(&model, "setAxisX", Q_ARG(QLineF, QLineF(100, 500, 500, 500)),
                                          Q_ARG(double, 0.0), Q_ARG(double, 10.0)));
        QVERIFY(QMetaObject::invokeMethod(&model, "setAxisY", Q_ARG(QLineF, QLineF(100, 500, 100, 100)),
                                          Q_ARG(double, 0.0), Q_ARG(double, 20.0)));
        QVERIFY(QMetaObject::invokeMethod(&model, "addPoint", Q_ARG(QPointF, QPointF(300, 300)),
                                          Q_ARG(QString, QString())));
        const CurvePoint added = model.curves()[0].points[0];
        QCOMPARE(added.real, QPointF(5, 10));

        QVERIFY(QMetaObject::invokeMethod(&model, "moveSelectedPoint", Q_ARG(QPointF, QPointF(10, 10))));
        bool accepted = false;
        QVERIFY(QMetaObject::invokeMethod(&model, "setPointReal", Q_RETURN_ARG(bool, accepted), Q_ARG(int, 0),
                                          Q_ARG(int, 0), Q_ARG(QPointF, QPointF(5, 10))));
        QVERIFY(accepted);
        const CurvePoint typed = model.curves()[0].points[0];
        QVERIFY(testsupport::fuzzyEqual(typed.pixel.x(), 300));
        QVERIFY(testsupport::fuzzyEqual(typed.pixel.y(), 300));
        QCOMPARE(typed.real, QPointF(5, 10));

        int index = -1;
        QVERIFY(QMetaObject::invokeMethod(&model, "addCurve", Q_RETURN_ARG(int, index),
                                          Q_ARG(QString, QStringLiteral("Second"))));
        QCOMPARE(index, 1);
        QCOMPARE(model.property("activeCurveName").toString(), QStringLiteral("Second"));
        QCOMPARE(model.property("pointsPixel").toList().size(), 1);
    }

    void signalOrder_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expected");
        const QStringList four{"pointsChanged", "selectedPointChanged", "activeCurveChanged",
                               "curvesChanged"};
        QTest::newRow("addPoint") << "addPoint" << four;
        QTest::newRow("insertPoint") << "insertPoint" << four;
        QTest::newRow("insertPoint bad curve") << "insertPoint bad curve" << QStringList();
        QTest::newRow("appendPoints") << "appendPoints" << four;
        QTest::newRow("appendPoints none") << "appendPoints none" << QStringList();
        QTest::newRow("addCurve with selection")
            << "addCurve with selection"
            << QStringList{"selectedPointChanged", "activeCurveChanged", "curvesChanged"};
        QTest::newRow("addCurve without selection")
            << "addCurve without selection" << QStringList{"activeCurveChanged", "curvesChanged"};
        QTest::newRow("removeCurve") << "removeCurve" << four;
        QTest::newRow("removeCurve out of range") << "removeCurve out of range" << QStringList();
        QTest::newRow("setActiveCurveIndex other")
            << "setActiveCurveIndex other" << QStringList{"activeCurveChanged"};
        QTest::newRow("setActiveCurveIndex same") << "setActiveCurveIndex same" << QStringList();
        QTest::newRow("setCurveMetadata")
            << "setCurveMetadata"
            << QStringList{"activeCurveChanged", "curvesChanged", "pointsChanged", "selectedPointChanged"};
        QTest::newRow("setCurveVisible change")
            << "setCurveVisible change" << QStringList{"curvesChanged", "pointsChanged"};
        QTest::newRow("setCurveVisible same") << "setCurveVisible same" << QStringList();
        QTest::newRow("setCurveStyle") << "setCurveStyle" << QStringList{"curvesChanged", "pointsChanged"};
        QTest::newRow("setActiveCurveMetadata")
            << "setActiveCurveMetadata"
            << QStringList{"activeCurveChanged", "curvesChanged", "pointsChanged", "selectedPointChanged"};
        QTest::newRow("setActiveCurveName new")
            << "setActiveCurveName new" << QStringList{"activeCurveChanged", "curvesChanged"};
        QTest::newRow("setActiveCurveName same") << "setActiveCurveName same" << QStringList();
        QTest::newRow("setActiveCurveParameterName")
            << "setActiveCurveParameterName" << QStringList{"activeCurveChanged", "curvesChanged"};
        QTest::newRow("setActiveCurveParameterValue same")
            << "setActiveCurveParameterValue same" << QStringList();
        QTest::newRow("selectPoint") << "selectPoint"
                                     << QStringList{"selectedPointChanged", "activeCurveChanged"};
        QTest::newRow("selectNearestPoint same")
            << "selectNearestPoint same" << QStringList{"activeCurveChanged"};
        QTest::newRow("selectNearestPoint other")
            << "selectNearestPoint other" << QStringList{"selectedPointChanged", "activeCurveChanged"};
        QTest::newRow("selectNearestPoint miss")
            << "selectNearestPoint miss" << QStringList{"selectedPointChanged"};
        QTest::newRow("selectNearestPoint miss unselected")
            << "selectNearestPoint miss unselected" << QStringList();
        QTest::newRow("clearSelection") << "clearSelection" << QStringList{"selectedPointChanged"};
        QTest::newRow("moveSelectedPoint") << "moveSelectedPoint" << QStringList{"pointsChanged"};
        QTest::newRow("setPointReal")
            << "setPointReal" << QStringList{"pointsChanged", "selectedPointChanged"};
        QTest::newRow("deleteSelectedPoint")
            << "deleteSelectedPoint" << QStringList{"pointsChanged", "selectedPointChanged"};
        QTest::newRow("undoLastPointInsertion")
            << "undoLastPointInsertion" << QStringList{"pointsChanged", "selectedPointChanged"};
        QTest::newRow("clearPoints") << "clearPoints" << QStringList{"pointsChanged", "selectedPointChanged"};
        QTest::newRow("setAxisX") << "setAxisX" << QStringList{"calibrationChanged", "pointsChanged"};
        QTest::newRow("setSourcePath") << "setSourcePath" << QStringList{"sourcePathChanged"};
        QTest::newRow("setVisibleLayers") << "setVisibleLayers" << QStringList{"visibleLayersChanged"};
        QTest::newRow("setVisibleLayers same") << "setVisibleLayers same" << QStringList();
        QTest::newRow("setRenderDpi") << "setRenderDpi" << QStringList{"pdfInfoChanged"};
        QTest::newRow("resetProject") << "resetProject"
                                      << QStringList{"projectAboutToBeReplaced",
                                                     "regeneratedGraphSettingsChanged",
                                                     "sourcePathChanged",
                                                     "visibleLayersChanged",
                                                     "pdfInfoChanged",
                                                     "calibrationChanged",
                                                     "pointsChanged",
                                                     "selectedPointChanged",
                                                     "activeCurveChanged",
                                                     "curvesChanged",
                                                     "sourceImageChanged"};
    }
    void signalOrder()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, expected);
        ProjectModel model;
        fillTwoCurves(model);
        if (action.endsWith(QLatin1String("unselected")) ||
            action.endsWith(QLatin1String("without selection")))
            model.clearSelection();
        SignalLog log(model);
        actions().at(action)(model);
        QCOMPARE(log.names(), expected);
        checkInvariants(model);
    }

    void pointCreationNeedsCalibration()
    {
        ProjectModel model;
        model.setAxisX(QLineF(100, 500, 500, 500), 0, 10);
        SignalLog log(model);
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        model.addPoint(QPointF(1, 1));
        QVERIFY(!model.insertPoint(0, 0, QPointF(1, 1)));
        QVERIFY(!model.appendPoints(QString(), {QPointF(1, 1)}));
        QCOMPARE(log.names(), (QStringList{"errorOccurred", "errorOccurred", "errorOccurred"}));
        QCOMPARE(errors.at(0).at(0).toString(), calibrationMessage);
        QCOMPARE(model.lastError(), calibrationMessage);
        QVERIFY(model.curves()[0].points.isEmpty());
        QVERIFY(model.insertionHistory().isEmpty());
    }

    void addPointTakesOverPlaceholder()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(300, 300), QStringLiteral("  Pump A "));
        QCOMPARE(curveNames(model), QStringList{"Pump A"});
        QCOMPARE(model.activeCurveName(), QStringLiteral("Pump A"));
        QCOMPARE(model.curves()[0].points[0].curveName, QStringLiteral("Pump A"));
        QCOMPARE(model.selectedPointCurveName(), QStringLiteral("Pump A"));
        QCOMPARE(model.selectedPointIndex(), 0);
        // A second name now adds a curve: the placeholder is gone.
        model.addPoint(QPointF(310, 300), QStringLiteral("Pump B"));
        QCOMPARE(curveNames(model), (QStringList{"Pump A", "Pump B"}));
        QCOMPARE(model.insertionHistory(), (QList<InsertionRecord>{{"Pump A", 0}, {"Pump B", 0}}));
    }

    void appendPointsFillsNamedCurve()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(300, 300), QStringLiteral("Theory"));
        // Path order is kept, even where x runs back.
        const QList<QPointF> pixels{{100, 500}, {300, 300}, {200, 100}};
        QVERIFY(model.appendPoints(QStringLiteral(" Theory "), pixels));
        QCOMPARE(curveNames(model), QStringList{"Theory"});
        const QList<CurvePoint> &points = model.curves()[0].points;
        QCOMPARE(points.size(), 4);
        QCOMPARE(points[1].real, QPointF(0, 0));
        QCOMPARE(points[3].pixel, QPointF(200, 100));
        QCOMPARE(points[3].real, QPointF(2.5, 20));
        QCOMPARE(model.selectedPointIndex(), 3);
        // A missing curve is created and becomes the active one.
        QVERIFY(model.appendPoints(QStringLiteral("Measured"), {QPointF(150, 450)}));
        QCOMPARE(curveNames(model), (QStringList{"Theory", "Measured"}));
        QCOMPARE(model.activeCurveName(), QStringLiteral("Measured"));
        QCOMPARE(model.insertionHistory().size(), 5);
        QCOMPARE(model.insertionHistory().last(), (InsertionRecord{"Measured", 0}));
    }

    void addCurveNames_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fallback after hand-named Curve 3")
            << QStringList{"Curve 1", "Curve 2"} << QString() << "Curve 3";
        QTest::newRow("duplicate gets a number") << QStringList{"Curve 1", "Curve 2"} << "Curve 1"
                                                 << "Curve 1 2";
        QTest::newRow("trimmed") << QStringList{"Curve 1"} << "  Flow  "
                                 << "Flow";
        QTest::newRow("fallback taken") << QStringList{"Curve 2"} << ""
                                        << "Curve 2 2";
        QTest::newRow("blank name uses fallback") << QStringList{"Curve 1"} << "   "
                                                  << "Curve 2";
        QTest::newRow("numbers skip taken") << QStringList{"X", "X 2", "X 3"} << "X"
                                            << "X 4";
    }
    void addCurveNames()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, requested);
        QFETCH(QString, expected);
        ProjectModel model;
        model.setCurveMetadata(0, existing.first(), QString(), QString());
        for (int i = 1; i < existing.size(); ++i)
            model.addCurve(existing[i]);
        QCOMPARE(curveNames(model), existing);
        const int index = model.addCurve(requested, " p ", " 3 ");
        QCOMPARE(index, existing.size());
        QCOMPARE(model.curves()[index].name, expected);
        QCOMPARE(model.curves()[index].parameterName, QStringLiteral("p"));
        QCOMPARE(model.curves()[index].parameterValue, QStringLiteral("3"));
        QCOMPARE(model.activeCurveName(), expected);
    }

    void renameKeepsReferences()
    {
        ProjectModel model;
        fillTwoCurves(model);
        model.selectPoint(0, 1);
        QVERIFY(model.setCurveMetadata(0, " Pressure ", " T ", " 25 C "));
        const Curve &curve = model.curves()[0];
        QCOMPARE(curve.name, QStringLiteral("Pressure"));
        QCOMPARE(curve.parameterName, QStringLiteral("T"));
        QCOMPARE(curve.parameterValue, QStringLiteral("25 C"));
        QCOMPARE(model.activeCurveName(), QStringLiteral("Pressure"));
        QCOMPARE(model.selectedPointCurveName(), QStringLiteral("Pressure"));
        QCOMPARE(model.insertionHistory().first().curveName, QStringLiteral("Pressure"));
        checkInvariants(model);

        // Renaming onto another curve's name stays unique; an empty name keeps the old one.
        QVERIFY(model.setCurveMetadata(0, "B", "", ""));
        QCOMPARE(curveNames(model), (QStringList{"B 2", "B"}));
        QVERIFY(model.setCurveMetadata(1, "  ", "", ""));
        QCOMPARE(model.curves()[1].name, QStringLiteral("B"));
        QVERIFY(!model.setCurveMetadata(2, "C", "", ""));

        // Undo still finds the renamed curve's last insertion.
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[1].points.size(), 0);
    }

    void setActiveCurveMetadataTargets()
    {
        ProjectModel model;
        fillTwoCurves(model); // active "B", selection on B
        model.setActiveCurveMetadata("A", "p", "1");
        // "A" exists and is not active: it becomes the target, nothing is renamed.
        QCOMPARE(curveNames(model), (QStringList{"A", "B"}));
        QCOMPARE(model.activeCurveName(), QStringLiteral("A"));
        QCOMPARE(model.curves()[0].parameterName, QStringLiteral("p"));
        QCOMPARE(model.selectedPointCurveName(), QStringLiteral("B"));

        model.setActiveCurveIndex(1);
        model.setActiveCurveMetadata(" Renamed ", "", "");
        QCOMPARE(curveNames(model), (QStringList{"A", "Renamed"}));
        QCOMPARE(model.curves()[1].points[0].curveName, QStringLiteral("Renamed"));
        QCOMPARE(model.selectedPointCurveName(), QStringLiteral("Renamed"));
        checkInvariants(model);
        model.setActiveCurveMetadata("", "", "");
        QCOMPARE(model.activeCurveName(), QStringLiteral("Curve 1"));
        checkInvariants(model);
    }

    void activeCurveParameters()
    {
        ProjectModel model;
        model.setActiveCurveParameterName("  Speed ");
        model.setActiveCurveParameterValue(" 1500 ");
        QCOMPARE(model.activeCurveParameterName(), QStringLiteral("Speed"));
        QCOMPARE(model.activeCurveParameterValue(), QStringLiteral("1500"));
        model.setActiveCurveName("Other");
        // The empty placeholder was renamed, not joined by a second curve.
        QCOMPARE(curveNames(model), QStringList{"Other"});
        QCOMPARE(model.activeCurveParameterName(), QStringLiteral("Speed"));
    }

    void selectNearest_data()
    {
        QTest::addColumn<QPointF>("click");
        QTest::addColumn<double>("radius");
        QTest::addColumn<bool>("hideFirst");
        QTest::addColumn<QString>("curve");
        QTest::addColumn<int>("index");
        // Curve "A" has (100,100) and (120,100); curve "B" has (100,120).
        QTest::newRow("nearest point") << QPointF(118, 100) << 9.0 << false << "A" << 1;
        QTest::newRow("tie goes to earlier curve") << QPointF(100, 110) << 10.0 << false << "A" << 0;
        QTest::newRow("tie within curve goes to lower index")
            << QPointF(110, 100) << 10.0 << false << "A" << 0;
        QTest::newRow("exactly at the radius") << QPointF(100, 129) << 9.0 << false << "B" << 0;
        QTest::newRow("just beyond the radius") << QPointF(100, 129.001) << 9.0 << false << "" << -1;
        QTest::newRow("hidden curve ignored") << QPointF(100, 110) << 10.0 << true << "B" << 0;
        QTest::newRow("only hidden in range") << QPointF(121, 100) << 3.0 << true << "" << -1;
    }
    void selectNearest()
    {
        QFETCH(QPointF, click);
        QFETCH(double, radius);
        QFETCH(bool, hideFirst);
        QFETCH(QString, curve);
        QFETCH(int, index);
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(100, 100), "A");
        model.addPoint(QPointF(120, 100), "A");
        model.addPoint(QPointF(100, 120), "B");
        model.setCurveVisible(0, !hideFirst);
        QCOMPARE(model.selectNearestPoint(click, radius), index >= 0);
        QCOMPARE(model.selectedPointCurveName(), curve);
        QCOMPARE(model.selectedPointIndex(), index);
        if (index >= 0)
            QCOMPARE(model.activeCurveName(), curve);
    }

    void insertPositionIsBounded_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("expected");
        QTest::newRow("negative") << -5 << 0;
        QTest::newRow("middle") << 1 << 1;
        QTest::newRow("end") << 2 << 2;
        QTest::newRow("beyond end") << 99 << 2;
    }
    void insertPositionIsBounded()
    {
        QFETCH(int, requested);
        QFETCH(int, expected);
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(100, 500));
        model.addPoint(QPointF(500, 500));
        QVERIFY(model.insertPoint(0, requested, QPointF(300, 300)));
        const QList<CurvePoint> &points = model.curves()[0].points;
        QCOMPARE(points.size(), 3);
        QCOMPARE(points[expected].pixel, QPointF(300, 300));
        QCOMPARE(points[expected].real, QPointF(5, 10));
        QCOMPARE(model.selectedPointIndex(), expected);
        QCOMPARE(model.insertionHistory().last().pointIndex, expected);
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[0].points.size(), 2);
        QVERIFY(!model.curves()[0].points.contains(CurvePoint{QPointF(300, 300), QPointF(5, 10), "Curve 1"}));
    }

    void undoUnwindsInsertionsInOrder()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(100, 100));
        model.addPoint(QPointF(300, 100));
        model.insertPoint(0, 1, QPointF(200, 100));
        model.addPoint(QPointF(150, 150), "Other");
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[1].points.size(), 0);
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[0].points.size(), 2);
        QCOMPARE(model.curves()[0].points[1].pixel, QPointF(300, 100));
        QVERIFY(model.undoLastPointInsertion());
        QVERIFY(model.undoLastPointInsertion());
        QVERIFY(model.curves()[0].points.isEmpty());
        QVERIFY(!model.undoLastPointInsertion());
        QCOMPARE(model.selectedPointIndex(), -1);
    }

    void undoSkipsStaleRecords()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(100, 100), "A");
        model.addPoint(QPointF(110, 100), "B");
        model.addPoint(QPointF(120, 100), "B");
        // Renaming through the active-curve metadata leaves B's records behind.
        model.setActiveCurveMetadata("C", "", "");
        SignalLog log(model);
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[0].points.size(), 0);
        QCOMPARE(model.curves()[1].points.size(), 2);
        QCOMPARE(log.names(), (QStringList{"pointsChanged", "selectedPointChanged"}));
        QVERIFY(model.insertionHistory().isEmpty());
    }

    void deletionClearsHistory()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(100, 100));
        model.addPoint(QPointF(200, 100));
        model.addPoint(QPointF(300, 100));
        QVERIFY(model.deleteSelectedPoint());
        QCOMPARE(model.selectedPointIndex(), 1); // bounded to the new last point
        QVERIFY(!model.undoLastPointInsertion());
        QCOMPARE(model.curves()[0].points.size(), 2);
        model.selectPoint(0, 0);
        QVERIFY(model.deleteSelectedPoint());
        QCOMPARE(model.selectedPointIndex(), 0);
        QVERIFY(model.deleteSelectedPoint());
        QCOMPARE(model.selectedPointIndex(), -1);
        QVERIFY(model.selectedPointCurveName().isEmpty());
        QVERIFY(!model.deleteSelectedPoint());
    }

    void removeCurveKeepsOneCurve()
    {
        ProjectModel model;
        fillTwoCurves(model);
        QVERIFY(model.removeCurve(1)); // the active one
        QCOMPARE(model.activeCurveName(), QStringLiteral("A"));
        QVERIFY(model.removeCurve(0));
        QCOMPARE(curveNames(model), QStringList{"Curve 1"});
        QVERIFY(model.curves()[0].points.isEmpty());
        QCOMPARE(model.activeCurveName(), QStringLiteral("Curve 1"));
        QVERIFY(model.insertionHistory().isEmpty());
        QVERIFY(!model.removeCurve(1));
        QVERIFY(!model.removeCurve(-1));
    }

    void removingEarlierCurveKeepsActive()
    {
        ProjectModel model;
        fillTwoCurves(model);
        model.addCurve("C");
        model.setActiveCurveIndex(2);
        QVERIFY(model.removeCurve(0));
        QCOMPARE(model.activeCurveName(), QStringLiteral("C"));
        model.setActiveCurveIndex(1);
        QVERIFY(model.removeCurve(1));
        QCOMPARE(model.activeCurveName(), QStringLiteral("B"));
    }

    void lineWidthIsClamped_data()
    {
        QTest::addColumn<double>("requested");
        QTest::addColumn<double>("stored");
        QTest::newRow("zero") << 0.0 << 0.1;
        QTest::newRow("negative") << -4.0 << 0.1;
        QTest::newRow("minimum") << 0.1 << 0.1;
        QTest::newRow("ordinary") << 3.5 << 3.5;
        QTest::newRow("maximum") << 30.0 << 30.0;
        QTest::newRow("too wide") << 100.0 << 30.0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0.1;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 30.0;
    }
    void lineWidthIsClamped()
    {
        QFETCH(double, requested);
        QFETCH(double, stored);
        ProjectModel model;
        QVERIFY(model.setCurveStyle(0, QColor(1, 2, 3, 128), requested));
        QCOMPARE(model.curves()[0].lineWidth, stored);
        QCOMPARE(model.curves()[0].color, QColor(1, 2, 3, 128));
    }

    void setPointRealRefusals()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(300, 300));
        const CurvePoint before = model.curves()[0].points[0];
        QVERIFY(!model.setPointReal(0, 1, QPointF(1, 1)));
        QVERIFY(!model.setPointReal(1, 0, QPointF(1, 1)));
        QVERIFY(!model.setPointReal(0, 0, QPointF(std::numeric_limits<double>::quiet_NaN(), 1)));
        QVERIFY(!model.setPointReal(0, 0, QPointF(1, std::numeric_limits<double>::infinity())));
        model.setAxisY(QLineF(100, 300, 500, 300), 0, 20); // parallel to X
        QVERIFY(!model.setPointReal(0, 0, QPointF(1, 1)));
        QCOMPARE(model.curves()[0].points[0].pixel, before.pixel);
    }

    void axisChangeRecomputesReals()
    {
        ProjectModel model;
        model.setAxisX(QLineF(100, 500, 500, 500), 0, 10);
        model.setAxisY(QLineF(100, 500, 100, 100), 0, 20);
        model.addPoint(QPointF(300, 300));
        model.setAxisX(QLineF(100, 500, 500, 500), 0, 100);
        QCOMPARE(model.curves()[0].points[0].real, QPointF(50, 10));
        // An axis made invalid keeps the last real values.
        model.setAxisY(QLineF(100, 500, 100, 100), 5, 5);
        QVERIFY(!model.calibration().isComplete());
        QCOMPARE(model.curves()[0].points[0].real, QPointF(50, 10));
        QVERIFY(model.selectNearestPoint(QPointF(300, 300), 1));
        QVERIFY(model.moveSelectedPoint(QPointF(310, 300)));
        QCOMPARE(model.curves()[0].points[0].real, QPointF(0, 0));
    }

    // A log Y axis set through the model: reals follow it, a typed value that
    // the axis cannot show is refused, and the CSV carries the log values.
    void logAxisThroughModel()
    {
        ProjectModel model;
        model.setAxisX(QLineF(100, 500, 500, 500), 1970, 2015);
        model.setAxisY(QLineF(100, 500, 100, 100), 1, 1000, true);
        QVERIFY(model.calibration().yLogScale);
        QVERIFY(!model.calibration().xLogScale);
        model.addPoint(QPointF(300, 300));
        model.addPoint(QPointF(500, 100));
        QCOMPARE(model.curves()[0].points[0].real.x(), 1992.5);
        QVERIFY(testsupport::fuzzyEqual(model.curves()[0].points[0].real.y(), std::sqrt(1000.0)));
        QVERIFY(testsupport::fuzzyEqual(model.curves()[0].points[1].real.y(), 1000.0));

        QVERIFY(!model.setPointReal(0, 0, QPointF(2000, 0)));
        QVERIFY(!model.setPointReal(0, 0, QPointF(2000, -5)));
        QVERIFY(model.setPointReal(0, 0, QPointF(2000, 10)));
        QVERIFY(testsupport::fuzzyEqual(model.curves()[0].points[0].pixel.y(), 500 - 400.0 / 3));

        const QString csv = testsupport::sandbox().filePath("log.csv");
        QVERIFY(model.exportCsv(csv));
        const QList<QByteArray> lines = testsupport::readFile(csv).split('\n');
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines[1], QByteArray("\"Curve 1\",\"\",\"\",2000,10,366.666666666667,366.666666666667"));
        QCOMPARE(lines[2], QByteArray("\"Curve 1\",\"\",\"\",2015,1000,500,100"));

        // The scale survives the project document, and a linear axis set again drops it.
        ProjectModel reopened;
        QVERIFY(reopened.applyProjectJson(model.projectJson(), QString(), true));
        QCOMPARE(reopened.calibration(), model.calibration());
        reopened.setAxisY(QLineF(100, 500, 100, 100), 0, 1000);
        QVERIFY(!reopened.calibration().yLogScale);
        QVERIFY(testsupport::fuzzyEqual(reopened.curves()[0].points[1].real.y(), 1000.0));
    }

    void resetRestoresInitialState()
    {
        ProjectModel model;
        fillTwoCurves(model);
        model.setVisibleLayers(1);
        model.setRenderDpi(600);
        model.setSourcePath("/x/y.png");
        model.setRegeneratedGraphSettings({{"title", "T"}});
        model.setGraphViewSettings({{"zoom", 2}});
        model.addPoint(QPointF(1, 1), "gone");
        model.resetProject();
        QCOMPARE(curveNames(model), QStringList{"Curve 1"});
        QCOMPARE(model.activeCurveName(), QStringLiteral("Curve 1"));
        QCOMPARE(model.calibration(), Calibration());
        QCOMPARE(model.visibleLayers(), 7u);
        QCOMPARE(model.renderDpi(), 150);
        QVERIFY(model.sourcePath().isEmpty());
        QVERIFY(model.regeneratedGraphSettings().isEmpty());
        QVERIFY(model.graphViewSettings().isEmpty());
        QVERIFY(model.insertionHistory().isEmpty());
        QCOMPARE(model.selectedPointIndex(), -1);
    }

    void renderDpiIsBounded_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("stored");
        QTest::newRow("too low") << 10 << 36;
        QTest::newRow("too high") << 5000 << 1200;
        QTest::newRow("ordinary") << 300 << 300;
    }
    void renderDpiIsBounded()
    {
        QFETCH(int, requested);
        QFETCH(int, stored);
        ProjectModel model;
        model.setRenderDpi(requested);
        QCOMPARE(model.renderDpi(), stored);
    }

    // A long random run of operations must never break the invariants or names' uniqueness.
    void randomOperationsKeepInvariants()
    {
        ProjectModel model;
        testsupport::calibrate(model);
        QRandomGenerator random(20261208);
        for (int step = 0; step < 3000; ++step) {
            const int curves = int(model.curves().size());
            const QPointF pixel(random.bounded(600), random.bounded(600));
            switch (random.bounded(12)) {
            case 0: model.addPoint(pixel); break;
            case 1: model.insertPoint(random.bounded(curves + 1), random.bounded(-2, 8), pixel); break;
            case 2: model.addCurve(random.bounded(3) ? QString() : QStringLiteral("Curve 2")); break;
            case 3: model.removeCurve(random.bounded(curves + 1)); break;
            case 4:
                model.setCurveMetadata(random.bounded(curves),
                                       QStringLiteral("Curve %1").arg(random.bounded(4)), "", "");
                break;
            case 5: model.selectNearestPoint(pixel, random.bounded(80)); break;
            case 6: model.deleteSelectedPoint(); break;
            case 7: model.undoLastPointInsertion(); break;
            case 8: model.moveSelectedPoint(pixel); break;
            case 9: model.setCurveVisible(random.bounded(curves), random.bounded(2)); break;
            case 10: model.selectPoint(random.bounded(curves), random.bounded(5)); break;
            case 11: model.setActiveCurveIndex(random.bounded(curves)); break;
            }
            checkInvariants(model);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("invariant broken at step %1").arg(step)));
            const QStringList names = curveNames(model);
            QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        }
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestProjectModel)
#include "tst_projectmodel.moc"
