// Feeds a random INI file through everything that reads the stored settings: QSettings itself
// (including its @Variant(...) values, which it deserialises), the conversion of every key the
// store loads, the adjustment rule text form, and then the render pipeline with the options so
// loaded, since a hand-edited file can hold values no widget allows.
#include "convert/conversionoptions.h"
#include "imaging/adjustrule.h"
#include "imaging/renderpipeline.h"
#include "imaging/scaling.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir *workDir = nullptr;
QString picturePath;
QImage picture;
QString watermarkPath;
quint64 runNumber = 0;

enum class Kind { Int, Bool, String, Font, Color, Position };

struct StoredKey {
    const char *key;
    Kind kind;
    QVariant defaultValue;
};

// The keys of the store, in load order, with the conversion each one gets.
const StoredKey storedKeys[] = {
    { "lastPicturesDir", Kind::String, QString() },
    { "targeFileType", Kind::Int, 0 },
    { "targeFileQuality", Kind::Int, 95 },
    { "outputFolder", Kind::String, QString() },
    { "pdfFileName", Kind::String, QString() },
    { "pdfPaperSize", Kind::Int, 0 },
    { "resizeImageToPaper", Kind::Bool, false },
    { "pdfSmoothEdges", Kind::Bool, true },
    { "pdfQuality", Kind::Int, 2 },
    { "pdfPaperOrientation", Kind::Int, 0 },
    { "pdfPaperMargin", Kind::Int, 0 },
    { "pdfPaperMarginSize", Kind::Int, 20 },
    { "scaleImage", Kind::Bool, false },
    { "scaleType", Kind::Int, 0 },
    { "scalePercentage", Kind::Int, 100 },
    { "scaleAbsoluteWitdh", Kind::Int, 1920 },
    { "scaleAbsoluteHeight", Kind::Int, 1080 },
    { "scaleRelativeTo", Kind::Int, 0 },
    { "scaleRelativeWidth", Kind::Int, 1920 },
    { "scaleRelativeHeight", Kind::Int, 1080 },
    { "textContent", Kind::String, QString() },
    { "textFont", Kind::Font, QString() },
    { "textSize", Kind::Int, 12 },
    { "textColor", Kind::Color, QString() },
    { "textPosition", Kind::Position, 8 },
    { "textOpacity", Kind::Int, 100 },
    { "textMargin", Kind::Int, 0 },
    { "imagePath", Kind::String, QString() },
    { "imageSize", Kind::Int, 100 },
    { "imagePosition", Kind::Position, 8 },
    { "imageOpacity", Kind::Int, 100 },
    { "imageMargin", Kind::Int, 0 },
    { "qrCodeText", Kind::String, QString() },
    { "qrCodeSize", Kind::Int, 100 },
    { "qrCodePosition", Kind::Position, 8 },
    { "qrCodeMargin", Kind::Int, 0 },
};

void assign(ConversionOptions &o, const QString &key, const QVariant &v)
{
    static const QHash<QString, int ConversionOptions::*> ints = {
        { "targeFileType", &ConversionOptions::targeFileType },
        { "targeFileQuality", &ConversionOptions::targeFileQuality },
        { "pdfPaperSize", &ConversionOptions::pdfPaperSize },
        { "pdfQuality", &ConversionOptions::pdfQuality },
        { "pdfPaperOrientation", &ConversionOptions::pdfPaperOrientation },
        { "pdfPaperMargin", &ConversionOptions::pdfPaperMargin },
        { "pdfPaperMarginSize", &ConversionOptions::pdfPaperMarginSize },
        { "scaleType", &ConversionOptions::scaleType },
        { "scalePercentage", &ConversionOptions::scalePercentage },
        { "scaleAbsoluteWitdh", &ConversionOptions::scaleAbsoluteWitdh },
        { "scaleAbsoluteHeight", &ConversionOptions::scaleAbsoluteHeight },
        { "scaleRelativeTo", &ConversionOptions::scaleRelativeTo },
        { "scaleRelativeWidth", &ConversionOptions::scaleRelativeWidth },
        { "scaleRelativeHeight", &ConversionOptions::scaleRelativeHeight },
        { "textSize", &ConversionOptions::textSize },
        { "textPosition", &ConversionOptions::textPosition },
        { "textOpacity", &ConversionOptions::textOpacity },
        { "textMargin", &ConversionOptions::textMargin },
        { "imageSize", &ConversionOptions::imageSize },
        { "imagePosition", &ConversionOptions::imagePosition },
        { "imageOpacity", &ConversionOptions::imageOpacity },
        { "imageMargin", &ConversionOptions::imageMargin },
        { "qrCodeSize", &ConversionOptions::qrCodeSize },
        { "qrCodePosition", &ConversionOptions::qrCodePosition },
        { "qrCodeMargin", &ConversionOptions::qrCodeMargin },
    };
    static const QHash<QString, bool ConversionOptions::*> bools = {
        { "resizeImageToPaper", &ConversionOptions::resizeImageToPaper },
        { "pdfSmoothEdges", &ConversionOptions::pdfSmoothEdges },
        { "scaleImage", &ConversionOptions::scaleImage },
    };
    static const QHash<QString, QString ConversionOptions::*> strings = {
        { "lastPicturesDir", &ConversionOptions::lastPicturesDir },
        { "outputFolder", &ConversionOptions::outputFolder },
        { "pdfFileName", &ConversionOptions::pdfFileName },
        { "textContent", &ConversionOptions::textContent },
        { "imagePath", &ConversionOptions::imagePath },
        { "qrCodeText", &ConversionOptions::qrCodeText },
    };
    if (ints.contains(key))
        o.*ints.value(key) = v.toInt();
    else if (bools.contains(key))
        o.*bools.value(key) = v.toBool();
    else if (strings.contains(key))
        o.*strings.value(key) = v.toString();
}

