// A writer killed at any moment must leave every file either as it was or as
// it was going to be. A child process writes a large project file, a CSV, a
// workbook and a database project over and over, each time with other
// content, and is killed by SIGKILL at random moments; after every kill each
// file must equal one of the two versions the log says it may hold.
#include "core/model/projectfile.h"
#include "tests/reliability/checks.h"
#include "tests/reliability/writers.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <map>
#include <memory>

using reliability::Target;

#ifdef Q_OS_UNIX
namespace {

// Under AddressSanitizer every write takes several times as long; a smaller
// project file keeps the kills of that build within the time budget.
#if defined(__SANITIZE_ADDRESS__)
#define PLOTMASON_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLOTMASON_UNDER_ASAN 1
#endif
#endif
#ifdef PLOTMASON_UNDER_ASAN
constexpr int projectPoints = 25000;
#else
constexpr int projectPoints = 100000;
#endif
constexpr int otherPoints = 2000;
// A fixed count, not a time budget: on a loaded machine the cycle is slower,
// and the test must then take longer rather than fail.
constexpr int wantedKills = 60;

// What each variant of each target must look like.
struct Expected
{
    QByteArray projectFile[reliability::variantCount];
    QByteArray csv[reliability::variantCount];
    QByteArray workbook[reliability::variantCount];
    QByteArray document[reliability::variantCount]; // of the database project
    QImage picture;
};

QList<Target> allTargets()
{
    QList<Target> targets;
    for (const QString &name : reliability::targetNames()) {
        Target target;
        reliability::targetFromName(name, &target);
        targets.append(target);
    }
    return targets;
}

// Per target, the last version begun and the last one finished (-1 for
// none), and when the first write began and ended (ms after the start).
struct Progress
{
    qint64 begun = -1;
    qint64 done = -1;
    qint64 firstBeginMs = -1;
    qint64 firstDoneMs = -1;
};

std::map<Target, Progress> readLog(const QString &path)
{
    std::map<Target, Progress> progress;
    const QList<QByteArray> lines = testsupport::readFile(path).split('\n');
    // The last piece follows the last line end: empty, or a line cut short.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> words = lines[i].split(' ');
        Target target;
        if (words.size() != 4 || !reliability::targetFromName(QString::fromLatin1(words[1]), &target))
            continue;
        Progress &entry = progress[target];
        const bool begin = words[0] == "begin";
        (begin ? entry.begun : entry.done) = words[2].toLongLong();
        qint64 &firstMs = begin ? entry.firstBeginMs : entry.firstDoneMs;
        if (firstMs < 0)
            firstMs = words[3].toLongLong();
    }
    return progress;
}

class Checker
{
public:
    Checker(const QString &folder, const Expected &expected)
        : m_folder(folder)
        , m_expected(expected)
    {}

    // The variant the target holds, or -1 when it holds none completely.
    int variantOnDisk(Target target) const
    {
        const QString path = QDir(m_folder).filePath(reliability::fileName(target));
        if (target == Target::Database)
            return databaseVariant(path);
        const QByteArray content = testsupport::readFile(path);
        const QByteArray *versions = target == Target::ProjectFile ? m_expected.projectFile
                                     : target == Target::Csv       ? m_expected.csv
                                                                   : m_expected.workbook;
        for (int variant = 0; variant < reliability::variantCount; ++variant) {
            if (!content.isEmpty() && content == versions[variant])
                return variant;
        }
        return -1;
    }

private:
    int databaseVariant(const QString &path) const
    {
        if (reliability::integrityCheck(path) != QLatin1String("ok"))
            return -1;
        ProjectModel model;
        QString error;
        if (!ProjectDatabase::loadProject(path, reliability::databaseProjectName(), model, &error))
            return -1;
        const QByteArray document = reliability::projectDocument(model);
        if (model.sourceImage().convertToFormat(QImage::Format_RGB32) != m_expected.picture)
            return -1;
        for (int variant = 0; variant < reliability::variantCount; ++variant) {
            if (document == m_expected.document[variant])
                return variant;
        }
        return -1;
    }

    QString m_folder;
    const Expected &m_expected;
};

QByteArray writtenBytes(Target target, const ProjectModel &model, const QString &path)
{
    QString error;
    if (!reliability::writeTarget(target, path, model, &error))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
    return testsupport::readFile(path);
}

