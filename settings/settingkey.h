// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QVariant>
#include <climits>

class QSettings;

// What one store request writes. Only PdfFile covers more than one key: storing any of its three
// options writes all three.
enum class SettingItem {
    OutputFolder = 0,
    PdfFile = 1, // pdfFileName, resizeImageToPaper, pdfSmoothEdges
    PdfPaperSize = 2,
    ScaleImage = 3,
    ScaleType = 4,
    ScalePercentage = 5,
    ScaleAbsoluteWidth = 6,
    ScaleAbsoluteHeight = 7,
    ScaleRelativeTo = 8,
    ScaleRelativeWidth = 9,
    ScaleRelativeHeight = 10,
    TextContent = 11,
    TextFont = 12,
    TextSize = 13,
    TextColor = 14,
    TextPosition = 15,
    TextOpacity = 16,
    TextMargin = 17,
    ImagePath = 18,
    ImageSize = 19,
    ImagePosition = 20,
    ImageOpacity = 21,
    ImageMargin = 22,
    QrCodeText = 23,
    QrCodeSize = 24,
    QrCodePosition = 25,
    QrCodeMargin = 26,
    AdjustRules = 34, // AdjustImageCount and one AdjustImage<n> key per rule
    TargetFileType = 100,
    TargetFileQuality = 101,
    LastPicturesDir = 102,
    PdfPaperOrientation = 103,
    PdfPaperMargin = 104,
    PdfPaperMarginSize = 105,
    PdfQuality = 108,
    KeepMetadata = 120,
    RemoveLocation = 121,
    WebpQuality = 200,
    WebpLossless = 201,
    AvifQuality = 202,
    AvifLossless = 203,
    HeicQuality = 204,
    HeifQuality = 205,
    JxlQuality = 206,
    JxlLossless = 207,
    PngCompression = 208,
    TiffCompression = 209,
    NamePattern = 210,
    TargetExistsAction = 211,
    KeepFolderStructure = 212,
    SaveNextToOriginal = 213,
    ScaleRelativeEdge = 214,
    ScaleNoEnlarge = 215,
    ScaleKeepAspect = 216,
    BackgroundColor = 217,
    TextSizeRelative = 218,
    ImageSizeRelative = 219,
    QrCodeSizeRelative = 220,
    WatermarksAfterScaling = 221,
    ConvertOnlyRawOfPairs = 240,
    ThreadLimit = 241,
};

// One stored option: its key, the item that writes it, its default, whether a reset restores it,
// and how it goes into the store and comes back. Loading and resetting both go through `assign`,
// so a default and a loaded value are checked the same way. `kind` with `minimum`..`maximum`
// says which values a hand-edited preset may hold (the ranges of the window's widgets).
struct SettingKey {
    enum Kind { Int, Bool, String, Font, Color };

    QString key;
    SettingItem item;
    QVariant defaultValue;
    bool restoredByReset;
    QVariant (*value)(const ConversionOptions &);
    void (*assign)(ConversionOptions &, const QVariant &, const QFont &standardFont);
    Kind kind;
    int minimum;
    int maximum;
};

// Every stored option, in load order. The rule list is kept apart under the rule keys below.
const QList<SettingKey> &settingKeys();

namespace SettingKeys {

extern const QString GroupName; // "MainApp"
extern const QString RuleCountKey; // "AdjustImageCount"
extern const QString RuleKeyPrefix; // "AdjustImage"

// The rules of the current group: the AdjustImage keys below the stored count, in position order.
// A key whose text is no rule, or a rule that `accept` (may be null) refuses, goes to *rejected
// (may be null) by name.
AdjustRuleList loadRules(
    QSettings &settings, QStringList *rejected = nullptr, bool (*accept)(const AdjustRule &) = nullptr);
void storeRules(QSettings &settings, const AdjustRuleList &rules);

} // namespace SettingKeys
