#include "filelist/listicon.h"

#include "imaging/sourcecheck.h"
#include "imaging/sourcedamage.h"

#include <QImageReader>

ListIcon makeListIcon(const QString &filePath)
{
    QImageReader reader(filePath);
    reader.setDecideFormatFromContent(true);
    QImageReader::setAllocationLimit(256);
    reader.setAutoTransform(true);
    const SourceDamageWatch watch;
    const QImage image = SourceCheck::accept(reader) ? reader.read() : QImage();

    ListIcon icon;
    icon.sizeStr = QString::number(image.width()) + QLatin1Char('x') + QString::number(image.height());
    if (image.isNull())
        return icon;
    icon.image = image.width() > image.height() ? image.scaledToHeight(64, Qt::FastTransformation)
                                                : image.scaledToWidth(64, Qt::FastTransformation);
    icon.damaged = judgeDecodedSource(watch.sawDamage(), image) != SourceCondition::Whole;
    if (icon.damaged)
        icon.image = withDamageMark(icon.image);
    return icon;
}

QString listCaption(const QString &fileName, const QString &sizeStr, const QString &folder)
{
    return fileName + QLatin1Char('\n') + sizeStr + QLatin1Char('\n') + folder;
}