// Killed writers leave their temporary files (a QSaveFile cannot remove its
// own after SIGKILL); they are expected, but must not fill the disk. SQLite's
// journal is left alone: the next connection needs it to roll back.
int removeStaleTemporaryFiles(const QString &folder, const QStringList &keep)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        const bool kept = std::any_of(keep.cbegin(), keep.cend(), [&](const QString &name) {
            return entry.fileName() == name || entry.fileName() == name + QLatin1String("-journal");
        });
        if (!kept && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

bool waitForLine(QProcess &process, const QByteArray &line, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray output;
    while (timer.elapsed() < timeoutMs) {
        if (process.waitForReadyRead(qMax(1, timeoutMs - int(timer.elapsed()))))
            output += process.readAllStandardOutput();
        if (output.contains(line + '\n'))
            return true;
        if (process.state() != QProcess::Running)
            return false;
    }
    return false;
}

} // namespace
#endif

class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLeavesWholeFiles()
    {
#ifdef Q_OS_UNIX
        const QString scratch = testsupport::sandbox().filePath(QStringLiteral("expected"));
        const QString folder = testsupport::sandbox().filePath(QStringLiteral("written"));
        QVERIFY(QDir().mkpath(scratch));
        QVERIFY(QDir().mkpath(folder));

        // Every variant as the writers make it when nothing goes wrong.
        Expected expected;
        {
            ProjectModel large;
            ProjectModel small;
            reliability::buildProject(large, projectPoints, 0);
            reliability::buildProject(small, otherPoints, 0);
            expected.picture = small.sourceImage().convertToFormat(QImage::Format_RGB32);
            for (int variant = 0; variant < reliability::variantCount; ++variant) {
                reliability::applyVariant(large, variant);
                reliability::applyVariant(small, variant);
                const QDir dir(scratch);
                expected.projectFile[variant] =
                    writtenBytes(Target::ProjectFile, large, dir.filePath("p.pmproj"));
                expected.csv[variant] = writtenBytes(Target::Csv, small, dir.filePath("c.csv"));
                expected.workbook[variant] = writtenBytes(Target::Workbook, small, dir.filePath("w.xlsx"));
                expected.document[variant] = reliability::projectDocument(small);
                // These versions are what a damaged file is compared with, so
                // they must be good: the project opens, the workbook unzips.
                ProjectModel opened;
                QString error;
                QVERIFY2(openProjectFile(dir.filePath("p.pmproj"), opened, &error), qPrintable(error));
                QCOMPARE(opened.curves(), large.curves());
                const testsupport::ToolResult unzip = testsupport::runTool(
                    QStringLiteral("unzip"), {QStringLiteral("-tq"), dir.filePath("w.xlsx")});
                QVERIFY2(unzip.started && unzip.exitCode == 0, unzip.output.constData());
            }
            for (int variant = 1; variant < reliability::variantCount; ++variant) {
                QVERIFY(expected.projectFile[variant] != expected.projectFile[variant - 1]);
                QVERIFY(expected.csv[variant] != expected.csv[variant - 1]);
                QVERIFY(expected.workbook[variant] != expected.workbook[variant - 1]);
                QVERIFY(expected.document[variant] != expected.document[variant - 1]);
            }
        }

        const QString log = testsupport::sandbox().filePath(QStringLiteral("writer.log"));
        // Started ahead, so that it builds its projects while the test checks
        // the files of the previous run; it writes nothing before "go".
        const auto startWriter = [&](qint64 firstVersion, const QString &cycles) {
            auto writer = std::make_unique<QProcess>();
            QStringList arguments{QStringLiteral("loop"),
                                  folder,
                                  log,
                                  QString::number(firstVersion),
                                  QString::number(projectPoints),
                                  QString::number(otherPoints)};
            if (!cycles.isEmpty())
                arguments.append(cycles);
            writer->start(QStringLiteral(PLOTMASON_WRITER_HELPER), arguments);
            return writer;
        };
        const auto go = [](QProcess &writer) {
            if (!waitForLine(writer, "ready", 60000))
                return false;
            writer.write("go\n");
            return writer.waitForBytesWritten(10000);
        };

        // Version 0 of every file, written whole; the times of its writes tell
        // when a kill falls into which one.
        const std::unique_ptr<QProcess> first = startWriter(0, QStringLiteral("1"));
        QVERIFY(go(*first));
        QVERIFY(first->waitForFinished(120000));
        QCOMPARE(first->exitCode(), 0);
        const std::map<Target, Progress> firstRun = readLog(log);
        const QList<Target> targets = allTargets();
        for (Target target : targets) {
            QVERIFY(firstRun.count(target) == 1);
            QVERIFY(firstRun.at(target).firstDoneMs >= firstRun.at(target).firstBeginMs);
        }
        const qint64 cycleMs = firstRun.at(targets.last()).firstDoneMs + 1;

        std::map<Target, qint64> onDisk;
        const Checker checker(folder, expected);
        for (Target target : targets) {
            QCOMPARE(checker.variantOnDisk(target), 0);
            onDisk[target] = 0;
        }
        QStringList keep{QFileInfo(log).fileName()};
        for (Target target : targets)
            keep.append(reliability::fileName(target));

        // Four kills in five fall into one of the writes, chosen evenly, so
        // that the short writes are hit as often as the long one; the fifth
        // falls anywhere in the cycle.
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const auto killMoment = [&]() -> qint64 {
            const int choice = int(random.bounded(quint32(targets.size() + 1)));
            if (choice == targets.size())
                return random.bounded(cycleMs);
            const Progress &write = firstRun.at(targets[choice]);
            return write.firstBeginMs + random.bounded(write.firstDoneMs - write.firstBeginMs + 1);
        };

        std::map<Target, int> killedDuring;
        int kills = 0;
        int damaged = 0;
        int staleFiles = 0;
        qint64 nextVersion = 1;
        QElapsedTimer budget;
        budget.start();
        QVERIFY(testsupport::writeFile(log, QByteArray()));
        std::unique_ptr<QProcess> writer = startWriter(nextVersion, QString());
        while (writer) {
            QVERIFY2(go(*writer), writer->readAllStandardError().constData());
            QThread::msleep(ulong(killMoment()));
            QCOMPARE(writer->state(), QProcess::Running); // it never stops by itself
            writer->kill();                               // SIGKILL
            QVERIFY(writer->waitForFinished(30000));
            writer.reset();
            ++kills;

            const std::map<Target, Progress> progress = readLog(log);
            for (const auto &entry : progress)
                nextVersion = std::max(nextVersion, entry.second.begun + 1);
            QVERIFY(testsupport::writeFile(log, QByteArray()));
            // A loaded machine can shift the kills off the short writes, so the run
            // goes on (within a bound) until every writer was caught mid-write.
            const bool everyWriterCaught = std::all_of(targets.cbegin(), targets.cend(), [&](Target target) {
                return killedDuring[target] > 0 ||
                       (progress.count(target) && progress.at(target).begun > progress.at(target).done);
            });
            if (kills < wantedKills || (!everyWriterCaught && kills < 4 * wantedKills))
                writer = startWriter(nextVersion, QString());

            for (Target target : targets) {
                const auto found = progress.find(target);
                const Progress entry = found == progress.end() ? Progress() : found->second;
                // The file holds the last finished version, or the one being written.
                const qint64 old = entry.done >= 0 ? entry.done : onDisk[target];
                QList<qint64> allowed{old};
                if (entry.begun > old)
                    allowed.append(entry.begun);
                if (entry.begun > entry.done)
                    ++killedDuring[target];
                const int variant = checker.variantOnDisk(target);
                const auto match = std::find_if(allowed.cbegin(), allowed.cend(), [&](qint64 version) {
                    return version % reliability::variantCount == variant;
                });
                if (match == allowed.cend()) {
                    ++damaged;
                    qWarning("kill %d: %s holds variant %d, expected version %lld or %lld", kills,
                             qPrintable(reliability::targetName(target)), variant, old, entry.begun);
                    continue;
                }
                onDisk[target] = *match;
            }
            staleFiles += removeStaleTemporaryFiles(folder, keep);
        }

        qInfo("%d kills in %.1f s (seed %u, %d points in the project file, a cycle of %lld ms), "
              "%d damaged files",
              kills, double(budget.elapsed()) / 1000.0, seed, projectPoints, cycleMs, damaged);
        qInfo("killed while writing: project file %d, CSV %d, workbook %d, database %d; "
              "%d temporary files of killed writers removed",
              killedDuring[Target::ProjectFile], killedDuring[Target::Csv], killedDuring[Target::Workbook],
              killedDuring[Target::Database], staleFiles);
        QCOMPARE(damaged, 0);
        // Each writer must have been caught in the middle of a write, or the run proved nothing for it.
        for (Target target : targets)
            QVERIFY2(killedDuring[target] > 0, qPrintable(reliability::targetName(target)));
#else
        QSKIP("SIGKILL is a Unix feature");
#endif
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCrashSafety)
#include "tst_crashsafety.moc"
