// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "dialoganswer.h"
#include "formsupport.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

QString ruleKinds()
{
    QString kinds;
    for (const AdjustRule &rule : conversionOptions().ruleList)
        kinds += QString::number(rule.ruleIndex) + QLatin1Char('=') + QString::number(rule.value())
            + QLatin1Char(' ');
    return kinds.trimmed();
}

} // namespace

class TestPresetButtons : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { form.reset(); }
    void savedPresetLoadsBackIntoFormAndStore();
    void loadNamesTheKeysItIgnored();

private:
    void click(const char *name)
    {
        QTest::mouseClick(TestSupport::child<QToolButton>(form.get(), name), Qt::LeftButton);
    }

    QTemporaryDir dir;
    std::unique_ptr<ConvertImageForm> form;
};

void TestPresetButtons::init()
{
    QVERIFY(dir.isValid());
    TestSupport::resetFormState();
    form = TestSupport::startForm();
}

void TestPresetButtons::savedPresetLoadsBackIntoFormAndStore()
{
    auto *text = TestSupport::child<QLineEdit>(form.get(), "textLineEdit");
    text->setText(QStringLiteral("Holiday 2026"));
    form->onSepiaAction();
    form->onContrastAction(40);
    const QString saved = ruleKinds();
    QCOMPARE(saved, QStringLiteral("1=0 2=40"));

    // Saved without a suffix: the preset gets .ini, the suffix the command line's help names.
    TestSupport::chooseInFileDialog(dir.filePath(QStringLiteral("web")));
    click("savePresetButton");
    const QString preset = dir.filePath(QStringLiteral("web.ini"));
    QVERIFY(QFileInfo::exists(preset));
    QCOMPARE(QSettings(preset, QSettings::IniFormat).value(QStringLiteral("MainApp/textContent")).toString(),
        QStringLiteral("Holiday 2026"));

    text->setText(QStringLiteral("something else"));
    form->onGrayscaleAction();
    QVERIFY(ruleKinds() != saved);

    TestSupport::chooseInFileDialog(preset);
    click("loadPresetButton");
    QCOMPARE(text->text(), QStringLiteral("Holiday 2026"));
    QCOMPARE(conversionOptions().textContent, QStringLiteral("Holiday 2026"));
    QCOMPARE(ruleKinds(), saved);
    // The loaded preset is what the next start restores.
    QCOMPARE(
        TestSupport::storedValue(QStringLiteral("textContent")).toString(), QStringLiteral("Holiday 2026"));
    QCOMPARE(TestSupport::storedValue(QStringLiteral("AdjustImageCount")).toInt(), 2);
}

void TestPresetButtons::loadNamesTheKeysItIgnored()
{
    const QString preset = dir.filePath(QStringLiteral("hand.ini"));
    {
        QSettings ini(preset, QSettings::IniFormat);
        ini.setValue(QStringLiteral("MainApp/textContent"), QStringLiteral("by hand"));
        ini.setValue(QStringLiteral("MainApp/scalePercentage"), 9999);
        ini.setValue(QStringLiteral("MainApp/noSuchKey"), 1);
    }
    QString report;
    TestSupport::chooseInFileDialog(preset);
    TestSupport::answerDialog<QMessageBox>([&report](QMessageBox *box) {
        report = box->text();
        box->accept();
    });
    // The message box's timer starts after the file dialog has gone; it waits for its own modal.
    click("loadPresetButton");
    QTRY_VERIFY(!report.isEmpty());
    QVERIFY2(report.contains(QStringLiteral("MainApp/noSuchKey")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("MainApp/scalePercentage")), qPrintable(report));
    QCOMPARE(conversionOptions().textContent, QStringLiteral("by hand"));
    QCOMPARE(conversionOptions().scalePercentage, 100);
}

int main(int argc, char *argv[])
{
    return TestSupport::runWidgetTest<TestPresetButtons>(argc, argv);
}

#include "tst_presetbuttons.moc"
