#pragma once

#include <QString>

class ProjectModel;

// The project document as an indented JSON file, written atomically.
bool saveProjectFile(const QString &path, const ProjectModel &model, QString *error);
// What opening a project does with its picture.
enum class ProjectPicture {
    Required,     // a picture that cannot be read refuses the project
    MayBeMissing, // the project opens without it (ProjectModel::sourceProblem says why)
    Unread,       // left unread, for work that never draws it (see applyProjectJson)
};

// Reads a project file into the model; on failure the model is unchanged.
bool openProjectFile(const QString &path, ProjectModel &model, QString *error,
                     ProjectPicture picture = ProjectPicture::Required);
