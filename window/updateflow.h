#pragma once

#include "netservice/updateclient.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class UserPrompts;

// The program's side of the update service: the quiet check at start-up, the
// rows of the program information dialog, and the download, verification and
// start of a newer installer. Nothing here blocks: every step answers later,
// from the event loop.
//
// A dialog connects to the three signals, then calls check(); check() first
// emits all three current values so that it needs no getters, and afterwards
// each signal fires when its value changes (and all three after a language switch):
//   onlineVersionChanged: "Checking..." while the service is asked, then the
//                         version it offers, or "Not available" when it failed;
//   statusChanged:        the sentence for the status row (checking, latest,
//                         available, failed, download progress, starting);
//   updateAvailableChanged: true while a newer version can be installed
//                         (the "Update" button), false while checking or downloading.
class UpdateFlow : public QObject
{
    Q_OBJECT

public:
    static constexpr char channel[] = "stable";

    UpdateFlow(QWidget *parent, UserPrompts *prompts);
    ~UpdateFlow() override;

    void setUserPrompts(UserPrompts *prompts) { m_prompts = prompts; }

    // The setting "update/serviceUrl" when it is set (used as given: an address
    // the client refuses makes every check fail), else netservice::defaultServiceUrl.
    static QUrl serviceUrl();

    // Defaults to UpdateClient::defaultTimeoutMs.
    void setTimeout(int milliseconds);
    // Where installers are saved; defaults to the user's download folder.
    void setDownloadFolder(const QString &folder) { m_downloadFolder = folder; }

    QString onlineVersion() const;
    QString status() const { return statusText(m_status); }
    bool isUpdateAvailable() const { return m_updateAvailable; }
    bool isChecking() const;
    bool isDownloading() const;

public Q_SLOTS:
    // For start-up: shows nothing unless a newer version exists, and then asks
    // whether to install it (Yes starts the update).
    void checkQuietly();
    // For the information dialog: reports through the signals and never asks.
    // Joins a check already running (which then stays quiet no more); while
    // downloading it only re-emits the current values.
    void check();
    // Downloads the offered installer, verifies its SHA-256, starts it and
    // quits; does nothing unless isUpdateAvailable(). Failures are reported in
    // the status and in a warning, since the user asked for the update.
    void startUpdate();

Q_SIGNALS:
    void onlineVersionChanged(const QString &text);
    void statusChanged(const QString &text);
    void updateAvailableChanged(bool available);

protected:
    // Seams for tests. On Windows the downloaded installer is opened through
    // the shell (which can grant the elevation an installer asks for);
    // elsewhere its folder is shown.
    virtual bool launchInstaller(const QString &filePath);
    virtual void requestQuit();

private:
    enum class Online { Checking, Known, NotAvailable };
    enum class Status {
        Checking,
        Latest,
        Available,
        CheckFailed,
        NoAnswer,
        Downloading,
        Progress,
        Damaged,
        DownloadFailed,
        Starting,
        StartFailed
    };

    void startCheck(bool quiet);
    void emitAll();
    void receiveLatest(const netservice::LatestRelease &release);
    void receiveQueryFailure(netservice::UpdateClient::Failure failure);
    void askToInstall();
    void receiveProgress(qint64 received, qint64 total);
    void receiveInstaller(const QString &filePath);
    void receiveDownloadFailure(netservice::UpdateClient::Failure failure);
    void tellFailure(Status status);
    QString installerFilePath() const;
    QString statusText(Status status) const;
    void setOnline(Online online, const QString &version = QString());
    void setStatus(Status status);
    void setUpdateAvailable(bool available);

    QPointer<QWidget> m_parent;
    UserPrompts *m_prompts;
    netservice::UpdateClient *m_client;
    QString m_downloadFolder;
    bool m_quiet = false;
    netservice::LatestRelease m_offered;
    // Kept as states rather than texts, so that a language switch re-labels them.
    Online m_online = Online::Checking;
    QString m_onlineVersionNumber;
    Status m_status = Status::Checking;
    QString m_shownStatus; // the last status text emitted
    qint64 m_receivedKb = 0;
    qint64 m_totalKb = 0;
    bool m_updateAvailable = false;
};
