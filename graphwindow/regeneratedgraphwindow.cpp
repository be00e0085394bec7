#include "graphwindow/regeneratedgraphwindow.h"

#include "core/model/projectmodel.h"
#include "graph/graphexports.h"
#include "graph/plotgeometry.h"
#include "graph/plotlayout.h"
#include "graph/plotrenderer.h"
#include "graphwindow/curvestyletable.h"
#include "graphwindow/graphsettingspanel.h"
#include "graphwindow/labelstable.h"
#include "graphwindow/zoomablegraphview.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"

#include <QCloseEvent>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString promptTitle = QStringLiteral("Plotmason");
constexpr int statusTimeoutMs = 5000;
constexpr int secondFitDelayMs = 120;
constexpr int defaultExcelPoints = 100;
constexpr int minimumExcelPoints = 2;
constexpr int maximumExcelPoints = 10000;

// Which movable text an item is, so that it can be found again on the next scene.
struct TextKey
{
    QString role;
    int index = -1;
    friend bool operator==(const TextKey &a, const TextKey &b)
    {
        return a.role == b.role && a.index == b.index;
    }
};

TextKey keyOf(const QGraphicsItem *item)
{
    return {item->data(graphitems::roleKey).toString(), item->data(graphitems::labelIndexKey).toInt()};
}

QGraphicsTextItem *findText(const QGraphicsScene &scene, const TextKey &key)
{
    const QList<QGraphicsItem *> items = scene.items();
    for (QGraphicsItem *item : items) {
        auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item);
        if (text && !key.role.isEmpty() && keyOf(text) == key)
            return text;
    }
    return nullptr;
}

QList<TextKey> selectedKeys(const QGraphicsScene &scene)
{
    QList<TextKey> keys;
    const QList<QGraphicsItem *> selected = scene.selectedItems();
    for (const QGraphicsItem *item : selected)
        keys.append(keyOf(item));
    return keys;
}

// New labels start near the middle of the plot, each a little below and to
// the right of the one before, so that they do not hide each other.
QPointF newLabelPosition(const ProjectModel &model, const GraphSettings &settings, qsizetype existing)
{
    const QRectF plot = graphLayout(model, settings).plot;
    const double step = 2.5 * sceneUnitsPerMm(settings.dpi) * double(existing % 8);
    return plot.center() + QPointF(step, step);
}

} // namespace

RegeneratedGraphWindow::RegeneratedGraphWindow(ProjectModel *model, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_defaultPrompts(std::make_unique<UserPrompts>())
    , m_prompts(m_defaultPrompts.get())
    , m_settings(initialGraphSettings(*model))
    , m_scene(new QGraphicsScene(this))
    , m_view(new ZoomableGraphView(this))
    , m_panel(new GraphSettingsPanel(this))
    , m_rebuildTimer(new QTimer(this))
{
    m_rebuildTimer->setSingleShot(true);
    m_rebuildTimer->setInterval(0);
    connect(m_rebuildTimer, &QTimer::timeout, this, &RegeneratedGraphWindow::rebuild);
    setObjectName(QStringLiteral("regeneratedGraphWindow"));
    resize(1300, 850);
    m_view->setObjectName(QStringLiteral("regeneratedGraphView"));
    m_view->setScene(m_scene);

    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_panel);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(m_panel->minimumWidth() + 24);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_view);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    statusBar(); // there from the start, so that the first message does not shrink the view

    m_panel->setSettings(m_settings);
    m_panel->curveTable()->showCurves(m_model->curves());
    m_panel->labelsTable()->showLabels(m_settings.labels);
    connectPanel();
    // A click or a drag step in the main window changes the points, often with
    // several signals: the graph follows once they are all in.
    connect(m_model, &ProjectModel::pointsChanged, this, &RegeneratedGraphWindow::scheduleRebuild);
    connect(m_model, &ProjectModel::curvesChanged, this, [this] {
        refreshCurveTable();
        scheduleRebuild();
    });
    connect(&i18n::Localization::instance(), &i18n::Localization::languageChanged, this, [this] {
        retranslate();
        rebuild();
    });
    retranslate();
    // Drawn once the window is up, so that the first fit sees the view's real size.
    scheduleRebuild();
}

