#include "i18n/localization.h"
#include "tests/netservice/cannedhttpserver.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"
#include "window/updateflow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>

namespace {

const QByteArray installer = QByteArray("MZ installer bytes ").repeated(1000);
const QString installerDigest =
    QString::fromLatin1(QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex());

// Records the installer start and the quit instead of doing them.
class ObservedFlow : public UpdateFlow
{
public:
    using UpdateFlow::UpdateFlow;
    QStringList launched;
    int quitRequests = 0;
    bool launchSucceeds = true;
    QStringList *events = nullptr;

protected:
    bool launchInstaller(const QString &filePath) override
    {
        launched.append(filePath);
        if (events)
            events->append(QStringLiteral("launch"));
        return launchSucceeds;
    }
    void requestQuit() override
    {
        ++quitRequests;
        if (events)
            events->append(QStringLiteral("quit"));
    }
};

// The main window's part: closing it asks about unsaved work, and Cancel keeps it open.
class ClosingWindow : public QWidget
{
public:
    QStringList *events = nullptr;
    bool refusesToClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (events)
            events->append(QStringLiteral("close"));
        event->setAccepted(!refusesToClose);
    }
};

// A flow on the canned server, with spies on its three signals and its own download folder.
struct Fixture
{
    CannedHttpServer server;
    testsupport::ScriptedPrompts prompts;
    ClosingWindow window;
    ObservedFlow flow{&window, &prompts};
    QSignalSpy online{&flow, &UpdateFlow::onlineVersionChanged};
    QSignalSpy status{&flow, &UpdateFlow::statusChanged};
    QSignalSpy available{&flow, &UpdateFlow::updateAvailableChanged};
    QString folder;

    explicit Fixture(const QString &version = QStringLiteral("1.2.0"),
                     const QString &digest = installerDigest)
    {
        static int count = 0;
        folder = testsupport::sandbox().filePath(QStringLiteral("downloads-%1").arg(++count));
        QSettings().setValue(QStringLiteral("update/serviceUrl"), server.url(QStringLiteral("/")).toString());
        const QString url =
            server.url(QStringLiteral("/files/Plotmason-%1-setup.exe").arg(version)).toString();
        server.answer(QStringLiteral("/v1/latest"), 200,
                      QStringLiteral(R"({"version":"%1","installerUrl":"%2","sha256":"%3"})")
                          .arg(version, url, digest)
                          .toUtf8());
        server.answer(QStringLiteral("/files/Plotmason-%1-setup.exe").arg(version), 200, installer,
                      "application/octet-stream");
        flow.setTimeout(1000);
        flow.setDownloadFolder(folder);
    }
    bool checkEnds()
    {
        return QTest::qWaitFor([this] { return !flow.isChecking(); }, 5000);
    }
    bool updateEnds()
    {
        return QTest::qWaitFor([this] { return !flow.isDownloading() && !status.isEmpty(); }, 5000);
    }
    QStringList statuses() const
    {
        QStringList texts;
        for (const QList<QVariant> &emitted : status)
            texts.append(emitted.at(0).toString());
        return texts;
    }
};

} // namespace

class UpdateFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void serviceUrlFromSetting();
    void checkFillsTheDialog_data();
    void checkFillsTheDialog();
    void quietCheckShowsNothing_data();
    void quietCheckShowsNothing();
    void quietCheckAsksAboutNewerVersion();
    void dialogJoinsQuietCheck();
    void goodUpdateStartsInstallerAndQuits();
    void installerWaitsForTheWindowToClose_data();
    void installerWaitsForTheWindowToClose();
    void damagedInstallerIsDeletedAndNeverStarted();
    void failedDownloadOrStartIsReported_data();
    void failedDownloadOrStartIsReported();
    void languageSwitchRelabels();
};

void UpdateFlowTest::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1.7"));
}

