// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives the built pictomat-cli as a process on real files, next to the window's own job.
#include "convert/conversionoptions.h"
#include "convert/outputformats.h"
#include "dngfile.h"
#include "jobrun.h"
#include "settingrows.h"
#include "settings/preset.h"
#include "settings/settingkey.h"
#include "testsupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDirIterator>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
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
    int reportNumber = 0;

    // The inputs of the report tests: a good picture and a damaged one in a folder, a folder with
    // nothing to convert and a preset that sets nothing.
    void prepareReportInputs()
    {
        const QString in = path(QStringLiteral("report-in"));
        if (QFileInfo::exists(in))
            return;
        QDir().mkpath(in);
        QDir().mkpath(path(QStringLiteral("report-empty")));
        QVERIFY(QFile::copy(sources + QStringLiteral("/beach.png"), in + QStringLiteral("/beach.png")));
        QVERIFY(writeFile(in + QStringLiteral("/broken.jpg"), "\xff\xd8\xff\xe0 not really"));
        QVERIFY(writeFile(path(QStringLiteral("report-empty.ini")), "[MainApp]\n"));
    }

    // Checked by Python's jsonschema, an implementation of JSON Schema of its own.
    void validateAgainstSchema(const QByteArray &json)
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()
            || QProcess::execute(python, { QStringLiteral("-c"), QStringLiteral("import jsonschema") }) != 0)
            QSKIP("python3-jsonschema is not installed");
        const QString file = path(QStringLiteral("report-%1.json").arg(++reportNumber));
        QVERIFY(writeFile(file, json));
        QProcess process;
        process.start(python,
            { QStringLiteral("-c"),
                QStringLiteral(
                    "import json, sys, jsonschema\n"
                    "jsonschema.validate(json.load(open(sys.argv[2])), json.load(open(sys.argv[1])))"),
                QStringLiteral(PICTOMAT_SOURCE_DIR "/tests/cli/report.schema.json"), file });
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    }

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

    void rawAndJpegOfOneShot_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QSize>("written"); // the RAW's size, or the JPEG's
        // By default both are sources of one target name: the second is a failure, as in the window.
        QTest::newRow("default") << QStringList {} << 1 << QSize(64, 48);
        QTest::newRow("only the RAW") << QStringList { "--only-raw-of-pairs", "on" } << 0 << QSize(64, 48);
        QTest::newRow("PDF takes both")
            << QStringList { "--only-raw-of-pairs", "on", "--format", "PDF" } << 0 << QSize();
    }

    // A camera's RAW and JPEG of one shot, given as a folder: --only-raw-of-pairs leaves the JPEG out.
    void rawAndJpegOfOneShot()
    {
        QFETCH(QStringList, line);
        QFETCH(int, exitCode);
        QFETCH(QSize, written);
        const QString card = path(QStringLiteral("card"));
        if (!QFileInfo::exists(card)) {
            QDir().mkpath(card);
            DngFile::Recipe recipe;
            recipe.scene = TestSupport::makePhotoLike(64, 48);
            QVERIFY(DngFile::write(card + QStringLiteral("/IMG_0001.DNG"), recipe));
            QVERIFY(TestSupport::makePhotoLike(32, 24).save(card + QStringLiteral("/IMG_0001.JPG"), "JPEG"));
        }
        const QString out = path(QStringLiteral("pair-") + QTest::currentDataTag());
        const CliRun run = runCli(
            QStringList { QStringLiteral("--format"), QStringLiteral("PNG"), QStringLiteral("--json") } + line
            + QStringList { card, QStringLiteral("-o"), out });
        QVERIFY2(run.exitCode == exitCode, run.err.constData());
        const QJsonArray files
            = QJsonDocument::fromJson(run.out).object().value(QStringLiteral("files")).toArray();
        if (!written.isValid()) {
            QCOMPARE(files.size(), 2);
            if (!TestSupport::haveTool("pdfinfo"))
                QSKIP("pdfinfo is not installed; the pages were not counted");
            QByteArray info;
            QCOMPARE(TestSupport::runTool("pdfinfo", { out + QStringLiteral("/pictomat.pdf") }, &info), 0);
            QVERIFY2(info.contains("Pages:           2"), info.constData());
            return;
        }
        QCOMPARE(files.size(), exitCode == 0 ? 1 : 2);
        QCOMPARE(filesUnder(out), QStringList { QStringLiteral("IMG_0001.png") });
        QCOMPARE(QImage(out + QStringLiteral("/IMG_0001.png")).size(), written);
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

    // Qt's own reader limit is 128 MB; the command line sets the program's 256 MB in its main(),
    // as the window does, so a 36-megapixel picture (144 MB decoded) converts.
    void pictureBeyondQtsOwnLimitConverts()
    {
        QImage big(6000, 6000, QImage::Format_RGB32);
        QVERIFY(!big.isNull());
        big.fill(qRgb(30, 90, 150));
        const QString in = path(QStringLiteral("big"));
        QDir().mkpath(in);
        QVERIFY(big.save(in + QStringLiteral("/big.png")));
        const QString out = path(QStringLiteral("big-out"));
        const CliRun run = runCli({ QStringLiteral("--format"), QStringLiteral("PNG"),
            in + QStringLiteral("/big.png"), QStringLiteral("-o"), out });
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(QImageReader(out + QStringLiteral("/big.png")).size(), QSize(6000, 6000));
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

    // The reports a script reads: checked against the schema kept beside this test, and against
    // the disk, on success, on failures and on the errors that stop a run before any file.
    void jsonReport_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("error");
        QTest::newRow("mixed") << QStringList { "--format", "PNG", "report-in", "gone.png", "-o",
            "report-out" } << 1 << 3
                               << "";
        QTest::newRow("all converted")
            << QStringList { "--format", "JPG", "--scale", "50%", "report-in/beach.png", "-o", "report-half" }
            << 0 << 1 << "";
        QTest::newRow("bad option") << QStringList { "--quality", "100", "gone.png", "-o", "report-out" } << 2
                                    << 0 << "--quality";
        QTest::newRow("bad preset") << QStringList { "--preset", "report-empty.ini", "gone.png", "-o",
            "report-out" } << 2 << 0 << "no key could be used";
        QTest::newRow("nothing to do")
            << QStringList { "report-empty", "-o", "report-out" } << 3 << 0 << "Nothing to do";
    }

    void jsonReport()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(int, files);
        QFETCH(QString, error);
        prepareReportInputs();
        for (QString &argument : arguments) {
            if (!argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("PNG")
                && argument != QLatin1String("JPG") && argument != QLatin1String("50%")
                && argument != QLatin1String("100"))
                argument = path(argument);
        }
        const CliRun run = runCli(QStringList { QStringLiteral("--json") } + arguments);
        QCOMPARE(run.exitCode, exitCode);
        validateAgainstSchema(run.out);
        const QJsonObject report = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(report.value(QStringLiteral("exitCode")).toInt(), exitCode);
        QVERIFY(report.value(QStringLiteral("error")).toString().contains(error));
        const QJsonArray list = report.value(QStringLiteral("files")).toArray();
        QCOMPARE(list.size(), files);
        const QJsonObject totals = report.value(QStringLiteral("totals")).toObject();
        QCOMPARE(totals.value(QStringLiteral("files")).toInt(), files);
        for (const QJsonValue &value : list) {
            const QJsonObject file = value.toObject();
            const QString source = file.value(QStringLiteral("source")).toString();
            const QString target = file.value(QStringLiteral("target")).toString();
            const QString result = file.value(QStringLiteral("result")).toString();
            const QString reason = file.value(QStringLiteral("reason")).toString();
            const QJsonObject sourceSize = file.value(QStringLiteral("sourceSize")).toObject();
            if (source.endsWith(QLatin1String("gone.png"))) {
                QCOMPARE(reason, QStringLiteral("no such file"));
            } else if (source.endsWith(QLatin1String("broken.jpg"))) {
                QCOMPARE(result, QStringLiteral("failed"));
                QVERIFY2(reason != QLatin1String("no such file"), qPrintable(reason));
            } else {
                QCOMPARE(result, QStringLiteral("converted"));
                const QImage written(target);
                QCOMPARE(sourceSize.value(QStringLiteral("width")).toInt(), 160);
                const QJsonObject targetSize = file.value(QStringLiteral("targetSize")).toObject();
                QCOMPARE(QSize(targetSize.value(QStringLiteral("width")).toInt(),
                             targetSize.value(QStringLiteral("height")).toInt()),
                    written.size());
                QCOMPARE(file.value(QStringLiteral("bytes")).toInteger(), QFileInfo(target).size());
                QVERIFY(file.value(QStringLiteral("ms")).toInteger() >= 0);
            }
        }
        const QJsonObject settings
            = report.value(QStringLiteral("options")).toObject().value(QStringLiteral("settings")).toObject();
        if (exitCode < 2)
            QCOMPARE(settings.value(QStringLiteral("targeFileType")).toString(), arguments.at(1));
    }

    // One object a line, each as its file is finished: two runs' outputs joined are still one
    // valid stream, with a line for every file of both.
    void jsonLines()
    {
        prepareReportInputs();
        const CliRun first = runCli({ QStringLiteral("--json-lines"), QStringLiteral("--format"),
            QStringLiteral("WEBP"), path(QStringLiteral("report-in")), path(QStringLiteral("gone.png")),
            QStringLiteral("-o"), path(QStringLiteral("lines-out")) });
        QCOMPARE(first.exitCode, 1);
        const CliRun second
            = runCli({ QStringLiteral("--json-lines"), QStringLiteral("--quality"), QStringLiteral("100"),
                path(QStringLiteral("gone.png")), QStringLiteral("-o"), path(QStringLiteral("lines-out")) });
        QCOMPARE(second.exitCode, 2);
        const QByteArray joined = first.out + second.out;
        const QList<QByteArray> lines = joined.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QStringList results;
        for (const QByteArray &line : lines) {
            validateAgainstSchema(line);
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            results.append(object.contains(QStringLiteral("result"))
                    ? object.value(QStringLiteral("result")).toString()
                    : QStringLiteral("error %1").arg(object.value(QStringLiteral("exitCode")).toInt()));
        }
        results.sort();
        QCOMPARE(results, (QStringList { "converted", "error 2", "failed", "failed" }));
    }

    // --help and the progress bar fit the terminal they are shown on (80 columns when none).
    void fitsTheTerminal_data()
    {
        QTest::addColumn<int>("columns"); // 0: not a terminal
        QTest::addColumn<QString>("what");
        QTest::newRow("help, no terminal") << 0 << "help";
        QTest::newRow("help, 40 columns") << 40 << "help";
        QTest::newRow("help, 132 columns") << 132 << "help";
        QTest::newRow("progress, 50 columns") << 50 << "progress";
        QTest::newRow("progress, 30 columns") << 30 << "progress";
    }

    void fitsTheTerminal()
    {
        QFETCH(int, columns);
        QFETCH(QString, what);
        const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli");
        QByteArray output;
        QString line = what == QLatin1String("help") ? cli + QStringLiteral(" --help")
                                                     : cli
                + QStringLiteral(" --format PNG --overwrite --recursive '%1' -o '%2'")
                      .arg(sources, path(QStringLiteral("bar-out")));
        if (columns == 0) {
            output = runCli({ QStringLiteral("--help") }).out;
        } else {
            if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
                QSKIP("script (util-linux) is not installed: no terminal to try");
            QProcess process;
            process.start(QStringLiteral("script"),
                { QStringLiteral("-qec"), QStringLiteral("stty cols %1 rows 24; %2").arg(columns).arg(line),
                    QStringLiteral("/dev/null") });
            QVERIFY(process.waitForFinished(120000));
            output = process.readAllStandardOutput();
        }
        const int width = columns == 0 ? 80 : columns;
        int longest = 0;
        int lines = 0;
        for (QByteArray piece : output.replace("\r\n", "\n").replace("\x1b[K", "").split('\n')) {
            for (const QByteArray &shown : piece.split('\r')) {
                // The summary after the bar is an ordinary line, which a terminal may wrap.
                if (what == QLatin1String("progress") && !shown.contains("files/s"))
                    continue;
                longest = qMax(longest, int(QString::fromUtf8(shown).size()));
                lines += shown.isEmpty() ? 0 : 1;
            }
        }
        QVERIFY2(
            longest < width, qPrintable(QStringLiteral("%1 columns used of %2").arg(longest).arg(width)));
        QVERIFY(lines > (what == QLatin1String("help") ? 60 : 1));
        if (what == QLatin1String("help") && columns > 100)
            QVERIFY2(longest > 90, "the help does not use a wide terminal");
    }

    // --quiet leaves the failures alone on standard error.
    void quietLeavesTheErrors()
    {
        prepareReportInputs();
        const QString out = path(QStringLiteral("quiet-out"));
        QDir().mkpath(out);
        QVERIFY(writeFile(out + QStringLiteral("/beach.png"), "mine"));
        const CliRun run = runCli({ QStringLiteral("--quiet"), QStringLiteral("--format"),
            QStringLiteral("PNG"), path(QStringLiteral("report-in")), QStringLiteral("-o"), out });
        QCOMPARE(run.exitCode, 1);
        const QList<QByteArray> lines = run.err.trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith("failed: ") && lines.first().contains("broken.jpg"),
            run.err.constData());
    }

    // A picture piped in, out, or both gives the bytes the same line writes for the file itself.
    void pipes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("fromStdin");
        QTest::addColumn<bool>("toStdout");
        for (const char *format : { "PNG", "JPG", "WEBP", "TIFF" }) {
            QTest::newRow(qPrintable(QStringLiteral("%1 in").arg(format))) << format << true << false;
            QTest::newRow(qPrintable(QStringLiteral("%1 out").arg(format))) << format << false << true;
            QTest::newRow(qPrintable(QStringLiteral("%1 in and out").arg(format))) << format << true << true;
        }
    }

    void pipes()
    {
        QFETCH(QString, format);
        QFETCH(bool, fromStdin);
        QFETCH(bool, toStdout);
        const QString tag
            = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString source = sources + QStringLiteral("/trip/boat.webp");
        const QStringList options = { QStringLiteral("--format"), format, QStringLiteral("--scale"),
            QStringLiteral("50%"), QStringLiteral("--text"), QStringLiteral("Piped") };
        const QString fileOut = path(QStringLiteral("pipe-file-") + tag);
        QCOMPARE(runCli(options + QStringList { source, QStringLiteral("-o"), fileOut }).exitCode, 0);
        const QStringList written = filesUnder(fileOut);
        QCOMPARE(written.size(), 1);
        const QByteArray expected = readFile(fileOut + QLatin1Char('/') + written.first());

        const QString pipeOut = path(QStringLiteral("pipe-") + tag);
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli"),
            options
                + QStringList { fromStdin ? QStringLiteral("-") : source, QStringLiteral("-o"),
                    toStdout ? QStringLiteral("-") : pipeOut });
        QVERIFY(process.waitForStarted());
        if (fromStdin)
            process.write(readFile(source));
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        const QByteArray piped = toStdout ? process.readAllStandardOutput() : QByteArray();
        if (toStdout) {
            QCOMPARE(piped.size(), expected.size());
            QVERIFY(piped == expected);
        } else {
            const QStringList files = filesUnder(pipeOut);
            QCOMPARE(files.size(), 1);
            QVERIFY(readFile(pipeOut + QLatin1Char('/') + files.first()) == expected);
        }
    }

    void pipeMisuse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("stdin among files") << QStringList { "-", "x.png", "-o", "o" } << QByteArray("x")
                                           << "standard input can only be the one input";
        QTest::newRow("not a picture")
            << QStringList { "-", "-o", "o" } << QByteArray("hello") << "no picture";
        QTest::newRow("nothing") << QStringList { "-", "-o", "o" } << QByteArray()
                                 << "standard input is empty";
        QTest::newRow("stdout for a folder")
            << QStringList { "folder", "-o", "-" } << QByteArray() << "give one file";
        QTest::newRow("stdout with json")
            << QStringList { "--json", "x.png", "-o", "-" } << QByteArray() << "cannot share it";
    }

    void pipeMisuse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        for (QString &argument : arguments) {
            if (argument == QLatin1String("x.png") || argument == QLatin1String("o"))
                argument = path(argument);
            else if (argument == QLatin1String("folder"))
                argument = sources;
        }
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pictomat-cli"), arguments);
        QVERIFY(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(err.contains(message.toUtf8()), err.constData());
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