RegeneratedGraphWindow::~RegeneratedGraphWindow()
{
    // The children go before QObject drops the connections: an edit still open
    // in a table would otherwise commit into a window half destroyed, and
    // reach for a model that its owner may already have deleted.
    m_panel->curveTable()->disconnect(this);
    m_panel->labelsTable()->disconnect(this);
}

void RegeneratedGraphWindow::setUserPrompts(UserPrompts *prompts)
{
    m_prompts = prompts ? prompts : m_defaultPrompts.get();
}

void RegeneratedGraphWindow::connectPanel()
{
    using P = GraphSettingsPanel;
    const auto clicked = [this](P::Button which, auto slot) {
        connect(m_panel->button(which), &QPushButton::clicked, this, slot);
    };
    clicked(P::ZoomInButton, [this] { m_view->zoomIn(); });
    clicked(P::ZoomOutButton, [this] { m_view->zoomOut(); });
    clicked(P::FitButton, [this] { fitGraphInView(); });
    clicked(P::AutoScaleButton, [this] {
        autoScaleAndRebuild();
        showStatus(i18n::tr("Axis limits computed from the digitized points and the calibration."));
    });
    clicked(P::TextFontButton, [this] { chooseFont(); });
    clicked(P::AxisValueFontButton, [this] { chooseAxisValueFont(); });
    clicked(P::AddLabelButton, [this] { addLabel(); });
    clicked(P::RemoveLabelButton, [this] { removeSelectedLabel(); });
    clicked(P::ExportPdfButton, [this] { exportPdf(); });
    clicked(P::ExportJpgButton, [this] { exportJpg(); });
    clicked(P::ExportSvgButton, [this] { exportSvg(); });
    clicked(P::ExportExcelButton, [this] { exportExcel(); });
    connect(m_panel, &P::settingsEdited, this, &RegeneratedGraphWindow::controlsEdited);
    connect(m_panel, &P::autoScaleRequested, this, &RegeneratedGraphWindow::autoScaleAndRebuild);

    CurveStyleTable *curves = m_panel->curveTable();
    connect(curves, &QTableWidget::cellChanged, this, &RegeneratedGraphWindow::updateCurveStyle);
    connect(curves, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == CurveStyleTable::ColorColumn)
            chooseCurveColor(row);
    });
    LabelsTable *labels = m_panel->labelsTable();
    connect(labels, &QTableWidget::cellChanged, this, &RegeneratedGraphWindow::updateLabel);
    connect(labels, &QTableWidget::cellDoubleClicked, this, &RegeneratedGraphWindow::labelCellDoubleClicked);
    connect(m_view, &ZoomableGraphView::mouseReleased, this, &RegeneratedGraphWindow::storeDraggedTexts);
}

void RegeneratedGraphWindow::retranslate()
{
    setWindowTitle(i18n::tr("Regenerated graph"));
    m_view->setToolTip(
        i18n::tr("Drag the title and the labels to move them; the wheel zooms, the middle button pans."));
    m_panel->retranslate();
}

void RegeneratedGraphWindow::applySettingsJson(const QJsonObject &object)
{
    m_settings.applyJson(object);
    m_skipReadBack = true; // the scene still shows the texts where the record had them before
    m_panel->setSettings(m_settings);
    m_panel->labelsTable()->showLabels(m_settings.labels);
}

void RegeneratedGraphWindow::autoScaleAxes()
{
    ::autoScaleAxes(m_settings, *m_model);
    m_panel->setAxisLimits(m_settings);
}

