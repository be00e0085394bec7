#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

struct AxisValuesAnswer;

class QColor;
class QFileDialog;
class QFont;
class QWidget;

// How a save dialog is set up: the default suffix (without the dot) goes to a
// name typed without one before the dialog's overwrite question sees it;
// confirmOverwrite false for files that are added to rather than replaced.
void prepareSaveDialog(QFileDialog &dialog, const QString &defaultSuffix, bool confirmOverwrite);

// Every question the windows ask the user goes through here, so that tests can
// answer instead of a modal dialog. The default answers with real dialogs.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    // An empty result means cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter);
    // proposedName (without suffix) is the name filled in when the dialog opens; empty for none.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &defaultSuffix, bool confirmOverwrite,
                                 const QString &proposedName);
    virtual bool text(QWidget *parent, const QString &title, const QString &label, const QString &initial,
                      QString *answer);
    virtual bool item(QWidget *parent, const QString &title, const QString &label, const QStringList &items,
                      QString *answer);
    virtual bool integer(QWidget *parent, const QString &title, const QString &label, int initial,
                         int minimum, int maximum, int *answer);
    virtual bool real(QWidget *parent, const QString &title, const QString &label, double initial,
                      double minimum, double maximum, int decimals, double *answer);
    // The values at an axis' two marks and its scale; false means cancelled.
    virtual bool axisValues(QWidget *parent, bool xAxis, const AxisValuesAnswer &initial,
                            AxisValuesAnswer *answer);
    virtual QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                                 QMessageBox::StandardButtons buttons);
    virtual void information(QWidget *parent, const QString &title, const QString &text);
    virtual void warning(QWidget *parent, const QString &title, const QString &text);
    virtual void critical(QWidget *parent, const QString &title, const QString &text);
    // Colour and font choices of the regenerated graph; false means cancelled.
    virtual bool color(QWidget *parent, const QString &title, const QColor &initial, QColor *answer);
    virtual bool font(QWidget *parent, const QString &title, const QFont &initial, QFont *answer);
};
