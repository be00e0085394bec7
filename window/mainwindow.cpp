#include "window/mainwindow.h"

#include "core/model/projectmodel.h"
#include "digitizing/coordinatereadout.h"
#include "i18n/localization.h"

#include "digitizing/graphview.h"
#include "digitizing/loupe.h"
#include "digitizing/viewzoom.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "prompts/dialogplaces.h"
#include "prompts/userprompts.h"
#include "window/calibrationmarksdialog.h"
#include "window/curvesdock.h"
#include "window/curvestepping.h"
#include "window/dropandpaste.h"
#include "window/extractionpanel.h"
#include "window/historyactions.h"
#include "window/pdfpickdock.h"
#include "window/pointscopy.h"
#include "window/recentprojects.h"
#include "window/toolbaricons.h"
#include "window/updateflow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>

namespace {

const QString orthogonalSetting = QStringLiteral("calibration/orthogonalAxes");

// The round step mark of the workflow actions: green when the step is done.
QIcon stepIcon(bool done)
{
    const QColor fill(done ? QStringLiteral("#2e7d32") : QStringLiteral("#8a8a8a"));
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(fill.darker(135), 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(2, 2, 14, 14));
    return QIcon(pixmap);
}

QAction *checkableAction(QObject *parent, bool checked)
{
    auto *action = new QAction(parent);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_model(new ProjectModel(this))
    , m_graphView(new GraphView(m_model, this))
    , m_defaultPrompts(std::make_unique<UserPrompts>())
    , m_prompts(m_defaultPrompts.get())
    , m_updateFlow(new UpdateFlow(this, m_prompts))
{
    setWindowTitle(QStringLiteral("Plotmason[*]"));
    resize(1200, 800);
    setCentralWidget(m_graphView);

    createActions();
    createMenusAndToolbar();
    m_dock = new CurvesDock(m_model, m_prompts, this);
    addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_editMenu->addSeparator();
    m_editMenu->addActions(m_dock->cleanupActions());
    addExtractionDock(this, m_model, m_graphView);
    addPdfPickDock(this, m_graphView);
    new PointsCopy(m_model, m_dock->pointsTable(), m_graphView, this);
    // Wide enough for curve names and the five columns without clipping.
    resizeDocks({m_dock}, {430}, Qt::Horizontal);
    retranslate();
    connectModel();

    statusBar()->showMessage(i18n::tr("Import an image or PDF to begin."));
    updateCurvesTable();
    updatePointsTable();
    updateWorkflowState();
}

MainWindow::~MainWindow()
{
    // The model goes with the window's children, after this part of the window
    // is gone; its history announces its end and must not reach it any more.
    disconnect(m_model->undoStack(), nullptr, this, nullptr);
}

RegeneratedGraphWindow *MainWindow::regeneratedGraphWindow() const
{
    return m_regeneratedWindow;
}

void MainWindow::setUserPrompts(UserPrompts *prompts)
{
    m_prompts = prompts ? prompts : m_defaultPrompts.get();
    m_dock->setUserPrompts(m_prompts);
    m_updateFlow->setUserPrompts(m_prompts);
}

void MainWindow::createActions()
{
    const auto action = [this](auto slot, QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
        auto *created = new QAction(this);
        if (key != QKeySequence::UnknownKey)
            created->setShortcut(key);
        connect(created, &QAction::triggered, this, slot);
        return created;
    };
    m_importAction = action(&MainWindow::importSource, QKeySequence::Open);
    m_replacePictureAction = action(&MainWindow::replacePicture);
    m_closeAction = action(&MainWindow::closeProject);
    m_saveAction = action(&MainWindow::saveProject, QKeySequence::Save);
    m_saveAction->setEnabled(false);
    m_openDatabaseAction = action(&MainWindow::openProjectFromDatabase);
    m_openFileAction = action(&MainWindow::openProjectFileDialog);
    m_openFileAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    m_saveFileAction = action(&MainWindow::saveProjectAsFile, QKeySequence::SaveAs);
    m_viewZoom = new ViewZoom(m_graphView, m_model, this);
    m_dropAndPaste = new DropAndPaste(this);
    m_loupe = new Loupe(m_graphView, m_model);
    m_nextCurveAction = curveStepAction(m_model, 1, this);
    m_nextCurveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    m_previousCurveAction = curveStepAction(m_model, -1, this);
    m_previousCurveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    m_saveDatabaseAction = action(&MainWindow::saveProjectToDatabase);
    m_exportCsvAction = action(&MainWindow::exportCsv);
    m_exportSvgAction = action(&MainWindow::exportSvg);
    m_exportExcelAction = action(&MainWindow::exportExcel);
    m_exitAction = action(&MainWindow::close, QKeySequence::Quit);
    m_regeneratedAction = action(&MainWindow::openRegeneratedGraph);
    m_calibrationMarksAction = action(&MainWindow::openCalibrationMarks);
    m_findAxesAction = action(&MainWindow::findAxes);
    m_findAxesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    m_aboutAction = action(&MainWindow::openAboutDialog);

    m_history = new HistoryActions(m_model->undoStack(), this);
    addActions({m_history->undoAction(), m_history->redoAction()});

    // Ctrl+Z belongs to the history's "Undo" now.
    m_undoAction = new QAction(this);
    connect(m_undoAction, &QAction::triggered, this, [this] {
        statusBar()->showMessage(m_model->undoLastPointInsertion()
                                     ? i18n::tr("Last inserted point undone.")
                                     : i18n::tr("There is no point insertion to undo."));
    });
    addAction(m_undoAction);

    m_deletePointAction = new QAction(this);
    m_deletePointAction->setShortcut(QKeySequence::Delete);
    m_deletePointAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_deletePointAction, &QAction::triggered, m_graphView, &GraphView::deleteSelectedPoints);
    addAction(m_deletePointAction);

    auto *modes = new QActionGroup(this);
    modes->setExclusive(true);
    m_pointModeAction = checkableAction(modes, true);
    m_calibrateXAction = checkableAction(modes, false);
    m_calibrateYAction = checkableAction(modes, false);
    m_traceModeAction = checkableAction(modes, false);
    m_markersModeAction = checkableAction(modes, false);
    m_pickPdfAction = checkableAction(modes, false);
    connect(m_pickPdfAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::PickPdfMode); });
    connect(m_traceModeAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::TraceMode); });
    connect(m_markersModeAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::MarkersMode); });
    m_pointModeAction->setShortcut(QKeySequence(Qt::Key_P));
    m_calibrateXAction->setShortcut(QKeySequence(Qt::Key_X));
    m_calibrateYAction->setShortcut(QKeySequence(Qt::Key_Y));
    m_traceModeAction->setShortcut(QKeySequence(Qt::Key_T));
    m_markersModeAction->setShortcut(QKeySequence(Qt::Key_M));
    connect(m_pointModeAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::PointMode); });
    connect(m_calibrateXAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::CalibrateXMode); });
    connect(m_calibrateYAction, &QAction::triggered, this,
            [this] { m_graphView->setInteractionMode(GraphView::CalibrateYMode); });

    const bool orthogonal = QSettings().value(orthogonalSetting, true).toBool();
    m_orthogonalAction = checkableAction(this, orthogonal);
    m_graphView->setOrthogonalAxes(orthogonal);
    connect(m_orthogonalAction, &QAction::toggled, this, [this](bool on) {
        QSettings().setValue(orthogonalSetting, on);
        m_graphView->setOrthogonalAxes(on);
    });

    m_sourceLayerAction = checkableAction(this, true);
    m_axesLayerAction = checkableAction(this, true);
    m_pointsLayerAction = checkableAction(this, true);
    m_gridLayerAction = checkableAction(this, false);
    for (QAction *layer : {m_sourceLayerAction, m_axesLayerAction, m_pointsLayerAction, m_gridLayerAction})
        connect(layer, &QAction::toggled, this, &MainWindow::applyLayerActions);

    // Names for finding the actions in tests and style sheets; texts change with the language.
    const std::pair<QAction *, const char *> names[] = {
        {m_importAction, "importAction"},
        {m_replacePictureAction, "replacePictureAction"},
        {m_closeAction, "closeAction"},
        {m_saveAction, "saveAction"},
        {m_openDatabaseAction, "openDatabaseAction"},
        {m_openFileAction, "openFileAction"},
        {m_saveFileAction, "saveFileAction"},
        {m_saveDatabaseAction, "saveDatabaseAction"},
        {m_exportCsvAction, "exportCsvAction"},
        {m_exportSvgAction, "exportSvgAction"},
        {m_exportExcelAction, "exportExcelAction"},
        {m_regeneratedAction, "regeneratedAction"},
        {m_calibrationMarksAction, "calibrationMarksAction"},
        {m_findAxesAction, "findAxesAction"},
        {m_undoAction, "undoAction"},
        {m_deletePointAction, "deletePointAction"},
        {m_pointModeAction, "pointModeAction"},
        {m_traceModeAction, "traceModeAction"},
        {m_markersModeAction, "markersModeAction"},
        {m_pickPdfAction, "pickPdfAction"},
        {m_calibrateXAction, "calibrateXAction"},
        {m_calibrateYAction, "calibrateYAction"},
        {m_orthogonalAction, "orthogonalAction"},
        {m_sourceLayerAction, "sourceLayerAction"},
        {m_axesLayerAction, "axesLayerAction"},
        {m_pointsLayerAction, "pointsLayerAction"},
        {m_gridLayerAction, "gridLayerAction"},
        {m_nextCurveAction, "nextCurveAction"},
        {m_previousCurveAction, "previousCurveAction"},
    };
    for (const auto &[named, name] : names)
        named->setObjectName(QString::fromLatin1(name));

    auto *languages = new QActionGroup(this);
    languages->setExclusive(true);
    for (int index = 0; index < i18n::LanguageCount; ++index) {
        QAction *language = checkableAction(languages, false);
        language->setText(i18n::languageName(index));
        language->setData(i18n::languageCode(index));
        connect(language, &QAction::triggered, this, &MainWindow::changeLanguage);
        m_languageActions.append(language);
    }
}