void RegeneratedGraphWindow::controlsEdited()
{
    readBackTextItems(*m_scene, m_settings);
    const QSize before = outputPixelSize(m_settings);
    const int dpiBefore = m_settings.dpi;
    m_panel->readInto(m_settings);
    const QSize after = outputPixelSize(m_settings);
    followOutputSize(m_settings, before, dpiBefore, after);
    m_skipReadBack = true;
    rebuild();
    // A graph of another size would otherwise shrink or grow in the view.
    if (before != after)
        fitGraphInView();
}

void RegeneratedGraphWindow::autoScaleAndRebuild()
{
    m_panel->readInto(m_settings);
    autoScaleAxes();
    rebuild();
}

void RegeneratedGraphWindow::scheduleRebuild()
{
    if (!m_rebuildTimer->isActive())
        m_rebuildTimer->start();
}

bool RegeneratedGraphWindow::isRebuildScheduled() const
{
    return m_rebuildTimer->isActive();
}

void RegeneratedGraphWindow::rebuild()
{
    m_rebuildTimer->stop();
    if (m_detached)
        return;
    if (m_skipReadBack)
        m_skipReadBack = false;
    else
        readBackTextItems(*m_scene, m_settings);
    const QList<TextKey> selected = selectedKeys(*m_scene);
    drawGraph(*m_scene, *m_model, m_settings);
    for (const TextKey &key : selected) {
        if (QGraphicsTextItem *item = findText(*m_scene, key))
            item->setSelected(true);
    }
    m_panel->labelsTable()->showLabels(m_settings.labels);
    m_model->setRegeneratedGraphSettings(m_settings.toJson());
    m_drawn = true;

    if (m_fitPending) {
        m_fitPending = false;
        // Again once the layout has settled, and once more after the window
        // manager had its say about the window's size.
        fitGraphInView();
        QTimer::singleShot(0, this, &RegeneratedGraphWindow::fitGraphInView);
        QTimer::singleShot(secondFitDelayMs, this, &RegeneratedGraphWindow::fitGraphInView);
    }
    Q_EMIT rebuilt();
}

void RegeneratedGraphWindow::fitGraphInView()
{
    m_view->fitScene();
}

void RegeneratedGraphWindow::storeDraggedTexts()
{
    if (m_detached)
        return;
    readBackTextItems(*m_scene, m_settings);
    m_model->setRegeneratedGraphSettings(m_settings.toJson());
}

void RegeneratedGraphWindow::closeEvent(QCloseEvent *event)
{
    storeDraggedTexts();
    QMainWindow::closeEvent(event);
    // Whatever still arrives before the window is gone (a queued rebuild, the
    // signals of a project replacing this one) must not write into the model.
    m_detached = true;
    m_rebuildTimer->stop();
    m_model->disconnect(this);
}

QGraphicsTextItem *RegeneratedGraphWindow::selectedText() const
{
    const QList<QGraphicsItem *> selected = m_scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item);
        if (text && !keyOf(text).role.isEmpty())
            return text;
    }
    return nullptr;
}

void RegeneratedGraphWindow::chooseFont()
{
    const QGraphicsTextItem *item = selectedText();
    if (!item) {
        m_prompts->information(this, promptTitle,
                               i18n::tr("Select the title or a label in the regenerated graph first."));
        return;
    }
    const TextKey key = keyOf(item);
    const QString title = key.role == graphitems::titleRole   ? i18n::tr("Title font")
                          : key.role == graphitems::labelRole ? i18n::tr("Label font")
                                                              : i18n::tr("Text font");
    QFont font;
    if (!m_prompts->font(this, title, item->font(), &font))
        return;
    // The dialog ran an event loop: the scene may have been drawn anew meanwhile.
    if (QGraphicsTextItem *current = findText(*m_scene, key)) {
        current->setFont(font);
        rebuild(); // the read-back takes the font into the record
    }
}

