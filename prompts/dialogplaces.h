#pragma once

#include <QString>

class QMainWindow;

// Each kind of file dialog, told apart by the first pattern of its filter
// ("*.pmproj", "*.csv"), starts in the folder where the last one of its kind
// ended, so that the language of the filter's text does not matter.
QString dialogKind(const QString &filter);
QString dialogStartFolder(const QString &filter);
void rememberDialogFolder(const QString &filter, const QString &chosenPath);

// The window's size, place and docks as the user left them; false when none
// were stored yet.
bool restoreWindowLayout(QMainWindow *window);
void saveWindowLayout(const QMainWindow *window);
