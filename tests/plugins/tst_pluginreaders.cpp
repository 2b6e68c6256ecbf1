#include "formattesthelpers.h"
#include "testsupport.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The most resident memory the process has had so far (VmHWM), in bytes.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace

// Our AVIF, HEIF and JPEG XL readers around the pixels: how much of a file they take, and what
// they make of crops, colour descriptions and depths.
class TestPluginReaders : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImageReader::setAllocationLimit(256);
    }

    void boundedReads_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<qint64>("fileBytes");
        QTest::addColumn<bool>("readable");
        for (const char *ext : { "avif", "heic", "jxl" }) {
            QTest::addRow("%s of 30 GB", ext) << QString::fromLatin1(ext) << (qint64(30) << 30) << false;
            QTest::addRow("%s of 400 MB", ext) << QString::fromLatin1(ext) << (qint64(400) << 20) << true;
        }
    }

    // A picture followed by a sparse stretch of zeros: beyond what any picture within the
    // allocation limit could need, the file is refused before it is read; within it, the picture
    // is decoded without the file ever being held in memory.
    void boundedReads()
    {
        QFETCH(QString, ext);
        QFETCH(qint64, fileBytes);
        QFETCH(bool, readable);
        const QString path = dir.filePath(QStringLiteral("padded-%1.%2").arg(fileBytes).arg(ext));
        const QImage picture = TestSupport::makePhotoLike(64, 48);
        QCOMPARE(FormatTest::write(picture, path), QString());
        QFile file(path);
        QVERIFY(file.resize(fileBytes));

        const qint64 before = peakResidentBytes();
        QImageReader reader(path);
        QImage image;
        QCOMPARE(reader.read(&image), readable);
        if (readable)
            QCOMPARE(image.size(), picture.size());
        const qint64 grown = peakResidentBytes() - before;
        QVERIFY2(grown < (64 << 20), qPrintable(QStringLiteral("the reader took %1 MB").arg(grown >> 20)));
    }
};

QTEST_MAIN(TestPluginReaders)
#include "tst_pluginreaders.moc"
