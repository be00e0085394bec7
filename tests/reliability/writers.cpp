#include "tests/reliability/writers.h"

#include "core/io/csvwriter.h"
#include "core/io/projectdatabase.h"
#include "core/io/workbookwriter.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"

#include <QJsonDocument>

namespace reliability {

namespace {

struct TargetInfo
{
    Target target;
    const char *name;
    const char *fileName;
};

// In the order the crash test's writer goes through them: the long project
// file last, so that the short writes come soon after a start.
const TargetInfo targets[] = {
    {Target::Csv, "csv", "curves.csv"},
    {Target::Workbook, "workbook", "curves.xlsx"},
    {Target::Database, "database", "projects.pmdb"},
    {Target::ProjectFile, "project", "project.pmproj"},
};

const TargetInfo &info(Target target)
{
    for (const TargetInfo &entry : targets) {
        if (entry.target == target)
            return entry;
    }
    Q_UNREACHABLE();
}

QImage picture()
{
    QImage image(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 5, y * 7, (x ^ y) * 3));
    }
    return image;
}

const QString curveNames[] = {QStringLiteral("Flow"), QStringLiteral("Head")};

} // namespace

QStringList targetNames()
{
    QStringList names;
    for (const TargetInfo &entry : targets)
        names.append(QString::fromLatin1(entry.name));
    return names;
}

QString targetName(Target target)
{
    return QString::fromLatin1(info(target).name);
}

bool targetFromName(const QString &name, Target *target)
{
    for (const TargetInfo &entry : targets) {
        if (name == QLatin1String(entry.name)) {
            *target = entry.target;
            return true;
        }
    }
    return false;
}

QString fileName(Target target)
{
    return QString::fromLatin1(info(target).fileName);
}

QString databaseProjectName()
{
    return QStringLiteral("Pump test");
}

void buildProject(ProjectModel &model, int pointCount, int variant)
{
    model.setSourceImage(picture(), QString());
    model.setAxisY(QLineF(100, 500, 100, 100), 0.0, 20.0);
    model.setAxisX(QLineF(100, 500, 500, 500), 0.0, 10.0);
    model.setActiveCurveMetadata(curveNames[0], QStringLiteral("n"), QString());
    model.addCurve(curveNames[1], QStringLiteral("n"));
    // Pixels spread over the chart without repeating soon, two curves in turn.
    for (int i = 0; i < pointCount; ++i)
        model.addPoint(QPointF(100 + (i * 37 % 4001) * 0.1, 100 + (i * 91 % 4003) * 0.1), curveNames[i % 2]);
    applyVariant(model, variant);
}

void applyVariant(ProjectModel &model, int variant)
{
    model.setAxisX(QLineF(100, 500, 500, 500), 0.0, 10.0 + variant);
    for (int i = 0; i < 2; ++i)
        model.setCurveMetadata(i, curveNames[i], QStringLiteral("n"), QString::number(1000 * variant + i));
    model.setRegeneratedGraphSettings({{QStringLiteral("variant"), variant}});
}

bool writeTarget(Target target, const QString &path, const ProjectModel &model, QString *error)
{
    switch (target) {
    case Target::ProjectFile: return saveProjectFile(path, model, error);
    case Target::Csv: return writeCurvesCsv(path, model.curves(), error);
    case Target::Workbook: return writeCurvesWorkbook(path, model.curves(), 0, error);
    case Target::Database: return ProjectDatabase::storeProject(path, model, databaseProjectName(), error);
    }
    return false;
}

QByteArray projectDocument(const ProjectModel &model)
{
    return QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact);
}

} // namespace reliability
