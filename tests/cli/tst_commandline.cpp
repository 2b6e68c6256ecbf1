// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives the built pictomat-cli as a process on real files, next to the window's own job.
#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "jobrun.h"
#include "settingrows.h"
#include "settings/preset.h"
#include "settings/settingkey.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

using namespace TestSupport;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli"), arguments);
    CliRun run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The files under a folder, relative to it, sorted.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Every effect on, as a user of the window might have set them.
void setWindowOptions(int target)
{
    resetOptions();
    updateOptions([&](ConversionOptions &o) {
        o.targeFileType = target;
        o.targeFileQuality = 80;
        o.scaleImage = true;
        o.scaleType = 0;
        o.scalePercentage = 75;
        o.textContent = QStringLiteral("© Pictomat, 2026");
        o.textFont = QFont(QFont(QStringLiteral("DejaVu Sans")).toString());
        o.textSize = 9;
        o.textColor = QColor(0xc0, 0x20, 0x40);
        o.textPosition = 4;
        o.qrCodeText = QStringLiteral("https://example.org");
        o.qrCodeSize = 20;
        o.qrCodePosition = 0;
        o.pdfPaperSize = 1;
        o.pdfFileName = QStringLiteral("album.pdf");
        AdjustRule sepia;
        sepia.ruleIndex = AdjustRule::Sepia;
        AdjustRule contrast;
        contrast.ruleIndex = AdjustRule::Contrast;
        contrast.values[0] = 40;
        o.ruleList = { sepia, contrast };
    });
}

