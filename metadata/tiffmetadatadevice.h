// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "metadata/imagemetadata.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>

// Puts EXIF, XMP and IPTC into a TIFF while its encoder streams it to `file`, without holding or
// copying the pixel data: a second first directory, made of the encoder's entries and the
// metadata's, goes after the encoder's data, and the header points to it. The EXIF (as exiv2 lays
// it out from the start of a file) takes the room that size() reports before the encoder writes,
// so its offsets hold as they are. The encoder must write as libtiff does: its header at 0, its
// data from the device's end on, its directory in a write of its own. Classic TIFF only; BigTIFF,
// which our encoders do not write, gets no metadata.
class TiffMetadataDevice : public QIODevice {
public:
    TiffMetadataDevice(QIODevice *file, const ImageMetadata &metadata);

    bool isSequential() const override { return false; }
    qint64 size() const override { return qMax(m_reserved, m_end); }
    bool seek(qint64 position) override { return QIODevice::seek(position) && m_file->seek(position); }

    // Adds the metadata once the encoder is done. Metadata that cannot be placed, or that makes a
    // directory libtiff refuses (checked by reading `file` back), is left out (logged) and the
    // file stays as the encoder wrote it; false, with *error, only when a write to the file fails.
    bool finish(QString *error);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    struct Piece {
        qint64 position;
        QByteArray bytes;
    };
    struct Layout {
        QByteArray head; // written at 0: the header, with the EXIF after it when there is one
        QByteArray tail; // written at tailPosition: values, then the new first directory
        qint64 tailPosition = 0;
    };

    void remember(qint64 position, const char *data, qint64 length);
    QByteArray written(qint64 position, qint64 length) const;
    bool layOut(Layout *layout, QString *why) const;
    bool readsBack(const Layout &layout, QString *why) const;
    bool writeAt(qint64 position, const QByteArray &bytes);

    QIODevice *m_file;
    ImageMetadata m_metadata;
    QByteArray m_exif;
    bool m_exifBigEndian;
    qint64 m_reserved = 0;
    qint64 m_end = 0;
    QList<Piece> m_pieces; // the encoder's small writes: its header and directory among them
    qint64 m_piecesEnd = 0;
    bool m_reserveTaken = false;
};
