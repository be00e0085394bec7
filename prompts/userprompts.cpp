#include "prompts/userprompts.h"

#include "i18n/localization.h"
#include "prompts/axisvaluesdialog.h"
#include "prompts/dialogplaces.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

QString UserPrompts::openFileName(QWidget *parent, const QString &title, const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, title, dialogStartFolder(filter), filter);
    rememberDialogFolder(filter, path);
    return path;
}

void prepareSaveDialog(QFileDialog &dialog, const QString &defaultSuffix, bool confirmOverwrite)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
}

QString UserPrompts::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                  const QString &defaultSuffix, bool confirmOverwrite,
                                  const QString &proposedName)
{
    QFileDialog dialog(parent, title, dialogStartFolder(filter), filter);
    prepareSaveDialog(dialog, defaultSuffix, confirmOverwrite);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName + u'.' + defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    rememberDialogFolder(filter, path);
    return path;
}

namespace {
// The program's own button texts, the same whether or not Qt's translations are installed.
void translateButtons(QInputDialog &dialog)
{
    dialog.setOkButtonText(i18n::tr("OK"));
    dialog.setCancelButtonText(i18n::tr("Cancel"));
}
} // namespace

bool UserPrompts::text(QWidget *parent, const QString &title, const QString &label, const QString &initial,
                       QString *answer)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    translateButtons(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *answer = dialog.textValue();
    return accepted;
}

bool UserPrompts::item(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                       QString *answer)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    translateButtons(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *answer = dialog.textValue();
    return accepted;
}

bool UserPrompts::integer(QWidget *parent, const QString &title, const QString &label, int initial,
                          int minimum, int maximum, int *answer)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(minimum, maximum);
    dialog.setIntStep(1);
    dialog.setIntValue(initial);
    translateButtons(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *answer = dialog.intValue();
    return accepted;
}

bool UserPrompts::real(QWidget *parent, const QString &title, const QString &label, double initial,
                       double minimum, double maximum, int decimals, double *answer)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::DoubleInput);
    dialog.setDoubleRange(minimum, maximum);
    dialog.setDoubleDecimals(decimals);
    dialog.setDoubleStep(1.0);
    dialog.setDoubleValue(initial);
    translateButtons(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *answer = dialog.doubleValue();
    return accepted;
}

bool UserPrompts::axisValues(QWidget *parent, bool xAxis, const AxisValuesAnswer &initial,
                             AxisValuesAnswer *answer)
{
    AxisValuesDialog dialog(xAxis, initial, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    *answer = dialog.answer();
    return accepted;
}

QMessageBox::StandardButton UserPrompts::question(QWidget *parent, const QString &title, const QString &text,
                                                  QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    // The program's own texts, the same whether or not Qt's translations are installed.
    const std::pair<QMessageBox::StandardButton, QString> labels[] = {
        {QMessageBox::Yes, i18n::tr("Yes")},       {QMessageBox::No, i18n::tr("No")},
        {QMessageBox::Save, i18n::tr("Save")},     {QMessageBox::Discard, i18n::tr("Discard")},
        {QMessageBox::Cancel, i18n::tr("Cancel")},
    };
    for (const auto &[button, label] : labels) {
        if (QAbstractButton *shown = box.button(button))
            shown->setText(label);
    }
    return QMessageBox::StandardButton(box.exec());
}

void UserPrompts::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text);
}

void UserPrompts::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

void UserPrompts::critical(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::critical(parent, title, text);
}

#include <QColorDialog>
#include <QFontDialog>

bool UserPrompts::color(QWidget *parent, const QString &title, const QColor &initial, QColor *answer)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, title);
    if (!chosen.isValid())
        return false;
    *answer = chosen;
    return true;
}

bool UserPrompts::font(QWidget *parent, const QString &title, const QFont &initial, QFont *answer)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent, title);
    if (ok)
        *answer = chosen;
    return ok;
}
