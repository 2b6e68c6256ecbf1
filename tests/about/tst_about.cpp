// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/aboutdialog.h"
#include "app/checkupdatedialog.h"
#include "app/updatedocument.h"
#include "app/urlopener.h"
#include "app/version.h"
#include "updateserver.h"

#include <QFile>
#include <QLabel>
#include <QNetworkProxy>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(VersionNumber)

namespace {

const QString noUpdates = QStringLiteral("There are no software updates available at this time.");
const QString checkFailed = QStringLiteral("The update check could not be completed: ");
constexpr int resultWait = 20000;

QString labelText(const QWidget *dialog, const char *name)
{
    const auto *label = dialog->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

QPushButton *button(const QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

bool resultShown(const QWidget *dialog)
{
    const QPushButton *download = button(dialog, "downloadButton");
    return download && !download->isHidden();
}

// Collects what the program asks the browser to open, for the lifetime of the object.
class OpenedUrls {
public:
    OpenedUrls()
        : previous(setExternalUrlOpener([this](const QUrl &url) {
            urls.append(url);
            return true;
        }))
    {
    }
    ~OpenedUrls() { setExternalUrlOpener(previous); }

    QList<QUrl> urls;

private:
    ExternalUrlOpener previous;
};

}

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void parseUpdateDocument_data();
    void parseUpdateDocument();
    void newerVersion_data();
    void newerVersion();
    void programVersionText();

    void aboutDialogShowsNameVersionAndSite();
    void closeButtonDeletesDialogAndEndsModalLoop_data();
    void closeButtonDeletesDialogAndEndsModalLoop();
    void escapeOnlyHidesDialog();

    void updateCheck_data();
    void updateCheck();
    void refusedConnection();
    void serverNeverAnswers();
    void announcedOversizeAnswerIsAbandoned();
    void environmentOverridesDocumentAddress();
    void closingDuringCheckCancelsRequest();
};

void TestAbout::initTestCase()
{
    // The loopback server must be reached directly even where the environment names a proxy.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    qunsetenv("PICTOMAT_UPDATE_URL");
}

void TestAbout::parseUpdateDocument_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("subMinor");

    QTest::newRow("CR LF before each separator")
        << QByteArray("majorVersion=4\r\n;minorVersion=3\r\n;subMinorVersion=1\r\n") << 4 << 3 << 1;
    QTest::newRow("CR LF after each separator")
        << QByteArray("majorVersion=4;\r\nminorVersion=4;\r\nsubMinorVersion=0\r\n") << 4 << 4 << 0;
    QTest::newRow("CR LF inside a key") << QByteArray("major\r\nVersion=5;minor\r\nVersion=6") << 5 << 6 << 0;
    QTest::newRow("lone LF stays in the key")
        << QByteArray("majorVersion=4;\nminorVersion=4;\nsubMinorVersion=1") << 4 << 0 << 0;
    QTest::newRow("lone CR stays in the key")
        << QByteArray("majorVersion=4;\rminorVersion=4;\rsubMinorVersion=1") << 4 << 0 << 0;
    QTest::newRow("LF CR is not a pair") << QByteArray("majorVersion=4;\n\rminorVersion=4") << 4 << 0 << 0;
    QTest::newRow("other letter case ignored")
        << QByteArray("MajorVersion=9;MINORVERSION=9;subminorVersion=9") << 0 << 0 << 0;
    QTest::newRow("later entry wins")
        << QByteArray("majorVersion=1;minorVersion=2;majorVersion=7") << 7 << 2 << 0;
    QTest::newRow("not numbers") << QByteArray("majorVersion=four;minorVersion=4.5;subMinorVersion=0x10") << 0
                                 << 0 << 0;
    QTest::newRow("later garbage resets") << QByteArray("majorVersion=5;majorVersion=x") << 0 << 0 << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("majorVersion=2147483648;minorVersion=2147483647") << 0
                                    << 2147483647 << 0;
    QTest::newRow("negative") << QByteArray("majorVersion=-3") << -3 << 0 << 0;
    QTest::newRow("first equals sign splits")
        << QByteArray("majorVersion=4=5;minorVersion==3") << 0 << 0 << 0;
    QTest::newRow("entries without key or value")
        << QByteArray(";;majorVersion;=4;minorVersion=2;subMinorVersion=;") << 0 << 2 << 0;
    QTest::newRow("space before key") << QByteArray(" majorVersion=4") << 0 << 0 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << 0;
    QTest::newRow("invalid UTF-8 in another entry")
        << QByteArray("\xff\xfe\xc3;majorVersion=5") << 5 << 0 << 0;
    QTest::newRow("invalid UTF-8 in the key") << QByteArray("\xffmajorVersion=5") << 0 << 0 << 0;
}

