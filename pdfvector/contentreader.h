#pragma once

#include "pdfvector/pagedrawing.h"

#include <qpdf/QPDFObjectHandle.hh>

// The interpreter of content streams behind readPageDrawing: follows the
// graphics state (cm, q/Q, colours, width, dashes, ExtGState) into form
// XObjects and collects the painted paths, mapped by pageToPixel.

enum class ContentOutcome { Complete, TooLarge };

// Upper bounds that keep a hostile or enormous page from exhausting memory or time.
struct ContentLimits
{
    size_t maximumContentBytes = size_t(128) << 20; // decoded, page and forms together
    int maximumSegments = 2000000;
    qint64 maximumOperators = 20000000;
    int maximumFormDepth = 12;
    // Forms drawn, counting every run: nesting multiplies them (10 forms
    // each drawing the next ten times, 8 deep, is 10^8 runs).
    qint64 maximumFormRuns = 100000;
    int maximumSavedStates = 4096;
    int maximumClipEdges = 100000; // of the clipping paths in effect at once
};

// Appends the paths painted by `page` (a page or form dictionary) to drawing->paths.
// Throws what qpdf throws for undecodable streams.
ContentOutcome readContentPaths(QPDFObjectHandle page, const QTransform &pageToPixel, PageDrawing *drawing,
                                const ContentLimits &limits = ContentLimits());
