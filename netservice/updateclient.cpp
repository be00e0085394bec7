#include "netservice/updateclient.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

#include <optional>

namespace netservice {

// One request in flight and, when we cut it short ourselves, why.
struct UpdateClient::Transfer
{
    QPointer<QNetworkReply> reply;
    QTimer deadline; // of the whole exchange; not started for downloads
    std::optional<Failure> abortedFor;
    QString abortDetail;
    int redirects = 0;
};

struct UpdateClient::Download : UpdateClient::Transfer
{
    explicit Download(const QString &filePath)
        : file(filePath)
    {}

    QSaveFile file;
    QCryptographicHash hash{QCryptographicHash::Sha256};
    QString expectedSha256;
    qint64 received = 0;
};

namespace {

// Leaves the reply to the event loop without telling us anything more about it.
void discard(QNetworkReply *reply, QObject *receiver)
{
    if (!reply)
        return;
    QObject::disconnect(reply, nullptr, receiver, nullptr);
    reply->abort();
    reply->deleteLater();
}

} // namespace

UpdateClient::UpdateClient(const QUrl &serviceUrl, QObject *parent)
    : QObject(parent)
    , m_serviceUrl(serviceUrl)
{}

UpdateClient::~UpdateClient()
{
    // Without a commit the save file discards what it holds.
    dropQuery();
    dropDownload();
}

void UpdateClient::setNetworkAccessManager(QNetworkAccessManager *manager)
{
    m_manager = manager;
}

bool UpdateClient::isQuerying() const
{
    return m_queryActive;
}

bool UpdateClient::isDownloading() const
{
    return m_downloadActive;
}

void UpdateClient::cancel()
{
    dropQuery();
    dropDownload();
}

void UpdateClient::queryLatest(const QString &channel, const QString &installedVersion)
{
    dropQuery();
    m_queryActive = true;
    const QUrl url = latestQueryUrl(m_serviceUrl, channel, installedVersion);
    if (!isPermittedUrl(url)) {
        failQueryLater(Failure::RefusedUrl,
                       QStringLiteral("refused to contact %1").arg(url.toDisplayString()));
        return;
    }
    m_query = std::make_unique<Transfer>();
    Transfer *transfer = m_query.get();
    transfer->deadline.setSingleShot(true);
    connect(&transfer->deadline, &QTimer::timeout, this, [this, transfer] {
        abortTransfer(transfer, Failure::Timeout,
                      QStringLiteral("no complete answer within %1 ms").arg(m_queryDeadlineMs));
    });
    transfer->deadline.start(m_queryDeadlineMs);
    requestLatest(url);
}

void UpdateClient::requestLatest(const QUrl &url)
{
    Transfer *transfer = m_query.get();
    QNetworkReply *reply = send(transfer, url, "application/json");
    connect(reply, &QNetworkReply::readyRead, this, [this, transfer, reply] {
        // The answer is read only at the end; a server that keeps talking is not the update service.
        if (reply->bytesAvailable() > maxReplySize)
            abortTransfer(transfer, Failure::MalformedReply, QStringLiteral("the reply is too large"));
    });
    connect(reply, &QNetworkReply::finished, this, &UpdateClient::finishQuery);
}

void UpdateClient::downloadInstaller(const QUrl &url, const QString &sha256, const QString &filePath)
{
    dropDownload();
    m_downloadActive = true;
    if (!isPermittedUrl(url)) {
        failDownloadLater(Failure::RefusedUrl,
                          QStringLiteral("refused to download from %1").arg(url.toDisplayString()));
        return;
    }
    if (!isSha256Hex(sha256)) {
        failDownloadLater(Failure::MalformedReply,
                          QStringLiteral("the expected digest is not 64 hex digits"));
        return;
    }
    auto download = std::make_unique<Download>(filePath);
    download->expectedSha256 = sha256.toLower();
    if (!download->file.open(QIODevice::WriteOnly)) {
        failDownloadLater(Failure::FileError, download->file.errorString());
        return;
    }
    m_download = std::move(download);
    requestInstaller(url);
}

void UpdateClient::requestInstaller(const QUrl &url)
{
    QNetworkReply *reply = send(m_download.get(), url, "application/octet-stream");
    connect(reply, &QNetworkReply::readyRead, this, &UpdateClient::receiveInstallerBytes);
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200)
            emit downloadProgress(received, total);
    });
    connect(reply, &QNetworkReply::finished, this, &UpdateClient::finishDownload);
}

QNetworkReply *UpdateClient::send(Transfer *transfer, const QUrl &url, const QByteArray &accept)
{
    if (!m_manager) {
        if (!m_ownManager)
            m_ownManager = new QNetworkAccessManager(this);
        m_manager = m_ownManager;
    }
    QNetworkRequest request(url);
    // Redirects are followed here, one request at a time, so that each target
    // passes the same test as the first address. (Qt 6.4's user-verified
    // policy repeats requests and ends redirect chains with a bogus success.)
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Accept", accept);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("%1/%2").arg(QCoreApplication::applicationName(),
                                                  QCoreApplication::applicationVersion()));
    QNetworkReply *reply = m_manager->get(request);
    transfer->reply = reply;
    return reply;
}

