// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/version.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString EntryPath = QStringLiteral(PICTOMAT_DESKTOP_ENTRY);
const QString MetainfoPath = QStringLiteral(PICTOMAT_METAINFO);

// The entry's keys of the [Desktop Entry] group, read as a desktop does (no INI escapes).
QHash<QString, QString> entryKeys()
{
    QHash<QString, QString> keys;
    QFile file(EntryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

QStringList entryList(const QString &key)
{
    return entryKeys().value(key).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Every suffix the shared MIME database knows for a picture, RAW formats included.
QStringList pictureSuffixes()
{
    QStringList suffixes;
    const QList<QMimeType> types = QMimeDatabase().allMimeTypes();
    for (const QMimeType &type : types) {
        if (type.name().startsWith(QLatin1String("image/")))
            suffixes.append(type.suffixes());
    }
    suffixes.removeDuplicates();
    return suffixes;
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace

class TestDesktopEntry : public QObject {
    Q_OBJECT

private slots:
    void validatesAsADesktopEntry();
    void startsTheWindowWithFiles_data();
    void startsTheWindowWithFiles();
    void everyReadableFormatIsOffered();
    void openWithListsTheProgram_data();
    void openWithListsTheProgram();
    void windowClassAndIconUnderX();
    void metainfoValidates();
    void metainfoNamesThisRelease();
};

void TestDesktopEntry::validatesAsADesktopEntry()
{
    if (!TestSupport::haveTool(QStringLiteral("desktop-file-validate")))
        QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
    QByteArray output;
    const int status = TestSupport::runTool(QStringLiteral("desktop-file-validate"), { EntryPath }, &output);
    QVERIFY2(status == 0 && output.trimmed().isEmpty(), output.constData());
}

void TestDesktopEntry::startsTheWindowWithFiles_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("Exec") << "Exec"
                          << "pictomat %F";
    QTest::newRow("Icon") << "Icon"
                          << "pictomat";
    QTest::newRow("StartupWMClass") << "StartupWMClass"
                                    << "pictomat";
    QTest::newRow("Type") << "Type"
                          << "Application";
}

void TestDesktopEntry::startsTheWindowWithFiles()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QCOMPARE(entryKeys().value(key), value);
    QVERIFY(entryList(QStringLiteral("Keywords")).size() >= 5);
}

// Whatever suffix the program takes into its list, a file manager offers it for that file's type.
void TestDesktopEntry::everyReadableFormatIsOffered()
{
    const QStringList offered = entryList(QStringLiteral("MimeType"));
    QVERIFY(offered.contains(QStringLiteral("inode/directory")));
    QTemporaryDir dir;
    QMimeDatabase mime;
    int readable = 0;
    QStringList missing;
    for (const QString &suffix : pictureSuffixes()) {
        const QString path = dir.filePath(QStringLiteral("probe.") + suffix);
        QVERIFY(TestSupport::writeFile(path, "x"));
        if (!isSupportedImageFile(path))
            continue;
        ++readable;
        const QMimeType type = mime.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        QStringList names = type.aliases();
        names.append(type.name());
        const bool listed = std::any_of(
            names.cbegin(), names.cend(), [&](const QString &n) { return offered.contains(n); });
        if (!listed)
            missing.append(suffix + QStringLiteral(" (") + type.name() + QLatin1Char(')'));
    }
    QVERIFY(readable >= 11);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

void TestDesktopEntry::openWithListsTheProgram_data()
{
    QTest::addColumn<QString>("type");
    QTest::newRow("JPEG") << "image/jpeg";
    QTest::newRow("HEIC") << "image/heif";
    QTest::newRow("folder") << "inode/directory";
}

// As a file manager asks: the entry installed in a data folder and indexed as a package's
// trigger indexes it, then GLib's list of programs for the type.
void TestDesktopEntry::openWithListsTheProgram()
{
    QFETCH(QString, type);
    if (!TestSupport::haveTool(QStringLiteral("gio"))
        || !TestSupport::haveTool(QStringLiteral("update-desktop-database")))
        QSKIP("gio (libglib2.0-bin) or update-desktop-database (desktop-file-utils) is not installed");
    QTemporaryDir data;
    const QString applications = data.filePath(QStringLiteral("applications"));
    QVERIFY(QDir().mkpath(applications));
    QVERIFY(QFile::copy(EntryPath, applications + QStringLiteral("/pictomat.desktop")));
    QCOMPARE(TestSupport::runTool(QStringLiteral("update-desktop-database"), { applications }), 0);

    QProcess gio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), data.filePath(QStringLiteral("config")));
    // TryExec: the program must be found on the PATH for the entry to count.
    env.insert(
        QStringLiteral("PATH"), programFolder() + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    gio.setProcessEnvironment(env);
    gio.start(QStringLiteral("gio"), { QStringLiteral("mime"), type });
    QVERIFY(gio.waitForFinished(20000));
    const QString output = QString::fromUtf8(gio.readAllStandardOutput());
    const QString registered = output.section(QStringLiteral("Registered applications:"), 1);
    QVERIFY2(registered.contains(QStringLiteral("pictomat.desktop")), qPrintable(output));
}

// The window's class is the entry's StartupWMClass, so a dock groups the window under the entry's
// icon; and the window brings its own icon.
void TestDesktopEntry::windowClassAndIconUnderX()
{
    if (!TestSupport::haveTool(QStringLiteral("Xvfb")) || !TestSupport::haveTool(QStringLiteral("xprop")))
        QSKIP("Xvfb (xvfb) or xprop (x11-utils) is not installed");
    QTemporaryDir home;
    QProcess server;
    QProcess window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    // libxkbcommon-x11 copies X atom names with strndup from buffers that hold no terminating
    // zero; AddressSanitizer's strict string checks report that at xcb's start-up (not our code).
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"),
            env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
    const auto property = [&](const QString &name) {
        QProcess xprop;
        xprop.setProcessEnvironment(env);
        xprop.start(
            QStringLiteral("xprop"), { QStringLiteral("-name"), QStringLiteral("Larkspan Pictomat"), name });
        xprop.waitForFinished(10000);
        return QString::fromUtf8(xprop.readAllStandardOutput());
    };

    // Another X server starting or ending beside this test (parallel test runs) can make the
    // display it was given unreachable for a moment: start both anew, up to three times.
    QByteArray windowOutput;
    for (int attempt = 0; attempt < 3 && window.state() != QProcess::Running; ++attempt) {
        window.kill();
        window.waitForFinished();
        server.kill();
        server.waitForFinished();
        server.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp") });
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 10000);
        env.insert(
            QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed()));
        window.setProcessEnvironment(env);
        window.start(programFolder() + QStringLiteral("/pictomat"), {});
        QVERIFY(window.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(property(QStringLiteral("WM_CLASS")).startsWith(QLatin1String("WM_CLASS"))
                || window.state() == QProcess::NotRunning,
            60000);
        windowOutput = window.readAllStandardError().right(4000);
    }
    QVERIFY2(window.state() == QProcess::Running, windowOutput.constData());
    const QString wmClass = property(QStringLiteral("WM_CLASS"));
    const QString startupClass = entryKeys().value(QStringLiteral("StartupWMClass"));
    QVERIFY2(wmClass.trimmed().endsWith(QStringLiteral(", \"%1\"").arg(startupClass)), qPrintable(wmClass));
    const QString icon = property(QStringLiteral("_NET_WM_ICON"));
    for (const char *size : { "16 x 16", "32 x 32", "48 x 48" })
        QVERIFY2(icon.contains(QLatin1String(size)), size);

    window.kill();
    window.waitForFinished();
    server.terminate();
    server.waitForFinished();
}

void TestDesktopEntry::metainfoValidates()
{
    if (!TestSupport::haveTool(QStringLiteral("appstreamcli")))
        QSKIP("appstreamcli is not installed (package appstream)");
    QByteArray output;
    const int status = TestSupport::runTool(QStringLiteral("appstreamcli"),
        { QStringLiteral("validate"), QStringLiteral("--no-net"), MetainfoPath }, &output);
    QVERIFY2(status == 0, output.constData());
    // Infos are allowed (the id's top-level domain is the reserved "example"); no warning or error.
    QVERIFY2(!output.contains("\nW:") && !output.contains("\nE:") && !output.startsWith("W:")
            && !output.startsWith("E:"),
        output.constData());
}

// The metainfo's newest release, its launchable and its licence agree with the program and its entry.
void TestDesktopEntry::metainfoNamesThisRelease()
{
    const QByteArray xml = TestSupport::readFile(MetainfoPath);
    QVERIFY(!xml.isEmpty());
    const QRegularExpressionMatch release
        = QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(QString::fromUtf8(xml));
    QVERIFY(release.hasMatch());
    QCOMPARE(release.captured(1), programVersionText());
    QVERIFY(xml.contains("<launchable type=\"desktop-id\">pictomat.desktop</launchable>"));
    QVERIFY(xml.contains("<project_license>GPL-3.0-or-later</project_license>"));
    QVERIFY(xml.contains("<content_rating type=\"oars-1.1\""));
}

QTEST_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
