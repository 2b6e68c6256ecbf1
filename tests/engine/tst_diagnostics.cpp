// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The debug lines a user or a tester reads: exactly these texts, on the plain debug stream, by
// default; the program's own extra lines stay in its categories, which are off by default.
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace {

QStringList captured;

// Each debug line as the default handler would print it.
void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg)
        captured.append(qFormatLogMessage(type, context, message));
}

} // namespace

class TestDiagnostics : public QObject, private TestSupport::JobFolders {
    Q_OBJECT

private:
    QString sourcePath() const { return in + "/photo.png"; }

    QStringList convert(const QString &folder)
    {
        ConvertImagesThread job;
        job._urls = { sourcePath() };
        job.targetFolder = folder;
        job.targetExt = ".png";
        captured.clear();
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        job.start();
        job.wait();
        qInstallMessageHandler(previous);
        failure = job.failures().isEmpty() ? QString() : job.failures().first().reason;
        return captured;
    }

    QString failure;

private Q_SLOTS:
    void initTestCase()
    {
        // As a user runs the window: no logging rules of the tests' own.
        QLoggingCategory::setFilterRules(QString());
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        resetJobFolders();
        QVERIFY(TestSupport::makePhotoLike(12, 8).save(sourcePath()));
    }

    void windowLines_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("load") << "load" << QStringList { "ImageMagickUtil::loadImage: %1" };
        QTest::newRow("adjustments") << "gamma"
                                     << QStringList { "ImageMagickUtil::loadImage: %1",
                                            "ruleList[i].ruleIndex: 4", "onProcessGamma: 151" };
        QTest::newRow("failed write")
            << "write" << QStringList { "ImageMagickUtil::loadImage: %1", "Cannot write: %2 %3", "QList(…)" };
        QTest::newRow("rule decoding") << "rules"
                                       << QStringList { "rawData: 3;4;40;0;0;0;", "val: 3", "val: 4",
                                              "val: 40", "val: 0", "val: 0", "val: 0", "valRuleIndex: 4" };
    }

    void windowLines()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        QStringList lines;
        const QString missing = out + "/gone";
        if (path == "rules") {
            TestSupport::clearStore();
            auto store = TestSupport::openMainApp();
            store->setValue("AdjustImageCount", 1);
            store->setValue("AdjustImage0", "3;4;40;0;0;0;");
            store.reset();
            captured.clear();
            const QtMessageHandler previous = qInstallMessageHandler(capture);
            SettingsStore::loadOptions(QFont());
            qInstallMessageHandler(previous);
            lines = captured;
        } else {
            if (path == "gamma") {
                updateOptions([](ConversionOptions &o) {
                    AdjustRule gamma;
                    gamma.ruleIndex = AdjustRule::Gamma;
                    gamma.values[0] = 50;
                    o.ruleList = { gamma };
                });
            }
            lines = convert(path == "write" ? missing : out);
        }
        for (QString &line : expected)
            line.replace("%1", sourcePath()).replace("%2", missing + "/photo.png").replace("%3", failure);
        // The writer's formats follow the failure, as the toolkit prints a list.
        for (QString &line : lines) {
            if (line.startsWith("QList(\"") && line.endsWith("\")"))
                line = "QList(…)";
        }
        QCOMPARE(lines, expected);
    }

    void cliIsQuietUnlessVerbose_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("logged");
        QTest::newRow("quiet") << QStringList() << false;
        QTest::newRow("verbose") << QStringList { "--verbose" } << true;
    }

    void cliIsQuietUnlessVerbose()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, logged);
        const QString cli = QCoreApplication::applicationDirPath() + "/pictomat-cli";
        if (!QFileInfo(cli).isExecutable())
            QSKIP("pictomat-cli is not built");
        QProcess process;
        process.start(cli, arguments + QStringList { "--format", "png", "-o", out, sourcePath() });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(errors.contains("ImageMagickUtil::loadImage: " + sourcePath() + "\n"), logged);
    }
};

QTEST_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