void MainWindow::createMenusAndToolbar()
{
    m_fileMenu = menuBar()->addMenu(QString());
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_fileMenu->addAction(m_importAction);
    m_fileMenu->addAction(m_replacePictureAction);
    m_fileMenu->addAction(m_openFileAction);
    m_fileMenu->addAction(m_closeAction);
    m_recentMenu = m_fileMenu->addMenu(QString());
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    m_recentProjects = new RecentProjectsMenu(m_recentMenu);
    connect(m_recentProjects, &RecentProjectsMenu::projectChosen, this,
            [this](const QString &path, const QString &name) {
                if (confirmDiscardingChanges())
                    openDatabaseProject(path, name);
            });
    connect(m_recentProjects, &RecentProjectsMenu::projectFileChosen, this, [this](const QString &path) {
        if (confirmDiscardingChanges())
            openProjectFromFile(path);
    });
    m_fileMenu->addAction(m_saveAction);
    m_fileMenu->addAction(m_saveFileAction);
    m_fileMenu->addAction(m_openDatabaseAction);
    m_fileMenu->addAction(m_saveDatabaseAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exportCsvAction);
    m_fileMenu->addAction(m_exportSvgAction);
    m_fileMenu->addAction(m_exportExcelAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);
    m_graphMenu = menuBar()->addMenu(QString());
    m_graphMenu->addAction(m_regeneratedAction);
    m_graphMenu->addAction(m_findAxesAction);
    m_graphMenu->addAction(m_calibrationMarksAction);
    m_editMenu = menuBar()->addMenu(QString());
    m_editMenu->addAction(m_history->undoAction());
    m_editMenu->addAction(m_history->redoAction());
    m_editMenu->addSeparator();
    m_editMenu->addAction(m_undoAction);
    m_editMenu->addAction(m_dropAndPaste->pasteAction());
    m_editMenu->addSeparator();
    m_editMenu->addActions({m_nextCurveAction, m_previousCurveAction});
    m_viewMenu = menuBar()->addMenu(QString());
    m_viewMenu->setObjectName(QStringLiteral("viewMenu"));
    m_viewMenu->addActions({m_viewZoom->fitAction(), m_viewZoom->zoomInAction(), m_viewZoom->zoomOutAction(),
                            m_viewZoom->actualSizeAction()});
    m_viewMenu->addSeparator();
    m_viewMenu->addAction(m_loupe->toggleAction());
    m_languageMenu = menuBar()->addMenu(QString());
    m_languageMenu->addActions(m_languageActions);
    m_infoMenu = menuBar()->addMenu(QString());
    m_infoMenu->addAction(m_aboutAction);

    m_toolbar = addToolBar(QString());
    m_toolbar->setObjectName(QStringLiteral("toolsBar"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->addAction(m_importAction);
    m_toolbar->addAction(m_openFileAction);
    m_toolbar->addAction(m_saveAction);
    m_toolbar->addAction(m_closeAction);
    m_toolbar->addSeparator();
    m_toolbar->addAction(m_pointModeAction);
    m_toolbar->addAction(m_traceModeAction);
    m_toolbar->addAction(m_markersModeAction);
    m_toolbar->addAction(m_pickPdfAction);
    m_toolbar->addAction(m_calibrateXAction);
    m_toolbar->addAction(m_calibrateYAction);
    m_toolbar->addAction(m_orthogonalAction);
    m_toolbar->addAction(m_findAxesAction);
    m_toolbar->addSeparator();
    m_toolbar->addAction(m_history->undoAction());
    m_toolbar->addAction(m_history->redoAction());
    m_toolbar->addAction(m_deletePointAction);
    m_toolbar->addSeparator();
    m_toolbar->addAction(m_sourceLayerAction);
    m_toolbar->addAction(m_axesLayerAction);
    m_toolbar->addAction(m_pointsLayerAction);
    m_toolbar->addAction(m_gridLayerAction);
    m_toolbar->addSeparator();
    m_pageLabel = new QLabel(m_toolbar);
    m_toolbar->addWidget(m_pageLabel);
    m_pageSpin = new QSpinBox(m_toolbar);
    m_pageSpin->setMinimum(1);
    m_pageSpin->setEnabled(false);
    m_toolbar->addWidget(m_pageSpin);
    connect(m_pageSpin, &QSpinBox::valueChanged, this, [this](int value) { m_model->setPdfPage(value - 1); });
    m_dpiLabel = new QLabel(m_toolbar);
    m_toolbar->addWidget(m_dpiLabel);
    m_dpiSpin = new QSpinBox(m_toolbar);
    m_dpiSpin->setRange(ProjectModel::minimumRenderDpi, ProjectModel::maximumRenderDpi);
    m_dpiSpin->setValue(m_model->renderDpi());
    // Each typed digit would otherwise render the page once more.
    m_dpiSpin->setKeyboardTracking(false);
    m_dpiSpin->setObjectName(QStringLiteral("dpiSpin"));
    m_toolbar->addWidget(m_dpiSpin);
    connect(m_dpiSpin, &QSpinBox::valueChanged, m_model, &ProjectModel::setRenderDpi);
    applyToolbarIcons(m_toolbar,
                      {{m_importAction, QStringLiteral("document-import"), QStringLiteral("import"), true},
                       {m_openFileAction, QStringLiteral("document-open"), QStringLiteral("open"), false},
                       {m_saveAction, QStringLiteral("document-save"), QStringLiteral("save"), false},
                       {m_closeAction, QStringLiteral("document-close"), QStringLiteral("close"), false},
                       {m_orthogonalAction, QString(), QStringLiteral("orthogonal"), false},
                       {m_traceModeAction, QString(), QStringLiteral("trace"), false},
                       {m_markersModeAction, QString(), QStringLiteral("markers"), false},
                       {m_pickPdfAction, QString(), QStringLiteral("pdfpick"), false},
                       {m_history->undoAction(), QStringLiteral("edit-undo"), QStringLiteral("undo"), false},
                       {m_history->redoAction(), QStringLiteral("edit-redo"), QStringLiteral("redo"), false},
                       {m_deletePointAction, QStringLiteral("edit-delete"), QStringLiteral("delete"), false},
                       {m_sourceLayerAction, QString(), QStringLiteral("source"), false},
                       {m_axesLayerAction, QString(), QStringLiteral("axes"), false},
                       {m_pointsLayerAction, QString(), QStringLiteral("points"), false},
                       {m_gridLayerAction, QString(), QStringLiteral("grid"), false}});
}

void MainWindow::connectModel()
{
    connect(m_graphView, &GraphView::calibrationLineSelected, this, &MainWindow::configureCalibration);
    connect(m_graphView, &GraphView::calibrationMarkAdded, this, &MainWindow::addCalibrationMark);
    connect(m_graphView, &GraphView::statusMessage, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    auto *readout = new CoordinateReadout(m_model, this);
    readout->setObjectName(QStringLiteral("coordinateReadout"));
    statusBar()->addPermanentWidget(readout);
    connect(m_graphView, &GraphView::pointerMoved, readout, &CoordinateReadout::showAt);
    connect(m_graphView, &GraphView::pointerLeft, readout, &CoordinateReadout::clearReading);
    connect(m_model, &ProjectModel::calibrationChanged, readout, &CoordinateReadout::clearReading);
    connect(m_model, &ProjectModel::pdfInfoChanged, this, &MainWindow::updatePdfControls);
    connect(m_model, &ProjectModel::sourceImageChanged, this, &MainWindow::updateWorkflowState);
    connect(m_model, &ProjectModel::calibrationChanged, this, &MainWindow::updateWorkflowState);
    connect(m_model, &ProjectModel::activeCurveChanged, this, &MainWindow::updateCurvesTable);
    connect(m_model, &ProjectModel::activeCurveChanged, this, &MainWindow::updatePointsTable);
    connect(m_model, &ProjectModel::curvesChanged, this, &MainWindow::updateCurvesTable);
    connect(m_model, &ProjectModel::pointsChanged, this, &MainWindow::updateCurvesTable);
    connect(m_model, &ProjectModel::pointsChanged, this, &MainWindow::updatePointsTable);
    connect(m_model, &ProjectModel::selectedPointChanged, this, &MainWindow::updatePointsTable);
    connect(m_model, &ProjectModel::visibleLayersChanged, this, &MainWindow::updateLayerChecks);
    connect(m_model, &ProjectModel::errorOccurred, this, &MainWindow::showModelError);
    connect(&i18n::Localization::instance(), &i18n::Localization::languageChanged, this,
            &MainWindow::retranslate);

    // The history holds every edit of the project but the graph window's settings.
    connect(m_model->undoStack(), &QUndoStack::cleanChanged, this, &MainWindow::updateModifiedMark);
    // The graph window records its starting settings when it first draws: no edit of the user's.
    connect(m_model, &ProjectModel::regeneratedGraphSettingsChanged, this, [this] {
        if (!m_regeneratedWindow || m_regeneratedWindow->hasDrawn()) {
            m_graphSettingsChanged = true;
            updateModifiedMark();
        }
    });
    // The regenerated graph shows the project it was opened on, never the next one.
    connect(m_model, &ProjectModel::projectAboutToBeReplaced, this, [this] {
        if (m_regeneratedWindow)
            m_regeneratedWindow->close();
    });
}

void MainWindow::retranslate()
{
    m_fileMenu->setTitle(i18n::tr("File"));
    m_recentMenu->setTitle(i18n::tr("Recent files"));
    m_graphMenu->setTitle(i18n::tr("Graph"));
    m_editMenu->setTitle(i18n::tr("Edit"));
    m_languageMenu->setTitle(i18n::tr("Language"));
    m_infoMenu->setTitle(i18n::tr("Info"));
    m_importAction->setText(i18n::tr("Import source..."));
    m_replacePictureAction->setText(i18n::tr("Replace picture..."));
    m_closeAction->setText(i18n::tr("Close project"));
    m_saveAction->setText(i18n::tr("Save"));
    m_openDatabaseAction->setText(i18n::tr("Open from database..."));
    m_openFileAction->setText(i18n::tr("Open project..."));
    m_saveFileAction->setText(i18n::tr("Save project as..."));
    m_viewMenu->setTitle(i18n::tr("&View"));
    m_viewZoom->retranslate();
    m_dropAndPaste->retranslate();
    m_loupe->retranslate();
    m_nextCurveAction->setText(i18n::tr("Next curve"));
    m_previousCurveAction->setText(i18n::tr("Previous curve"));
    m_saveDatabaseAction->setText(i18n::tr("Save to database..."));
    m_exportCsvAction->setText(i18n::tr("Export CSV..."));
    m_exportSvgAction->setText(i18n::tr("Export SVG..."));
    m_exportExcelAction->setText(i18n::tr("Export Excel..."));
    m_exitAction->setText(i18n::tr("Exit"));
    m_regeneratedAction->setText(i18n::tr("Regenerated graph..."));
    m_calibrationMarksAction->setText(i18n::tr("Calibration marks..."));
    m_findAxesAction->setText(i18n::tr("Find axes"));
    m_findAxesAction->setToolTip(withShortcut(
        i18n::tr("Calibrate from the chart's own axes and tick labels, shown for you to accept."),
        m_findAxesAction));
    if (m_marksDialog)
        m_marksDialog->retranslate();
    m_undoAction->setText(i18n::tr("Undo last point"));
    m_history->retranslate();
    m_aboutAction->setText(i18n::tr("Program information..."));
    m_toolbar->setWindowTitle(i18n::tr("Tools"));
    m_pointModeAction->setText(i18n::tr("Graph points"));
    m_traceModeAction->setText(i18n::tr("Trace curve"));
    m_traceModeAction->setToolTip(withShortcut(
        i18n::tr("Click on a curve's line to find its points automatically."), m_traceModeAction));
    m_markersModeAction->setText(i18n::tr("Find markers"));
    m_markersModeAction->setToolTip(
        withShortcut(i18n::tr("Click on one marker to find every marker like it."), m_markersModeAction));
    m_pickPdfAction->setText(i18n::tr("Pick from PDF"));
    m_pickPdfAction->setToolTip(i18n::tr("Click on a line drawn in a vector PDF to add its exact points."));
    m_calibrateXAction->setText(i18n::tr("Calibrate X"));
    m_calibrateYAction->setText(i18n::tr("Calibrate Y"));
    m_orthogonalAction->setText(i18n::tr("Orthogonal axes"));
    m_orthogonalAction->setToolTip(i18n::tr(
        "Keep calibration axes horizontal and vertical. Turn this off only for tilted source images."));
    m_deletePointAction->setText(i18n::tr("Delete point"));
    m_sourceLayerAction->setText(i18n::tr("Source"));
    m_axesLayerAction->setText(i18n::tr("Axes"));
    m_pointsLayerAction->setText(i18n::tr("Visible points"));
    m_gridLayerAction->setText(i18n::tr("Grid"));
    m_gridLayerAction->setToolTip(i18n::tr(
        "Draw the calibrated grid over the picture: on a good calibration it lies on the chart's grid."));
    m_pageLabel->setText(i18n::tr("Page:"));
    m_dpiLabel->setText(i18n::tr("DPI:"));
    for (QAction *keyed :
         {m_importAction, m_openFileAction, m_saveAction, m_closeAction, m_pointModeAction,
          m_calibrateXAction, m_calibrateYAction, m_undoAction, m_deletePointAction, m_sourceLayerAction,
          m_axesLayerAction, m_pointsLayerAction, m_nextCurveAction, m_previousCurveAction})
        showShortcutInToolTip(keyed);
    m_dock->retranslate();

    const QString current = i18n::languageCode(i18n::Localization::instance().language());
    for (QAction *language : std::as_const(m_languageActions))
        language->setChecked(language->data().toString() == current);
    m_recentProjects->rebuild();
    updateWorkflowState();
}

QList<std::pair<QAction *, uint>> MainWindow::layerActions() const
{
    return {{m_sourceLayerAction, ProjectModel::SourceLayer},
            {m_axesLayerAction, ProjectModel::AxesLayer},
            {m_pointsLayerAction, ProjectModel::PointsLayer},
            {m_gridLayerAction, ProjectModel::GridLayer}};
}

void MainWindow::updateLayerChecks()
{
    const uint layers = m_model->visibleLayers();
    for (const auto &[action, bit] : layerActions()) {
        const QSignalBlocker block(action);
        action->setChecked(layers & bit);
    }
}

void MainWindow::applyLayerActions()
{
    uint layers = 0;
    for (const auto &[action, bit] : layerActions())
        layers |= action->isChecked() ? bit : 0u;
    m_model->setVisibleLayers(layers);
}

void MainWindow::updatePdfControls()
{
    const QSignalBlocker block(m_pageSpin);
    const int pages = m_model->pdfPageCount();
    m_pageSpin->setEnabled(pages >= 1);
    m_pageSpin->setRange(1, qMax(pages, 1));
    m_pageSpin->setValue(m_model->pdfPage() + 1);
    const QSignalBlocker blockDpi(m_dpiSpin);
    m_dpiSpin->setValue(m_model->renderDpi());
}

void MainWindow::updateWorkflowState()
{
    if (!m_model || !m_graphView || !m_dock)
        return;
    const bool hasSource = !m_model->sourceImage().isNull();
    const bool xOk = m_model->calibration().isAxisXValid();
    const bool yOk = m_model->calibration().isAxisYValid();
    const bool complete = xOk && yOk;

    // A project whose picture is missing gets it back through the same command.
    m_replacePictureAction->setEnabled(hasSource || !m_model->sourcePath().isEmpty());
    m_calibrateXAction->setEnabled(hasSource);
    m_calibrateYAction->setEnabled(hasSource);
    m_findAxesAction->setEnabled(hasSource);
    m_pointModeAction->setEnabled(complete);
    m_traceModeAction->setEnabled(complete);
    m_markersModeAction->setEnabled(complete);
    m_pickPdfAction->setEnabled(complete);
    m_calibrateXAction->setIcon(stepIcon(xOk));
    m_calibrateYAction->setIcon(stepIcon(yOk));
    m_pointModeAction->setIcon(stepIcon(complete));
    for (QAction *action : {m_exportCsvAction, m_exportSvgAction, m_exportExcelAction, m_regeneratedAction,
                            m_undoAction, m_deletePointAction})
        action->setEnabled(complete);
    m_dock->setEditingEnabled(complete);

    if (!hasSource) {
        statusBar()->showMessage(i18n::tr("Import an image or PDF to begin."));
        return;
    }
    QAction *modeAction = m_calibrateXAction;
    int mode = GraphView::CalibrateXMode;
    QString message = i18n::tr("Calibration required: calibrate the X axis first.");
    if (complete) {
        modeAction = m_pointModeAction;
        mode = GraphView::PointMode;
        message = i18n::tr("Calibration complete. Point mode is active.");
    } else if (xOk) {
        modeAction = m_calibrateYAction;
        mode = GraphView::CalibrateYMode;
        message = i18n::tr("Calibration required: calibrate the Y axis.");
    }
    modeAction->setChecked(true);
    if (m_graphView->interactionMode() != mode)
        m_graphView->setInteractionMode(mode);
    statusBar()->showMessage(message);
}

void MainWindow::updateCurvesTable()
{
    m_dock->updateCurvesTable();
}

void MainWindow::updatePointsTable()
{
    m_dock->updatePointsTable();
}

void MainWindow::updateCurveFromTable(int row, int column)
{
    m_dock->updateCurveFromTable(row, column);
}

void MainWindow::activateCurveFromTable()
{
    m_dock->activateCurveFromTable();
}

void MainWindow::updatePointFromTable(int row, int column)
{
    m_dock->updatePointFromTable(row, column);
}

void MainWindow::activatePointFromTable()
{
    m_dock->activatePointFromTable();
}

void MainWindow::addCurveRow()
{
    m_dock->addCurveRow();
}

void MainWindow::removeSelectedCurveRow()
{
    m_dock->removeSelectedCurveRow();
}

void MainWindow::showModelError(const QString &message)
{
    // A refused page or resolution leaves the model as it was: the boxes show it
    // again, once the box that asked for the change has finished its own update.
    QMetaObject::invokeMethod(this, &MainWindow::updatePdfControls, Qt::QueuedConnection);
    m_prompts->critical(this, QStringLiteral("Plotmason"), message);
}

void MainWindow::changeLanguage()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        i18n::Localization::instance().setLanguage(i18n::languageFromCode(action->data().toString()));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (confirmDiscardingChanges()) {
        saveWindowLayout(this);
        event->accept();
    } else {
        event->ignore();
    }
}
