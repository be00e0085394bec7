#pragma once

#include "core/model/calibration.h"
#include "core/model/curve.h"

#include <QImage>
#include <QList>
#include <QString>

// The current curve and selected point, which follow the edits but are not stored.
struct ProjectFocus
{
    QString activeCurveName;
    QString selectedPointCurveName;
    int selectedPointIndex = -1;
};

// Everything an undo step may have to put back, held by value: the lists and
// the picture are shared with the model until one side changes, so a copy is cheap.
struct ProjectState
{
    QString sourcePath;
    QImage sourceImage;
    uint visibleLayers = 0;
    int pdfPage = 0;
    int pdfPageCount = 0;
    int renderDpi = 0;
    Calibration calibration;
    QList<Curve> curves;
    ProjectFocus focus;
    QList<InsertionRecord> insertionHistory;
    // Set when the step left them as they were: the state then holds no copy
    // of the points or the insertion history (which later edits would pin in
    // memory), and restoring it keeps the model's own.
    bool keepsPoints = false;
    bool keepsInsertionHistory = false;
    // Set when the state holds no picture: restoring reads it again from
    // sourcePath, the PDF page at pdfPage and renderDpi or the image file.
    bool readsPicture = false;
};
