#pragma once

#include <QIcon>
#include <QPixmap>

// The padlock of the "Lock proportions" button, drawn rather than loaded: a
// rounded body under a half-circle shackle, blue and closed when locked, grey
// and open when not.
QPixmap lockPixmap(bool locked);
QIcon lockIcon(bool locked);
