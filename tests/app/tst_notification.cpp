// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/jobnotifier.h"
#include "app/mainwindow.h"
#include "form/convertimageform.h"
#include "testsupport.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/types.h>

namespace {

// A notification server of our own on a private session bus: it records what the program sends,
// as a desktop's server would receive it.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received {
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
    };
    QList<Received> received;

public slots:
    uint Notify(const QString &appName, uint, const QString &icon, const QString &summary,
        const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        received.append({ appName, icon, summary, body, hints });
        return uint(received.size());
    }
    QStringList GetCapabilities() { return { QStringLiteral("body") }; }
};

// The bus daemon the test program runs under; started in main() before the application exists,
// so plainly, without QProcess.
pid_t busDaemon = 0;

bool startPrivateBus()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        return false;
    FILE *out = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (!out)
        return false;
    char address[1024] = {}, pid[64] = {};
    const bool read = std::fgets(address, sizeof address, out) && std::fgets(pid, sizeof pid, out);
    ::pclose(out);
    if (!read)
        return false;
    busDaemon = pid_t(QByteArray(pid).trimmed().toLong());
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray(address).trimmed());
    return busDaemon > 0;
}

} // namespace

class TestNotification : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void worthANotification_data();
    void worthANotification();
    void endOfAConversionReachesTheDesktop_data();
    void endOfAConversionReachesTheDesktop();

private:
    std::unique_ptr<NotificationServer> server;
};

void TestNotification::initTestCase()
{
    if (!busDaemon)
        QSKIP("dbus-daemon is not installed (package dbus-daemon): no session bus to test on");
    QDBusConnection serverBus
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server"));
    QVERIFY(serverBus.isConnected());
    server = std::make_unique<NotificationServer>();
    QVERIFY(serverBus.registerObject(
        QStringLiteral("/org/freedesktop/Notifications"), server.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(serverBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
}

void TestNotification::cleanupTestCase()
{
    server.reset();
}

void TestNotification::worthANotification_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("expected");
    QTest::newRow("long, window elsewhere") << qint64(12000) << false << true;
    QTest::newRow("exactly the minimum") << qint64(5000) << false << true;
    QTest::newRow("short") << qint64(4999) << false << false;
    QTest::newRow("long, window active") << qint64(60000) << true << false;
}

void TestNotification::worthANotification()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(bool, active);
    QFETCH(bool, expected);
    QCOMPARE(JobNotifier::worthANotification(elapsedMs, active, JobNotifier::DefaultMinimumMs), expected);
}

void TestNotification::endOfAConversionReachesTheDesktop_data()
{
    QTest::addColumn<bool>("windowActive");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<int>("notifications");
    QTest::newRow("long job, user elsewhere") << false << qint64(8000) << 1;
    QTest::newRow("long job, window active") << true << qint64(8000) << 0;
    QTest::newRow("short job, user elsewhere") << false << qint64(1200) << 0;
}

// The window as it runs: the form reports the end of a conversion, and the desktop's
// notification server receives it over the bus, or nothing when the user is looking.
void TestNotification::endOfAConversionReachesTheDesktop()
{
    QFETCH(bool, windowActive);
    QFETCH(qint64, elapsedMs);
    QFETCH(int, notifications);
    server->received.clear();

    MainWindow window;
    window.show();
    QWidget elsewhere;
    elsewhere.show();
    QWidget *active = windowActive ? static_cast<QWidget *>(&window) : &elsewhere;
    QApplication::setActiveWindow(active);
    QVERIFY(QTest::qWaitForWindowActive(active));
    QCOMPARE(window.isActiveWindow(), windowActive);

    QSignalSpy sent(window.jobNotifier(), &JobNotifier::notificationSent);
    emit window.form()->conversionEnded(QStringLiteral("The conversion processes are completed."),
        QStringLiteral("12 converted, 0 skipped, 0 failed.\nTime taken: 0:08."), elapsedMs);
    if (notifications == 0) {
        QTest::qWait(500);
        QCOMPARE(sent.count(), 0);
        QCOMPARE(server->received.size(), 0);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(server->received.size(), notifications, 10000);
    const NotificationServer::Received &got = server->received.constFirst();
    QCOMPARE(got.appName, QStringLiteral("Pictomat"));
    QCOMPARE(got.icon, QStringLiteral("pictomat"));
    QCOMPARE(got.summary, QStringLiteral("The conversion processes are completed."));
    QVERIFY(got.body.startsWith(QStringLiteral("12 converted")));
    QCOMPARE(got.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("pictomat"));
}

int main(int argc, char *argv[])
{
    startPrivateBus();
    const int status = TestSupport::runWidgetTest<TestNotification>(argc, argv);
    if (busDaemon > 0)
        ::kill(busDaemon, SIGTERM);
    return status;
}

#include "tst_notification.moc"
