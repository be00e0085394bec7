// The main window's project-file commands and the one entry point for files
// handed over by a drop or the command line.
#include "window/mainwindow.h"

#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "digitizing/viewzoom.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"
#include "window/recentprojects.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace {

QString projectFileFilter()
{
    return i18n::tr("Plotmason project (*.pmproj)");
}

// A name beside the project file for a picture that has none, never one that
// is already taken by another file.
QString freePictureName(const QString &projectPath)
{
    const QFileInfo project(projectPath);
    const QDir folder = project.absoluteDir();
    QString candidate = folder.absoluteFilePath(project.completeBaseName() + QStringLiteral(".png"));
    for (int number = 2; QFileInfo::exists(candidate); ++number)
        candidate =
            folder.absoluteFilePath(QStringLiteral("%1-%2.png").arg(project.completeBaseName()).arg(number));
    return candidate;
}

} // namespace

void MainWindow::openProjectFileDialog()
{
    if (!confirmDiscardingChanges())
        return;
    const QString path =
        m_prompts->openFileName(this, i18n::tr("Open project"),
                                projectFileFilter() + QStringLiteral(";;") + i18n::tr("All files (*.*)"));
    if (!path.isEmpty())
        openProjectFromFile(path);
}

bool MainWindow::openProjectFromFile(const QString &path)
{
    QString error;
    if (!openProjectFile(path, *m_model, &error, ProjectPicture::MayBeMissing)) {
        m_prompts->critical(this, QStringLiteral("Plotmason"), error);
        return false;
    }
    m_viewZoom->restoreOrFit(m_model->graphViewSettings());
    linkProjectFile(path);
    markProjectSaved();
    if (m_model->sourceProblem().isEmpty()) {
        statusBar()->showMessage(i18n::tr("Project opened."));
        return true;
    }
    // The points and the calibration are worth having without the picture; a
    // save keeps the picture's path for the day it is back.
    statusBar()->showMessage(i18n::tr("Project opened without its picture."));
    m_prompts->warning(
        this, QStringLiteral("Plotmason"),
        i18n::tr("The picture of this project could not be read (%1). The points and the calibration are "
                 "kept; choose the picture with \"Replace picture...\".")
            .arg(m_model->sourceProblem()));
    return true;
}

void MainWindow::saveProjectAsFile()
{
    const QString path = m_prompts->saveFileName(this, i18n::tr("Save project as"), projectFileFilter(),
                                                 QStringLiteral("pmproj"), true, documentName());
    if (!path.isEmpty() && storeToFile(path))
        linkProjectFile(path);
}

bool MainWindow::storeToFile(const QString &path)
{
    // A pasted picture has no file of its own: the project refers to a copy beside it.
    if (m_model->sourcePath().isEmpty() && !m_model->sourceImage().isNull()) {
        const QString picture = freePictureName(path);
        if (!m_model->sourceImage().save(picture, "PNG")) {
            m_prompts->critical(this, QStringLiteral("Plotmason"),
                                i18n::tr("The picture could not be written to %1.").arg(picture));
            return false;
        }
        m_model->setSourcePath(picture);
    }
    m_model->setGraphViewSettings(m_graphView->viewState());
    QString error;
    if (!saveProjectFile(path, *m_model, &error)) {
        m_prompts->critical(this, QStringLiteral("Plotmason"), error);
        return false;
    }
    markProjectSaved();
    statusBar()->showMessage(i18n::tr("Project saved."));
    return true;
}

void MainWindow::linkProjectFile(const QString &path)
{
    m_linkedToDatabase = false;
    m_databasePath.clear();
    m_databaseProjectName.clear();
    m_projectFilePath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_saveAction->setEnabled(true);
    addRecentProjectFile(m_projectFilePath);
    m_recentProjects->rebuild();
}

void MainWindow::openFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool project = suffix == QLatin1String("pmproj") || suffix == QLatin1String("json");
    const bool database = suffix == QLatin1String("pmdb") || suffix == QLatin1String("sqlite");
    if ((project || database) && !confirmDiscardingChanges())
        return;
    if (project)
        openProjectFromFile(path);
    else if (database)
        openDatabaseFile(path);
    else
        importSourceFile(path);
}
