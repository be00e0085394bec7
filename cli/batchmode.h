#pragma once

#include <QStringList>

// Plotmason's command-line mode: opens a project and runs exports through the
// same functions as the window's commands, without showing a window.
namespace batch {

// True when the arguments ask for the command-line mode (any "--" option);
// decided before the application object exists, so that it can go offscreen.
bool isBatchInvocation(int argc, char **argv);

// The file to open in the window, as a file association passes it: the first
// argument after the program's name; empty without one.
QString windowFileArgument(const QStringList &arguments);

// Standard error carries only the program's own messages in this mode, so
// that scripts can show them; Qt's notes and warnings are dropped.
void silenceToolkitMessages();

// Runs the steps in command-line order. 0: every step succeeded; 1: a step
// failed (its message on standard error, later steps not run); 2: bad usage.
int run(const QStringList &arguments);

} // namespace batch
