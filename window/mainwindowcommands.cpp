// The main window's file, database and export commands.
#include "window/mainwindow.h"

#include "core/io/projectdatabase.h"
#include "core/io/workbookwriter.h"
#include "core/model/projectmodel.h"
#include "core/model/sourceloading.h"
#include "digitizing/graphview.h"
#include "digitizing/viewzoom.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"
#include "window/aboutdialog.h"
#include "window/axisproposal.h"
#include "window/calibrationmarksdialog.h"
#include "window/calibrationprompt.h"
#include "window/recentprojects.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QUndoStack>

namespace {

QString cleanedAbsolutePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool MainWindow::ensureCalibrated(const QString &refusal)
{
    if (m_model->calibration().isComplete())
        return true;
    m_prompts->information(this, i18n::tr("Calibration"), refusal);
    return false;
}

void MainWindow::importSource()
{
    // Points and axes of another picture mean nothing on this one: it starts a new project.
    const bool newProject = m_model->hasDigitizedWork();
    if (newProject && !confirmDiscardingChanges())
        return;
    const QString path = m_prompts->openFileName(this, i18n::tr("Import graph"), sourceFileFilter());
    if (!path.isEmpty())
        loadPicture(path, newProject);
}

void MainWindow::importSourceFile(const QString &path)
{
    const bool newProject = m_model->hasDigitizedWork();
    if (!newProject || confirmDiscardingChanges())
        loadPicture(path, newProject);
}

void MainWindow::loadPicture(const QString &path, bool newProject)
{
    if (!newProject)
        m_model->loadSource(path);
    else if (m_model->startProjectFromSource(path))
        forgetProject();
}

void MainWindow::replacePicture()
{
    const QString path = m_prompts->openFileName(this, i18n::tr("Import graph"), sourceFileFilter());
    if (!path.isEmpty())
        m_model->loadSource(path);
}

void MainWindow::forgetProject()
{
    m_graphView->restoreViewState({});
    m_linkedToDatabase = false;
    m_databasePath.clear();
    m_databaseProjectName.clear();
    m_projectFilePath.clear();
    m_saveAction->setEnabled(false);
}

void MainWindow::closeProject()
{
    if (!confirmDiscardingChanges())
        return;
    m_model->resetProject();
    forgetProject();
    markProjectSaved();
    statusBar()->showMessage(i18n::tr("Project closed."));
}

bool MainWindow::storeToDatabase(const QString &path, const QString &name)
{
    m_model->setGraphViewSettings(m_graphView->viewState());
    QString error;
    if (!ProjectDatabase::storeProject(path, *m_model, name, &error)) {
        m_prompts->critical(this, QStringLiteral("Plotmason"), error);
        return false;
    }
    addRecentProject(path, name);
    m_recentProjects->rebuild();
    markProjectSaved();
    statusBar()->showMessage(i18n::tr("Project saved to database."));
    return true;
}

void MainWindow::saveProject()
{
    if (m_linkedToDatabase && !m_databasePath.isEmpty() && !m_databaseProjectName.isEmpty())
        storeToDatabase(m_databasePath, m_databaseProjectName);
    else if (!m_projectFilePath.isEmpty())
        storeToFile(m_projectFilePath);
}

QString MainWindow::askProjectName()
{
    const QString source = m_model->sourcePath();
    const QString suggestion = source.isEmpty() ? i18n::tr("Project") : QFileInfo(source).completeBaseName();
    QString name;
    if (!m_prompts->text(this, i18n::tr("Project name"), i18n::tr("Project name in database:"), suggestion,
                         &name))
        return {};
    return name.trimmed();
}

void MainWindow::linkDatabase(const QString &path, const QString &name)
{
    m_linkedToDatabase = true;
    m_databasePath = path;
    m_databaseProjectName = name;
    m_projectFilePath.clear();
    m_saveAction->setEnabled(true);
}

bool MainWindow::mayReplaceStoredProject(const QString &path, const QString &name)
{
    const bool linkedHere = m_linkedToDatabase && name == m_databaseProjectName &&
                            cleanedAbsolutePath(path) == cleanedAbsolutePath(m_databasePath);
    if (linkedHere || !QFileInfo::exists(path) || !ProjectDatabase::listProjects(path).contains(name))
        return true;
    return m_prompts->question(
               this, QStringLiteral("Plotmason"),
               i18n::tr("A project named \"%1\" already exists in this database. Replace it?").arg(name),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::saveProjectToDatabase()
{
    // The database is added to, never replaced, so the dialog does not ask to overwrite it.
    const QString path = m_prompts->saveFileName(this, QStringLiteral("Plotmason database"),
                                                 i18n::tr("Plotmason database (*.pmdb *.sqlite)"),
                                                 QStringLiteral("pmdb"), false, QString());
    if (path.isEmpty())
        return;
    QString name;
    do {
        name = askProjectName();
        if (name.isEmpty())
            return;
    } while (!mayReplaceStoredProject(path, name));
    if (storeToDatabase(path, name))
        linkDatabase(path, name);
}

void MainWindow::openProjectFromDatabase()
{
    if (!confirmDiscardingChanges())
        return;
    const QString path = m_prompts->openFileName(this, i18n::tr("Open Plotmason database"),
                                                 i18n::tr("Plotmason database (*.pmdb *.sqlite)") +
                                                     QStringLiteral(";;") + i18n::tr("All files (*.*)"));
    if (!path.isEmpty())
        openDatabaseFile(path);
}

void MainWindow::openDatabaseFile(const QString &path)
{
    QString error;
    const QStringList projects = ProjectDatabase::listProjects(path, &error);
    if (!projects.isEmpty()) {
        QString chosen;
        if (m_prompts->item(this, i18n::tr("Open project"), i18n::tr("Project:"), projects, &chosen))
            openDatabaseProject(path, chosen);
        return;
    }
    if (!error.isEmpty()) {
        m_prompts->warning(this, QStringLiteral("Plotmason"), error);
        return;
    }
    if (m_prompts->question(
            this, QStringLiteral("Plotmason"),
            i18n::tr("No Plotmason projects found in this database. Use it for the current project?"),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString name = askProjectName();
    if (name.isEmpty())
        return;
    linkDatabase(path, name);
    statusBar()->showMessage(i18n::tr("Database ready for the current project."));
}

bool MainWindow::openDatabaseProject(const QString &databasePath, const QString &projectName)
{
    QString error;
    QString differingFile;
    if (!ProjectDatabase::loadProject(databasePath, projectName, *m_model, &error, &differingFile)) {
        m_prompts->critical(this, QStringLiteral("Plotmason"), error);
        return false;
    }
    m_viewZoom->restoreOrFit(m_model->graphViewSettings());
    linkDatabase(cleanedAbsolutePath(databasePath), projectName);
    addRecentProject(m_databasePath, projectName);
    m_recentProjects->rebuild();
    markProjectSaved();
    if (!differingFile.isEmpty())
        m_prompts->warning(
            this, QStringLiteral("Plotmason"),
            i18n::tr("The picture stored with the project is shown, as the file %1 differs from it. To use "
                     "the file instead, choose it with \"Replace picture...\".")
                .arg(QDir::toNativeSeparators(differingFile)));
    return true;
}

bool MainWindow::hasUnsavedChanges() const
{
    return !m_model->undoStack()->isClean() || m_graphSettingsChanged;
}

void MainWindow::markProjectSaved()
{
    m_model->undoStack()->setClean();
    m_graphSettingsChanged = false;
    updateModifiedMark();
    if (m_regeneratedWindow)
        m_regeneratedWindow->setDocumentName(documentName());
}

QString MainWindow::documentName() const
{
    if (m_linkedToDatabase && !m_databaseProjectName.isEmpty())
        return m_databaseProjectName;
    if (!m_projectFilePath.isEmpty())
        return QFileInfo(m_projectFilePath).completeBaseName();
    return QFileInfo(m_model->sourcePath()).completeBaseName();
}

void MainWindow::updateModifiedMark()
{
    setWindowModified(hasUnsavedChanges());
}

bool MainWindow::confirmDiscardingChanges()
{
    if (!hasUnsavedChanges())
        return true;
    const QMessageBox::StandardButton answer =
        m_prompts->question(this, i18n::tr("Save changes"),
                            i18n::tr("The project has unsaved changes. Save them before continuing?"),
                            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    if (m_linkedToDatabase || !m_projectFilePath.isEmpty())
        saveProject();
    else
        saveProjectToDatabase();
    // Cancelling the save dialogs or a failed store keeps the work on screen.
    return !hasUnsavedChanges();
}

void MainWindow::exportCurves(const QString &title, const QString &filter, const QString &suffix,
                              bool (ProjectModel::*write)(const QString &) const)
{
    if (!ensureCalibrated(i18n::tr("Complete X and Y axis calibration before adding points or exporting.")))
        return;
    const QString path = m_prompts->saveFileName(this, title, filter, suffix, true, documentName());
    // Failures arrive through the model's error signal.
    if (!path.isEmpty())
        (m_model->*write)(path);
}

void MainWindow::exportCsv()
{
    exportCurves(i18n::tr("Export CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"),
                 &ProjectModel::exportCsv);
}

void MainWindow::exportSvg()
{
    exportCurves(i18n::tr("Export SVG"), QStringLiteral("SVG (*.svg)"), QStringLiteral("svg"),
                 &ProjectModel::exportSvg);
}

void MainWindow::exportExcel()
{
    if (!ensureCalibrated(i18n::tr("Complete X and Y axis calibration before adding points or exporting.")))
        return;
    int points = 0;
    if (!m_prompts->integer(
            this, i18n::tr("Export Excel"),
            i18n::tr("How many points should be generated for each curve? If the number is greater "
                     "than the acquired points, they will be interpolated on the spline."),
            100, 2, 10000, &points))
        return;
    const QString path =
        m_prompts->saveFileName(this, i18n::tr("Export Excel"), i18n::tr("Excel workbook (*.xlsx)"),
                                QStringLiteral("xlsx"), true, documentName());
    if (path.isEmpty())
        return;
    QString error;
    if (!writeCurvesWorkbook(path, m_model->curves(), points, &error,
                             calibrationScales(m_model->calibration())))
        m_prompts->critical(this, QStringLiteral("Plotmason"), error);
}

void MainWindow::openRegeneratedGraph()
{
    if (!ensureCalibrated(i18n::tr("Complete X and Y axis calibration before using the regenerated graph.")))
        return;
    if (m_regeneratedWindow) {
        m_regeneratedWindow->raise();
        m_regeneratedWindow->activateWindow();
        return;
    }
    m_regeneratedWindow = new RegeneratedGraphWindow(m_model, this);
    m_regeneratedWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_regeneratedWindow->setUserPrompts(m_prompts);
    m_regeneratedWindow->setDocumentName(documentName());
    m_regeneratedWindow->showMaximized();
}

void MainWindow::configureCalibration(bool xAxis, QLineF line)
{
    promptForAxisValues(*m_model, *m_prompts, this, xAxis, line);
    updateWorkflowState();
}

void MainWindow::addCalibrationMark(bool xAxis, QPointF pixel)
{
    promptForMarkValue(*m_model, *m_prompts, this, xAxis, pixel);
    openCalibrationMarks();
}

void MainWindow::openCalibrationMarks()
{
    // One table, kept beside the picture while marks are added.
    if (!m_marksDialog) {
        m_marksDialog = new CalibrationMarksDialog(m_model, this);
        m_marksDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_marksDialog->show();
    m_marksDialog->raise();
}

void MainWindow::findAxes()
{
    findAxesInPicture(*m_model, *m_graphView, *m_prompts, this);
    updateWorkflowState();
}

void MainWindow::openAboutDialog()
{
    // Window-modal but not blocking, so nothing waits on it.
    auto *dialog = new AboutDialog(m_updateFlow, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
