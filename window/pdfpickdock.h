#pragma once

class GraphView;
class QDockWidget;
class QMainWindow;

// The choices of "Pick from PDF" in a dock below the picture, shown while the
// view is in that mode: how many points go along each curved segment, and
// whether a picked curve fills the active curve or a new one.
QDockWidget *addPdfPickDock(QMainWindow *window, GraphView *view);
