#include "convert/gifencoder.h"

bool writeGifFile(const QImage &image, const QString &targetPath, QString *error)
{
    Q_UNUSED(image);
    Q_UNUSED(targetPath);
    if (error)
        *error = QStringLiteral("GIF output is not yet supported");
    return false;
}
