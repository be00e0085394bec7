#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program, started as a script would start it.
Run plotmason(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // batch mode must go offscreen by itself
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("PLOTMASON_EXECUTABLE"), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace
