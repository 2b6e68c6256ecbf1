// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/conversionoptions.h"
#include "formsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

using TestSupport::darkPalette;
using TestSupport::iconImage;
using TestSupport::openMainApp;
using TestSupport::resourceIcon;

QString storedText(const QString &key)
{
    return openMainApp()->value(key).toString();
}

void storeRules(const QStringList &texts)
{
    std::unique_ptr<QSettings> settings = openMainApp();
    settings->setValue(QStringLiteral("AdjustImageCount"), qint64(texts.size()));
    for (int i = 0; i < texts.size(); ++i)
        settings->setValue(QStringLiteral("AdjustImage%1").arg(i), texts.at(i));
}

// Answers the next message box from a timer; the answer only clicks and notes what it saw, since
// a failing check in there would leave the box open.
void answerMessageBox(const std::function<void(QMessageBox *)> &answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        answer(box);
    });
    timer->start(10);
}

QList<int> kinds()
{
    QList<int> result;
    for (const AdjustRule &rule : conversionOptions().ruleList)
        result.append(rule.ruleIndex);
    return result;
}

} // namespace

class TestAdjustmentRuleEditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ConvertImageForm> form;

    template <typename T> T *widget(const QString &name) { return TestSupport::child<T>(form.get(), name); }

    void startForm();
    void addFromMenu(const QString &text);
    void setEditMode(bool on);
    QStringList layoutRowNames();
    QList<QPushButton *> rowButtons(int id);

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuAddsRowWithRangeAndStoresEmptyValue_data();
    void menuAddsRowWithRangeAndStoresEmptyValue();
    void twinControlsFollowEachOtherAndStore();
    void spinBoxRefusesValuesOutsideItsRange_data();
    void spinBoxRefusesValuesOutsideItsRange();
    void upAndDownWrapAround();
    void deletingRemovesTheRightRuleAndLastHidesButtons();
    void deleteAllAnsweredNoChangesNothing();
    void deleteAllAnsweredYesEmptiesAndStores();
    void restoredRowsShowStoredValues_data();
    void restoredRowsShowStoredValues();
    void darkPaletteTurnsRowIconsWhite();
    void editModeShowsAndHidesRowButtons();
};

void TestAdjustmentRuleEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(openMainApp()->fileName().contains(QLatin1String(".qttest")));
}

void TestAdjustmentRuleEditor::init()
{
    TestSupport::resetFormState();
}

void TestAdjustmentRuleEditor::cleanup()
{
    form.reset();
    TestSupport::restoreStandardPalette();
}

void TestAdjustmentRuleEditor::startForm()
{
    form = TestSupport::startForm();
}

void TestAdjustmentRuleEditor::addFromMenu(const QString &text)
{
    QMenu *menu = widget<QToolButton>(QStringLiteral("adjustAddButton"))->menu();
    QVERIFY(menu);
    for (QAction *action : menu->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no menu entry ") + text));
}

void TestAdjustmentRuleEditor::setEditMode(bool on)
{
    auto *button = widget<QToolButton>(QStringLiteral("adjustDeleteButton"));
    if (button->isChecked() != on)
        button->click();
    QCOMPARE(button->isChecked(), on);
}

QStringList TestAdjustmentRuleEditor::layoutRowNames()
{
    QLayout *layout = widget<QWidget>(QStringLiteral("adjustScrollAreaWidgetContents"))->layout();
    QStringList names;
    for (int i = 0; i < layout->count(); ++i) {
        if (QWidget *row = layout->itemAt(i)->widget())
            names.append(row->objectName());
    }
    return names;
}

QList<QPushButton *> TestAdjustmentRuleEditor::rowButtons(int id)
{
    QList<QPushButton *> buttons;
    for (const char *prefix : { "DeleteButton", "UpButton", "DownButton" })
        buttons.append(widget<QPushButton>(QLatin1String(prefix) + QString::number(id)));
    return buttons;
}

void TestAdjustmentRuleEditor::menuAddsRowWithRangeAndStoresEmptyValue_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("hasValue");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::newRow("grayscale") << "Grayscale"
                               << "Convert image to grayscale." << 0 << false << 0 << 0;
    QTest::newRow("sepia") << "Sepia"
                           << "Apply sepia tone to image" << 1 << false << 0 << 0;
    QTest::newRow("contrast") << "Contrast"
                              << "Contrast:" << 2 << true << -255 << 255;
    QTest::newRow("brightness") << "Brightness"
                                << "Brightness:" << 3 << true << -255 << 255;
    QTest::newRow("gamma") << "Gamma"
                           << "Gamma:" << 4 << true << -100 << 999;
    QTest::newRow("invert") << "Invert Colors"
                            << "Invert Colors:" << 5 << true << 0 << 255;
    QTest::newRow("blur") << "Gaussian Blur Radius"
                          << "Gaussian Blur:" << 6 << true << 0 << 50;
}

