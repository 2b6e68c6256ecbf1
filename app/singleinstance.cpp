// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/singleinstance.h"

#include "common/logging.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <memory>
#include <optional>

namespace {

// A request is the tag, then each path in UTF-8 ended by a NUL byte, then one more NUL (paths are
// never empty, so the first double NUL ends it). The answer is one byte.
const QByteArray RequestTag = QByteArrayLiteral("PICTOMAT 1\0");
constexpr char Accepted = 'A';
// A list of paths; anything larger is not one of ours.
constexpr qsizetype MaxRequestBytes = 64 * 1024 * 1024;
constexpr int ReadTimeoutMs = 5000;

QByteArray encodeRequest(const QStringList &paths)
{
    QByteArray request = RequestTag;
    for (const QString &path : paths) {
        if (path.isEmpty())
            continue;
        request += path.toUtf8();
        request += '\0';
    }
    request += '\0';
    return request;
}

// The paths of a whole request; nullopt while it is incomplete. `bad` is set when it cannot be one.
std::optional<QStringList> decodeRequest(const QByteArray &bytes, bool *bad)
{
    *bad = false;
    if (!bytes.startsWith(RequestTag.left(qMin(bytes.size(), RequestTag.size())))) {
        *bad = true;
        return std::nullopt;
    }
    if (bytes.size() < RequestTag.size() + 1)
        return std::nullopt;
    QStringList paths;
    qsizetype from = RequestTag.size();
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf('\0', from);
        if (end < 0)
            return std::nullopt;
        if (end == from)
            return paths;
        paths.append(QString::fromUtf8(bytes.constData() + from, end - from));
        from = end + 1;
    }
    return std::nullopt;
}

} // namespace

QString SingleInstance::defaultSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/pictomat.socket");
}

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent)
    : QObject(parent)
    , socketPath(socketPath)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QString &socketPath, const QStringList &paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encodeRequest(paths));
    QElapsedTimer clock;
    clock.start();
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(qMax<qint64>(1, timeoutMs - clock.elapsed()))))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (clock.elapsed() >= timeoutMs || !socket.waitForReadyRead(int(timeoutMs - clock.elapsed())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Accepted;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    if (!server) {
        server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    }
    // Someone answers: that program owns the socket. Asked first, since a listen with access
    // options would silently replace the socket of a running program.
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    if (probe.waitForConnected(1000))
        return false;
    // No one: a program that died left its socket behind.
    if (QFileInfo::exists(socketPath) || QFileInfo(socketPath).isSymLink()) {
        qCInfo(lcApp).noquote() << "Removing a stale instance socket:" << socketPath;
        QLocalServer::removeServer(socketPath);
    }
    return server->listen(socketPath);
}

bool SingleInstance::isListening() const
{
    return server && server->isListening();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            readRequest(socket, *received);
        });
        // A client that connects and says nothing is dropped.
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, &QLocalSocket::abort);
        timer->start(ReadTimeoutMs);
    }
}

void SingleInstance::readRequest(QLocalSocket *socket, const QByteArray &received)
{
    bool bad = false;
    const std::optional<QStringList> paths = decodeRequest(received, &bad);
    if (bad || received.size() > MaxRequestBytes) {
        socket->abort();
        return;
    }
    if (!paths)
        return; // the rest is still on its way
    socket->putChar(Accepted);
    socket->flush();
    socket->disconnectFromServer();
    qCDebug(lcApp) << "Files handed over by another start:" << paths->size();
    Q_EMIT pathsReceived(*paths);
}
