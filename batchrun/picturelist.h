#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Which pictures a run over many files works on, and the names of what it
// writes for each.
namespace batchrun {

struct Picture
{
    QString file;  // as the command line named it, or its folder joined with the name found
    int page = 0;  // 1-based page of a PDF; 0 for an image
    int index = 0; // 1-based place in the whole run, the same in every shard
};

// Part `part` of `count`: every count-th picture, starting with the part-th.
struct Shard
{
    int part = 1;
    int count = 1;
};

// The files the arguments name, in their order: a file as given (even one that
// is missing, so that it fails as a picture of its own), the pictures in a
// folder, and the matches of a pattern with *, ? or [...] in its file name.
// A folder's and a pattern's files come sorted by name; a file named twice is
// kept once. A pattern or folder that finds nothing fails with a message.
bool expandSources(const QStringList &arguments, QStringList *files, QString *error);

// "3", "2-5" or "1,4,7-9": 1-based pages in the order given, without repeats.
std::optional<QList<int>> parsePages(const QString &text);

// Each image once, and each of `pages` of each PDF; numbered from 1.
QList<Picture> picturesOf(const QStringList &files, const QList<int> &pages);

// "K/N" with 1 <= K <= N.
std::optional<Shard> parseShard(const QString &text);
QList<Picture> shardOf(const QList<Picture> &pictures, const Shard &shard);

// The pattern with {name} (the file's name without its last suffix), {page}
// (1 for an image) and {index} filled in.
QString fillNamePattern(const QString &pattern, const Picture &picture);
// The first {word} of the pattern that fillNamePattern does not know; empty when none.
QString unknownPlaceholder(const QString &pattern);

// How messages name the picture: "scans/a.png", "book.pdf page 3".
QString pictureLabel(const Picture &picture);

} // namespace batchrun