void RegeneratedGraphWindow::chooseAxisValueFont()
{
    QFont font;
    if (!m_prompts->font(this, i18n::tr("Axis value font"), m_settings.axisValueFont, &font))
        return;
    m_settings.axisValueFont = font;
    rebuild();
}

void RegeneratedGraphWindow::refreshCurveTable()
{
    m_panel->curveTable()->showCurves(m_model->curves());
}

void RegeneratedGraphWindow::chooseCurveColor(int row)
{
    if (row < 0 || row >= m_model->curves().size())
        return;
    const Curve curve = m_model->curves().at(row);
    QColor color;
    if (m_prompts->color(this, i18n::tr("Curve color"), curve.color, &color))
        m_model->setCurveStyle(row, color, curve.lineWidth);
}

void RegeneratedGraphWindow::updateCurveStyle(int row, int column)
{
    if (row < 0 || row >= m_model->curves().size())
        return;
    const Curve curve = m_model->curves().at(row);
    CurveStyleTable *table = m_panel->curveTable();
    if (column == CurveStyleTable::WidthColumn) {
        bool ok = false;
        const double width = table->widthAt(row, &ok);
        if (ok && width != curve.lineWidth)
            m_model->setCurveStyle(row, curve.color, width); // the model's signal refills the table
        else
            refreshCurveTable();
    } else if (column == CurveStyleTable::VisibleColumn) {
        m_model->setCurveVisible(row, table->visibleAt(row));
    }
}

template <typename Edit> void RegeneratedGraphWindow::editLabels(Edit edit)
{
    readBackTextItems(*m_scene, m_settings);
    edit(m_settings.labels);
    m_panel->labelsTable()->showLabels(m_settings.labels);
    m_skipReadBack = true;
    rebuild();
}

void RegeneratedGraphWindow::addLabel()
{
    editLabels([this](QList<GraphLabel> &labels) {
        GraphLabel label;
        label.text = i18n::tr("Label %1").arg(labels.size() + 1);
        label.font = m_settings.textFont;
        label.pos = newLabelPosition(*m_model, m_settings, labels.size());
        labels.append(label);
    });
    m_panel->labelsTable()->selectRow(int(m_settings.labels.size()) - 1);
    showStatus(i18n::tr("Label added."));
}

void RegeneratedGraphWindow::removeSelectedLabel()
{
    int row = m_panel->labelsTable()->selectedRow();
    if (row < 0) {
        const QGraphicsTextItem *item = selectedText();
        if (item && keyOf(item).role == graphitems::labelRole)
            row = keyOf(item).index;
    }
    if (row < 0 || row >= m_settings.labels.size()) {
        showStatus(i18n::tr("Select a label first."));
        return;
    }
    m_scene->clearSelection(); // indices after the removed label shift
    editLabels([row](QList<GraphLabel> &labels) { labels.removeAt(row); });
    showStatus(i18n::tr("Label removed."));
}

void RegeneratedGraphWindow::chooseLabelColor(int row)
{
    if (row < 0 || row >= m_settings.labels.size())
        return;
    QColor color;
    if (m_prompts->color(this, i18n::tr("Label color"), m_settings.labels.at(row).color, &color))
        editLabels([row, color](QList<GraphLabel> &labels) { labels[row].color = color; });
}

void RegeneratedGraphWindow::chooseLabelFont(int row)
{
    if (row < 0 || row >= m_settings.labels.size())
        return;
    QFont font;
    if (m_prompts->font(this, i18n::tr("Label font"), m_settings.labels.at(row).font, &font))
        editLabels([row, font](QList<GraphLabel> &labels) { labels[row].font = font; });
}

void RegeneratedGraphWindow::labelCellDoubleClicked(int row, int column)
{
    if (column == LabelsTable::ColorColumn)
        chooseLabelColor(row);
    else if (column == LabelsTable::FontColumn)
        chooseLabelFont(row);
}

