#include "window/curvesdock.h"

#include "core/model/projectmodel.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"
#include "widgets/centeredcheckdelegate.h"
#include "window/calibrationprompt.h"
#include "window/curvecolors.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor activeRowColor(QStringLiteral("#fff8c4"));

QTableWidget *makeTable(int columns, QWidget *parent)
{
    auto *table = new QTableWidget(0, columns, parent);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->setWordWrap(false);
    return table;
}

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

constexpr Qt::ItemFlags editableFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
constexpr Qt::ItemFlags readOnlyFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
// The colour the name's swatch was drawn for; icons cannot be compared.
constexpr int swatchColorRole = Qt::UserRole + 1;

// The item of a cell, made with the given flags when the cell has none.
QTableWidgetItem *tableItem(QTableWidget *table, int row, int column, Qt::ItemFlags flags)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(flags);
        table->setItem(row, column, item);
    }
    return item;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

// Re-selects a row without announcing it: the selection follows the model here.
// The table's own signals are blocked, not the selection model's, which the
// view needs to repaint the rows that lost their highlight. The first row
// becomes the current one.
void selectRowsQuietly(QTableWidget *table, const QList<int> &rows)
{
    const QSignalBlocker blockTable(table);
    QItemSelection selection;
    for (const int row : rows) {
        if (row >= 0 && row < table->rowCount())
            selection.select(table->model()->index(row, 0),
                             table->model()->index(row, table->columnCount() - 1));
    }
    QItemSelectionModel *selectionModel = table->selectionModel();
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        selectionModel->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
    else
        selectionModel->clearCurrentIndex();
}

// Whether a row written for one point shows another exactly as well.
bool showsTheSame(const CurvePoint &shown, const CurvePoint &point)
{
    return shown.pixel.x() == point.pixel.x() && shown.pixel.y() == point.pixel.y() &&
           shown.real.x() == point.real.x() && shown.real.y() == point.real.y();
}

void selectRowQuietly(QTableWidget *table, int row)
{
    selectRowsQuietly(table, {row});
}

} // namespace

