#include "netservice/updateclient.h"
#include "netservice/updateprotocol.h"
#include "tests/netservice/cannedhttpserver.h"
#include "tests/support/testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkAccessManager>

using netservice::LatestRelease;
using netservice::UpdateClient;
using Failure = netservice::UpdateClient::Failure;

namespace {

const QString goodDigest = QStringLiteral("ab").repeated(32);

QByteArray reply(const QString &version, const QString &installer, const QString &digest)
{
    return QStringLiteral(R"({"version":"%1","installerUrl":"%2","sha256":"%3"})")
        .arg(version, installer, digest)
        .toUtf8();
}

// Counts the requests that reach the manager, to prove that a refusal sent none.
class CountingManager : public QNetworkAccessManager
{
public:
    int requests = 0;

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request,
                                 QIODevice *data) override
    {
        ++requests;
        return QNetworkAccessManager::createRequest(operation, request, data);
    }
};

// A client on the canned server with a one-second timeout and spies on all its signals.
struct Fixture
{
    CannedHttpServer server;
    UpdateClient client{server.url(QStringLiteral("/"))};
    QSignalSpy received{&client, &UpdateClient::latestReceived};
    QSignalSpy queryFailed{&client, &UpdateClient::queryFailed};
    QSignalSpy downloaded{&client, &UpdateClient::downloadFinished};
    QSignalSpy downloadFailed{&client, &UpdateClient::downloadFailed};
    QSignalSpy progress{&client, &UpdateClient::downloadProgress};

    Fixture() { client.setTimeout(1000); }
    bool queryEnds()
    {
        return QTest::qWaitFor([this] { return received.size() + queryFailed.size() > 0; }, 5000);
    }
    bool downloadEnds()
    {
        return QTest::qWaitFor([this] { return downloaded.size() + downloadFailed.size() > 0; }, 5000);
    }
};

} // namespace

class UpdateClientTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compareVersions_data();
    void compareVersions();
    void permittedUrls_data();
    void permittedUrls();
    void queryUrlKeepsTheBasePath();
    void parseReply_data();
    void parseReply();

    void queryAnswers_data();
    void queryAnswers();
    void queryFails_data();
    void queryFails();
    void silentServerTimesOut();
    void tricklingServerMeetsTheDeadline();
    void plainHttpRefusedBeforeAnyRequest();
    void newQueryDropsTheRunningOne();
    void cancelEndsSilentlyAndKeepsNothing();
    void downloadKeepsMatchingBytes();
    void downloadFails_data();
    void downloadFails();
};

void UpdateClientTest::compareVersions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected"); // 2 means "not comparable"
    QTest::newRow("numeric, not textual") << "1.1.10"
                                          << "1.1.9" << 1;
    QTest::newRow("older") << "1.1.9"
                           << "1.1.10" << -1;
    QTest::newRow("same") << "1.1.7"
                          << "1.1.7" << 0;
    QTest::newRow("missing component is zero") << "1.2"
                                               << "1.2.0" << 0;
    QTest::newRow("extra component") << "1.1.7.1"
                                     << "1.1.7" << 1;
    QTest::newRow("leading zeros") << "1.02"
                                   << "1.2" << 0;
    QTest::newRow("major wins") << "2"
                                << "1.99.99" << 1;
    QTest::newRow("beyond 64 bits") << "1.99999999999999999999"
                                    << "1.99999999999999999998" << 1;
    for (const char *garbage : {"", "1..2", "1.2.", ".1", "v1.2", "1.2-beta", " 1.2", "1,2", "-1", "unknown"})
        QTest::addRow("garbage \"%s\"", garbage) << QString::fromLatin1(garbage) << "1.1.7" << 2;
    QTest::newRow("garbage installed") << "1.2.0"
                                       << "dev" << 2;
    QTest::newRow("absurdly long") << QStringLiteral("1.").repeated(40) + u'1' << "1" << 2;
}

