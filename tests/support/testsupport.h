#pragma once

#include "core/model/projectmodel.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace testsupport {

// Gives the whole test process a private temporary folder: it becomes the
// working directory and the home of every settings file, so no test sees the
// machine's settings or another test's.
class Sandbox
{
public:
    Sandbox();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// The sandbox of the running test executable (set up by PLOTMASON_TEST_MAIN).
Sandbox &sandbox();
void installSandbox(std::unique_ptr<Sandbox> sandbox);

// X axis (100,500)-(500,500) for 0..10, Y axis (100,500)-(100,100) for 0..20:
// one pixel is 0.025 in x and 0.05 in y.
void calibrate(ProjectModel &model);

// A white chart picture with a black frame, drawn on the fly.
QImage chartImage(int width = 640, int height = 480);

// A PDF in the sandbox of Letter pages (612 x 792 points) with no background
// painted, each with a black bar 50 points wide per page number, so that pages
// can be told apart by their pixels.
QString writeLetterPdf(const QString &name, int pages);

bool fuzzyEqual(double a, double b, double tolerance = 1e-9);

// The name a file dialog with this default suffix (without the dot) returns
// for a typed name: the suffix is added when the file name has no dot.
QString dialogChosenName(const QString &typed, const QString &defaultSuffix);

} // namespace testsupport

// QTEST_MAIN with the sandbox in place before the application object exists.
#define PLOTMASON_TEST_MAIN(ApplicationClass, TestClass)                                                     \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        testsupport::installSandbox(std::make_unique<testsupport::Sandbox>());                               \
        ApplicationClass app(argc, argv);                                                                    \
        TestClass test;                                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

namespace testsupport {

// Records the model's signals by name in the order they fire; QSignalSpy alone
// cannot tell the order across signals.
class SignalLog
{
public:
    explicit SignalLog(ProjectModel &model);
    QStringList names() const { return m_names; }
    void clear() { m_names.clear(); }

private:
    QStringList m_names;
};

} // namespace testsupport

namespace testsupport {

// What an external program did; started is false when it could not be run at all.
struct ToolResult
{
    bool started = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// Runs a program to its end (killed after timeoutMs). Tests that need a tool
// must fail when it is missing: CI installs every tool they use.
ToolResult runTool(const QString &program, const QStringList &arguments, int timeoutMs = 120000);

// The whole file, or an empty array when it cannot be read.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &data);

// Paths that no writer can write to, even as root. Each call prepares a fresh
// folder in the sandbox: "missing folder" (target in a folder that does not
// exist), "below a file" (the parent is a regular file) and "directory" (an
// existing non-empty directory at the target path).
struct UnwritableTarget
{
    QString folder; // holds everything the case set up
    QString path;
};
void addUnwritableTargetRows(); // adds the column "kind" and one row per case
UnwritableTarget makeUnwritableTarget(const QString &kind);

// Every file and folder below folder, with the files' content, in a stable
// order: equal snapshots mean nothing was created, removed or changed.
QStringList folderSnapshot(const QString &folder);

// Sets the immutable attribute (chattr +i), which stops root as well, and
// clears it again on destruction. isActive() is false where the file system or
// the privileges do not allow it.
class ImmutableFile
{
public:
    explicit ImmutableFile(const QString &path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile &) = delete;
    ImmutableFile &operator=(const ImmutableFile &) = delete;
    bool isActive() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
};

} // namespace testsupport
