// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/targetnaming.h"

#include "common/filesystemnames.h"
#include "convert/conversionoptions.h"
#include "imaging/scaling.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

namespace {

constexpr qint64 ExifSearchBytes = 256 * 1024;
constexpr quint16 ExifIfdTag = 0x8769;
constexpr quint16 DateTimeOriginalTag = 0x9003;
constexpr int MaxNumber = 100000;

// Reads the Exif block's TIFF structure with bounds checked on every access.
class TiffReader {
public:
    TiffReader(const QByteArray &data, qsizetype start)
        : m_data(data)
        , m_start(start)
    {
        m_bigEndian = data.mid(start, 2) == "MM";
        m_valid = m_bigEndian || data.mid(start, 2) == "II";
    }

    bool valid() const { return m_valid; }

    bool read16(qint64 offset, quint16 *value) const
    {
        if (offset < 0 || m_start + offset + 2 > m_data.size())
            return false;
        const char *p = m_data.constData() + m_start + offset;
        *value = m_bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        return true;
    }

    bool read32(qint64 offset, quint32 *value) const
    {
        if (offset < 0 || m_start + offset + 4 > m_data.size())
            return false;
        const char *p = m_data.constData() + m_start + offset;
        *value = m_bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        return true;
    }

    // The value field of `tag` in the directory at `ifd`, or -1.
    qint64 valueField(qint64 ifd, quint16 tag) const
    {
        quint16 count = 0;
        if (!read16(ifd, &count))
            return -1;
        for (int i = 0; i < count; ++i) {
            const qint64 entry = ifd + 2 + qint64(i) * 12;
            quint16 entryTag = 0;
            if (!read16(entry, &entryTag))
                return -1;
            if (entryTag == tag)
                return entry + 8;
        }
        return -1;
    }

    QByteArray bytes(qint64 offset, int length) const
    {
        if (offset < 0 || m_start + offset + length > m_data.size())
            return {};
        return m_data.mid(m_start + offset, length);
    }

private:
    const QByteArray &m_data;
    qsizetype m_start;
    bool m_bigEndian = false;
    bool m_valid = false;
};

QDateTime exifDateTimeOriginal(const QByteArray &data)
{
    const qsizetype exif = data.indexOf(QByteArray("Exif\0\0", 6));
    if (exif < 0)
        return {};
    const TiffReader tiff(data, exif + 6);
    quint32 ifd0 = 0, exifIfd = 0, textOffset = 0;
    if (!tiff.valid() || !tiff.read32(4, &ifd0))
        return {};
    const qint64 pointer = tiff.valueField(ifd0, ExifIfdTag);
    if (pointer < 0 || !tiff.read32(pointer, &exifIfd))
        return {};
    const qint64 field = tiff.valueField(exifIfd, DateTimeOriginalTag);
    if (field < 0 || !tiff.read32(field, &textOffset))
        return {};
    const QByteArray text = tiff.bytes(textOffset, 19);
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

QString sourceName(const QString &path)
{
    return QFileInfo(QDir::fromNativeSeparators(path)).fileName().section(QLatin1Char('.'), 0, 0);
}

QString sourceFolder(const QString &path)
{
    return QFileInfo(QDir::fromNativeSeparators(path)).absolutePath();
}

// The deepest folder holding every source: the sub-folders below it are the ones recreated.
QString commonFolder(const QStringList &sources)
{
    if (sources.isEmpty())
        return QString();
    QStringList common = sourceFolder(sources.first()).split(QLatin1Char('/'));
    for (const QString &source : sources) {
        const QStringList parts = sourceFolder(source).split(QLatin1Char('/'));
        int same = 0;
        while (same < common.size() && same < parts.size() && common.at(same) == parts.at(same))
            ++same;
        common = common.mid(0, same);
    }
    return common.join(QLatin1Char('/'));
}

// Literal text of a pattern made safe for a file name; the tokens are left for baseName.
QString safePattern(const QString &pattern)
{
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    QString safe = pattern;
    return safe.replace(forbidden, QStringLiteral("_"));
}

} // namespace

namespace TargetNaming {

QSize targetSize(const QString &path, const ConversionOptions &options)
{
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid())
        return {};
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    if (!options.scaleImage)
        return size;
    const std::optional<QSize> scaled = computeScaledSize(options, size.width(), size.height());
    return scaled ? *scaled : size;
}

bool usesSize(const QString &pattern)
{
    return pattern.contains(QLatin1String("{size}"));
}

bool usesDate(const QString &pattern)
{
    return pattern.contains(QLatin1String("{date}"));
}

QString baseName(const QString &pattern, const Source &source)
{
    const QString original = sourceName(source.path);
    // The user's own text is trimmed, never what a token inserts: the source's name stays as it is.
    const QString typed = safePattern(pattern.trimmed());
    // One pass over the typed text, so that a token inside an inserted name stays plain text.
    static const QRegularExpression token(QStringLiteral("\\{(name|counter|date|size)\\}"));
    QString name;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = token.globalMatch(typed); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        name += typed.mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QStringView which = match.capturedView(1);
        if (which == QLatin1String("name")) {
            name += original;
        } else if (which == QLatin1String("counter")) {
            name += QStringLiteral("%1").arg(source.counter, 3, 10, QLatin1Char('0'));
        } else if (which == QLatin1String("date")) {
            if (source.taken.isValid())
                name += source.taken.toString(QStringLiteral("yyyy-MM-dd"));
        } else if (source.targetSize.isValid()) {
            name += QStringLiteral("%1x%2").arg(source.targetSize.width()).arg(source.targetSize.height());
        }
    }
    name += typed.mid(from);
    // A name of dots only would name the folder itself or its parent.
    if (name.isEmpty() || name.count(QLatin1Char('.')) == name.size())
        return original;
    return name;
}

