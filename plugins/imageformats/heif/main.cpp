#include "plugins/imageformats/heif/heifhandler.h"

#include <QImageIOPlugin>

class HeifPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif.json")

public:
    // Asked about one of our keys with a file open for reading, the content decides: a file
    // whose name says otherwise then falls through to detection by content.
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        const bool ours = format == "heic" || format == "heif";
        if (!format.isEmpty() && !ours)
            return {};
        if (!device || !device->isOpen())
            return ours ? Capabilities(CanRead | CanWrite) : Capabilities();
        Capabilities result;
        if (device->isReadable() && HeifHandler::canRead(device))
            result |= CanRead;
        if (ours && device->isWritable())
            result |= CanWrite;
        return result;
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new HeifHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("heic") : format);
        return handler;
    }
};

#include "main.moc"
