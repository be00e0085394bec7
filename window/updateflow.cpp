#include "window/updateflow.h"

#include "i18n/localization.h"
#include "prompts/userprompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

using netservice::UpdateClient;

namespace {

QString defaultDownloadFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::TempLocation) : downloads;
}

} // namespace

UpdateFlow::UpdateFlow(QWidget *parent, UserPrompts *prompts)
    : QObject(parent)
    , m_parent(parent)
    , m_prompts(prompts)
    , m_client(new UpdateClient(QUrl(), this))
    , m_downloadFolder(defaultDownloadFolder())
{
    connect(m_client, &UpdateClient::latestReceived, this, &UpdateFlow::receiveLatest);
    connect(m_client, &UpdateClient::queryFailed, this,
            [this](UpdateClient::Failure failure, const QString &) { receiveQueryFailure(failure); });
    connect(m_client, &UpdateClient::downloadProgress, this, &UpdateFlow::receiveProgress);
    connect(m_client, &UpdateClient::downloadFinished, this, &UpdateFlow::receiveInstaller);
    connect(m_client, &UpdateClient::downloadFailed, this,
            [this](UpdateClient::Failure failure, const QString &) { receiveDownloadFailure(failure); });
    connect(&i18n::Localization::instance(), &i18n::Localization::languageChanged, this,
            &UpdateFlow::emitAll);
    m_shownStatus = status();
}

UpdateFlow::~UpdateFlow()
{
    // A download cut short here leaves no file behind.
    m_client->cancel();
}

QUrl UpdateFlow::serviceUrl()
{
    const QString configured = QSettings().value(QStringLiteral("update/serviceUrl")).toString().trimmed();
    return QUrl(configured.isEmpty() ? QString::fromLatin1(netservice::defaultServiceUrl) : configured,
                QUrl::StrictMode);
}

void UpdateFlow::setTimeout(int milliseconds)
{
    m_client->setTimeout(milliseconds);
}

bool UpdateFlow::isChecking() const
{
    return m_client->isQuerying();
}

bool UpdateFlow::isDownloading() const
{
    return m_client->isDownloading();
}

QString UpdateFlow::onlineVersion() const
{
    switch (m_online) {
    case Online::Checking: return i18n::tr("Checking...");
    case Online::Known: return m_onlineVersionNumber;
    case Online::NotAvailable: return i18n::tr("Not available");
    }
    return QString();
}

QString UpdateFlow::statusText(Status status) const
{
    switch (status) {
    case Status::Checking: return i18n::tr("Checking online version...");
    case Status::Latest: return i18n::tr("You are using the latest version.");
    case Status::Available: return i18n::tr("Version %1 is available.").arg(m_offered.version);
    case Status::CheckFailed: return i18n::tr("Could not check for updates.");
    case Status::NoAnswer: return i18n::tr("The update service did not answer.");
    case Status::Downloading: return i18n::tr("Downloading update...");
    case Status::Progress: return i18n::tr("Downloaded %1 of %2 KB.").arg(m_receivedKb).arg(m_totalKb);
    case Status::Damaged:
        return i18n::tr("The downloaded installer is damaged (checksum mismatch) and was deleted.");
    case Status::DownloadFailed: return i18n::tr("Could not download the update.");
    case Status::Starting: return i18n::tr("The installer is starting; Plotmason will now close.");
    case Status::StartFailed: return i18n::tr("Could not start the installer.");
    }
    return QString();
}

void UpdateFlow::checkQuietly()
{
    if (isChecking() || isDownloading())
        return;
    startCheck(true);
}

void UpdateFlow::check()
{
    if (isDownloading()) {
        emitAll();
        return;
    }
    if (isChecking()) {
        // Someone now watches the answer: it goes to the dialog instead of a question.
        m_quiet = false;
        emitAll();
        return;
    }
    startCheck(false);
}

void UpdateFlow::startCheck(bool quiet)
{
    m_quiet = quiet;
    // Set silently and announced together below, so that a dialog gets each value once.
    m_online = Online::Checking;
    m_status = Status::Checking;
    m_updateAvailable = false;
    m_client->setServiceUrl(serviceUrl());
    m_client->queryLatest(QString::fromLatin1(channel), QCoreApplication::applicationVersion());
    emitAll();
}

void UpdateFlow::emitAll()
{
    emit onlineVersionChanged(onlineVersion());
    m_shownStatus = status();
    emit statusChanged(m_shownStatus);
    emit updateAvailableChanged(m_updateAvailable);
}

