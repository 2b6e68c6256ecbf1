// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TestSupport::openMainApp;
using TestSupport::storedKeys;
using TestSupport::storedValue;

void writeStored(const QMap<QString, QVariant> &values)
{
    std::unique_ptr<QSettings> settings(openMainApp());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings->setValue(it.key(), it.value());
}

AdjustRule makeRule(int ruleId, int kind, QVariant value = QVariant())
{
    AdjustRule rule;
    rule.ruleId = ruleId;
    rule.ruleIndex = kind;
    rule.values[0] = value;
    return rule;
}

// Every option away from its default, so that a load or reset that skips a key shows up.
void setUnusualOptions()
{
    updateOptions([](ConversionOptions &o) {
        o.lastPicturesDir = QStringLiteral("/pictures/last");
        o.targeFileType = 6;
        o.targeFileQuality = 42;
        o.outputFolder = QStringLiteral("/out/folder");
        o.pdfFileName = QStringLiteral("album.pdf");
        o.pdfPaperSize = 3;
        o.resizeImageToPaper = true;
        o.pdfSmoothEdges = false;
        o.pdfQuality = 5;
        o.pdfPaperOrientation = 1;
        o.pdfPaperMargin = 1;
        o.pdfPaperMarginSize = 33;
        o.scaleImage = true;
        o.scaleType = 2;
        o.scalePercentage = 250;
        o.scaleAbsoluteWitdh = 640;
        o.scaleAbsoluteHeight = 480;
        o.scaleRelativeTo = 1;
        o.scaleRelativeWidth = 1024;
        o.scaleRelativeHeight = 768;
        o.textContent = QStringLiteral("© Larkspan; 2024, \"quoted\"");
        o.textFont = QFont(QStringLiteral("DejaVu Serif"));
        o.textSize = 31;
        o.textColor = QColor(0x12, 0x34, 0x56);
        o.textPosition = 3;
        o.textOpacity = 55;
        o.textMargin = 17;
        o.imagePath = QStringLiteral("/marks/logo.png");
        o.imageSize = 45;
        o.imagePosition = 0;
        o.imageOpacity = 65;
        o.imageMargin = 21;
        o.qrCodeText = QStringLiteral("line one\nline two");
        o.qrCodeSize = 321;
        o.qrCodePosition = 4;
        o.qrCodeMargin = 13;
        o.keepMetadata = false;
        o.removeLocation = false;
        o.ruleList = { makeRule(4, AdjustRule::Contrast, 50), makeRule(9, AdjustRule::Grayscale),
            makeRule(11, AdjustRule::Brightness, -1) };
    });
}

const QList<SettingItem> &allItems()
{
    using I = SettingItem;
    static const QList<SettingItem> items = {
        I::OutputFolder,
        I::PdfFile,
        I::PdfPaperSize,
        I::ScaleImage,
        I::ScaleType,
        I::ScalePercentage,
        I::ScaleAbsoluteWidth,
        I::ScaleAbsoluteHeight,
        I::ScaleRelativeTo,
        I::ScaleRelativeWidth,
        I::ScaleRelativeHeight,
        I::TextContent,
        I::TextFont,
        I::TextSize,
        I::TextColor,
        I::TextPosition,
        I::TextOpacity,
        I::TextMargin,
        I::ImagePath,
        I::ImageSize,
        I::ImagePosition,
        I::ImageOpacity,
        I::ImageMargin,
        I::QrCodeText,
        I::QrCodeSize,
        I::QrCodePosition,
        I::QrCodeMargin,
        I::AdjustRules,
        I::TargetFileType,
        I::TargetFileQuality,
        I::LastPicturesDir,
        I::PdfPaperOrientation,
        I::PdfPaperMargin,
        I::PdfPaperMarginSize,
        I::PdfQuality,
        I::KeepMetadata,
        I::RemoveLocation,
    };
    return items;
}

} // namespace

Q_DECLARE_METATYPE(SettingItem)

class TestSettingsStore : public QObject {
    Q_OBJECT

private:
    QFont standardFont { QStringLiteral("DejaVu Sans"), 9 };

private slots:
    void initTestCase();
    void init();

