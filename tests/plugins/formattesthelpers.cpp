// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "formattesthelpers.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTransform>
#include <cmath>
#include <limits>

namespace FormatTest {

QString write(const QImage &image, const QString &path, const WriteSettings &settings)
{
    QImageWriter writer(path);
    writer.setQuality(settings.quality);
    if (!settings.subType.isEmpty())
        writer.setSubType(settings.subType);
    writer.setTransformation(settings.transformation);
    if (writer.write(image))
        return {};
    return writer.errorString().isEmpty() ? QStringLiteral("write failed") : writer.errorString();
}

QImage read(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage readData(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage transformedAsQt(const QImage &image, QImageIOHandler::Transformations t)
{
    QImage result
        = image.mirrored(t & QImageIOHandler::TransformationMirror, t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90)
        result = result.transformed(QTransform().rotate(90));
    return result;
}

QImage transformedAsHeif(const QImage &image, int angle, int mirror)
{
    QImage current = image;
    for (int turn = 0; turn < angle; ++turn) {
        // One anti-clockwise quarter turn: the top-right pixel becomes the top-left one.
        QImage turned(current.height(), current.width(), current.format());
        for (int y = 0; y < current.height(); ++y) {
            for (int x = 0; x < current.width(); ++x)
                turned.setPixel(y, current.width() - 1 - x, current.pixel(x, y));
        }
        current = turned;
    }
    QImage result(current.size(), current.format());
    for (int y = 0; y < current.height(); ++y) {
        for (int x = 0; x < current.width(); ++x) {
            const int sx = mirror == 1 ? current.width() - 1 - x : x;
            const int sy = mirror == 0 ? current.height() - 1 - y : y;
            result.setPixel(x, y, current.pixel(sx, sy));
        }
    }
    return result;
}

double psnr16(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 0.0;
    const QImage x = a.convertToFormat(QImage::Format_RGBA64);
    const QImage y = b.convertToFormat(QImage::Format_RGBA64);
    const int channels = a.hasAlphaChannel() && b.hasAlphaChannel() ? 4 : 3;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const quint16 *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const quint16 *>(y.constScanLine(row));
        for (int i = 0; i < x.width() * 4; ++i) {
            if (i % 4 < channels) {
                const double d = double(p[i]) - double(q[i]);
                sum += d * d;
            }
        }
    }
    if (sum == 0)
        return std::numeric_limits<double>::infinity();
    const double mse = sum / (double(x.width()) * x.height() * channels);
    return 10.0 * std::log10(65535.0 * 65535.0 / mse);
}

QImage makeDeepGradient(int width, int height, bool withAlpha)
{
    QImage image(width, height, withAlpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgba64 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint16 r = quint16(20000 + (x * 2048) / qMax(1, width - 1));
            const quint16 g = quint16(30000 + (y * 2048) / qMax(1, height - 1));
            const quint16 b = quint16(40000 + ((x + y) * 1024) / qMax(1, width + height - 2));
            const quint16 a = withAlpha ? quint16(x < width / 2 ? 65535 : 30000) : 65535;
            line[x] = QRgba64::fromRgba64(r, g, b, a);
        }
    }
    return image;
}

} // namespace FormatTest
