#pragma once

#include <QString>

class ProjectModel;

// The project document as an indented JSON file, written atomically.
bool saveProjectFile(const QString &path, const ProjectModel &model, QString *error);
// Reads a project file into the model; on failure the model is unchanged.
// Without readPicture the picture is left unread (see applyProjectJson).
bool openProjectFile(const QString &path, ProjectModel &model, QString *error, bool readPicture = true);