void TestAdjustmentRuleEditor::menuAddsRowWithRangeAndStoresEmptyValue()
{
    QFETCH(QString, entry);
    QFETCH(QString, label);
    QFETCH(int, kind);
    QFETCH(bool, hasValue);
    QFETCH(int, minimum);
    QFETCH(int, maximum);

    startForm();
    setEditMode(false);
    QVERIFY(widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());
    addFromMenu(entry);

    QCOMPARE(kinds(), QList<int>({ kind }));
    QCOMPARE(conversionOptions().ruleList.at(0).ruleId, 0);
    QVERIFY(!conversionOptions().ruleList.at(0).values[0].isValid());
    QCOMPARE(layoutRowNames(), QStringList({ QStringLiteral("Widget0") }));
    auto *row = widget<QWidget>(QStringLiteral("Widget0"));
    QCOMPARE(row->findChild<QLabel *>()->text(), label);
    for (QPushButton *button : rowButtons(0))
        QVERIFY(button->isHidden());
    QVERIFY(!widget<QToolButton>(QStringLiteral("adjustDeleteButton"))->isHidden());
    QVERIFY(!widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());

    auto *slider = row->findChild<QSlider *>(QStringLiteral("Slider0"));
    auto *spinBox = row->findChild<QSpinBox *>(QStringLiteral("SpinBox0"));
    QCOMPARE(slider != nullptr, hasValue);
    QCOMPARE(spinBox != nullptr, hasValue);
    if (hasValue) {
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), minimum);
        QCOMPARE(slider->maximum(), maximum);
        QCOMPARE(spinBox->minimum(), minimum);
        QCOMPARE(spinBox->maximum(), maximum);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(spinBox->value(), 0);
    }

    QCOMPARE(openMainApp()->value(QStringLiteral("AdjustImageCount")).toInt(), 1);
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("0;%1;;;;;").arg(kind));
}

void TestAdjustmentRuleEditor::twinControlsFollowEachOtherAndStore()
{
    startForm();
    addFromMenu(QStringLiteral("Grayscale"));
    addFromMenu(QStringLiteral("Contrast"));
    auto *slider = widget<QSlider>(QStringLiteral("Slider1"));
    auto *spinBox = widget<QSpinBox>(QStringLiteral("SpinBox1"));

    slider->setValue(40);
    QCOMPARE(spinBox->value(), 40);
    QCOMPARE(conversionOptions().ruleList.at(1).value(), 40);
    QCOMPARE(storedText(QStringLiteral("AdjustImage1")), QStringLiteral("1;2;40;;;;"));
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("0;0;;;;;"));

    spinBox->setValue(-12);
    QCOMPARE(slider->value(), -12);
    QCOMPARE(conversionOptions().ruleList.at(1).value(), -12);
    QCOMPARE(storedText(QStringLiteral("AdjustImage1")), QStringLiteral("1;2;-12;;;;"));
    QVERIFY(!conversionOptions().ruleList.at(0).values[0].isValid());
}

void TestAdjustmentRuleEditor::spinBoxRefusesValuesOutsideItsRange_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("shown");
    QTest::newRow("brightness above") << "Brightness" << 256 << 255;
    QTest::newRow("brightness below") << "Brightness" << -256 << -255;
    QTest::newRow("gamma from the menu") << "Gamma" << 1000 << 999;
    QTest::newRow("invert below") << "Invert Colors" << -1 << 0;
    QTest::newRow("blur above") << "Gaussian Blur Radius" << 51 << 50;
}

void TestAdjustmentRuleEditor::spinBoxRefusesValuesOutsideItsRange()
{
    QFETCH(QString, entry);
    QFETCH(int, asked);
    QFETCH(int, shown);
    startForm();
    addFromMenu(entry);
    auto *spinBox = widget<QSpinBox>(QStringLiteral("SpinBox0"));

    spinBox->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(spinBox, QString::number(asked));
    QTest::keyClick(spinBox, Qt::Key_Enter);
    QVERIFY(spinBox->value() != asked);

    spinBox->setValue(asked);
    QCOMPARE(spinBox->value(), shown);
    QCOMPARE(widget<QSlider>(QStringLiteral("Slider0"))->value(), shown);
    QCOMPARE(conversionOptions().ruleList.at(0).value(), shown);
}

