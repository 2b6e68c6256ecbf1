// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "metadata/imagemetadata.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QImageWriter;
class TiffMetadataDevice;
class QIODevice;

// Puts the metadata into an encoded file held in memory (JPEG, PNG, WEBP, TIFF), keeping its
// colour profile; formats without an IPTC block get the IPTC data sets as XMP. False, with the
// reason in *error and *file untouched, when exiv2 cannot. What a JPEG could not hold (EXIF over
// one segment) is named in *leftOut, for the user.
bool embedMetadata(QByteArray *file, const ImageMetadata &metadata, QString *error = nullptr,
    QStringList *leftOut = nullptr);

// The image writer's side of metadata for one file of `format` (a writer format name, "jpg").
// For the formats exiv2 writes, the encoder writes into a buffer and finish() puts the metadata
// in before the bytes go to the file; a TIFF, whose pixels are often too big to copy, goes straight
// to the file and finish() adds the metadata after them; our AVIF, HEIF and JPEG XL writers take
// it as writer texts.
// Metadata that cannot be written is left out (logged): the picture is written all the same.
class MetadataWriter {
public:
    MetadataWriter(const ImageMetadata &metadata, const QByteArray &format);
    ~MetadataWriter();

    // The device the image writer encodes into: `file`, or the buffer.
    QIODevice *device(QIODevice *file);
    // Hands the metadata to writers that take it themselves.
    void prepare(QImageWriter *writer) const;
    // Writes the buffered file, with its metadata, to `file`; false with *error when that fails.
    bool finish(QIODevice *file, QString *error);
    // After finish(): what of the metadata the file could not keep, in words for the user.
    QStringList leftOut() const { return m_leftOut; }

private:
    ImageMetadata m_metadata;
    QStringList m_leftOut;
    bool m_buffered = false;
    bool m_throughWriter = false;
    bool m_tiff = false;
    QBuffer m_buffer;
    std::unique_ptr<TiffMetadataDevice> m_tiffDevice;
};
