#pragma once

#include <QByteArray>
#include <QImage>

// A baseline TIFF of the image with Deflate-compressed strips and the horizontal predictor: 8 bits
// per sample, RGB, or RGB with unassociated alpha when the image has an alpha channel. Qt's TIFF
// writer knows only no compression and LZW. Empty when the image is null or the result would not
// fit the format's 32-bit offsets.
QByteArray encodeDeflateTiff(const QImage &image);
