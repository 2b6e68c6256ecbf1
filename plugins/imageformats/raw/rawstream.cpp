#include "plugins/imageformats/raw/rawstream.h"

#include <QIODevice>
#include <cstdio>
#include <cstring>

namespace {

// Large enough that parsing a header costs one or two reads; strips beyond it go straight to LibRaw.
constexpr qint64 WindowBytes = 256 * 1024;

} // namespace

RawDeviceStream::RawDeviceStream(QIODevice *device)
    : m_device(device)
    , m_start(device->pos())
    , m_size(qMax<qint64>(0, device->size() - device->pos()))
{
}

int RawDeviceStream::valid()
{
    return m_device && m_device->isOpen() && !m_device->isSequential() ? 1 : 0;
}

bool RawDeviceStream::fill(qint64 pos)
{
    m_window.clear();
    m_windowStart = pos;
    if (pos < 0 || pos >= m_size || !m_device->seek(m_start + pos))
        return false;
    m_window = m_device->read(qMin(WindowBytes, m_size - pos));
    return !m_window.isEmpty();
}

int RawDeviceStream::slowGetChar()
{
    if (!fill(m_pos))
        return -1;
    return uchar(m_window.at(qsizetype(m_pos++ - m_windowStart)));
}

int RawDeviceStream::read(void *data, size_t size, size_t count)
{
    if (size == 0 || count == 0 || m_pos >= m_size)
        return 0;
    const qint64 wanted = qint64(qMin<quint64>(quint64(size) * count, quint64(m_size - m_pos)));
    auto *out = static_cast<char *>(data);
    qint64 done = 0;
    while (done < wanted) {
        const qint64 inWindow = m_windowStart + m_window.size() - m_pos;
        if (m_pos >= m_windowStart && inWindow > 0) {
            const qint64 part = qMin(inWindow, wanted - done);
            std::memcpy(out + done, m_window.constData() + (m_pos - m_windowStart), size_t(part));
            done += part;
            m_pos += part;
        } else if (wanted - done >= WindowBytes) {
            // A strip: read in place rather than through the window.
            if (!m_device->seek(m_start + m_pos))
                break;
            const qint64 got = m_device->read(out + done, wanted - done);
            if (got <= 0)
                break;
            done += got;
            m_pos += got;
        } else if (!fill(m_pos)) {
            break;
        }
    }
    return int(done / qint64(size));
}

int RawDeviceStream::seek(INT64 offset, int whence)
{
    qint64 target = offset;
    if (whence == SEEK_CUR)
        target = m_pos + offset;
    else if (whence == SEEK_END)
        target = m_size + offset;
    else if (whence != SEEK_SET)
        return -1;
    // As LibRaw's own memory stream does: a place outside the file is the nearer end.
    m_pos = qBound<qint64>(0, target, m_size);
    return 0;
}

char *RawDeviceStream::gets(char *text, int size)
{
    if (size <= 0 || m_pos >= m_size)
        return nullptr;
    int used = 0;
    while (used < size - 1) {
        const int c = get_char();
        if (c < 0)
            break;
        text[used++] = char(c);
        if (c == '\n')
            break;
    }
    text[used] = '\0';
    return used > 0 ? text : nullptr;
}

int RawDeviceStream::scanf_one(const char *format, void *value)
{
    // One word of at most 24 characters, as LibRaw's own streams read it.
    char word[32] = {};
    int used = 0;
    while (used < 24) {
        const int c = get_char();
        if (c < 0)
            break;
        if (c == 0 || c == ' ' || c == '\t' || c == '\n') {
            if (used > 0)
                break;
            continue;
        }
        word[used++] = char(c);
    }
    if (used == 0)
        return -1;
    return std::sscanf(word, format, value);
}
