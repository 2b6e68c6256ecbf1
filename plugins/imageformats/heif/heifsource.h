// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

class QIODevice;
struct heif_reader;

namespace HeifSource {

// Where libheif reads a file from: the device, from the position it had when parsing began.
struct Source {
    QIODevice *device = nullptr;
    qint64 start = 0;
};

// libheif reads the boxes it needs, and the coded data when it decodes, through this (its
// userdata a Source), so that a file is never held whole in memory.
extern const heif_reader deviceReader;

} // namespace HeifSource
