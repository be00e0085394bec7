#pragma once

#include "model/projectmodel.h"

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

bool fuzzyEqual(double a, double b, double tolerance = 1e-9);

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