void UpdateFlowTest::serviceUrlFromSetting()
{
    QSettings().remove(QStringLiteral("update/serviceUrl"));
    QCOMPARE(UpdateFlow::serviceUrl(), QUrl(QString::fromLatin1(netservice::defaultServiceUrl)));
    QVERIFY(netservice::isPermittedUrl(UpdateFlow::serviceUrl()));
    QSettings().setValue(QStringLiteral("update/serviceUrl"), QStringLiteral(" https://mirror.invalid/api "));
    QCOMPARE(UpdateFlow::serviceUrl(), QUrl(QStringLiteral("https://mirror.invalid/api")));
}

void UpdateFlowTest::checkFillsTheDialog_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("answered"); // false: /v1/latest replies 404
    QTest::addColumn<QString>("onlineText");
    QTest::addColumn<QString>("statusText");
    QTest::newRow("newer") << "1.1.10" << true << "1.1.10"
                           << "Version 1.1.10 is available.";
    QTest::newRow("same") << "1.1.7" << true << "1.1.7"
                          << "You are using the latest version.";
    QTest::newRow("same, shorter") << "1.1.7.0" << true << "1.1.7.0"
                                   << "You are using the latest version.";
    QTest::newRow("older") << "1.0.9" << true << "1.0.9"
                           << "You are using the latest version.";
    QTest::newRow("garbage version") << "1.2.x" << true << "Not available"
                                     << "Could not check for updates.";
    QTest::newRow("404") << "1.2.0" << false << "Not available"
                         << "Could not check for updates.";
}

void UpdateFlowTest::checkFillsTheDialog()
{
    QFETCH(QString, version);
    QFETCH(bool, answered);
    QFETCH(QString, onlineText);
    QFETCH(QString, statusText);
    Fixture f(version);
    if (!answered)
        f.server.answer(QStringLiteral("/v1/latest"), 404, "gone");

    f.flow.check();
    // At once, before any answer: what the dialog shows while it waits.
    QCOMPARE(f.online.size(), 1);
    QCOMPARE(f.online.at(0).at(0).toString(), QStringLiteral("Checking..."));
    QCOMPARE(f.statuses(), QStringList{QStringLiteral("Checking online version...")});
    QCOMPARE(f.available.size(), 1);
    QCOMPARE(f.available.at(0).at(0).toBool(), false);

    QVERIFY(f.checkEnds());
    const bool newer = statusText.startsWith(QLatin1String("Version"));
    QCOMPARE(f.online.size(), 2);
    QCOMPARE(f.online.at(1).at(0).toString(), onlineText);
    QCOMPARE(f.statuses(), (QStringList{QStringLiteral("Checking online version..."), statusText}));
    QCOMPARE(f.available.size(), newer ? 2 : 1);
    QCOMPARE(f.flow.isUpdateAvailable(), newer);
    QCOMPARE(f.flow.onlineVersion(), onlineText);
    QCOMPARE(f.prompts.asked().size(), 0);
    QCOMPARE(f.server.requests().size(), 1);
}

void UpdateFlowTest::quietCheckShowsNothing_data()
{
    QTest::addColumn<QString>("failure");
    for (const char *failure : {"same version", "404", "malformed", "silent", "plain http elsewhere"})
        QTest::newRow(failure) << QString::fromLatin1(failure);
}

void UpdateFlowTest::quietCheckShowsNothing()
{
    QFETCH(QString, failure);
    Fixture f(failure == QLatin1String("same version") ? QStringLiteral("1.1.7") : QStringLiteral("1.2.0"));
    if (failure == QLatin1String("404"))
        f.server.answer(QStringLiteral("/v1/latest"), 404, "gone");
    else if (failure == QLatin1String("malformed"))
        f.server.answer(QStringLiteral("/v1/latest"), 200, "{\"version\":\"1.2.0\",");
    else if (failure == QLatin1String("silent"))
        f.server.stayQuiet(QStringLiteral("/v1/latest"));
    else if (failure == QLatin1String("plain http elsewhere"))
        QSettings().setValue(QStringLiteral("update/serviceUrl"), QStringLiteral("http://example.invalid/"));

    QElapsedTimer clock;
    clock.start();
    f.flow.checkQuietly();
    // Start-up goes on at once, whatever the server does.
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(f.flow.isChecking());
    QVERIFY(f.checkEnds());
    QTest::qWait(50); // a question would be asked from the event loop
    QCOMPARE(f.prompts.asked().size(), 0);
    QVERIFY(!f.flow.isUpdateAvailable());
    QVERIFY(!QFileInfo::exists(f.folder));
}

