#include "tests/netservice/cannedhttpserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray response(int status, const QByteArray &headers, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Canned\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

CannedHttpServer::CannedHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &CannedHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost);
}

QUrl CannedHttpServer::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(pathAndQuery));
}

void CannedHttpServer::answer(const QString &path, int status, const QByteArray &body,
                              const QByteArray &contentType)
{
    m_replies.insert(path, response(status, "Content-Type: " + contentType + "\r\n", body));
}

void CannedHttpServer::redirect(const QString &path, const QString &location)
{
    // With a body, as servers send one: a client must not take it for the content.
    m_replies.insert(path, response(302, "Location: " + location.toUtf8() + "\r\n", "moved"));
}

void CannedHttpServer::stayQuiet(const QString &path)
{
    m_replies.insert(path, QByteArray());
}

void CannedHttpServer::trickle(const QString &path, int intervalMs)
{
    m_trickles.insert(path, intervalMs);
}

void CannedHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void CannedHttpServer::serve(QTcpSocket *socket)
{
    // Requests are GETs without a body: the head is all there is to read.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n") || socket->property("served").toBool())
        return;
    socket->setProperty("served", true);
    const QString target = QString::fromLatin1(head.left(head.indexOf("\r\n")).split(' ').value(1));
    m_requests.append(target);
    const QString path = target.section(u'?', 0, 0);
    if (m_trickles.contains(path)) {
        socket->write(
            response(200, "Content-Type: application/json\r\n", QByteArray(100000, ' ')).chopped(100000));
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket] { socket->write(" "); });
        timer->start(m_trickles.value(path));
        return;
    }
    const QByteArray reply = m_replies.value(path, response(404, QByteArray(), "not here"));
    if (reply.isEmpty())
        return;
    socket->write(reply);
    socket->disconnectFromHost();
}
