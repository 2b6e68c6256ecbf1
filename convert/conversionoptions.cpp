// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"

#include <QMutex>

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
