#include "plugins/imageformats/raw/rawhandler.h"

#include "plugins/imageformats/common/codecplugin.h"

class RawPlugin : public CodecPlugin<RawHandler> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "raw.json")
};

#include "main.moc"
