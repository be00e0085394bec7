#include "window/calibrationmarksdialog.h"

#include "core/model/projectmodel.h"
#include "i18n/localization.h"
#include "window/calibrationprompt.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { AxisColumn, PixelXColumn, PixelYColumn, ValueColumn, ResidualColumn, ColumnCount };

// Beyond this a mark is probably mistyped or misplaced.
constexpr double suspectPixels = 1.0;

QString number(double value, int decimals)
{
    return QLocale::c().toString(value, 'f', decimals);
}

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

bool logScaleOf(const Calibration &calibration, bool xAxis)
{
    return xAxis ? calibration.xLogScale : calibration.yLogScale;
}

AxisKind kindOf(const Calibration &calibration, bool xAxis)
{
    return xAxis ? calibration.xKind : calibration.yKind;
}

} // namespace

CalibrationMarksDialog::CalibrationMarksDialog(ProjectModel *model, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
    , m_table(new QTableWidget(0, ColumnCount, this))
    , m_summary(new QLabel(this))
    , m_problem(new QLabel(this))
    , m_remove(new QPushButton(this))
    , m_close(new QPushButton(this))
{
    setObjectName(QStringLiteral("calibrationMarksDialog"));
    m_table->setObjectName(QStringLiteral("calibrationMarksTable"));
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b71c1c"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_remove);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_summary);
    layout->addWidget(m_problem);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(m_table, &QTableWidget::cellChanged, this, &CalibrationMarksDialog::valueEdited);
    connect(m_remove, &QPushButton::clicked, this, &CalibrationMarksDialog::removeSelectedMark);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_model, &ProjectModel::calibrationChanged, this, &CalibrationMarksDialog::rebuild);
    retranslate();
}

void CalibrationMarksDialog::retranslate()
{
    setWindowTitle(i18n::tr("Calibration marks"));
    m_table->setHorizontalHeaderLabels({i18n::tr("Axis"), i18n::tr("Pixel x"), i18n::tr("Pixel y"),
                                        i18n::tr("Value"), i18n::tr("Residual (px)")});
    m_remove->setText(i18n::tr("Remove mark"));
    m_close->setText(i18n::tr("Close"));
    rebuild();
}

void CalibrationMarksDialog::rebuild()
{
    m_rebuilding = true;
    const Calibration &calibration = m_model->calibration();
    m_rows.clear();
    m_table->setRowCount(0);
    QStringList summary;
    for (const bool xAxis : {true, false}) {
        const QList<CalibrationMark> marks = calibration.marks(xAxis);
        const AxisFit fit = fitAxis(marks, logScaleOf(calibration, xAxis));
        if (!fit.ok)
            continue;
        for (int i = 0; i < marks.size(); ++i) {
            const int row = m_table->rowCount();
            m_table->insertRow(row);
            m_rows.append({xAxis, i});
            m_table->setItem(row, AxisColumn,
                             readOnlyItem(xAxis ? QStringLiteral("X") : QStringLiteral("Y")));
            m_table->setItem(row, PixelXColumn, readOnlyItem(number(marks[i].pixel.x(), 2)));
            m_table->setItem(row, PixelYColumn, readOnlyItem(number(marks[i].pixel.y(), 2)));
            m_table->setItem(row, ValueColumn,
                             new QTableWidgetItem(kindOf(calibration, xAxis) == AxisKind::Date
                                                      ? formatDateExactly(marks[i].value)
                                                      : QLocale::c().toString(marks[i].value, 'g', 15)));
            m_table->setItem(row, ResidualColumn, readOnlyItem(number(fit.residuals[i], 2)));
            if (fit.residuals[i] > suspectPixels) {
                for (int column = 0; column < ColumnCount; ++column) {
                    m_table->item(row, column)->setBackground(QColor(255, 205, 210));
                    m_table->item(row, column)
                        ->setToolTip(i18n::tr("More than a pixel from the fit: probably a mistyped value."));
                }
            }
        }
        summary.append(i18n::tr("%1 axis: RMS %2 px over %3 marks")
                           .arg(xAxis ? QStringLiteral("X") : QStringLiteral("Y"), number(fit.rms, 2))
                           .arg(marks.size()));
    }
    m_summary->setText(summary.join(QLatin1Char('\n')));
    m_rebuilding = false;
}

void CalibrationMarksDialog::showProblem(const QString &text)
{
    m_problem->setText(text);
    rebuild();
}

void CalibrationMarksDialog::valueEdited(int row, int column)
{
    if (m_rebuilding || column != ValueColumn || row < 0 || row >= m_rows.size())
        return;
    const Row mark = m_rows[row];
    QList<CalibrationMark> marks = m_model->calibration().marks(mark.xAxis);
    const QLocale interfaceLocale(i18n::languageCode(i18n::Localization::instance().language()));
    double value = 0.0;
    const AxisKind kind = kindOf(m_model->calibration(), mark.xAxis);
    const QString text = m_table->item(row, column)->text();
    if (!parseTypedValue(text, kind, interfaceLocale, &value)) {
        showProblem(
            unreadableValue(m_table->horizontalHeaderItem(column)->text(), text, kind, interfaceLocale));
        return;
    }
    marks[mark.mark].value = value;
    m_problem->clear();
    if (!m_model->setAxisMarks(mark.xAxis, marks, logScaleOf(m_model->calibration(), mark.xAxis),
                               kindOf(m_model->calibration(), mark.xAxis)))
        showProblem(i18n::tr("These marks define no axis: they need different values at different places."));
}

void CalibrationMarksDialog::removeSelectedMark()
{
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_rows.size())
        return;
    const Row mark = m_rows[row];
    QList<CalibrationMark> marks = m_model->calibration().marks(mark.xAxis);
    if (marks.size() <= 2) {
        showProblem(i18n::tr("An axis keeps at least two marks."));
        return;
    }
    marks.removeAt(mark.mark);
    m_problem->clear();
    if (!m_model->setAxisMarks(mark.xAxis, marks, logScaleOf(m_model->calibration(), mark.xAxis),
                               kindOf(m_model->calibration(), mark.xAxis)))
        showProblem(i18n::tr("These marks define no axis: they need different values at different places."));
}
