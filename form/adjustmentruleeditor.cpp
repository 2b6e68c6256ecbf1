// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The "Adjustments" tab: one row per rule of ruleList, in the same order, built and edited here.

#include "common/logging.h"
#include "convert/conversionoptions.h"
#include "form/convertimageform.h"
#include "ui_convertimageform.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <array>
#include <utility>

namespace {

const QString RowPrefix = QStringLiteral("Widget");
const QString SliderPrefix = QStringLiteral("Slider");
const QString SpinBoxPrefix = QStringLiteral("SpinBox");
const QString DeletePrefix = QStringLiteral("DeleteButton");
const QString UpPrefix = QStringLiteral("UpButton");
const QString DownPrefix = QStringLiteral("DownButton");

// A menu-made Gamma rule stops one short of what the store may hold.
constexpr int GammaMenuMaximum = 999;
constexpr int GammaRestoredMaximum = 1000;

QString rowId(const QWidget *row)
{
    return row->objectName().mid(RowPrefix.size());
}

QList<QPushButton *> rowButtons(const QWidget *row)
{
    const QString id = rowId(row);
    QList<QPushButton *> buttons;
    for (const QString &prefix : { DeletePrefix, UpPrefix, DownPrefix }) {
        if (auto *button = row->findChild<QPushButton *>(prefix + id))
            buttons.append(button);
    }
    return buttons;
}

} // namespace

void ConvertImageForm::setUpAdjustmentEditor()
{
    ui->adjustRulesLayout->setAlignment(Qt::AlignTop);
    ui->adjustDeleteButton->hide();
    ui->adjustDeleteAllButton->hide();

    auto *menu = new QMenu(ui->adjustAddButton);
    connect(
        menu->addAction(tr("Grayscale")), &QAction::triggered, this, &ConvertImageForm::onGrayscaleAction);
    connect(menu->addAction(tr("Sepia")), &QAction::triggered, this, &ConvertImageForm::onSepiaAction);
    connect(menu->addAction(tr("Contrast")), &QAction::triggered, this,
        qOverload<>(&ConvertImageForm::onContrastAction));
    connect(menu->addAction(tr("Brightness")), &QAction::triggered, this,
        qOverload<>(&ConvertImageForm::onBrightnessAction));
    connect(menu->addAction(tr("Gamma")), &QAction::triggered, this,
        qOverload<>(&ConvertImageForm::onGammaAction));
    connect(menu->addAction(tr("Invert Colors")), &QAction::triggered, this,
        qOverload<>(&ConvertImageForm::onInvertColorsAction));
    connect(menu->addAction(tr("Gaussian Blur Radius")), &QAction::triggered, this,
        qOverload<>(&ConvertImageForm::onGaussianBlurRadiusAction));
    ui->adjustAddButton->setMenu(menu);
    ui->adjustAddButton->setPopupMode(QToolButton::InstantPopup);
}

void ConvertImageForm::restoreRuleRow(const AdjustRule &rule)
{
    switch (rule.ruleIndex) {
    case AdjustRule::Grayscale:
        onGrayscaleAction();
        break;
    case AdjustRule::Sepia:
        onSepiaAction();
        break;
    case AdjustRule::Contrast:
        onContrastAction(rule.value());
        break;
    case AdjustRule::Brightness:
        onBrightnessAction(rule.value());
        break;
    case AdjustRule::Gamma:
        onGammaAction(rule.value());
        break;
    case AdjustRule::InvertColors:
        onInvertColorsAction(rule.value());
        break;
    case AdjustRule::GaussianBlur:
        onGaussianBlurRadiusAction(rule.value());
        break;
    default:
        break;
    }
}

void ConvertImageForm::onGrayscaleAction()
{
    qDebug() << "onGrayscaleAction";
    addRuleRow(tr("Convert image to grayscale."), AdjustRule::Grayscale);
}

void ConvertImageForm::onSepiaAction()
{
    addRuleRow(tr("Apply sepia tone to image"), AdjustRule::Sepia);
}

void ConvertImageForm::onContrastAction()
{
    addValueRuleRow(tr("Contrast:"), -255, 255, AdjustRule::Contrast);
}

void ConvertImageForm::onContrastAction(int value)
{
    addValueRuleRow(tr("Contrast:"), -255, 255, AdjustRule::Contrast, value);
}

void ConvertImageForm::onBrightnessAction()
{
    addValueRuleRow(tr("Brightness:"), -255, 255, AdjustRule::Brightness);
}

void ConvertImageForm::onBrightnessAction(int value)
{
    addValueRuleRow(tr("Brightness:"), -255, 255, AdjustRule::Brightness, value);
}

void ConvertImageForm::onGammaAction()
{
    addValueRuleRow(tr("Gamma:"), -100, GammaMenuMaximum, AdjustRule::Gamma);
}

void ConvertImageForm::onGammaAction(int value)
{
    addValueRuleRow(tr("Gamma:"), -100, GammaRestoredMaximum, AdjustRule::Gamma, value);
}

