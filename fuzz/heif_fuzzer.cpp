// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz/fuzzhandler.h"
#include "plugins/imageformats/heif/heifhandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzImageHandler<HeifHandler>(data, size);
}
