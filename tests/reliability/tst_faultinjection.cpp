// Writes that fail half-way: a full disk (a file size limit on the writing
// child process), files and folders that nobody may change, and a directory
// where the file should go. Each writer must say why and leave the disk as
// it was: the previous file byte for byte, no temporary file beside it.
#include "tests/reliability/checks.h"
#include "tests/reliability/writers.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>

using reliability::Target;

Q_DECLARE_METATYPE(reliability::Target)

namespace {

// Enough points that the new project is well beyond a page of any file.
constexpr int oldPoints = 1500;
constexpr int newPoints = 3000;

struct Version
{
    int points;
    int variant;
};
constexpr Version oldVersion{oldPoints, 0};
constexpr Version newVersion{newPoints, 1};

QString freshFolder()
{
    static int serial = 0;
    const QString name = QStringLiteral("case-%1").arg(++serial);
    QDir(testsupport::sandbox().path()).mkdir(name);
    return testsupport::sandbox().filePath(name);
}

QString targetPath(const QString &folder, Target target)
{
    return QDir(folder).filePath(reliability::fileName(target));
}

struct HelperRun
{
    int exitCode = -1;
    QString error;
};

// The helper exits 1 with "error: <message>" when the writer failed.
HelperRun runWriter(Target target, const QString &path, Version version, qint64 sizeLimit = -1)
{
    QStringList arguments{QStringLiteral("write"), reliability::targetName(target), path,
                          QString::number(version.points), QString::number(version.variant)};
    if (sizeLimit >= 0)
        arguments.append(QString::number(sizeLimit));
    const testsupport::ToolResult result =
        testsupport::runTool(QStringLiteral(PLOTMASON_WRITER_HELPER), arguments, 120000);
    HelperRun run;
    run.exitCode = result.started ? result.exitCode : -2;
    const QString output = QString::fromUtf8(result.output).trimmed();
    if (output.startsWith(QLatin1String("error: ")))
        run.error = output.mid(7);
    return run;
}

// What the writers must report when the target cannot be opened at all: the
// save file's own error text, or the SQL driver's for the database.
QString openErrorText(Target target, const QString &path)
{
    if (target != Target::Database) {
        QSaveFile probe(path);
        return probe.open(QIODevice::WriteOnly) ? QString() : probe.errorString();
    }
    const QString name = QStringLiteral("probe");
    QString text;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        probe.setDatabaseName(path);
        if (!probe.open())
            text = probe.lastError().text();
        probe.close();
    }
    QSqlDatabase::removeDatabase(name);
    return text;
}

QByteArray expectedDocument(Version version)
{
    ProjectModel model;
    reliability::buildProject(model, version.points, version.variant);
    return reliability::projectDocument(model);
}

// The size the target has once the new version replaced the old one.
qint64 sizeAfterReplacing(Target target, Version replacement)
{
    const QString path = targetPath(freshFolder(), target);
    for (const Version &version : {oldVersion, replacement}) {
        ProjectModel model;
        reliability::buildProject(model, version.points, version.variant);
        QString error;
        if (!reliability::writeTarget(target, path, model, &error))
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
    }
    return QFileInfo(path).size();
}

void addTargetRows(const char *fault)
{
    QTest::addColumn<Target>("target");
    for (const QString &name : reliability::targetNames()) {
        Target target;
        reliability::targetFromName(name, &target);
        QTest::addRow("%s, %s", qPrintable(name), fault) << target;
    }
}

// A folder holding the old version of the target, and nothing else.
struct Prepared
{
    QString folder;
    QString path;
    QStringList snapshot;
};

Prepared prepare(Target target)
{
    Prepared prepared;
    prepared.folder = freshFolder();
    prepared.path = targetPath(prepared.folder, target);
    const HelperRun run = runWriter(target, prepared.path, oldVersion);
    if (run.exitCode != 0)
        qFatal("the old version was not written: %s", qPrintable(run.error));
    prepared.snapshot = testsupport::folderSnapshot(prepared.folder);
    return prepared;
}

