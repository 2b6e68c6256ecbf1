// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/codechandler.h"

#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/encoderinput.h"
#include "plugins/imageformats/common/encoderthreadskey.h"
#include "plugins/imageformats/common/metadatakeys.h"

#include <QIODevice>
#include <QLoggingCategory>
#include <QSize>
#include <QThread>
#include <QVariant>
#include <new>

Q_DECLARE_LOGGING_CATEGORY(lcCodec)

bool CodecHandler::canRead() const
{
    if (m_state == State::Failed || m_decoded)
        return false;
    if (m_state == State::Unparsed) {
        const QByteArray format = m_traits.detect(device());
        if (format.isEmpty())
            return false;
        setFormat(format);
    }
    return true;
}

bool CodecHandler::ensureParsed() const
{
    if (m_state != State::Unparsed)
        return m_state == State::Parsed;
    m_state = State::Failed;
    if (!device() || m_traits.detect(device()).isEmpty() || !DecodeLimits::fitsFileLimit(device()))
        return false;
    try {
        if (!parse())
            return false;
    } catch (const std::bad_alloc &) {
        qCWarning(lcCodec, "Out of memory while parsing the %s header", format().constData());
        return false;
    }
    m_state = State::Parsed;
    return true;
}

bool CodecHandler::read(QImage *image)
{
    // One still image per file: a second read has nothing more to give.
    if (!ensureParsed() || m_decoded)
        return false;
    m_decoded = true;
    try {
        // Averaged to the exact size asked for, as Qt's own readers reduce a picture: a nearest
        // pixel sampling of a photograph's fine detail would look grainy.
        const bool scaled
            = m_scaledSize.isValid() && !m_scaledSize.isEmpty() && m_scaledSize != m_header.size;
        if (!scaled)
            return decode(image);
        if (!decodeReduced(m_scaledSize, image))
            return false;
        if (image->size() != m_scaledSize)
            *image = image->scaled(m_scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return !image->isNull();
    } catch (const std::bad_alloc &) {
        qCWarning(lcCodec, "Out of memory while decoding %s", format().constData());
        return false;
    }
}

bool CodecHandler::write(const QImage &image)
{
    if (m_traits.readOnly || image.isNull() || !device() || !device()->isWritable()
        || (m_traits.takesSize && !m_traits.takesSize(image.size())))
        return false;
    EncodeSettings settings;
    settings.depth = writeDepth(image, m_traits.deepDefault);
    settings.quality = writeQuality(m_traits.defaultQuality);
    settings.lossless = settings.quality == 100;
    settings.threads = qBound(1, m_encoderThreads > 0 ? m_encoderThreads : QThread::idealThreadCount(), 64);
    try {
        return encode(EncoderInput::prepare(image, settings.depth > 8), settings);
    } catch (const std::bad_alloc &) {
        qCWarning(lcCodec, "Out of memory while encoding %s", format().constData());
        return false;
    }
}

namespace {

// QImageWriter hands its texts over as "key: value" pairs separated by blank lines.
QByteArray writerText(const QString &description, const char *key, bool base64 = true)
{
    const QString prefix = QLatin1String(key) + QLatin1String(": ");
    const QStringList entries = description.split(QLatin1String("\n\n"));
    for (const QString &entry : entries) {
        if (entry.startsWith(prefix))
            return base64 ? QByteArray::fromBase64(entry.mid(prefix.size()).toLatin1())
                          : entry.mid(prefix.size()).toLatin1();
    }
    return {};
}

// The reader's texts in the same form, base64 so that Qt's whitespace folding leaves them whole.
QString readerText(const QByteArray &exif, const QByteArray &xmp, const QList<QSize> &reduced)
{
    QStringList entries;
    if (!reduced.isEmpty()) {
        QStringList sizes;
        for (const QSize &size : reduced)
            sizes.append(QString::number(size.width()) + QLatin1Char('x') + QString::number(size.height()));
        entries.append(
            QLatin1String(MetadataKeys::ReducedSizes) + QLatin1String(": ") + sizes.join(QLatin1Char(',')));
    }
    if (!exif.isEmpty())
        entries.append(
            QLatin1String(MetadataKeys::Exif) + QLatin1String(": ") + QString::fromLatin1(exif.toBase64()));
    if (!xmp.isEmpty())
        entries.append(
            QLatin1String(MetadataKeys::Xmp) + QLatin1String(": ") + QString::fromLatin1(xmp.toBase64()));
    return entries.join(QLatin1String("\n\n"));
}

QString refusalText(const QString &reason)
{
    return QLatin1String(MetadataKeys::Refusal) + QLatin1String(": ") + reason;
}

} // namespace

QByteArray CodecHandler::exifTiff(const QByteArray &payload)
{
    // Enough for a 4-byte offset and the 6-byte "Exif\0\0" header, in either order.
    const QByteArray head = payload.left(16);
    qsizetype start = head.indexOf(QByteArray("II*\0", 4));
    const qsizetype bigEndian = head.indexOf(QByteArray("MM\0*", 4));
    if (start < 0 || (bigEndian >= 0 && bigEndian < start))
        start = bigEndian;
    return start < 0 ? QByteArray() : payload.mid(start);
}

QVariant CodecHandler::option(ImageOption option) const
{
    switch (option) {
    case Quality:
        return m_quality;
    case SubType:
        return m_subType;
    case SupportedSubTypes:
        return QVariant::fromValue(m_traits.subTypes);
    case ImageTransformation:
        return int(TransformationNone);
    case ScaledSize:
        return m_scaledSize;
    case Size:
        return ensureParsed() ? m_header.size : QVariant();
    case ImageFormat:
        return ensureParsed() ? QVariant(int(m_header.format)) : QVariant();
    case Description:
        if (!ensureParsed())
            return m_refusal.isEmpty() ? QVariant() : QVariant(refusalText(m_refusal));
        readMetadataBlocks();
        return readerText(m_readExif, m_readXmp, reducedSizes());
    default:
        return {};
    }
}

void CodecHandler::setOption(ImageOption option, const QVariant &value)
{
    switch (option) {
    case Quality:
        m_quality = value.toInt();
        break;
    case SubType:
        m_subType = value.toByteArray();
        break;
    case ImageTransformation:
        m_transformation = Transformations(value.toInt());
        break;
    case ScaledSize:
        m_scaledSize = value.toSize();
        break;
    case Description:
        m_exif = writerText(value.toString(), MetadataKeys::Exif);
        m_xmp = writerText(value.toString(), MetadataKeys::Xmp);
        m_encoderThreads = writerText(value.toString(), EncoderThreadsKey::Key, false).toInt();
        break;
    default:
        break;
    }
}

bool CodecHandler::supportsOption(ImageOption option) const
{
    return option == Quality || option == SubType || option == SupportedSubTypes
        || option == ImageTransformation || option == Size || option == ImageFormat || option == Description
        || option == ScaledSize;
}

int CodecHandler::writeDepth(const QImage &image, int deepDefault) const
{
    if (m_traits.subTypes.contains(m_subType))
        return m_subType.chopped(3).toInt();
    return EncoderInput::isDeep(image.format()) ? deepDefault : 8;
}
