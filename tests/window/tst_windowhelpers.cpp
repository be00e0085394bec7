#include "digitizing/loupe.h"
#include "prompts/dialogplaces.h"
#include "tests/support/testsupport.h"
#include "window/pointscopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {

QList<CurvePoint> points(const QList<QPointF> &reals)
{
    QList<CurvePoint> list;
    for (const QPointF &real : reals)
        list.append(CurvePoint{QPointF(), real, QStringLiteral("c")});
    return list;
}

} // namespace

class TestWindowHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clipboardText_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("english, all") << "en" << QList<int>{} << "5.5\t10\n12345.25\t-0.001\n1E+20\t0\n";
        QTest::newRow("german, all") << "de" << QList<int>{} << "5,5\t10\n12345,25\t-0,001\n1E+20\t0\n";
        QTest::newRow("french, one row") << "fr" << QList<int>{1} << "12345,25\t-0,001\n";
        QTest::newRow("rows in table order") << "en" << QList<int>{2, 0} << "5.5\t10\n1E+20\t0\n";
        QTest::newRow("rows outside left out") << "it" << QList<int>{-1, 0, 3} << "5,5\t10\n";
    }

    void clipboardText()
    {
        QFETCH(QString, language);
        QFETCH(QList<int>, rows);
        QFETCH(QString, text);
        const QList<CurvePoint> list = points({{5.5, 10}, {12345.25, -0.001}, {1e20, 0}});
        QCOMPARE(pointsClipboardText(list, rows, QLocale(language)), text);
    }

    void loupeNeverCoversThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("corner");
        const int gap = Loupe::gap;
        const int side = Loupe::side;
        QTest::newRow("room below right") << QPoint(100, 100) << QPoint(100 + gap, 100 + gap);
        QTest::newRow("right edge") << QPoint(780, 100) << QPoint(780 - gap - side, 100 + gap);
        QTest::newRow("bottom edge") << QPoint(100, 590) << QPoint(100 + gap, 590 - gap - side);
        QTest::newRow("bottom right corner")
            << QPoint(799, 599) << QPoint(799 - gap - side, 599 - gap - side);
    }

    void loupeNeverCoversThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, corner);
        const QPoint placed = Loupe::placement(pointer, QSize(800, 600));
        QCOMPARE(placed, corner);
        QVERIFY(!QRect(placed, QSize(Loupe::side, Loupe::side)).contains(pointer));
    }

    void dialogKinds_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("kind");
        QTest::newRow("project") << "Plotmason project (*.pmproj)"
                                 << "pmproj";
        QTest::newRow("translated text") << "Progetto Plotmason (*.PMPROJ)"
                                         << "pmproj";
        QTest::newRow("first of several") << "Plotmason database (*.pmdb *.sqlite);;All files (*.*)"
                                          << "pmdb";
        QTest::newRow("sources") << "Images and PDF (*.png *.jpg *.pdf)"
                                 << "png";
        QTest::newRow("no pattern") << "All files (*.*)"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void dialogKinds()
    {
        QFETCH(QString, filter);
        QFETCH(QString, kind);
        QCOMPARE(dialogKind(filter), kind);
    }

    void dialogFoldersByKind()
    {
        QSettings().clear();
        const QDir sandbox(testsupport::sandbox().path());
        QVERIFY(sandbox.mkpath(QStringLiteral("exports")));
        QVERIFY(sandbox.mkpath(QStringLiteral("gone")));
        const QString csv = QStringLiteral("CSV (*.csv)");
        QCOMPARE(dialogStartFolder(csv), QString());
        rememberDialogFolder(csv, sandbox.filePath(QStringLiteral("exports/Pump A.csv")));
        rememberDialogFolder(QStringLiteral("SVG (*.svg)"), sandbox.filePath(QStringLiteral("gone/a.svg")));
        rememberDialogFolder(QStringLiteral("All files (*.*)"), sandbox.filePath(QStringLiteral("b.txt")));
        QCOMPARE(dialogStartFolder(csv), sandbox.filePath(QStringLiteral("exports")));
        QCOMPARE(dialogStartFolder(QStringLiteral("Excel workbook (*.xlsx)")), QString());
        // A cancelled dialog keeps the folder; a folder that has gone is not offered.
        rememberDialogFolder(csv, QString());
        QCOMPARE(dialogStartFolder(csv), sandbox.filePath(QStringLiteral("exports")));
        QVERIFY(sandbox.rmdir(QStringLiteral("gone")));
        QCOMPARE(dialogStartFolder(QStringLiteral("SVG (*.svg)")), QString());
        QStringList keys = QSettings().allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"dialogs/csv", "dialogs/svg"}));
    }
};

PLOTMASON_TEST_MAIN(QCoreApplication, TestWindowHelpers)
#include "tst_windowhelpers.moc"