void TestAdjustmentRuleEditor::upAndDownWrapAround()
{
    startForm();
    setEditMode(true);
    addFromMenu(QStringLiteral("Grayscale"));
    addFromMenu(QStringLiteral("Sepia"));
    addFromMenu(QStringLiteral("Contrast"));

    QTest::ignoreMessage(QtDebugMsg, "on_rule_down_clicked");
    widget<QPushButton>(QStringLiteral("DownButton2"))->click();
    QCOMPARE(kinds(), QList<int>({ 2, 0, 1 }));
    QCOMPARE(layoutRowNames(), QStringList({ "Widget2", "Widget0", "Widget1" }));
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("2;2;;;;;"));
    QCOMPARE(storedText(QStringLiteral("AdjustImage2")), QStringLiteral("1;1;;;;;"));

    widget<QPushButton>(QStringLiteral("UpButton2"))->click();
    QCOMPARE(kinds(), QList<int>({ 0, 1, 2 }));
    QCOMPARE(layoutRowNames(), QStringList({ "Widget0", "Widget1", "Widget2" }));
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("0;0;;;;;"));

    widget<QPushButton>(QStringLiteral("UpButton1"))->click();
    QCOMPARE(kinds(), QList<int>({ 1, 0, 2 }));
    QTest::ignoreMessage(QtDebugMsg, "on_rule_down_clicked");
    widget<QPushButton>(QStringLiteral("DownButton1"))->click();
    QCOMPARE(kinds(), QList<int>({ 0, 1, 2 }));
    QCOMPARE(layoutRowNames(), QStringList({ "Widget0", "Widget1", "Widget2" }));
}

void TestAdjustmentRuleEditor::deletingRemovesTheRightRuleAndLastHidesButtons()
{
    startForm();
    setEditMode(true);
    addFromMenu(QStringLiteral("Grayscale"));
    addFromMenu(QStringLiteral("Contrast"));
    addFromMenu(QStringLiteral("Sepia"));
    widget<QSlider>(QStringLiteral("Slider1"))->setValue(7);

    widget<QPushButton>(QStringLiteral("DeleteButton0"))->click();
    QCOMPARE(kinds(), QList<int>({ 2, 1 }));
    QCOMPARE(layoutRowNames(), QStringList({ "Widget1", "Widget2" }));
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("1;2;7;;;;"));
    QCOMPARE(openMainApp()->value(QStringLiteral("AdjustImageCount")).toInt(), 2);

    // A move right after a delete must not trip over the row still waiting for deletion.
    widget<QPushButton>(QStringLiteral("UpButton1"))->click();
    QCOMPARE(layoutRowNames(), QStringList({ "Widget2", "Widget1" }));
    widget<QPushButton>(QStringLiteral("DeleteButton1"))->click();
    widget<QPushButton>(QStringLiteral("DeleteButton2"))->click();
    QVERIFY(conversionOptions().ruleList.isEmpty());
    QVERIFY(layoutRowNames().isEmpty());
    QCOMPARE(openMainApp()->value(QStringLiteral("AdjustImageCount")).toInt(), 0);
    auto *editButton = widget<QToolButton>(QStringLiteral("adjustDeleteButton"));
    QVERIFY(editButton->isHidden());
    QVERIFY(editButton->isChecked());
    QVERIFY(widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());
    QTRY_VERIFY(!form->findChild<QWidget *>(QStringLiteral("Widget0")));

    addFromMenu(QStringLiteral("Brightness"));
    QVERIFY(!editButton->isHidden());
    QVERIFY(!widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());
    for (QPushButton *button : rowButtons(3))
        QVERIFY(!button->isHidden());
}