void ConvertImageForm::onInvertColorsAction()
{
    addValueRuleRow(tr("Invert Colors:"), 0, 255, AdjustRule::InvertColors);
}

void ConvertImageForm::onInvertColorsAction(int value)
{
    addValueRuleRow(tr("Invert Colors:"), 0, 255, AdjustRule::InvertColors, value);
}

void ConvertImageForm::onGaussianBlurRadiusAction()
{
    addValueRuleRow(tr("Gaussian Blur:"), 0, 50, AdjustRule::GaussianBlur);
}

void ConvertImageForm::onGaussianBlurRadiusAction(int value)
{
    addValueRuleRow(tr("Gaussian Blur:"), 0, 50, AdjustRule::GaussianBlur, value);
}

void ConvertImageForm::addRuleRow(const QString &label, int ruleIndex)
{
    AdjustRule rule;
    rule.ruleId = nextRuleId++;
    rule.ruleIndex = ruleIndex;

    auto *row = new QWidget;
    row->setObjectName(RowPrefix + QString::number(rule.ruleId));
    auto *layout = new QHBoxLayout(row);
    layout->addWidget(new QLabel(label, row));
    appendRuleRow(rule, row, layout);
}

void ConvertImageForm::addValueRuleRow(
    const QString &label, int minimum, int maximum, int ruleIndex, std::optional<int> value)
{
    AdjustRule rule;
    rule.ruleId = nextRuleId++;
    rule.ruleIndex = ruleIndex;
    if (value)
        rule.values[0] = *value;
    const QString id = QString::number(rule.ruleId);

    auto *row = new QWidget;
    row->setObjectName(RowPrefix + id);
    auto *layout = new QHBoxLayout(row);
    auto *text = new QLabel(label, row);
    text->setMinimumWidth(100);
    layout->addWidget(text);
    const QString name = QString(label).remove(QLatin1Char(':'));

    // Range and value are set before the signals are connected, so building a row emits nothing.
    auto *slider = new QSlider(Qt::Horizontal, row);
    slider->setObjectName(SliderPrefix + id);
    slider->setRange(minimum, maximum);
    slider->setValue(value.value_or(0));
    slider->setAccessibleName(name);
    layout->addWidget(slider);
    auto *spinBox = new QSpinBox(row);
    spinBox->setObjectName(SpinBoxPrefix + id);
    spinBox->setRange(minimum, maximum);
    spinBox->setValue(value.value_or(0));
    text->setBuddy(spinBox);
    layout->addWidget(spinBox);
    connect(slider, &QSlider::valueChanged, this, &ConvertImageForm::on_rule_slider_changed);
    connect(spinBox, &QSpinBox::valueChanged, this, &ConvertImageForm::on_rule_spinbox_changed);

    appendRuleRow(rule, row, layout);
}

void ConvertImageForm::appendRuleRow(const AdjustRule &rule, QWidget *row, QHBoxLayout *layout)
{
    const QString id = QString::number(rule.ruleId);
    const bool editing = ui->adjustDeleteButton->isChecked();
    struct RowButton {
        QString prefix;
        QString name;
        void (ConvertImageForm::*handler)(bool);
    };
    // The buttons show icons only; their names are what a screen reader says.
    const QList<RowButton> buttons = {
        { DeletePrefix, tr("Delete Adjustment"), &ConvertImageForm::on_rule_delete_clicked },
        { UpPrefix, tr("Move Adjustment Up"), &ConvertImageForm::on_rule_up_clicked },
        { DownPrefix, tr("Move Adjustment Down"), &ConvertImageForm::on_rule_down_clicked },
    };
    for (const auto &[prefix, name, handler] : buttons) {
        auto *button = new QPushButton(row);
        button->setObjectName(prefix + id);
        button->setAccessibleName(name);
        button->setFixedWidth(30);
        button->setFlat(true);
        button->setVisible(editing);
        connect(button, &QPushButton::clicked, this, handler);
        layout->addWidget(button);
    }
    setRuleRowIcons(row);

    updateOptions([&rule](ConversionOptions &options) { options.ruleList.append(rule); });
    ui->adjustRulesLayout->addWidget(row);
    ruleRowWidgets.append(row);
    ui->adjustDeleteButton->show();
    ui->adjustDeleteAllButton->show();

    if (uiReady)
        refreshAndStoreRules();
}

void ConvertImageForm::setRuleRowIcons(QWidget *row)
{
    const QString id = rowId(row);
    const std::array<std::array<const char *, 2>, 3> icons = { {
        { "_DeleteIcon24.png", "_DeleteWhiteIcon24.png" },
        { "_ArrowUp24.png", "_ArrowUpWhite24.png" },
        { "_ArrowDown24.png", "_ArrowDownWhite24.png" },
    } };
    const std::array<QString, 3> prefixes = { DeletePrefix, UpPrefix, DownPrefix };
    for (size_t i = 0; i < prefixes.size(); ++i) {
        if (auto *button = row->findChild<QPushButton *>(prefixes[i] + id))
            setButtonIcon(button, icons[i][0], icons[i][1]);
    }
}

