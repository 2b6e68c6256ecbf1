// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader and a keyboard user meet: every control that takes the focus has a name in
// the accessibility tree, captions are the buddies of their fields, and no two mnemonics of one
// tab (with the toolbar and the tab titles around it) share a key.
// PICTOMAT_A11Y_DUMP=FILE writes the tree as a screen reader walks it, for a person to read.

#include "app/aboutdialog.h"
#include "app/mainwindow.h"
#include "app/translations.h"
#include "convert/conversionoptions.h"
#include "convert/overwritefiledialog.h"
#include "form/convertimageform.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

// A name of punctuation only ("...") tells a listener nothing.
bool saysSomething(const QString &name)
{
    static const QRegularExpression letterOrDigit(QStringLiteral("[\\p{L}\\p{N}]"));
    return name.contains(letterOrDigit);
}

QString describe(QAccessibleInterface *node)
{
    const QObject *object = node->object();
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("-"),
            object ? object->objectName() : QString(), node->text(QAccessible::Name));
}

// Walks the tree below `node` as an assistive tool does, through the interfaces' children.
void walk(QAccessibleInterface *node, int depth, QStringList *unnamed, QTextStream *dump)
{
    const QAccessible::State state = node->state();
    if (dump) {
        *dump << QString(depth * 2, QLatin1Char(' ')) << qAccessibleRoleString(node->role()) << ' '
              << describe(node) << (state.focusable ? " focusable" : "") << (state.invisible ? " hidden" : "")
              << (state.disabled ? " disabled" : "") << '\n';
    }
    // The lists that combo boxes pop up are theirs: the combo box speaks for them.
    const bool popup = node->role() == QAccessible::List && node->parent()
        && node->parent()->role() == QAccessible::ComboBox;
    // An empty cell of a list is data, not a control.
    const bool cell = node->role() == QAccessible::Cell || node->role() == QAccessible::TreeItem;
    if (state.focusable && !popup && !cell && !saysSomething(node->text(QAccessible::Name)))
        unnamed->append(describe(node));
    // On Linux a combo box's name is its value: the caption must come as a label relation.
    const QList<QAccessible::Role> fields
        = { QAccessible::ComboBox, QAccessible::SpinBox, QAccessible::EditableText, QAccessible::Slider };
    if (state.focusable && fields.contains(node->role()) && node->relations(QAccessible::Label).isEmpty()
        && node->object() && qobject_cast<QWidget *>(node->object())->accessibleName().isEmpty())
        unnamed->append(describe(node) + QStringLiteral(" (no caption)"));
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            walk(child, depth + 1, unnamed, dump);
    }
}

QStringList unnamedControls(QWidget *window, QTextStream *dump = nullptr)
{
    QStringList unnamed;
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    if (!root)
        return { QStringLiteral("no accessible interface for the window") };
    walk(root, 0, &unnamed, dump);
    unnamed.removeDuplicates();
    return unnamed;
}

QString mnemonicText(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    return QString();
}

// Which mnemonic keys are live while the window shows what it shows now, and what else is wrong
// with its captions: a mnemonic nobody receives, a caption without its field.
QStringList mnemonicFaults(QWidget *window)
{
    QMultiMap<QKeySequence, QString> keys;
    QStringList faults;
    const auto widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(window))
            continue;
        if (auto *bar = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < bar->count(); ++i) {
                const QKeySequence key = QKeySequence::mnemonic(bar->tabText(i));
                if (!key.isEmpty())
                    keys.insert(key, bar->tabText(i));
            }
            continue;
        }
        const QString text = mnemonicText(widget);
        const QKeySequence key = QKeySequence::mnemonic(text);
        auto *label = qobject_cast<QLabel *>(widget);
        if (label && !key.isEmpty() && !label->buddy())
            faults.append(
                QStringLiteral("%1 \"%2\" has a mnemonic but no buddy").arg(label->objectName(), text));
        if (label && text.endsWith(QLatin1Char(':')) && !label->buddy())
            faults.append(QStringLiteral("%1 \"%2\" captions no field").arg(label->objectName(), text));
        if (!key.isEmpty())
            keys.insert(key, widget->objectName() + QStringLiteral(" \"") + text + QLatin1Char('"'));
    }
    for (const QKeySequence &key : keys.uniqueKeys()) {
        const QStringList owners = keys.values(key);
        if (owners.size() > 1)
            faults.append(key.toString() + QStringLiteral(": ") + owners.join(QStringLiteral(", ")));
    }
    return faults;
}

