#pragma once

#include <QString>
#include <QtGlobal>

// Forms are drawings a page names and repeats; they may name each other, and
// the renderer draws every repetition: ten forms in each of eight nested forms
// are a hundred million drawings, which no renderer finishes. Above this many
// the page is refused before it is rendered.
constexpr qint64 maximumPageFormRuns = 1000000;

// How many forms drawing the page runs, counted through their nesting without
// drawing anything, and no further than just past `limit`. -1 when the file
// cannot be read this way (the renderer then decides on its own).
qint64 pageFormRuns(const QString &path, int page, qint64 limit = maximumPageFormRuns);

// False, with a text saying why, when rendering the page would run more than
// maximumPageFormRuns forms.
bool pageRenderBounded(const QString &path, int page, QString *error);