void UpdateFlow::receiveLatest(const netservice::LatestRelease &release)
{
    const std::optional<int> order =
        netservice::compareVersions(release.version, QCoreApplication::applicationVersion());
    if (!order) {
        // An installed version we cannot read is never "older" than anything.
        receiveQueryFailure(UpdateClient::Failure::MalformedReply);
        return;
    }
    setOnline(Online::Known, release.version);
    if (*order <= 0) {
        setStatus(Status::Latest);
        setUpdateAvailable(false);
        return;
    }
    m_offered = release;
    setStatus(Status::Available);
    setUpdateAvailable(true);
    // Asked from the event loop rather than inside the network reply's signal.
    if (m_quiet)
        QTimer::singleShot(0, this, &UpdateFlow::askToInstall);
}

void UpdateFlow::receiveQueryFailure(UpdateClient::Failure failure)
{
    setOnline(Online::NotAvailable);
    setStatus(failure == UpdateClient::Failure::Timeout ? Status::NoAnswer : Status::CheckFailed);
    setUpdateAvailable(false);
}

void UpdateFlow::askToInstall()
{
    if (!m_quiet || !m_prompts || !m_updateAvailable || isDownloading())
        return;
    const QMessageBox::StandardButton answer = m_prompts->question(
        m_parent, i18n::tr("Update available"),
        i18n::tr("A new version %1 is available. Download and install it now?").arg(m_offered.version),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        startUpdate();
}

void UpdateFlow::startUpdate()
{
    if (!m_updateAvailable || isDownloading())
        return;
    if (!QDir().mkpath(m_downloadFolder)) {
        tellFailure(Status::DownloadFailed);
        return;
    }
    setUpdateAvailable(false);
    setStatus(Status::Downloading);
    m_client->downloadInstaller(m_offered.installerUrl, m_offered.sha256, installerFilePath());
}

void UpdateFlow::receiveProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        setStatus(Status::Downloading);
        return;
    }
    m_receivedKb = (received + 1023) / 1024;
    m_totalKb = (total + 1023) / 1024;
    setStatus(Status::Progress);
}

void UpdateFlow::receiveInstaller(const QString &filePath)
{
    // Closing the window asks about unsaved work; the installer starts only
    // once the window is really gone, so it never replaces a program holding work.
    if (m_parent && !m_parent->close()) {
        setUpdateAvailable(true);
        setStatus(Status::Available);
        return;
    }
    setStatus(Status::Starting);
    if (launchInstaller(filePath)) {
        requestQuit();
        return;
    }
    if (m_parent)
        m_parent->show();
    setUpdateAvailable(true);
    tellFailure(Status::StartFailed);
}

void UpdateFlow::receiveDownloadFailure(UpdateClient::Failure failure)
{
    setUpdateAvailable(true);
    tellFailure(failure == UpdateClient::Failure::ChecksumMismatch ? Status::Damaged
                                                                   : Status::DownloadFailed);
}

void UpdateFlow::tellFailure(Status status)
{
    setStatus(status);
    if (m_prompts)
        m_prompts->warning(m_parent, i18n::tr("Update"), statusText(status));
}

QString UpdateFlow::installerFilePath() const
{
    // The service names the file, but only with characters that cannot climb
    // out of the folder or hide the file.
    static const QRegularExpression safeName(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,99}$"));
    QString name = m_offered.installerUrl.fileName();
    if (!safeName.match(name).hasMatch())
        name = QStringLiteral("Plotmason-%1-setup.exe").arg(m_offered.version);
    return QDir(m_downloadFolder).filePath(name);
}

bool UpdateFlow::launchInstaller(const QString &filePath)
{
#ifdef Q_OS_WIN
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
#endif
}

void UpdateFlow::requestQuit()
{
    QCoreApplication::quit();
}

void UpdateFlow::setOnline(Online online, const QString &version)
{
    const QString before = onlineVersion();
    m_online = online;
    m_onlineVersionNumber = version;
    if (onlineVersion() != before)
        emit onlineVersionChanged(onlineVersion());
}

void UpdateFlow::setStatus(Status status)
{
    // Compared as text: a new progress figure is a change of the same state.
    m_status = status;
    const QString text = statusText(status);
    if (text == m_shownStatus)
        return;
    m_shownStatus = text;
    emit statusChanged(text);
}

void UpdateFlow::setUpdateAvailable(bool available)
{
    if (available == m_updateAvailable)
        return;
    m_updateAvailable = available;
    emit updateAvailableChanged(available);
}
