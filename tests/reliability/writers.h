#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class ProjectModel;

// What the fault and crash tests write, shared by the tests and by their
// child process (writerhelper.cpp): the four kinds of file that hold the
// user's work, each made by the program's own writer from a project that is
// the same for the same variant.
namespace reliability {

enum class Target { ProjectFile, Csv, Workbook, Database };

QStringList targetNames(); // "project", "csv", "workbook", "database"
QString targetName(Target target);
bool targetFromName(const QString &name, Target *target);
// The file name the crash test gives each target in its folder.
QString fileName(Target target);

constexpr int variantCount = 4;
// The name under which the database keeps the project.
QString databaseProjectName();

// A calibrated project of two curves with pointCount points in all and a
// small picture. Variants differ in every real value (the X axis runs to
// 10 + variant), in the curves' parameter values and in the settings record.
void buildProject(ProjectModel &model, int pointCount, int variant);
// Turns a project built by buildProject into another variant of it, cheaply.
void applyVariant(ProjectModel &model, int variant);

// Writes the project through the program's writer for that target.
bool writeTarget(Target target, const QString &path, const ProjectModel &model, QString *error);

// The document the database must give back for a variant.
QByteArray projectDocument(const ProjectModel &model);

} // namespace reliability
