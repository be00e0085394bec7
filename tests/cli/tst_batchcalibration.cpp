#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/cli/batchrun.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>

// The batch step that prints the calibration.
class TestBatchCalibration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(!qEnvironmentVariableIsEmpty("PLOTMASON_EXECUTABLE")); }

    // One line per mark and per axis, tab-separated, in pixels and values as
    // stored; the residuals are those of the fit the model reads with.
    void printCalibration()
    {
        ProjectModel model;
        model.setSourceImage(testsupport::chartImage(640, 480), QString());
        const QList<CalibrationMark> xMarks{{QPointF(100, 400), 0},
                                            {QPointF(200, 400), 25},
                                            {QPointF(300, 400), 50},
                                            {QPointF(400, 400), 60},
                                            {QPointF(500, 400), 100}};
        QVERIFY(model.setAxisMarks(true, xMarks, false));
        model.setAxisY(QLineF(100, 400, 100, 100), 1, 1000, true);
        const QString project = testsupport::sandbox().filePath(QStringLiteral("marks.pmproj"));
        QString error;
        QVERIFY(saveProjectFile(project, model, &error));
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--print-calibration")});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5 + 1 + 2 + 1);
        QCOMPARE(lines[1], QStringLiteral("mark\tX\t200\t400\t25\t0"));
        const QStringList mistyped = lines[3].split(QLatin1Char('\t'));
        QCOMPARE(mistyped.mid(0, 5), (QStringList{"mark", "X", "400", "400", "60"}));
        QCOMPARE(mistyped[5].toDouble(), 60.0);
        QCOMPARE(lines[5].split(QLatin1Char('\t')).mid(0, 2), (QStringList{"axis", "X"}));
        QCOMPARE(lines[5].split(QLatin1Char('\t'))[3].toDouble(), 4.0);
        QCOMPARE(lines[6], QStringLiteral("mark\tY\t100\t400\t1\t0"));
        QCOMPARE(lines[8], QStringLiteral("axis\tY\t0\t100\tlog"));

        // An axis that is not set prints nothing; the other still does.
        model.setAxisY(QLineF(100, 400, 100, 100), 5, 5);
        const QString flat = testsupport::sandbox().filePath(QStringLiteral("flat.pmproj"));
        QVERIFY(saveProjectFile(flat, model, &error));
        const Run none = plotmason({QStringLiteral("--open"), flat, QStringLiteral("--print-calibration")});
        QCOMPARE(none.exitCode, 0);
        QVERIFY(none.out.startsWith(QLatin1String("mark\tX")));
        QVERIFY(!none.out.contains(QLatin1String("\tY\t")));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchCalibration)
#include "tst_batchcalibration.moc"