void UpdateClientTest::compareVersions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    const std::optional<int> order = netservice::compareVersions(a, b);
    QCOMPARE(order.value_or(2), expected);
    QCOMPARE(netservice::compareVersions(b, a).value_or(2), expected == 2 ? 2 : -expected);
}

void UpdateClientTest::permittedUrls_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("permitted");
    QTest::newRow("https") << "https://updates.plotmason.app/v1/latest" << true;
    QTest::newRow("http loopback") << "http://127.0.0.1:8080/" << true;
    QTest::newRow("http anywhere in 127/8") << "http://127.200.3.4/" << true;
    QTest::newRow("http ::1") << "http://[::1]:8080/" << true;
    QTest::newRow("http localhost") << "http://LOCALHOST/" << true;
    QTest::newRow("http elsewhere") << "http://example.invalid/" << false;
    QTest::newRow("http 128.0.0.1") << "http://128.0.0.1/" << false;
    QTest::newRow("http 0.0.0.0") << "http://0.0.0.0/" << false;
    QTest::newRow("loopback-looking name") << "http://127.0.0.1.example.invalid/" << false;
    QTest::newRow("localhost-looking name") << "http://localhost.example.invalid/" << false;
    QTest::newRow("ftp loopback") << "ftp://127.0.0.1/" << false;
    QTest::newRow("file") << "file:///tmp/setup.exe" << false;
    QTest::newRow("relative") << "/v1/latest" << false;
    QTest::newRow("empty") << "" << false;
}

void UpdateClientTest::permittedUrls()
{
    QFETCH(QString, url);
    QFETCH(bool, permitted);
    QCOMPARE(netservice::isPermittedUrl(QUrl(url)), permitted);
}

void UpdateClientTest::queryUrlKeepsTheBasePath()
{
    QCOMPARE(netservice::latestQueryUrl(QUrl(QString::fromLatin1(netservice::defaultServiceUrl)),
                                        QStringLiteral("stable"), QStringLiteral("1.1.7")),
             QUrl(QStringLiteral("https://updates.plotmason.app/v1/latest?channel=stable&installed=1.1.7")));
    QCOMPARE(netservice::latestQueryUrl(QUrl(QStringLiteral("https://example.invalid/api/?old=1#x")),
                                        QStringLiteral("beta"), QStringLiteral("2.0")),
             QUrl(QStringLiteral("https://example.invalid/api/v1/latest?channel=beta&installed=2.0")));
}

void UpdateClientTest::parseReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("valid");
    const QString https = QStringLiteral("https://example.invalid/Plotmason-1.2.0-setup.exe");
    QTest::newRow("complete") << reply("1.2.0", https, goodDigest) << true;
    QTest::newRow("loopback http installer") << reply("1.2.0", "http://127.0.0.1/s.exe", goodDigest) << true;
    QTest::newRow("extra fields") << QByteArray(R"({"notes":[1],"version":"1.2","installerUrl":")" +
                                                https.toUtf8() + R"(","sha256":")" + goodDigest.toUtf8() +
                                                "\"}")
                                  << true;
    QTest::newRow("not JSON") << QByteArray("{\"version\":") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("array") << QByteArray("[]") << false;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe", 3) << false;
    QTest::newRow("no version") << QByteArray(R"({"installerUrl":"https://a.invalid/s","sha256":"ab"})")
                                << false;
    QTest::newRow("version is a number") << QByteArray(R"({"version":1.2,"installerUrl":")" + https.toUtf8() +
                                                       R"(","sha256":")" + goodDigest.toUtf8() + "\"}")
                                         << false;
    QTest::newRow("version is text") << reply("latest", https, goodDigest) << false;
    QTest::newRow("empty version") << reply("", https, goodDigest) << false;
    QTest::newRow("empty installer") << reply("1.2.0", "", goodDigest) << false;
    QTest::newRow("relative installer") << reply("1.2.0", "/setup.exe", goodDigest) << false;
    QTest::newRow("ftp installer") << reply("1.2.0", "ftp://example.invalid/s.exe", goodDigest) << false;
    QTest::newRow("plain http installer")
        << reply("1.2.0", "http://example.invalid/s.exe", goodDigest) << false;
    QTest::newRow("short digest") << reply("1.2.0", https, goodDigest.left(63)) << false;
    QTest::newRow("long digest") << reply("1.2.0", https, goodDigest + u'a') << false;
    QTest::newRow("digest not hex") << reply("1.2.0", https, goodDigest.left(63) + u'g') << false;
    QTest::newRow("empty digest") << reply("1.2.0", https, QString()) << false;
}