void TestAdjustmentRuleEditor::deleteAllAnsweredNoChangesNothing()
{
    storeRules({ QStringLiteral("4;2;40;;;;"), QStringLiteral("9;0;;;;;") });
    startForm();
    std::unique_ptr<QSettings> settings = openMainApp();
    const QStringList keysBefore = settings->allKeys();
    settings.reset();

    QString title, text;
    answerMessageBox([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->click();
    QCOMPARE(title, QStringLiteral("Remove All Adjustment Settings"));
    QCOMPARE(text, QStringLiteral("Are you sure you want to remove all adjustment settings?"));

    QCOMPARE(kinds(), QList<int>({ 2, 0 }));
    QCOMPARE(layoutRowNames(), QStringList({ "Widget0", "Widget1" }));
    QCOMPARE(openMainApp()->allKeys(), keysBefore);
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("4;2;40;;;;"));
    QVERIFY(!widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());
}

void TestAdjustmentRuleEditor::deleteAllAnsweredYesEmptiesAndStores()
{
    storeRules({ QStringLiteral("4;2;40;;;;"), QStringLiteral("9;0;;;;;") });
    startForm();
    answerMessageBox([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
    widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->click();

    QVERIFY(conversionOptions().ruleList.isEmpty());
    QVERIFY(layoutRowNames().isEmpty());
    QCOMPARE(openMainApp()->value(QStringLiteral("AdjustImageCount")).toInt(), 0);
    QVERIFY(widget<QToolButton>(QStringLiteral("adjustDeleteButton"))->isHidden());
    QVERIFY(widget<QToolButton>(QStringLiteral("adjustDeleteAllButton"))->isHidden());

    // Row numbers keep counting after a clear.
    addFromMenu(QStringLiteral("Sepia"));
    QCOMPARE(storedText(QStringLiteral("AdjustImage0")), QStringLiteral("2;1;;;;;"));
}

void TestAdjustmentRuleEditor::restoredRowsShowStoredValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("gamma at its top") << "6;4;1000;;;;" << -100 << 1000 << 1000;
    QTest::newRow("brightness -1") << "3;3;-1;;;;" << -255 << 255 << -1;
    QTest::newRow("contrast 40") << "5;2;40;;;;" << -255 << 255 << 40;
    QTest::newRow("blur without value") << "2;6;;;;;" << 0 << 50 << 0;
}

void TestAdjustmentRuleEditor::restoredRowsShowStoredValues()
{
    QFETCH(QString, stored);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    storeRules({ QStringLiteral("8;7;;;;;"), stored });
    startForm();

    // The unknown kind adds nothing, so the restored rule is row 0.
    QCOMPARE(conversionOptions().ruleList.size(), 1);
    QCOMPARE(conversionOptions().ruleList.at(0).value(), value);
    auto *slider = widget<QSlider>(QStringLiteral("Slider0"));
    auto *spinBox = widget<QSpinBox>(QStringLiteral("SpinBox0"));
    QCOMPARE(slider->minimum(), minimum);
    QCOMPARE(slider->maximum(), maximum);
    QCOMPARE(spinBox->maximum(), maximum);
    QCOMPARE(slider->value(), value);
    QCOMPARE(spinBox->value(), value);
    // Loading stores nothing: the text keeps its old row number.
    QCOMPARE(storedText(QStringLiteral("AdjustImage1")), stored);
}

void TestAdjustmentRuleEditor::darkPaletteTurnsRowIconsWhite()
{
    if (!QFile::exists(QStringLiteral(":/resources/images/_DeleteWhiteIcon24.png")))
        QSKIP("the icon set is not compiled into this build");
    const QStringList light = { "_DeleteIcon24.png", "_ArrowUp24.png", "_ArrowDown24.png" };
    const QStringList dark = { "_DeleteWhiteIcon24.png", "_ArrowUpWhite24.png", "_ArrowDownWhite24.png" };
    for (int i = 0; i < light.size(); ++i)
        QVERIFY(resourceIcon(light.at(i)) != resourceIcon(dark.at(i)));

    startForm();
    addFromMenu(QStringLiteral("Sepia"));
    addFromMenu(QStringLiteral("Gamma"));
    for (int id : { 0, 1 }) {
        const QList<QPushButton *> buttons = rowButtons(id);
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(iconImage(buttons.at(i)->icon()), resourceIcon(light.at(i)));
    }

    QApplication::setPalette(darkPalette());
    form->applyTheme();
    addFromMenu(QStringLiteral("Contrast"));
    for (int id : { 0, 1, 2 }) {
        const QList<QPushButton *> buttons = rowButtons(id);
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(iconImage(buttons.at(i)->icon()), resourceIcon(dark.at(i)));
    }

    QApplication::setPalette(QApplication::style()->standardPalette());
    form->applyTheme();
    const QList<QPushButton *> buttons = rowButtons(2);
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(iconImage(buttons.at(i)->icon()), resourceIcon(light.at(i)));
}

void TestAdjustmentRuleEditor::editModeShowsAndHidesRowButtons()
{
    startForm();
    setEditMode(false);
    addFromMenu(QStringLiteral("Grayscale"));
    addFromMenu(QStringLiteral("Brightness"));
    for (int id : { 0, 1 }) {
        for (QPushButton *button : rowButtons(id)) {
            QVERIFY(button->isHidden());
            QCOMPARE(button->width(), 30);
            QVERIFY(button->isFlat());
        }
    }

    setEditMode(true);
    for (int id : { 0, 1 }) {
        for (QPushButton *button : rowButtons(id))
            QVERIFY(!button->isHidden());
    }
    addFromMenu(QStringLiteral("Sepia"));
    for (QPushButton *button : rowButtons(2))
        QVERIFY(!button->isHidden());

    setEditMode(false);
    for (int id : { 0, 1, 2 }) {
        for (QPushButton *button : rowButtons(id))
            QVERIFY(button->isHidden());
    }
}

QTEST_MAIN(TestAdjustmentRuleEditor)
#include "tst_adjustmentruleeditor.moc"
