// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

// An opaque side x side square with the QR code of `text` (UTF-8, lowest error correction the
// version allows) in black on white, one module of quiet zone on every side. Null when the text
// does not fit into any QR symbol, when side is 0 or less, or when the square would exceed the
// image allocation limit; each of these is logged.
QImage createQrCodeImage(const QString &text, int side);