void UpdateFlowTest::quietCheckAsksAboutNewerVersion()
{
    Fixture f;
    f.prompts.answer(int(QMessageBox::No));
    f.flow.checkQuietly();
    QTRY_COMPARE_WITH_TIMEOUT(f.prompts.asked().size(), 1, 5000);
    QCOMPARE(f.prompts.last().kind, QStringLiteral("question"));
    QCOMPARE(f.prompts.last().title, QStringLiteral("Update available"));
    QCOMPARE(f.prompts.last().text,
             QStringLiteral("A new version 1.2.0 is available. Download and install it now?"));
    // No: nothing downloaded, the offer stays for the information dialog.
    QTest::qWait(100);
    QVERIFY(!f.flow.isDownloading());
    QVERIFY(f.flow.isUpdateAvailable());
    QCOMPARE(f.server.requests().size(), 1);
    QVERIFY(!QFileInfo::exists(f.folder));
    QVERIFY(f.flow.launched.isEmpty());

    // Yes: the same offer downloads, starts and quits.
    Fixture yes;
    yes.prompts.answer(int(QMessageBox::Yes));
    yes.flow.checkQuietly();
    QTRY_COMPARE_WITH_TIMEOUT(yes.flow.quitRequests, 1, 5000);
    QCOMPARE(yes.flow.launched, QStringList{yes.folder + QStringLiteral("/Plotmason-1.2.0-setup.exe")});
}

void UpdateFlowTest::dialogJoinsQuietCheck()
{
    Fixture f;
    f.flow.checkQuietly();
    f.flow.check(); // the dialog opened before the answer came
    QVERIFY(f.checkEnds());
    QTest::qWait(50);
    QVERIFY(f.flow.isUpdateAvailable());
    QCOMPARE(f.prompts.asked().size(), 0);
    QCOMPARE(f.server.requests().size(), 1);
}

void UpdateFlowTest::goodUpdateStartsInstallerAndQuits()
{
    Fixture f;
    f.flow.startUpdate(); // nothing offered yet: nothing happens
    QCOMPARE(f.status.size(), 0);
    f.flow.check();
    QVERIFY(f.checkEnds());
    f.status.clear();

    f.flow.startUpdate();
    QVERIFY(!f.flow.isUpdateAvailable());
    QVERIFY(f.updateEnds());
    const QString path = f.folder + QStringLiteral("/Plotmason-1.2.0-setup.exe");
    QCOMPARE(f.flow.launched, QStringList{path});
    QCOMPARE(f.flow.quitRequests, 1);
    QCOMPARE(testsupport::readFile(path), installer);
    const QStringList statuses = f.statuses();
    QCOMPARE(statuses.first(), QStringLiteral("Downloading update..."));
    QVERIFY2(statuses.contains(QStringLiteral("Downloaded 19 of 19 KB.")), qPrintable(statuses.join(u'|')));
    QCOMPARE(statuses.last(), QStringLiteral("The installer is starting; Plotmason will now close."));
    QCOMPARE(f.prompts.asked().size(), 0);
}

void UpdateFlowTest::installerWaitsForTheWindowToClose_data()
{
    QTest::addColumn<bool>("refusesToClose");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("status");
    QTest::newRow("window closes") << false << QStringList{"close", "launch", "quit"}
                                   << "The installer is starting; Plotmason will now close.";
    QTest::newRow("save question cancelled") << true << QStringList{"close"} << "Version 1.2.0 is available.";
}

