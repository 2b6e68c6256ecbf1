// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "imaging/jpegreduction.h"

#include <QImage>
#include <QString>

// What a list row shows once its file has been decoded: a small picture whose shorter side is
// 64 pixels, and the upright size of the whole image as "WxH" ("0x0" when it cannot be read).
struct ListIcon {
    QImage image;
    QString sizeStr;
    bool damaged = false; // the reader complained: the image carries a warning sign
};

// Decodes the file (format from its content, orientation applied, within the reader's 256 MB
// allocation limit) and scales it with fast scaling. A JPEG is decoded reduced in size as far as
// the icon allows, a HEIF or AVIF file from its thumbnail when that covers
// the icon; the caption's size is the whole picture's all the same. Pure; runs on the add worker.
ListIcon makeListIcon(const QString &filePath);

// Lowers the calling thread's priority (where the system has per-thread priorities), so that a
// conversion job started while icons are made is barely slowed by them.
void lowerIconThreadPriority();

// The three-line caption of a row whose icon has arrived.
QString listCaption(const QString &fileName, const QString &sizeStr, const QString &folder);
