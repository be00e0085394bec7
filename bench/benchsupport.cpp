#include "bench/benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cmath>

namespace bench {

double medianMs(int runs, const std::function<void()> &work, const std::function<void()> &prepare)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

void fillProject(ProjectModel &model, int curves, int pointsPerCurve, const QSize &picture)
{
    model.setAxisX(QLineF(0, picture.height() - 1, picture.width() - 1, picture.height() - 1), 0, 100);
    model.setAxisY(QLineF(0, picture.height() - 1, 0, 0), 0, 50);
    for (int c = 0; c < curves; ++c) {
        const QString name = QStringLiteral("Curve %1").arg(c + 1);
        for (int p = 0; p < pointsPerCurve; ++p) {
            const double t = double(p) / std::max(1, pointsPerCurve - 1);
            const double x = 1 + t * (picture.width() - 3);
            const double y = (picture.height() - 2) * (0.9 - 0.6 * std::sqrt(t) * (c + 1) / (curves + 1));
            model.addPoint(QPointF(x, y), name);
        }
    }
}

QString temporaryPath(const QString &name)
{
    static const QString folder = [] {
        const QString path = QDir::temp().filePath(
            QStringLiteral("plotmason-bench-%1").arg(QCoreApplication::applicationPid()));
        QDir().mkpath(path);
        return path;
    }();
    return QDir(folder).filePath(name);
}

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace bench
