// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/encodersettings.h"
#include "imaging/adjustrule.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

// Everything the user has chosen for a conversion. Each member is named by the settings key
// it is stored under (typos included: stored settings depend on them).
struct ConversionOptions {
    // Output
    int targeFileType = 0;
    int targeFileQuality = 95;
    // The other encoders; each default is what the encoder used before it could be chosen.
    int webpQuality = EncoderSettings::DefaultWebpQuality;
    bool webpLossless = false;
    int avifQuality = EncoderSettings::DefaultAvifQuality;
    bool avifLossless = false;
    int heicQuality = EncoderSettings::DefaultHeifQuality;
    int heifQuality = EncoderSettings::DefaultHeifQuality;
    int jxlQuality = EncoderSettings::DefaultJxlQuality;
    bool jxlLossless = false;
    int pngCompression = EncoderSettings::DefaultPngCompression;
    int tiffCompression = EncoderSettings::TiffNone;
    QString outputFolder;
    // Under the transparent parts of a picture, for targets that hold no transparency.
    QColor backgroundColor = Qt::white;
    // Naming and folders of a file job; the defaults give the names and places of earlier versions.
    QString namePattern = QStringLiteral("{name}");
    int targetExistsAction = 0; // 0 ask, 1 skip, 2 add a number
    bool keepFolderStructure = false;
    bool saveNextToOriginal = false;
    // When a camera's RAW and JPEG of one shot are both listed, only the RAW is converted.
    bool convertOnlyRawOfPairs = false;
    QString lastPicturesDir;

    // Combined PDF
    QString pdfFileName;
    int pdfPaperSize = 0;
    bool resizeImageToPaper = false;
    bool pdfSmoothEdges = true;
    int pdfQuality = 2;
    int pdfPaperOrientation = 0;
    int pdfPaperMargin = 0;
    int pdfPaperMarginSize = 20;

    // Scaling
    bool scaleImage = false;
    int scaleType = 0;
    int scalePercentage = 100;
    int scaleAbsoluteWitdh = 1920;
    int scaleAbsoluteHeight = 1080;
    int scaleRelativeTo = 0;
    int scaleRelativeWidth = 1920;
    int scaleRelativeHeight = 1080;
    int scaleRelativeEdge = 1920; // for scaleRelativeTo 2 (long edge) and 3 (short edge)
    bool scaleNoEnlarge = false;
    bool scaleKeepAspect = false; // absolute size: fit within the box instead of stretching
    bool watermarksAfterScaling = false; // drawn at the output size rather than the source's

    // Text watermark; textFont is the form's standard font until the store or the user sets one.
    QString textContent;
    QFont textFont;
    int textSize = 12;
    QColor textColor = Qt::black;
    int textPosition = 8;
    int textOpacity = 100;
    int textMargin = 0;
    bool textSizeRelative = false; // textSize in percent of the picture's width

    // Image watermark
    QString imagePath;
    int imageSize = 100;
    int imagePosition = 8;
    int imageOpacity = 100;
    int imageMargin = 0;
    bool imageSizeRelative = false; // imageSize in percent of the picture's width

    // QR code watermark
    QString qrCodeText;
    int qrCodeSize = 100;
    int qrCodePosition = 8;
    int qrCodeMargin = 0;
    bool qrCodeSizeRelative = false; // qrCodeSize in percent of the picture's width

    // Adjustments, applied in list order.
    AdjustRuleList ruleList;

    // Metadata of the source (EXIF, XMP, IPTC) written into each file target.
    bool keepMetadata = true;
    bool removeLocation = true;

    // Cores a job may keep busy (files at once, and their encoders' threads); 0 takes every core.
    int threadLimit = 0;
};

// The one live record of the process. Read it freely on the GUI thread; it is written only
// on the GUI thread, through updateOptions(), so that snapshots taken by workers are consistent.
const ConversionOptions &conversionOptions();
void updateOptions(const std::function<void(ConversionOptions &)> &change);

// A consistent copy for one call on any thread.
ConversionOptions optionsSnapshot();

// Restores every option to its default (tests, settings reset).
void resetOptions();
