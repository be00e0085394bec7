#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

// An HTTP server on 127.0.0.1 (a free port) that answers each path with a
// canned reply and remembers what it was asked. Paths it was not told about
// get 404; a silent path accepts the request and never answers.
class CannedHttpServer : public QObject
{
    Q_OBJECT

public:
    CannedHttpServer();

    bool isListening() const { return m_server.isListening(); }
    // http://127.0.0.1:<port> followed by pathAndQuery.
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const;

    void answer(const QString &path, int status, const QByteArray &body,
                const QByteArray &contentType = "application/json");
    void redirect(const QString &path, const QString &location);
    void stayQuiet(const QString &path);
    // Answers 200 with a long body sent one byte every `intervalMs`, never idle for long.
    void trickle(const QString &path, int intervalMs);

    // Request targets (path and query) in the order they arrived.
    QStringList requests() const { return m_requests; }

private:
    void accept();
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_replies; // path -> whole HTTP response; empty means silent
    QHash<QString, int> m_trickles;       // path -> milliseconds between bytes
    QStringList m_requests;
};
