// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/avif/avifhandler.h"

#include "plugins/imageformats/common/codecplugin.h"

class AvifPlugin : public CodecPlugin<AvifHandler> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "avif.json")
};

#include "main.moc"
