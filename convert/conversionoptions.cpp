#include "convert/conversionoptions.h"

#include <QMutex>
#include <atomic>

namespace {

QMutex &optionsMutex()
{
    static QMutex mutex;
    return mutex;
}

ConversionOptions &liveOptions()
{
    static ConversionOptions options;
    return options;
}

std::atomic<bool> pdfActive { false };

QMutex &locationMutex()
{
    static QMutex mutex;
    return mutex;
}

QString &locationValue()
{
    static QString location;
    return location;
}

} // namespace

const ConversionOptions &conversionOptions()
{
    return liveOptions();
}

void updateOptions(const std::function<void(ConversionOptions &)> &change)
{
    QMutexLocker locker(&optionsMutex());
    change(liveOptions());
}

ConversionOptions optionsSnapshot()
{
    QMutexLocker locker(&optionsMutex());
    return liveOptions();
}

void resetOptions()
{
    QMutexLocker locker(&optionsMutex());
    liveOptions() = ConversionOptions();
}

bool pdfConversionActive()
{
    return pdfActive.load(std::memory_order_relaxed);
}

void setPdfConversionActive(bool active)
{
    pdfActive.store(active, std::memory_order_relaxed);
}

QString lastOutputLocation()
{
    QMutexLocker locker(&locationMutex());
    return locationValue();
}

void setLastOutputLocation(const QString &location)
{
    QMutexLocker locker(&locationMutex());
    locationValue() = location;
}
