// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "updateserver.h"

#include <QHostAddress>
#include <QTcpSocket>

UpdateServer::UpdateServer(QObject *parent)
    : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &UpdateServer::acceptConnection);
}

bool UpdateServer::start()
{
    return server.listen(QHostAddress::LocalHost);
}

QUrl UpdateServer::url(const QString &path) const
{
    QUrl result;
    result.setScheme(QStringLiteral("http"));
    result.setHost(QStringLiteral("127.0.0.1"));
    result.setPort(server.serverPort());
    result.setPath(path);
    return result;
}

QByteArray UpdateServer::httpResponse(int status, const QByteArray &reason, const QByteArray &body)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
        + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

quint16 UpdateServer::refusingPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void UpdateServer::acceptConnection()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            ++closed;
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    }
}

void UpdateServer::readRequest(QTcpSocket *socket)
{
    if (socket->property("answered").toBool())
        return;
    const QByteArray seen = socket->peek(socket->bytesAvailable());
    const qsizetype headerEnd = seen.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    socket->read(headerEnd + 4);
    requests.append(seen.left(seen.indexOf("\r\n")));
    socket->setProperty("answered", true);
    if (silent)
        return;
    socket->write(response);
    if (!keepOpen)
        socket->disconnectFromHost();
}
