#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <mutex>

#include <libraw/libraw_datastream.h>

class QIODevice;

// LibRaw's input read from a QIODevice at random places, through a window of the file kept in
// memory: LibRaw asks for a few bytes at a time while it parses, and for whole strips while it
// unpacks. The device stays where the reader left it between calls; only the stream's own
// position counts. The device must be random-access.
class RawDeviceStream final : public LibRaw_abstract_datastream {
public:
    // The file starts at the device's present position.
    explicit RawDeviceStream(QIODevice *device);

    int valid() override;
    int read(void *data, size_t size, size_t count) override;
    int seek(INT64 offset, int whence) override;
    INT64 tell() override { return m_pos; }
    INT64 size() override { return m_size; }
    int get_char() override
    {
        if (m_pos >= m_windowStart && m_pos < m_windowStart + m_window.size())
            return uchar(m_window.at(qsizetype(m_pos++ - m_windowStart)));
        return slowGetChar();
    }
    char *gets(char *text, int size) override;
    int scanf_one(const char *format, void *value) override;
    int eof() override { return m_pos >= m_size ? 1 : 0; }
    void *make_jas_stream() override { return nullptr; }
    // Decoders that read from several threads at once take turns.
    int lock() override
    {
        m_mutex.lock();
        return 1;
    }
    void unlock() override { m_mutex.unlock(); }

private:
    int slowGetChar();
    // Fills the window with the file from `pos` on; false at the end or on a read error.
    bool fill(qint64 pos);

    QIODevice *m_device;
    qint64 m_start;
    qint64 m_size;
    qint64 m_pos = 0;
    QByteArray m_window;
    qint64 m_windowStart = 0;
    std::mutex m_mutex;
};
