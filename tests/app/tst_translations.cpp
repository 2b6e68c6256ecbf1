// The window in the user's language: the German catalogue is complete and compiled in, the
// system's language chooses it, Qt's own dialogs follow, and a pseudo-translation (every text 40 %
// longer, with accents) at 14 pt shows every text in full on every tab, which also proves that
// every text a user reads passes through tr().
// PICTOMAT_SCREENSHOT_DIR keeps a picture of each tab, German and pseudo, for a person to look at.

#include "app/mainwindow.h"
#include "app/translations.h"
#include "convert/conversionoptions.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString Plain = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString Accented = QStringLiteral("àƀçďéƒğĥîĵķĺṁñöṗʠŕšţüṽŵẋýžÅƁÇĎÉƑĞĤÎĴĶĹṀÑÖṖǪŔŠŢÜṼŴẊÝŽ");
const QChar Padding(0x00F1); // ñ, about as wide as an average letter

// The same text with every letter accented and 40 % longer. Kept as they are, because the program
// or the user relies on them: a mnemonic's key, placeholders (%1, %n), {name} tokens and file
// patterns such as "(*.png)".
QString pseudo(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('&') && i + 1 < text.size()) {
            out += text.mid(i, 2);
            ++i;
        } else if (c == QLatin1Char('%')) {
            int end = i + 1;
            while (end < text.size()
                && (text.at(end).isDigit() || text.at(end) == QLatin1Char('n')
                    || text.at(end) == QLatin1Char('L')))
                ++end;
            out += text.mid(i, end - i);
            i = end - 1;
        } else if ((c == QLatin1Char('{') || c == QLatin1Char('('))
            && (c == QLatin1Char('{') || text.mid(i, 3).contains(QLatin1Char('*')))) {
            const int end = text.indexOf(c == QLatin1Char('{') ? QLatin1Char('}') : QLatin1Char(')'), i);
            const int last = end < 0 ? text.size() - 1 : end;
            out += text.mid(i, last - i + 1);
            i = last;
        } else {
            const int plain = Plain.indexOf(c);
            out += plain < 0 ? c : Accented.at(plain);
        }
    }
    // The padding goes before closing punctuation, so that a caption still ends in its colon.
    int tail = out.size();
    while (tail > 0 && QStringLiteral(":.…?! ").contains(out.at(tail - 1)))
        --tail;
    out.insert(tail, QString((text.size() * 2 + 4) / 5, Padding));
    return out;
}

bool looksPseudo(const QString &text)
{
    for (const QChar c : text) {
        if (c == Padding || Accented.contains(c))
            return true;
    }
    return false;
}

class PseudoTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *sourceText, const char *, int) const override
    {
        if (!sourceText || !*sourceText)
            return QString();
        return pseudo(QString::fromUtf8(sourceText));
    }
};

bool hasLetters(const QString &text)
{
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    return text.contains(letter);
}

// Texts of the widgets `window` shows now that are cut off, and, with `untranslated`, those that
// did not pass through the translator.
QStringList faultsOnScreen(QWidget *window, QStringList *untranslated)
{
    QStringList cut;
    const auto widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(window))
            continue;
        QStringList texts;
        bool sized = false;
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            texts << button->text();
            sized = !button->text().isEmpty();
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            texts << label->text();
            sized = !label->wordWrap() && !label->text().isEmpty();
        } else if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            texts << box->title();
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            // Format and font names are names, not words to translate.
            if (widget->objectName() != QLatin1String("targetComboBox")
                && widget->objectName() != QLatin1String("fontComboBox")) {
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i);
            }
            sized = true;
        } else if (auto *bar = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < bar->count(); ++i)
                texts << bar->tabText(i);
            if (bar->width() < bar->sizeHint().width())
                cut << QStringLiteral("the tab bar is cut off: %1 < %2")
                           .arg(bar->width())
                           .arg(bar->sizeHint().width());
        } else if (auto *area = qobject_cast<QScrollArea *>(widget);
                   area && area->horizontalScrollBar()->isVisible()) {
            cut << area->objectName() + QStringLiteral(" scrolls sideways");
        }
        texts << widget->toolTip();
        const QSize wanted = widget->sizeHint();
        if (sized && (widget->width() < wanted.width() || widget->height() < wanted.height()))
            cut << QStringLiteral("%1 \"%2\" %3x%4 < %5x%6")
                       .arg(widget->objectName(), texts.value(0))
                       .arg(widget->width())
                       .arg(widget->height())
                       .arg(wanted.width())
                       .arg(wanted.height());
        if (untranslated) {
            for (const QString &text : std::as_const(texts)) {
                if (hasLetters(text) && !looksPseudo(text))
                    untranslated->append(widget->objectName() + QStringLiteral(": ") + text);
            }
        }
    }
    return cut;
}

