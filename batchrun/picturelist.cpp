#include "batchrun/picturelist.h"

#include "core/model/sourceloading.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace batchrun {

namespace {

const QStringList pictureSuffixes = {
    QStringLiteral("*.png"), QStringLiteral("*.jpg"),  QStringLiteral("*.jpeg"), QStringLiteral("*.bmp"),
    QStringLiteral("*.tif"), QStringLiteral("*.tiff"), QStringLiteral("*.pdf")};

bool isPattern(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')) ||
           name.contains(QLatin1Char('['));
}

// The files of folder matching the filters, in name order whatever the locale.
QStringList filesIn(const QString &folder, const QStringList &filters)
{
    QStringList names = QDir(folder).entryList(filters, QDir::Files | QDir::CaseSensitive);
    std::sort(names.begin(), names.end());
    QStringList files;
    for (const QString &name : names)
        files.append(folder == QLatin1String(".") ? name : QDir(folder).filePath(name));
    return files;
}

} // namespace

bool expandSources(const QStringList &arguments, QStringList *files, QString *error)
{
    QSet<QString> seen;
    for (const QString &argument : arguments) {
        const QFileInfo info(argument);
        QStringList found;
        if (info.isDir()) {
            QDir folder(argument);
            QStringList filters;
            for (const QString &suffix : pictureSuffixes)
                filters << suffix << suffix.toUpper();
            found = filesIn(folder.path(), filters);
            if (found.isEmpty()) {
                *error =
                    QStringLiteral("No picture (PNG, JPG, BMP, TIFF or PDF) in the folder %1.").arg(argument);
                return false;
            }
        } else if (isPattern(info.fileName())) {
            found = filesIn(info.path(), {info.fileName()});
            if (found.isEmpty()) {
                *error = QStringLiteral("No file matches %1.").arg(argument);
                return false;
            }
        } else {
            found = {argument};
        }
        for (const QString &file : found) {
            const QString key = QFileInfo(file).absoluteFilePath();
            if (!seen.contains(key)) {
                seen.insert(key);
                files->append(file);
            }
        }
    }
    return true;
}

std::optional<QList<int>> parsePages(const QString &text)
{
    static const QRegularExpression range(QStringLiteral("^\\s*(\\d{1,6})\\s*(?:-\\s*(\\d{1,6})\\s*)?$"));
    QList<int> pages;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = range.match(part);
        if (!match.hasMatch())
            return std::nullopt;
        const int first = match.captured(1).toInt();
        const int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
        if (first < 1 || last < first || last - first > 10000)
            return std::nullopt;
        for (int page = first; page <= last; ++page) {
            if (!pages.contains(page))
                pages.append(page);
        }
    }
    return pages;
}

QList<Picture> picturesOf(const QStringList &files, const QList<int> &pages)
{
    QList<Picture> pictures;
    for (const QString &file : files) {
        if (isPdfFile(file)) {
            for (int page : pages)
                pictures.append({file, page, int(pictures.size()) + 1});
        } else {
            pictures.append({file, 0, int(pictures.size()) + 1});
        }
    }
    return pictures;
}

std::optional<Shard> parseShard(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,6})/(\\d{1,6})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const Shard shard{match.captured(1).toInt(), match.captured(2).toInt()};
    if (shard.part < 1 || shard.part > shard.count)
        return std::nullopt;
    return shard;
}

QList<Picture> shardOf(const QList<Picture> &pictures, const Shard &shard)
{
    QList<Picture> part;
    for (const Picture &picture : pictures) {
        if ((picture.index - 1) % shard.count == shard.part - 1)
            part.append(picture);
    }
    return part;
}

QString fillNamePattern(const QString &pattern, const Picture &picture)
{
    QString filled = pattern;
    filled.replace(QLatin1String("{name}"), QFileInfo(picture.file).completeBaseName());
    filled.replace(QLatin1String("{page}"), QString::number(std::max(1, picture.page)));
    filled.replace(QLatin1String("{index}"), QString::number(picture.index));
    return filled;
}

QString unknownPlaceholder(const QString &pattern)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{[A-Za-z_]*\\}"));
    for (QRegularExpressionMatchIterator it = placeholder.globalMatch(pattern); it.hasNext();) {
        const QString word = it.next().captured();
        if (word != QLatin1String("{name}") && word != QLatin1String("{page}") &&
            word != QLatin1String("{index}"))
            return word;
    }
    return QString();
}

QString pictureLabel(const Picture &picture)
{
    return picture.page > 0 ? QStringLiteral("%1 page %2").arg(picture.file).arg(picture.page) : picture.file;
}

} // namespace batchrun
