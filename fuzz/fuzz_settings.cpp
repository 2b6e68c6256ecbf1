// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds a random INI file through everything that reads the stored settings: the preset loader
// (the same file read as a preset), the settings store's own load (QSettings with its @Variant(...) values,
// which it deserialises, every key and its conversion, the rule keys below the stored count), the adjustment
// rule text form, and then the render pipeline with the options so loaded, since a hand-edited file can hold
// values no widget allows.
#include "convert/conversionoptions.h"
#include "imaging/adjustrule.h"
#include "imaging/renderpipeline.h"
#include "imaging/scaling.h"
#include "plugins/imageformats/common/decodelimits.h"
#include "settings/preset.h"
#include "settings/settingsstore.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
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
    static QGuiApplication app(*argc, *argv);
    QImageReader::setAllocationLimit(DecodeLimits::AllocationLimitMB);
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
    // A new folder each run: QSettings keeps parsed files by name.
    const QString home = workDir->filePath(QString::number(++runNumber));
    const QString path = home + QStringLiteral("/Larkspan/ZirarurOvize.conf");
    {
        QDir().mkpath(home + QStringLiteral("/Larkspan"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
    // A preset loads what is valid: every value it takes lies in its key's range.
    ConversionOptions preset;
    const Preset::LoadResult presetResult = Preset::load(path, &preset, QFont());
    if (!presetResult.read || preset.textPosition < 0 || preset.textPosition > 8
        || preset.targeFileQuality < 0 || preset.targeFileQuality > 99 || preset.scalePercentage < 0
        || preset.scalePercentage > 400)
        std::abort();
    for (const AdjustRule &rule : std::as_const(preset.ruleList)) {
        if (rule.ruleIndex < 0 || rule.ruleIndex > 6)
            std::abort();
    }

    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home);
    resetOptions();
    const AdjustRuleList rules = SettingsStore::loadOptions(QFont());
    QDir(home).removeRecursively();
    ConversionOptions loaded = optionsSnapshot();
    loaded.ruleList = rules;

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