// The window's job as its progress page starts it.
bool runWindowJob(const QStringList &sources, const QString &outputFolder, const QString &extension)
{
    QDir().mkpath(outputFolder);
    updateOptions([&](ConversionOptions &o) { o.outputFolder = outputFolder; });
    const bool pdf = extension == QLatin1String(".pdf");
    JobRun job(sources,
        pdf ? outputFolder + QLatin1Char('/') + conversionOptions().pdfFileName : outputFolder, extension);
    job.run();
    return job.completed && job.failures.isEmpty();
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString sources;

    QString path(const QString &name) const { return dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFileInfo::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli")));
        sources = path(QStringLiteral("sources"));
        QDir().mkpath(sources + QStringLiteral("/trip/day2"));
        QVERIFY(saveImage(makePhotoLike(160, 120), sources + QStringLiteral("/beach.png")));
        QVERIFY(saveImage(makePhotoLike(90, 130, true), sources + QStringLiteral("/trip/boat.webp")));
        QVERIFY(saveImage(makePhotoLike(100, 80), sources + QStringLiteral("/trip/day2/hill.jpg")));
    }

    void everyTargetMatchesTheWindowJob_data()
    {
        QTest::addColumn<int>("target");
        for (const TargetFormat &format : targetFormats())
            QTest::newRow(qPrintable(format.text)) << format.position;
    }

    // A preset saved from the window's options gives the files the window's job writes.
    void everyTargetMatchesTheWindowJob()
    {
        QFETCH(int, target);
        const QString extension = targetFormatAt(target).extension;
        setWindowOptions(target);
        const QString preset = path(QStringLiteral("window-%1.ini").arg(target));
        QVERIFY(Preset::save(preset, conversionOptions()));
        const QStringList inputs
            = { sources + QStringLiteral("/beach.png"), sources + QStringLiteral("/trip/boat.webp") };
        const QString windowOut = path(QStringLiteral("window-%1").arg(target));
        QVERIFY(runWindowJob(inputs, windowOut, extension));

        const QString cliOut = path(QStringLiteral("cli-%1").arg(target));
        const CliRun run = runCli(
            QStringList { QStringLiteral("--preset"), preset, QStringLiteral("-o"), cliOut } + inputs);
        QCOMPARE(run.exitCode, 0);
        const QStringList files = filesUnder(windowOut);
        QCOMPARE(filesUnder(cliOut), files);
        QCOMPARE(files.size(), extension == QLatin1String(".pdf") ? 1 : 2);
        for (const QString &file : files) {
            if (extension == QLatin1String(".pdf")) // the document carries its creation time
                QVERIFY(QFileInfo(cliOut + QLatin1Char('/') + file).size() > 1000);
            else
                QCOMPARE(fileDigest(cliOut + QLatin1Char('/') + file),
                    fileDigest(windowOut + QLatin1Char('/') + file));
        }
    }

    void lineOptionWinsOverThePreset()
    {
        setWindowOptions(JpgTargetPosition);
        const QString preset = path(QStringLiteral("jpg.ini"));
        QVERIFY(Preset::save(preset, conversionOptions()));
        updateOptions([](ConversionOptions &o) {
            o.targeFileQuality = 30;
            o.textContent = QStringLiteral("line");
        });
        const QStringList inputs = { sources + QStringLiteral("/beach.png") };
        QVERIFY(runWindowJob(inputs, path(QStringLiteral("window-line")), QStringLiteral(".jpg")));
        const CliRun run
            = runCli(QStringList { QStringLiteral("--preset"), preset, QStringLiteral("--quality"),
                         QStringLiteral("30"), QStringLiteral("--text"), QStringLiteral("line"),
                         QStringLiteral("-o"), path(QStringLiteral("cli-line")) }
                + inputs);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(fileDigest(path(QStringLiteral("cli-line/beach.jpg"))),
            fileDigest(path(QStringLiteral("window-line/beach.jpg"))));
    }

    // Each of the window's newer settings, given on the line, writes what the window's job writes
    // with that setting: the same files under the same names.
    void windowSettingOnTheLine_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<QVariantMap>("settings"); // settings keys as the window stores them
        for (const SettingRow &row : settingRows(sources + QStringLiteral("/beach.png"))) {
            if (!row.line.isEmpty())
                QTest::newRow(qPrintable(row.tag)) << row.line << row.settings;
        }
    }

    void windowSettingOnTheLine()
    {
        QFETCH(QStringList, line);
        QFETCH(QVariantMap, settings);
        resetOptions();
        updateOptions([&](ConversionOptions &o) {
            for (const SettingKey &key : settingKeys()) {
                if (settings.contains(key.key))
                    key.assign(o, settings.value(key.key), QFont());
            }
        });
        const QString extension = targetFormatAt(conversionOptions().targeFileType).extension;
        const QStringList inputs
            = { sources + QStringLiteral("/beach.png"), sources + QStringLiteral("/trip/boat.webp") };
        const QString tag
            = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString windowOut = path(QStringLiteral("window-setting-") + tag);
        QVERIFY(runWindowJob(inputs, windowOut, extension));
        const QString cliOut = path(QStringLiteral("cli-setting-") + tag);
        const CliRun run = runCli(line + QStringList { QStringLiteral("-o"), cliOut } + inputs);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QStringList files = filesUnder(windowOut);
        QCOMPARE(filesUnder(cliOut), files);
        QCOMPARE(files.size(), 2);
        for (const QString &file : files)
            QCOMPARE(fileDigest(cliOut + QLatin1Char('/') + file),
                fileDigest(windowOut + QLatin1Char('/') + file));
    }

    // Without --overwrite nothing is replaced: Skip lists the file, Add a number writes beside it.
    void whenTheTargetExists_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("skip") << "Skip" << 0 << QStringList { "beach.png" };
        QTest::newRow("number") << "add a number" << 0 << QStringList { "beach (2).png", "beach.png" };
    }

    void whenTheTargetExists()
    {
        QFETCH(QString, action);
        QFETCH(int, exitCode);
        QFETCH(QStringList, files);
        const QString out = path(QStringLiteral("exists-") + QTest::currentDataTag());
        QDir().mkpath(out);
        const QString existing = out + QStringLiteral("/beach.png");
        QVERIFY(writeFile(existing, "mine"));
        const CliRun run = runCli({ QStringLiteral("--json"), QStringLiteral("--format"),
            QStringLiteral("PNG"), QStringLiteral("--when-exists"), action,
            sources + QStringLiteral("/beach.png"), QStringLiteral("-o"), out });
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(filesUnder(out), files);
        QCOMPARE(fileDigest(existing), QCryptographicHash::hash("mine", QCryptographicHash::Sha256).toHex());
        // The report names the file that was written, or the one left alone.
        const QJsonObject file = QJsonDocument::fromJson(run.out)
                                     .object()
                                     .value(QStringLiteral("files"))
                                     .toArray()
                                     .at(0)
                                     .toObject();
        QCOMPARE(QFileInfo(file.value(QStringLiteral("target")).toString()).fileName(), files.first());
    }

    void saveNextToTheOriginal()
    {
        const QString folder = path(QStringLiteral("beside"));
        QDir().mkpath(folder);
        QVERIFY(QFile::copy(sources + QStringLiteral("/beach.png"), folder + QStringLiteral("/beach.png")));
        const CliRun run = runCli(
            { QStringLiteral("--format"), QStringLiteral("JPG"), QStringLiteral("--save-next-to-original"),
                QStringLiteral("on"), folder + QStringLiteral("/beach.png") });
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(QImage(folder + QStringLiteral("/beach.jpg")).size(), QSize(160, 120));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString out = QStringLiteral("-o");
        QTest::newRow("unknown option") << QStringList { "--sharpen", "x.png", out, "o" } << 2 << "sharpen";
        QTest::newRow("quality out of range") << QStringList { "--quality", "100", "x.png", out,
            "o" } << 2 << "--quality: \"100\" is not allowed; use a whole number from 0 to 99";
        QTest::newRow("unknown format") << QStringList { "--format", "BMP", "x.png", out, "o" } << 2 << "PNG";
        QTest::newRow("bad position")
            << QStringList { "--text-position", "middle", "x.png", out, "o" } << 2 << "\"Bottom - Right\"";
        QTest::newRow("bad rule") << QStringList { "--adjust", "Sepia;Gamma=5000", "x.png", out, "o" } << 2
                                  << "Gamma=N (-100 to 1000)";
        QTest::newRow("missing preset")
            << QStringList { "--preset", "/nonexistent.ini", "x.png", out, "o" } << 2 << "--preset";
        QTest::newRow("bad on/off") << QStringList { "--keep-metadata", "maybe", "x.png", out, "o" } << 2
                                    << "on, off";
        QTest::newRow("lossless for PNG")
            << QStringList { "--format", "PNG", "--lossless", "on", "x.png", out, "o" } << 2 << "WEBP, AVIF";
        QTest::newRow("png level out of range")
            << QStringList { "--format", "PNG", "--compression", "12", "x.png", out, "o" } << 2 << "0 to 9";
        QTest::newRow("bad when-exists")
            << QStringList { "--when-exists", "replace", "x.png", out, "o" } << 2 << "\"Add a number\"";
        QTest::newRow("no output folder") << QStringList { "x.png" } << 2 << "-o/--output";
        QTest::newRow("no input") << QStringList { out, "o" } << 2 << "FILE or FOLDER";
        QTest::newRow("empty folder") << QStringList { "empty", out, "o" } << 3 << "Nothing to do";
        QTest::newRow("missing file") << QStringList { "x.png", out, "o" } << 1 << "x.png: no such file";
        QTest::newRow("only files we do not read")
            << QStringList { "notes", out, "o" } << 3 << "Nothing to do";
        QTest::newRow("pdf file above the output folder") << QStringList { "--format", "PDF", "--pdf-file",
            "../x", "x.png", out, "o" } << 2 << "--pdf-file";
        QTest::newRow("pdf file elsewhere") << QStringList { "--format", "PDF", "--pdf-file", "/tmp/x.pdf",
            "x.png", out, "o" } << 2 << "without folders";
        QTest::newRow("preset pdf file above")
            << QStringList { "--preset", "escape.ini", "x.png", out, "o" } << 2 << "pdfFileName";
        QTest::newRow("missing watermark") << QStringList { "--image", "/nonexistent.png", "x.png", out, "o" }
                                           << 2 << "--image: /nonexistent.png: no such file";
        QTest::newRow("watermark not a picture")
            << QStringList { "--image", "notes", "x.png", out, "o" } << 2 << "not a picture";
        QTest::newRow("scale 0%") << QStringList { "--scale", "0%", "x.png", out, "o" } << 2
                                  << "--scale: \"0%\" is not allowed; use a percentage from 1 to 400";
        QTest::newRow("long edge 0") << QStringList { "--long-edge", "0", "x.png", out, "o" } << 2
                                     << "--long-edge: \"0\" is not allowed";
        QTest::newRow("threads below 0") << QStringList { "--threads", "-1", "x.png", out, "o" } << 2
                                         << "--threads: \"-1\" is not allowed";
    }

    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QDir().mkpath(path(QStringLiteral("empty")));
        QDir().mkpath(path(QStringLiteral("notes")));
        QVERIFY(writeFile(path(QStringLiteral("notes/readme.txt")), "not a picture"));
        QVERIFY(writeFile(
            path(QStringLiteral("escape.ini")), "[MainApp]\ntargeFileType=9\npdfFileName=../x.pdf\n"));
        for (QString &argument : arguments) {
            for (const char *name : { "x.png", "o", "empty", "notes", "escape.ini" }) {
                if (argument == QLatin1String(name))
                    argument = path(argument);
            }
        }
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    }

    void existingTargetIsKeptUnlessOverwriting()
    {
        const QString out = path(QStringLiteral("existing"));
        QDir().mkpath(out);
        const QString existing = out + QStringLiteral("/beach.png");
        QVERIFY(writeFile(existing, "mine"));
        const QStringList arguments
            = { QStringLiteral("--format"), QStringLiteral("PNG"), sources, QStringLiteral("-o"), out };

        CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("skipped: " + sources.toUtf8() + "/beach.png"), run.err.constData());
        QCOMPARE(fileDigest(existing), QCryptographicHash::hash("mine", QCryptographicHash::Sha256).toHex());

        run = runCli(QStringList { QStringLiteral("--overwrite") } + arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QImage(existing).size(), QSize(160, 120));
    }

    // The photo's EXIF reaches the new file unless the line says otherwise.
    void metadataKeptUnlessSwitchedOff_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("kept");
        QTest::newRow("default") << QStringList {} << true;
        QTest::newRow("off") << QStringList { QStringLiteral("--keep-metadata"), QStringLiteral("off") }
                             << false;
    }

    void metadataKeptUnlessSwitchedOff()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, kept);
        const QString source = path(QStringLiteral("tagged.jpg"));
        if (!QFileInfo::exists(source)) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            QVERIFY(buffer.open(QIODevice::WriteOnly) && makePhotoLike(80, 60).save(&buffer, "JPG"));
            // An APP1 block with one IFD entry (orientation 1, upright) after the APP0 block.
            const QByteArray exif = QByteArray("\xFF\xE1\x00\x22", 4) + QByteArray("Exif\0\0", 6)
                + QByteArray("MM\x00\x2A\x00\x00\x00\x08", 8) + QByteArray("\x00\x01", 2)
                + QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01\x00\x01\x00\x00", 12) + QByteArray(4, '\0');
            jpeg.insert(4 + ((uchar(jpeg.at(4)) << 8) | uchar(jpeg.at(5))), exif);
            QVERIFY(writeFile(source, jpeg));
        }
        const QString out = path(QStringLiteral("metadata-") + QTest::currentDataTag());
        const CliRun run = runCli(options
            + QStringList {
                QStringLiteral("--format"), QStringLiteral("JPG"), source, QStringLiteral("-o"), out });
        QCOMPARE(run.exitCode, 0);
        QFile result(out + QStringLiteral("/tagged.jpg"));
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll().contains(QByteArray("Exif\0\0", 6)), kept);
    }

    // A broken source is listed with its reason, the others are converted, and the JSON report
    // says so for each file and matches the disk.
    void brokenSourceIsListedAndJsonMatchesTheDisk()
    {
        const QString in = path(QStringLiteral("mixed"));
        QDir().mkpath(in);
        QVERIFY(QFile::copy(sources + QStringLiteral("/beach.png"), in + QStringLiteral("/beach.png")));
        QVERIFY(writeFile(in + QStringLiteral("/broken.jpg"), "\xff\xd8\xff\xe0 not really"));
        const QString out = path(QStringLiteral("mixed-out"));
        const CliRun run = runCli({ QStringLiteral("--json"), QStringLiteral("--format"),
            QStringLiteral("WEBP"), in, QStringLiteral("-o"), out });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("failed: " + in.toUtf8() + "/broken.jpg: "), run.err.constData());

        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray files = report.value(QStringLiteral("files")).toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(report.value(QStringLiteral("converted")).toInt(), 1);
        QCOMPARE(report.value(QStringLiteral("failed")).toInt(), 1);
        for (const QJsonValue &value : files) {
            const QJsonObject file = value.toObject();
            const bool converted
                = file.value(QStringLiteral("result")).toString() == QLatin1String("converted");
            QCOMPARE(converted,
                file.value(QStringLiteral("source")).toString().endsWith(QLatin1String("beach.png")));
            QCOMPARE(QFileInfo::exists(file.value(QStringLiteral("target")).toString()), converted);
            QCOMPARE(file.value(QStringLiteral("reason")).toString().isEmpty(), converted);
        }
        QCOMPARE(filesUnder(out), QStringList { QStringLiteral("beach.webp") });
    }

    void foldersAreScanned_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("top folder only") << QStringList {} << QStringList { "beach.png" };
        QTest::newRow("recursive") << QStringList { "--recursive" }
                                   << QStringList { "beach.png", "boat.png", "hill.png" };
        QTest::newRow("keep folders") << QStringList { "--recursive", "--keep-folders" }
                                      << QStringList { "beach.png", "trip/boat.png", "trip/day2/hill.png" };
    }

    void foldersAreScanned()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, files);
        const QString out = path(QStringLiteral("tree-") + QString::number(options.size()));
        const CliRun run = runCli(options
            + QStringList {
                QStringLiteral("--format"), QStringLiteral("PNG"), sources, QStringLiteral("-o"), out });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(filesUnder(out), files);
    }

    // A folder's files come in the window's natural order, as {counter} shows.
    void folderFilesComeInNaturalOrder()
    {
        const QString in = path(QStringLiteral("numbered")), out = path(QStringLiteral("numbered-out"));
        QDir().mkpath(in);
        QStringList expected;
        for (const char *name : { "IMG_1", "img_2", "IMG_9", "IMG_10", "IMG_11", "IMG_100" }) {
            QVERIFY(saveImage(makePhotoLike(8, 6), in + QLatin1Char('/') + name + ".png"));
            expected
                << QStringLiteral("%1-%2.png").arg(expected.size() + 1, 3, 10, QLatin1Char('0')).arg(name);
        }
        const CliRun run = runCli({ "--format", "PNG", "--file-name", "{counter}-{name}", in, "-o", out });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(filesUnder(out), expected);
    }

    // The same line run again tomorrow: a run that skips what it was asked to skip succeeds, one
    // that finds its targets there unasked says so; nothing is ever replaced without --overwrite.
    void runTwice_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("secondExit");
        QTest::addColumn<QString>("secondResult");
        QTest::newRow("targets there unasked") << QStringList {} << 1 << "skipped";
        QTest::newRow("when-exists skip") << QStringList { "--when-exists", "skip" } << 0 << "skipped";
        QTest::newRow("preset says skip") << QStringList { "--preset", "skip.ini" } << 0 << "skipped";
        QTest::newRow("overwrite") << QStringList { "--overwrite" } << 0 << "converted";
        QTest::newRow("pdf unasked") << QStringList { "--format", "PDF" } << 1 << "skipped";
        QTest::newRow("pdf skip") << QStringList { "--format", "PDF", "--when-exists", "skip" } << 0
                                  << "skipped";
    }

    void runTwice()
    {
        QFETCH(QStringList, options);
        QFETCH(int, secondExit);
        QFETCH(QString, secondResult);
        QVERIFY(writeFile(path(QStringLiteral("skip.ini")), "[MainApp]\ntargetExistsAction=1\n"));
        options.replaceInStrings(
            QRegularExpression(QStringLiteral("^skip.ini$")), path(QStringLiteral("skip.ini")));
        const QString out = path(QStringLiteral("twice-") + QTest::currentDataTag());
        const QStringList line = options
            + QStringList { QStringLiteral("--json"), sources + QStringLiteral("/beach.png"),
                  QStringLiteral("-o"), out };
        const CliRun first = runCli(line);
        QVERIFY2(first.exitCode == 0, first.err.constData());
        const QStringList written = filesUnder(out);
        QCOMPARE(written.size(), 1);
        const QByteArray before = fileDigest(out + QLatin1Char('/') + written.first());
        const CliRun second = runCli(line);
        QVERIFY2(second.exitCode == secondExit, second.err.constData());
        QCOMPARE(filesUnder(out), written);
        const QJsonObject file = QJsonDocument::fromJson(second.out)
                                     .object()
                                     .value(QStringLiteral("files"))
                                     .toArray()
                                     .at(0)
                                     .toObject();
        QCOMPARE(file.value(QStringLiteral("result")).toString(), secondResult);
        if (secondResult == QLatin1String("skipped"))
            QCOMPARE(fileDigest(out + QLatin1Char('/') + written.first()), before);
    }

    // An output folder inside the folder converted holds the last run's results: they are never
    // taken as sources, however often the line runs.
    void outputInsideInputIsNotScanned_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("output"); // below the input folder
        QTest::addColumn<QStringList>("files");
        QTest::newRow("keep folders") << QStringList { "--recursive", "--keep-folders" } << "web"
                                      << QStringList { "beach.png", "trip/boat.png", "trip/day2/hill.png" };
        QTest::newRow("flat") << QStringList { "--recursive" } << "web"
                              << QStringList { "beach.png", "boat.png", "hill.png" };
        QTest::newRow("deeper") << QStringList { "--recursive" } << "trip/web"
                                << QStringList { "beach.png", "boat.png", "hill.png" };
        QTest::newRow("through a link")
            << QStringList { "--recursive" } << "link" << QStringList { "beach.png", "boat.png", "hill.png" };
    }

    void outputInsideInputIsNotScanned()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, output);
        QFETCH(QStringList, files);
        const QString photos = path(QStringLiteral("inside-") + QTest::currentDataTag());
        QVERIFY(QProcess::execute(QStringLiteral("cp"), { QStringLiteral("-r"), sources, photos }) == 0);
        QString out = photos + QLatin1Char('/') + output;
        if (output == QLatin1String("link")) {
            // The output folder named through a link to a folder inside the input.
            QDir().mkpath(photos + QStringLiteral("/web"));
            QVERIFY(QFile::link(photos + QStringLiteral("/web"), path(QStringLiteral("link-to-web"))));
            out = path(QStringLiteral("link-to-web"));
        }
        const QStringList line = options
            + QStringList { QStringLiteral("--format"), QStringLiteral("PNG"),
                  QStringLiteral("--when-exists"), QStringLiteral("skip"), photos, QStringLiteral("-o"),
                  out };
        for (int run = 0; run < 2; ++run) {
            const CliRun result = runCli(line);
            QVERIFY2(result.exitCode == 0, result.err.constData());
            QCOMPARE(filesUnder(out), files);
        }
    }

    // Names echoed from a preset or a folder cannot drive the terminal; names that are not
    // UTF-8 are reported as not converted, not left out in silence.
    void hostileNamesAreReported_data()
    {
        QTest::addColumn<QByteArray>("presetLine");
        QTest::addColumn<QByteArray>("rawName"); // a file beside a good one in the input folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("escape in a key") << QByteArray("bad\x1b[31mkey=1") << QByteArray() << 0
                                         << QByteArray("preset: ignored MainApp/bad\\x1b[31mkey");
        QTest::newRow("bell in a key")
            << QByteArray("b\x07=1") << QByteArray() << 0 << QByteArray("ignored MainApp/b\\x07 ");
        QTest::newRow("latin-1 name") << QByteArray() << QByteArray("caf\xe9.png") << 1
                                      << QByteArray("caf\xef\xbf\xbd.png: name not valid UTF-8");
    }

    void hostileNamesAreReported()
    {
        QFETCH(QByteArray, presetLine);
        QFETCH(QByteArray, rawName);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const QString in = path(QStringLiteral("hostile-") + QTest::currentDataTag());
        QDir().mkpath(in);
        QVERIFY(QFile::copy(sources + QStringLiteral("/beach.png"), in + QStringLiteral("/beach.png")));
        const QByteArray raw = QFile::encodeName(in) + '/' + rawName;
        if (!rawName.isEmpty()) {
            FILE *file = std::fopen(raw.constData(), "wb");
            QVERIFY(file);
            std::fclose(file);
        }
        const QString preset = in + QStringLiteral(".ini");
        QVERIFY(writeFile(preset, "[MainApp]\ntargeFileType=6\n" + presetLine + "\n"));
        const CliRun run = runCli(
            { QStringLiteral("--preset"), preset, in, QStringLiteral("-o"), in + QStringLiteral("-out") });
        if (!rawName.isEmpty())
            std::remove(raw.constData());
        QVERIFY2(run.exitCode == exitCode, run.err.constData());
        QVERIFY2(run.err.contains(message), run.err.constData());
        for (const char control : { '\x1b', '\x07' })
            QVERIFY(!run.err.contains(control));
        QCOMPARE(filesUnder(in + QStringLiteral("-out")), QStringList { QStringLiteral("beach.png") });
    }

    // A preset written by hand from the documentation, with names or with the window's numbers,
    // converts the same; one that sets nothing or names no target stops before any work.
    void handWrittenPreset_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("readable") << QByteArray(
            "targeFileType=JPG\ntextPosition=Bottom - Right\nscaleImage=true\n"
            "scalePercentage=50\ntextContent=Studio\n")
                                  << 0 << "";
        QTest::newRow("numbers") << QByteArray("targeFileType=4\ntextPosition=8\nscaleImage=1\n"
                                               "scalePercentage=50\ntextContent=Studio\n")
                                 << 0 << "";
        QTest::newRow("unknown key beside")
            << QByteArray("targeFileType=jpeg\nscaleImage=on\nscalePercentage=50\n"
                          "textContent=Studio\nsharpen=2\n")
            << 0 << "preset: ignored MainApp/sharpen";
        QTest::newRow("none valid") << QByteArray("sharpen=2\ntextSize=big\n") << 2
                                    << "no key could be used (MainApp/textSize, MainApp/sharpen)";
        QTest::newRow("empty") << QByteArray() << 2 << "no key could be used";
        QTest::newRow("wrong format") << QByteArray("targeFileType=BMP\nscaleImage=true\n") << 2
                                      << "targeFileType is not a target format; use one of AVIF, GIF";
    }

    void handWrittenPreset()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString tag
            = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString preset = path(QStringLiteral("hand-") + tag + QStringLiteral(".ini"));
        QVERIFY(writeFile(preset, "[MainApp]\n" + content));
        const QString out = path(QStringLiteral("hand-") + tag);
        const CliRun run = runCli({ QStringLiteral("--preset"), preset,
            sources + QStringLiteral("/beach.png"), QStringLiteral("-o"), out });
        QVERIFY2(run.exitCode == exitCode, run.err.constData());
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        if (exitCode != 0) {
            QVERIFY(filesUnder(out).isEmpty());
            return;
        }
        QCOMPARE(filesUnder(out), QStringList { QStringLiteral("beach.jpg") });
        QCOMPARE(QImage(out + QStringLiteral("/beach.jpg")).size(), QSize(80, 60));
        const QString first = path(QStringLiteral("hand-readable/beach.jpg"));
        QCOMPARE(fileDigest(out + QStringLiteral("/beach.jpg")), fileDigest(first));
    }

    // The README's table of preset keys is the one the program prints, and names every key.
    void presetKeysAreDocumented()
    {
        const CliRun markdown = runCli({ QStringLiteral("--preset-keys-markdown") });
        QCOMPARE(markdown.exitCode, 0);
        const QByteArray readme = readFile(QStringLiteral(PICTOMAT_SOURCE_DIR "/README.md"));
        QVERIFY2(
            readme.contains(markdown.out), "README.md's preset table differs from --preset-keys-markdown");
        const CliRun text = runCli({ QStringLiteral("--preset-keys") });
        const QByteArray manPage
            = readFile(QCoreApplication::applicationDirPath() + QStringLiteral("/../pictomat-cli.1"));
        for (const SettingKey &key : settingKeys()) {
            const bool machine
                = key.key == QLatin1String("lastPicturesDir") || key.key == QLatin1String("threadLimit");
            QCOMPARE(markdown.out.contains("| `" + key.key.toUtf8() + "` |"), !machine);
            QCOMPARE(text.out.contains("  " + key.key.toUtf8() + " ("), !machine);
            QCOMPARE(manPage.contains("\\fB" + key.key.toUtf8() + "\\fR"), !machine);
        }
        QVERIFY(text.out.contains("  textPosition (choice)\n      \"Top - Left\""));
    }

    void helpAndManPageListEveryOption()
    {
        const CliRun run = runCli({ QStringLiteral("--help") });
        QCOMPARE(run.exitCode, 0);
        const QByteArray manPage
            = readFile(QCoreApplication::applicationDirPath() + QStringLiteral("/../pictomat-cli.1"));
        QVERIFY(!manPage.isEmpty());
        const QRegularExpression option(
            QStringLiteral("^  (?:-\\w, )?--([\\w-]+)"), QRegularExpression::MultilineOption);
        int count = 0;
        for (auto it = option.globalMatch(QString::fromUtf8(run.out)); it.hasNext(); ++count) {
            const QString name = it.next().captured(1);
            QVERIFY2(manPage.contains("\\-\\-" + name.toUtf8().replace("-", "\\-")), qPrintable(name));
        }
        QVERIFY(count > 30);
        QVERIFY(run.out.contains("(default 95, 0 to 99)"));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