// applyTheme has already taken the new scheme; rows made later pick it up when they are built.
void ConvertImageForm::refreshAdjustmentIcons()
{
    for (QWidget *row : std::as_const(ruleRowWidgets))
        setRuleRowIcons(row);
}

void ConvertImageForm::refreshAndStoreRules()
{
    loadImage(currentSelectedFile, true);
    storeSetting(SettingItem::AdjustRules);
}

QString ConvertImageForm::senderRuleId(const QString &prefix) const
{
    const QObject *source = sender();
    if (!source || !source->objectName().startsWith(prefix))
        return {};
    return source->objectName().mid(prefix.size());
}

int ConvertImageForm::ruleRowIndex(const QString &ruleId) const
{
    if (ruleId.isEmpty())
        return -1;
    const QString name = RowPrefix + ruleId;
    for (int i = 0; i < ruleRowWidgets.size(); ++i) {
        if (ruleRowWidgets.at(i)->objectName() == name)
            return i;
    }
    return -1;
}

void ConvertImageForm::on_rule_slider_changed(int value)
{
    ruleValueChanged(SliderPrefix, value);
}

void ConvertImageForm::on_rule_spinbox_changed(int value)
{
    ruleValueChanged(SpinBoxPrefix, value);
}

// Setting the twin makes it report the same value once more, which stops there since this
// control already holds it.
void ConvertImageForm::ruleValueChanged(const QString &prefix, int value)
{
    const QString id = senderRuleId(prefix);
    bool isNumber = false;
    const int ruleId = id.toInt(&isNumber);
    if (!isNumber)
        return;

    updateOptions([ruleId, value](ConversionOptions &options) {
        for (AdjustRule &rule : options.ruleList) {
            if (rule.ruleId == ruleId)
                rule.values[0] = value;
        }
    });

    const auto *row = ui->adjustScrollAreaWidgetContents->findChild<QWidget *>(RowPrefix + id);
    if (row) {
        if (prefix == SliderPrefix) {
            if (auto *spinBox = row->findChild<QSpinBox *>(SpinBoxPrefix + id))
                spinBox->setValue(value);
        } else if (auto *slider = row->findChild<QSlider *>(SliderPrefix + id)) {
            slider->setValue(value);
        }
    }
    refreshAndStoreRules();
}

// The row leaves the layout at once so that the layout's positions keep matching the list while
// the widget waits for its deletion.
void ConvertImageForm::takeRuleRow(int index)
{
    QWidget *row = ruleRowWidgets.takeAt(index);
    ui->adjustRulesLayout->removeWidget(row);
    row->hide();
    row->deleteLater();
    updateOptions([index](ConversionOptions &options) { options.ruleList.removeAt(index); });
}

void ConvertImageForm::on_rule_delete_clicked(bool)
{
    const int index = ruleRowIndex(senderRuleId(DeletePrefix));
    if (index < 0)
        return;
    takeRuleRow(index);
    if (ruleRowWidgets.isEmpty()) {
        ui->adjustDeleteButton->hide();
        ui->adjustDeleteAllButton->hide();
    }
    refreshAndStoreRules();
}

void ConvertImageForm::moveRule(int from, int to)
{
    updateOptions([from, to](ConversionOptions &options) { options.ruleList.move(from, to); });
    ruleRowWidgets.move(from, to);
    QWidget *row = ruleRowWidgets.at(to);
    ui->adjustRulesLayout->removeWidget(row);
    ui->adjustRulesLayout->insertWidget(to, row);
    refreshAndStoreRules();
}

void ConvertImageForm::on_rule_up_clicked(bool)
{
    const int index = ruleRowIndex(senderRuleId(UpPrefix));
    if (index < 0)
        return;
    moveRule(index, index == 0 ? ruleRowWidgets.size() - 1 : index - 1);
}

void ConvertImageForm::on_rule_down_clicked(bool)
{
    qDebug() << "on_rule_down_clicked";
    const int index = ruleRowIndex(senderRuleId(DownPrefix));
    if (index < 0)
        return;
    moveRule(index, index == ruleRowWidgets.size() - 1 ? 0 : index + 1);
}

void ConvertImageForm::on_adjustDeleteButton_clicked()
{
    const bool editing = ui->adjustDeleteButton->isChecked();
    for (const QWidget *row : std::as_const(ruleRowWidgets)) {
        for (QPushButton *button : rowButtons(row))
            button->setVisible(editing);
    }
}

void ConvertImageForm::on_adjustDeleteAllButton_clicked()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(this,
        tr("Remove All Adjustment Settings"), tr("Are you sure you want to remove all adjustment settings?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    removeAllAdjustment();
    refreshAndStoreRules();
}

void ConvertImageForm::removeAllAdjustment()
{
    for (int i = ruleRowWidgets.size() - 1; i >= 0; --i)
        takeRuleRow(i);
    // Also drops rules put into the list without a row, so none outlives a clear-all.
    updateOptions([](ConversionOptions &options) { options.ruleList.clear(); });
    ui->adjustDeleteButton->hide();
    ui->adjustDeleteAllButton->hide();
}
