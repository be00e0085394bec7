#include "batchrun/orderedrun.h"
#include "batchrun/picturelist.h"
#include "batchrun/runreport.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QGuiApplication>

#include <atomic>
#include <chrono>
#include <thread>

using batchrun::Picture;

class TestBatchRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("pages"); // empty: refused
        QTest::newRow("one") << "3" << QList<int>{3};
        QTest::newRow("range") << "2-5" << QList<int>{2, 3, 4, 5};
        QTest::newRow("list in given order") << "7, 1-2,2" << QList<int>{7, 1, 2};
        QTest::newRow("zero") << "0" << QList<int>{};
        QTest::newRow("backwards") << "5-2" << QList<int>{};
        QTest::newRow("empty part") << "1,,2" << QList<int>{};
        QTest::newRow("word") << "all" << QList<int>{};
        QTest::newRow("negative") << "-1" << QList<int>{};
    }
    void pages()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, pages);
        const std::optional<QList<int>> parsed = batchrun::parsePages(text);
        QCOMPARE(parsed.has_value(), !pages.isEmpty());
        if (parsed)
            QCOMPARE(*parsed, pages);
    }

    void shards_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count"); // 0: refused
        QTest::newRow("halves") << "1/2" << 2;
        QTest::newRow("one of one") << "1/1" << 1;
        QTest::newRow("many") << "3/9" << 9;
        QTest::newRow("part beyond count") << "3/2" << 0;
        QTest::newRow("part zero") << "0/2" << 0;
        QTest::newRow("no slash") << "12" << 0;
        QTest::newRow("letters") << "a/b" << 0;
    }
    void shards()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        const std::optional<batchrun::Shard> shard = batchrun::parseShard(text);
        QCOMPARE(shard.has_value(), count > 0);
        if (shard)
            QCOMPARE(shard->count, count);
    }

    void names_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("filled");
        QTest::newRow("name") << "out/{name}.csv"
                              << "scans/a.b.png" << 0 << "out/a.b.csv";
        QTest::newRow("image page") << "{name}-{page}"
                                    << "a.png" << 0 << "a-1";
        QTest::newRow("pdf page and index") << "{index}_{name}_p{page}.svg"
                                            << "d/book.pdf" << 4 << "12_book_p4.svg";
        QTest::newRow("twice") << "{name}/{name}.csv"
                               << "x.png" << 0 << "x/x.csv";
        QTest::newRow("no pattern") << "all.csv"
                                    << "x.png" << 0 << "all.csv";
    }
    void names()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, file);
        QFETCH(int, page);
        QFETCH(QString, filled);
        QCOMPARE(batchrun::fillNamePattern(pattern, {file, page, 12}), filled);
        QVERIFY(batchrun::unknownPlaceholder(pattern).isEmpty());
    }

    // Folders and patterns give their files in name order, each file once;
    // a named file that is missing stays, to fail as a picture.
    void sources()
    {
        const QDir folder(testsupport::sandbox().filePath(QStringLiteral("sources")));
        QVERIFY(QDir().mkpath(folder.path()));
        for (const char *name : {"b.png", "a10.png", "a2.png", "notes.txt", "c.PDF"})
            QVERIFY(testsupport::writeFile(folder.filePath(QLatin1String(name)), "x"));
        QStringList files;
        QString error;
        QVERIFY(batchrun::expandSources(
            {folder.filePath(QStringLiteral("a*.png")), folder.path(), QStringLiteral("gone.png")}, &files,
            &error));
        QStringList names;
        for (const QString &file : files)
            names.append(QFileInfo(file).fileName());
        QCOMPARE(names, (QStringList{"a10.png", "a2.png", "b.png", "c.PDF", "gone.png"}));

        for (const QString &nothing :
             {folder.filePath(QStringLiteral("*.jpg")), testsupport::sandbox().path()}) {
            files.clear();
            QVERIFY(!batchrun::expandSources({nothing}, &files, &error));
            QVERIFY2(error.contains(nothing), qPrintable(error));
        }
    }

    void progress_data()
    {
        QTest::addColumn<int>("done");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("line");
        QTest::newRow("start") << 0 << 0.0 << "0/300 pictures";
        QTest::newRow("slow") << 30 << 60.0 << "30/300 pictures, 0.5 per second, 9:00 left";
        QTest::newRow("fast") << 150 << 10.0 << "150/300 pictures, 15 per second, 0:10 left";
        QTest::newRow("hours") << 1 << 100.0 << "1/300 pictures, 0.0 per second, 8:18:20 left";
        QTest::newRow("end") << 300 << 20.0 << "300/300 pictures, 15 per second";
    }
    void progress()
    {
        QFETCH(int, done);
        QFETCH(double, seconds);
        QFETCH(QString, line);
        QCOMPARE(batchrun::progressLine(done, 300, seconds), line);
    }

    void report()
    {
        batchrun::PictureOutcome good;
        good.done = true;
        good.pointsPerCurve = {{QStringLiteral("Curve 1"), 12}, {QStringLiteral("Say \"hi\""), 0}};
        good.rmsX = 0.25;
        good.rmsY = 0.0;
        batchrun::PictureOutcome bad;
        bad.message = QStringLiteral("Nothing found, here.");
        const QByteArray csv = batchrun::reportCsv(
            {{QStringLiteral("a.png"), 0, 1}, {QStringLiteral("b,c.pdf"), 3, 2}}, {good, bad});
        QCOMPARE(csv, QByteArray("file,page,status,message,points,calibration_rms_x,calibration_rms_y\n"
                                 "\"a.png\",,done,\"\",\"Curve 1: 12; Say \"\"hi\"\": 0\",0.25,0\n"
                                 "\"b,c.pdf\",3,failed,\"Nothing found, here.\",\"\",,\n"));
    }

    // Delivery follows the order of the pictures, however the work finishes.
    void orderedDelivery_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::newRow("one job") << 1;
        QTest::newRow("four jobs") << 4;
        QTest::newRow("more jobs than work") << 64;
    }
    void orderedDelivery()
    {
        QFETCH(int, jobs);
        constexpr int count = 40;
        std::vector<int> results(count, -1);
        std::atomic<int> running{0};
        std::atomic<int> mostAtOnce{0};
        QList<int> delivered;
        batchrun::runInOrder(
            count, jobs,
            [&](int i) {
                const int now = ++running;
                mostAtOnce = std::max(mostAtOnce.load(), now);
                // Early pictures take longest, so later ones finish first.
                std::this_thread::sleep_for(std::chrono::microseconds((count - i) * 50));
                results[std::size_t(i)] = i * i;
                --running;
            },
            [&](int i) {
                QCOMPARE(results[std::size_t(i)], i * i);
                delivered.append(i);
            });
        QCOMPARE(delivered.size(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(delivered[i], i);
        QVERIFY(mostAtOnce <= jobs);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestBatchRun)
#include "tst_batchrun.moc"
