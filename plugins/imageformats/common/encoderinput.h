// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>

// What the encoders are handed: straight (not premultiplied) RGB or RGBA, 8 or 16 bits per
// channel, with alpha only when some pixel is not opaque. An ARGB32 image that is opaque
// everywhere is written without an alpha plane, which would only cost size and time.
namespace EncoderInput {

// More than 8 bits per channel (16-bit, 10-bit packed and floating-point formats).
bool isDeep(QImage::Format format);

// The image as Format_RGBA8888 or Format_RGB888 (8-bit), Format_RGBA64 or Format_RGBX64
// (`deep`). Keeps the colour space.
QImage prepare(const QImage &image, bool deep);

} // namespace EncoderInput
