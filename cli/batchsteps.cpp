#include "cli/batchsteps.h"
#include "cli/batchcalibration.h"
#include "cli/batchpdfcurve.h"

#include "core/io/projectdatabase.h"
#include "core/io/workbookwriter.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "graph/graphexports.h"
#include "graph/graphsettings.h"
#include "i18n/localization.h"

#include <QTextStream>

#include <cmath>
#include <mutex>

namespace batch {

namespace {

// The database writer keeps the last picture it encoded: pictures processed
// at the same time take turns at storing.
std::mutex storing;

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

// Reads the picture that the project was opened without, once a step needs it.
bool readPicture(ProjectModel &model, QString *error)
{
    if (!model.sourceImage().isNull() || model.sourcePath().isEmpty())
        return true;
    return modelStep(model.loadSource(model.sourcePath()), model, error);
}

// The regenerated graph as a freshly opened window would draw it.
bool runGraphStep(const QString &name, const ProjectModel &model, const QString &target, int points,
                  QString *error)
{
    if (!model.calibration().isComplete()) {
        *error = i18n::tr("Complete X and Y axis calibration before using the regenerated graph.");
        return false;
    }
    GraphSettings settings = initialGraphSettings(model);
    // The window offers "Title", "X" and "Y" for the user to replace; a
    // batch figure prints only the texts the project holds.
    const QJsonObject stored = model.regeneratedGraphSettings();
    for (auto [key, text] : {std::pair(QStringLiteral("title"), &settings.title),
                             std::pair(QStringLiteral("xLabel"), &settings.xLabel),
                             std::pair(QStringLiteral("yLabel"), &settings.yLabel)}) {
        if (!stored.value(key).isString())
            text->clear();
    }
    if (name == QLatin1String("graph-excel"))
        return exportGraphWorkbook(model, settings, points, target, error);
    const GraphFileFormat format = name == QLatin1String("graph-pdf")   ? GraphFileFormat::Pdf
                                   : name == QLatin1String("graph-jpg") ? GraphFileFormat::Jpg
                                                                        : GraphFileFormat::Svg;
    return exportGraphFile(model, settings, format, target, error);
}

// Adds what a click at seed would find on the picture to the step's curve.
// --trace-at gives the seed in axis units, so that it finds the same curve on
// pictures laid out differently once each is calibrated.
bool runExtractionStep(const Step &step, const extract::Sampling &sampling, ProjectModel &model,
                       QString *error)
{
    const bool inValues = step.name == QLatin1String("trace-at");
    if (inValues && !requireCalibration(model, error))
        return false;
    const QString name = inValues ? QStringLiteral("trace") : step.name;
    const Calibration &calibration = model.calibration();
    const std::optional<QPointF> given =
        inValues ? parsePlace(step.value, calibration.xKind, calibration.yKind) : parsePixel(step.value);
    if (!given) {
        *error = QStringLiteral("--trace-at %1 is no place on these axes: dates (2021-03-01) go only on an "
                                "axis of dates.")
                     .arg(step.value);
        return false;
    }
    const QPointF seed = inValues ? calibration.realToPixel(*given) : *given;
    if (sampling.calendarStep && model.calibration().xKind != AxisKind::Date) {
        *error = QStringLiteral("--sample dx with a calendar step needs an x axis of dates; this project's x "
                                "axis counts numbers.");
        return false;
    }
    extract::ExtractionParams params;
    params.sampling = sampling;
    params.region = step.region;
    extract::ExtractionStatus status = extract::ExtractionStatus::NothingFound;
    QPolygonF points;
    if (name == QLatin1String("trace")) {
        const extract::TraceResult result =
            extract::traceCurve(model.sourceImage(), model.calibration(), seed, params);
        status = result.status;
        points = result.points;
    } else {
        const extract::MarkerResult result =
            extract::findMarkers(model.sourceImage(), model.calibration(), seed, params);
        status = result.status;
        points = result.points;
    }
    if (status != extract::ExtractionStatus::Found) {
        *error = extract::statusMessage(status);
        return false;
    }
    // A single point is no curve: most likely the click missed what it meant.
    if (points.size() < 2) {
        *error = QStringLiteral("--%1 %2 found %3 point; a curve needs at least 2, so nothing was added.")
                     .arg(step.name, step.value)
                     .arg(points.size());
        return false;
    }
    return modelStep(model.mergePoints(step.into, points), model, error);
}

bool printCalibration(const ProjectModel &model, QString *output, QString *error)
{
    const Calibration &calibration = model.calibration();
    if (!calibration.isAxisXValid() && !calibration.isAxisYValid()) {
        *error = i18n::tr("Complete X and Y axis calibration before adding points or exporting.");
        return false;
    }
    *output += calibrationTable(calibration);
    return true;
}

bool runStep(const Step &step, ProjectModel &model, const StepSettings &settings, QString *output,
             QString *error)
{
    const QString &name = step.name;
    const QString &target = step.value;
    if (name == QLatin1String("export-csv"))
        return requireCalibration(model, error) && modelStep(model.exportCsv(target), model, error);
    if (name == QLatin1String("export-svg"))
        return requireCalibration(model, error) && readPicture(model, error) &&
               modelStep(model.exportSvg(target), model, error);
    if (name == QLatin1String("export-excel"))
        return requireCalibration(model, error) &&
               writeCurvesWorkbook(target, model.curves(), settings.pointCount, error,
                                   calibrationScales(model.calibration()));
    if (name == QLatin1String("save-project"))
        return saveProjectFile(target, model, error);
    if (name == QLatin1String("store")) {
        // A picture that has gone is no reason not to store the rest.
        readPicture(model, error);
        const std::lock_guard<std::mutex> turn(storing);
        return ProjectDatabase::storeProject(target, model, settings.storeName, error);
    }
    if (isExtractionStep(name))
        return readPicture(model, error) && runExtractionStep(step, settings.sampling, model, error);
    if (name == QLatin1String("auto-calibrate"))
        return readPicture(model, error) && autoCalibrate(model, error);
    if (name == QLatin1String("print-calibration"))
        return printCalibration(model, output, error);
    if (name == QLatin1String("pdf-curve"))
        return requireCalibration(model, error) &&
               importPdfCurve(model, *parsePixel(target), step.into, error);
    if (name == QLatin1String("sort"))
        return modelStep(model.sortPointsByX(step.into), model, error);
    if (name == QLatin1String("dedupe"))
        return modelStep(model.removeDuplicatePoints(step.into, 0.5), model, error);
    // The regenerated graph draws the picture, as the curves' SVG takes its size
    // and a store keeps it; the other steps work on the numbers alone.
    return (!drawsGraph(name) || readPicture(model, error)) &&
           runGraphStep(name, model, target, settings.pointCount, error);
}

} // namespace

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

namespace {

// A coordinate as typed: on a date axis an ISO 8601 date or time comes first,
// so that 2021 is the year and not 2021 seconds after 1970.
std::optional<double> coordinate(const QString &text, AxisKind kind)
{
    if (kind == AxisKind::Date) {
        if (const std::optional<double> date = parseIsoDate(text))
            return date;
    }
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

} // namespace

std::optional<QPointF> parsePlace(const QString &text, AxisKind xKind, AxisKind yKind)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<double> x = coordinate(parts[0], xKind);
    const std::optional<double> y = coordinate(parts[1], yKind);
    if (!x || !y)
        return std::nullopt;
    return QPointF(*x, *y);
}

std::optional<QPointF> parsePixel(const QString &text)
{
    return parsePlace(text, AxisKind::Number, AxisKind::Number);
}

bool isExtractionStep(const QString &name)
{
    return name == QLatin1String("trace") || name == QLatin1String("markers") ||
           name == QLatin1String("trace-at");
}

bool writesFile(const QString &name)
{
    return name.startsWith(QLatin1String("export-")) || name.startsWith(QLatin1String("graph-")) ||
           name == QLatin1String("save-project");
}

bool drawsGraph(const QString &name)
{
    return name.startsWith(QLatin1String("graph-")) && name != QLatin1String("graph-excel");
}

bool runSteps(const QList<Step> &steps, ProjectModel &model, const StepSettings &settings, QString *output,
              QString *error)
{
    for (const Step &step : steps) {
        if (!runStep(step, model, settings, output, error))
            return false;
    }
    return true;
}

} // namespace batch
