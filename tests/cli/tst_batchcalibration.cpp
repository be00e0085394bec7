#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/cli/batchrun.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>

// The batch steps on the calibration: printing it, and finding it on the chart.
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

    // --auto-calibrate reads the chart's own axes, replaces the calibration and
    // recomputes the points; a picture without axes fails and changes nothing.
    void autoCalibrate_data()
    {
        QTest::addColumn<bool>("chart");
        QTest::newRow("drawn chart") << true;
        QTest::newRow("blank picture") << false;
    }
    void autoCalibrate()
    {
        QFETCH(bool, chart);
        // A frame from (100, 400) to (500, 100) for x 0..10 and y 0..100, labels every 2 and 20.
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(Qt::white);
        if (chart) {
            QPainter painter(&picture);
            QFont font(QStringLiteral("Sans"));
            font.setPixelSize(16);
            painter.setFont(font);
            painter.setPen(QPen(Qt::black, 2));
            painter.drawRect(QRectF(100, 100, 400, 300));
            for (int i = 0; i <= 5; ++i) {
                const double x = 100 + 80 * i, y = 400 - 60 * i;
                painter.drawLine(QPointF(x, 400), QPointF(x, 407));
                painter.drawText(QRectF(x - 30, 410, 60, 24), Qt::AlignHCenter | Qt::AlignTop,
                                 QString::number(2 * i));
                painter.drawLine(QPointF(100, y), QPointF(93, y));
                painter.drawText(QRectF(30, y - 12, 58, 24), Qt::AlignRight | Qt::AlignVCenter,
                                 QString::number(20 * i));
            }
        }
        const QString image = testsupport::sandbox().filePath(QStringLiteral("auto.png"));
        QVERIFY(picture.save(image));
        ProjectModel model;
        QVERIFY(model.loadSource(image));
        model.setAxisX(QLineF(0, 0, 100, 0), 0, 1); // wrong on purpose
        model.setAxisY(QLineF(0, 0, 0, 100), 0, 1);
        model.addPoint(QPointF(300, 250));
        const QString project = testsupport::sandbox().filePath(QStringLiteral("auto.pmproj"));
        QString error;
        QVERIFY(saveProjectFile(project, model, &error));
        const QByteArray before = testsupport::readFile(project);
        const Run run = plotmason({QStringLiteral("--open"), project, QStringLiteral("--auto-calibrate"),
                                   QStringLiteral("--export-csv"),
                                   testsupport::sandbox().filePath(QStringLiteral("auto.csv")),
                                   QStringLiteral("--save-project"), project});
        if (!chart) {
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err.trimmed(), QStringLiteral("No axes with readable tick labels were found."));
            QCOMPARE(testsupport::readFile(project), before);
            return;
        }
        QCOMPARE(run.exitCode, 0);
        ProjectModel calibrated;
        QVERIFY(openProjectFile(project, calibrated, &error));
        const QPointF real = calibrated.curves()[0].points[0].real;
        QVERIFY2(std::abs(real.x() - 5.0) < 0.01 && std::abs(real.y() - 50.0) < 0.1,
                 qPrintable(QStringLiteral("%1, %2").arg(real.x()).arg(real.y())));
        QVERIFY(
            testsupport::readFile(testsupport::sandbox().filePath(QStringLiteral("auto.csv"))).contains("5"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchCalibration)
#include "tst_batchcalibration.moc"