QString sourceDir()
{
    return QDir(qEnvironmentVariable("PICTOMAT_TEST_DATA"))
        .absoluteFilePath(QStringLiteral("../../translations"));
}

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readCatalogue(const QString &path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("message"))
            messages.append(message);
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message();
            message.context = context;
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    return messages;
}

// What a translation must keep of its source: placeholders, {tokens}, file patterns, one mnemonic.
QStringList kept(const QString &text)
{
    static const QRegularExpression marks(QStringLiteral("%L?\\d|%n|\\{\\w+\\}|\\*\\.\\w+|\\(\\*\\)"));
    QStringList found;
    auto it = marks.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    if (QKeySequence::mnemonic(text).isEmpty() == false)
        found << QStringLiteral("a mnemonic");
    return found;
}

void showEveryState(MainWindow &window, int target)
{
    window.findChild<QComboBox *>(QStringLiteral("targetComboBox"))->setCurrentIndex(target);
    window.findChild<QAbstractButton *>(QStringLiteral("pdfAddMarginButton"))->click();
    auto *add = window.findChild<QToolButton *>(QStringLiteral("adjustAddButton"));
    const auto actions = add->menu()->actions();
    for (QAction *action : actions)
        action->trigger();
    auto *edit = window.findChild<QToolButton *>(QStringLiteral("adjustDeleteButton"));
    if (!edit->isChecked())
        edit->click();
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void germanCatalogueIsComplete();
    void systemLanguageChoosesTheCatalogue_data();
    void systemLanguageChoosesTheCatalogue();
    void germanWindowAndQtDialogs();
    void pseudoTranslationFitsAt14Points_data();
    void pseudoTranslationFitsAt14Points();
    void standardFontKeepsTheColumnWidth();
};

void TestTranslations::init()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan"),
        QStringLiteral("ZirarurOvize"))
        .clear();
    resetOptions();
}

void TestTranslations::cleanup()
{
    installTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    resetOptions();
}