void RegeneratedGraphWindow::updateLabel(int row, int column)
{
    if (row < 0 || row >= m_settings.labels.size())
        return;
    const LabelsTable *table = m_panel->labelsTable();
    if (column == LabelsTable::TextColumn) {
        const QString text = table->textAt(row);
        editLabels([row, text](QList<GraphLabel> &labels) { labels[row].text = text; });
    } else if (column == LabelsTable::AngleColumn) {
        bool ok = false;
        const int angle = table->angleAt(row, &ok);
        editLabels([row, angle, ok](QList<GraphLabel> &labels) {
            if (ok)
                labels[row].rotation = angle;
        });
    } else if (column == LabelsTable::VisibleColumn) {
        const bool visible = table->visibleAt(row);
        editLabels([row, visible](QList<GraphLabel> &labels) { labels[row].visible = visible; });
    }
}

void RegeneratedGraphWindow::exportPicture(GraphFileFormat format, const QString &title,
                                           const QString &filter, const QString &suffix, const QString &done)
{
    const QString path = m_prompts->saveFileName(this, title, filter, suffix, true, m_documentName);
    if (path.isEmpty())
        return;
    rebuild(); // the file shows exactly what the window shows, dragged texts included
    QString error;
    // Too large a JPG is refused before its picture is allocated. Either way the
    // message says why, as the command line does (a full disk, a locked folder).
    const bool refused = format == GraphFileFormat::Jpg &&
                         !jpgSizeAllowed(graphExportTargetSize(graphExportSourceRect(*m_scene)), &error);
    if (refused || !writeGraphFile(*m_scene, m_settings, format, path, &error)) {
        const QString reason = error.isEmpty() ? QString() : u'\n' + error;
        m_prompts->critical(this, promptTitle, graphExportFailureText(format) + reason);
        return;
    }
    showStatus(done);
}

void RegeneratedGraphWindow::exportPdf()
{
    exportPicture(GraphFileFormat::Pdf, i18n::tr("Export graph PDF"), QStringLiteral("PDF (*.pdf)"),
                  QStringLiteral("pdf"), i18n::tr("Graph exported as PDF."));
}

void RegeneratedGraphWindow::exportJpg()
{
    exportPicture(GraphFileFormat::Jpg, i18n::tr("Export graph JPG"), QStringLiteral("JPEG (*.jpg *.jpeg)"),
                  QStringLiteral("jpg"), i18n::tr("Graph exported as JPG."));
}

void RegeneratedGraphWindow::exportSvg()
{
    exportPicture(GraphFileFormat::Svg, i18n::tr("Export graph SVG"), QStringLiteral("SVG (*.svg)"),
                  QStringLiteral("svg"), i18n::tr("Graph exported as SVG."));
}

void RegeneratedGraphWindow::exportExcel()
{
    int points = defaultExcelPoints;
    if (!m_prompts->integer(
            this, i18n::tr("Export Excel"),
            i18n::tr("How many points should be generated for each curve? If the number is "
                     "greater than the acquired points, they will be interpolated on the spline."),
            defaultExcelPoints, minimumExcelPoints, maximumExcelPoints, &points))
        return;
    const QString path =
        m_prompts->saveFileName(this, i18n::tr("Export graph Excel"), i18n::tr("Excel workbook (*.xlsx)"),
                                QStringLiteral("xlsx"), true, m_documentName);
    if (path.isEmpty())
        return;
    QString error;
    if (!exportGraphWorkbook(*m_model, m_settings, points, path, &error)) {
        m_prompts->critical(this, promptTitle,
                            error.isEmpty() ? QStringLiteral("Operazione non riuscita.") : error);
        return;
    }
    showStatus(i18n::tr("Excel workbook exported."));
}

void RegeneratedGraphWindow::showStatus(const QString &text)
{
    statusBar()->showMessage(text, statusTimeoutMs);
}