bool UpdateClient::redirectFollowable(Transfer *transfer, QUrl *target)
{
    QNetworkReply *reply = transfer->reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (transfer->abortedFor || reply->error() != QNetworkReply::NoError || status < 300 || status > 399 ||
        location.isEmpty())
        return false;
    *target = reply->url().resolved(location);
    if (++transfer->redirects > maxRedirects) {
        transfer->abortedFor = Failure::RefusedRedirect;
        transfer->abortDetail = QStringLiteral("more than %1 redirects").arg(maxRedirects);
        return false;
    }
    if (!isPermittedUrl(*target)) {
        transfer->abortedFor = Failure::RefusedRedirect;
        transfer->abortDetail = QStringLiteral("refused redirect to %1").arg(target->toDisplayString());
        return false;
    }
    return true;
}

void UpdateClient::abortTransfer(Transfer *transfer, Failure failure, const QString &detail)
{
    if (!transfer->abortedFor) {
        transfer->abortedFor = failure;
        transfer->abortDetail = detail;
    }
    // abort() may finish the transfer at once and delete it: nothing may follow.
    if (transfer->reply)
        transfer->reply->abort();
}

UpdateClient::Failure UpdateClient::failureOf(const Transfer &transfer, QString *detail) const
{
    if (transfer.abortedFor) {
        *detail = transfer.abortDetail;
        return *transfer.abortedFor;
    }
    QNetworkReply *reply = transfer.reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        // We abort only with a reason recorded above, so this is the transfer timeout.
        *detail = QStringLiteral("no answer within %1 ms").arg(m_timeoutMs);
        return Failure::Timeout;
    }
    if (reply->error() != QNetworkReply::NoError && status <= 0) {
        *detail = reply->errorString();
        return Failure::Network;
    }
    *detail = QStringLiteral("HTTP status %1").arg(status);
    return Failure::HttpStatus;
}

void UpdateClient::finishQuery()
{
    if (!m_query || !m_query->reply)
        return;
    m_query->reply->deleteLater();
    QUrl target;
    if (redirectFollowable(m_query.get(), &target)) {
        requestLatest(target);
        return;
    }
    std::unique_ptr<Transfer> transfer = std::move(m_query);
    QNetworkReply *reply = transfer->reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    QString detail;
    std::optional<Failure> failure;
    LatestRelease release;
    if (transfer->abortedFor || reply->error() != QNetworkReply::NoError || status != 200)
        failure = failureOf(*transfer, &detail);
    else if (!parseLatestReply(reply->read(maxReplySize + 1), &release, &detail))
        failure = Failure::MalformedReply;

    // Last, so that a receiver may start the next query at once.
    m_queryActive = false;
    if (failure)
        emit queryFailed(*failure, detail);
    else
        emit latestReceived(release);
}

void UpdateClient::receiveInstallerBytes()
{
    Download *download = m_download.get();
    if (!download || !download->reply || download->abortedFor)
        return;
    const QByteArray bytes = download->reply->readAll();
    // The body of a redirect or an error page is not the installer.
    if (download->reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return;
    download->received += bytes.size();
    if (download->received > maxInstallerSize) {
        abortTransfer(download, Failure::MalformedReply, QStringLiteral("the installer is too large"));
        return;
    }
    download->hash.addData(bytes);
    if (download->file.write(bytes) != bytes.size())
        abortTransfer(download, Failure::FileError, download->file.errorString());
}

void UpdateClient::finishDownload()
{
    if (!m_download || !m_download->reply)
        return;
    // Bytes that arrived together with the end of the transfer.
    receiveInstallerBytes();
    m_download->reply->deleteLater();
    QUrl target;
    if (redirectFollowable(m_download.get(), &target)) {
        requestInstaller(target);
        return;
    }
    std::unique_ptr<Download> download = std::move(m_download);
    QNetworkReply *reply = download->reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    QString detail;
    std::optional<Failure> failure;
    if (download->abortedFor || reply->error() != QNetworkReply::NoError || status != 200) {
        failure = failureOf(*download, &detail);
    } else {
        const QString actual = QString::fromLatin1(download->hash.result().toHex());
        if (actual != download->expectedSha256) {
            failure = Failure::ChecksumMismatch;
            detail = QStringLiteral("expected SHA-256 %1, received %2").arg(download->expectedSha256, actual);
        } else if (!download->file.commit()) {
            failure = Failure::FileError;
            detail = download->file.errorString();
        }
    }
    if (failure)
        download->file.cancelWriting();
    const QString filePath = download->file.fileName();
    download.reset();

    m_downloadActive = false;
    if (failure)
        emit downloadFailed(*failure, detail);
    else
        emit downloadFinished(filePath);
}

void UpdateClient::failQueryLater(Failure failure, const QString &detail)
{
    const quint64 generation = m_queryGeneration;
    QTimer::singleShot(0, this, [this, generation, failure, detail] {
        if (generation != m_queryGeneration || !m_queryActive)
            return;
        m_queryActive = false;
        emit queryFailed(failure, detail);
    });
}

void UpdateClient::failDownloadLater(Failure failure, const QString &detail)
{
    const quint64 generation = m_downloadGeneration;
    QTimer::singleShot(0, this, [this, generation, failure, detail] {
        if (generation != m_downloadGeneration || !m_downloadActive)
            return;
        m_downloadActive = false;
        emit downloadFailed(failure, detail);
    });
}

void UpdateClient::dropQuery()
{
    ++m_queryGeneration;
    m_queryActive = false;
    if (std::unique_ptr<Transfer> transfer = std::move(m_query))
        discard(transfer->reply, this);
}

void UpdateClient::dropDownload()
{
    ++m_downloadGeneration;
    m_downloadActive = false;
    if (std::unique_ptr<Download> download = std::move(m_download)) {
        discard(download->reply, this);
        download->file.cancelWriting();
    }
}

} // namespace netservice