// Every text of the program has its German words, keeping what the program fills in or relies on.
void TestTranslations::germanCatalogueIsComplete()
{
    const QList<Message> messages = readCatalogue(sourceDir() + QStringLiteral("/pictomat_de.ts"));
    const QList<Message> template_ = readCatalogue(sourceDir() + QStringLiteral("/pictomat.ts"));
    QVERIFY2(messages.size() > 200, qPrintable(sourceDir()));
    QCOMPARE(messages.size(), template_.size());
    QStringList faults;
    for (const Message &message : messages) {
        const QString where = message.context + QStringLiteral(": ") + message.source;
        if (!message.finished || message.translation.isEmpty())
            faults << QStringLiteral("not translated: ") + where;
        else if (kept(message.source) != kept(message.translation))
            faults << QStringLiteral("placeholders, tokens or mnemonic lost: ") + where;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::systemLanguageChoosesTheCatalogue_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("ours");
    QTest::addColumn<QString>("convert");
    QTest::newRow("German") << "de_DE" << true << "Umwandeln";
    QTest::newRow("Austrian German") << "de_AT" << true << "Umwandeln";
    QTest::newRow("Swiss German") << "de_CH" << true << "Umwandeln";
    QTest::newRow("American English") << "en_US" << false << "Convert";
    QTest::newRow("French: none yet") << "fr_FR" << false << "Convert";
}

void TestTranslations::systemLanguageChoosesTheCatalogue()
{
    QFETCH(QString, locale);
    QFETCH(bool, ours);
    QFETCH(QString, convert);
    QCOMPARE(installTranslations(QLocale(locale)), ours);
    MainWindow window;
    QCOMPARE(window.findChild<QAbstractButton *>(QStringLiteral("convertButton"))->text(), convert);
}

void TestTranslations::germanWindowAndQtDialogs()
{
    QVERIFY(installTranslations(QLocale(QLocale::German, QLocale::Germany)));
    MainWindow window;
    window.resize(1200, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("&Ausgabe"));
    QCOMPARE(tabs->tabText(5), QStringLiteral("&Korrekturen"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("outputFolderLabel"))->text(),
        QStringLiteral("Umgewandelte Dateien speichern &in:"));
    // The engine's failure reasons reach the user in the same language.
    QCOMPARE(QCoreApplication::translate("FailureReason", "disk full"), QStringLiteral("Datenträger voll"));

    const QString shots = qEnvironmentVariable("PICTOMAT_SCREENSHOT_DIR");
    QStringList cut;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(0);
        cut += faultsOnScreen(&window, nullptr);
        if (!shots.isEmpty())
            window.grab().save(QStringLiteral("%1/de-%2.png").arg(shots).arg(tab));
    }
    cut.removeDuplicates();
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));

    // Qt's own buttons come from Qt's catalogue, which Debian ships apart from Qt.
    const QString qtCatalogues = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(qtCatalogues + QStringLiteral("/qtbase_de.qm")))
        QSKIP("Qt's German catalogue is not installed (qt6-translations-l10n)");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Ja"));
}

void TestTranslations::pseudoTranslationFitsAt14Points_data()
{
    QTest::addColumn<int>("target");
    // The targets that change the toolbar and the Output tab: JPG's quality, WEBP's quality and
    // lossless box, TIFF's compression list, and the PDF group.
    QTest::newRow("JPG") << 4;
    QTest::newRow("WEBP") << 8;
    QTest::newRow("TIFF") << 7;
    QTest::newRow("PDF") << 9;
}

void TestTranslations::pseudoTranslationFitsAt14Points()
{
    QFETCH(int, target);
    installTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    PseudoTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const QFont standard = QApplication::font();
    QFont font = standard;
    font.setPointSize(14);
    QApplication::setFont(font);
    const QString shots = qEnvironmentVariable("PICTOMAT_SCREENSHOT_DIR");
    QStringList cut;
    QStringList untranslated;
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        showEveryState(window, target);
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QTest::qWait(0);
            cut += faultsOnScreen(&window, &untranslated);
            if (!shots.isEmpty())
                window.grab().save(
                    QStringLiteral("%1/pseudo-14pt-%2-%3.png").arg(shots).arg(target).arg(tab));
        }
    }
    QApplication::setFont(standard);
    QCoreApplication::removeTranslator(&translator);
    cut.removeDuplicates();
    untranslated.removeDuplicates();
    QVERIFY2(untranslated.isEmpty(),
        qPrintable(QStringLiteral("not through tr():\n") + untranslated.join(QLatin1Char('\n'))));
    QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("cut off:\n") + cut.join(QLatin1Char('\n'))));
}

// The column widens only for what does not fit: at the standard font and the first-start size the
// option tabs ask for no more than the 400 pixels they start with.
void TestTranslations::standardFontKeepsTheColumnWidth()
{
    installTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(986, 513));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QString needs = QStringLiteral("tab bar %1").arg(tabs->tabBar()->sizeHint().width());
    const auto areas = tabs->findChildren<QScrollArea *>();
    for (QScrollArea *area : areas)
        needs += QStringLiteral(", %1 %2").arg(area->objectName()).arg(area->minimumWidth());
    QVERIFY2(tabs->minimumWidth() == 400,
        qPrintable(QString::number(tabs->minimumWidth()) + QStringLiteral(": ") + needs));
}

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    if (!TestSupport::useDesktopHomeAndScreen(home.path()))
        return 1;
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