QString numbered(const QString &target, const std::function<bool(const QString &)> &taken)
{
    if (!taken(target))
        return target;
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = target.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > slash ? dot : target.size();
    const QString stem = target.left(split);
    const QString ext = target.mid(split);
    for (int n = 2; n < MaxNumber; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(ext);
        if (!taken(candidate))
            return candidate;
    }
    return QString();
}

QStringList planTargets(const QStringList &sources, const QString &targetFolder, const QString &ext,
    const ConversionOptions &options)
{
    const QString root = options.keepFolderStructure ? commonFolder(sources) : QString();
    const bool addNumber = options.targetExistsAction == AddNumber;
    // Names an earlier source took, as the target folder tells names apart.
    FileSystemNames names;
    QSet<QString> claimed;
    QStringList targets;
    targets.reserve(sources.size());
    for (int i = 0; i < sources.size(); ++i) {
        const QString &path = sources.at(i);
        QString folder = targetFolder;
        if (options.saveNextToOriginal) {
            folder = sourceFolder(path);
        } else if (options.keepFolderStructure) {
            const QString below = QDir(root).relativeFilePath(sourceFolder(path));
            if (below != QLatin1String("."))
                folder += QLatin1Char('/') + below;
        }
        Source source { path, i + 1, {}, {} };
        if (usesSize(options.namePattern))
            source.targetSize = targetSize(path, options);
        if (usesDate(options.namePattern))
            source.taken = dateTaken(path);
        QString target = folder + QLatin1Char('/') + baseName(options.namePattern, source) + ext;
        if (addNumber) {
            target = numbered(target, [&claimed, &names](const QString &candidate) {
                const QFileInfo info(candidate);
                return (!claimed.isEmpty() && claimed.contains(names.key(candidate))) || info.exists()
                    || info.isSymLink();
            });
        }
        // A plan of one file (the name preview) need not ask the folder about case.
        if (i + 1 < sources.size())
            claimed.insert(names.key(target));
        targets.append(target);
    }
    return targets;
}

QDateTime dateTaken(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QDateTime taken = exifDateTimeOriginal(file.read(ExifSearchBytes));
        if (taken.isValid())
            return taken;
    }
    return QFileInfo(path).lastModified();
}

} // namespace TargetNaming
