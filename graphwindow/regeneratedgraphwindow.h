#pragma once

#include "graph/graphsettings.h"

#include <QJsonObject>
#include <QMainWindow>

#include <memory>

class GraphSettingsPanel;
class ProjectModel;
class QGraphicsScene;
class QGraphicsTextItem;
class QTimer;
class UserPrompts;
class ZoomableGraphView;
enum class GraphFileFormat;

// The regenerated graph: the digitized curves redrawn as a clean plot beside
// the controls that shape it, with its PDF, JPG, SVG and Excel exports. It
// follows the model's points and curves and writes its settings record back
// into the model after every rebuild, until it is closed.
class RegeneratedGraphWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit RegeneratedGraphWindow(ProjectModel *model, QWidget *parent = nullptr);
    ~RegeneratedGraphWindow() override;

    // Tests answer the window's questions through their own prompts.
    void setUserPrompts(UserPrompts *prompts);
    // The name the export dialogs propose for their files.
    void setDocumentName(const QString &name) { m_documentName = name; }

    // The record of the current controls and fields.
    QJsonObject settingsToJson() const { return m_settings.toJson(); }
    const GraphSettings &settings() const { return m_settings; }
    // Takes the keys the object holds, keeping the current values for the
    // others, and shows them; the next rebuild draws them.
    void applySettingsJson(const QJsonObject &object);
    // Recomputes the four limits; the caller rebuilds.
    void autoScaleAxes();

    // False until the first rebuild has recorded the starting settings in the
    // model; changes of the record after it are the user's edits.
    bool hasDrawn() const { return m_drawn; }

    QGraphicsScene *scene() const { return m_scene; }
    ZoomableGraphView *view() const { return m_view; }
    GraphSettingsPanel *panel() const { return m_panel; }

    // Draws the graph once the current turn of the event loop is done, however
    // often it is asked for before then (several changes of the model in one
    // turn draw once); a rebuild() meanwhile takes the place of it.
    void scheduleRebuild();
    bool isRebuildScheduled() const;

Q_SIGNALS:
    // After every drawing of the graph.
    void rebuilt();

public Q_SLOTS:
    void rebuild();
    void chooseFont();
    void chooseCurveColor(int row);
    void updateCurveStyle(int row, int column);
    void addLabel();
    void removeSelectedLabel();
    void chooseLabelColor(int row);
    void updateLabel(int row, int column);
    void exportPdf();
    void exportJpg();
    void exportSvg();
    void exportExcel();
    void fitGraphInView();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectPanel();
    void retranslate();
    void controlsEdited();
    void autoScaleAndRebuild();
    void refreshCurveTable();
    void chooseAxisValueFont();
    void chooseLabelFont(int row);
    void labelCellDoubleClicked(int row, int column);
    // Takes what was dragged on the scene into the record, then lets an edit
    // of the labels change it: the next rebuild must not read the scene again,
    // whose label indices may no longer match.
    template <typename Edit> void editLabels(Edit edit);
    void storeDraggedTexts();
    QGraphicsTextItem *selectedText() const;
    void exportPicture(GraphFileFormat format, const QString &title, const QString &filter,
                       const QString &suffix, const QString &done);
    void showStatus(const QString &text);

    ProjectModel *m_model;
    std::unique_ptr<UserPrompts> m_defaultPrompts;
    UserPrompts *m_prompts;
    QString m_documentName;
    GraphSettings m_settings;
    QGraphicsScene *m_scene;
    ZoomableGraphView *m_view;
    GraphSettingsPanel *m_panel;
    QTimer *m_rebuildTimer;
    bool m_skipReadBack = false;
    bool m_detached = false; // closed: the model is no longer this window's to write
    bool m_drawn = false;
    bool m_fitPending = true; // the view is fitted to the graph on the first rebuild
};
