#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <limits>

using testsupport::SignalLog;

namespace {

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    if (!testsupport::writeFile(path, bytes))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QString makeFolder(const QString &name)
{
    QDir(testsupport::sandbox().path()).mkpath(name);
    return testsupport::sandbox().filePath(name);
}

// A calibrated project with a picture, two curves (one translucent and hidden)
// and both opaque settings objects.
void buildProject(ProjectModel &model, const QString &picturePath)
{
    testsupport::chartImage().save(picturePath);
    QVERIFY(model.loadSource(picturePath));
    testsupport::calibrate(model);
    model.addPoint(QPointF(150, 450), QStringLiteral("Head \"H\""));
    model.addPoint(QPointF(300.25, 300.5));
    model.addCurve(QStringLiteral("Efficiency"), QStringLiteral("n"), QStringLiteral("1,5"));
    model.addPoint(QPointF(200, 200));
    model.setCurveStyle(1, QColor(10, 20, 30, 128), 4.5);
    model.setCurveVisible(1, false);
    model.setVisibleLayers(ProjectModel::SourceLayer | ProjectModel::GridLayer);
    model.setRegeneratedGraphSettings({{QStringLiteral("title"), QStringLiteral("Pump")}});
    model.setGraphViewSettings({{QStringLiteral("zoom"), 2.5}});
}

QJsonObject minimalProject()
{
    return {{QStringLiteral("format"), QStringLiteral("PlotmasonProject")}, {QStringLiteral("version"), 1}};
}

QString writeProject(const QString &name, const QJsonObject &object)
{
    return writeBytes(testsupport::sandbox().filePath(name), QJsonDocument(object).toJson());
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedFileListsKeysInOrder()
    {
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("keys.png")));
        const QString path = testsupport::sandbox().filePath(QStringLiteral("keys.pmproj"));
        QVERIFY(model.saveProject(path));
        const QByteArray bytes = testsupport::readFile(path);
        QCOMPARE(bytes, QJsonDocument(model.projectJson()).toJson(QJsonDocument::Indented));
        QStringList topLevel;
        for (const QByteArray &line : bytes.split('\n')) {
            if (line.startsWith("    \"") && !line.startsWith("     "))
                topLevel.append(QString::fromUtf8(line.mid(5, line.indexOf('"', 5) - 5)));
        }
        QCOMPARE(topLevel, (QStringList{"calibration", "curves", "format", "graphViewSettings", "pdfPage",
                                        "pdfPageCount", "regeneratedGraphSettings", "renderDpi", "sourcePath",
                                        "version", "visibleLayers"}));
        const QJsonObject json = model.projectJson();
        QCOMPARE(json.value("format").toString(), QStringLiteral("PlotmasonProject"));
        QCOMPARE(json.value("version").toInt(), 1);
        QCOMPARE(json.value("visibleLayers").toInteger(), 9);
        const QJsonObject hidden = json.value("curves").toArray().at(1).toObject();
        QCOMPARE(hidden.value("color").toString(), QStringLiteral("#800a141e"));
        QCOMPARE(hidden.value("visible").toBool(true), false);
        const QJsonObject point =
            json.value("curves").toArray().at(0).toObject().value("points").toArray().at(1).toObject();
        QCOMPARE(point.keys(), (QStringList{"curve_name", "x_pixel", "x_reale", "y_pixel", "y_reale"}));
        QCOMPARE(point.value("x_reale").toDouble(), 5.00625);
    }

    void roundTrip()
    {
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("round.png")));
        const QString path = testsupport::sandbox().filePath(QStringLiteral("round.pmproj"));
        QVERIFY(model.saveProject(path));
        ProjectModel reopened;
        QVERIFY(reopened.openProject(path));
        QCOMPARE(reopened.projectJson(), model.projectJson());
        QCOMPARE(reopened.curves(), model.curves());
        QCOMPARE(reopened.curves()[1].color.alpha(), 128);
        QCOMPARE(reopened.sourceImage().size(), model.sourceImage().size());
        QCOMPARE(reopened.activeCurveName(), model.curves().first().name);
    }

    void projectMovedWithItsPicture()
    {
        const QString first = makeFolder(QStringLiteral("before"));
        ProjectModel model;
        buildProject(model, QDir(first).filePath(QStringLiteral("chart.png")));
        QVERIFY(model.saveProject(QDir(first).filePath(QStringLiteral("p.pmproj"))));
        const QString moved = testsupport::sandbox().filePath(QStringLiteral("after"));
        QVERIFY(QDir().rename(first, moved));

        ProjectModel reopened;
        QVERIFY2(reopened.openProject(QDir(moved).filePath(QStringLiteral("p.pmproj"))),
                 qPrintable(reopened.lastError()));
        QCOMPARE(reopened.sourcePath(), QDir(moved).filePath(QStringLiteral("chart.png")));
        QVERIFY(!reopened.sourceImage().isNull());
        QJsonObject expected = model.projectJson();
        expected.insert(QStringLiteral("sourcePath"), reopened.sourcePath());
        QCOMPARE(reopened.projectJson(), expected);
    }

    void relativeSourceNextToProject()
    {
        const QString folder = makeFolder(QStringLiteral("relative"));
        testsupport::chartImage(320, 200).save(QDir(folder).filePath(QStringLiteral("pic.png")));
        QJsonObject project = minimalProject();
        project.insert(QStringLiteral("sourcePath"), QStringLiteral("pic.png"));
        const QString path =
            writeBytes(QDir(folder).filePath(QStringLiteral("r.pmproj")), QJsonDocument(project).toJson());
        // Opened from somewhere else: the working directory must not matter.
        QDir::setCurrent(QDir::rootPath());
        ProjectModel model;
        const bool opened = model.openProject(path);
        QDir::setCurrent(testsupport::sandbox().path());
        QVERIFY2(opened, qPrintable(model.lastError()));
        QCOMPARE(model.sourceImage().size(), QSize(320, 200));
        QCOMPARE(model.sourcePath(), QDir(folder).filePath(QStringLiteral("pic.png")));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("format with trailing blank")
            << QByteArray(R"({"format":"PlotmasonProject ","curves":[]})")
            << "Formato progetto non riconosciuto.";
        QTest::newRow("format missing")
            << QByteArray(R"({"curves":[]})") << "Formato progetto non riconosciuto.";
        QTest::newRow("format not a string")
            << QByteArray(R"({"format":1})") << "Formato progetto non riconosciuto.";
        QTest::newRow("array at top level") << QByteArray(R"([{"format":"PlotmasonProject"}])")
                                            << "Progetto JSON non valido: radice non oggetto.";
        QTest::newRow("not JSON") << QByteArray("PlotmasonProject")
                                  << "Progetto JSON non valido: illegal value";
        QTest::newRow("truncated") << QByteArray(R"({"format":"PlotmasonProject","curves":[{"name":)")
                                   << "Progetto JSON non valido: unterminated object";
        QTest::newRow("empty file") << QByteArray() << "Progetto JSON non valido: illegal value";
        QTest::newRow("missing source")
            << QByteArray(R"({"format":"PlotmasonProject","sourcePath":"/nowhere/gone.png"})")
            << "File sorgente non trovato: /nowhere/gone.png";
    }
    void refusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("kept.png")));
        const QJsonObject before = model.projectJson();
        const QString path =
            writeBytes(testsupport::sandbox().filePath(QStringLiteral("bad.pmproj")), content);
        SignalLog log(model);
        QVERIFY(!model.openProject(path));
        QCOMPARE(model.lastError(), message);
        // One message for the user, and the project on screen is untouched.
        QCOMPARE(log.names(), QStringList{"errorOccurred"});
        QCOMPARE(model.projectJson(), before);
        QVERIFY(!model.sourceImage().isNull());
    }

    void unreadableFile()
    {
        ProjectModel model;
        QVERIFY(!model.openProject(testsupport::sandbox().filePath(QStringLiteral("absent.pmproj"))));
        QVERIFY(!model.lastError().isEmpty());
        QVERIFY(!model.openProject(testsupport::sandbox().path())); // a directory
        QVERIFY(!model.lastError().isEmpty());
    }

    void tolerantValues_data()
    {
        QTest::addColumn<QByteArray>("fragment");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("renderDpi too low") << QByteArray(R"("renderDpi":10)") << "renderDpi" << QVariant(36);
        QTest::newRow("renderDpi too high")
            << QByteArray(R"("renderDpi":99999)") << "renderDpi" << QVariant(1200);
        QTest::newRow("renderDpi as text")
            << QByteArray(R"("renderDpi":"300")") << "renderDpi" << QVariant(300);
        QTest::newRow("renderDpi huge") << QByteArray(R"("renderDpi":1e300)") << "renderDpi" << QVariant(150);
        QTest::newRow("pdfPage negative") << QByteArray(R"("pdfPage":-3)") << "pdfPage" << QVariant(0);
        QTest::newRow("visibleLayers missing")
            << QByteArray(R"("version":1)") << "visibleLayers" << QVariant(7u);
        QTest::newRow("visibleLayers wide")
            << QByteArray(R"("visibleLayers":4294967304)") << "visibleLayers" << QVariant(8u);
        QTest::newRow("visibleLayers as bool")
            << QByteArray(R"("visibleLayers":true)") << "visibleLayers" << QVariant(7u);
        QTest::newRow("curves not an array") << QByteArray(R"("curves":{"name":"x"})") << "activeCurveName"
                                             << QVariant(QStringLiteral("Curve 1"));
        QTest::newRow("curves empty")
            << QByteArray(R"("curves":[])") << "activeCurveName" << QVariant(QStringLiteral("Curve 1"));
        QTest::newRow("curve not an object")
            << QByteArray(R"("curves":[7])") << "activeCurveName" << QVariant(QStringLiteral("Curve 1"));
        QTest::newRow("first curve active") << QByteArray(R"("curves":[{"name":"B"},{"name":"A"}])")
                                            << "activeCurveName" << QVariant(QStringLiteral("B"));
    }
    void tolerantValues()
    {
        QFETCH(QByteArray, fragment);
        QFETCH(QString, property);
        QFETCH(QVariant, expected);
        const QByteArray content = R"({"format":"PlotmasonProject",)" + fragment + "}";
        const QString path =
            writeBytes(testsupport::sandbox().filePath(QStringLiteral("tolerant.pmproj")), content);
        ProjectModel model;
        QVERIFY2(model.openProject(path), qPrintable(model.lastError()));
        QCOMPARE(model.property(property.toLatin1()), expected);
        QVERIFY(!model.curves().isEmpty());
    }

    void tolerantCurves()
    {
        const QByteArray content = R"({"format":"PlotmasonProject","curves":[
            {"name":5,"color":"no colour","lineWidth":100,"visible":"no","parameterName":["x"],
             "points":[{"x_pixel":"1","y_pixel":2,"x_reale":3,"y_reale":4},"junk",{"curve_name":"other"}]},
            {"color":"#80102030","lineWidth":0}],
            "calibration":[1,2],"regeneratedGraphSettings":"text","graphViewSettings":{"zoom":3}})";
        const QString path =
            writeBytes(testsupport::sandbox().filePath(QStringLiteral("curves.pmproj")), content);
        ProjectModel model;
        QVERIFY2(model.openProject(path), qPrintable(model.lastError()));
        QCOMPARE(model.curves().size(), 2);
        const Curve &first = model.curves()[0];
        QCOMPARE(first.name, QStringLiteral("Curve 1"));
        QCOMPARE(first.color, defaultCurveColor());
        QCOMPARE(first.lineWidth, 30.0);
        QCOMPARE(first.visible, true);
        QVERIFY(first.parameterName.isEmpty());
        QCOMPARE(first.points.size(), 3);
        QCOMPARE(first.points[0].pixel, QPointF(1, 2)); // a number typed as text is read
        QCOMPARE(first.points[0].real, QPointF(3, 4));  // incomplete calibration: stored values stay
        QCOMPARE(first.points[1], (CurvePoint{QPointF(), QPointF(), QStringLiteral("Curve 1")}));
        QCOMPARE(first.points[2].curveName, QStringLiteral("Curve 1")); // the holding curve's name
        const Curve &second = model.curves()[1];
        QCOMPARE(second.color, QColor(0x10, 0x20, 0x30, 0x80));
        QCOMPARE(second.lineWidth, 0.1);
        // A name the first curve already has is made unique.
        QCOMPARE(second.name, QStringLiteral("Curve 1 2"));
        QCOMPARE(model.calibration(), Calibration());
        QVERIFY(model.regeneratedGraphSettings().isEmpty());
        QCOMPARE(model.graphViewSettings().value("zoom").toInt(), 3);
    }

    // A colour with more digits than the file keeps is held as it will be saved.
    void wideColourIsHeldAsSaved()
    {
        const QByteArray content =
            R"({"format":"PlotmasonProject","curves":[{"name":"A","color":"#2ff2e7d32"}]})";
        const QString path =
            writeBytes(testsupport::sandbox().filePath(QStringLiteral("wide.pmproj")), content);
        ProjectModel model;
        QVERIFY(model.openProject(path));
        const QString saved = testsupport::sandbox().filePath(QStringLiteral("wide-saved.pmproj"));
        QVERIFY(model.saveProject(saved));
        ProjectModel reopened;
        QVERIFY(reopened.openProject(saved));
        QCOMPARE(reopened.curves(), model.curves());
    }

    void completeCalibrationRecomputesReals()
    {
        ProjectModel source;
        testsupport::calibrate(source);
        QJsonObject project = minimalProject();
        project.insert(QStringLiteral("calibration"), source.calibration().toJson());
        project.insert(QStringLiteral("curves"),
                       QJsonArray{QJsonObject{{"name", "A"},
                                              {"points", QJsonArray{QJsonObject{{"x_pixel", 300},
                                                                                {"y_pixel", 300},
                                                                                {"x_reale", 99},
                                                                                {"y_reale", 99},
                                                                                {"curve_name", "A"}}}}}});
        ProjectModel model;
        QVERIFY(model.openProject(writeProject(QStringLiteral("reals.pmproj"), project)));
        QCOMPARE(model.curves()[0].points[0].real, QPointF(5, 10));
    }

    void openReplacesStateAndSignals()
    {
        ProjectModel model;
        buildProject(model, testsupport::sandbox().filePath(QStringLiteral("signals.png")));
        model.selectPoint(0, 0);
        const QString path = testsupport::sandbox().filePath(QStringLiteral("signals.pmproj"));
        QVERIFY(model.saveProject(path));
        QJsonObject other = model.projectJson();
        other.insert(QStringLiteral("sourcePath"), QString());
        other.insert(QStringLiteral("curves"), QJsonArray{QJsonObject{{"name", "Only"}}});
        const QString otherPath = writeProject(QStringLiteral("other.pmproj"), other);

        SignalLog log(model);
        QVERIFY(model.openProject(path));
        QCOMPARE(log.names(), (QStringList{"projectAboutToBeReplaced", "selectedPointChanged",
                                           "pdfInfoChanged", "sourceImageChanged", "visibleLayersChanged",
                                           "calibrationChanged", "pointsChanged", "activeCurveChanged",
                                           "curvesChanged", "regeneratedGraphSettingsChanged"}));
        QVERIFY(model.insertionHistory().isEmpty());
        QVERIFY(!model.undoLastPointInsertion());

        // A project without a source does not keep the previous project's picture.
        log.clear();
        QVERIFY(model.openProject(otherPath));
        QCOMPARE(log.names(), (QStringList{"projectAboutToBeReplaced", "sourcePathChanged", "pdfInfoChanged",
                                           "sourceImageChanged", "visibleLayersChanged", "calibrationChanged",
                                           "pointsChanged", "activeCurveChanged", "curvesChanged",
                                           "regeneratedGraphSettingsChanged"}));
        QVERIFY(model.sourcePath().isEmpty());
        QVERIFY(model.sourceImage().isNull());
        QCOMPARE(model.curves().size(), 1);
    }

    void duplicateCurveNamesBecomeUnique_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("two alike") << QStringList{"A", "A"} << QStringList{"A", "A 2"};
        QTest::newRow("suffix already taken")
            << QStringList{"A", "A", "A 2"} << QStringList{"A", "A 3", "A 2"};
        QTest::newRow("first of three kept")
            << QStringList{"B", "C", "B", "B"} << QStringList{"B", "C", "B 2", "B 3"};
        QTest::newRow("distinct kept") << QStringList{"A", "B"} << QStringList{"A", "B"};
    }
    void duplicateCurveNamesBecomeUnique()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, names);
        QJsonObject project = minimalProject();
        QJsonArray curves;
        for (int i = 0; i < stored.size(); ++i) {
            const QJsonObject point{{"x_pixel", 100 + 50 * i}, {"y_pixel", 200}, {"curve_name", stored[i]}};
            curves.append(QJsonObject{{"name", stored[i]}, {"points", QJsonArray{point}}});
        }
        project.insert(QStringLiteral("curves"), curves);
        ProjectModel model;
        QVERIFY(model.applyProjectJson(project, QString(), true));
        QStringList loaded;
        for (const Curve &curve : model.curves()) {
            loaded.append(curve.name);
            QCOMPARE(curve.points.first().curveName, curve.name);
        }
        QCOMPARE(loaded, names);
        // A click on the last curve's point reaches that point, not a namesake's.
        const int last = int(names.size()) - 1;
        QVERIFY(model.selectNearestPoint(QPointF(100 + 50 * last, 200), 5));
        QCOMPARE(model.selectedPointCurveName(), names.last());
        QVERIFY(model.deleteSelectedPoint());
        QVERIFY(model.curves()[last].points.isEmpty());
        for (int i = 0; i < last; ++i)
            QCOMPARE(model.curves()[i].points.size(), 1);
    }

    void allowMissingSourceKeepsPath()
    {
        QJsonObject project = minimalProject();
        project.insert(QStringLiteral("sourcePath"), QStringLiteral("/gone/away.png"));
        project.insert(QStringLiteral("pdfPage"), 4);
        ProjectModel model;
        model.loadSource(QStringLiteral("also-missing.png")); // leaves an error behind
        QVERIFY(model.applyProjectJson(project, testsupport::sandbox().path(), true));
        QCOMPARE(model.sourcePath(), QStringLiteral("/gone/away.png"));
        QVERIFY(model.sourceImage().isNull());
        QCOMPARE(model.pdfPage(), 4); // kept for the day the file is back
        QVERIFY(model.lastError().isEmpty());
        QVERIFY(!model.applyProjectJson(QJsonObject{{"format", "Other"}}, QString(), true));
    }

    // The database's fast compact text and the project file's indented one must
    // be the writer's own, byte for byte.
    void compactTextIsTheWritersText_data()
    {
        QTest::addColumn<QList<double>>("pixels"); // x, y pairs
        QTest::addColumn<QString>("curveName");
        QTest::addColumn<QString>("pointName"); // the name stored with the points
        QTest::addColumn<bool>("foreignKeys");  // keys of another program on points and curves
        const double largest = std::numeric_limits<double>::max();
        const double smallest = std::numeric_limits<double>::denorm_min();
        QTest::newRow("plain") << QList<double>{150, 450, 300.25, 300.5} << "Head"
                               << "Head" << false;
        QTest::newRow("awkward numbers") << QList<double>{0.1,
                                                          1e-7,
                                                          1e21,
                                                          -0.0,
                                                          123456789.123456789,
                                                          0.30000000000000004,
                                                          9007199254740993.0,
                                                          9007199254740991.0,
                                                          -9007199254740992.0,
                                                          1e15,
                                                          4503599627370496.5,
                                                          -2.5e-300,
                                                          largest,
                                                          smallest}
                                         << "Curve 1"
                                         << "Curve 1" << false;
        QTest::newRow("escaped name")
            << QList<double>{1, 2, 3, 4} << "q\"b\\s/\x01\t\n\x7f M\u00fcller \u20ac \U0001F4C8"
            << "q\"b\\s/\x01\t\n\x7f M\u00fcller \u20ac \U0001F4C8" << false;
        QTest::newRow("points named otherwise") << QList<double>{5, 6, 7, 8} << "Efficiency"
                                                << "Old name" << false;
        QTest::newRow("keys of another program") << QList<double>{5, 6, 7.5, 8} << "Efficiency"
                                                 << "Efficiency" << true;
        QTest::newRow("no points") << QList<double>{} << "Empty"
                                   << "Empty" << false;
    }
    void compactTextIsTheWritersText()
    {
        QFETCH(QList<double>, pixels);
        QFETCH(QString, curveName);
        QFETCH(QString, pointName);
        QFETCH(bool, foreignKeys);
        QJsonArray points;
        for (qsizetype i = 0; i + 1 < pixels.size(); i += 2) {
            QJsonObject point{{QStringLiteral("x_pixel"), pixels[i]},
                              {QStringLiteral("y_pixel"), pixels[i + 1]},
                              {QStringLiteral("curve_name"), pointName}};
            if (foreignKeys && i == 0)
                point.insert(QStringLiteral("weight"),
                             QJsonObject{{QStringLiteral("kg"), QJsonArray{1, "a"}}});
            points.append(point);
        }
        QJsonObject first{{QStringLiteral("name"), curveName}, {QStringLiteral("points"), points}};
        if (foreignKeys)
            first.insert(QStringLiteral("style"), QJsonObject{{QStringLiteral("dash"), QJsonArray{}}});
        QJsonObject project = minimalProject();
        project.insert(QStringLiteral("curves"),
                       QJsonArray{first, QJsonObject{{QStringLiteral("name"), QStringLiteral("Second")},
                                                     {QStringLiteral("points"), points}}});
        // Opaque settings that spell what the text is assembled around.
        project.insert(QStringLiteral("regeneratedGraphSettings"),
                       QJsonObject{{QStringLiteral("curves"), QJsonArray{}},
                                   {QStringLiteral("points"),
                                    QStringLiteral("{00000000-0000-0000-0000-000000000000}")}});
        ProjectModel model;
        QVERIFY(model.applyProjectJson(project, QString(), false));
        testsupport::calibrate(model); // real values with many digits
        QCOMPARE(model.compactProjectJson(),
                 QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));
        QCOMPARE(model.indentedProjectJson(),
                 QJsonDocument(model.projectJson()).toJson(QJsonDocument::Indented));
    }

    // Work that never draws the picture opens a project without reading it,
    // and keeps what the document says about it.
    void openWithoutPicture()
    {
        ProjectModel original;
        const QString picture = testsupport::sandbox().filePath(QStringLiteral("unread.png"));
        buildProject(original, picture);
        QJsonObject document = original.projectJson();
        document.insert(QStringLiteral("pdfPage"), 3);
        document.insert(QStringLiteral("pdfPageCount"), 5);
        const QString path = writeProject(QStringLiteral("unread.pmproj"), document);
        ProjectModel model;
        QString error;
        QVERIFY(openProjectFile(path, model, &error, ProjectPicture::Unread));
        QVERIFY(model.sourceImage().isNull());
        QCOMPARE(model.sourcePath(), picture);
        QCOMPARE(model.pdfPage(), 3);
        QCOMPARE(model.pdfPageCount(), 5);
        QCOMPARE(model.projectJson(), document);

        QVERIFY(QFile::remove(picture));
        ProjectModel gone;
        QVERIFY(openProjectFile(path, gone, &error, ProjectPicture::Unread));
        QCOMPARE(gone.projectJson(), document);
        QVERIFY(!openProjectFile(path, gone, &error));
        QVERIFY2(error.contains(QLatin1String("non trovato")), qPrintable(error));
    }

    void saveFailures()
    {
        ProjectModel model;
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        const QString blocker =
            writeBytes(testsupport::sandbox().filePath(QStringLiteral("plain-file")), "x");
        QVERIFY(!model.saveProject(blocker + QStringLiteral("/inside.pmproj")));
        QCOMPARE(errors.size(), 1);
        QVERIFY(!model.lastError().isEmpty());
        QVERIFY(!model.saveProject(makeFolder(QStringLiteral("a-directory"))));
        QCOMPARE(errors.size(), 2);
        QVERIFY(QFileInfo(testsupport::sandbox().filePath(QStringLiteral("a-directory"))).isDir());
        QString error;
        QVERIFY(!saveProjectFile(blocker + QStringLiteral("/x"), model, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::readFile(blocker), QByteArray("x"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestProjectFile)
#include "tst_projectfile.moc"
