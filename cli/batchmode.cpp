#include "cli/batchmode.h"
#include "cli/batchpictures.h"
#include "cli/batchsteps.h"

#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "extract/extraction.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace batch {

namespace {

struct StepOption
{
    QString name;
    QString valueName; // empty: the step takes no value
    QString description;
};

bool takesInto(const QString &step)
{
    return isExtractionStep(step) || step == QLatin1String("pdf-curve") || step == QLatin1String("sort") ||
           step == QLatin1String("dedupe");
}

// The value of option `name` at arguments[*i] ("--name value" or "--name=value"), moving *i past it.
std::optional<QString> optionValue(const QStringList &arguments, int *i, const QString &name)
{
    const QString option = QStringLiteral("--") + name;
    if (arguments[*i] == option && *i + 1 < arguments.size())
        return arguments[++*i];
    if (arguments[*i].startsWith(option + QLatin1Char('=')))
        return arguments[*i].mid(option.size() + 1);
    return std::nullopt;
}

// "X0,Y0,X1,Y1": a rectangle of the picture's pixels.
std::optional<QPolygonF> parseRegion(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    double values[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        values[k] = parts[k].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[k]))
            return std::nullopt;
    }
    const QRectF box = QRectF(QPointF(values[0], values[1]), QPointF(values[2], values[3])).normalized();
    if (box.width() < 2 || box.height() < 2)
        return std::nullopt;
    return QPolygonF(box);
}

// "shape", a point count N, or "dx=VALUE" in axis units or as a calendar step ("dx=1month").
std::optional<extract::Sampling> parseSampling(const QString &text)
{
    extract::Sampling sampling;
    if (text == QLatin1String("shape"))
        return sampling;
    bool ok = false;
    if (text.startsWith(QLatin1String("dx="))) {
        sampling.mode = extract::SamplingMode::EveryDx;
        sampling.calendarStep = parseCalendarStep(QStringView(text).mid(3));
        if (sampling.calendarStep)
            return sampling;
        sampling.step = text.mid(3).toDouble(&ok);
        return ok && std::isfinite(sampling.step) && sampling.step > 0.0 ? std::optional(sampling)
                                                                         : std::nullopt;
    }
    sampling.mode = extract::SamplingMode::EvenInX;
    sampling.count = text.toInt(&ok);
    return ok && sampling.count >= 2 && sampling.count <= 10000 ? std::optional(sampling) : std::nullopt;
}

} // namespace

void silenceToolkitMessages()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

bool isBatchInvocation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0)
            return true;
    }
    return false;
}

