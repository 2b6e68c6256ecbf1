#include "plugins/imageformats/common/codechandler.h"

#include "plugins/imageformats/common/encoderinput.h"

#include <QSize>
#include <QVariant>

QVariant CodecHandler::option(ImageOption option) const
{
    switch (option) {
    case Quality:
        return m_quality;
    case SubType:
        return m_subType;
    case SupportedSubTypes:
        return QVariant::fromValue(supportedSubTypes());
    case ImageTransformation:
        return int(TransformationNone);
    case Size:
        return ensureParsed() ? uprightSize() : QVariant();
    case ImageFormat:
        return ensureParsed() ? QVariant(int(outputFormat())) : QVariant();
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
    default:
        break;
    }
}

bool CodecHandler::supportsOption(ImageOption option) const
{
    return option == Quality || option == SubType || option == SupportedSubTypes
        || option == ImageTransformation || option == Size || option == ImageFormat;
}

int CodecHandler::writeDepth(const QImage &image, int deepDefault) const
{
    if (supportedSubTypes().contains(m_subType))
        return m_subType.chopped(3).toInt();
    return EncoderInput::isDeep(image.format()) ? deepDefault : 8;
}
