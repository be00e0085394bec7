#include "core/io/zipwriter.h"

#include "core/io/exportsupport.h"

#include <zlib.h>

namespace {

constexpr quint32 localHeaderSignature = 0x04034b50;
constexpr quint32 centralHeaderSignature = 0x02014b50;
constexpr quint32 endRecordSignature = 0x06054b50;
constexpr quint16 zipVersion = 20; // 2.0: stored entries and directories

void append16(QByteArray &buffer, quint16 value)
{
    buffer += char(value & 0xff);
    buffer += char(value >> 8);
}

void append32(QByteArray &buffer, quint32 value)
{
    append16(buffer, quint16(value & 0xffff));
    append16(buffer, quint16(value >> 16));
}

// The fields from CRC to file name length, which both headers share.
void appendSizesAndName(QByteArray &buffer, const ZipEntry &entry, const QByteArray &name)
{
    append32(buffer, entry.crc32);
    append32(buffer, quint32(entry.data.size())); // compressed size
    append32(buffer, quint32(entry.data.size())); // uncompressed size
    append16(buffer, quint16(name.size()));
    append16(buffer, 0); // extra field length
}

void appendFlagsMethodAndTime(QByteArray &buffer)
{
    append16(buffer, 0); // flags: no data descriptor, no UTF-8 flag
    append16(buffer, 0); // method: stored
    append16(buffer, 0); // modification time
    append16(buffer, 0); // modification date
}

} // namespace

quint32 zipCrc32(const QByteArray &data)
{
    // zlib takes at most a uInt per call; the workbooks stay far below it, but
    // the checksum must not depend on that.
    uLong crc = crc32(0L, Z_NULL, 0);
    const char *bytes = data.constData();
    for (qsizetype left = data.size(); left > 0;) {
        const uInt chunk = uInt(qMin<qsizetype>(left, 1 << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes), chunk);
        bytes += chunk;
        left -= chunk;
    }
    return quint32(crc);
}

void addZipEntry(QList<ZipEntry> &entries, const QString &name, const QByteArray &data)
{
    entries.append(ZipEntry{name, data, zipCrc32(data), 0});
}

QByteArray zipArchiveData(QList<ZipEntry> &entries)
{
    QList<QByteArray> names;
    names.reserve(entries.size());
    qsizetype total = 22;
    for (const ZipEntry &entry : entries) {
        names.append(entry.name.toUtf8());
        total += 30 + 46 + 2 * names.last().size() + entry.data.size();
    }

    QByteArray buffer;
    buffer.reserve(total);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        ZipEntry &entry = entries[i];
        entry.localHeaderOffset = quint32(buffer.size());
        append32(buffer, localHeaderSignature);
        append16(buffer, zipVersion); // needed to extract
        appendFlagsMethodAndTime(buffer);
        appendSizesAndName(buffer, entry, names.at(i));
        buffer += names.at(i);
        buffer += entry.data;
    }

    const quint32 directoryStart = quint32(buffer.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ZipEntry &entry = entries.at(i);
        append32(buffer, centralHeaderSignature);
        append16(buffer, zipVersion); // made by
        append16(buffer, zipVersion); // needed to extract
        appendFlagsMethodAndTime(buffer);
        appendSizesAndName(buffer, entry, names.at(i));
        append16(buffer, 0); // file comment length
        append16(buffer, 0); // disk number start
        append16(buffer, 0); // internal attributes
        append32(buffer, 0); // external attributes
        append32(buffer, entry.localHeaderOffset);
        buffer += names.at(i);
    }

    const quint32 directorySize = quint32(buffer.size()) - directoryStart;
    append32(buffer, endRecordSignature);
    append16(buffer, 0); // this disk
    append16(buffer, 0); // disk of the directory start
    append16(buffer, quint16(entries.size()));
    append16(buffer, quint16(entries.size()));
    append32(buffer, directorySize);
    append32(buffer, directoryStart);
    append16(buffer, 0); // comment length
    return buffer;
}

bool writeZipArchive(const QString &path, QList<ZipEntry> &entries, QString *error)
{
    return saveFileContents(path, zipArchiveData(entries), error);
}
