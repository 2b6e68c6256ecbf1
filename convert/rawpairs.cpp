#include "convert/rawpairs.h"

#include "common/pathcompare.h"
#include "plugins/imageformats/common/codecformats.h"

#include <QFileInfo>
#include <QSet>

namespace {

QString shotKey(const QFileInfo &info)
{
    return pathKey(info.absolutePath() + QLatin1Char('/') + info.completeBaseName());
}

QString suffixOf(const QFileInfo &info)
{
    return info.suffix().toLower();
}

} // namespace

namespace RawPairs {

QStringList withoutPairedJpegs(const QStringList &sources)
{
    QSet<QString> rawShots;
    for (const QString &source : sources) {
        const QFileInfo info(source);
        if (isRawFormat(suffixOf(info).toLatin1()))
            rawShots.insert(shotKey(info));
    }
    if (rawShots.isEmpty())
        return sources;
    QStringList kept;
    kept.reserve(sources.size());
    for (const QString &source : sources) {
        const QFileInfo info(source);
        const QString suffix = suffixOf(info);
        const bool jpeg = suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
        if (!jpeg || !rawShots.contains(shotKey(info)))
            kept.append(source);
    }
    return kept;
}

} // namespace RawPairs