// The database still opens, is whole and gives back the old project.
void verifyOldDatabase(const QString &path)
{
    QCOMPARE(reliability::integrityCheck(path), QStringLiteral("ok"));
    QString error;
    QCOMPARE(reliability::loadedDocument(path, &error), expectedDocument(oldVersion));
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("points");
        QTest::addColumn<qint64>("sizeLimit");
        QTest::addColumn<bool>("fits");
        for (const QString &name : reliability::targetNames()) {
            Target target;
            reliability::targetFromName(name, &target);
            const qint64 newSize = sizeAfterReplacing(target, newVersion);
            const QByteArray row = name.toLatin1() + ", ";
            QTest::newRow(row + "no byte") << target << newPoints << qint64(0) << false;
            QTest::newRow(row + "one page") << target << newPoints << qint64(4096) << false;
            QTest::newRow(row + "half the file") << target << newPoints << newSize / 2 << false;
            QTest::newRow(row + "one byte short") << target << newPoints << newSize - 1 << false;
            // A file small enough to sit in a write buffer until the commit.
            const Version tiny{4, 1};
            QTest::newRow(row + "small file, half of it")
                << target << tiny.points << sizeAfterReplacing(target, tiny) / 2 << false;
            // The same write with room enough succeeds: the limit is what fails the others.
            QTest::newRow(row + "room enough") << target << newPoints << 2 * newSize + 65536 << true;
        }
    }
    void fullDiskKeepsTheOldFile()
    {
#ifdef Q_OS_UNIX
        QFETCH(Target, target);
        QFETCH(int, points);
        QFETCH(qint64, sizeLimit);
        QFETCH(bool, fits);
        const Version replacement{points, newVersion.variant};
        const Prepared prepared = prepare(target);
        const HelperRun run = runWriter(target, prepared.path, replacement, sizeLimit);
        if (fits) {
            QCOMPARE(run.exitCode, 0);
            if (target == Target::Database) {
                QCOMPARE(reliability::integrityCheck(prepared.path), QStringLiteral("ok"));
                QString error;
                QCOMPARE(reliability::loadedDocument(prepared.path, &error), expectedDocument(replacement));
            } else {
                QCOMPARE(QFileInfo(prepared.path).size(), sizeAfterReplacing(target, replacement));
            }
            return;
        }
        QCOMPARE(run.exitCode, 1);
        // The system's reason: what a full disk says, not just "cannot write".
        if (target == Target::Database)
            QVERIFY2(run.error.contains(QLatin1String("disk is full")) ||
                         run.error.contains(QLatin1String("disk I/O error")),
                     qPrintable(run.error));
        else
            QCOMPARE(run.error, qt_error_string(EFBIG));
        QCOMPARE(testsupport::folderSnapshot(prepared.folder), prepared.snapshot);
        if (target == Target::Database)
            verifyOldDatabase(prepared.path);
#else
        QSKIP("file size limits are a Unix feature");
#endif
    }

    void protectedFileKeepsItsContent_data()
    {
        addTargetRows("immutable file");
    }
    void protectedFileKeepsItsContent()
    {
        QFETCH(Target, target);
        const Prepared prepared = prepare(target);
        {
            const testsupport::ImmutableFile protection(prepared.path);
            if (!protection.isActive())
                QSKIP("chattr +i is refused here, so root cannot be stopped from writing");
            const HelperRun run = runWriter(target, prepared.path, newVersion);
            QCOMPARE(run.exitCode, 1);
            // SQLite opens the file read-only and fails at the first write.
            if (target == Target::Database)
                QVERIFY2(run.error.contains(QLatin1String("readonly database")), qPrintable(run.error));
            else
                QCOMPARE(run.error, openErrorText(target, prepared.path));
            QCOMPARE(testsupport::folderSnapshot(prepared.folder), prepared.snapshot);
        }
        if (target == Target::Database)
            verifyOldDatabase(prepared.path);
    }

    void protectedFolderKeepsItsContent_data()
    {
        addTargetRows("immutable folder");
    }
    void protectedFolderKeepsItsContent()
    {
        QFETCH(Target, target);
        const Prepared prepared = prepare(target);
        {
            const testsupport::ImmutableFile protection(prepared.folder);
            if (!protection.isActive())
                QSKIP("chattr +i is refused here, so root cannot be stopped from writing");
            const HelperRun run = runWriter(target, prepared.path, newVersion);
            QCOMPARE(run.exitCode, 1);
            // The database itself opens; its journal cannot be created beside it.
            if (target == Target::Database)
                QVERIFY2(run.error.contains(QLatin1String("unable to open database file")),
                         qPrintable(run.error));
            else
                QCOMPARE(run.error, openErrorText(target, prepared.path));
            QCOMPARE(testsupport::folderSnapshot(prepared.folder), prepared.snapshot);
        }
        if (target == Target::Database)
            verifyOldDatabase(prepared.path);
    }

    void directoryIsLeftAlone_data()
    {
        addTargetRows("directory");
    }
    void directoryIsLeftAlone()
    {
        QFETCH(Target, target);
        const QString folder = freshFolder();
        const QString path = targetPath(folder, target);
        QVERIFY(QDir(folder).mkdir(reliability::fileName(target)));
        QVERIFY(testsupport::writeFile(QDir(path).filePath(QStringLiteral("inside.txt")), "kept\n"));
        const QStringList before = testsupport::folderSnapshot(folder);
        const HelperRun run = runWriter(target, path, newVersion);
        QCOMPARE(run.exitCode, 1);
        const QString expected = openErrorText(target, path);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(run.error, expected);
        QCOMPARE(testsupport::folderSnapshot(folder), before);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestFaultInjection)
#include "tst_faultinjection.moc"
