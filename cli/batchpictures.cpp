#include "cli/batchpictures.h"

#include "batchrun/orderedrun.h"
#include "batchrun/runreport.h"
#include "core/io/exportsupport.h"
#include "core/model/axisfit.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "i18n/localization.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <QThread>

#include <algorithm>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace batch {

namespace {

using batchrun::Picture;
using batchrun::PictureOutcome;

bool namesFile(const Step &step)
{
    return writesFile(step.name) || step.name == QLatin1String("store");
}

// The names that must differ from picture to picture: every file written and
// the name of the stored project. Two pictures writing one file would leave
// only the last one's results.
QString sharedOutput(const PictureRun &run, const QList<Picture> &pictures)
{
    QList<std::pair<QString, bool>> patterns; // with whether it names a file
    for (const Step &step : run.steps) {
        if (writesFile(step.name))
            patterns.append({step.value, true});
        else if (step.name == QLatin1String("store"))
            patterns.append({run.settings.storeName, false});
    }
    for (const auto &[pattern, isFile] : patterns) {
        QHash<QString, const Picture *> owners;
        for (const Picture &picture : pictures) {
            const QString filled = batchrun::fillNamePattern(pattern, picture);
            const QString name = isFile ? QFileInfo(filled).absoluteFilePath() : filled;
            if (const Picture *other = owners.value(name)) {
                return QStringLiteral(
                           "%1 and %2 would both write %3: put {name}, {page} or {index} in the name.")
                    .arg(batchrun::pictureLabel(*other), batchrun::pictureLabel(picture), filled);
            }
            owners.insert(name, &picture);
        }
    }
    return QString();
}

// The document every picture starts from: the template's, or that of a new project.
bool startingDocument(const QString &templateFile, QJsonObject *document, QString *error)
{
    ProjectModel model;
    if (!templateFile.isEmpty() && !openProjectFile(templateFile, model, error, ProjectPicture::Unread))
        return false;
    *document = model.projectJson();
    return true;
}

// Results go where the names say, in folders made for them.
void makeOutputFolders(const PictureRun &run, const QList<Picture> &pictures)
{
    QSet<QString> folders;
    for (const Step &step : run.steps) {
        if (!namesFile(step))
            continue;
        for (const Picture &picture : pictures)
            folders.insert(QFileInfo(batchrun::fillNamePattern(step.value, picture)).absolutePath());
    }
    if (!run.reportFile.isEmpty())
        folders.insert(QFileInfo(run.reportFile).absolutePath());
    for (const QString &folder : folders)
        QDir().mkpath(folder);
}

// The picture as a project of its own: on the template's calibration and
// curves (without their points), or new as "Import source..." makes it.
bool startProject(const Picture &picture, const PictureRun &run, QJsonObject document, ProjectModel &model,
                  QString *error)
{
    document.insert(QStringLiteral("sourcePath"), QFileInfo(picture.file).absoluteFilePath());
    document.insert(QStringLiteral("pdfPage"), std::max(0, picture.page - 1));
    const bool fromTemplate = !run.templateFile.isEmpty();
    if (run.dpi && !fromTemplate)
        document.insert(QStringLiteral("renderDpi"), *run.dpi);
    if (!model.applyProjectJson(document, QString(), false)) {
        *error = model.lastError();
        return false;
    }
    if (fromTemplate) {
        model.clearPoints();
        // Another resolution moves the template's marks with the page.
        if (run.dpi && *run.dpi != model.renderDpi()) {
            model.setRenderDpi(*run.dpi);
            if (model.renderDpi() != *run.dpi) {
                *error = model.lastError();
                return false;
            }
        }
    }
    if (picture.page > 0 && model.pdfPage() != picture.page - 1) {
        *error = QStringLiteral("The PDF has %1 pages; there is no page %2.")
                     .arg(model.pdfPageCount())
                     .arg(picture.page);
        return false;
    }
    return true;
}

std::optional<double> calibrationRms(const Calibration &calibration, bool xAxis)
{
    if (xAxis ? !calibration.isAxisXValid() : !calibration.isAxisYValid())
        return std::nullopt;
    const AxisFit fit =
        fitAxis(calibration.marks(xAxis), xAxis ? calibration.xLogScale : calibration.yLogScale);
    return fit.ok ? std::optional(fit.rms) : std::nullopt;
}

PictureOutcome processPicture(const Picture &picture, const PictureRun &run, const QJsonObject &start)
{
    PictureOutcome outcome;
    ProjectModel model;
    QList<Step> steps = run.steps;
    for (Step &step : steps) {
        if (namesFile(step))
            step.value = batchrun::fillNamePattern(step.value, picture);
    }
    StepSettings settings = run.settings;
    settings.storeName = batchrun::fillNamePattern(settings.storeName, picture);
    QString printed;
    outcome.done = startProject(picture, run, start, model, &outcome.message) &&
                   runSteps(steps, model, settings, &printed, &outcome.message);
    if (outcome.done)
        outcome.message.clear(); // a step may leave a note it recovered from
    // Printed lines say which picture they belong to.
    const QString label = batchrun::pictureLabel(picture) + QLatin1Char('\t');
    for (const QString &line : printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        outcome.output += label + line + QLatin1Char('\n');
    for (const Curve &curve : model.curves())
        outcome.pointsPerCurve.append({curve.name, int(curve.points.size())});
    outcome.rmsX = calibrationRms(model.calibration(), true);
    outcome.rmsY = calibrationRms(model.calibration(), false);
    return outcome;
}

// The progress line, rewritten in place on a terminal.
class Progress
{
public:
    explicit Progress(int total)
        : m_total(total)
        , m_shown(isatty(fileno(stderr)) != 0)
    {
        m_clock.start();
    }
    void clear()
    {
        if (m_width > 0)
            standardError() << '\r' << QString(m_width, QLatin1Char(' ')) << '\r';
        m_width = 0;
    }
    void show(int done)
    {
        // Redrawn a few times a second at most, and once at the end.
        if (!m_shown || (done < m_total && m_clock.elapsed() - m_lastShown < 250))
            return;
        m_lastShown = m_clock.elapsed();
        const QString line = batchrun::progressLine(done, m_total, m_clock.elapsed() / 1000.0);
        clear();
        standardError() << line;
        standardError().flush();
        m_width = int(line.size());
    }

private:
    QElapsedTimer m_clock;
    int m_total = 0;
    bool m_shown = false;
    qint64 m_lastShown = -1000;
    int m_width = 0;
};

// A whole number from low to high, or nothing.
std::optional<int> wholeNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? std::optional(value) : std::nullopt;
}

} // namespace