    void freshStoreYieldsDefaults();
    void everyOptionStoresAndLoadsBack();
    void eachItemWritesExactlyItsKeys_data();
    void eachItemWritesExactlyItsKeys();
    void positionsOutsideTheListLoadAsBottomRight_data();
    void positionsOutsideTheListLoadAsBottomRight();
    void storedFontCountsOnlyByFamily();
    void textColorLoads_data();
    void textColorLoads();
    void valuesOutsideWidgetRangesAreKept();
    void ruleListLoadsInPositionOrderWithDebugLines();
    void shorterRuleListLeavesOldKeysUnread();
    void corruptRuleCountLoadsOnlyExistingKeys_data();
    void corruptRuleCountLoadsOnlyExistingKeys();
    void resetRestoresOnlyEffectOptions();
};

void TestSettingsStore::initTestCase()
{
    QVERIFY(QStandardPaths::isTestModeEnabled());
    std::unique_ptr<QSettings> settings(openMainApp());
    QVERIFY2(settings->fileName().contains(QLatin1String(".qttest")), qPrintable(settings->fileName()));
}

void TestSettingsStore::init()
{
    std::unique_ptr<QSettings> settings(openMainApp());
    settings->endGroup();
    settings->clear();
    resetOptions();
}

void TestSettingsStore::freshStoreYieldsDefaults()
{
    setUnusualOptions();
    const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
    const ConversionOptions &o = conversionOptions();

    QCOMPARE(o.lastPicturesDir, QString());
    QCOMPARE(o.targeFileType, 0);
    QCOMPARE(o.targeFileQuality, 95);
    QCOMPARE(o.outputFolder, QString());
    QCOMPARE(o.pdfFileName, QString());
    QCOMPARE(o.pdfPaperSize, 0);
    QCOMPARE(o.resizeImageToPaper, false);
    QCOMPARE(o.pdfSmoothEdges, true);
    QCOMPARE(o.pdfQuality, 2);
    QCOMPARE(o.pdfPaperOrientation, 0);
    QCOMPARE(o.pdfPaperMargin, 0);
    QCOMPARE(o.pdfPaperMarginSize, 20);
    QCOMPARE(o.scaleImage, false);
    QCOMPARE(o.scaleType, 0);
    QCOMPARE(o.scalePercentage, 100);
    QCOMPARE(o.scaleAbsoluteWitdh, 1920);
    QCOMPARE(o.scaleAbsoluteHeight, 1080);
    QCOMPARE(o.scaleRelativeTo, 0);
    QCOMPARE(o.scaleRelativeWidth, 1920);
    QCOMPARE(o.scaleRelativeHeight, 1080);
    QCOMPARE(o.textContent, QString());
    QCOMPARE(o.textFont, standardFont);
    QCOMPARE(o.textSize, 12);
    QCOMPARE(o.textColor, QColor(Qt::black));
    QCOMPARE(o.textPosition, 8);
    QCOMPARE(o.textOpacity, 100);
    QCOMPARE(o.textMargin, 0);
    QCOMPARE(o.imagePath, QString());
    QCOMPARE(o.imageSize, 100);
    QCOMPARE(o.imagePosition, 8);
    QCOMPARE(o.imageOpacity, 100);
    QCOMPARE(o.imageMargin, 0);
    QCOMPARE(o.qrCodeText, QString());
    QCOMPARE(o.qrCodeSize, 100);
    QCOMPARE(o.qrCodePosition, 8);
    QCOMPARE(o.qrCodeMargin, 0);
    QCOMPARE(o.keepMetadata, true);
    QCOMPARE(o.removeLocation, true);
    QVERIFY(rules.isEmpty());
    QVERIFY2(storedKeys().isEmpty(), "loading must not write anything");
}

