// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per user: the first program started owns a local socket; a later one started with
// files hands them over on it and ends. A socket left behind by a program that died is removed
// and taken over. GUI thread.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket sits in the user's runtime folder ($XDG_RUNTIME_DIR), which only the user can enter.
    static QString defaultSocketPath();

    explicit SingleInstance(const QString &socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Gives `paths` to the program owning the socket; true once it has confirmed them. False when
    // no program listens (or it does not answer in time): the caller then opens its own window.
    static bool handOver(const QString &socketPath, const QStringList &paths, int timeoutMs = 5000);

    // Takes the socket, replacing a stale one; false while another running program owns it.
    bool listen();
    bool isListening() const;

Q_SIGNALS:
    // Paths handed over by a later start, in its order.
    void pathsReceived(QStringList paths);

private:
    void onNewConnection();
    void readRequest(QLocalSocket *socket, const QByteArray &received);

    QString socketPath;
    QLocalServer *server = nullptr;
};
