#include "window/axisproposal.h"

#include "axisfinding/projectaxes.h"
#include "axisfinding/tesseractreader.h"
#include "core/model/projectmodel.h"
#include "core/model/undocommands.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"
#include "prompts/userprompts.h"
#include "window/calibrationprompt.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { AxisColumn, TextColumn, ValueColumn, ResidualColumn, ColumnCount };

QString number(double value, int decimals)
{
    return QLocale::c().toString(value, 'f', decimals);
}

QString axisSummary(const QString &name, const axisfinding::FoundAxis &axis)
{
    if (!axis.found)
        return i18n::tr("%1 axis: not found").arg(name);
    return i18n::tr("%1 axis (%2): %3 of %4 labels agree within 0.5 px, RMS %5 px")
        .arg(name, axis.logScale ? i18n::tr("logarithmic") : i18n::tr("linear"))
        .arg(axis.agreeing)
        .arg(axis.marks.size())
        .arg(number(axis.fit.rms, 2));
}

} // namespace

AxisProposalDialog::AxisProposalDialog(const axisfinding::FoundAxes &axes, QWidget *parent)
    : QDialog(parent)
    , m_axes(axes)
    , m_table(new QTableWidget(0, ColumnCount, this))
    , m_summary(new QLabel(this))
{
    setObjectName(QStringLiteral("axisProposalDialog"));
    setWindowTitle(i18n::tr("Find axes"));
    m_table->setHorizontalHeaderLabels(
        {i18n::tr("Axis"), i18n::tr("Label read"), i18n::tr("Value"), i18n::tr("Residual (px)")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const auto fixed = [](const QString &text) {
        auto *item = new QTableWidgetItem(text);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        return item;
    };
    for (const auto &[axis, name] :
         {std::pair{&m_axes.x, QStringLiteral("X")}, {&m_axes.y, QStringLiteral("Y")}}) {
        for (const axisfinding::FoundMark &mark : std::as_const(axis->marks)) {
            const int row = m_table->rowCount();
            m_table->insertRow(row);
            m_table->setItem(row, AxisColumn, fixed(name));
            m_table->setItem(row, TextColumn, fixed(mark.text));
            m_table->setItem(row, ValueColumn,
                             new QTableWidgetItem(QLocale::c().toString(mark.value, 'g', 15)));
            m_table->setItem(row, ResidualColumn, fixed(number(mark.residual, 2)));
            if (!mark.used || mark.residual > 1.0) {
                for (int column = 0; column < ColumnCount; ++column)
                    m_table->item(row, column)->setBackground(QColor(255, 205, 210));
            }
        }
    }
    m_summary->setText(
        axisSummary(QStringLiteral("X"), m_axes.x) + QLatin1Char('\n') +
        axisSummary(QStringLiteral("Y"), m_axes.y) + QLatin1Char('\n') +
        i18n::tr("Enter calibrates from these marks; Escape leaves the calibration as it is."));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(i18n::tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(i18n::tr("Cancel"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(m_axes.x.found && m_axes.y.found);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(520, 420);
}

axisfinding::FoundAxes AxisProposalDialog::axes() const
{
    axisfinding::FoundAxes edited = m_axes;
    const QLocale interfaceLocale(i18n::languageCode(i18n::Localization::instance().language()));
    int row = 0;
    for (axisfinding::FoundAxis *axis : {&edited.x, &edited.y}) {
        for (axisfinding::FoundMark &mark : axis->marks) {
            double value = 0.0;
            if (parseTypedNumber(m_table->item(row++, ValueColumn)->text(), interfaceLocale, &value))
                mark.value = value;
        }
    }
    return edited;
}

void findAxesInPicture(ProjectModel &model, GraphView &view, UserPrompts &prompts, QWidget *parent)
{
    const axisfinding::TesseractReader reader;
    const axisfinding::FoundAxes found =
        reader.isReady() ? axisfinding::findAxes(model.sourceImage(), reader) : axisfinding::FoundAxes();
    if (!found.any()) {
        prompts.information(parent, i18n::tr("Find axes"),
                            reader.isReady() ? i18n::tr("No axes with readable tick labels were found.")
                                             : i18n::tr("The text recognition engine could not be started."));
        return;
    }
    QPolygonF marks;
    QStringList texts;
    for (const axisfinding::FoundAxis *axis : {&found.x, &found.y}) {
        for (const axisfinding::FoundMark &mark : axis->marks) {
            marks.append(mark.pixel);
            texts.append(QStringLiteral("%1  (%2 px)").arg(mark.text, number(mark.residual, 2)));
        }
    }
    view.setProposedMarks(marks, texts);
    AxisProposalDialog dialog(found, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    view.setProposedMarks({}, {});
    if (!accepted)
        return;
    const axisfinding::FoundAxes axes = dialog.axes();
    // Both axes or neither: a typed value that breaks one leaves the calibration as it was.
    if (!fitAxis(axes.x.calibrationMarks(), axes.x.logScale).ok ||
        !fitAxis(axes.y.calibrationMarks(), axes.y.logScale).ok) {
        prompts.warning(
            parent, i18n::tr("Find axes"),
            i18n::tr("These marks define no axis: they need different values at different places."));
        return;
    }
    const RecordedChange change(&model, i18n::tr("Find axes"),
                                {&ProjectModel::calibrationChanged, &ProjectModel::pointsChanged});
    model.setAxisMarks(true, axes.x.calibrationMarks(), axes.x.logScale);
    model.setAxisMarks(false, axes.y.calibrationMarks(), axes.y.logScale);
}
