#include "core/io/zipwriter.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtEndian>

namespace {

const QString python = QStringLiteral("/usr/bin/python3");

QString samplePath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

// Lists the archive as Python's zipfile sees it. Without the UTF-8 flag it
// decodes names as code page 437, so they are encoded back to their bytes.
const char pythonLister[] = R"(
import base64, json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    entries = [{"name": info.filename.encode("cp437").decode("utf-8"),
                "flags": info.flag_bits, "method": info.compress_type, "date": list(info.date_time),
                "data": base64.b64encode(archive.read(info)).decode("ascii")}
               for info in archive.infolist()]
    print(json.dumps({"bad": archive.testzip(), "entries": entries}))
)";

quint16 readLe16(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 readLe32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QList<ZipEntry> sampleEntries()
{
    QList<ZipEntry> entries;
    addZipEntry(entries, QStringLiteral("[Content_Types].xml"), "<Types/>");
    addZipEntry(entries, QStringLiteral("xl/worksheets/sheet1.xml"), QByteArray(5000, 'z'));
    addZipEntry(entries, QStringLiteral("empty.txt"), QByteArray());
    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary += char(i);
    addZipEntry(entries, QStringLiteral("data/binär€.dat"), binary.repeated(3));
    return entries;
}

} // namespace

class TestZipWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void computesCrc32_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<quint32>("crc");
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("a") << QByteArray("a") << 0xE8B7BE43u;
        QTest::newRow("abc") << QByteArray("abc") << 0x352441C2u;
        QTest::newRow("check value") << QByteArray("123456789") << 0xCBF43926u;
        QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog") << 0x414FA339u;
        QTest::newRow("zero byte") << QByteArray(1, '\0') << 0xD202EF8Du;
        QTest::newRow("bytes above 0x7f") << QByteArray("\xff\xfe\x80") << 0x265EA2ECu;
        QTest::newRow("32 zero bytes") << QByteArray(32, '\0') << 0x190A55ADu;
        QTest::newRow("32 bytes 0xff") << QByteArray(32, '\xff') << 0xFF6CAB0Bu;
        QByteArray ascending;
        for (int i = 0; i < 32; ++i)
            ascending += char(i);
        QTest::newRow("bytes 0 to 31") << ascending << 0x91267E8Au;
        QByteArray everyByte;
        for (int i = 0; i < 256; ++i)
            everyByte += char(i);
        QTest::newRow("1 MiB of every byte value") << everyByte.repeated(4096) << 0x04D0E435u;
    }

    void computesCrc32()
    {
        QFETCH(QByteArray, data);
        QFETCH(quint32, crc);
        QCOMPARE(zipCrc32(data), crc);
        QList<ZipEntry> entries;
        addZipEntry(entries, QStringLiteral("x"), data);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().crc32, crc);
        QCOMPARE(entries.first().localHeaderOffset, 0u);
        QCOMPARE(entries.first().data, data);
    }

    void crcAgreesWithZlib()
    {
        QByteArray data(100000, Qt::Uninitialized);
        QRandomGenerator random(7);
        for (char &byte : data)
            byte = char(random.bounded(256));
        const QString path = samplePath(QStringLiteral("random.bin"));
        QVERIFY(testsupport::writeFile(path, data));
        const testsupport::ToolResult result = testsupport::runTool(
            python,
            {QStringLiteral("-c"),
             QStringLiteral("import sys, zlib; print(zlib.crc32(open(sys.argv[1], 'rb').read()))"), path});
        QVERIFY2(result.started, "python3 is needed");
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::number(zipCrc32(data)), QString::fromLatin1(result.output.trimmed()));
    }

    void writesOneEntryExactly()
    {
        QList<ZipEntry> entries;
        addZipEntry(entries, QStringLiteral("a.txt"), "abc");
        const QString path = samplePath(QStringLiteral("one.zip"));
        QString error;
        QVERIFY2(writeZipArchive(path, entries, &error), qPrintable(error));
        const QByteArray expected = QByteArray::fromHex(
            // local header: signature, version 20, flags, method, time, date, CRC, sizes, name length, extra
            "504b0304 1400 0000 0000 0000 0000 c2412435 03000000 03000000 0500 0000"
            "612e747874 616263"
            // central directory: signature, made by 20, needed 20, flags, method, time, date, CRC, sizes,
            // name length, extra, comment, disk, internal and external attributes, local header offset
            "504b0102 1400 1400 0000 0000 0000 0000 c2412435 03000000 03000000 0500 0000 0000 0000 0000"
            "00000000 00000000 612e747874"
            // end record: signature, disks, counts 1 and 1, directory size 51 at offset 38, comment
            "504b0506 0000 0000 0100 0100 33000000 26000000 0000");
        QCOMPARE(expected.size(), 111);
        QCOMPARE(testsupport::readFile(path), expected);
        QCOMPARE(entries.first().localHeaderOffset, 0u);
    }

    void writesEmptyArchiveExactly()
    {
        QList<ZipEntry> entries;
        const QString path = samplePath(QStringLiteral("empty.zip"));
        QVERIFY(writeZipArchive(path, entries));
        QCOMPARE(testsupport::readFile(path),
                 QByteArray::fromHex("504b0506 0000 0000 0000 0000 00000000 00000000 0000"));
    }

    void setsOffsetsInOrder()
    {
        QList<ZipEntry> entries = sampleEntries();
        const QByteArray archive = zipArchiveData(entries);
        quint32 offset = 0;
        for (const ZipEntry &entry : std::as_const(entries)) {
            QCOMPARE(entry.localHeaderOffset, offset);
            QCOMPARE(archive.mid(offset, 4), QByteArray("PK\x03\x04"));
            const QByteArray name = entry.name.toUtf8();
            QCOMPARE(archive.mid(offset + 30, name.size()), name);
            QCOMPARE(archive.mid(offset + 30 + name.size(), entry.data.size()), entry.data);
            offset += 30 + quint32(name.size() + entry.data.size());
        }
        // The end record points at the directory that follows the last entry's data.
        const QByteArray end = archive.right(22);
        QCOMPARE(end.mid(0, 4), QByteArray("PK\x05\x06"));
        QCOMPARE(readLe16(end, 8), quint16(entries.size()));
        QCOMPARE(readLe16(end, 10), quint16(entries.size()));
        QCOMPARE(readLe32(end, 16), offset);
        QCOMPARE(readLe32(end, 12), quint32(archive.size() - 22) - offset);
        QCOMPARE(archive.mid(offset, 4), QByteArray("PK\x01\x02"));
    }

    void isReadByUnzip()
    {
        QList<ZipEntry> entries = sampleEntries();
        const QString path = samplePath(QStringLiteral("sample-unzip.zip"));
        QVERIFY(writeZipArchive(path, entries));
        const testsupport::ToolResult result =
            testsupport::runTool(QStringLiteral("unzip"), {QStringLiteral("-t"), path});
        QVERIFY2(result.started, "unzip is needed");
        QVERIFY2(result.exitCode == 0, result.output.constData());
        QVERIFY(result.output.contains("No errors detected"));
        QCOMPARE(result.output.count("OK"), entries.size());
    }

    void isReadByPythonZipfile()
    {
        QList<ZipEntry> entries = sampleEntries();
        const QString path = samplePath(QStringLiteral("sample-python.zip"));
        QVERIFY(writeZipArchive(path, entries));
        const testsupport::ToolResult result =
            testsupport::runTool(python, {QStringLiteral("-c"), QString::fromUtf8(pythonLister), path});
        QVERIFY2(result.started, "python3 is needed");
        QVERIFY2(result.exitCode == 0, result.errors.constData());
        const QJsonObject listing = QJsonDocument::fromJson(result.output).object();
        QVERIFY(listing.value(QStringLiteral("bad")).isNull()); // testzip found no bad CRC
        const QJsonArray read = listing.value(QStringLiteral("entries")).toArray();
        QCOMPARE(read.size(), entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QJsonObject entry = read.at(i).toObject();
            QCOMPARE(entry.value(QStringLiteral("name")).toString(), entries.at(i).name);
            QCOMPARE(entry.value(QStringLiteral("flags")).toInt(), 0); // no UTF-8 flag, even for "binär€"
            QCOMPARE(entry.value(QStringLiteral("method")).toInt(), 0);
            QCOMPARE(entry.value(QStringLiteral("date")).toArray(), QJsonArray({1980, 0, 0, 0, 0, 0}));
            QCOMPARE(QByteArray::fromBase64(entry.value(QStringLiteral("data")).toString().toLatin1()),
                     entries.at(i).data);
        }
    }

    void failsOnUnwritableTarget_data() { testsupport::addUnwritableTargetRows(); }

    void failsOnUnwritableTarget()
    {
        QFETCH(QString, kind);
        const testsupport::UnwritableTarget target = testsupport::makeUnwritableTarget(kind);
        const QStringList before = testsupport::folderSnapshot(target.folder);
        QList<ZipEntry> entries = sampleEntries();
        QString error;
        QVERIFY(!writeZipArchive(target.path, entries, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::folderSnapshot(target.folder), before);
        QVERIFY(!writeZipArchive(target.path, entries));
    }

    void leavesProtectedFileIntact()
    {
        const QString path = samplePath(QStringLiteral("protected.zip"));
        QVERIFY(testsupport::writeFile(path, "old archive"));
        const testsupport::ImmutableFile protection(path);
        if (!protection.isActive())
            QSKIP("chattr +i is not available on this file system");
        QList<ZipEntry> entries = sampleEntries();
        QString error;
        QVERIFY(!writeZipArchive(path, entries, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::readFile(path), QByteArray("old archive"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestZipWriter)
#include "tst_zipwriter.moc"
