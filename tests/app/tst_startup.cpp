// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startarguments.h"
#include "app/version.h"
#include "form/convertimageform.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using Action = StartArguments::Action;
Q_DECLARE_METATYPE(StartArguments::Action)

namespace {

QString programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat");
}

// Hands `paths` over from a thread of its own, as another process would: the owner answers from
// this thread's event loop.
bool handOverFromAnotherThread(const QString &socket, const QStringList &paths)
{
    bool accepted = false;
    QThread *thread = QThread::create([&] { accepted = SingleInstance::handOver(socket, paths, 5000); });
    thread->start();
    QDeadlineTimer deadline(10000);
    while (!thread->isFinished() && !deadline.hasExpired())
        QTest::qWait(10);
    thread->wait();
    delete thread;
    return accepted;
}

// A socket file that no program listens on, as a program killed while running leaves it.
bool leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// The window program with a runtime folder and a home of the test's own, logging its steps.
QProcessEnvironment programEnvironment(const QString &runtime, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pictomat.*.debug=true"));
    return env;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void parseStartArguments_data();
    void parseStartArguments();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
    void unknownOptionIsRefused();
    void handOverReachesTheOwner();
    void onlyOneProgramOwnsTheSocket();
    void staleSocketIsTakenOver();
    void noOwnerMeansNoHandOver();
    void garbageOnTheSocketIsDropped();
    void openPathsAddsAsADrop();
    void filesArrivingDuringAConversionWaitForItsEnd();
    void secondStartHandsItsFilesToTheFirstWindow();

private:
    QTemporaryDir dir;
};

void TestStartup::parseStartArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("paths");

    const QString cwd = QStringLiteral("/home/user/photos");
    QTest::newRow("nothing") << QStringList() << Action::OpenWindow << QStringList();
    QTest::newRow("relative file and folder") << QStringList { "a.jpg", "trip/../2024" } << Action::OpenWindow
                                              << QStringList { cwd + "/a.jpg", cwd + "/2024" };
    QTest::newRow("absolute kept") << QStringList { "/srv/x.heic" } << Action::OpenWindow
                                   << QStringList { "/srv/x.heic" };
    QTest::newRow("file URL") << QStringList { "file:///tmp/My%20Photo.png" } << Action::OpenWindow
                              << QStringList { "/tmp/My Photo.png" };
    QTest::newRow("help") << QStringList { "a.jpg", "--help" } << Action::ShowHelp << QStringList();
    QTest::newRow("short help") << QStringList { "-h" } << Action::ShowHelp << QStringList();
    QTest::newRow("version") << QStringList { "--version" } << Action::ShowVersion << QStringList();
    QTest::newRow("unknown option") << QStringList { "--bogus", "a.jpg" } << Action::Refuse << QStringList();
    QTest::newRow("after -- a dash is a file") << QStringList { "--", "-odd.png",
        "--help" } << Action::OpenWindow << QStringList { cwd + "/-odd.png", cwd + "/--help" };
    QTest::newRow("empty argument skipped")
        << QStringList { "", "b.png" } << Action::OpenWindow << QStringList { cwd + "/b.png" };
}

void TestStartup::parseStartArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QStringList, paths);
    const StartArguments parsed = ::parseStartArguments(arguments, QStringLiteral("/home/user/photos"));
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.paths, paths);
    QCOMPARE(parsed.error.isEmpty(), action != Action::Refuse);
}

void TestStartup::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("--help") << QStringList { "--help" } << "Usage: pictomat [FILE|FOLDER]...";
    QTest::newRow("-h after a file") << QStringList { "photo.jpg", "-h" }
                                     << "Usage: pictomat [FILE|FOLDER]...";
    QTest::newRow("--version") << QStringList { "--version" } << "pictomat " + programVersionText();
    QTest::newRow("-v") << QStringList { "-v" } << "pictomat " + programVersionText();
}

void TestStartup::helpAndVersionNeedNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstLine);
    // The X platform with no display: a program that made its application object would fail.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(programPath(), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    QCOMPARE(out.section(QLatin1Char('\n'), 0, 0), firstLine);
    QVERIFY(program.readAllStandardError().isEmpty());
}

void TestStartup::unknownOptionIsRefused()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(programPath(), { QStringLiteral("--bogus") });
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("unknown option '--bogus'"));
}

void TestStartup::handOverReachesTheOwner()
{
    const QString socket = dir.filePath(QStringLiteral("owner.socket"));
    SingleInstance owner(socket);
    QVERIFY(owner.listen());
    QSignalSpy received(&owner, &SingleInstance::pathsReceived);
    const QStringList paths { QStringLiteral("/tmp/a b.jpg"), QStringLiteral("/tmp/ünïcode/c.heic") };
    QVERIFY(handOverFromAnotherThread(socket, paths));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toStringList(), paths);
}

void TestStartup::onlyOneProgramOwnsTheSocket()
{
    const QString socket = dir.filePath(QStringLiteral("one.socket"));
    SingleInstance first(socket);
    QVERIFY(first.listen());
    SingleInstance second(socket);
    QVERIFY(!second.listen());
    // The second's attempt did not take the socket away from the first.
    QSignalSpy received(&first, &SingleInstance::pathsReceived);
    QVERIFY(handOverFromAnotherThread(socket, { QStringLiteral("/x.png") }));
    QCOMPARE(received.size(), 1);
}

