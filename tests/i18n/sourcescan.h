#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace sourcescan {

// One i18n::tr call found in a source text.
struct TrCall
{
    int line = 0;
    QString key;         // the literal's text, adjacent literals joined, escapes decoded
    bool literal = true; // false when the argument is not a string literal
};

// Finds every i18n::tr( call in C++ source text. Comments, character
// literals and other string literals are skipped, so only real calls count.
QList<TrCall> findTrCalls(const QString &source);

struct TreeCall
{
    QString file; // relative to the scanned root
    TrCall call;
};

struct TreeScan
{
    QStringList files; // relative paths of the scanned .cpp and .h files
    QList<TreeCall> calls;
};

// Scans the .cpp and .h files below root, leaving out tests/, hidden folders
// and build folders (a folder named build* or holding a CMakeCache.txt).
TreeScan scanTree(const QString &root);

} // namespace sourcescan
