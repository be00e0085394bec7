#include "bench/benchsupport.h"

#include <QCoreApplication>
#include <QProcess>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainterPath>

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
    static const QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("plotmason-bench-XXXXXX")));
    const QString path = folder.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

QImage scanLikePicture(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator noise(20260301);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grey = 222 + int(noise.bounded(24));
            line[x] = qRgb(grey, grey, grey - 6);
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(140, 140, 150), std::max(1, size.width() / 2000)));
    for (int i = 1; i < 10; ++i) {
        painter.drawLine(QPointF(size.width() * i / 10.0, 0),
                         QPointF(size.width() * i / 10.0, size.height()));
        painter.drawLine(QPointF(0, size.height() * i / 10.0),
                         QPointF(size.width(), size.height() * i / 10.0));
    }
    painter.setPen(QPen(QColor(30, 30, 40), std::max(2, size.width() / 800)));
    for (int c = 0; c < 5; ++c) {
        QPainterPath path(QPointF(0, size.height() * 0.9));
        for (int x = 0; x <= size.width(); x += std::max(1, size.width() / 200))
            path.lineTo(x, size.height() * (0.9 - (0.1 + 0.15 * c) * std::sqrt(double(x) / size.width())));
        painter.drawPath(path);
    }
    return image;
}

namespace {

class EventCounter : public QObject
{
public:
    explicit EventCounter(QWidget *painted)
        : m_painted(painted)
    {}
    int events = 0;
    int paints = 0;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        ++events;
        if (object == m_painted && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QWidget *m_painted;
};

} // namespace

int settle(QWidget *painted)
{
    EventCounter counter(painted);
    qApp->installEventFilter(&counter);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int before = counter.events;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const bool idle = counter.events == before;
        if (idle && (!painted || counter.paints > 0 || waited.elapsed() > 1000))
            break;
    }
    qApp->removeEventFilter(&counter);
    return counter.paints;
}

void deliver(QWidget *widget, QEvent::Type type, const QPoint &position, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

namespace {

long statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

long peakResidentKiB()
{
    return statusKiB("VmHWM:");
}

double childPeakKiB(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(300000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble();
}

} // namespace bench
