// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Presets: what the window saves loads back whole; a hand-edited file loads what is valid and
// names the keys it ignored.
#include "convert/conversionoptions.h"
#include "settings/preset.h"
#include "settings/settingkey.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QVariant optionValue(const ConversionOptions &options, const QString &key)
{
    for (const SettingKey &setting : settingKeys()) {
        if (setting.key == key)
            return setting.value(options);
    }
    return QVariant();
}

} // namespace

class TestPreset : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    int fileNumber = 0;

    // A new name each time: QSettings keeps parsed files by name.
    QString writePreset(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("preset%1.ini").arg(++fileNumber));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return QString();
        return path;
    }

private Q_SLOTS:
    void savedPresetLoadsBackWhole()
    {
        ConversionOptions saved;
        saved.targeFileType = 5;
        saved.targeFileQuality = 42;
        saved.outputFolder = QStringLiteral("/out");
        saved.pdfSmoothEdges = false;
        saved.pdfPaperMargin = 1;
        saved.scaleImage = true;
        saved.scaleType = 2;
        saved.scaleRelativeHeight = 777;
        saved.textContent = QStringLiteral("  spaced, \"quoted\"; [x] = y  ");
        saved.textFont = QFont(QFont(QStringLiteral("DejaVu Serif")).toString());
        saved.textColor = QColor(0x12, 0x34, 0x56);
        saved.qrCodePosition = 2;
        saved.qrCodeSize = 1000;
        AdjustRule gamma;
        gamma.ruleIndex = AdjustRule::Gamma;
        gamma.values[0] = 1000;
        saved.ruleList = { gamma };
        const QString path = dir.filePath(QStringLiteral("saved.ini"));
        QVERIFY(Preset::save(path, saved));

        ConversionOptions loaded;
        const Preset::LoadResult result = Preset::load(path, &loaded, QFont());
        QVERIFY(result.read);
        QCOMPARE(result.ignoredKeys, QStringList());
        for (const SettingKey &key : settingKeys())
            QCOMPARE(optionValue(loaded, key.key), optionValue(saved, key.key));
        QCOMPARE(loaded.textFont.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(loaded.ruleList.size(), 1);
        QCOMPARE(loaded.ruleList.at(0).ruleIndex, int(AdjustRule::Gamma));
        QCOMPARE(loaded.ruleList.at(0).value(), 1000);
    }

    void handEditedPresetLoadsWhatIsValid_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QStringList>("ignored");
        QTest::newRow("empty file") << QByteArray() << "textSize" << QVariant(12) << QStringList();
        QTest::newRow("valid value") << QByteArray("[MainApp]\ntextSize=20\n") << "textSize" << QVariant(20)
                                     << QStringList();
        QTest::newRow("unknown key") << QByteArray("[MainApp]\nsharpness=5\ntextSize=20\n") << "textSize"
                                     << QVariant(20) << QStringList { "MainApp/sharpness" };
        QTest::newRow("other group") << QByteArray("[Other]\nx=1\n[MainApp]\nimageSize=50\n") << "imageSize"
                                     << QVariant(50) << QStringList { "Other/x" };
        QTest::newRow("out of range") << QByteArray("[MainApp]\ntargeFileQuality=150\n") << "targeFileQuality"
                                      << QVariant(95) << QStringList { "MainApp/targeFileQuality" };
        QTest::newRow("not a number") << QByteArray("[MainApp]\ntextSize=big\n") << "textSize" << QVariant(12)
                                      << QStringList { "MainApp/textSize" };
        QTest::newRow("position 9") << QByteArray("[MainApp]\ntextPosition=9\n") << "textPosition"
                                    << QVariant(8) << QStringList { "MainApp/textPosition" };
        QTest::newRow("not a switch") << QByteArray("[MainApp]\nscaleImage=maybe\n") << "scaleImage"
                                      << QVariant(false) << QStringList { "MainApp/scaleImage" };
        QTest::newRow("switch") << QByteArray("[MainApp]\nscaleImage=true\n") << "scaleImage"
                                << QVariant(true) << QStringList();
        QTest::newRow("not a colour") << QByteArray("[MainApp]\ntextColor=#12345\n") << "textColor"
                                      << QVariant(QColor(Qt::black)) << QStringList { "MainApp/textColor" };
        QTest::newRow("unquoted comma") << QByteArray("[MainApp]\ntextContent=a, b\n") << "textContent"
                                        << QVariant(QStringLiteral("a, b")) << QStringList();
        QTest::newRow("format by name") << QByteArray("[MainApp]\ntargeFileType=JPG\n") << "targeFileType"
                                        << QVariant(4) << QStringList();
        QTest::newRow("format by extension") << QByteArray("[MainApp]\ntargeFileType=jxl\n")
                                             << "targeFileType" << QVariant(5) << QStringList();
        QTest::newRow("format unknown") << QByteArray("[MainApp]\ntargeFileType=BMP\n") << "targeFileType"
                                        << QVariant(0) << QStringList { "MainApp/targeFileType" };
        QTest::newRow("position by name") << QByteArray("[MainApp]\ntextPosition=Bottom - Right\n")
                                          << "textPosition" << QVariant(8) << QStringList();
        QTest::newRow("position folded") << QByteArray("[MainApp]\nqrCodePosition=top-left\n")
                                         << "qrCodePosition" << QVariant(0) << QStringList();
        QTest::newRow("position number")
            << QByteArray("[MainApp]\nimagePosition=4\n") << "imagePosition" << QVariant(4) << QStringList();
        QTest::newRow("dpi") << QByteArray("[MainApp]\npdfQuality=600\n") << "pdfQuality" << QVariant(4)
                             << QStringList();
        QTest::newRow("dpi unknown") << QByteArray("[MainApp]\npdfQuality=high\n") << "pdfQuality"
                                     << QVariant(2) << QStringList { "MainApp/pdfQuality" };
        QTest::newRow("choice unknown")
            << QByteArray("[MainApp]\ntargetExistsAction=replace\n") << "targetExistsAction" << QVariant(0)
            << QStringList { "MainApp/targetExistsAction" };
        QTest::newRow("switch on") << QByteArray("[MainApp]\nscaleImage=on\n") << "scaleImage"
                                   << QVariant(true) << QStringList();
        QTest::newRow("switch no") << QByteArray("[MainApp]\nkeepMetadata=no\n") << "keepMetadata"
                                   << QVariant(false) << QStringList();
        QTest::newRow("machine key passed over") << QByteArray("[MainApp]\nlastPicturesDir=/home/x\n")
                                                 << "lastPicturesDir" << QVariant(QString()) << QStringList();
        QTest::newRow("rule out of range") << QByteArray(
            "[MainApp]\nAdjustImageCount=3\nAdjustImage0=\"1;4;5000;;;;\"\nAdjustImage1=\"2;1;;;;;\"\n"
            "AdjustImage2=nonsense\n") << "rules"
                                           << QVariant(QStringLiteral("1"))
                                           << QStringList { "MainApp/AdjustImage0", "MainApp/AdjustImage2" };
    }

    void handEditedPresetLoadsWhatIsValid()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        QFETCH(QStringList, ignored);
        const QString path = writePreset(content);
        QVERIFY(!path.isEmpty());
        ConversionOptions options;
        const Preset::LoadResult result = Preset::load(path, &options, QFont());
        QVERIFY(result.read);
        QStringList ignoredKeys = result.ignoredKeys;
        ignoredKeys.sort();
        QCOMPARE(ignoredKeys, ignored);
        if (key == QLatin1String("rules")) {
            QCOMPARE(options.ruleList.size(), 1);
            QCOMPARE(options.ruleList.at(0).ruleIndex, int(AdjustRule::Sepia));
        } else {
            QCOMPARE(optionValue(options, key), expected);
        }
    }

    // The window's presets name their choices and leave out what belongs to one machine; the file
    // reads as the documentation describes it and loads back the same.
    void savedPresetIsReadable_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("jxl") << 5 << QByteArray("targeFileType=JPEG XL");
        QTest::newRow("pdf") << 9 << QByteArray("targeFileType=PDF");
        QTest::newRow("jpg") << 4 << QByteArray("targeFileType=JPG");
    }

    void savedPresetIsReadable()
    {
        QFETCH(int, target);
        QFETCH(QByteArray, line);
        ConversionOptions saved;
        saved.targeFileType = target;
        saved.textPosition = 8;
        saved.scaleImage = true;
        saved.scaleRelativeTo = 2;
        saved.lastPicturesDir = QStringLiteral("/home/someone/Pictures");
        saved.threadLimit = 3;
        const QString path = dir.filePath(QStringLiteral("readable-%1.ini").arg(target));
        QVERIFY(Preset::save(path, saved));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const QByteArray &expected :
            { line, QByteArray("textPosition=Bottom - Right"), QByteArray("scaleImage=true"),
                QByteArray("scaleRelativeTo=Long edge"), QByteArray("pdfQuality=300 dpi") })
            QVERIFY2(text.contains(expected + '\n'), expected.constData());
        QVERIFY(!text.contains("lastPicturesDir"));
        QVERIFY(!text.contains("threadLimit"));
        ConversionOptions loaded;
        const Preset::LoadResult result = Preset::load(path, &loaded, QFont());
        QCOMPARE(result.ignoredKeys, QStringList());
        QCOMPARE(loaded.targeFileType, target);
        QCOMPARE(loaded.scaleRelativeTo, 2);
        QCOMPARE(loaded.lastPicturesDir, QString());
    }

    void missingKeysKeepTheCallersValues()
    {
        ConversionOptions options;
        options.textSize = 33;
        options.ruleList = { AdjustRule() };
        QVERIFY(Preset::load(writePreset("[MainApp]\nimageSize=50\n"), &options, QFont()).read);
        QCOMPARE(options.textSize, 33);
        QCOMPARE(options.imageSize, 50);
        QCOMPARE(options.ruleList.size(), 1);
    }

    void unreadableFileSaysWhy()
    {
        ConversionOptions options;
        const Preset::LoadResult result
            = Preset::load(dir.filePath(QStringLiteral("none.ini")), &options, QFont());
        QVERIFY(!result.read);
        QVERIFY(result.error.contains(QLatin1String("none.ini")));
        QVERIFY(!writePreset("a file, not a folder").isEmpty());
        QVERIFY(!Preset::save(dir.filePath(QStringLiteral("preset%1.ini/p.ini").arg(fileNumber)), options));
    }
};

QTEST_MAIN(TestPreset)
#include "tst_preset.moc"
