#include "dngfile.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <QTransform>
#include <QtDebug>
#include <cmath>
#include <vector>

#include <tiffio.h>

namespace DngFile {

const float ColorMatrix[9] = { 0.9f, -0.3f, -0.08f, -0.42f, 1.25f, 0.18f, -0.06f, 0.17f, 0.62f };

namespace {

    double linear(int encoded)
    {
        const double v = encoded / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }

    // sRGB (D65) to XYZ, the matrix LibRaw uses.
    const double XyzFromRgb[3][3] = { { 0.412453, 0.357580, 0.180423 }, { 0.212671, 0.715160, 0.072169 },
        { 0.019334, 0.119193, 0.950227 } };

    // The camera's response to linear sRGB, each row scaled so that white gives one in every
    // channel before the white balance, as raw developers read a colour matrix.
    void cameraFromRgb(double out[3][3])
    {
        for (int i = 0; i < 3; ++i) {
            double sum = 0;
            for (int j = 0; j < 3; ++j) {
                out[i][j] = 0;
                for (int k = 0; k < 3; ++k)
                    out[i][j] += ColorMatrix[i * 3 + k] * XyzFromRgb[k][j];
                sum += out[i][j];
            }
            for (int j = 0; j < 3; ++j)
                out[i][j] /= sum;
        }
    }

    std::vector<quint16> mosaic(const Recipe &recipe)
    {
        double camera[3][3];
        cameraFromRgb(camera);
        const QImage scene = recipe.scene.convertToFormat(QImage::Format_RGB32);
        const int width = scene.width(), height = scene.height();
        // The brightest channel of white stays below the white level.
        const double exposure = 0.9 / qMax(recipe.neutral[0], qMax(recipe.neutral[1], recipe.neutral[2]));
        std::vector<quint16> samples(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(scene.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                // RGGB: red on even rows and columns, blue on odd ones, green between.
                const int channel = (y & 1) + (x & 1);
                const double rgb[3] = { linear(qRed(row[x])), linear(qGreen(row[x])), linear(qBlue(row[x])) };
                double response = 0;
                for (int k = 0; k < 3; ++k)
                    response += camera[channel][k] * rgb[k];
                const double value = recipe.black
                    + (recipe.white - recipe.black) * exposure * recipe.neutral[channel]
                        * qMax(0.0, response);
                samples[size_t(y) * size_t(width) + size_t(x)]
                    = quint16(qBound(0.0, std::round(value), double(recipe.white)));
            }
        }
        return samples;
    }

    bool writePreview(TIFF *tif, const Recipe &recipe)
    {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImage preview = recipe.preview.convertToFormat(QImage::Format_RGB32);
        preview.setColorSpace(QColorSpace());
        if (!QImageWriter(&buffer, "jpeg").write(preview))
            return false;
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(preview.width()));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(preview.height()));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(preview.height()));
        return TIFFWriteRawStrip(tif, 0, jpeg.data(), tmsize_t(jpeg.size())) == tmsize_t(jpeg.size());
    }

    // A small picture where the preview would be, as files without a usable preview carry.
    bool writeTinyThumbnail(TIFF *tif)
    {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 2u);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2u);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 2u);
        uint8_t grey[12];
        std::fill(std::begin(grey), std::end(grey), uint8_t(128));
        return TIFFWriteEncodedStrip(tif, 0, grey, sizeof grey) == tmsize_t(sizeof grey);
    }

    void describeCamera(TIFF *tif, const Recipe &recipe)
    {
        const uint8_t version[4] = { 1, 4, 0, 0 };
        TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
        const uint8_t backward[4] = { 1, 1, 0, 0 };
        TIFFSetField(tif, TIFFTAG_DNGBACKWARDVERSION, backward);
        TIFFSetField(tif, TIFFTAG_MAKE, recipe.make.toLatin1().constData());
        TIFFSetField(tif, TIFFTAG_MODEL, recipe.model.toLatin1().constData());
        const QByteArray unique = (recipe.make + QLatin1Char(' ') + recipe.model).toLatin1();
        TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, unique.constData());
        TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(recipe.orientation));
        TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, ColorMatrix);
        TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, uint16_t(21)); // D65
        TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, recipe.neutral);
    }

    bool writeMosaic(TIFF *tif, const Recipe &recipe)
    {
        const std::vector<quint16> samples = mosaic(recipe);
        const QSize stated = recipe.statedSize.isValid() ? recipe.statedSize : recipe.scene.size();
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(stated.width()));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(stated.height()));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 32803); // CFA
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(stated.height()));
        const uint16_t repeat[2] = { 2, 2 };
        TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, repeat);
        const uint8_t pattern[4] = { 0, 1, 1, 2 };
        TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, pattern);
        TIFFSetField(tif, TIFFTAG_CFALAYOUT, uint16_t(1));
        const float black = float(recipe.black);
        TIFFSetField(tif, TIFFTAG_BLACKLEVEL, 1, &black);
        const uint32_t white = uint32_t(recipe.white);
        TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, &white);
        const tmsize_t bytes = tmsize_t(samples.size() * sizeof(quint16));
        // A stated size beyond the samples is written as it stands: the file is meant to lie.
        return TIFFWriteRawStrip(tif, 0, const_cast<quint16 *>(samples.data()), bytes) == bytes;
    }

} // namespace

bool write(const QString &path, const Recipe &recipe)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif) {
        qWarning("Cannot create %s", qPrintable(path));
        return false;
    }
    uint64_t subIfd = 0;
    TIFFSetField(tif, TIFFTAG_SUBIFD, 1, &subIfd);
    describeCamera(tif, recipe);
    bool ok = (recipe.preview.isNull() ? writeTinyThumbnail(tif) : writePreview(tif, recipe))
        && TIFFWriteDirectory(tif);
    ok = ok && writeMosaic(tif, recipe) && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    if (!ok)
        qWarning("libtiff could not write %s", qPrintable(path));
    return ok;
}

QImage upright(const QImage &scene, int orientation)
{
    switch (orientation) {
    case 2:
        return scene.mirrored(true, false);
    case 3:
        return scene.transformed(QTransform().rotate(180));
    case 4:
        return scene.mirrored(false, true);
    case 5:
        return scene.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return scene.transformed(QTransform().rotate(90));
    case 7:
        return scene.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8:
        return scene.transformed(QTransform().rotate(270));
    default:
        return scene;
    }
}

} // namespace DngFile
