#include "ui/batchmode.h"

#include "i18n/localization.h"
#include "io/projectdatabase.h"
#include "io/workbookwriter.h"
#include "model/projectfile.h"
#include "model/projectmodel.h"
#include "regenerated/graphexports.h"
#include "regenerated/graphsettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace batch {

namespace {

constexpr int succeeded = 0;
constexpr int stepFailed = 1;
constexpr int badUsage = 2;

QTextStream &standardOutput()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &standardError()
{
    static QTextStream stream(stderr);
    return stream;
}

int usageError(const QString &message)
{
    standardError() << "Plotmason: " << message << "\nTry 'Plotmason --help' for the options.\n";
    standardError().flush();
    return badUsage;
}

struct StepOption
{
    QString name;
    QString valueName;
    QString description;
};

bool requireCalibration(const ProjectModel &model, QString *error)
{
    if (model.calibration().isComplete())
        return true;
    *error = i18n::tr("Complete X and Y axis calibration before adding points or exporting.");
    return false;
}

bool modelStep(bool ok, const ProjectModel &model, QString *error)
{
    if (!ok)
        *error = model.lastError();
    return ok;
}

// The regenerated graph as a freshly opened window would draw it.
bool runGraphStep(const QString &name, const ProjectModel &model, const QString &target, int points,
                  QString *error)
{
    if (!model.calibration().isComplete()) {
        *error = i18n::tr("Complete X and Y axis calibration before using the regenerated graph.");
        return false;
    }
    if (name == QLatin1String("graph-excel"))
        return writeCurvesWorkbook(target, model.curves(), points, error);
    const GraphFileFormat format = name == QLatin1String("graph-pdf")   ? GraphFileFormat::Pdf
                                   : name == QLatin1String("graph-jpg") ? GraphFileFormat::Jpg
                                                                        : GraphFileFormat::Svg;
    return exportGraphFile(model, initialGraphSettings(model), format, target, error);
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
    };
    parser.addOptions({help, version, listProjects, open, database, project, points, storeAs});
    for (const StepOption &step : stepOptions)
        parser.addOption(QCommandLineOption(step.name, step.description, step.valueName));

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
    if (!parser.positionalArguments().isEmpty())
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

    // The steps in the order the command line gives them ("--x value" or "--x=value").
    QList<std::pair<QString, QString>> steps;
    for (int i = 1; i < arguments.size(); ++i) {
        for (const StepOption &step : stepOptions) {
            const QString option = QStringLiteral("--") + step.name;
            if (arguments[i] == option && i + 1 < arguments.size())
                steps.append({step.name, arguments[++i]});
            else if (arguments[i].startsWith(option + QLatin1Char('=')))
                steps.append({step.name, arguments[i].mid(option.size() + 1)});
        }
    }
    const bool hasProject = parser.isSet(open) || parser.isSet(database);
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

    ProjectModel model;
    QString error;
    const bool opened =
        parser.isSet(open)
            ? openProjectFile(parser.value(open), model, &error)
            : ProjectDatabase::loadProject(parser.value(database), parser.value(project), model, &error);
    if (!opened) {
        standardError() << error << '\n';
        return stepFailed;
    }

    for (const auto &[name, target] : steps) {
        bool ok = false;
        if (name == QLatin1String("export-csv"))
            ok = requireCalibration(model, &error) && modelStep(model.exportCsv(target), model, &error);
        else if (name == QLatin1String("export-svg"))
            ok = requireCalibration(model, &error) && modelStep(model.exportSvg(target), model, &error);
        else if (name == QLatin1String("export-excel"))
            ok = requireCalibration(model, &error) &&
                 writeCurvesWorkbook(target, model.curves(), pointCount, &error);
        else if (name == QLatin1String("save-project"))
            ok = saveProjectFile(target, model, &error);
        else if (name == QLatin1String("store"))
            ok = ProjectDatabase::storeProject(target, model, parser.value(storeAs), &error);
        else
            ok = runGraphStep(name, model, target, pointCount, &error);
        if (!ok) {
            standardError() << error << '\n';
            return stepFailed;
        }
    }
    return succeeded;
}

} // namespace batch