void TestSettingsStore::everyOptionStoresAndLoadsBack()
{
    setUnusualOptions();
    const ConversionOptions written = conversionOptions();
    for (SettingItem item : allItems())
        SettingsStore::storeSetting(item);

    resetOptions();
    const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
    const ConversionOptions &o = conversionOptions();

    QCOMPARE(o.lastPicturesDir, written.lastPicturesDir);
    QCOMPARE(o.targeFileType, written.targeFileType);
    QCOMPARE(o.targeFileQuality, written.targeFileQuality);
    QCOMPARE(o.outputFolder, written.outputFolder);
    QCOMPARE(o.pdfFileName, written.pdfFileName);
    QCOMPARE(o.pdfPaperSize, written.pdfPaperSize);
    QCOMPARE(o.resizeImageToPaper, written.resizeImageToPaper);
    QCOMPARE(o.pdfSmoothEdges, written.pdfSmoothEdges);
    QCOMPARE(o.pdfQuality, written.pdfQuality);
    QCOMPARE(o.pdfPaperOrientation, written.pdfPaperOrientation);
    QCOMPARE(o.pdfPaperMargin, written.pdfPaperMargin);
    QCOMPARE(o.pdfPaperMarginSize, written.pdfPaperMarginSize);
    QCOMPARE(o.scaleImage, written.scaleImage);
    QCOMPARE(o.scaleType, written.scaleType);
    QCOMPARE(o.scalePercentage, written.scalePercentage);
    QCOMPARE(o.scaleAbsoluteWitdh, written.scaleAbsoluteWitdh);
    QCOMPARE(o.scaleAbsoluteHeight, written.scaleAbsoluteHeight);
    QCOMPARE(o.scaleRelativeTo, written.scaleRelativeTo);
    QCOMPARE(o.scaleRelativeWidth, written.scaleRelativeWidth);
    QCOMPARE(o.scaleRelativeHeight, written.scaleRelativeHeight);
    QCOMPARE(o.textContent, written.textContent);
    QCOMPARE(o.textFont.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(o.textSize, written.textSize);
    QCOMPARE(o.textColor, written.textColor);
    QCOMPARE(o.textPosition, written.textPosition);
    QCOMPARE(o.textOpacity, written.textOpacity);
    QCOMPARE(o.textMargin, written.textMargin);
    QCOMPARE(o.imagePath, written.imagePath);
    QCOMPARE(o.imageSize, written.imageSize);
    QCOMPARE(o.imagePosition, written.imagePosition);
    QCOMPARE(o.imageOpacity, written.imageOpacity);
    QCOMPARE(o.imageMargin, written.imageMargin);
    QCOMPARE(o.qrCodeText, written.qrCodeText);
    QCOMPARE(o.keepMetadata, written.keepMetadata);
    QCOMPARE(o.removeLocation, written.removeLocation);
    QCOMPARE(o.qrCodeSize, written.qrCodeSize);
    QCOMPARE(o.qrCodePosition, written.qrCodePosition);
    QCOMPARE(o.qrCodeMargin, written.qrCodeMargin);

    QCOMPARE(rules.size(), 3);
    QCOMPARE(rules.at(0).ruleIndex, int(AdjustRule::Contrast));
    QCOMPARE(rules.at(0).value(), 50);
    QCOMPARE(rules.at(1).ruleIndex, int(AdjustRule::Grayscale));
    QCOMPARE(rules.at(2).ruleIndex, int(AdjustRule::Brightness));
    QCOMPARE(rules.at(2).value(), -1);

    // The stored names are the option names, letter for letter.
    QCOMPARE(storedValue(QStringLiteral("scaleAbsoluteWitdh")).toInt(), 640);
    QCOMPARE(storedValue(QStringLiteral("targeFileQuality")).toInt(), 42);
    QCOMPARE(storedValue(QStringLiteral("AdjustImage0")).toString(), QStringLiteral("4;2;50;;;;"));
    QCOMPARE(storedValue(QStringLiteral("AdjustImageCount")).toLongLong(), 3);
}

void TestSettingsStore::eachItemWritesExactlyItsKeys_data()
{
    QTest::addColumn<SettingItem>("item");
    QTest::addColumn<QStringList>("keys");
    using I = SettingItem;
    QTest::newRow("0") << I::OutputFolder << QStringList { "outputFolder" };
    QTest::newRow("1") << I::PdfFile << QStringList { "pdfFileName", "pdfSmoothEdges", "resizeImageToPaper" };
    QTest::newRow("2") << I::PdfPaperSize << QStringList { "pdfPaperSize" };
    QTest::newRow("3") << I::ScaleImage << QStringList { "scaleImage" };
    QTest::newRow("4") << I::ScaleType << QStringList { "scaleType" };
    QTest::newRow("5") << I::ScalePercentage << QStringList { "scalePercentage" };
    QTest::newRow("6") << I::ScaleAbsoluteWidth << QStringList { "scaleAbsoluteWitdh" };
    QTest::newRow("7") << I::ScaleAbsoluteHeight << QStringList { "scaleAbsoluteHeight" };
    QTest::newRow("8") << I::ScaleRelativeTo << QStringList { "scaleRelativeTo" };
    QTest::newRow("9") << I::ScaleRelativeWidth << QStringList { "scaleRelativeWidth" };
    QTest::newRow("10") << I::ScaleRelativeHeight << QStringList { "scaleRelativeHeight" };
    QTest::newRow("11") << I::TextContent << QStringList { "textContent" };
    QTest::newRow("12") << I::TextFont << QStringList { "textFont" };
    QTest::newRow("13") << I::TextSize << QStringList { "textSize" };
    QTest::newRow("14") << I::TextColor << QStringList { "textColor" };
    QTest::newRow("15") << I::TextPosition << QStringList { "textPosition" };
    QTest::newRow("16") << I::TextOpacity << QStringList { "textOpacity" };
    QTest::newRow("17") << I::TextMargin << QStringList { "textMargin" };
    QTest::newRow("18") << I::ImagePath << QStringList { "imagePath" };
    QTest::newRow("19") << I::ImageSize << QStringList { "imageSize" };
    QTest::newRow("20") << I::ImagePosition << QStringList { "imagePosition" };
    QTest::newRow("21") << I::ImageOpacity << QStringList { "imageOpacity" };
    QTest::newRow("22") << I::ImageMargin << QStringList { "imageMargin" };
    QTest::newRow("23") << I::QrCodeText << QStringList { "qrCodeText" };
    QTest::newRow("24") << I::QrCodeSize << QStringList { "qrCodeSize" };
    QTest::newRow("25") << I::QrCodePosition << QStringList { "qrCodePosition" };
    QTest::newRow("26") << I::QrCodeMargin << QStringList { "qrCodeMargin" };
    QTest::newRow("34") << I::AdjustRules
                        << QStringList { "AdjustImage0", "AdjustImage1", "AdjustImage2", "AdjustImageCount" };
    QTest::newRow("100") << I::TargetFileType << QStringList { "targeFileType" };
    QTest::newRow("101") << I::TargetFileQuality << QStringList { "targeFileQuality" };
    QTest::newRow("102") << I::LastPicturesDir << QStringList { "lastPicturesDir" };
    QTest::newRow("103") << I::PdfPaperOrientation << QStringList { "pdfPaperOrientation" };
    QTest::newRow("104") << I::PdfPaperMargin << QStringList { "pdfPaperMargin" };
    QTest::newRow("105") << I::PdfPaperMarginSize << QStringList { "pdfPaperMarginSize" };
    QTest::newRow("108") << I::PdfQuality << QStringList { "pdfQuality" };
    QTest::newRow("120") << I::KeepMetadata << QStringList { "keepMetadata" };
    QTest::newRow("121") << I::RemoveLocation << QStringList { "removeLocation" };
}

void TestSettingsStore::eachItemWritesExactlyItsKeys()
{
    QFETCH(SettingItem, item);
    QFETCH(QStringList, keys);
    setUnusualOptions();
    SettingsStore::storeSetting(item);
    QCOMPARE(storedKeys(), keys);
}

void TestSettingsStore::positionsOutsideTheListLoadAsBottomRight_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("loaded");
    for (const char *key : { "textPosition", "imagePosition", "qrCodePosition" }) {
        QTest::addRow("%s 9", key) << QString::fromLatin1(key) << 9 << 8;
        QTest::addRow("%s -1", key) << QString::fromLatin1(key) << -1 << 8;
        QTest::addRow("%s 12", key) << QString::fromLatin1(key) << 12 << 8;
        QTest::addRow("%s 0", key) << QString::fromLatin1(key) << 0 << 0;
        QTest::addRow("%s 7", key) << QString::fromLatin1(key) << 7 << 7;
    }
}

