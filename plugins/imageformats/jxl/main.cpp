// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/jxl/jxlhandler.h"

#include "plugins/imageformats/common/codecplugin.h"

class JxlPlugin : public CodecPlugin<JxlHandler> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "jxl.json")
};

#include "main.moc"