void UpdateFlowTest::installerWaitsForTheWindowToClose()
{
    QFETCH(bool, refusesToClose);
    QFETCH(QStringList, events);
    QFETCH(QString, status);
    Fixture f;
    QStringList happened;
    f.window.events = &happened;
    f.window.refusesToClose = refusesToClose;
    f.flow.events = &happened;
    f.flow.check();
    QVERIFY(f.checkEnds());
    f.flow.startUpdate();
    QVERIFY(f.updateEnds());
    QTRY_COMPARE_WITH_TIMEOUT(happened, events, 5000);
    QCOMPARE(f.flow.status(), status);
    QCOMPARE(f.flow.isUpdateAvailable(), refusesToClose); // a refused close may try again later
    QCOMPARE(f.prompts.asked().size(), 0);
}

void UpdateFlowTest::damagedInstallerIsDeletedAndNeverStarted()
{
    Fixture f(QStringLiteral("1.2.0"), QStringLiteral("0").repeated(64));
    f.flow.check();
    QVERIFY(f.checkEnds());
    f.flow.startUpdate();
    QVERIFY(f.updateEnds());
    const QString damaged =
        QStringLiteral("The downloaded installer is damaged (checksum mismatch) and was deleted.");
    QCOMPARE(f.flow.status(), damaged);
    QCOMPARE(f.prompts.kinds(), QStringList{QStringLiteral("warning")});
    QCOMPARE(f.prompts.last().text, damaged);
    QVERIFY(f.flow.launched.isEmpty());
    QCOMPARE(f.flow.quitRequests, 0);
    QCOMPARE(testsupport::folderSnapshot(f.folder), QStringList());
    QVERIFY(f.flow.isUpdateAvailable()); // may be tried again
}

void UpdateFlowTest::failedDownloadOrStartIsReported_data()
{
    QTest::addColumn<bool>("downloadWorks");
    QTest::addColumn<QString>("text");
    QTest::newRow("download 404") << false << "Could not download the update.";
    QTest::newRow("installer does not start") << true << "Could not start the installer.";
}

void UpdateFlowTest::failedDownloadOrStartIsReported()
{
    QFETCH(bool, downloadWorks);
    QFETCH(QString, text);
    Fixture f;
    if (!downloadWorks)
        f.server.answer(QStringLiteral("/files/Plotmason-1.2.0-setup.exe"), 404, "gone");
    f.flow.launchSucceeds = false;
    f.flow.check();
    QVERIFY(f.checkEnds());
    f.flow.startUpdate();
    QVERIFY(f.updateEnds());
    QTRY_COMPARE_WITH_TIMEOUT(f.flow.status(), text, 5000);
    QCOMPARE(f.prompts.last().kind, QStringLiteral("warning"));
    QCOMPARE(f.prompts.last().text, text);
    QCOMPARE(f.flow.launched.size(), downloadWorks ? 1 : 0);
    QCOMPARE(f.flow.quitRequests, 0);
    QVERIFY(f.flow.isUpdateAvailable());
}

void UpdateFlowTest::languageSwitchRelabels()
{
    Fixture f(QStringLiteral("1.1.7"));
    f.flow.check();
    QVERIFY(f.checkEnds());
    f.status.clear();
    i18n::Localization::instance().setLanguage(i18n::Italian);
    const QString italian = f.flow.status();
    i18n::Localization::instance().setLanguage(i18n::English);
    QCOMPARE(f.status.size(), 2);
    QCOMPARE(f.status.at(0).at(0).toString(), italian);
    QVERIFY(italian != QStringLiteral("You are using the latest version."));
    QCOMPARE(f.status.at(1).at(0).toString(), QStringLiteral("You are using the latest version."));
}

PLOTMASON_TEST_MAIN(QApplication, UpdateFlowTest)

#include "tst_updateflow.moc"
