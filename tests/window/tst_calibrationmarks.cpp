#include "tests/window/mainwindowfixture.h"

#include <QApplication>
#include <QUndoStack>

// Marking axes in the window: values refused and asked again, further marks
// fitted through, and the marks' table.
class TestCalibrationMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A value that cannot be used is refused with a warning and asked for
    // again with the marks and the typed text kept; a degenerate pair of marks
    // is refused before any value is asked.
    void rejectedValuesAreAskedAgain_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("stored");
        const QLineF line(100, 400, 500, 400);
        const QStringList askedAgain{"axisValues", "warning", "axisValues"};
        QTest::newRow("not a number, then fixed")
            << line << QVariantList{QVariantList{"ten", "10", false}, QVariantList{"0", "10", false}}
            << askedAgain << "Type a number at each mark, for example 2.5 or 1e-3." << true;
        QTest::newRow("equal values, then cancelled") << line << QVariantList{QVariantList{"5", "5", false}}
                                                      << askedAgain << "The two values must differ." << false;
        QTest::newRow("log through zero, then fixed")
            << line << QVariantList{QVariantList{"0", "100", true}, QVariantList{"1", "100", true}}
            << askedAgain << "A logarithmic axis needs values greater than zero." << true;
        QTest::newRow("both marks at one place")
            << QLineF(100, 400, 100, 400) << QVariantList{} << QStringList{"warning"}
            << "The two marks are at the same place. Mark the axis again." << false;
    }
    void rejectedValuesAreAskedAgain()
    {
        QFETCH(QLineF, line);
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, kinds);
        QFETCH(QString, warning);
        QFETCH(bool, stored);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        for (const QVariant &answer : answers)
            w.prompts.answer(answer);
        w.window.configureCalibration(true, line);
        QCOMPARE(w.prompts.kinds(), kinds);
        QCOMPARE(w.prompts.asked().at(kinds.indexOf(QStringLiteral("warning"))).text, warning);
        QCOMPARE(w.model()->calibration().isAxisXValid(), stored);
        if (stored)
            QCOMPARE(w.model()->calibration().axisXLine, line);
        // The second question offers what was typed the first time.
        if (kinds.size() == 3 && !stored)
            QCOMPARE(w.prompts.lastOffer().toList().value(0).toString(), QStringLiteral("5"));
    }

    // Dates typed at the marks make a date axis (a mistyped one is answered
    // with the forms dates take); its points show and take dates in the table.
    void datesMakeADateAxis_data()
    {
        QTest::addColumn<QVariantList>("answers");
        QTest::addColumn<QString>("warning"); // empty: none
        QTest::addColumn<bool>("date");
        QTest::addColumn<double>("first");   // stored at the first mark
        QTest::addColumn<QString>("middle"); // the table's x at pixel 300; empty: not checked
        const double jan2019 = 17897 * 86400.0;
        QTest::newRow("ISO dates") << QVariantList{QVariantList{"2019-01-01", "2025-01-01", false}}
                                   << QString() << true << jan2019 << "2022-01-01";
        QTest::newRow("a year and a month") << QVariantList{QVariantList{"2019", "2024-12", false}}
                                            << QString() << true << jan2019 << QString();
        QTest::newRow("English short date") << QVariantList{QVariantList{"1/1/19", "2025", false}}
                                            << QString() << true << jan2019 << "2022-01-01";
        QTest::newRow("years alone stay numbers")
            << QVariantList{QVariantList{"2019", "2025", false}} << QString() << false << 2019.0 << "2022";
        QTest::newRow("mistyped date, then fixed")
            << QVariantList{QVariantList{"2019-13-01", "2025", false},
                            QVariantList{"2019-01-01", "2025", false}}
            << "Value at first mark: \"2019-13-01\" is no date. Dates are written as 2019-01-31, 2019-01, "
               "2019, 2019-01-31T12:30, 12:30:00, 1/31/19."
            << true << jan2019 << "2022-01-01";
        QTest::newRow("dates on a log scale, then cancelled")
            << QVariantList{QVariantList{"2019", "2025-01-01", true}}
            << "A date axis is linear: clear \"Logarithmic scale\"." << false << 0.0 << QString();
        QTest::newRow("the same instant twice, then cancelled")
            << QVariantList{QVariantList{"2019-01-01", "2019-01", false}} << "The two values must differ."
            << false << 0.0 << QString();
    }
    void datesMakeADateAxis()
    {
        QFETCH(QVariantList, answers);
        QFETCH(QString, warning);
        QFETCH(bool, date);
        QFETCH(double, first);
        QFETCH(QString, middle);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        for (const QVariant &answer : answers)
            w.prompts.answer(answer);
        w.window.configureCalibration(true, QLineF(100, 400, 500, 400));
        const int warned = int(w.prompts.kinds().indexOf(QStringLiteral("warning")));
        QCOMPARE(warned >= 0 ? w.prompts.asked().at(warned).text : QString(), warning);
        const Calibration &calibration = w.model()->calibration();
        QCOMPARE(calibration.xKind == AxisKind::Date, date);
        QCOMPARE(calibration.xValue1, first);
        if (middle.isEmpty())
            return;
        w.model()->setAxisY(QLineF(100, 400, 100, 100), 0, 30);
        w.model()->addPoint(QPointF(300, 250));
        QCOMPARE(w.points()->item(0, 1)->text(), middle);
        if (!date)
            return;
        // Typed into the table as a date, the point moves to it.
        w.points()->item(0, 1)->setText(QStringLiteral("2022-06-01"));
        QCOMPARE(w.model()->curves().at(0).points.at(0).real.x(), 19144 * 86400.0);
        QCOMPARE(w.points()->item(0, 1)->text(), QStringLiteral("2022-06-01"));
    }

    // A click on a set axis adds a mark with the value typed; the table lists
    // every mark with its residual and highlights one far off; undo takes the
    // mark back.
    void furtherMarksAreFitted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("residual");
        QTest::addColumn<bool>("highlighted");
        QTest::newRow("right value") << "5" << 0.0 << false;
        QTest::newRow("mistyped") << "7" << 50.6 << true;
    }
    void furtherMarksAreFitted()
    {
        QFETCH(QString, typed);
        QFETCH(double, residual);
        QFETCH(bool, highlighted);
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.calibrate();
        const Calibration before = w.model()->calibration();
        QUndoStack *history = w.model()->undoStack();
        const int start = history->index();
        w.view()->setInteractionMode(GraphView::CalibrateXMode);
        w.prompts.answer(typed);
        w.click(QPointF(300, 400));
        QCOMPARE(w.prompts.last().kind, QStringLiteral("text"));
        QCOMPARE(w.prompts.lastOffer().toString(), QStringLiteral("5"));
        const Calibration &after = w.model()->calibration();
        QCOMPARE(after.xMarks.size(), 3);
        QCOMPARE(after.xMarks[2].value, typed.toDouble());
        auto *table = w.window.findChild<QTableWidget *>(QStringLiteral("calibrationMarksTable"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3 + 2);
        QVERIFY2(std::abs(table->item(2, 4)->text().toDouble() - residual) < 0.1,
                 qPrintable(table->item(2, 4)->text()));
        QCOMPARE(table->item(2, 4)->background().color() == QColor(255, 205, 210), highlighted);
        // The value edited in place refits; undo goes back step by step.
        table->item(2, 3)->setText(QStringLiteral("5"));
        QCOMPARE(w.model()->calibration().xMarks[2].value, 5.0);
        QCOMPARE(table->item(2, 4)->text(), QStringLiteral("0.00"));
        QVERIFY(history->index() > start);
        while (history->index() > start)
            history->undo();
        QCOMPARE(w.model()->calibration(), before);
        QCOMPARE(table->rowCount(), 2 + 2);
    }

    // Marking the other axis from 0 keeps an axis fitted through its marks as it is.
    void fittedAxisIsNotReanchored()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        const QList<CalibrationMark> marks{
            {QPointF(80, 400), 0}, {QPointF(300, 400), 5}, {QPointF(520, 400), 10}};
        QVERIFY(w.model()->setAxisMarks(true, marks, false));
        w.prompts.answer(QVariantList{"0", "20", false});
        w.window.configureCalibration(false, QLineF(100, 420, 100, 100));
        QCOMPARE(w.model()->calibration().xMarks, marks);
        QCOMPARE(w.model()->calibration().axisYLine, QLineF(100, 420, 100, 100));
        QVERIFY(w.model()->calibration().isComplete());
    }

    void shiftClickMarksAnew()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(), QString());
        w.calibrate();
        w.view()->setInteractionMode(GraphView::CalibrateXMode);
        w.prompts.answer(QVariantList{"0", "20", false});
        QTest::mouseClick(w.view()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          w.view()->mapFromScene(QPointF(100, 400)));
        w.click(QPointF(500, 400));
        QCOMPARE(w.prompts.last().kind, QStringLiteral("axisValues"));
        QCOMPARE(w.model()->calibration().xValue2, 20.0);
        QVERIFY(w.model()->calibration().xMarks.isEmpty());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestCalibrationMarks)
#include "tst_calibrationmarks.moc"
