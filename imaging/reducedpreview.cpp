// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/reducedpreview.h"

#include "imaging/jpegreduction.h"
#include "imaging/scaling.h"
#include "imaging/sourcecheck.h"
#include "imaging/watermarks.h"
#include "metadata/colourspace.h"
#include "plugins/imageformats/common/codecformats.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "plugins/imageformats/common/metadatakeys.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

bool covers(QSize size, QSize wanted)
{
    return size.width() >= wanted.width() && size.height() >= wanted.height();
}

bool blurs(const ConversionOptions &options)
{
    for (const AdjustRule &rule : options.ruleList) {
        if (rule.ruleIndex == AdjustRule::GaussianBlur)
            return true;
    }
    return false;
}

// Asks `reader` for the smallest reduced decode that covers `fitted` (upright); false when the
// reader has none and would decode the whole picture.
bool askReduced(QImageReader &reader, QSize upright, QSize fitted)
{
    if (reader.format() == "jpeg") {
        const QSize stored = reader.size();
        const bool turned = stored != upright;
        const int factor = jpegReduction(stored, turned ? fitted.transposed() : fitted);
        if (factor == 1)
            return false;
        reader.setScaledSize(stored / factor);
        return true;
    }
    const QStringList sizes
        = reader.text(QLatin1String(MetadataKeys::ReducedSizes)).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &size : sizes) {
        const QStringList sides = size.split(QLatin1Char('x'));
        if (sides.size() == 2 && covers(QSize(sides.at(0).toInt(), sides.at(1).toInt()), fitted)) {
            reader.setScaledSize(fitted);
            return true;
        }
    }
    return false;
}

} // namespace

QImage reducedPreview(
    const QString &path, const ConversionOptions &options, const std::function<QSize(QSize)> &fit)
{
    if (!fit || hasWatermarks(options) || blurs(options) || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(false);
    if (!SourceCheck::accept(reader))
        return {};
    const QByteArray format = reader.format();
    if (format != "jpeg" && !isCodecPluginFormat(format))
        return {};
    const QSize stored = reader.size();
    // Our plug-ins report the upright size and turn while decoding; a JPEG is turned after.
    const QImageIOHandler::Transformations turn = reader.transformation();
    const QSize upright = turn & QImageIOHandler::TransformationRotate90 ? stored.transposed() : stored;
    if (upright.isEmpty())
        return {};
    const std::optional<QSize> scaled
        = options.scaleImage ? computeScaledSize(options, upright.width(), upright.height()) : upright;
    if (!scaled || scaled->isEmpty())
        return {};
    const QSize fitted = fit(*scaled);
    if (fitted.isEmpty() || !askReduced(reader, upright, fitted))
        return {};
    QImage image = uprightKeepingColourSpace(reader.read(), turn);
    if (image.isNull())
        return {};
    return image.size() == fitted ? image
                                  : image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
