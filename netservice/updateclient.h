#pragma once

#include "netservice/netservice_export.h"
#include "netservice/updateprotocol.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace netservice {

// The client of the update service: a version query and an installer
// download, one of each at a time, asynchronous on the calling (GUI) thread.
// Every started operation ends in exactly one of its two signals, never
// before the starting call has returned; cancel() ends both silently.
class NETSERVICE_EXPORT UpdateClient : public QObject
{
    Q_OBJECT

public:
    enum class Failure {
        RefusedUrl,       // not https and not loopback, or not a usable address at all
        RefusedRedirect,  // a redirect to such an address, or too many redirects
        Timeout,          // nothing arrived for timeout() milliseconds
        Network,          // connection, name lookup, TLS and other transport errors
        HttpStatus,       // the server answered with something other than 200
        MalformedReply,   // the answer fails parseLatestReply, or is larger than allowed
        ChecksumMismatch, // the installer's SHA-256 differs; nothing was kept
        FileError,        // the installer could not be written
    };
    Q_ENUM(Failure)

    static constexpr int defaultTimeoutMs = 30000;
    static constexpr int defaultQueryDeadlineMs = 30000;
    static constexpr int maxRedirects = 5;
    static constexpr qint64 maxReplySize = 64 * 1024;
    static constexpr qint64 maxInstallerSize = qint64(1) << 30;

    explicit UpdateClient(const QUrl &serviceUrl, QObject *parent = nullptr);
    ~UpdateClient() override;

    QUrl serviceUrl() const { return m_serviceUrl; }
    void setServiceUrl(const QUrl &url) { m_serviceUrl = url; }

    // How long a transfer may go without receiving anything before it fails with Timeout.
    int timeout() const { return m_timeoutMs; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // How long a version query may take as a whole, redirects included, before
    // it fails with Timeout: a server that trickles bytes never goes idle.
    int queryDeadline() const { return m_queryDeadlineMs; }
    void setQueryDeadline(int milliseconds) { m_queryDeadlineMs = milliseconds; }

    // Sends the requests through manager (kept by the caller) instead of the client's own.
    void setNetworkAccessManager(QNetworkAccessManager *manager);

    // Asks which version the channel offers; a query still running is dropped.
    void queryLatest(const QString &channel, const QString &installedVersion);
    bool isQuerying() const;

    // Downloads url into filePath through a save file that is committed only
    // when the bytes match sha256 (64 hex digits): a damaged or interrupted
    // download never leaves a file at filePath. A running download is dropped.
    void downloadInstaller(const QUrl &url, const QString &sha256, const QString &filePath);
    bool isDownloading() const;

    void cancel();

Q_SIGNALS:
    void latestReceived(const netservice::LatestRelease &release);
    void queryFailed(netservice::UpdateClient::Failure failure, const QString &detail);

    // total is -1 while the size is not known.
    void downloadProgress(qint64 received, qint64 total);
    void downloadFinished(const QString &filePath);
    void downloadFailed(netservice::UpdateClient::Failure failure, const QString &detail);

private:
    struct Transfer;
    struct Download;

    QNetworkReply *send(Transfer *transfer, const QUrl &url, const QByteArray &accept);
    void requestLatest(const QUrl &url);
    void requestInstaller(const QUrl &url);
    // True when the finished reply redirects somewhere we may go; a redirect we
    // may not follow is recorded as the transfer's failure.
    bool redirectFollowable(Transfer *transfer, QUrl *target);
    void abortTransfer(Transfer *transfer, Failure failure, const QString &detail);
    Failure failureOf(const Transfer &transfer, QString *detail) const;
    void finishQuery();
    void receiveInstallerBytes();
    void finishDownload();
    void failQueryLater(Failure failure, const QString &detail);
    void failDownloadLater(Failure failure, const QString &detail);
    void dropQuery();
    void dropDownload();

    QUrl m_serviceUrl;
    int m_timeoutMs = defaultTimeoutMs;
    int m_queryDeadlineMs = defaultQueryDeadlineMs;
    QNetworkAccessManager *m_ownManager = nullptr;
    QPointer<QNetworkAccessManager> m_manager;
    std::unique_ptr<Transfer> m_query;
    std::unique_ptr<Download> m_download;
    // True from the start of an operation until its signal is emitted; a
    // refusal is delivered from the event loop, so this outlives m_query.
    bool m_queryActive = false;
    bool m_downloadActive = false;
    // Bumped whenever an operation starts or is dropped, so that a failure
    // queued for an earlier one is not delivered.
    quint64 m_queryGeneration = 0;
    quint64 m_downloadGeneration = 0;
};

} // namespace netservice
