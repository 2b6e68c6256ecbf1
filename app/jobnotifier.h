// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Tells the desktop that a long conversion has ended while the user looks at another window:
// a freedesktop.org notification over the session bus, and the window asks for attention in the
// task bar. Nothing while the window is active (its own message says it) or for a short job.
// GUI thread.
class JobNotifier : public QObject {
    Q_OBJECT

public:
    // Jobs shorter than this end before the user has turned away.
    static constexpr qint64 DefaultMinimumMs = 5000;

    explicit JobNotifier(QWidget *window, QObject *parent = nullptr);

    void setMinimumDuration(qint64 ms) { minimumMs = ms; }

    static bool worthANotification(qint64 elapsedMs, bool windowActive, qint64 minimumMs);

    // Connected to the form's conversionEnded.
    void conversionEnded(const QString &title, const QString &summary, qint64 elapsedMs);

Q_SIGNALS:
    // A notification went to the bus (the answer comes later, if at all).
    void notificationSent(const QString &title, const QString &body);

private:
    QPointer<QWidget> window;
    qint64 minimumMs = DefaultMinimumMs;
};
