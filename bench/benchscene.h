// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

#include <cmath>

// Smooth gradients with fine detail, as a photograph gives an encoder; `seed` varies the detail
// so that several pictures of one benchmark are not the same file.
inline QImage makeScene(int width, int height, int seed = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const int detail = ((x * 7 + y * 13 + seed * 5) % 17) - 8;
            line[x] = qRgb(qBound(0, int(230 * u) + detail, 255), qBound(0, int(200 * v) + detail, 255),
                qBound(0, int(128 + 90 * std::sin((9 + seed) * u) * std::cos(7 * v)) + detail, 255));
        }
    }
    return image;
}
