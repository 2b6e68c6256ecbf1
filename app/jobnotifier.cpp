// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/jobnotifier.h"

#include "common/logging.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QWidget>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

JobNotifier::JobNotifier(QWidget *window, QObject *parent)
    : QObject(parent)
    , window(window)
{
}

bool JobNotifier::worthANotification(qint64 elapsedMs, bool windowActive, qint64 minimumMs)
{
    return !windowActive && elapsedMs >= minimumMs;
}

void JobNotifier::conversionEnded(const QString &title, const QString &summary, qint64 elapsedMs)
{
    if (!window || !worthANotification(elapsedMs, window->isActiveWindow(), minimumMs))
        return;
    QApplication::alert(window);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(lcApp) << "No session bus for the desktop notification";
        return;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // The entry names the program to the notification server, which may show its icon and name.
    const QVariantMap hints { { QStringLiteral("desktop-entry"), QStringLiteral("pictomat") },
        { QStringLiteral("category"), QStringLiteral("transfer.complete") } };
    notify << QStringLiteral("Pictomat") << uint(0) << QStringLiteral("pictomat") << title << summary
           << QStringList() << hints << int(-1);
    // Not waited for: a desktop without a notification server must not hold the window.
    bus.asyncCall(notify);
    Q_EMIT notificationSent(title, summary);
}
