#include "window/pointscopy.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableWidget>

#include <algorithm>

QString pointsClipboardText(const QList<CurvePoint> &points, const QList<int> &rows, const QLocale &locale,
                            const Calibration &calibration)
{
    QLocale numbers = locale;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    QList<int> wanted = rows;
    if (wanted.isEmpty()) {
        for (int row = 0; row < points.size(); ++row)
            wanted.append(row);
    }
    std::sort(wanted.begin(), wanted.end());
    QString text;
    for (int row : std::as_const(wanted)) {
        if (row < 0 || row >= points.size())
            continue;
        const QPointF real = points[row].real;
        // Dates go as ISO text, which spreadsheets read as dates in any language.
        const auto cell = [&](bool xAxis, double value) {
            return calibration.dateFormat(xAxis) ? calibration.valueText(xAxis, value, 12)
                                                 : numbers.toString(value, 'g', 12);
        };
        text += cell(true, real.x()) + QLatin1Char('\t') + cell(false, real.y()) + QLatin1Char('\n');
    }
    return text;
}

namespace {

QAction *copyAction(QWidget *widget)
{
    auto *action = new QAction(widget);
    action->setShortcut(QKeySequence::Copy);
    action->setShortcutContext(Qt::WidgetShortcut);
    widget->addAction(action);
    return action;
}

} // namespace

PointsCopy::PointsCopy(ProjectModel *model, QTableWidget *pointsTable, GraphView *view, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_table(pointsTable)
{
    connect(copyAction(pointsTable), &QAction::triggered, this, &PointsCopy::copyTableRows);
    connect(copyAction(view), &QAction::triggered, this, &PointsCopy::copySelectedPoint);
}

void PointsCopy::copyTableRows()
{
    QList<int> rows;
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    putOnClipboard(rows);
}

void PointsCopy::copySelectedPoint()
{
    const int point = m_model->selectedPointIndex();
    // Nothing selected in the view copies nothing rather than every point.
    if (point >= 0 && m_model->selectedPointCurveName() == m_model->activeCurveName())
        putOnClipboard({point});
}

void PointsCopy::putOnClipboard(const QList<int> &rows)
{
    const int curve = m_model->activeCurveIndex();
    if (curve < 0)
        return;
    const QLocale locale(i18n::languageCode(i18n::Localization::instance().language()));
    QGuiApplication::clipboard()->setText(
        pointsClipboardText(m_model->curves()[curve].points, rows, locale, m_model->calibration()));
}
