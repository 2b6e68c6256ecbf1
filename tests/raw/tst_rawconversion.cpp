#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/outputformats.h"
#include "convert/rawpairs.h"
#include "convert/targetnaming.h"
#include "dngfile.h"
#include "testsupport.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

// A memory card's DCIM folder of RAW and JPEG pairs, converted as the window's Convert does.
class TestRawConversion : public QObject, private JobFolders {
    Q_OBJECT

private slots:
    void init() { resetJobFolders(); }
    void pairs_data();
    void pairs();
    void cardToEveryTarget_data();
    void cardToEveryTarget();
    void pairOfOneShotSharesItsName();

private:
    // Two shots, each a DNG (the second turned a quarter right) and the camera's JPEG.
    QStringList writeCard()
    {
        QDir(in).mkpath(QStringLiteral("DCIM/100CANON"));
        const QString folder = in + QStringLiteral("/DCIM/100CANON/");
        QStringList files;
        for (int shot = 1; shot <= 2; ++shot) {
            DngFile::Recipe recipe;
            recipe.scene = makePhotoLike(96, 64);
            recipe.orientation = shot == 2 ? 6 : 1;
            recipe.preview = recipe.scene;
            const QString name = folder + QStringLiteral("IMG_000%1").arg(shot);
            if (!DngFile::write(name + QStringLiteral(".DNG"), recipe)
                || !saveImage(
                    DngFile::upright(recipe.scene, recipe.orientation), name + QStringLiteral(".JPG")))
                return {};
            files << name + QStringLiteral(".DNG") << name + QStringLiteral(".JPG");
        }
        return files;
    }

    bool runJob(const QStringList &sources, const QString &extension)
    {
        auto *job = new ConvertImagesThread;
        job->_urls = sources;
        job->targetFolder = out;
        job->targetExt = extension;
        job->start();
        const bool finished = job->wait(300000);
        failures = job->failures();
        delete job;
        return finished;
    }

    ConversionFailureList failures;
};

void TestRawConversion::pairs_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("kept");

    const QStringList card
        = { "/c/IMG_1.CR2", "/c/IMG_1.JPG", "/c/IMG_2.JPG", "/c/IMG_3.nef", "/c/IMG_3.jpeg", "/c/IMG_3.png" };
    QTest::newRow("camera pairs") << card
                                  << QStringList { "/c/IMG_1.CR2", "/c/IMG_2.JPG", "/c/IMG_3.nef",
                                         "/c/IMG_3.png" };
    QTest::newRow("RAW listed after its JPEG")
        << QStringList { "/c/a.jpg", "/c/a.dng" } << QStringList { "/c/a.dng" };
    QTest::newRow("another folder is another shot")
        << QStringList { "/c/a.dng", "/d/a.jpg" } << QStringList { "/c/a.dng", "/d/a.jpg" };
    QTest::newRow("no RAW") << QStringList { "/c/a.jpg", "/c/a.png" }
                            << QStringList { "/c/a.jpg", "/c/a.png" };
    // Linux tells IMG_4 from img_4.
    QTest::newRow("name differs in case")
        << QStringList { "/c/IMG_4.ARW", "/c/img_4.jpg" } << QStringList { "/c/IMG_4.ARW", "/c/img_4.jpg" };
}

void TestRawConversion::pairs()
{
    QFETCH(QStringList, sources);
    QFETCH(QStringList, kept);
    QCOMPARE(RawPairs::withoutPairedJpegs(sources), kept);
}

void TestRawConversion::cardToEveryTarget_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("deep");
    for (int position = 0; position < PdfTargetPosition; ++position) {
        const TargetFormat &format = targetFormatAt(position);
        const bool deep = format.extension == QLatin1String(".png")
            || format.extension == QLatin1String(".tiff") || format.extension == QLatin1String(".tif");
        QTest::newRow(qPrintable(format.text)) << position << deep;
    }
}

// With only the RAW of each pair converted, every target gets both shots upright, 16 bits deep
// where it holds them.
void TestRawConversion::cardToEveryTarget()
{
    QFETCH(int, target);
    QFETCH(bool, deep);
    const QStringList card = writeCard();
    QCOMPARE(card.size(), 4);
    const QStringList sources = RawPairs::withoutPairedJpegs(card);
    QCOMPARE(sources.size(), 2);
    const QString extension = targetFormatAt(target).extension;
    QVERIFY(runJob(sources, extension));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.isEmpty() ? QString() : failures.first().reason));
    const QSize sizes[] = { QSize(96, 64), QSize(64, 96) };
    for (int shot = 1; shot <= 2; ++shot) {
        QImageReader reader(out + QStringLiteral("/IMG_000%1").arg(shot) + extension);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.fileName() + QLatin1Char(' ') + reader.errorString()));
        QCOMPARE(image.size(), sizes[shot - 1]);
        if (deep)
            QVERIFY(image.depth() == 64 || image.format() == QImage::Format_RGBX64);
    }
}

// The camera's pair names one target: the same-name rule reports the second, "Add a number" keeps both.
void TestRawConversion::pairOfOneShotSharesItsName()
{
    const QStringList card = writeCard();
    QCOMPARE(card.size(), 4);
    const QStringList shot = card.mid(0, 2);
    QVERIFY(runJob(shot, QStringLiteral(".png")));
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.first().source, shot.at(1));

    ConversionOptions options = optionsSnapshot();
    options.targetExistsAction = TargetNaming::AddNumber;
    const QStringList targets = TargetNaming::planTargets(shot, out, QStringLiteral(".png"), options);
    QCOMPARE(targets.size(), 2);
    QVERIFY(targets.at(0) != targets.at(1));
}

QTEST_MAIN(TestRawConversion)
#include "tst_rawconversion.moc"
