#pragma once

#include "imaging/adjustrule.h"

#include <QFont>

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
};

// The options kept between runs: QSettings (organisation "Larkspan", application "ZirarurOvize",
// group "MainApp"), read once at start and written one item per change. GUI thread only.
namespace SettingsStore {

// Fills the live options from the store, with standardFont standing in for a missing text font.
// The rule list is left alone: the stored rules come back in list order for the caller to add.
AdjustRuleList loadOptions(const QFont &standardFont);

// Writes the keys of one item with the current values of their options.
void storeSetting(SettingItem item);

// Puts the scaling, text, image and QR code options back to their defaults and stores them; the
// target, the output folder, the PDF options and the rule list are left as they are.
void resetEffectOptions(const QFont &standardFont);

} // namespace SettingsStore
