#pragma once

#include <QLineF>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <utility>

class CurvesDock;
class DropAndPaste;
class HistoryActions;
class GraphView;
class Loupe;
class ProjectModel;
class QAction;
class QActionGroup;
class QImage;
class QLabel;
class QMenu;
class QSpinBox;
class QToolBar;
class RecentProjectsMenu;
class RegeneratedGraphWindow;
class UpdateFlow;
class CalibrationMarksDialog;
class UserPrompts;
class ViewZoom;

// The program's window: the picture in the middle, the curves dock beside it,
// menus and toolbar for the whole digitizing workflow.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Tests answer the window's questions through their own prompts.
    void setUserPrompts(UserPrompts *prompts);

    ProjectModel *model() const { return m_model; }
    GraphView *graphView() const { return m_graphView; }
    CurvesDock *curvesDock() const { return m_dock; }
    bool isLinkedToDatabase() const { return m_linkedToDatabase; }
    QString databasePath() const { return m_databasePath; }
    QString databaseProjectName() const { return m_databaseProjectName; }
    // The project changed since it was last opened, stored or closed.
    bool hasUnsavedChanges() const;
    // The open regenerated-graph window, if any.
    RegeneratedGraphWindow *regeneratedGraphWindow() const;
    // The update check: quiet at start-up, reported in the program information.
    UpdateFlow *updateFlow() const { return m_updateFlow; }
    // Opens a stored project (also the entry point of the recent-files menu).
    bool openDatabaseProject(const QString &databasePath, const QString &projectName);
    // The project file the project came from or was last saved as; empty otherwise.
    QString projectFilePath() const { return m_projectFilePath; }
    bool openProjectFromFile(const QString &path);
    // Opens whatever a user hands over by a drop or the command line: a project
    // file, a database (through its project chooser) or a picture or PDF.
    void openFile(const QString &path);
    // A picture with no file becomes the source of a new project.
    void pastePicture(const QImage &image);

public Q_SLOTS:
    void importSource();
    void replacePicture();
    void openProjectFileDialog();
    void saveProjectAsFile();
    void saveProject();
    void closeProject();
    void saveProjectToDatabase();
    void openProjectFromDatabase();
    void exportCsv();
    void exportSvg();
    void exportExcel();
    void openRegeneratedGraph();
    void configureCalibration(bool xAxis, QLineF line);
    // A further mark clicked on an axis that is set: its value, then the marks' table.
    void addCalibrationMark(bool xAxis, QPointF pixel);
    void openCalibrationMarks();
    void findAxes();
    void updatePdfControls();
    void addCurveRow();
    void removeSelectedCurveRow();
    void updateCurveFromTable(int row, int column);
    void activateCurveFromTable();
    void updateCurvesTable();
    void updatePointFromTable(int row, int column);
    void activatePointFromTable();
    void updatePointsTable();
    void showModelError(const QString &message);
    void changeLanguage();
    void openAboutDialog();
    void updateWorkflowState();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenusAndToolbar();
    void connectModel();
    void retranslate();
    // The layer toggles and the bit of visibleLayers each one sets.
    QList<std::pair<QAction *, uint>> layerActions() const;
    void updateLayerChecks();
    void applyLayerActions();
    bool ensureCalibrated(const QString &refusal);
    QString askProjectName();
    // True unless another project of that name in the database would be replaced and the user says No.
    bool mayReplaceStoredProject(const QString &path, const QString &name);
    bool storeToDatabase(const QString &path, const QString &name);
    void linkDatabase(const QString &path, const QString &name);
    // Drops the database link and the view's zoom of the project that was shown.
    void forgetProject();
    // The project as it is now counts as stored.
    void markProjectSaved();
    void updateModifiedMark();
    // What the project is called: its stored name, its file's or its picture's; empty for a pasted picture.
    QString documentName() const;
    // Save, discard or cancel before the current work is replaced; false means stop.
    bool confirmDiscardingChanges();
    void exportCurves(const QString &title, const QString &filter, const QString &suffix,
                      bool (ProjectModel::*write)(const QString &) const);
    void importSourceFile(const QString &path);
    // A picture for this project, or the first of a new one when this one holds work.
    void loadPicture(const QString &path, bool newProject);
    void openDatabaseFile(const QString &path);
    bool storeToFile(const QString &path);
    void linkProjectFile(const QString &path);

    ProjectModel *m_model;
    GraphView *m_graphView;
    CurvesDock *m_dock = nullptr;
    QSpinBox *m_pageSpin = nullptr;
    QSpinBox *m_dpiSpin = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_graphMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QMenu *m_languageMenu = nullptr;
    QMenu *m_infoMenu = nullptr;
    QToolBar *m_toolbar = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_dpiLabel = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_replacePictureAction = nullptr;
    QAction *m_closeAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_openDatabaseAction = nullptr;
    QAction *m_openFileAction = nullptr;
    QAction *m_saveFileAction = nullptr;
    QAction *m_saveDatabaseAction = nullptr;
    QAction *m_exportCsvAction = nullptr;
    QAction *m_exportSvgAction = nullptr;
    QAction *m_exportExcelAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_regeneratedAction = nullptr;
    QAction *m_calibrationMarksAction = nullptr;
    QAction *m_findAxesAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_pointModeAction = nullptr;
    QAction *m_calibrateXAction = nullptr;
    QAction *m_calibrateYAction = nullptr;
    QAction *m_orthogonalAction = nullptr;
    QAction *m_deletePointAction = nullptr;
    QAction *m_sourceLayerAction = nullptr;
    QAction *m_axesLayerAction = nullptr;
    QAction *m_pointsLayerAction = nullptr;
    QAction *m_gridLayerAction = nullptr;
    QAction *m_traceModeAction = nullptr;
    QAction *m_markersModeAction = nullptr;
    QAction *m_pickPdfAction = nullptr;
    QList<QAction *> m_languageActions;
    RecentProjectsMenu *m_recentProjects = nullptr;
    HistoryActions *m_history = nullptr;
    // The regenerated graph's settings changed; they are not part of the undo history.
    bool m_graphSettingsChanged = false;
    bool m_linkedToDatabase = false;
    QString m_databasePath;
    QString m_databaseProjectName;
    QString m_projectFilePath;
    ViewZoom *m_viewZoom = nullptr;
    DropAndPaste *m_dropAndPaste = nullptr;
    QMenu *m_viewMenu = nullptr;
    Loupe *m_loupe = nullptr;
    QAction *m_nextCurveAction = nullptr;
    QAction *m_previousCurveAction = nullptr;
    std::unique_ptr<UserPrompts> m_defaultPrompts;
    UserPrompts *m_prompts;
    UpdateFlow *m_updateFlow;
    QPointer<RegeneratedGraphWindow> m_regeneratedWindow;
    QPointer<CalibrationMarksDialog> m_marksDialog;
};