CurvesDock::CurvesDock(ProjectModel *model, UserPrompts *prompts, QWidget *parent)
    : QDockWidget(parent)
    , m_model(model)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("curvesDock"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setMinimumWidth(320);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);

    m_curvesTable = makeTable(5, content);
    QHeaderView *curvesHeader = m_curvesTable->horizontalHeader();
    curvesHeader->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 5; ++column)
        curvesHeader->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_curvesTable->setItemDelegateForColumn(3, new CenteredCheckDelegate(m_curvesTable));

    m_pointsLabel = new QLabel(content);
    m_pointsTable = makeTable(4, content);
    m_pointsTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QHeaderView *pointsHeader = m_pointsTable->horizontalHeader();
    pointsHeader->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    pointsHeader->setSectionResizeMode(1, QHeaderView::Stretch);
    pointsHeader->setSectionResizeMode(2, QHeaderView::Stretch);
    pointsHeader->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    // Fitting a column to thousands of rows on every added point costs more than
    // a frame; the rows in view decide the width.
    pointsHeader->setResizeContentsPrecision(0);

    m_addButton = new QPushButton(content);
    m_removeButton = new QPushButton(content);
    m_colorButton = new QPushButton(content);
    m_colorButton->setObjectName(QStringLiteral("curveColorButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_removeButton);
    buttons->addWidget(m_colorButton);

    layout->addWidget(m_curvesTable);
    m_sortAction = new QAction(this);
    m_sortAction->setObjectName(QStringLiteral("sortPointsAction"));
    connect(m_sortAction, &QAction::triggered, this, [this] { m_model->sortPointsByX(QString()); });
    m_dedupeAction = new QAction(this);
    m_dedupeAction->setObjectName(QStringLiteral("removeDuplicatePointsAction"));
    connect(m_dedupeAction, &QAction::triggered, this, [this] { m_model->removeDuplicatePoints(QString()); });
    m_curvesTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_curvesTable->addActions({m_sortAction, m_dedupeAction});
    layout->addWidget(m_pointsLabel);
    layout->addWidget(m_pointsTable);
    layout->addLayout(buttons);
    setWidget(content);

    connect(m_curvesTable, &QTableWidget::cellChanged, this, &CurvesDock::updateCurveFromTable);
    connect(m_curvesTable, &QTableWidget::itemSelectionChanged, this, &CurvesDock::activateCurveFromTable);
    connect(m_pointsTable, &QTableWidget::cellChanged, this, &CurvesDock::updatePointFromTable);
    connect(m_pointsTable, &QTableWidget::itemSelectionChanged, this, &CurvesDock::activatePointFromTable);
    connect(m_model, &ProjectModel::pointGroupChanged, this, &CurvesDock::updatePointsTable);
    connect(m_addButton, &QPushButton::clicked, this, &CurvesDock::addCurveRow);
    connect(m_removeButton, &QPushButton::clicked, this, &CurvesDock::removeSelectedCurveRow);
    connect(m_colorButton, &QPushButton::clicked, this,
            [this] { chooseCurveColor(*m_model, *m_prompts, this, m_curvesTable->currentRow()); });
}

void CurvesDock::retranslate()
{
    setWindowTitle(i18n::tr("Curves"));
    m_sortAction->setText(i18n::tr("Sort points by x"));
    m_dedupeAction->setText(i18n::tr("Remove duplicate points"));
    m_curvesTable->setHorizontalHeaderLabels({i18n::tr("Name"), i18n::tr("Parameter"), i18n::tr("Value"),
                                              i18n::tr("Visible"), i18n::tr("Points")});
    m_pointsTable->setHorizontalHeaderLabels(
        {QStringLiteral("#"), QStringLiteral("x"), QStringLiteral("y"), i18n::tr("pixel")});
    m_pointsLabel->setText(i18n::tr("Active curve points"));
    m_addButton->setText(i18n::tr("Add"));
    m_removeButton->setText(i18n::tr("Remove"));
    m_colorButton->setText(i18n::tr("Color..."));
}

void CurvesDock::setEditingEnabled(bool enabled)
{
    m_curvesTable->setEnabled(enabled);
    m_pointsTable->setEnabled(enabled);
    m_addButton->setEnabled(enabled);
    m_removeButton->setEnabled(enabled);
    m_colorButton->setEnabled(enabled);
    m_sortAction->setEnabled(enabled);
    m_dedupeAction->setEnabled(enabled);
}

void CurvesDock::updateCurvesTable()
{
    const QSignalBlocker blockTable(m_curvesTable);
    const QList<Curve> &curves = m_model->curves();
    m_curvesTable->setRowCount(int(curves.size()));
    for (int row = 0; row < curves.size(); ++row) {
        const Curve &curve = curves[row];
        // Items are kept and only what differs is written: each written cell makes
        // the view measure its fitted columns again, which every click would pay.
        QTableWidgetItem *name = tableItem(m_curvesTable, row, 0, editableFlags);
        if (name->data(swatchColorRole).value<QColor>() != curve.color) {
            name->setData(swatchColorRole, curve.color);
            name->setIcon(curveSwatch(curve.color));
        }
        name->setText(curve.name);
        tableItem(m_curvesTable, row, 1, editableFlags)->setText(curve.parameterName);
        tableItem(m_curvesTable, row, 2, editableFlags)->setText(curve.parameterValue);
        tableItem(m_curvesTable, row, 3, Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable)
            ->setCheckState(curve.visible ? Qt::Checked : Qt::Unchecked);
        QTableWidgetItem *count = tableItem(m_curvesTable, row, 4, readOnlyFlags);
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        count->setText(QString::number(curve.points.size()));
        const bool active = curve.name == m_model->activeCurveName();
        for (int column = 0; column < 5; ++column)
            m_curvesTable->item(row, column)
                ->setData(Qt::BackgroundRole, active ? QVariant(QBrush(activeRowColor)) : QVariant());
    }
    selectRowQuietly(m_curvesTable, m_model->activeCurveIndex());
}

void CurvesDock::updatePointsTable()
{
    const QSignalBlocker blockTable(m_pointsTable);
    const int active = m_model->activeCurveIndex();
    if (active < 0) {
        m_pointsTable->setRowCount(0);
        m_shownPoints.clear();
        return;
    }
    const Curve &curve = m_model->curves()[active];
    // Another curve, or a refused edit left in a cell: every row is written again.
    // A calibration that turns an axis into dates (or back) changes every value's text.
    const Calibration &calibration = m_model->calibration();
    const QPair<std::optional<DateFormat>, std::optional<DateFormat>> formats{calibration.dateFormat(true),
                                                                              calibration.dateFormat(false)};
    if (curve.name != m_shownCurve || m_refillPoints || formats != m_shownFormats) {
        m_shownFormats = formats;
        m_pointsTable->setRowCount(0);
        m_shownPoints.clear();
        m_shownCurve = curve.name;
        m_refillPoints = false;
    }
    // A click or a drag changes one row; only rows that differ are written,
    // so large curves stay quick to edit.
    const int oldRows = int(m_shownPoints.size());
    m_pointsTable->setRowCount(int(curve.points.size()));
    // While the rows are shown from the model's list it is shared, so any
    // change of it has given the model a list of its own: the same list is
    // the same rows, and a selection alone compares none of them.
    const bool untouched =
        curve.points.constData() == m_shownPoints.constData() && oldRows == curve.points.size();
    for (int row = 0; !untouched && row < curve.points.size(); ++row) {
        const CurvePoint &point = curve.points[row];
        if (row < oldRows && showsTheSame(m_shownPoints[row], point))
            continue;
        if (row >= oldRows)
            m_pointsTable->setItem(row, 0, readOnlyItem(QString::number(row + 1)));
        m_pointsTable->setItem(row, 1, new QTableWidgetItem(calibration.valueText(true, point.real.x(), 12)));
        m_pointsTable->setItem(row, 2,
                               new QTableWidgetItem(calibration.valueText(false, point.real.y(), 12)));
        m_pointsTable->setItem(
            row, 3,
            readOnlyItem(
                QStringLiteral("%1, %2").arg(point.pixel.x(), 0, 'f', 1).arg(point.pixel.y(), 0, 'f', 1)));
    }
    m_shownPoints = curve.points;
    QList<int> rows;
    if (m_model->selectedPointCurveName() == curve.name)
        rows.append(m_model->selectedPointIndex());
    if (m_model->pointGroupCurveName() == curve.name)
        rows.append(m_model->pointGroup());
    selectRowsQuietly(m_pointsTable, rows);
}

void CurvesDock::updateCurveFromTable(int row, int column)
{
    if (row < 0 || row >= m_model->curves().size())
        return;
    if (column == 3) {
        const QTableWidgetItem *item = m_curvesTable->item(row, 3);
        m_model->setCurveVisible(row, item && item->checkState() == Qt::Checked);
        return;
    }
    m_model->setCurveMetadata(row, cellText(m_curvesTable, row, 0), cellText(m_curvesTable, row, 1),
                              cellText(m_curvesTable, row, 2));
}

void CurvesDock::activateCurveFromTable()
{
    const int row = m_curvesTable->currentRow();
    if (row < 0)
        return;
    m_model->setActiveCurveIndex(row);
    updatePointsTable();
}

void CurvesDock::updatePointFromTable(int row, int column)
{
    if (column != 1 && column != 2)
        return;
    const int active = m_model->activeCurveIndex();
    const bool known = active >= 0 && row >= 0 && row < m_model->curves()[active].points.size();
    const Calibration &calibration = m_model->calibration();
    const QLocale locale(i18n::languageCode(i18n::Localization::instance().language()));
    // Numbers in the C form as the table shows them; dates in any form the calibration takes.
    const auto read = [&](int cellColumn, AxisKind kind, bool *ok) {
        const QString text = cellText(m_pointsTable, row, cellColumn).trimmed();
        if (kind == AxisKind::Number)
            return text.toDouble(ok);
        double value = 0.0;
        *ok = parseTypedValue(text, kind, locale, &value);
        return value;
    };
    bool xOk = false;
    bool yOk = false;
    const double x = read(1, calibration.xKind, &xOk);
    const double y = read(2, calibration.yKind, &yOk);
    if (known && xOk && yOk && m_model->setPointReal(active, row, QPointF(x, y)))
        return;
    // A refused value must not stay in the cell looking accepted.
    m_refillPoints = true;
    updatePointsTable();
}

void CurvesDock::activatePointFromTable()
{
    const int active = m_model->activeCurveIndex();
    const QModelIndexList selected = m_pointsTable->selectionModel()->selectedRows();
    if (selected.size() > 1) {
        QList<int> rows;
        for (const QModelIndex &index : selected)
            rows.append(index.row());
        m_model->selectPointGroup(active, rows);
        return;
    }
    m_model->clearPointGroup();
    const int row = m_pointsTable->currentRow();
    if (active >= 0 && row >= 0)
        m_model->selectPoint(active, row);
}

void CurvesDock::addCurveRow()
{
    const int index = m_model->addCurve(QString(), QString(), QString());
    updateCurvesTable();
    selectRowQuietly(m_curvesTable, index);
}

void CurvesDock::removeSelectedCurveRow()
{
    const int row = m_curvesTable->currentRow();
    if (row < 0)
        return;
    if (m_prompts->question(this, i18n::tr("Remove curve"),
                            i18n::tr("Remove the selected curve and all its points?"),
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        m_model->removeCurve(row);
}
