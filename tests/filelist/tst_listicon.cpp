// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/listicon.h"
#include "plugins/imageformats/common/metadatakeys.h"
#include "testsupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstring>
#include <memory>

#include <libheif/heif.h>

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

heif_image *toHeifImage(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image *image = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image)
            .code
        != heif_error_Ok)
        return nullptr;
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; plane && y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return image;
}

// A HEIC or AVIF file as a phone writes it: the picture, turned by `orientation`, and when
// `thumbnailSide` > 0 a thumbnail of at most that side, made from `thumbnailSource` (the same
// picture in a real file; another one here, so that the test sees which one an icon came from).
bool writeHeif(const QString &path, heif_compression_format codec, const QImage &picture,
    const QImage &thumbnailSource, int thumbnailSide, int orientation)
{
    heif_init(nullptr);
    std::unique_ptr<heif_context, void (*)(heif_context *)> context(heif_context_alloc(), heif_context_free);
    heif_encoder *encoder = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), codec, &encoder).code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_encoder, void (*)(heif_encoder *)> encoderOwner(encoder, heif_encoder_release);
    heif_encoder_set_lossy_quality(encoder, 90);
    // The fastest settings: the test is about reading.
    if (codec == heif_compression_HEVC)
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
    else
        heif_encoder_set_parameter_integer(encoder, "speed", 8);
    std::unique_ptr<heif_encoding_options, void (*)(heif_encoding_options *)> options(
        heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = heif_orientation(orientation);
    std::unique_ptr<heif_image, void (*)(const heif_image *)> image(toHeifImage(picture), heif_image_release);
    heif_image_handle *handle = nullptr;
    if (!image
        || heif_context_encode_image(context.get(), image.get(), encoder, options.get(), &handle).code
            != heif_error_Ok)
        return false;
    std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle *)> handleOwner(
        handle, heif_image_handle_release);
    if (thumbnailSide > 0) {
        std::unique_ptr<heif_image, void (*)(const heif_image *)> source(
            toHeifImage(thumbnailSource), heif_image_release);
        heif_image_handle *thumbnail = nullptr;
        if (heif_context_encode_thumbnail(
                context.get(), source.get(), handle, encoder, options.get(), thumbnailSide, &thumbnail)
                .code
            != heif_error_Ok)
            return false;
        heif_image_handle_release(thumbnail);
    }
    return heif_context_write_to_file(context.get(), QFile::encodeName(path).constData()).code
        == heif_error_Ok;
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
        QVERIFY(writeFile(path, data));

        const ListIcon expected = fullDecodeIcon(path);
        const ListIcon made = makeListIcon(path);
        QCOMPARE(made.sizeStr, expected.sizeStr);
        QCOMPARE(made.image.size(), expected.image.size());
        const double quality = psnr(expected.image, made.image);
        QVERIFY2(quality >= 30, qPrintable(QString::number(quality)));
        if (format == "png")
            QCOMPARE(made.image, expected.image);
    }

    // HEIF and AVIF icons come from the file's thumbnail when it covers the icon; the rest from
    // the whole picture, as before. The
    // thumbnail here is the picture in inverted colours, so the icon tells where it came from.
    void reducedDecodes_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("thumbnailSide");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("reduced");
        QTest::newRow("heic thumbnail") << "heic" << 320 << 1 << true;
        QTest::newRow("heic thumbnail turned") << "heic" << 320 << 6 << true;
        QTest::newRow("heic thumbnail under 64 pixels") << "heic" << 80 << 1 << false;
        QTest::newRow("heic without thumbnail") << "heic" << 0 << 1 << false;
        QTest::newRow("avif thumbnail") << "avif" << 320 << 8 << true;
        QTest::newRow("avif without thumbnail") << "avif" << 0 << 1 << false;
        QTest::newRow("jxl lossy") << "jxl" << 90 << 1 << false;
        QTest::newRow("jxl lossless") << "jxl" << 100 << 1 << false;
    }

    void reducedDecodes()
    {
        QFETCH(QString, suffix);
        QFETCH(int, thumbnailSide);
        QFETCH(int, orientation);
        QFETCH(bool, reduced);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.") + suffix);
        const QImage picture = smoothPicture(QSize(900, 600));
        QImage inverted = picture;
        inverted.invertPixels();
        if (suffix == QLatin1String("jxl")) {
            QVERIFY(TestSupport::saveImage(picture, path, thumbnailSide));
            QCOMPARE(QImageReader(path).text(QLatin1String(MetadataKeys::ReducedSizes)).isEmpty(), !reduced);
        } else if (!writeHeif(path,
                       suffix == QLatin1String("heic") ? heif_compression_HEVC : heif_compression_AV1,
                       picture, inverted, thumbnailSide, orientation)) {
            QSKIP("libheif has no encoder for this format");
        }

        const ListIcon expected = fullDecodeIcon(path);
        const ListIcon made = makeListIcon(path);
        QCOMPARE(made.sizeStr, expected.sizeStr);
        QCOMPARE(made.image.size(), expected.image.size());
        QImage source = expected.image;
        if (reduced && suffix != QLatin1String("jxl"))
            source.invertPixels();
        const double quality = psnr(source, made.image);
        QVERIFY2(quality >= 30, qPrintable(QString::number(quality)));
    }

    void iconLooksLikeThePicture_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::newRow("jpeg 1/8") << QSize(1200, 800);
        QTest::newRow("jpeg 1/2 upright") << QSize(160, 240);
    }

    // Fine detail, as grass or gravel in a photograph: the icon is the picture averaged to its
    // size, not a sampling of some of its pixels.
    void iconLooksLikeThePicture()
    {
        QFETCH(QSize, stored);
        QImage picture(stored, QImage::Format_RGB32);
        for (int y = 0; y < stored.height(); ++y) {
            for (int x = 0; x < stored.width(); ++x) {
                const uint cell = uint(x / 3) * 2654435761u ^ uint(y / 3) * 40503u;
                const int grey = 64 + int((cell >> 13) & 0x7f);
                picture.setPixel(x, y, qRgb(grey, 255 - grey, 128));
            }
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gravel.jpg"));
        QVERIFY(saveImage(picture, path, 95));
        const ListIcon made = makeListIcon(path);
        const QImage averaged = QImageReader(path).read().scaled(
            made.image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double quality = psnr(averaged, made.image);
        QVERIFY2(quality >= 30, qPrintable(QString::number(quality)));
    }

    void unreadableFileHasNoIcon()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.jpg"));
        QVERIFY(writeFile(path, "\xFF\xD8\xFF\xE0 not a picture"));
        const ListIcon made = makeListIcon(path);
        QCOMPARE(made.sizeStr, QStringLiteral("0x0"));
        QVERIFY(made.image.isNull());
    }
};

QTEST_MAIN(TestListIcon)
#include "tst_listicon.moc"
