#include "plugins/imageformats/jxl/jxlhandler.h"

#include <QImageIOPlugin>

class JxlPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "jxl.json")

public:
    // Asked about one of our keys with a file open for reading, the content decides: a file
    // whose name says otherwise then falls through to detection by content.
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        const bool ours = format == "jxl";
        if (!format.isEmpty() && !ours)
            return {};
        if (!device || !device->isOpen())
            return ours ? Capabilities(CanRead | CanWrite) : Capabilities();
        Capabilities result;
        if (device->isReadable() && JxlHandler::canRead(device))
            result |= CanRead;
        if (ours && device->isWritable())
            result |= CanWrite;
        return result;
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new JxlHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("jxl") : format);
        return handler;
    }
};

#include "main.moc"