// What the store's load does with one file: every key with its default and conversion, then the
// rules of the positions below AdjustImageCount that exist (never a loop up to the count, which
// a hand-edited file may make huge).
ConversionOptions loadFrom(QSettings &settings)
{
    ConversionOptions options;
    settings.beginGroup(QStringLiteral("MainApp"));
    for (const StoredKey &stored : storedKeys) {
        const QString key = QLatin1String(stored.key);
        const QVariant value = settings.value(key, stored.defaultValue);
        switch (stored.kind) {
        case Kind::Font: {
            const QString text = value.toString();
            if (!text.isEmpty())
                options.textFont.setFamilies(text.split(QLatin1Char(',')));
            break;
        }
        case Kind::Color: {
            const QColor color = QColor::fromString(value.toString());
            options.textColor = color.isValid() ? color : QColor(Qt::black);
            break;
        }
        case Kind::Position: {
            const int position = value.toInt();
            assign(options, key, position < 0 || position >= 9 ? 8 : position);
            break;
        }
        default:
            assign(options, key, value);
        }
    }
    const qint64 count = settings.value(QStringLiteral("AdjustImageCount"), 0).toLongLong();
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        bool isNumber = false;
        const qint64 position = key.mid(11).toLongLong(&isNumber);
        if (!isNumber || position < 0 || position >= count
            || key != QLatin1String("AdjustImage") + QString::number(position))
            continue;
        if (const std::optional<AdjustRule> rule = adjustRuleFromText(settings.value(key).toString()))
            options.ruleList.append(*rule);
    }
    settings.endGroup();
    return options;
}

// A rule read from text, written back and read again, is the same rule.
void checkRoundTrip(const QString &text)
{
    const std::optional<AdjustRule> rule = adjustRuleFromText(text);
    if (!rule)
        return;
    const std::optional<AdjustRule> again = adjustRuleFromText(adjustRuleToText(*rule));
    if (!again || again->ruleIndex != rule->ruleIndex || again->value() != rule->value())
        std::abort();
}

void silence(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(silence);
    static QApplication app(*argc, *argv);
    workDir = new QTemporaryDir;
    picturePath = workDir->filePath(QStringLiteral("picture.png"));
    watermarkPath = workDir->filePath(QStringLiteral("logo.png"));
    picture = QImage(24, 16, QImage::Format_RGB32);
    picture.fill(QColor(40, 120, 200));
    QImage logo(8, 6, QImage::Format_ARGB32);
    logo.fill(QColor(250, 10, 10, 128));
    if (!picture.save(picturePath) || !logo.save(watermarkPath))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // A new name each run: QSettings keeps parsed files by name.
    const QString path = workDir->filePath(QStringLiteral("settings-%1.ini").arg(++runNumber));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
    ConversionOptions loaded;
    {
        QSettings settings(path, QSettings::IniFormat);
        loaded = loadFrom(settings);
    }
    QFile::remove(path);

    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray &line : lines)
        checkRoundTrip(QString::fromUtf8(line));

    // The fuzzer's paths would only probe the file system; a watermark picture stays ours.
    if (!loaded.imagePath.isEmpty())
        loaded.imagePath = watermarkPath;
    // The size rule runs on every hostile value here; rendering a big (legal) result would only
    // be slow, so the pipeline gets the small ones.
    if (loaded.scaleImage) {
        const std::optional<QSize> size = computeScaledSize(loaded, picture.width(), picture.height());
        if (size && qint64(size->width()) * size->height() > 300 * 300)
            loaded.scaleImage = false;
    }
    updateOptions([&](ConversionOptions &o) { o = loaded; });
    for (const bool fastPreview : { false, true }) {
        const QImage image = renderImage(picturePath, fastPreview);
        if (!image.isNull() && (image.width() <= 0 || image.height() <= 0))
            std::abort();
    }
    return 0;
}