void TestStartup::staleSocketIsTakenOver()
{
    const QString socket = dir.filePath(QStringLiteral("stale.socket"));
    QVERIFY(leaveStaleSocket(socket));
    QVERIFY(!SingleInstance::handOver(socket, { QStringLiteral("/x.png") }, 1000));
    SingleInstance owner(socket);
    QVERIFY(owner.listen());
    QSignalSpy received(&owner, &SingleInstance::pathsReceived);
    QVERIFY(handOverFromAnotherThread(socket, { QStringLiteral("/y.png") }));
    QCOMPARE(received.size(), 1);
}

void TestStartup::noOwnerMeansNoHandOver()
{
    QVERIFY(!SingleInstance::handOver(dir.filePath(QStringLiteral("nobody.socket")), { "/x.png" }, 1000));
}

void TestStartup::garbageOnTheSocketIsDropped()
{
    const QString socket = dir.filePath(QStringLiteral("garbage.socket"));
    SingleInstance owner(socket);
    QVERIFY(owner.listen());
    QSignalSpy received(&owner, &SingleInstance::pathsReceived);
    QByteArray answer = "unset";
    QThread *thread = QThread::create([&] {
        QLocalSocket client;
        client.connectToServer(socket);
        if (!client.waitForConnected(2000))
            return;
        client.write("GET / HTTP/1.0\r\n\r\n");
        client.waitForBytesWritten(2000);
        client.waitForReadyRead(2000);
        answer = client.readAll();
    });
    thread->start();
    QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 10000);
    delete thread;
    QVERIFY(answer.isEmpty());
    QCOMPARE(received.size(), 0);
    // Still serving the program's own requests.
    QVERIFY(handOverFromAnotherThread(socket, { QStringLiteral("/x.png") }));
    QCOMPARE(received.size(), 1);
}

void TestStartup::openPathsAddsAsADrop()
{
    const QString folder = dir.filePath(QStringLiteral("drop"));
    QVERIFY(QDir().mkpath(folder + "/sub"));
    QVERIFY(TestSupport::saveImage(TestSupport::filledImage(QSize(8, 8), Qt::red), folder + "/sub/b.png"));
    QVERIFY(TestSupport::saveImage(TestSupport::filledImage(QSize(8, 8), Qt::blue), folder + "/a.jpg"));
    const QString single = dir.filePath(QStringLiteral("single.png"));
    QVERIFY(TestSupport::saveImage(TestSupport::filledImage(QSize(8, 8), Qt::green), single));

    MainWindow window;
    window.show();
    window.openPaths({ single, folder });
    QTRY_COMPARE(
        window.form()->sourceFiles(), QStringList({ single, folder + "/a.jpg", folder + "/sub/b.png" }));
}

void TestStartup::filesArrivingDuringAConversionWaitForItsEnd()
{
    const QString file = dir.filePath(QStringLiteral("later.png"));
    QVERIFY(TestSupport::saveImage(TestSupport::filledImage(QSize(8, 8), Qt::red), file));
    MainWindow window;
    window.show();
    auto *page = new QWidget;
    window.form()->showConversionPage(page);
    window.openPaths({ file });
    QTest::qWait(300);
    QVERIFY(window.form()->sourceFiles().isEmpty());
    window.form()->handleFinishConvertSignal();
    QTRY_COMPARE(window.form()->sourceFiles(), QStringList { file });
    delete page;
}

void TestStartup::secondStartHandsItsFilesToTheFirstWindow()
{
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(home));
    QVERIFY(QFile::setPermissions(
        runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const QString socket = runtime + QStringLiteral("/pictomat.socket");
    const QString photo = dir.filePath(QStringLiteral("handed.png"));
    QVERIFY(TestSupport::saveImage(TestSupport::filledImage(QSize(8, 8), Qt::red), photo));
    // A window killed earlier left its socket behind.
    QVERIFY(leaveStaleSocket(socket));

    QProcess first;
    first.setProcessEnvironment(programEnvironment(runtime, home));
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(programPath(), {});
    QVERIFY(first.waitForStarted());
    QByteArray firstLog;
    QTRY_VERIFY_WITH_TIMEOUT(
        (firstLog += first.readAll()).contains("Removing a stale instance socket"), 20000);

    // A second start without files opens its own window and leaves the socket to the first.
    QProcess plain;
    plain.setProcessEnvironment(programEnvironment(runtime, home));
    plain.start(programPath(), {});
    QVERIFY(plain.waitForStarted());
    QTest::qWait(1500);
    QCOMPARE(plain.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(programEnvironment(runtime, home));
    second.setWorkingDirectory(dir.path());
    second.start(programPath(), { QStringLiteral("handed.png") });
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        (firstLog += first.readAll()).contains("ConvertImageForm::onAddUrlsFinish: " + photo.toUtf8()),
        20000);

    plain.kill();
    first.kill();
    plain.waitForFinished();
    first.waitForFinished();
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestStartup>(argc, argv);
}

#include "tst_startup.moc"
