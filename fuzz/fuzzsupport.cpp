#include "fuzz/fuzzsupport.h"

#include "fuzz/fuzzsources.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir *temporaryFolder = nullptr;

// Thousands of inputs a second would each print the same warnings of the SQL
// driver or the image readers; only a fatal message is a finding.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    // Qt keeps a reference to argc for the life of the application.
    static int argc = 1;
    static char name[] = "plotmason-fuzz";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // lives until the process ends
    temporaryFolder = new QTemporaryDir;
    if (!temporaryFolder->isValid())
        fuzzsupport::fail("a temporary work folder");
    writeFuzzSources(QDir(temporaryFolder->path()));
    return 0;
}

namespace fuzzsupport {

QString workFolder()
{
    return temporaryFolder->path();
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString writeInput(const uint8_t *data, size_t size, const QString &name)
{
    const QString path = QDir(workFolder()).filePath(name);
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes(data, size)) != qint64(size))
        fail("the input written to the work folder");
    return path;
}

void fail(const char *promise)
{
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

} // namespace fuzzsupport