void TestSettingsStore::positionsOutsideTheListLoadAsBottomRight()
{
    QFETCH(QString, key);
    QFETCH(int, stored);
    QFETCH(int, loaded);
    writeStored({ { key, stored } });
    SettingsStore::loadOptions(standardFont);
    const ConversionOptions &o = conversionOptions();
    const int value = key == QLatin1String("textPosition") ? o.textPosition
        : key == QLatin1String("imagePosition")            ? o.imagePosition
                                                           : o.qrCodePosition;
    QCOMPARE(value, loaded);
}

void TestSettingsStore::storedFontCountsOnlyByFamily()
{
    writeStored({ { QStringLiteral("textFont"), QFont(QStringLiteral("DejaVu Serif"), 20).toString() },
        { QStringLiteral("textSize"), 14 } });
    SettingsStore::loadOptions(standardFont);
    QCOMPARE(conversionOptions().textFont.family(), QStringLiteral("DejaVu Serif"));
    QVERIFY(conversionOptions().textFont.pointSize() != 20);
    QCOMPARE(conversionOptions().textSize, 14);
}

void TestSettingsStore::textColorLoads_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QColor>("loaded");
    QTest::newRow("missing") << QVariant() << QColor(Qt::black);
    QTest::newRow("hex name") << QVariant(QStringLiteral("#102030")) << QColor(0x10, 0x20, 0x30);
    QTest::newRow("colour value") << QVariant(QColor(200, 100, 50)) << QColor(200, 100, 50);
    QTest::newRow("not a colour") << QVariant(QStringLiteral("banana")) << QColor(Qt::black);
    QTest::newRow("number") << QVariant(12345) << QColor(Qt::black);
}