void TestAbout::parseUpdateDocument()
{
    QFETCH(QByteArray, body);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, subMinor);

    const VersionNumber remote = ::parseUpdateDocument(body);
    QCOMPARE(remote.majorVersion, major);
    QCOMPARE(remote.minorVersion, minor);
    QCOMPARE(remote.subMinorVersion, subMinor);
}

void TestAbout::newerVersion_data()
{
    QTest::addColumn<VersionNumber>("candidate");
    QTest::addColumn<bool>("newer");

    QTest::newRow("4.3.1") << VersionNumber { 4, 3, 1 } << true;
    QTest::newRow("4.4.0") << VersionNumber { 4, 4, 0 } << true;
    QTest::newRow("5.0.0") << VersionNumber { 5, 0, 0 } << true;
    QTest::newRow("same") << VersionNumber { 4, 3, 0 } << false;
    QTest::newRow("3.9.9 major decides") << VersionNumber { 3, 9, 9 } << false;
    QTest::newRow("4.2.99 minor decides") << VersionNumber { 4, 2, 99 } << false;
    QTest::newRow("0.0.0") << VersionNumber {} << false;
    QTest::newRow("negative sub-minor") << VersionNumber { 4, 3, -1 } << false;
}

void TestAbout::newerVersion()
{
    QFETCH(VersionNumber, candidate);
    QFETCH(bool, newer);

    QCOMPARE(isNewerVersion(candidate, VersionNumber { 4, 3, 0 }), newer);
}

void TestAbout::programVersionText()
{
    QCOMPARE(::programVersionText(), QStringLiteral("4.3.0"));
    QCOMPARE(formatVersion({ 10, 0, 12 }), QStringLiteral("10.0.12"));
}

void TestAbout::aboutDialogShowsNameVersionAndSite()
{
    QWidget form;
    auto *dialog = new AboutDialog(&form);

    QCOMPARE(dialog->parentWidget(), &form);
    QCOMPARE(dialog->size(), QSize(578, 337));
    QCOMPARE(labelText(dialog, "titleLabel"), QStringLiteral("Larkspan Pictomat"));
    QCOMPARE(labelText(dialog, "versionLabel"), QStringLiteral("Version: 4.3.0"));
    QVERIFY(labelText(dialog, "licenseLabel")
                .contains(QStringLiteral(
                    "GNU General Public License, version 3 or (at your option) any later version")));
    const QString link = labelText(dialog, "webLabel");
    QVERIFY2(
        link.contains(QStringLiteral("href=\"%1\"").arg(makerWebsiteUrl().toString())), qPrintable(link));

    // The artwork comes from elsewhere; the dialog must work with and without it.
    const auto *logo = dialog->findChild<QLabel *>(QStringLiteral("logoLabel"));
    QVERIFY(logo);
    QCOMPARE(logo->pixmap().isNull(), !QFile::exists(QStringLiteral(":/resources/images/AboutLogo.png")));
}

void TestAbout::closeButtonDeletesDialogAndEndsModalLoop_data()
{
    QTest::addColumn<bool>("update");
    QTest::newRow("AboutDialog") << false;
    QTest::newRow("CheckUpdateDialog") << true;
}

void TestAbout::closeButtonDeletesDialogAndEndsModalLoop()
{
    QFETCH(bool, update);

    UpdateServer server;
    server.setSilent(true);
    QVERIFY(server.start());
    QWidget form;
    QDialog *dialog = update
        ? static_cast<QDialog *>(new CheckUpdateDialog(&form, server.url(QStringLiteral("/update.txt")), 60s))
        : new AboutDialog(&form);
    QPointer<QDialog> guard(dialog);

    bool clicked = false;
    QTimer::singleShot(0, dialog, [dialog, &clicked] {
        QTest::mouseClick(button(dialog, "closeButton"), Qt::LeftButton);
        clicked = true;
    });
    // A second timer ends the loop should the click fail to, so the test fails instead of hanging.
    QTimer::singleShot(resultWait, dialog, [dialog] { dialog->done(QDialog::Accepted); });
    const int result = dialog->exec();

    QVERIFY(clicked);
    QCOMPARE(result, int(QDialog::Rejected));
    QTRY_VERIFY(guard.isNull());
}

