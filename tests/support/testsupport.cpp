#include "tests/support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace testsupport {

namespace {
std::unique_ptr<Sandbox> &sandboxSlot()
{
    static std::unique_ptr<Sandbox> slot;
    return slot;
}
} // namespace

Sandbox::Sandbox()
{
    if (!m_dir.isValid())
        qFatal("cannot create the test sandbox");
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QDir(m_dir.path()).filePath(QString::fromLatin1(name)).toLocal8Bit());
    qputenv("HOME", m_dir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir::setCurrent(m_dir.path());
}

Sandbox &sandbox()
{
    return *sandboxSlot();
}

void installSandbox(std::unique_ptr<Sandbox> sandbox)
{
    sandboxSlot() = std::move(sandbox);
}

void calibrate(ProjectModel &model)
{
    model.setAxisX(QLineF(100, 500, 500, 500), 0.0, 10.0);
    model.setAxisY(QLineF(100, 500, 100, 100), 0.0, 20.0);
}

QImage chartImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(image.rect().adjusted(20, 20, -20, -20));
    return image;
}

QString dialogChosenName(const QString &typed, const QString &defaultSuffix)
{
    if (defaultSuffix.isEmpty() || QFileInfo(typed).fileName().contains(u'.'))
        return typed;
    return typed + u'.' + defaultSuffix;
}

QString writeLetterPdf(const QString &name, int pages)
{
    const QString path = testsupport::sandbox().filePath(name);
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        // A black bar whose width grows with the page number.
        painter.fillRect(QRectF(0, 0, 50.0 * (page + 1), 100), Qt::black);
    }
    painter.end();
    return path;
}

bool fuzzyEqual(double a, double b, double tolerance)
{
    return std::abs(a - b) <= tolerance * std::max(1.0, std::max(std::abs(a), std::abs(b)));
}

} // namespace testsupport

namespace testsupport {

SignalLog::SignalLog(ProjectModel &model)
{
    const auto record = [this](const char *name) {
        return [this, name] { m_names.append(QString::fromLatin1(name)); };
    };
    QObject::connect(&model, &ProjectModel::sourcePathChanged, record("sourcePathChanged"));
    QObject::connect(&model, &ProjectModel::visibleLayersChanged, record("visibleLayersChanged"));
    QObject::connect(&model, &ProjectModel::pdfInfoChanged, record("pdfInfoChanged"));
    QObject::connect(&model, &ProjectModel::calibrationChanged, record("calibrationChanged"));
    QObject::connect(&model, &ProjectModel::pointsChanged, record("pointsChanged"));
    QObject::connect(&model, &ProjectModel::activeCurveChanged, record("activeCurveChanged"));
    QObject::connect(&model, &ProjectModel::selectedPointChanged, record("selectedPointChanged"));
    QObject::connect(&model, &ProjectModel::curvesChanged, record("curvesChanged"));
    QObject::connect(&model, &ProjectModel::sourceImageChanged, record("sourceImageChanged"));
    QObject::connect(&model, &ProjectModel::regeneratedGraphSettingsChanged,
                     record("regeneratedGraphSettingsChanged"));
    QObject::connect(&model, &ProjectModel::projectAboutToBeReplaced, record("projectAboutToBeReplaced"));
    QObject::connect(&model, &ProjectModel::errorOccurred, record("errorOccurred"));
}

} // namespace testsupport

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace testsupport {

ToolResult runTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    ToolResult result;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return result;
    result.started = true;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    return result;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

void addUnwritableTargetRows()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"missing folder", "below a file", "directory"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

UnwritableTarget makeUnwritableTarget(const QString &kind)
{
    static int serial = 0;
    const QDir root(sandbox().path());
    const QString name = QStringLiteral("unwritable-%1").arg(++serial);
    if (!root.mkdir(name))
        qFatal("cannot create a test folder");
    UnwritableTarget target;
    target.folder = root.filePath(name);
    const QDir folder(target.folder);
    if (kind == QLatin1String("missing folder")) {
        target.path = folder.filePath(QStringLiteral("missing/target"));
    } else if (kind == QLatin1String("below a file")) {
        writeFile(folder.filePath(QStringLiteral("file")), "plain file\n");
        target.path = folder.filePath(QStringLiteral("file/target"));
    } else if (kind == QLatin1String("directory")) {
        folder.mkdir(QStringLiteral("target"));
        writeFile(folder.filePath(QStringLiteral("target/inside.txt")), "kept\n");
        target.path = folder.filePath(QStringLiteral("target"));
    } else {
        qFatal("unknown unwritable target kind");
    }
    return target;
}

QStringList folderSnapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QString entry = QDir(folder).relativeFilePath(path);
        if (info.isDir())
            entry += QLatin1Char('/');
        else
            entry += QLatin1Char(' ') + QString::fromLatin1(readFile(path).toHex());
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

ImmutableFile::ImmutableFile(const QString &path)
    : m_path(path)
{
    const ToolResult result = runTool(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}, 10000);
    m_active = result.started && result.exitCode == 0;
}

ImmutableFile::~ImmutableFile()
{
    if (m_active)
        runTool(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path}, 10000);
}

} // namespace testsupport
