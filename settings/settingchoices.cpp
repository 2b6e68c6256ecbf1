#include "settings/settingchoices.h"

#include <QHash>
#include <QRegularExpression>

namespace {

QStringList positions()
{
    return { QStringLiteral("Top - Left"), QStringLiteral("Top - Center"), QStringLiteral("Top - Right"),
        QStringLiteral("Center - Left"), QStringLiteral("Center - Center"), QStringLiteral("Center - Right"),
        QStringLiteral("Bottom - Left"), QStringLiteral("Bottom - Center"),
        QStringLiteral("Bottom - Right") };
}

// The window's lists, in the order their positions are stored.
const QHash<QString, QStringList> &choiceTable()
{
    static const QHash<QString, QStringList> table = {
        { QStringLiteral("targeFileType"),
            { QStringLiteral("AVIF"), QStringLiteral("GIF"), QStringLiteral("HEIC"), QStringLiteral("HEIF"),
                QStringLiteral("JPG"), QStringLiteral("JPEG XL"), QStringLiteral("PNG"),
                QStringLiteral("TIFF"), QStringLiteral("WEBP"), QStringLiteral("PDF") } },
        { QStringLiteral("tiffCompression"),
            { QStringLiteral("None"), QStringLiteral("LZW"), QStringLiteral("Deflate") } },
        { QStringLiteral("targetExistsAction"),
            { QStringLiteral("Ask"), QStringLiteral("Skip"), QStringLiteral("Add a number") } },
        { QStringLiteral("pdfPaperSize"),
            { QStringLiteral("Letter"), QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("Legal"),
                QStringLiteral("Executive") } },
        { QStringLiteral("pdfQuality"),
            { QStringLiteral("96 dpi"), QStringLiteral("150 dpi"), QStringLiteral("300 dpi"),
                QStringLiteral("400 dpi"), QStringLiteral("600 dpi"), QStringLiteral("1200 dpi") } },
        { QStringLiteral("pdfPaperOrientation"),
            { QStringLiteral("Portrait"), QStringLiteral("Landscape") } },
        { QStringLiteral("pdfPaperMargin"), { QStringLiteral("No Margin"), QStringLiteral("Margin") } },
        { QStringLiteral("scaleType"),
            { QStringLiteral("Percentage"), QStringLiteral("Absolute"), QStringLiteral("Relative") } },
        { QStringLiteral("scaleRelativeTo"),
            { QStringLiteral("Width"), QStringLiteral("Height"), QStringLiteral("Long edge"),
                QStringLiteral("Short edge") } },
        { QStringLiteral("textPosition"), positions() },
        { QStringLiteral("imagePosition"), positions() },
        { QStringLiteral("qrCodePosition"), positions() },
    };
    return table;
}

} // namespace

namespace SettingChoices {

QString folded(const QString &name)
{
    static const QRegularExpression separators(QStringLiteral("[\\s_-]"));
    QString result = name.toLower();
    result.remove(separators);
    return result;
}

QStringList names(const QString &key)
{
    return choiceTable().value(key);
}

int indexOf(const QString &key, const QString &text)
{
    const QStringList choices = names(key);
    const QString wanted = folded(text);
    for (int i = 0; i < choices.size(); ++i) {
        if (folded(choices.at(i)) == wanted)
            return i;
    }
    // "300" for "300 dpi"; once only, or an unknown text would recurse without end.
    if (key == QLatin1String("pdfQuality") && !wanted.endsWith(QLatin1String("dpi")))
        return indexOf(key, text + QStringLiteral(" dpi"));
    if (key == QLatin1String("targeFileType")) {
        // The file extensions people type for the targets whose list text differs.
        static const QHash<QString, QString> extensions = { { QStringLiteral("jpeg"), QStringLiteral("JPG") },
            { QStringLiteral("jxl"), QStringLiteral("JPEG XL") },
            { QStringLiteral("tif"), QStringLiteral("TIFF") } };
        const auto found = extensions.constFind(wanted);
        if (found != extensions.constEnd())
            return choices.indexOf(*found);
    }
    return -1;
}

bool isMachineSpecific(const QString &key)
{
    return key == QLatin1String("lastPicturesDir") || key == QLatin1String("threadLimit");
}

} // namespace SettingChoices