void UpdateClientTest::parseReply()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    LatestRelease release{QStringLiteral("untouched"), QUrl(), QString()};
    QString error;
    QCOMPARE(netservice::parseLatestReply(body, &release, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
    if (!valid) {
        QCOMPARE(release.version, QStringLiteral("untouched"));
        return;
    }
    QVERIFY(netservice::isValidVersion(release.version));
    QVERIFY(netservice::isPermittedUrl(release.installerUrl));
    QCOMPARE(release.sha256, goodDigest);
}

void UpdateClientTest::queryAnswers_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("newer") << "1.2.0";
    QTest::newRow("same") << "1.1.7";
    QTest::newRow("older") << "1.0.9";
}

void UpdateClientTest::queryAnswers()
{
    QFETCH(QString, version);
    Fixture f;
    const QString installer = f.server.url(QStringLiteral("/setup.exe")).toString();
    f.server.answer(QStringLiteral("/v1/latest"), 200, reply(version, installer, goodDigest.toUpper()));

    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QVERIFY(f.client.isQuerying());
    QVERIFY(f.queryEnds());
    QCOMPARE(f.queryFailed.size(), 0);
    QCOMPARE(f.received.size(), 1);
    QCOMPARE(f.received.at(0).at(0).value<LatestRelease>(),
             (LatestRelease{version, QUrl(installer), goodDigest}));
    QCOMPARE(f.server.requests(), QStringList{QStringLiteral("/v1/latest?channel=stable&installed=1.1.7")});
    QVERIFY(!f.client.isQuerying());
}

void UpdateClientTest::queryFails_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("redirect"); // when set, /v1/latest redirects there
    QTest::addColumn<Failure>("failure");
    const QByteArray good = reply("1.2.0", "https://example.invalid/s.exe", goodDigest);
    QTest::newRow("malformed JSON") << 200 << QByteArray("{\"version\":\"1.2.0\"") << QString()
                                    << Failure::MalformedReply;
    QTest::newRow("missing digest") << 200 << QByteArray(R"({"version":"1.2.0"})") << QString()
                                    << Failure::MalformedReply;
    QTest::newRow("too large") << 200 << QByteArray(UpdateClient::maxReplySize + 10, ' ') + good << QString()
                               << Failure::MalformedReply;
    QTest::newRow("404") << 404 << good << QString() << Failure::HttpStatus;
    QTest::newRow("500") << 500 << good << QString() << Failure::HttpStatus;
    QTest::newRow("204") << 204 << QByteArray() << QString() << Failure::HttpStatus;
    QTest::newRow("redirect to plain http elsewhere")
        << 200 << good << "http://example.invalid/v1/latest" << Failure::RefusedRedirect;
    QTest::newRow("redirect to ftp") << 200 << good << "ftp://127.0.0.1/v1/latest"
                                     << Failure::RefusedRedirect;
    QTest::newRow("redirect loop") << 200 << good << "/v1/latest" << Failure::RefusedRedirect;
}

