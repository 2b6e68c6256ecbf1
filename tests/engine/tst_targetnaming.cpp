#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/targetnaming.h"
#include "imaging/renderpipeline.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
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
        QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories);
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
