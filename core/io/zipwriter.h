#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One file of a stored (uncompressed) ZIP archive.
struct ZipEntry
{
    QString name; // path inside the archive, forward slashes, written as UTF-8
    QByteArray data;
    quint32 crc32 = 0;
    quint32 localHeaderOffset = 0; // set when the archive is laid out
};

// The CRC-32 of ZIP (reflected polynomial 0xEDB88320), 0 for no bytes.
quint32 zipCrc32(const QByteArray &data);

// Appends an entry with the CRC of data; entries keep the order they are added in.
void addZipEntry(QList<ZipEntry> &entries, const QString &name, const QByteArray &data);

// The whole archive: local headers with data, central directory, end record.
// Sets each entry's localHeaderOffset, which is why the list is not const.
// No time stamps, no UTF-8 flag, no ZIP64: far more than 65535 entries or
// 4 GiB do not fit this layout.
QByteArray zipArchiveData(QList<ZipEntry> &entries);

// Lays the archive out in memory, then writes it through a QSaveFile.
bool writeZipArchive(const QString &path, QList<ZipEntry> &entries, QString *error = nullptr);
