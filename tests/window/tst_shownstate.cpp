// What the main window shows follows the model: the points table, the status
// line, the recent files, the visibility boxes and the empty view.
#include "core/io/projectdatabase.h"
#include "i18n/localization.h"
#include "tests/window/mainwindowfixture.h"
#include "window/recentprojects.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>

namespace {

// A calibrated window with three points in "Curve 1".
void prepare(Window &w)
{
    w.model()->setSourceImage(testsupport::chartImage(), QString());
    testsupport::calibrate(*w.model());
    for (int i = 0; i < 3; ++i)
        w.model()->addPoint(QPointF(150 + 50 * i, 300 - 20 * i));
}

QList<int> selectedRows(const QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows())
        rows.append(index.row());
    return rows;
}

} // namespace

class TestShownState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QSettings().clear();
        i18n::Localization::instance().setLanguage(i18n::English);
    }

    void pointsTableShowsTheNewCurve()
    {
        Window w;
        prepare(w);
        QCOMPARE(w.points()->rowCount(), 3);
        w.window.curvesDock()->addButton()->click();
        QCOMPARE(w.model()->activeCurveName(), QStringLiteral("Curve 2"));
        QCOMPARE(w.points()->rowCount(), 0);
        w.model()->addPoint(QPointF(400, 200));
        QCOMPARE(w.points()->rowCount(), 1);
        // Back to the first curve from the curves table.
        w.curves()->setCurrentCell(0, 0);
        QCOMPARE(w.model()->activeCurveName(), QStringLiteral("Curve 1"));
        QCOMPARE(w.points()->rowCount(), 3);
    }

    void refusedValueIsNotLeftOnScreen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("not finite") << "inf";
        QTest::newRow("empty") << "";
    }
    void refusedValueIsNotLeftOnScreen()
    {
        QFETCH(QString, typed);
        Window w;
        prepare(w);
        const QString shown = w.points()->item(1, 1)->text();
        // Typed into the cell's editor and committed with Enter, as a user does.
        w.points()->setCurrentCell(1, 1);
        w.points()->editItem(w.points()->item(1, 1));
        auto *editor = w.points()->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!w.points()->viewport()->findChild<QLineEdit *>() ||
                    !w.points()->viewport()->findChild<QLineEdit *>()->isVisible());
        QCOMPARE(w.points()->item(1, 1)->text(), shown);
        QCOMPARE(QString::number(w.model()->curves()[0].points[1].real.x(), 'g', 12), shown);
    }

    void highlightFollowsTheSelectedPoint()
    {
        Window w;
        prepare(w);
        // The view repaints the rows from these announcements; the table's own
        // signal stays quiet, so that nothing echoes back into the model.
        QSignalSpy announced(w.points()->selectionModel(), &QItemSelectionModel::selectionChanged);
        QSignalSpy echoed(w.points(), &QTableWidget::itemSelectionChanged);
        for (int point : {0, 2, 1}) { // point 2, the last added, starts selected
            announced.clear();
            QVERIFY(w.model()->selectPoint(0, point));
            QCOMPARE(w.points()->currentRow(), point);
            QCOMPARE(selectedRows(w.points()), QList<int>{point});
            QVERIFY(!announced.isEmpty());
        }
        QCOMPARE(echoed.size(), 0);
        w.model()->clearSelection();
        QVERIFY(selectedRows(w.points()).isEmpty());
        QCOMPARE(w.points()->currentRow(), -1);
    }

    void deleteSaysPointDeleted()
    {
        Window w;
        prepare(w);
        QVERIFY(w.model()->selectPoint(0, 1));
        w.view()->setFocus();
        QTest::keyClick(w.view(), Qt::Key_Delete);
        QCOMPARE(w.model()->curves()[0].points.size(), 2);
        QCOMPARE(w.status(), QStringLiteral("Point deleted."));
        w.trigger("deletePointAction");
        QCOMPARE(w.model()->curves()[0].points.size(), 1);
        QCOMPARE(w.status(), QStringLiteral("Point deleted."));
    }

    void ampersandInRecentNamesIsText()
    {
        const QString database = testsupport::sandbox().filePath(QStringLiteral("R&D lab.pmdb"));
        ProjectModel stored;
        QVERIFY(ProjectDatabase::storeProject(database, stored, QStringLiteral("Pumps & fans")));
        Window w;
        addRecentProject(database, QStringLiteral("Pumps & fans"));
        const QStringList entries = w.recentEntries();
        QCOMPARE(entries.first(), QStringLiteral("&1 Pumps && fans (R&&D lab.pmdb)"));
    }

    void visibleBoxIsCentredAndToggles()
    {
        Window w;
        prepare(w);
        QTableWidget *table = w.curves();
        const QRect cell = table->visualItemRect(table->item(0, 3));
        QVERIFY(cell.width() > 30);
        // A click in the middle of the cell, where the box is drawn, hides the curve.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!w.model()->curves()[0].visible);
        QCOMPARE(table->item(0, 3)->checkState(), Qt::Unchecked);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(w.model()->curves()[0].visible);
        // Near the left edge, where a plain check cell has its box, nothing happens.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 4, cell.center().y()));
        QVERIFY(w.model()->curves()[0].visible);
    }

    void emptyViewHasNoScrollBars()
    {
        Window w;
        w.model()->setSourceImage(testsupport::chartImage(3000, 2500), QString());
        w.trigger("actualSizeAction");
        QTRY_VERIFY(w.view()->horizontalScrollBar()->isVisible());
        w.prompts.answer(int(QMessageBox::Discard));
        w.trigger("closeAction");
        QTRY_VERIFY(!w.view()->horizontalScrollBar()->isVisible());
        QVERIFY(!w.view()->verticalScrollBar()->isVisible());
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestShownState)
#include "tst_shownstate.moc"
