// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImageIOPlugin>
#include <QList>

// The plug-in object of one of our formats, whose handler gives its keys and content check in
// Handler::traits().
// Each format's main.cpp only adds the class with its metadata.
template <typename Handler> class CodecPlugin : public QImageIOPlugin {
public:
    // Asked about one of our keys with a file open for reading, the content decides: a file
    // whose name says otherwise then falls through to detection by content.
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        const bool ours = Handler::traits().keys.contains(format);
        if (!format.isEmpty() && !ours)
            return {};
        const bool writes = !Handler::traits().readOnly;
        if (!device || !device->isOpen())
            return ours ? (writes ? Capabilities(CanRead | CanWrite) : Capabilities(CanRead))
                        : Capabilities();
        const auto detect = ours || !Handler::traits().detectByContent ? Handler::traits().detect
                                                                       : Handler::traits().detectByContent;
        Capabilities result;
        if (device->isReadable() && !detect(device).isEmpty())
            result |= CanRead;
        if (ours && writes && device->isWritable())
            result |= CanWrite;
        return result;
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new Handler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? Handler::traits().keys.constFirst() : format);
        return handler;
    }
};