QString windowFileArgument(const QStringList &arguments)
{
    return arguments.size() > 1 ? arguments.at(1) : QString();
}

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plotmason graph digitizer: exports projects without a window."));
    const QCommandLineOption help(QStringLiteral("help"), QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the program version."));
    const QCommandLineOption listProjects(QStringLiteral("list-projects"),
                                          QStringLiteral("List the projects of a database, newest first."),
                                          QStringLiteral("DB"));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open a project file."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Open a project stored in DB."), QStringLiteral("DB"));
    const QCommandLineOption project(QStringLiteral("project"), QStringLiteral("Name of the project in DB."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption points(QStringLiteral("points"),
                                    QStringLiteral("Points per curve for the Excel exports (2..10000)."),
                                    QStringLiteral("N"), QStringLiteral("100"));
    const QCommandLineOption storeAs(QStringLiteral("as"), QStringLiteral("Project name for --store."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption into(
        QStringLiteral("into"),
        QStringLiteral("Curve that the --trace, --markers, --pdf-curve, --sort or --dedupe step just before "
                       "it works on, created if missing (default: the active curve). Each --into belongs to "
                       "the step before it."),
        QStringLiteral("NAME"));
    const QCommandLineOption region(
        QStringLiteral("region"),
        QStringLiteral("Pixels X0,Y0,X1,Y1 of the picture that the --trace or --markers step just before it "
                       "searches, inside the plot frame."),
        QStringLiteral("X0,Y0,X1,Y1"));
    const QCommandLineOption sample(
        QStringLiteral("sample"),
        QStringLiteral(
            "Points --trace keeps: shape (fewest within 0.5 pixel), N evenly in x, or dx=VALUE "
            "(every VALUE in axis units). On a logarithmic x axis N is even in log x and VALUE is a "
            "factor: dx=2 keeps a point at every power of 2. On a date x axis VALUE may be a calendar "
            "step: dx=1month (the first of every month), dx=7d, dx=1h, dx=1y."),
        QStringLiteral("HOW"), QStringLiteral("shape"));
    const StepOption stepOptions[] = {
        {QStringLiteral("export-csv"), QStringLiteral("OUT"), QStringLiteral("Export the curves as CSV.")},
        {QStringLiteral("export-svg"), QStringLiteral("OUT"), QStringLiteral("Export the curves as SVG.")},
        {QStringLiteral("export-excel"), QStringLiteral("OUT"),
         QStringLiteral("Export the curves as a workbook.")},
        {QStringLiteral("graph-pdf"), QStringLiteral("OUT"),
         QStringLiteral("Export the regenerated graph as PDF.")},
        {QStringLiteral("graph-jpg"), QStringLiteral("OUT"),
         QStringLiteral("Export the regenerated graph as JPG.")},
        {QStringLiteral("graph-svg"), QStringLiteral("OUT"),
         QStringLiteral("Export the regenerated graph as SVG.")},
        {QStringLiteral("graph-excel"), QStringLiteral("OUT"),
         QStringLiteral("Export the regenerated graph's curves as a workbook.")},
        {QStringLiteral("save-project"), QStringLiteral("OUT"), QStringLiteral("Save the project file.")},
        {QStringLiteral("store"), QStringLiteral("DB"),
         QStringLiteral("Store the project in DB (with --as).")},
        {QStringLiteral("trace"), QStringLiteral("X,Y"),
         QStringLiteral("Trace the curve through the picture's pixel X,Y.")},
        {QStringLiteral("trace-at"), QStringLiteral("X,Y"),
         QStringLiteral(
             "Trace the curve through the place X,Y in axis units, once the picture is calibrated.")},
        {QStringLiteral("markers"), QStringLiteral("X,Y"),
         QStringLiteral("Find every marker like the one at the picture's pixel X,Y.")},
        {QStringLiteral("auto-calibrate"), QString(),
         QStringLiteral("Calibrate from the picture's own axes and tick labels; refused unless each axis has "
                        "three labels agreeing within 0.5 px.")},
        {QStringLiteral("print-calibration"), QString(),
         QStringLiteral("Print the calibration's marks and axes with their residuals, tab-separated.")},
        {QStringLiteral("pdf-curve"), QStringLiteral("X,Y"),
         QStringLiteral(
             "Import the curve drawn at pixel X,Y of the PDF page, with the paths drawn with it.")},
        {QStringLiteral("sort"), QString(), QStringLiteral("Sort the points of the curve by x.")},
        {QStringLiteral("dedupe"), QString(),
         QStringLiteral("Remove the points of the curve within 0.5 pixel of one before them.")},
    };
    parser.addOptions(
        {help, version, listProjects, open, database, project, points, storeAs, into, region, sample});
    parser.addOptions(pictureOptions());
    for (const StepOption &step : stepOptions)
        parser.addOption(step.valueName.isEmpty()
                             ? QCommandLineOption(step.name, step.description)
                             : QCommandLineOption(step.name, step.description, step.valueName));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        standardOutput() << parser.helpText();
        return succeeded;
    }
    if (parser.isSet(version)) {
        standardOutput() << "Plotmason " << QCoreApplication::applicationVersion() << '\n';
        return succeeded;
    }
    // More pictures may follow --source, as a shell expands a pattern.
    if (!parser.positionalArguments().isEmpty() && !parser.isSet(QStringLiteral("source")))
        return usageError(
            QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first()));

    bool pointsOk = false;
    const int pointCount = parser.value(points).toInt(&pointsOk);
    if (!pointsOk || pointCount < 2 || pointCount > 10000)
        return usageError(QStringLiteral("--points takes a whole number from 2 to 10000."));
    if (parser.isSet(database) != parser.isSet(project))
        return usageError(QStringLiteral("--database and --project go together."));
    if (parser.isSet(open) && parser.isSet(database))
        return usageError(QStringLiteral("Open either a project file or a database project, not both."));
    if (parser.isSet(QStringLiteral("store")) != parser.isSet(storeAs))
        return usageError(QStringLiteral("--store and --as go together."));

    // The steps in the order the command line gives them ("--x value" or "--x=value"), each with the
    // --into and --region that follow it.
    QList<Step> steps;
    for (int i = 1; i < arguments.size(); ++i) {
        const qsizetype before = steps.size();
        for (const StepOption &step : stepOptions) {
            if (steps.size() > before)
                break;
            if (step.valueName.isEmpty() && arguments[i] == QStringLiteral("--") + step.name)
                steps.append({step.name, QString(), QString(), QPolygonF()});
            else if (const std::optional<QString> value =
                         step.valueName.isEmpty() ? std::nullopt : optionValue(arguments, &i, step.name))
                steps.append({step.name, *value, QString(), QPolygonF()});
        }
        if (steps.size() > before)
            continue;
        if (const std::optional<QString> name = optionValue(arguments, &i, QStringLiteral("into"))) {
            if (steps.isEmpty() || !takesInto(steps.last().name))
                return usageError(QStringLiteral("--into belongs to the --trace, --markers, --pdf-curve, "
                                                 "--sort or --dedupe step before it."));
            if (!steps.last().into.isEmpty())
                return usageError(QStringLiteral("Give one --into per step."));
            steps.last().into = name->trimmed();
        } else if (const std::optional<QString> box = optionValue(arguments, &i, QStringLiteral("region"))) {
            const std::optional<QPolygonF> parsed = parseRegion(*box);
            if (steps.isEmpty() || !isExtractionStep(steps.last().name))
                return usageError(QStringLiteral(
                    "--region belongs to the --trace, --trace-at or --markers step before it."));
            if (!parsed)
                return usageError(QStringLiteral("--region takes X0,Y0,X1,Y1 in pixels, at least 2 apart."));
            steps.last().region = *parsed;
        }
    }
    const std::optional<extract::Sampling> sampling =
        parser.isSet(sample) ? parseSampling(parser.value(sample)) : std::optional(extract::Sampling());
    if (!sampling)
        return usageError(
            QStringLiteral("--sample takes shape, a number of points from 2 to 10000, dx=VALUE above 0, or a "
                           "calendar step such as dx=1month, dx=7d or dx=1h."));
    bool extracts = false;
    for (const Step &step : steps) {
        if (isExtractionStep(step.name)) {
            extracts = true;
            const bool inValues = step.name == QLatin1String("trace-at");
            if (!(inValues ? parsePlace(step.value, AxisKind::Date, AxisKind::Date) : parsePixel(step.value)))
                return usageError(
                    step.name == QLatin1String("trace-at")
                        ? QStringLiteral("--trace-at takes a place in axis units as X,Y.")
                        : QStringLiteral("--%1 takes a pixel of the picture as X,Y.").arg(step.name));
        } else if (step.name == QLatin1String("pdf-curve") && !parsePixel(step.value)) {
            return usageError(QStringLiteral("--pdf-curve takes a pixel as X,Y, for example 120.5,300."));
        }
    }
    if (parser.isSet(sample) && !extracts)
        return usageError(QStringLiteral("--sample goes with --trace or --markers."));
    PictureRun pictureRun;
    if (const QString problem = readPictureOptions(parser, &pictureRun); !problem.isEmpty())
        return usageError(problem);
    if (parser.isSet(pictureOptions().first()) && (parser.isSet(open) || parser.isSet(database)))
        return usageError(QStringLiteral("Start either from pictures or from a project, not both."));
    const bool hasProject = parser.isSet(open) || parser.isSet(database) || !pictureRun.sources.isEmpty();
    if (!steps.isEmpty() && !hasProject)
        return usageError(
            QStringLiteral("The exports need a project: give --open FILE or --database DB --project NAME."));

    if (parser.isSet(listProjects)) {
        QString error;
        const QStringList names = ProjectDatabase::listProjects(parser.value(listProjects), &error);
        if (!error.isEmpty()) {
            standardError() << error << '\n';
            return stepFailed;
        }
        for (const QString &name : names)
            standardOutput() << name << '\n';
        standardOutput().flush();
    }
    if (!hasProject)
        return parser.isSet(listProjects) ? succeeded
                                          : usageError(QStringLiteral("Give a project and what to export."));
    const StepSettings settings{*sampling, pointCount, parser.value(storeAs)};
    if (!pictureRun.sources.isEmpty()) {
        pictureRun.steps = steps;
        pictureRun.settings = settings;
        return runPictures(pictureRun);
    }

    ProjectModel model;
    QString error;
    const bool opened =
        parser.isSet(open)
            ? openProjectFile(parser.value(open), model, &error, ProjectPicture::Unread)
            : ProjectDatabase::loadProject(parser.value(database), parser.value(project), model, &error);
    if (!opened) {
        standardError() << error << '\n';
        return stepFailed;
    }

    QString printed;
    const bool ok = runSteps(steps, model, settings, &printed, &error);
    standardOutput() << printed;
    standardOutput().flush();
    if (!ok) {
        standardError() << error << '\n';
        return stepFailed;
    }
    return succeeded;
}

} // namespace batch