// Every kind of adjustment row, in edit mode, so that the row buttons are there to be named.
void addEveryRule(MainWindow &window)
{
    auto *add = window.findChild<QToolButton *>(QStringLiteral("adjustAddButton"));
    QVERIFY(add && add->menu());
    const auto actions = add->menu()->actions();
    QCOMPARE(actions.size(), 7);
    for (QAction *action : actions)
        action->trigger();
    auto *edit = window.findChild<QToolButton *>(QStringLiteral("adjustDeleteButton"));
    QVERIFY(edit);
    if (!edit->isChecked())
        edit->click();
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyControlOfTheWindowHasAName_data();
    void everyControlOfTheWindowHasAName();
    void noMnemonicClashesWithinATab_data();
    void noMnemonicClashesWithinATab();
    void everyControlOfTheDialogsHasAName();
    void mnemonicFocusesItsField();
};

void TestAccessibility::init()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan"),
        QStringLiteral("ZirarurOvize"))
        .clear();
    resetOptions();
}

void TestAccessibility::cleanup()
{
    installTranslations(QLocale(QLocale::English));
    resetOptions();
}

void TestAccessibility::everyControlOfTheWindowHasAName_data()
{
    QTest::addColumn<int>("target");
    MainWindow window;
    auto *targets = window.findChild<QComboBox *>(QStringLiteral("targetComboBox"));
    QVERIFY(targets);
    for (int i = 0; i < targets->count(); ++i)
        QTest::addRow("%s", qPrintable(targets->itemText(i))) << i;
}

// Each target shows its own encoder controls and, for the PDF, the PDF group: all are walked.
void TestAccessibility::everyControlOfTheWindowHasAName()
{
    QFETCH(int, target);
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QComboBox *>(QStringLiteral("targetComboBox"))->setCurrentIndex(target);
    auto *addMargin = window.findChild<QAbstractButton *>(QStringLiteral("pdfAddMarginButton"));
    QVERIFY(addMargin);
    addMargin->click();
    addEveryRule(window);
    if (QTest::currentTestFailed())
        return;

    const QString dumpPath = qEnvironmentVariable("PICTOMAT_A11Y_DUMP");
    QFile dumpFile(dumpPath);
    QTextStream stream(&dumpFile);
    const bool dumping = !dumpPath.isEmpty() && target == 0 && dumpFile.open(QIODevice::WriteOnly);
    const QStringList unnamed = unnamedControls(&window, dumping ? &stream : nullptr);
    QVERIFY2(
        unnamed.isEmpty(), qPrintable(QStringLiteral("without a name:\n") + unnamed.join(QLatin1Char('\n'))));
}

void TestAccessibility::noMnemonicClashesWithinATab_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("tab");
    MainWindow window;
    auto *targets = window.findChild<QComboBox *>(QStringLiteral("targetComboBox"));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(targets && tabs);
    // Each translation places its own mnemonics: the shipped ones are checked as English is.
    for (const char *language : { "en", "de" }) {
        for (int i = 0; i < targets->count(); ++i) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                QTest::addRow("%s, %s, %s", language, qPrintable(targets->itemText(i)),
                    qPrintable(tabs->tabText(tab).remove(QLatin1Char('&'))))
                    << QString::fromLatin1(language) << i << tab;
            }
        }
    }
}

void TestAccessibility::noMnemonicClashesWithinATab()
{
    QFETCH(QString, language);
    QFETCH(int, target);
    QFETCH(int, tab);
    QCOMPARE(installTranslations(QLocale(language)), language != QLatin1String("en"));
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QComboBox *>(QStringLiteral("targetComboBox"))->setCurrentIndex(target);
    window.findChild<QAbstractButton *>(QStringLiteral("pdfAddMarginButton"))->click();
    window.findChild<QAbstractButton *>(QStringLiteral("scaleImageCheckBox"))->click();
    addEveryRule(window);
    window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(tab);
    const QStringList faults = mnemonicFaults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestAccessibility::everyControlOfTheDialogsHasAName()
{
    QWidget parent;
    auto *about = new AboutDialog(&parent);
    about->show();
    QStringList unnamed = unnamedControls(about);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));

    auto *overwrite = new OverwriteFileDialog(&parent);
    overwrite->setFiles({ QStringLiteral("/tmp/a.jpg"), QStringLiteral("/tmp/b.jpg") },
        { QStringLiteral("/tmp/a.png"), QStringLiteral("/tmp/b.png") });
    overwrite->show();
    unnamed = unnamedControls(overwrite);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
}

// Alt and a caption's key puts the keyboard in the caption's field.
void TestAccessibility::mnemonicFocusesItsField()
{
    MainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    tabs->setCurrentWidget(window.findChild<QWidget *>(QStringLiteral("textTab")));
    auto *caption = window.findChild<QLabel *>(QStringLiteral("fontLabel"));
    QVERIFY(caption && caption->buddy());
    const QKeySequence key = QKeySequence::mnemonic(caption->text());
    QVERIFY2(!key.isEmpty(), qPrintable(caption->text()));
    QTest::keySequence(&window, key);
    QTRY_COMPARE(QApplication::focusWidget(), caption->buddy());
}

int main(int argc, char *argv[])
{
    // A home of its own, so that tests running side by side never share a settings file.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility.moc"