void TestAbout::escapeOnlyHidesDialog()
{
    auto form = std::make_unique<QWidget>();
    QPointer<AboutDialog> dialog = new AboutDialog(form.get());

    QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
    dialog->exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(!dialog.isNull());
    QVERIFY(dialog->isHidden());
    form.reset();
    QVERIFY(dialog.isNull());
}

void TestAbout::updateCheck_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("buttonText");

    const auto ok = [](const QByteArray &body) { return UpdateServer::httpResponse(200, "OK", body); };
    const QString download = QStringLiteral("Download update");
    const QString visit = QStringLiteral("Visit Website");

    QTest::newRow("CR LF entries, 4.3.1 newer")
        << ok("majorVersion=4\r\n;minorVersion=3\r\n;subMinorVersion=1\r\n")
        << QStringLiteral("Version 4.3.1 is available to download.") << download;
    QTest::newRow("4.4.0 newer") << ok("majorVersion=4;minorVersion=4;subMinorVersion=0")
                                 << QStringLiteral("Version 4.4.0 is available to download.") << download;
    QTest::newRow("3.9.9 not newer") << ok("majorVersion=3;minorVersion=9;subMinorVersion=9") << noUpdates
                                     << visit;
    QTest::newRow("same version") << ok("majorVersion=4;minorVersion=3;subMinorVersion=0") << noUpdates
                                  << visit;
    QTest::newRow("MajorVersion ignored")
        << ok("MajorVersion=5;minorVersion=3;subMinorVersion=0") << noUpdates << visit;
    QTest::newRow("lone LF not removed")
        << ok("majorVersion=4;\nminorVersion=4;\nsubMinorVersion=0") << noUpdates << visit;
    QTest::newRow("lone CR not removed")
        << ok("majorVersion=4;\rminorVersion=4;\rsubMinorVersion=0") << noUpdates << visit;
    QTest::newRow("empty body") << ok(QByteArray()) << noUpdates << visit;
    QTest::newRow("no version keys") << ok("<html><body>moved</body></html>") << noUpdates << visit;
    QTest::newRow("not found") << UpdateServer::httpResponse(404, "Not Found",
        "majorVersion=9") << checkFailed + QStringLiteral("the server answered with status 404 Not Found.")
                               << visit;
    QTest::newRow("server error with a newer body")
        << UpdateServer::httpResponse(500, "Internal Server Error", "majorVersion=9")
        << checkFailed + QStringLiteral("the server answered with status 500 Internal Server Error.")
        << visit;
    QTest::newRow("answer too large")
        << ok("majorVersion=9;" + QByteArray(100 * 1024, 'x'))
        << checkFailed + QStringLiteral("the answer is larger than 64 KiB.") << visit;
    QTest::newRow("compressed answer that does not decompress")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Encoding: gzip\r\n"
                      "Content-Length: 16\r\nConnection: close\r\n\r\nmajorVersion=9;x")
        << checkFailed + QStringLiteral("Decompression failed.") << visit;
}

void TestAbout::updateCheck()
{
    QFETCH(QByteArray, response);
    QFETCH(QString, message);
    QFETCH(QString, buttonText);

    UpdateServer server;
    server.setResponse(response);
    QVERIFY(server.start());
    OpenedUrls opened;
    QWidget form;
    auto *dialog = new CheckUpdateDialog(&form, server.url(QStringLiteral("/Pictomat/update.txt")), 60s);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("Check Update"));
    QCOMPARE(labelText(dialog, "installVersionLabel"), QStringLiteral("Installed Version: 4.3.0"));
    QCOMPARE(labelText(dialog, "messageLabel"), QStringLiteral("Checking for update ..."));
    QVERIFY(!resultShown(dialog));

    QTRY_VERIFY_WITH_TIMEOUT(resultShown(dialog), resultWait);
    QCOMPARE(labelText(dialog, "messageLabel"), message);
    QCOMPARE(button(dialog, "downloadButton")->text(), buttonText);
    QCOMPARE(server.requestLines(), QList<QByteArray> { "GET /Pictomat/update.txt HTTP/1.1" });

    QVERIFY(opened.urls.isEmpty());
    QTest::mouseClick(button(dialog, "downloadButton"), Qt::LeftButton);
    QCOMPARE(opened.urls, QList<QUrl> { productPageUrl() });
}

