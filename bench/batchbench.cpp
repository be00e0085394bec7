#include "bench/batchbench.h"

#include "core/model/projectfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTextStream>

#include <sys/resource.h>

#include <cmath>

namespace bench {

namespace {

const QSize pictureSize(1632, 1224); // 2.0 megapixels
const QRectF frame(160, 80, 1360, 1000);

// Where (x, y) of a chart of x 0..10 and y 0..100 lies in the frame.
QPointF framePixel(double x, double y)
{
    return QPointF(frame.left() + frame.width() * x / 10, frame.bottom() - frame.height() * y / 100);
}

// A plotted chart as an instrument or a plotting library saves one: grid,
// frame and one curve through (5, 50).
QImage chartPicture(double amplitude)
{
    QImage image(pictureSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(210, 210, 210), 1));
    for (int i = 1; i < 10; ++i) {
        painter.drawLine(framePixel(i, 0), framePixel(i, 100));
        painter.drawLine(framePixel(0, 10 * i), framePixel(10, 10 * i));
    }
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(frame);
    QPolygonF curve;
    for (int i = 0; i <= 1000; ++i) {
        const double x = 0.2 + 9.6 * i / 1000;
        curve << framePixel(x, 50 + amplitude * std::sin(0.6 * (x - 5)));
    }
    painter.setPen(QPen(QColor(31, 119, 180), 3));
    painter.drawPolyline(curve);
    return image;
}

// A folder of `count` pictures (a few different charts, copied) and a template calibrated on the frame.
bool prepareFolder(const QString &folder, int count, QString *templateFile)
{
    QDir().mkpath(folder);
    QStringList originals;
    for (int k = 0; k < 8; ++k) {
        originals.append(
            QDir(folder).filePath(QStringLiteral("chart_%1.png").arg(k, 4, 10, QLatin1Char('0'))));
        if (!chartPicture(10 + 4 * k).save(originals.last()))
            return false;
    }
    for (int i = int(originals.size()); i < count; ++i) {
        if (!QFile::copy(
                originals[i % originals.size()],
                QDir(folder).filePath(QStringLiteral("chart_%1.png").arg(i, 4, 10, QLatin1Char('0')))))
            return false;
    }
    ProjectModel model;
    if (!model.loadSource(originals.first()))
        return false;
    model.setAxisX(QLineF(framePixel(0, 0), framePixel(10, 0)), 0, 10);
    model.setAxisY(QLineF(framePixel(0, 0), framePixel(0, 100)), 0, 100);
    *templateFile = QDir(folder).filePath(QStringLiteral("../template-%1.pmproj").arg(count));
    QString error;
    return saveProjectFile(*templateFile, model, &error);
}

struct Measured
{
    double ms = -1;
    double peakKiB = -1;
    QString failure;
};

Measured measureBatch(int count)
{
    Measured measured;
    const QString folder = temporaryPath(QStringLiteral("batch-%1/pictures").arg(count));
    const QString out = temporaryPath(QStringLiteral("batch-%1/csv").arg(count));
    QString templateFile;
    if (!prepareFolder(folder, count, &templateFile)) {
        measured.failure = QStringLiteral("could not write the pictures");
        return measured;
    }
    const QPointF seed = framePixel(5, 50);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--batch-child"), QStringLiteral("--source"),
                 folder + QStringLiteral("/*.png"), QStringLiteral("--template"), templateFile,
                 QStringLiteral("--trace"), QStringLiteral("%1,%2").arg(seed.x()).arg(seed.y()),
                 QStringLiteral("--export-csv"), out + QStringLiteral("/{name}.csv")});
    const bool finished = child.waitForFinished(900000);
    const QStringList numbers = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char(' '));
    const qsizetype written = QDir(out).entryList(QDir::Files).size();
    if (!finished || child.exitCode() != 0 || numbers.size() != 2 || written != count) {
        measured.failure = QStringLiteral("the run failed (%1 of %2 CSV files): %3")
                               .arg(written)
                               .arg(count)
                               .arg(QString::fromUtf8(child.readAllStandardError()).left(200));
        return measured;
    }
    measured.ms = numbers[0].toDouble();
    measured.peakKiB = numbers[1].toDouble();
    QDir(folder).removeRecursively();
    QDir(out).removeRecursively();
    return measured;
}

} // namespace

QList<Row> batchRun(const Scale &scale)
{
    const int count = scale.size(1000, 16);
    const int tenth = std::max(8, count / 10);
    const Measured full = measureBatch(count);
    const Measured small = measureBatch(tenth);
    Row time(QStringLiteral("batch: %1 pictures of 2 MP, trace + CSV").arg(count), full.ms / 1000.0, -1,
             QStringLiteral("<= 120 s"), QStringLiteral("s"));
    Row peak(QStringLiteral("batch: peak memory, %1 pictures").arg(count), full.peakKiB / 1024.0,
             small.peakKiB / 1024.0, QStringLiteral("baseline: %1 pictures; ratio about 1").arg(tenth),
             QStringLiteral("MB"));
    time.failure = full.failure;
    peak.failure = full.failure.isEmpty() ? small.failure : full.failure;
    return {time, peak};
}

int batchChild(const QStringList &arguments)
{
    QProcess program;
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(PLOTMASON_EXECUTABLE), arguments);
    if (!program.waitForFinished(900000) || program.exitStatus() != QProcess::NormalExit) {
        QTextStream(stderr) << "the program did not finish\n";
        return 1;
    }
    const qint64 ms = clock.elapsed();
    QTextStream(stderr) << program.readAllStandardError();
    if (program.exitCode() != 0)
        return program.exitCode();
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    QTextStream(stdout) << ms << ' ' << usage.ru_maxrss << '\n';
    return 0;
}

} // namespace bench
