// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "imaging/renderpipeline.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// A user who changes nothing must get the very files the program wrote before its options grew:
// tests/data/defaults/expected holds what the earlier program made of tests/data/defaults/sources.
// Only a deliberate change of an encoder may replace them: run this test with
// PICTOMAT_WRITE_DEFAULT_FIXTURES=1 and say why in the commit.
class TestDefaultOutput : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString dataDir = qEnvironmentVariable("PICTOMAT_TEST_DATA") + QStringLiteral("/defaults");

    QString convert(const QString &source, const QString &ext)
    {
        const QString out = dir.path() + QStringLiteral("/out");
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });
        auto *job = new ConvertImagesThread(this);
        job->_urls = { source };
        job->targetFolder = out;
        job->targetExt = ext;
        job->start();
        if (!job->wait(120000))
            qFatal("job did not finish");
        const ConversionFailureList failures = job->failures();
        delete job;
        if (!failures.isEmpty())
            qWarning().noquote() << failures.first().reason;
        return ConvertImagesThread::targetPathFor(out, source, ext);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Larkspan", "ZirarurOvize").clear();
        QVERIFY(dir.isValid());
    }

    void defaultsGiveTheEarlierFiles_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("ext");
        const QStringList everyFormat
            = { ".avif", ".gif", ".heic", ".heif", ".jpg", ".jxl", ".png", ".tiff", ".webp" };
        for (const QString &ext : everyFormat)
            QTest::newRow(qPrintable("photo.jpg to " + ext)) << "photo.jpg" << ext;
        // The formats that keep transparency as they are.
        for (const QString &ext : QStringList { ".png", ".tiff", ".webp" })
            QTest::newRow(qPrintable("alpha.png to " + ext)) << "alpha.png" << ext;
    }

    void defaultsGiveTheEarlierFiles()
    {
        QFETCH(QString, source);
        QFETCH(QString, ext);
        resetOptions();
        clearLoadCache();
        // The defaults as a first start reads them from an empty store.
        SettingsStore::loadOptions(QFont());
        const QString target = convert(dataDir + "/sources/" + source, ext);
        QVERIFY2(QFile::exists(target), qPrintable(target));
        const QString expected = dataDir + "/expected/" + QFileInfo(target).fileName();
        if (qEnvironmentVariableIntValue("PICTOMAT_WRITE_DEFAULT_FIXTURES") == 1) {
            QFile::remove(expected);
            QVERIFY(QFile::copy(target, expected));
            QSKIP("fixture written");
        }
        QVERIFY2(QFile::exists(expected), qPrintable(expected));
        QCOMPARE(TestSupport::fileDigest(target).toHex(), TestSupport::fileDigest(expected).toHex());
    }
};

QTEST_MAIN(TestDefaultOutput)
#include "tst_defaultoutput.moc"