QList<QCommandLineOption> pictureOptions()
{
    return {
        {QStringLiteral("source"),
         QStringLiteral("Start a new project on each picture: image or PDF files, folders, or patterns such "
                        "as \"scans/*.png\" (more may follow as arguments). Output names may hold {name}, "
                        "{page} and {index}."),
         QStringLiteral("FILE")},
        {QStringLiteral("page"),
         QStringLiteral("Pages of each PDF --source, as 3, 2-5 or 1,4,7-9 (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("dpi"),
         QStringLiteral("Resolution of the PDF pages, 36..1200 (default 150, or the "
                        "template's)."),
         QStringLiteral("D")},
        {QStringLiteral("template"),
         QStringLiteral("Take the calibration, the curves (without their points) and the graph settings of "
                        "this project for each --source."),
         QStringLiteral("FILE")},
        {QStringLiteral("report"),
         QStringLiteral("Write a CSV row per picture: file, page, status, message, points per curve, "
                        "calibration RMS."),
         QStringLiteral("FILE")},
        {QStringLiteral("jobs"),
         QStringLiteral("Pictures processed at once (default: the number of cores; one with --graph-pdf, "
                        "--graph-jpg or --graph-svg)."),
         QStringLiteral("N")},
        {QStringLiteral("shard"),
         QStringLiteral("Process only every N-th picture, starting with the K-th, so that N runs share a "
                        "folder."),
         QStringLiteral("K/N")},
    };
}

QString readPictureOptions(const QCommandLineParser &parser, PictureRun *run)
{
    const QList<QCommandLineOption> options = pictureOptions();
    const bool fromPictures = parser.isSet(options.first());
    for (const QCommandLineOption &option : options) {
        if (parser.isSet(option) && !fromPictures)
            return QStringLiteral("--%1 goes with --source.").arg(option.names().first());
    }
    if (!fromPictures)
        return QString();
    run->sources = parser.values(options.first()) + parser.positionalArguments();
    // An empty name would start a project without a picture, whose exports would all succeed empty.
    if (run->sources.contains(QString()))
        return QStringLiteral("--source takes a file, a folder or a pattern.");
    if (parser.isSet(QStringLiteral("page"))) {
        const std::optional<QList<int>> pages = batchrun::parsePages(parser.value(QStringLiteral("page")));
        if (!pages)
            return QStringLiteral("--page takes pages from 1 as 3, 2-5 or 1,4,7-9.");
        run->pages = *pages;
    }
    if (parser.isSet(QStringLiteral("dpi"))) {
        run->dpi = wholeNumber(parser.value(QStringLiteral("dpi")), ProjectModel::minimumRenderDpi,
                               ProjectModel::maximumRenderDpi);
        if (!run->dpi)
            return QStringLiteral("--dpi takes a whole number from 36 to 1200.");
    }
    run->templateFile = parser.value(QStringLiteral("template"));
    run->reportFile = parser.value(QStringLiteral("report"));
    run->jobs = std::max(1, QThread::idealThreadCount());
    if (parser.isSet(QStringLiteral("jobs"))) {
        const std::optional<int> jobs = wholeNumber(parser.value(QStringLiteral("jobs")), 1, 256);
        if (!jobs)
            return QStringLiteral("--jobs takes a whole number from 1 to 256.");
        run->jobs = *jobs;
    }
    if (parser.isSet(QStringLiteral("shard"))) {
        const std::optional<batchrun::Shard> shard =
            batchrun::parseShard(parser.value(QStringLiteral("shard")));
        if (!shard)
            return QStringLiteral("--shard takes K/N with K from 1 to N, for example 2/8.");
        run->shard = *shard;
    }
    return QString();
}

int runPictures(const PictureRun &run)
{
    for (const Step &step : run.steps) {
        const QString unknown = batchrun::unknownPlaceholder(namesFile(step) ? step.value : QString());
        if (!unknown.isEmpty())
            return usageError(
                QStringLiteral("%1 in %2: names take {name}, {page} and {index}.").arg(unknown, step.value));
    }
    if (const QString unknown = batchrun::unknownPlaceholder(run.settings.storeName); !unknown.isEmpty())
        return usageError(QStringLiteral("%1 in --as: names take {name}, {page} and {index}.").arg(unknown));
    QStringList files;
    QString error;
    if (!batchrun::expandSources(run.sources, &files, &error)) {
        standardError() << error << '\n';
        return stepFailed;
    }
    const QList<Picture> all = batchrun::picturesOf(files, run.pages);
    const QString shared = sharedOutput(run, all);
    if (!shared.isEmpty())
        return usageError(shared);
    QJsonObject start;
    if (!startingDocument(run.templateFile, &start, &error)) {
        standardError() << run.templateFile << ": " << error << '\n';
        return stepFailed;
    }
    const QList<Picture> pictures = batchrun::shardOf(all, run.shard);
    makeOutputFolders(run, pictures);
    // The translations are set up here, once, before the pictures' threads use them.
    i18n::Localization::instance();

    const bool drawsGraphs = std::any_of(run.steps.cbegin(), run.steps.cend(),
                                         [](const Step &step) { return drawsGraph(step.name); });
    std::vector<PictureOutcome> outcomes(std::size_t(pictures.size()));
    int done = 0;
    int failed = 0;
    Progress progress(int(pictures.size()));
    batchrun::runInOrder(
        int(pictures.size()), drawsGraphs ? 1 : run.jobs,
        [&](int i) { outcomes[std::size_t(i)] = processPicture(pictures.at(i), run, start); },
        [&](int i) {
            PictureOutcome &outcome = outcomes[std::size_t(i)];
            progress.clear();
            standardOutput() << outcome.output;
            standardOutput().flush();
            outcome.output.clear();
            if (outcome.done) {
                ++done;
            } else {
                ++failed;
                standardError() << batchrun::pictureLabel(pictures.at(i)) << ": " << outcome.message << '\n';
            }
            progress.show(done + failed);
        });
    progress.clear();
    standardError() << batchrun::summaryLine(done, failed) << '\n';
    bool reported = true;
    if (!run.reportFile.isEmpty() &&
        !(reported = saveFileContents(run.reportFile, batchrun::reportCsv(pictures, outcomes), &error)))
        standardError() << run.reportFile << ": " << error << '\n';
    standardError().flush();
    return failed == 0 && reported ? succeeded : stepFailed;
}

} // namespace batch
