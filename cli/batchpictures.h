#pragma once

#include "batchrun/picturelist.h"
#include "cli/batchsteps.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace batch {

// The steps of one command line run on every picture of many.
struct PictureRun
{
    QStringList sources; // files, folders and patterns
    QList<int> pages{1}; // of each PDF, 1-based
    std::optional<int> dpi;
    QString templateFile; // a project whose calibration, curves and graph settings each picture takes
    QString reportFile;
    int jobs = 1;
    batchrun::Shard shard;
    QList<Step> steps;
    StepSettings settings; // storeName may hold {name}, {page} and {index}
};

// --source first, then --page, --dpi, --template, --report, --jobs and --shard.
QList<QCommandLineOption> pictureOptions();
// Reads the options above into run (sources from --source and the arguments
// after it); says what is wrong with them, or nothing.
QString readPictureOptions(const QCommandLineParser &parser, PictureRun *run);

// Each picture starts a project of its own, as importing it in the window
// would (from the template when there is one), and the steps run on it. A
// picture that fails is reported with its reason and the run goes on. Returns
// 0 when every picture succeeded, 1 when any failed, 2 for a command line that
// cannot work (an output name that two pictures share).
int runPictures(const PictureRun &run);

} // namespace batch
