// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/targetnaming.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestTargetNaming : public QObject, private TestSupport::JobFolders {
    Q_OBJECT

private:
    QString source(const QString &relative, QSize size = QSize(40, 30))
    {
        const QString path = in + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!TestSupport::makePhotoLike(size.width(), size.height()).save(path))
            qFatal("cannot write fixture");
        return path;
    }

    ConvertImagesThread *runJob(const QStringList &urls, const QString &ext = ".png")
    {
        auto *job = new ConvertImagesThread(this);
        job->_urls = urls;
        job->targetFolder = out;
        job->targetExt = ext;
        job->start();
        if (!job->wait(60000))
            qFatal("job did not finish");
        return job;
    }

    QStringList written() const
    {
        QStringList names;
        QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            names.append(QDir(out).relativeFilePath(it.next()));
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init() { resetJobFolders(); }

    void tokens_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default") << "{name}"
                                 << "/p/holiday.2024.tiff"
                                 << "holiday";
        QTest::newRow("counter") << "img_{counter}"
                                 << "/p/a.png"
                                 << "img_007";
        QTest::newRow("date") << "{date} {name}"
                              << "/p/a.png"
                              << "2021-03-04 a";
        QTest::newRow("size") << "{name}-{size}"
                              << "/p/a.png"
                              << "a-1920x1080";
        QTest::newRow("slash in literal text") << "x/{name}"
                                               << "/p/a.png"
                                               << "x_a";
        QTest::newRow("unknown token kept") << "{name}{other}"
                                            << "/p/a.png"
                                            << "a{other}";
        QTest::newRow("empty falls back") << "  "
                                          << "/p/a.png"
                                          << "a";
        QTest::newRow("dots fall back") << ".."
                                        << "/p/a.png"
                                        << "a";
    }

    void tokens()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const TargetNaming::Source source { path, 7, QSize(1920, 1080),
            QDateTime(QDate(2021, 3, 4), QTime(5, 6)) };
        QCOMPARE(TargetNaming::baseName(pattern, source), expected);
    }

    // The default pattern: the source's name up to its first dot, as it is, plus the extension,
    // by the window's job and by pictomat-cli alike.
    void defaultNames_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("expected");
        const QString longName = QString(251, QLatin1Char('n'));
        QTest::newRow("spaces") << QStringList { " lead.png", "trail .png", "sp ace .png" }
                                << QStringList { " lead.jpg", "sp ace .jpg", "trail .jpg" };
        QTest::newRow("space makes another name")
            << QStringList { "a .png", "a.png" } << QStringList { "a .jpg", "a.jpg" };
        QTest::newRow("several dots")
            << QStringList { "holiday.2024.tiff", "x..y.png" } << QStringList { "holiday.jpg", "x.jpg" };
        QTest::newRow("braces") << QStringList { "pic{counter}.png", "{date}.png", "{name}{size}.png" }
                                << QStringList { "pic{counter}.jpg", "{date}.jpg", "{name}{size}.jpg" };
        QTest::newRow("only an extension") << QStringList { ".png" } << QStringList { ".jpg" };
        QTest::newRow("unicode") << QStringList { QString::fromUtf8("Ünïcødé 写真.png") }
                                 << QStringList { QString::fromUtf8("Ünïcødé 写真.jpg") };
        QTest::newRow("255 bytes") << QStringList { longName + ".png" } << QStringList { longName + ".jpg" };
    }

    void defaultNames()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, expected);
        QStringList paths;
        for (const QString &name : sources)
            paths.append(source(name));
        const ConvertImagesThread *job = runJob(paths, ".jpg");
        QVERIFY(job->fileExistsList.isEmpty());
        QCOMPARE(written(), expected);

        const QString cli = QCoreApplication::applicationDirPath() + "/pictomat-cli";
        if (!QFileInfo(cli).isExecutable())
            QSKIP("pictomat-cli is not built");
        QDir(out).removeRecursively();
        QProcess process;
        process.start(cli, QStringList { "--format", "jpg", "-o", out } + paths);
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QCOMPARE(written(), expected);
    }

    void dateTakenFromExif()
    {
        const QString path = source("exif.jpg");
        if (!TestSupport::haveTool("exiftool"))
            QSKIP("exiftool is not installed");
        QCOMPARE(TestSupport::runTool("exiftool",
                     { "-q", "-overwrite_original", "-DateTimeOriginal=2019:12:31 23:59:58", path }),
            0);
        QCOMPARE(TargetNaming::dateTaken(path), QDateTime(QDate(2019, 12, 31), QTime(23, 59, 58)));
        // Without Exif, the file's last change.
        const QString plain = source("plain.png");
        QCOMPARE(TargetNaming::dateTaken(plain), QFileInfo(plain).lastModified());
    }

    void existingTarget_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("reported");
        QTest::newRow("ask") << int(TargetNaming::Ask) << QStringList { "a.png", "b.png" } << 1;
        QTest::newRow("skip") << int(TargetNaming::Skip) << QStringList { "a.png", "b.png" } << 0;
        QTest::newRow("add a number")
            << int(TargetNaming::AddNumber) << QStringList { "a (2).png", "a.png", "b.png" } << 0;
    }

    void existingTarget()
    {
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(int, reported);
        updateOptions([&](ConversionOptions &o) { o.targetExistsAction = action; });
        QVERIFY(TestSupport::makePhotoLike(4, 4).save(out + "/a.png"));
        const QByteArray before = TestSupport::fileDigest(out + "/a.png");
        const ConvertImagesThread *job = runJob({ source("a.jpg"), source("b.jpg") });
        QCOMPARE(job->fileExistsList.size(), reported);
        QCOMPARE(written(), files);
        QCOMPARE(TestSupport::fileDigest(out + "/a.png"), before);
    }

    // Two sources with one target name: numbered rather than refused.
    void addNumberSettlesSameNames()
    {
        updateOptions([&](ConversionOptions &o) { o.targetExistsAction = TargetNaming::AddNumber; });
        runJob({ source("a.x.jpg"), source("a.y.jpg"), source("sub/a.jpg") });
        QCOMPARE(written(), (QStringList { "a (2).png", "a (3).png", "a.png" }));
    }

    void folders_data()
    {
        QTest::addColumn<bool>("keepFolders");
        QTest::addColumn<bool>("nextToOriginal");
        QTest::addColumn<QStringList>(
            "expected"); // relative to the output folder, or to "in" when next to it
        QTest::newRow("flat") << false << false << QStringList { "a.png", "c.png" };
        QTest::newRow("keep structure") << true << false << QStringList { "a.png", "one/two/c.png" };
        QTest::newRow("next to original") << false << true << QStringList { "a.png", "one/two/c.png" };
    }

    void folders()
    {
        QFETCH(bool, keepFolders);
        QFETCH(bool, nextToOriginal);
        QFETCH(QStringList, expected);
        updateOptions([&](ConversionOptions &o) {
            o.keepFolderStructure = keepFolders;
            o.saveNextToOriginal = nextToOriginal;
        });
        runJob({ source("a.jpg"), source("one/two/c.jpg") });
        const QString base = nextToOriginal ? in : out;
        for (const QString &file : expected)
            QVERIFY2(QFile::exists(base + "/" + file), qPrintable(file));
        if (nextToOriginal)
            QVERIFY(written().isEmpty());
    }
};

QTEST_MAIN(TestTargetNaming)
#include "tst_targetnaming.moc"
