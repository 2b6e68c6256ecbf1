#pragma once

#include <QThread>
#include <QVariant>
#include <functional>

// Lets a long decode end early once the work it is for has been called off (a superseded preview,
// a stopped job). The thread that decodes installs a stop test with DecodeStop::Scope; a plug-in
// whose library can stop midway asks DecodeStop::requested() now and then. The test travels as a
// property of the decoding thread, which the program and the plug-in modules both see.
namespace DecodeStop {

inline constexpr char Property[] = "pictomatDecodeStop";

// Installs `stopped` for the decodes run on the calling thread while it lives (scopes nest).
class Scope {
public:
    explicit Scope(std::function<bool()> stopped)
        : m_stopped(std::move(stopped))
        , m_outer(QThread::currentThread()->property(Property))
    {
        QThread::currentThread()->setProperty(Property, QVariant::fromValue(quintptr(&m_stopped)));
    }
    ~Scope() { QThread::currentThread()->setProperty(Property, m_outer); }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;

private:
    std::function<bool()> m_stopped;
    QVariant m_outer;
};

// Whether the work the calling thread decodes for has been called off. Call on the decoding thread.
inline bool requested()
{
    const QVariant installed = QThread::currentThread()->property(Property);
    if (!installed.isValid())
        return false;
    const auto *stopped = reinterpret_cast<const std::function<bool()> *>(installed.value<quintptr>());
    return stopped && *stopped && (*stopped)();
}

} // namespace DecodeStop
