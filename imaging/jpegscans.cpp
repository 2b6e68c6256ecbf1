// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/jpegscans.h"

#include <QByteArray>
#include <QIODevice>
#include <cstring>

namespace {

// A forward reader over the device in large chunks, so that the coded data is searched with
// memchr instead of one call per byte.
class ByteStream {
public:
    explicit ByteStream(QIODevice *device)
        : device(device)
    {
    }

    // The next byte, or -1 at the end.
    int get()
    {
        if (at == buffer.size() && !fill())
            return -1;
        return quint8(buffer.at(at++));
    }

    bool skip(qint64 bytes)
    {
        const qint64 inBuffer = buffer.size() - at;
        if (bytes <= inBuffer) {
            at += bytes;
            return true;
        }
        bytes -= inBuffer;
        at = buffer.size();
        return device->seek(device->pos() + bytes);
    }

    // Moves to the next 0xFF byte (consumed); false at the end.
    bool findMarkerPrefix()
    {
        for (;;) {
            const char *begin = buffer.constData() + at;
            const void *found = std::memchr(begin, 0xff, size_t(buffer.size() - at));
            if (found) {
                at += static_cast<const char *>(found) - begin + 1;
                return true;
            }
            at = buffer.size();
            if (!fill())
                return false;
        }
    }

private:
    bool fill()
    {
        buffer = device->read(ChunkBytes);
        at = 0;
        return !buffer.isEmpty();
    }

    static constexpr qint64 ChunkBytes = 1 << 20;
    QIODevice *device;
    QByteArray buffer;
    qsizetype at = 0;
};

constexpr int Sof0 = 0xc0;
constexpr int Sof15 = 0xcf;
constexpr int Dht = 0xc4;
constexpr int Jpg = 0xc8;
constexpr int Dac = 0xcc;
constexpr int Rst0 = 0xd0;
constexpr int Rst7 = 0xd7;
constexpr int Soi = 0xd8;
constexpr int Eoi = 0xd9;
constexpr int Sos = 0xda;

bool isFrameMarker(int marker)
{
    return marker >= Sof0 && marker <= Sof15 && marker != Dht && marker != Jpg && marker != Dac;
}

bool isProgressive(int marker)
{
    return marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
}

int countScans(ByteStream &in, int stopAbove)
{
    if (in.get() != 0xff || in.get() != Soi)
        return 0;
    int scans = 0;
    int frameComponents = 0;
    bool progressive = false;
    while (scans <= stopAbove && in.findMarkerPrefix()) {
        int marker = in.get();
        while (marker == 0xff)
            marker = in.get();
        if (marker < 0 || marker == Eoi)
            break;
        // Stuffed zero bytes and restart markers belong to the coded data.
        if (marker == 0 || marker == 0x01 || (marker >= Rst0 && marker <= Rst7))
            continue;
        const int high = in.get();
        const int low = in.get();
        if (high < 0 || low < 0)
            break;
        const int length = (high << 8) | low;
        if (length < 2)
            break;
        int read = 0;
        if (isFrameMarker(marker)) {
            progressive = isProgressive(marker);
            for (int i = 0; i < 6 && read < length - 2; ++i, ++read) {
                const int value = in.get();
                if (i == 5)
                    frameComponents = value;
            }
        } else if (marker == Sos) {
            ++scans;
            const int components = length > 2 ? in.get() : 0;
            read = length > 2 ? 1 : 0;
            if (!progressive && frameComponents > 0 && components == frameComponents)
                break;
        }
        if (!in.skip(length - 2 - read))
            break;
    }
    return scans;
}

} // namespace

namespace JpegScans {

int count(QIODevice *device, int stopAbove)
{
    if (!device || !device->isReadable() || device->isSequential())
        return -1;
    const qint64 start = device->pos();
    ByteStream in(device);
    const int scans = countScans(in, stopAbove);
    if (!device->seek(start))
        return -1;
    return scans;
}

} // namespace JpegScans