void TestSettingsStore::textColorLoads()
{
    QFETCH(QVariant, stored);
    QFETCH(QColor, loaded);
    if (stored.isValid())
        writeStored({ { QStringLiteral("textColor"), stored } });
    updateOptions([](ConversionOptions &o) { o.textColor = Qt::green; });
    SettingsStore::loadOptions(standardFont);
    QCOMPARE(conversionOptions().textColor, loaded);
}

void TestSettingsStore::valuesOutsideWidgetRangesAreKept()
{
    writeStored({ { QStringLiteral("textSize"), 5000 }, { QStringLiteral("targeFileQuality"), 150 },
        { QStringLiteral("scalePercentage"), -20 },
        { QStringLiteral("textOpacity"), QStringLiteral("not a number") } });
    SettingsStore::loadOptions(standardFont);
    QCOMPARE(conversionOptions().textSize, 5000);
    QCOMPARE(conversionOptions().targeFileQuality, 150);
    QCOMPARE(conversionOptions().scalePercentage, -20);
    QCOMPARE(conversionOptions().textOpacity, 0);
}

void TestSettingsStore::ruleListLoadsInPositionOrderWithDebugLines()
{
    // Written out of order and with two-digit positions, so that a text sort would misplace 10.
    QMap<QString, QVariant> values { { QStringLiteral("AdjustImageCount"), qint64(11) } };
    for (int i = 0; i < 11; ++i)
        values.insert(
            QStringLiteral("AdjustImage%1").arg(i), QStringLiteral("%1;3;%2;;;;").arg(i).arg(i * 10));
    values.insert(QStringLiteral("AdjustImage10"), QStringLiteral("10;6;7;;;;"));
    writeStored(values);

    QTest::ignoreMessage(QtDebugMsg, "rawData: 10;6;7;;;;");
    QTest::ignoreMessage(QtDebugMsg, "rawData: 2;3;20;;;;");
    const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
    QCOMPARE(rules.size(), 11);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(rules.at(i).ruleIndex, int(AdjustRule::Brightness));
        QCOMPARE(rules.at(i).value(), i * 10);
    }
    QCOMPARE(rules.at(10).ruleIndex, int(AdjustRule::GaussianBlur));
    QCOMPARE(rules.at(10).value(), 7);
}

void TestSettingsStore::shorterRuleListLeavesOldKeysUnread()
{
    updateOptions([](ConversionOptions &o) {
        for (int i = 0; i < 5; ++i)
            o.ruleList.append(makeRule(i, AdjustRule::Contrast, i));
    });
    SettingsStore::storeSetting(SettingItem::AdjustRules);
    updateOptions([](ConversionOptions &o) {
        o.ruleList.removeAt(3);
        o.ruleList.removeAt(1);
    });
    SettingsStore::storeSetting(SettingItem::AdjustRules);

    QCOMPARE(storedValue(QStringLiteral("AdjustImageCount")).toLongLong(), 3);
    QCOMPARE(storedValue(QStringLiteral("AdjustImage1")).toString(), QStringLiteral("2;2;2;;;;"));
    QCOMPARE(storedValue(QStringLiteral("AdjustImage2")).toString(), QStringLiteral("4;2;4;;;;"));
    QCOMPARE(storedValue(QStringLiteral("AdjustImage4")).toString(), QStringLiteral("4;2;4;;;;"));

    const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
    QCOMPARE(rules.size(), 3);
    QCOMPARE(rules.at(0).value(), 0);
    QCOMPARE(rules.at(1).value(), 2);
    QCOMPARE(rules.at(2).value(), 4);
}