void UpdateClientTest::queryFails()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, redirect);
    QFETCH(Failure, failure);
    Fixture f;
    f.server.answer(QStringLiteral("/v1/latest"), status, body);
    if (!redirect.isEmpty())
        f.server.redirect(QStringLiteral("/v1/latest"), redirect);

    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QVERIFY(f.queryEnds());
    QCOMPARE(f.received.size(), 0);
    QCOMPARE(f.queryFailed.size(), 1);
    QCOMPARE(f.queryFailed.at(0).at(0).value<Failure>(), failure);
    QVERIFY(!f.queryFailed.at(0).at(1).toString().isEmpty());
    // The loop is cut after the allowed number of redirects.
    if (redirect == QLatin1String("/v1/latest"))
        QCOMPARE(f.server.requests().size(), UpdateClient::maxRedirects + 1);
}

void UpdateClientTest::silentServerTimesOut()
{
    Fixture f;
    f.server.stayQuiet(QStringLiteral("/v1/latest"));
    QElapsedTimer clock;
    clock.start();
    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QVERIFY(f.queryEnds());
    QCOMPARE(f.queryFailed.at(0).at(0).value<Failure>(), Failure::Timeout);
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(f.server.requests().size(), 1);
}

void UpdateClientTest::tricklingServerMeetsTheDeadline()
{
    Fixture f;
    // A byte every 200 ms keeps each transfer alive; only the deadline ends the query.
    f.server.trickle(QStringLiteral("/v1/latest"), 200);
    f.client.setQueryDeadline(1500);
    QElapsedTimer clock;
    clock.start();
    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QVERIFY(f.queryEnds());
    QCOMPARE(f.queryFailed.size(), 1);
    QCOMPARE(f.queryFailed.at(0).at(0).value<Failure>(), Failure::Timeout);
    QVERIFY2(clock.elapsed() >= 1400, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(f.received.isEmpty());
}

void UpdateClientTest::plainHttpRefusedBeforeAnyRequest()
{
    Fixture f;
    CountingManager manager;
    f.client.setNetworkAccessManager(&manager);
    f.client.setServiceUrl(QUrl(QStringLiteral("http://example.invalid/")));
    const QString target = testsupport::sandbox().filePath(QStringLiteral("refused.exe"));

    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    f.client.downloadInstaller(QUrl(QStringLiteral("http://example.invalid/setup.exe")), goodDigest, target);
    // Never inside the call: the caller has always returned before the answer.
    QCOMPARE(f.queryFailed.size() + f.downloadFailed.size(), 0);
    QVERIFY(f.queryEnds());
    QVERIFY(f.downloadEnds());
    QCOMPARE(f.queryFailed.at(0).at(0).value<Failure>(), Failure::RefusedUrl);
    QCOMPARE(f.downloadFailed.at(0).at(0).value<Failure>(), Failure::RefusedUrl);
    QCOMPARE(manager.requests, 0);
    QVERIFY(!QFileInfo::exists(target));
}

void UpdateClientTest::newQueryDropsTheRunningOne()
{
    Fixture f;
    f.server.stayQuiet(QStringLiteral("/slow/v1/latest"));
    f.server.answer(QStringLiteral("/v1/latest"), 200,
                    reply("1.2.0", "https://example.invalid/s", goodDigest));
    f.client.setServiceUrl(f.server.url(QStringLiteral("/slow")));
    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QTRY_COMPARE_WITH_TIMEOUT(f.server.requests().size(), 1, 5000);

    f.client.setServiceUrl(f.server.url(QStringLiteral("/")));
    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    QVERIFY(f.queryEnds());
    // Longer than the timeout: the dropped query must stay silent.
    QTest::qWait(1300);
    QCOMPARE(f.received.size(), 1);
    QCOMPARE(f.queryFailed.size(), 0);
}

void UpdateClientTest::cancelEndsSilentlyAndKeepsNothing()
{
    Fixture f;
    f.client.setTimeout(300);
    f.server.stayQuiet(QStringLiteral("/v1/latest"));
    f.server.stayQuiet(QStringLiteral("/setup.exe"));
    const QString folder = testsupport::sandbox().filePath(QStringLiteral("cancelled"));
    QVERIFY(QDir().mkpath(folder));

    f.client.queryLatest(QStringLiteral("stable"), QStringLiteral("1.1.7"));
    f.client.downloadInstaller(f.server.url(QStringLiteral("/setup.exe")), goodDigest, folder + "/setup.exe");
    QTRY_COMPARE_WITH_TIMEOUT(f.server.requests().size(), 2, 5000);
    f.client.cancel();
    QVERIFY(!f.client.isQuerying());
    QVERIFY(!f.client.isDownloading());
    QTest::qWait(500); // beyond the timeout
    QCOMPARE(f.received.size() + f.queryFailed.size() + f.downloaded.size() + f.downloadFailed.size(), 0);
    QCOMPARE(testsupport::folderSnapshot(folder), QStringList());
}

void UpdateClientTest::downloadKeepsMatchingBytes()
{
    Fixture f;
    QByteArray installer;
    for (int i = 0; i < 300000; ++i)
        installer.append(char(i * 7 % 251));
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex());
    f.server.answer(QStringLiteral("/setup.exe"), 200, installer, "application/octet-stream");
    f.server.redirect(QStringLiteral("/latest.exe"), QStringLiteral("/setup.exe")); // loopback: followed
    const QString target = testsupport::sandbox().filePath(QStringLiteral("good/setup.exe"));
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));

    f.client.downloadInstaller(f.server.url(QStringLiteral("/latest.exe")), digest, target);
    QVERIFY(f.client.isDownloading());
    QVERIFY(f.downloadEnds());
    QCOMPARE(f.downloadFailed.size(), 0);
    QCOMPARE(f.downloaded.at(0).at(0).toString(), target);
    QCOMPARE(testsupport::readFile(target), installer);
    QVERIFY(!f.progress.isEmpty());
    QCOMPARE(f.progress.last().at(0).toLongLong(), qint64(installer.size()));
    QCOMPARE(f.server.requests(), (QStringList{QStringLiteral("/latest.exe"), QStringLiteral("/setup.exe")}));
    QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files), QStringList{QStringLiteral("setup.exe")});
}

