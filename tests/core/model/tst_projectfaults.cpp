// Hand-edited files and files of a newer version: what is read, what is
// refused and what survives a save.
#include "core/io/csvwriter.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QUndoStack>

#include <limits>

namespace {

QString sandboxPath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// One curve "Flow" with two points, an incomplete calibration (stored real
// values stay as written) and nothing else.
QJsonObject smallProject()
{
    const QJsonArray points{
        QJsonObject{{"x_pixel", 10}, {"y_pixel", 20}, {"x_reale", 1}, {"y_reale", 2}, {"curve_name", "Flow"}},
        QJsonObject{
            {"x_pixel", 30}, {"y_pixel", 40}, {"x_reale", 3}, {"y_reale", 4}, {"curve_name", "Flow"}}};
    return {{"format", "PlotmasonProject"},
            {"version", 1},
            {"calibration", QJsonObject{{"xValue1", 0}, {"xValue2", 1}}},
            {"curves", QJsonArray{QJsonObject{{"name", "Flow"}, {"points", points}}}}};
}

QString writeJson(const QString &name, const QJsonObject &object)
{
    const QString path = sandboxPath(name);
    testsupport::writeFile(path, QJsonDocument(object).toJson());
    return path;
}

// The value at "place/key" of a document, the place being "top", "calibration",
// "curve" (the first) or "point" (the first point of the first curve).
QJsonValue valueAt(const QJsonObject &document, const QString &at)
{
    const QString place = at.section(u'/', 0, 0), key = at.section(u'/', 1);
    const QJsonObject curve = document.value("curves").toArray().first().toObject();
    if (place == QLatin1String("calibration"))
        return document.value("calibration").toObject().value(key);
    if (place == QLatin1String("curve"))
        return curve.value(key);
    if (place == QLatin1String("point"))
        return curve.value("points").toArray().first().toObject().value(key);
    return document.value(key);
}

QJsonObject withValueAt(QJsonObject document, const QString &at, const QJsonValue &value)
{
    const QString place = at.section(u'/', 0, 0), key = at.section(u'/', 1);
    QJsonArray curves = document.value("curves").toArray();
    QJsonObject curve = curves.first().toObject();
    QJsonArray points = curve.value("points").toArray();
    QJsonObject point = points.first().toObject();
    QJsonObject calibration = document.value("calibration").toObject();
    if (place == QLatin1String("calibration"))
        calibration.insert(key, value);
    else if (place == QLatin1String("curve"))
        curve.insert(key, value);
    else if (place == QLatin1String("point"))
        point.insert(key, value);
    else
        document.insert(key, value);
    points.replace(0, point);
    curve.insert("points", points);
    curves.replace(0, curve);
    document.insert("curves", curves);
    document.insert("calibration", calibration);
    return document;
}

} // namespace

class TestProjectFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newerVersionIsRefused_data()
    {
        QTest::addColumn<QJsonValue>("version");
        QTest::addColumn<QString>("refusal"); // empty when the file opens
        QTest::newRow("99") << QJsonValue(99)
                            << "versione 99 del formato; questo programma legge fino alla "
                               "versione 1.";
        QTest::newRow("2 as text") << QJsonValue("2") << "versione 2 del formato";
        QTest::newRow("1.5") << QJsonValue(1.5) << "versione 1.5 del formato";
        QTest::newRow("1") << QJsonValue(1) << QString();
        QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << QString();
        QTest::newRow("not a number") << QJsonValue("newest") << QString();
    }
    void newerVersionIsRefused()
    {
        QFETCH(QJsonValue, version);
        QFETCH(QString, refusal);
        // A newer layout that this program would read as empty.
        QJsonObject newer{{"format", "PlotmasonProject"},
                          {"series", QJsonArray{QJsonObject{{"title", "Head"}, {"data", QJsonArray{1, 2}}}}}};
        if (!version.isUndefined())
            newer.insert("version", version);
        const QString path = writeJson(QStringLiteral("newer.pmproj"), newer);
        const QByteArray before = testsupport::readFile(path);

        ProjectModel model;
        testsupport::calibrate(model);
        model.addPoint(QPointF(200, 300));
        const QList<Curve> curves = model.curves();
        const Calibration calibration = model.calibration();
        QString error;
        const bool opened = openProjectFile(path, model, &error);
        QCOMPARE(opened, refusal.isEmpty());
        if (opened)
            return;
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QCOMPARE(model.curves(), curves);
        QCOMPARE(model.calibration(), calibration);
        QCOMPARE(testsupport::readFile(path), before);
    }

    void unknownKeysSurviveLoadAndSave_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("top level object")
            << "top/annotations" << QJsonValue(QJsonArray{QJsonObject{{"text", "peak"}, {"x", 3}}});
        QTest::newRow("top level sorted first") << "top/aaa" << QJsonValue(true);
        QTest::newRow("calibration") << "calibration/rotation" << QJsonValue(1.5);
        QTest::newRow("curve") << "curve/errorBars" << QJsonValue(QJsonObject{{"kind", "relative"}});
        QTest::newRow("curve, before our keys") << "curve/a" << QJsonValue("first");
        QTest::newRow("point") << "point/uncertainty" << QJsonValue(0.25);
        QTest::newRow("point, between our keys") << "point/x_quality" << QJsonValue("good");
    }
    void unknownKeysSurviveLoadAndSave()
    {
        QFETCH(QString, at);
        QFETCH(QJsonValue, value);
        const QString path =
            writeJson(QStringLiteral("extra.pmproj"), withValueAt(smallProject(), at, value));
        ProjectModel model;
        QVERIFY2(model.openProject(path), qPrintable(model.lastError()));
        QVERIFY(model.saveProject(path));
        const QJsonObject saved = QJsonDocument::fromJson(testsupport::readFile(path)).object();
        QCOMPARE(valueAt(saved, at), value);
        QCOMPARE(valueAt(saved, "point/x_pixel"), QJsonValue(10));
        // The database's compact text is the writer's text, other keys included.
        QCOMPARE(model.compactProjectJson(),
                 QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));
        // A new project keeps nothing of the old one's keys.
        model.resetProject();
        QVERIFY(model.projectJson().value(at.section(u'/', 1)).isUndefined());
    }

    void handEditedValues_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<double>("read");
        QTest::newRow("pixel as text") << "point/x_pixel" << QJsonValue("160") << 160.0;
        QTest::newRow("blanks and exponent") << "point/y_pixel" << QJsonValue(" 1.5e2 ") << 150.0;
        QTest::newRow("real value") << "point/y_reale" << QJsonValue("-2.25") << -2.25;
        QTest::newRow("not a number") << "point/x_pixel" << QJsonValue("12px") << 0.0;
        QTest::newRow("nan as text") << "point/x_pixel" << QJsonValue("nan") << 0.0;
        QTest::newRow("comma decimal") << "point/x_reale" << QJsonValue("1,5") << 0.0;
        QTest::newRow("line width") << "curve/lineWidth" << QJsonValue("4.5") << 4.5;
        QTest::newRow("axis value") << "calibration/xValue2" << QJsonValue("25") << 25.0;
        QTest::newRow("resolution") << "top/renderDpi" << QJsonValue("300") << 300.0;
        QTest::newRow("resolution bounded") << "top/renderDpi" << QJsonValue("5000") << 1200.0;
        QTest::newRow("page") << "top/pdfPage" << QJsonValue("2") << 2.0;
        QTest::newRow("layers") << "top/visibleLayers" << QJsonValue("5") << 5.0;
    }
    void handEditedValues()
    {
        QFETCH(QString, at);
        QFETCH(QJsonValue, stored);
        QFETCH(double, read);
        ProjectModel model;
        // Without reading a picture, so that the stored page stays as read.
        QVERIFY(model.applyProjectJson(withValueAt(smallProject(), at, stored), QString(), true, false));
        const QJsonObject written = model.projectJson();
        QCOMPARE(valueAt(written, at).toDouble(-1), read);
        // Read as a number, so written as one.
        QVERIFY(valueAt(written, at).isDouble());
    }

    // A point belongs to the curve that holds it, whatever name it was stored with.
    void pointsBelongToTheirCurve()
    {
        ProjectModel model;
        QVERIFY(model.applyProjectJson(withValueAt(smallProject(), "point/curve_name", "Pressure"), QString(),
                                       true));
        for (const CurvePoint &point : model.curves().first().points)
            QCOMPARE(point.curveName, QStringLiteral("Flow"));
        const QString csv = sandboxPath(QStringLiteral("owners.csv"));
        QString error;
        QVERIFY(writeCurvesCsv(csv, model.curves(), &error));
        QVERIFY(!testsupport::readFile(csv).contains("Pressure"));
        QCOMPARE(valueAt(model.projectJson(), "point/curve_name"), QJsonValue("Flow"));
        QVERIFY(!model.compactProjectJson().contains("Pressure"));
    }

    void nonFiniteAxisValuesAreRefused_data()
    {
        QTest::addColumn<double>("value1");
        QTest::addColumn<double>("value2");
        QTest::addColumn<bool>("logScale");
        QTest::addColumn<bool>("refused");
        constexpr double largest = std::numeric_limits<double>::max();
        QTest::newRow("span overflows") << -1e308 << 1e308 << false << true;
        QTest::newRow("falling span overflows") << 1e308 << -1e308 << false << true;
        QTest::newRow("a point beyond the marks overflows") << 0.0 << 0.6 * largest << false << true;
        QTest::newRow("log decades overflow") << 1e-300 << 1e300 << true << true;
        QTest::newRow("large but finite") << 0.0 << 1e300 << false << false;
        QTest::newRow("ordinary") << 0.0 << 20.0 << false << false;
    }
    void nonFiniteAxisValuesAreRefused()
    {
        QFETCH(double, value1);
        QFETCH(double, value2);
        QFETCH(bool, logScale);
        QFETCH(bool, refused);
        ProjectModel model;
        testsupport::calibrate(model);
        // Twice as far from the origin as the X axis' second mark.
        model.addPoint(QPointF(900, 300));
        const Calibration before = model.calibration();
        const int steps = model.undoStack()->count();
        QSignalSpy errors(&model, &ProjectModel::errorOccurred);
        model.setAxisX(QLineF(100, 500, 500, 500), value1, value2, logScale);
        QCOMPARE(errors.size(), refused ? 1 : 0);
        QCOMPARE(model.calibration() == before, refused);
        QCOMPARE(model.undoStack()->count(), refused ? steps : steps + 1);
        if (refused) {
            QVERIFY(model.lastError().contains(QStringLiteral("non finiti")));
            return;
        }
        for (const CurvePoint &point : model.curves().first().points)
            QVERIFY(std::isfinite(point.real.x()) && std::isfinite(point.real.y()));
    }

    // Such values stored in a file leave the axis uncalibrated instead of
    // turning every value into nan or inf.
    void storedNonFiniteSpanIsNoCalibration()
    {
        Calibration calibration;
        calibration.axisXLine = QLineF(100, 500, 500, 500);
        calibration.xValue1 = -1e308;
        calibration.xValue2 = 1e308;
        calibration.axisXValid = true;
        QVERIFY(!Calibration::fromJson(calibration.toJson()).isAxisXValid());
        calibration.xValue1 = 0.0;
        QVERIFY(Calibration::fromJson(calibration.toJson()).isAxisXValid());
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestProjectFaults)
#include "tst_projectfaults.moc"
