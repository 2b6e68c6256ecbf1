// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "metadata/exiv2session.h"

#include <exiv2/exiv2.hpp>

#include <mutex>

namespace {

void lockXmp(void *data, bool lock)
{
    auto *mutex = static_cast<std::recursive_mutex *>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

} // namespace

void ensureExiv2Ready()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static std::recursive_mutex xmpMutex;
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(lockXmp, &xmpMutex);
        Exiv2::enableBMFF(true);
        // Extended XMP's marker in the standard packet of a JPEG; exiv2 0.27 does not know it.
        Exiv2::XmpProperties::registerNs("http://ns.adobe.com/xmp/note/", "xmpNote");
    });
}