void UpdateClientTest::downloadFails_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("digest");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<Failure>("failure");
    const QString bodyDigest =
        QString::fromLatin1(QCryptographicHash::hash("installer", QCryptographicHash::Sha256).toHex());
    QTest::newRow("checksum mismatch") << 200 << goodDigest << true << Failure::ChecksumMismatch;
    QTest::newRow("404") << 404 << bodyDigest << true << Failure::HttpStatus;
    QTest::newRow("digest not hex") << 200 << QStringLiteral("xyz") << true << Failure::MalformedReply;
    QTest::newRow("folder missing") << 200 << bodyDigest << false << Failure::FileError;
}

void UpdateClientTest::downloadFails()
{
    QFETCH(int, status);
    QFETCH(QString, digest);
    QFETCH(bool, folderExists);
    QFETCH(Failure, failure);
    Fixture f;
    f.server.answer(QStringLiteral("/setup.exe"), status, "installer", "application/octet-stream");
    const QString folder =
        testsupport::sandbox().filePath(QStringLiteral("failed-%1").arg(QTest::currentDataTag()));
    if (folderExists)
        QVERIFY(QDir().mkpath(folder));

    f.client.downloadInstaller(f.server.url(QStringLiteral("/setup.exe")), digest, folder + "/setup.exe");
    QVERIFY(f.downloadEnds());
    QCOMPARE(f.downloaded.size(), 0);
    QCOMPARE(f.downloadFailed.at(0).at(0).value<Failure>(), failure);
    // Nothing kept, not even the save file's temporary.
    QCOMPARE(testsupport::folderSnapshot(folder), QStringList());
}

PLOTMASON_TEST_MAIN(QCoreApplication, UpdateClientTest)

#include "tst_updateclient.moc"
