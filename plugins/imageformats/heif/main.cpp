// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/heif/heifhandler.h"

#include "plugins/imageformats/common/codecplugin.h"

class HeifPlugin : public CodecPlugin<HeifHandler> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif.json")
};

#include "main.moc"
