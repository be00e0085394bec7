#pragma once

class QDir;

// The small picture (chart.png) and three-page PDF (chart.pdf) that fuzzed
// projects may name as their source; the fuzzers and the seed maker share them.
void writeFuzzSources(const QDir &folder);
