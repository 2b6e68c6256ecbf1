// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/listicon.h"

#include "imaging/jpegreduction.h"
#include "imaging/sourcecheck.h"
#include "imaging/sourcedamage.h"
#include "metadata/colourspace.h"
#include "plugins/imageformats/common/codecformats.h"

#include <QFileInfo>
#include <QImageReader>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

constexpr int IconSide = 64;

// The size a fast scale of `upright` to a shorter side of IconSide gives (Qt's rounding).
QSize iconSize(QSize upright)
{
    if (upright.width() > upright.height())
        return { qMax(1, qRound(qreal(IconSide) / upright.height() * upright.width())), IconSide };
    return { IconSide, qMax(1, qRound(qreal(IconSide) / upright.width() * upright.height())) };
}

} // namespace

ListIcon makeListIcon(const QString &filePath)
{
    QImageReader reader(filePath);
    // A camera RAW holds a TIFF structure that Qt's TIFF reader would take by its content alone.
    reader.setDecideFormatFromContent(!isRawFormat(QFileInfo(filePath).suffix().toLower().toLatin1()));
    // Turned upright after the read rather than by the reader, which drops the colour profile doing it.
    reader.setAutoTransform(false);

    // Checked before anything reads the header, so that the check sees the file from its start.
    const bool accepted = SourceCheck::accept(reader);

    // JPEG decodes at 1/2, 1/4 or 1/8 of the size in the DCT domain, for a fraction of the work;
    // the caption still gives the whole picture's upright size, which the header tells.
    QSize upright;
    if (accepted && reader.format() == "jpeg") {
        const QSize stored = reader.size();
        const int factor = jpegReduction(stored, IconSide);
        if (factor > 1) {
            reader.setScaledSize(stored / factor);
            upright = reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed()
                                                                                        : stored;
        }
    } else if (accepted && isCodecPluginFormat(reader.format())) {
        // Our HEIF, AVIF and JPEG XL readers report the upright size and start from the file's
        // thumbnail or DC pass when it covers the icon, else from the whole picture.
        upright = reader.size();
        if (upright.isValid())
            reader.setScaledSize(iconSize(upright));
    }
    const QImageIOHandler::Transformations turn
        = accepted ? reader.transformation() : QImageIOHandler::TransformationNone;
    const SourceDamageWatch watch;
    const QImage image = accepted ? uprightKeepingColourSpace(reader.read(), turn) : QImage();

    ListIcon icon;
    if (image.isNull()) {
        icon.sizeStr = QStringLiteral("0x0");
        return icon;
    }
    if (!upright.isValid()) {
        icon.sizeStr = QString::number(image.width()) + QLatin1Char('x') + QString::number(image.height());
        icon.image = image.width() > image.height() ? image.scaledToHeight(IconSide, Qt::FastTransformation)
                                                    : image.scaledToWidth(IconSide, Qt::FastTransformation);
    } else {
        // The reduced decode averaged to the size the whole picture's icon has: sampling a
        // photograph's fine detail pixel by pixel would look grainy.
        icon.sizeStr
            = QString::number(upright.width()) + QLatin1Char('x') + QString::number(upright.height());
        icon.image = image.scaled(iconSize(upright), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Screens are taken as sRGB: a wide-gamut photo shown untouched would look washed out.
    icon.image = convertedToSrgb(std::move(icon.image));
    icon.damaged = judgeDecodedSource(watch.sawDamage(), image) != SourceCondition::Whole;
    if (icon.damaged)
        icon.image = withDamageMark(icon.image);
    return icon;
}

void lowerIconThreadPriority()
{
#ifdef Q_OS_LINUX
    // Linux gives each thread its own nice value: a conversion job running beside the icons gets
    // most of the CPU, and the icons still go on when nothing else wants it.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#endif
}

QString listCaption(const QString &fileName, const QString &sizeStr, const QString &folder)
{
    return fileName + QLatin1Char('\n') + sizeStr + QLatin1Char('\n') + folder;
}