void TestSettingsStore::corruptRuleCountLoadsOnlyExistingKeys_data()
{
    QTest::addColumn<QVariant>("count");
    QTest::addColumn<int>("loaded");
    QTest::newRow("10^12") << QVariant(qint64(1000000000000LL)) << 3;
    QTest::newRow("10^12 as text") << QVariant(QStringLiteral("1000000000000")) << 3;
    QTest::newRow("-5") << QVariant(qint64(-5)) << 0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("many")) << 0;
    QTest::newRow("2 of 3") << QVariant(qint64(2)) << 2;
}

void TestSettingsStore::corruptRuleCountLoadsOnlyExistingKeys()
{
    QFETCH(QVariant, count);
    QFETCH(int, loaded);
    writeStored({ { QStringLiteral("AdjustImageCount"), count },
        { QStringLiteral("AdjustImage0"), QStringLiteral("0;0;;;;;") },
        { QStringLiteral("AdjustImage1"), QStringLiteral("1;1;;;;;") },
        { QStringLiteral("AdjustImage2"), QStringLiteral("2;4;300;;;;") },
        { QStringLiteral("AdjustImage01"), QStringLiteral("9;5;9;;;;") } });
    const AdjustRuleList rules = SettingsStore::loadOptions(standardFont);
    QCOMPARE(rules.size(), loaded);
    const QList<int> kinds = { AdjustRule::Grayscale, AdjustRule::Sepia, AdjustRule::Gamma };
    for (int i = 0; i < rules.size(); ++i)
        QCOMPARE(rules.at(i).ruleIndex, kinds.at(i));
}

void TestSettingsStore::resetRestoresOnlyEffectOptions()
{
    setUnusualOptions();
    for (SettingItem item : allItems())
        SettingsStore::storeSetting(item);
    const ConversionOptions before = conversionOptions();

    SettingsStore::resetEffectOptions(standardFont);
    resetOptions();
    setUnusualOptions();
    SettingsStore::loadOptions(standardFont);

    // Stored as well as in memory: the store now holds the defaults of the effect options.
    const ConversionOptions &o = conversionOptions();
    QCOMPARE(o.scaleImage, false);
    QCOMPARE(o.scaleType, 0);
    QCOMPARE(o.scalePercentage, 100);
    QCOMPARE(o.scaleAbsoluteWitdh, 1920);
    QCOMPARE(o.scaleRelativeHeight, 1080);
    QCOMPARE(o.textContent, QString());
    QCOMPARE(o.textFont.family(), standardFont.family());
    QCOMPARE(o.textColor, QColor(Qt::black));
    QCOMPARE(o.textPosition, 8);
    QCOMPARE(o.imagePath, QString());
    QCOMPARE(o.imageOpacity, 100);
    QCOMPARE(o.qrCodeText, QString());
    QCOMPARE(o.qrCodeSize, 100);
    QCOMPARE(o.keepMetadata, true);
    QCOMPARE(o.removeLocation, true);

    QCOMPARE(o.targeFileType, before.targeFileType);
    QCOMPARE(o.targeFileQuality, before.targeFileQuality);
    QCOMPARE(o.outputFolder, before.outputFolder);
    QCOMPARE(o.lastPicturesDir, before.lastPicturesDir);
    QCOMPARE(o.pdfFileName, before.pdfFileName);
    QCOMPARE(o.pdfPaperSize, before.pdfPaperSize);
    QCOMPARE(o.pdfSmoothEdges, before.pdfSmoothEdges);
    QCOMPARE(o.pdfPaperMarginSize, before.pdfPaperMarginSize);
    QCOMPARE(storedValue(QStringLiteral("AdjustImageCount")).toLongLong(), 3);
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestSettingsStore>(argc, argv);
}

#include "tst_settingsstore.moc"
