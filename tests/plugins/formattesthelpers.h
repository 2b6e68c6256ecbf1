// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QString>

// Shared by the image plug-in tests: writing and reading through QImageWriter/QImageReader
// exactly as the program does (format chosen from the suffix or the content).
namespace FormatTest {

struct WriteSettings {
    int quality = -1;
    QByteArray subType;
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone;
};

// Writes through the writer the suffix of `path` selects; returns the writer's error text, empty on success.
QString write(const QImage &image, const QString &path, const WriteSettings &settings = {});

// Reads with no explicit format and automatic transformation on.
QImage read(const QString &path);
QImage readData(const QByteArray &data);

// What QImageReader makes of an image stored with transformation `t`: mirror or flip first,
// then a clockwise quarter turn (the meaning of QImageIOHandler::Transformations).
QImage transformedAsQt(const QImage &image, QImageIOHandler::Transformations t);

// The same for HEIF's boxes: `angle` anti-clockwise quarter turns, then mirror 0 (top and
// bottom exchanged) or 1 (left and right exchanged), computed pixel by pixel.
QImage transformedAsHeif(const QImage &image, int angle, int mirror);

// PSNR over RGB(A) at 16 bits per channel, so that deep round trips can be judged beyond 8 bits.
double psnr16(const QImage &a, const QImage &b);

// A smooth 16-bit gradient whose detail is lost when cut to 8 bits.
QImage makeDeepGradient(int width, int height, bool withAlpha);

} // namespace FormatTest
