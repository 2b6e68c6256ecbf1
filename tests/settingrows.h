// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace TestSupport {

// One of the window's newer settings, as the command line gives it and as its control stores it.
struct SettingRow {
    QString tag;
    QVariantMap settings; // keys and values as the window stores them, the target among them
    QStringList line; // the options that give the settings; empty when the line is not tried
    QString control; // the form's control that stores `key`; empty when none is tried
    QVariant input; // what is entered into the control; none for a click
    QString key;
};

// `picture` is the picture watermark's file.
inline QList<SettingRow> settingRows(const QString &picture)
{
    // The target, the setting and its control; the line (after --format) and the further settings
    // it gives where it is tried.
    const auto row
        = [](const char *tag, int target, const char *key, const QVariant &value, const char *control,
              const QVariant &input, QStringList line = {}, QVariantMap settings = {}) {
              static const char *const formats[]
                  = { "AVIF", "GIF", "HEIC", "HEIF", "JPG", "JPEG XL", "PNG", "TIFF", "WEBP" };
              settings.insert("targeFileType", target);
              settings.insert(key, value);
              if (!line.isEmpty())
                  line = QStringList { "--format", formats[target] } + line;
              return SettingRow { tag, settings, line, control, input, key };
          };
    const QVariant click;
    const QString font = QStringLiteral("DejaVu Sans");
    return {
        row("webp quality", 8, "webpQuality", 40, "formatQualitySpinBox", 40, { "--quality", "40" }),
        row("avif quality", 0, "avifQuality", 33, "formatQualitySpinBox", 33),
        row("heic quality", 2, "heicQuality", 80, "formatQualitySpinBox", 80),
        row("heif quality", 3, "heifQuality", 81, "formatQualitySpinBox", 81),
        row("jxl quality", 5, "jxlQuality", 60, "formatQualitySpinBox", 60),
        row("jxl lossless", 5, "jxlLossless", true, "losslessCheckBox", click),
        row("webp lossless", 8, "webpLossless", true, "losslessCheckBox", click, { "--lossless", "on" }),
        row("avif lossless", 0, "avifLossless", true, "losslessCheckBox", click),
        row("png level", 6, "pngCompression", 9, "pngCompressionSpinBox", 9, { "--compression", "9" }),
        row("tiff deflate", 7, "tiffCompression", 2, "tiffCompressionComboBox", 2,
            { "--compression", "deflate" }),
        row("background", 4, "backgroundColor", "#ff0000", "", {}, { "--background", "#ff0000" }),
        row("file name", 6, "namePattern", "{counter}-{name}", "namePatternLineEdit", "{counter}-{name}",
            { "--file-name", "{counter}-{name}" }),
        row("exists action", 4, "targetExistsAction", 2, "targetExistsComboBox", 2),
        row("keep folders", 4, "keepFolderStructure", true, "keepFolderStructureCheckBox", click),
        row("next to original", 4, "saveNextToOriginal", true, "saveNextToOriginalCheckBox", click),
        row("only the RAW of a pair", 4, "convertOnlyRawOfPairs", true, "rawPairsCheckBox", click),
        row("long edge", 6, "scaleRelativeEdge", 50, "", {}, { "--long-edge", "50" },
            { { "scaleImage", true }, { "scaleType", 2 }, { "scaleRelativeTo", 2 } }),
        row("short edge", 6, "scaleRelativeEdge", 50, "", {}, { "--short-edge", "50" },
            { { "scaleImage", true }, { "scaleType", 2 }, { "scaleRelativeTo", 3 } }),
        row("keep aspect", 6, "scaleKeepAspect", true, "keepAspectCheckBox", click,
            { "--width", "60", "--height", "60", "--keep-aspect-ratio", "on" },
            { { "scaleImage", true }, { "scaleType", 1 }, { "scaleAbsoluteWitdh", 60 },
                { "scaleAbsoluteHeight", 60 } }),
        row("do not enlarge", 6, "scaleNoEnlarge", true, "noEnlargeCheckBox", click,
            { "--width", "1000", "--do-not-enlarge", "on" },
            { { "scaleImage", true }, { "scaleType", 2 }, { "scaleRelativeWidth", 1000 } }),
        row("relative text", 6, "textSizeRelative", true, "textSizeRelativeCheckBox", click,
            { "--text", "Rel", "--text-font", font, "--text-size", "20", "--text-relative", "on" },
            { { "textContent", "Rel" }, { "textFont", font }, { "textSize", 20 } }),
        row("relative picture", 6, "imageSizeRelative", true, "imageSizeRelativeCheckBox", click,
            { "--image", picture, "--image-size", "30", "--image-relative", "on" },
            { { "imagePath", picture }, { "imageSize", 30 } }),
        row("relative qr", 6, "qrCodeSizeRelative", true, "qrCodeSizeRelativeCheckBox", click,
            { "--qr", "rel", "--qr-size", "40", "--qr-relative", "on" },
            { { "qrCodeText", "rel" }, { "qrCodeSize", 40 } }),
        row("after resizing", 6, "watermarksAfterScaling", true, "watermarksAfterScalingCheckBox", click,
            { "--scale", "50%", "--qr", "after", "--qr-size", "30", "--watermarks-after-resizing", "on" },
            { { "scaleImage", true }, { "scalePercentage", 50 }, { "qrCodeText", "after" },
                { "qrCodeSize", 30 } }),
        row("threads", 6, "threadLimit", 1, "threadLimitSpinBox", 1, { "--threads", "1" }),
    };
}

} // namespace TestSupport
