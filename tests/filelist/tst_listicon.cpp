#include "filelist/listicon.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace TestSupport;

namespace {

// Smooth like a photograph: what a reduced decode is meant for.
QImage smoothPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const double u = double(x) / size.width(), v = double(y) / size.height();
            image.setPixel(
                x, y, qRgb(int(255 * u), int(255 * v), int(127 + 100 * std::sin(6 * u) * std::cos(5 * v))));
        }
    }
    return image;
}

// A JPEG whose EXIF orientation (6) turns it a quarter to the right.
QByteArray withRightTurn(QByteArray jpeg)
{
    const QByteArray exif = QByteArray("\xFF\xE1\x00\x22", 4) + QByteArray("Exif\0\0", 6)
        + QByteArray("MM\x00\x2A\x00\x00\x00\x08", 8) + QByteArray("\x00\x01", 2)
        + QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00", 12) + QByteArray(4, '\0');
    const int app0Length = (uchar(jpeg.at(4)) << 8) | uchar(jpeg.at(5));
    return jpeg.insert(4 + app0Length, exif);
}

// The icon and caption as they were made before reduced decodes: the whole picture, scaled.
ListIcon fullDecodeIcon(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    ListIcon icon;
    icon.sizeStr = QString::number(image.width()) + QLatin1Char('x') + QString::number(image.height());
    icon.image = image.width() > image.height() ? image.scaledToHeight(64, Qt::FastTransformation)
                                                : image.scaledToWidth(64, Qt::FastTransformation);
    return icon;
}

} // namespace

class TestListIcon : public QObject {
    Q_OBJECT

private slots:
    void reduction_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("factor");
        QTest::newRow("6000x4000") << QSize(6000, 4000) << 8;
        QTest::newRow("shorter side 511") << QSize(900, 511) << 4;
        QTest::newRow("shorter side 512") << QSize(512, 900) << 8;
        QTest::newRow("shorter side 128") << QSize(128, 128) << 2;
        QTest::newRow("shorter side 127") << QSize(300, 127) << 1;
        QTest::newRow("over the allocation limit") << QSize(12000, 6000) << 1;
        QTest::newRow("no size") << QSize() << 1;
    }

    void reduction()
    {
        QFETCH(QSize, stored);
        QFETCH(int, factor);
        QCOMPARE(jpegReduction(stored, 64), factor);
    }

    // Caption byte for byte and icon size as the whole decode gives them, the icon close to it.
    void sameAsFullDecode_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("turned");
        QTest::newRow("jpeg 1/8") << QSize(1600, 1067) << QByteArray("jpg") << false;
        QTest::newRow("jpeg 1/8 odd size") << QSize(1003, 1601) << QByteArray("jpg") << false;
        QTest::newRow("jpeg 1/4") << QSize(500, 300) << QByteArray("jpg") << false;
        QTest::newRow("jpeg 1/2 square") << QSize(150, 150) << QByteArray("jpg") << false;
        QTest::newRow("jpeg whole") << QSize(90, 60) << QByteArray("jpg") << false;
        QTest::newRow("jpeg turned") << QSize(1200, 800) << QByteArray("jpg") << true;
        QTest::newRow("png") << QSize(640, 480) << QByteArray("png") << false;
    }

    void sameAsFullDecode()
    {
        QFETCH(QSize, stored);
        QFETCH(QByteArray, format);
        QFETCH(bool, turned);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.") + QString::fromLatin1(format));
        QByteArray data;
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && smoothPicture(stored).save(&buffer, format, 90));
        if (turned)
            data = withRightTurn(data);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        file.close();

        const ListIcon expected = fullDecodeIcon(path);
        const ListIcon made = makeListIcon(path);
        QCOMPARE(made.sizeStr, expected.sizeStr);
        QCOMPARE(made.image.size(), expected.image.size());
        const double quality = psnr(expected.image, made.image);
        QVERIFY2(quality >= 30, qPrintable(QString::number(quality)));
        if (format == "png")
            QCOMPARE(made.image, expected.image);
    }

    void unreadableFileHasNoIcon()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("broken.jpg")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("\xFF\xD8\xFF\xE0 not a picture") > 0);
        file.close();
        const ListIcon made = makeListIcon(file.fileName());
        QCOMPARE(made.sizeStr, QStringLiteral("0x0"));
        QVERIFY(made.image.isNull());
    }
};

QTEST_MAIN(TestListIcon)
#include "tst_listicon.moc"
