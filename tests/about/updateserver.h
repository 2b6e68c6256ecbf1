// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A one-answer HTTP server on loopback. It either sends one fixed response to every request or,
// when silent, accepts connections and never answers. It counts the connections the client closes.
class UpdateServer : public QObject {
    Q_OBJECT

public:
    explicit UpdateServer(QObject *parent = nullptr);

    bool start();
    void setResponse(const QByteArray &rawResponse) { response = rawResponse; }
    void setSilent(bool isSilent) { silent = isSilent; }
    // Leave the connection open after the response, as a server still sending would.
    void setKeepOpen(bool open) { keepOpen = open; }

    QUrl url(const QString &path) const;
    // Request lines received so far ("GET /path HTTP/1.1").
    QList<QByteArray> requestLines() const { return requests; }
    int closedConnections() const { return closed; }

    static QByteArray httpResponse(int status, const QByteArray &reason, const QByteArray &body);
    // A loopback port on which nothing listens (taken from a server that has just been closed).
    static quint16 refusingPort();

private:
    void acceptConnection();
    void readRequest(QTcpSocket *socket);

    QTcpServer server;
    QByteArray response;
    bool silent = false;
    bool keepOpen = false;
    QList<QByteArray> requests;
    int closed = 0;
};