void TestAbout::refusedConnection()
{
    const quint16 port = UpdateServer::refusingPort();
    QVERIFY(port != 0);
    QWidget form;
    auto *dialog
        = new CheckUpdateDialog(&form, QUrl(QStringLiteral("http://127.0.0.1:%1/update.txt").arg(port)), 60s);

    QTRY_VERIFY_WITH_TIMEOUT(resultShown(dialog), resultWait);
    const QString message = labelText(dialog, "messageLabel");
    QVERIFY2(message.startsWith(checkFailed), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("refused"), Qt::CaseInsensitive), qPrintable(message));
    QCOMPARE(button(dialog, "downloadButton")->text(), QStringLiteral("Visit Website"));
}

void TestAbout::serverNeverAnswers()
{
    UpdateServer server;
    server.setSilent(true);
    QVERIFY(server.start());
    QWidget form;
    auto *dialog = new CheckUpdateDialog(&form, server.url(QStringLiteral("/update.txt")), 300ms);

    QTRY_VERIFY_WITH_TIMEOUT(resultShown(dialog), resultWait);
    QCOMPARE(server.requestLines().size(), 1);
    QCOMPARE(labelText(dialog, "messageLabel"),
        checkFailed + QStringLiteral("the server did not answer in time."));
    QCOMPARE(button(dialog, "downloadButton")->text(), QStringLiteral("Visit Website"));
}

void TestAbout::announcedOversizeAnswerIsAbandoned()
{
    UpdateServer server;
    server.setResponse("HTTP/1.1 200 OK\r\nContent-Length: 1048576\r\n\r\nmajorVersion=9;");
    server.setKeepOpen(true);
    QVERIFY(server.start());
    QWidget form;
    auto *dialog = new CheckUpdateDialog(&form, server.url(QStringLiteral("/update.txt")), 60s);

    QTRY_VERIFY_WITH_TIMEOUT(resultShown(dialog), resultWait);
    QCOMPARE(
        labelText(dialog, "messageLabel"), checkFailed + QStringLiteral("the answer is larger than 64 KiB."));
    QTRY_COMPARE_WITH_TIMEOUT(server.closedConnections(), 1, resultWait);
}

void TestAbout::environmentOverridesDocumentAddress()
{
    UpdateServer server;
    server.setResponse(
        UpdateServer::httpResponse(200, "OK", "majorVersion=4;minorVersion=3;subMinorVersion=7"));
    QVERIFY(server.start());
    qputenv("PICTOMAT_UPDATE_URL", server.url(QStringLiteral("/mirror/versions.txt")).toEncoded());
    const auto restore = qScopeGuard([] { qunsetenv("PICTOMAT_UPDATE_URL"); });
    QWidget form;
    auto *dialog = new CheckUpdateDialog(&form);

    QTRY_VERIFY_WITH_TIMEOUT(resultShown(dialog), resultWait);
    QCOMPARE(server.requestLines(), QList<QByteArray> { "GET /mirror/versions.txt HTTP/1.1" });
    QCOMPARE(labelText(dialog, "messageLabel"), QStringLiteral("Version 4.3.7 is available to download."));
}

void TestAbout::closingDuringCheckCancelsRequest()
{
    UpdateServer server;
    server.setSilent(true);
    QVERIFY(server.start());
    QWidget form;
    QPointer<CheckUpdateDialog> dialog
        = new CheckUpdateDialog(&form, server.url(QStringLiteral("/update.txt")), 60s);
    QTRY_COMPARE_WITH_TIMEOUT(server.requestLines().size(), 1, resultWait);

    QTest::mouseClick(button(dialog, "closeButton"), Qt::LeftButton);

    QTRY_VERIFY(dialog.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(server.closedConnections(), 1, resultWait);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
