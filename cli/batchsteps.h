#pragma once

#include "extract/extraction.h"

#include <QPointF>
#include <QPolygonF>
#include <QString>

#include <optional>

class ProjectModel;
class QTextStream;

namespace batch {

// Exit statuses of the command-line mode.
constexpr int succeeded = 0;
constexpr int stepFailed = 1;
constexpr int badUsage = 2;

QTextStream &standardOutput();
QTextStream &standardError();
// Says what is wrong with the command line; returns badUsage.
int usageError(const QString &message);

// One step of the command line with the --into and --region that follow it.
struct Step
{
    QString name;
    QString value;
    QString into;
    QPolygonF region;
};

// What every step of a run shares.
struct StepSettings
{
    extract::Sampling sampling;
    int pointCount = 100; // points per curve of the Excel exports
    QString storeName;    // the project's name for --store
};

// "X,Y": a pixel of the picture, or a place in axis units for --trace-at.
std::optional<QPointF> parsePixel(const QString &text);
// "X,Y" in the units of axes of those kinds: a coordinate of a date axis may be
// an ISO 8601 date or time ("2021-03-01,95").
std::optional<QPointF> parsePlace(const QString &text, AxisKind xKind, AxisKind yKind);
bool isExtractionStep(const QString &name);
// Steps whose value is a file the step writes.
bool writesFile(const QString &name);
// Steps that draw the regenerated graph: its scene draws nothing off the
// application's main thread, so they run there.
bool drawsGraph(const QString &name);

// Runs the steps in order on the model and stops at the first that fails, with
// its reason in *error. What a step prints (the calibration table) is appended
// to *output. Steps of several threads may run at once, each on its own model.
bool runSteps(const QList<Step> &steps, ProjectModel &model, const StepSettings &settings, QString *output,
              QString *error);

} // namespace batch
