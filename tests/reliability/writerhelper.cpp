// The child process of the fault and crash tests. It runs one of the
// program's writers the way the program does, so that a test can starve it
// of disk space or kill it at any moment without harming the test itself.
//
//   write <target> <path> <points> <variant> [<max-file-size>]
//       Writes once; with a size limit every write beyond it fails as on a
//       full disk. Exit 0 on success; 1 with "error: <message>" on stdout.
//   loop <folder> <log> <first-version> <project-points> <other-points> [<cycles>]
//       Builds the projects, prints "ready" and waits for a line on standard
//       input; then writes every target in the folder again and again,
//       version after version (variant = version % variantCount), and logs
//       "begin <target> <v> <ms>" before and "done <target> <v> <ms>" after
//       each write, <ms> counted from that line. Runs until killed, or for
//       <cycles>.
#include "core/model/projectmodel.h"
#include "tests/reliability/writers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using reliability::Target;

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: plotmason_writer_helper write <target> <path> <points> <variant> [<limit>]\n"
                 "       plotmason_writer_helper loop <folder> <log> <first> <points> <points> [<n>]\n");
    return 2;
}

bool limitFileSize(qint64 bytes)
{
#ifdef Q_OS_UNIX
    // Ignored, SIGXFSZ turns a write beyond the limit into an EFBIG error,
    // which is what a writer sees on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
    Q_UNUSED(bytes);
    return false;
#endif
}

int writeOnce(const QStringList &arguments)
{
    Target target;
    bool pointsOk = false;
    bool variantOk = false;
    if (arguments.size() < 4 || !reliability::targetFromName(arguments[0], &target))
        return usage();
    const int points = arguments[2].toInt(&pointsOk);
    const int variant = arguments[3].toInt(&variantOk);
    if (!pointsOk || !variantOk)
        return usage();
    ProjectModel model;
    reliability::buildProject(model, points, variant);
    if (arguments.size() > 4 && !limitFileSize(arguments[4].toLongLong())) {
        std::printf("error: no file size limit on this system\n");
        return 3;
    }
    QString error;
    if (reliability::writeTarget(target, arguments[1], model, &error))
        return 0;
    std::printf("error: %s\n", qPrintable(error));
    return 1;
}

int writeInLoop(const QStringList &arguments)
{
    if (arguments.size() < 5)
        return usage();
    const QDir folder(arguments[0]);
    QFile log(arguments[1]);
    // Unbuffered: every line is one write, complete in the file when the process dies.
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return usage();
    const qint64 firstVersion = arguments[2].toLongLong();
    const qint64 cycles = arguments.size() > 5 ? arguments[5].toLongLong() : -1;

    ProjectModel large;
    ProjectModel small;
    reliability::buildProject(large, arguments[3].toInt(), int(firstVersion % reliability::variantCount));
    reliability::buildProject(small, arguments[4].toInt(), int(firstVersion % reliability::variantCount));
    std::printf("ready\n");
    std::fflush(stdout);
    // The test checks the files of the previous run meanwhile.
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return usage();
    QElapsedTimer clock;
    clock.start();
    const auto logLine = [&](const char *event, const QString &name, qint64 version) {
        log.write(QStringLiteral("%1 %2 %3 %4\n")
                      .arg(QLatin1String(event), name)
                      .arg(version)
                      .arg(clock.elapsed())
                      .toLatin1());
    };

    for (qint64 version = firstVersion; cycles < 0 || version < firstVersion + cycles; ++version) {
        const int variant = int(version % reliability::variantCount);
        reliability::applyVariant(large, variant);
        reliability::applyVariant(small, variant);
        for (const QString &name : reliability::targetNames()) {
            Target target;
            reliability::targetFromName(name, &target);
            logLine("begin", name, version);
            QString error;
            const ProjectModel &model = target == Target::ProjectFile ? large : small;
            if (!reliability::writeTarget(target, folder.filePath(reliability::fileName(target)), model,
                                          &error)) {
                std::printf("error: %s\n", qPrintable(error));
                return 1;
            }
            logLine("done", name, version);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return usage();
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("write"))
        return writeOnce(arguments);
    if (command == QLatin1String("loop"))
        return writeInLoop(arguments);
    return usage();
}
