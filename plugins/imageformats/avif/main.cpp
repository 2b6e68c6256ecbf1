#include "plugins/imageformats/avif/avifhandler.h"

#include <QImageIOPlugin>

class AvifPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "avif.json")

public:
    // Asked about one of our keys with a file open for reading, the content decides: a file
    // whose name says otherwise then falls through to detection by content.
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        const bool ours = format == "avif";
        if (!format.isEmpty() && !ours)
            return {};
        if (!device || !device->isOpen())
            return ours ? Capabilities(CanRead | CanWrite) : Capabilities();
        Capabilities result;
        if (device->isReadable() && AvifHandler::canRead(device))
            result |= CanRead;
        if (ours && device->isWritable())
            result |= CanWrite;
        return result;
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new AvifHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("avif") : format);
        return handler;
    }
};

#include "main.moc"
