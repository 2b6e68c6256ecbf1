// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/mainwindow.h"
#include "app/windowgeometry.h"
#include "common/cocoacode.h"
#include "common/lkcolorwidget.h"
#include "common/lkglobal.h"
#include "convert/conversionoptions.h"
#include "convert/convertimagesthread.h"
#include "convert/convertprogressform.h"
#include "dialoganswer.h"
#include "filelist/removethumbnailsdialog.h"
#include "filelist/thumbnailcache.h"
#include "form/convertimageform.h"
#include "testsupport.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

constexpr quint32 ScreenWidth = 1920;
constexpr quint32 ScreenHeight = 1080;

// The geometry record outside Windows: its own settings file in the organisation's folder, beside
// the settings store.
std::unique_ptr<QSettings> geometryStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral("Larkspan"), QStringLiteral("Pictomat"));
}

// Where earlier builds kept it: a file with a space in its name at the top of the configuration
// folder.
std::unique_ptr<QSettings> earlierGeometryStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan Pictomat"), QString());
}

QString cannotReadLine(const QString &name)
{
    return windowGeometryKey() + QStringLiteral(" : ") + name
        + QStringLiteral(" : Cannot read DWORD from registry.");
}

void storeGeometry(const QMap<QString, qint32> &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        QVERIFY(LKGlobal::writeRegistryDword(
            LKGlobal::CurrentUser, windowGeometryKey(), it.key(), quint32(it.value())));
}

QRect storedGeometry()
{
    QRect rect;
    quint32 x = 0, y = 0, w = 0, h = 0;
    const QString key = windowGeometryKey();
    if (LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posX"), x)
        && LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posY"), y)
        && LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("width"), w)
        && LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("height"), h))
        rect = QRect(int(x), int(y), int(w), int(h));
    return rect;
}

// The visible texts of `window` that are narrower or lower than they ask to be: an elided button
// or a clipped label, named by object name and text.
QStringList cutTexts(QWidget *window)
{
    QStringList cut;
    const auto widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(window))
            continue;
        QString text;
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text();
        else if (auto *label = qobject_cast<QLabel *>(widget); label && !label->wordWrap())
            text = label->text();
        const QSize wanted = widget->sizeHint();
        if (!text.isEmpty() && (widget->width() < wanted.width() || widget->height() < wanted.height()))
            cut.append(QStringLiteral("%1 \"%2\" %3x%4 < %5x%6")
                           .arg(widget->objectName(), text)
                           .arg(widget->width())
                           .arg(widget->height())
                           .arg(wanted.width())
                           .arg(wanted.height()));
    }
    return cut;
}

} // namespace

class FakeProgressPage : public QWidget {
    Q_OBJECT

public:
    int cancelled = 0;

public slots:
    void abandon() { ++cancelled; }
};

class TestAppShell : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fitWindowGeometry_data();
    void fitWindowGeometry();
    void registryDwordRoundTripAndMissingValue();
    void geometryFileSitsInTheProgramsFolder();
    void earlierGeometryFileIsTakenOverOnce_data();
    void earlierGeometryFileIsTakenOverOnce();
    void firstStartOpensAtDefaults();
    void statusBarShowsOnlyWhileItHasAMessage();
    void storedGeometryIsRestored_data();
    void storedGeometryIsRestored();
    void everyCloseSavesGeometryAndFirstCloseRemovesThumbnails();
    void closeAbandonsRunningConversion();
    void cleanupCancelStopsTheRemoval();
    void closeDuringJobWaitsWithoutBlocking();
    void paletteChangeSwapsTheFormTheme();
    void colorWidgetPaintsColourInsideRedOutline();
    void colorWidgetIgnoresRightButton();
    void colorWidgetLeftButtonPicksColour();
    void outputFolderChooserStartsInDocuments();
    void picturesFolderOnlyWhenItExists();
    void diagnosticsShowWithoutRules_data();
    void diagnosticsShowWithoutRules();
    void textFitsAtCommonFontSizes_data();
    void textFitsAtCommonFontSizes();
};

void TestAppShell::initTestCase()
{
    QVERIFY(QStandardPaths::isTestModeEnabled());
    QVERIFY2(geometryStore()->fileName().contains(QLatin1String(".qttest")),
        qPrintable(geometryStore()->fileName()));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(available.size(), QSize(int(ScreenWidth), int(ScreenHeight)));
}

void TestAppShell::init()
{
    geometryStore()->clear();
    QFile::remove(earlierGeometryStore()->fileName());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Larkspan"),
        QStringLiteral("ZirarurOvize"))
        .clear();
    resetOptions();
    setThumbnailsCleanupPending(false);
    QApplication::setPalette(QApplication::style()->standardPalette());
}

void TestAppShell::fitWindowGeometry_data()
{
    QTest::addColumn<qint64>("x");
    QTest::addColumn<qint64>("y");
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("defaults") << 100LL << 100LL << 986LL << 513LL << QRect(100, 100, 986, 513);
    QTest::newRow("width 500") << 100LL << 100LL << 500LL << 513LL << QRect(100, 100, 986, 513);
    QTest::newRow("height 300") << 100LL << 100LL << 986LL << 300LL << QRect(100, 100, 986, 513);
    QTest::newRow("width beyond screen") << 100LL << 100LL << 2500LL << 513LL << QRect(100, 100, 1920, 513);
    QTest::newRow("posX 1800 width 1000") << 1800LL << 100LL << 1000LL << 513LL << QRect(920, 100, 1000, 513);
    QTest::newRow("width of the screen") << 100LL << 100LL << 1920LL << 513LL << QRect(0, 100, 1920, 513);
    QTest::newRow("height beyond screen") << 100LL << 100LL << 986LL << 1500LL << QRect(100, 100, 986, 1080);
    QTest::newRow("posY plus height beyond") << 100LL << 700LL << 986LL << 600LL << QRect(100, 480, 986, 600);
    QTest::newRow("posX -8") << -8LL << 100LL << 986LL << 513LL << QRect(100, 100, 986, 513);
    QTest::newRow("posY -8") << 100LL << -8LL << 986LL << 513LL << QRect(100, 100, 986, 513);
    QTest::newRow("posX on the edge") << 1920LL << 100LL << 986LL << 513LL << QRect(934, 100, 986, 513);
    QTest::newRow("posX past the edge") << 1921LL << 100LL << 986LL << 513LL << QRect(100, 100, 986, 513);
    // Only a window of acceptable width is moved back on screen; a widened one keeps its place.
    QTest::newRow("narrow at the right") << 1800LL << 100LL << 500LL << 513LL << QRect(1800, 100, 986, 513);
}

void TestAppShell::fitWindowGeometry()
{
    QFETCH(qint64, x);
    QFETCH(qint64, y);
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(QRect, expected);
    const WindowGeometry stored { quint32(x), quint32(y), quint32(width), quint32(height) };
    QCOMPARE(::fitWindowGeometry(stored, ScreenWidth, ScreenHeight), expected);
}

void TestAppShell::registryDwordRoundTripAndMissingValue()
{
    const QString key = windowGeometryKey();
    QVERIFY(LKGlobal::writeRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posX"), quint32(-8)));
    quint32 value = 0;
    QVERIFY(LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posX"), value));
    QCOMPARE(value, 0xFFFFFFF8u);

    value = 77;
    QTest::ignoreMessage(QtDebugMsg, qPrintable(cannotReadLine(QStringLiteral("posY"))));
    QVERIFY(!LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("posY"), value));
    QCOMPARE(value, 77u);

    // A hand-edited value that is no number is a failed read, too.
    geometryStore()->setValue(QStringLiteral("width"), QStringLiteral("wide"));
    QTest::ignoreMessage(QtDebugMsg, qPrintable(cannotReadLine(QStringLiteral("width"))));
    QVERIFY(!LKGlobal::readRegistryDword(LKGlobal::CurrentUser, key, QStringLiteral("width"), value));
    QCOMPARE(value, 77u);
}

// Users look for a program's settings in its own folder: no file of ours at the top of the
// configuration folder, and no space in a name.
void TestAppShell::geometryFileSitsInTheProgramsFolder()
{
    writeWindowGeometry(QRect(120, 130, 1000, 600));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString file = geometryStore()->fileName();
    QCOMPARE(file, config + QStringLiteral("/Larkspan/Pictomat.conf"));
    QVERIFY(QFileInfo::exists(file));
    const QStringList ours = { QStringLiteral("Larkspan*"), QStringLiteral("*Pictomat*") };
    QCOMPARE(QDir(config).entryList(ours, QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(storedGeometry(), QRect(120, 130, 1000, 600));
}

void TestAppShell::earlierGeometryFileIsTakenOverOnce_data()
{
    QTest::addColumn<QRect>("earlier");
    QTest::addColumn<QRect>("current");
    QTest::addColumn<QRect>("restored");
    QTest::newRow("only the earlier file")
        << QRect(210, 220, 1010, 620) << QRect() << QRect(210, 220, 1010, 620);
    QTest::newRow("both: the new place wins")
        << QRect(210, 220, 1010, 620) << QRect(50, 60, 1200, 700) << QRect(50, 60, 1200, 700);
    QTest::newRow("earlier off screen") << QRect(-8, 40, 500, 600) << QRect() << QRect(100, 40, 986, 600);
}

void TestAppShell::earlierGeometryFileIsTakenOverOnce()
{
    QFETCH(QRect, earlier);
    QFETCH(QRect, current);
    QFETCH(QRect, restored);
    const QString earlierFile = earlierGeometryStore()->fileName();
    QVERIFY2(earlierFile.endsWith(QLatin1String("/Larkspan Pictomat.conf")), qPrintable(earlierFile));
    {
        const auto store = earlierGeometryStore();
        store->setValue(QStringLiteral("posX"), earlier.x());
        store->setValue(QStringLiteral("posY"), earlier.y());
        store->setValue(QStringLiteral("width"), earlier.width());
        store->setValue(QStringLiteral("height"), earlier.height());
    }
    if (current.isValid()) {
        storeGeometry({ { "posX", current.x() }, { "posY", current.y() }, { "width", current.width() },
            { "height", current.height() } });
    }
    QVERIFY(QFileInfo::exists(earlierFile));
    {
        MainWindow window;
        QCOMPARE(window.geometry(), restored);
    }
    QVERIFY(!QFileInfo::exists(earlierFile));

    // Read once: the values now live in the new place, which later starts use on their own.
    const QRect taken = current.isValid() ? current : earlier;
    QCOMPARE(storedGeometry(), taken);
    MainWindow again;
    QCOMPARE(again.geometry(), restored);
    QVERIFY(!QFileInfo::exists(earlierFile));
}

void TestAppShell::firstStartOpensAtDefaults()
{
    for (const char *name : { "posX", "posY", "width", "height" })
        QTest::ignoreMessage(QtDebugMsg, qPrintable(cannotReadLine(QLatin1String(name))));
    MainWindow window;
    QCOMPARE(window.geometry(), QRect(100, 100, 986, 513));
    QCOMPARE(window.windowTitle(), QStringLiteral("Larkspan Pictomat"));
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QVERIFY(window.form());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The form fits the smallest window the checks allow: nothing forces it to grow.
    QCOMPARE(window.geometry(), QRect(100, 100, 986, 513));
    // At the first-start size the live preview keeps the size its fit numbers were made for.
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("previewImage"))->size(), QSize(400, 231));
}

void TestAppShell::statusBarShowsOnlyWhileItHasAMessage()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.statusBar()->isVisible());
    emit window.form()->statusMessage(QStringLiteral("No new images found"));
    QVERIFY(window.statusBar()->isVisible());
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("No new images found"));
    window.statusBar()->clearMessage();
    QVERIFY(!window.statusBar()->isVisible());
}

void TestAppShell::storedGeometryIsRestored_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("restored");
    QTest::newRow("inside") << QRect(50, 60, 1200, 700) << QRect(50, 60, 1200, 700);
    QTest::newRow("posX 1800 width 1000") << QRect(1800, 100, 1000, 513) << QRect(920, 100, 1000, 513);
    QTest::newRow("posX -8") << QRect(-8, -8, 1000, 600) << QRect(100, 100, 1000, 600);
    QTest::newRow("too small") << QRect(10, 10, 500, 200) << QRect(10, 10, 986, 513);
}

void TestAppShell::storedGeometryIsRestored()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, restored);
    storeGeometry({ { "posX", stored.x() }, { "posY", stored.y() }, { "width", stored.width() },
        { "height", stored.height() } });
    MainWindow window;
    QCOMPARE(window.geometry(), restored);
}

void TestAppShell::everyCloseSavesGeometryAndFirstCloseRemovesThumbnails()
{
    setThumbnailsCleanupPending(true);
    const QString thumbnail = ThumbnailCache::thumbnailsDir() + QStringLiteral("0.webp");
    QVERIFY(TestSupport::writeFile(thumbnail, "cached"));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setGeometry(150, 160, 1000, 600);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    auto *cleanup = window.findChild<RemoveThumbnailsDialog *>();
    QVERIFY(cleanup);
    QVERIFY(cleanup->isVisible());
    QCOMPARE(storedGeometry(), QRect(150, 160, 1000, 600));

    // The cleanup reports back and closes the window again; that close saves the geometry too.
    window.setGeometry(170, 180, 1100, 650);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(!cleanup->isVisible());
    QVERIFY(!QFile::exists(thumbnail));
    QVERIFY(!thumbnailsCleanupPending());
    QCOMPARE(storedGeometry(), QRect(170, 180, 1100, 650));
    QCOMPARE(window.findChildren<RemoveThumbnailsDialog *>().size(), 1);
}

// A real click, queued like one from the window system, stops the removal before the next file;
// the window closes all the same and the files not reached stay.
void TestAppShell::cleanupCancelStopsTheRemoval()
{
    setThumbnailsCleanupPending(true);
    const QString dir = ThumbnailCache::thumbnailsDir();
    for (int i = 0; i < 200; ++i) {
        QFile file(dir + QStringLiteral("%1.webp").arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    RemoveThumbnailsDialog dialog;
    QSignalSpy closeApp(&dialog, &RemoveThumbnailsDialog::closeApp);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("cancelButton"));
    const QPointF centre = QRectF(cancel->rect()).center();
    const QPointF global = cancel->mapToGlobal(centre);
    for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
        QCoreApplication::postEvent(cancel,
            new QMouseEvent(type, centre, global, Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
    dialog.removeThumbnailFiles();
    QCOMPARE(closeApp.size(), 1);
    QVERIFY(dialog.stopRequested);
    QVERIFY(QDir(dir).entryList(QDir::Files).size() > 100);
    QVERIFY(!thumbnailsCleanupPending());
    for (const QString &name : QDir(dir).entryList(QDir::Files))
        QFile::remove(dir + name);
}

// Closing while a file is being written returns at once: the page says that the job is
// stopping, the window stays up and responsive, and it closes by itself when the job has ended.
void TestAppShell::closeDuringJobWaitsWithoutBlocking()
{
    QTemporaryDir dir;
    QStringList sources;
    QImage noise(3000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            line[x] = 0xFF000000u | quint32(x * 2654435761u ^ y * 40503u);
    }
    for (int i = 0; i < 3; ++i) {
        sources.append(dir.path() + QStringLiteral("/big%1.png").arg(i));
        QVERIFY(noise.save(sources.last(), "PNG", 100));
    }
    const QString out = dir.path() + QStringLiteral("/out");
    QVERIFY(QDir().mkpath(out));
    updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *page = new ConvertProgressForm;
    window.form()->showConversionPage(page);
    QPointer<ConvertImagesThread> job;
    page->startConvert(sources, out, QStringLiteral(".webp"), false);
    job = page->worker();
    QVERIFY(job);
    QTRY_VERIFY(job->isRunning());

    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    if (job && !job->isFinished()) {
        QCOMPARE(page->findChild<QLabel *>(QStringLiteral("progressLabel"))->text(),
            QStringLiteral("Stopping after the current file…"));
        QVERIFY(!page->findChild<QPushButton *>(QStringLiteral("cancelButton"))->isEnabled());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 120000);
    QVERIFY(job.isNull() || job->isFinished());
    QVERIFY(!QFile::exists(out + QStringLiteral("/big2.webp")));
}

void TestAppShell::closeAbandonsRunningConversion()
{
    MainWindow window;
    window.show();
    auto *page = new FakeProgressPage;
    window.form()->showConversionPage(page);
    QVERIFY(window.close());
    QCOMPARE(page->cancelled, 1);
}

void TestAppShell::paletteChangeSwapsTheFormTheme()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabToolbar = window.findChild<QWidget *>(QStringLiteral("tabToolbarWidget"));
    QVERIFY(tabToolbar);
    QCOMPARE(window.form()->colorScheme(), ColorScheme::Light);

    QApplication::setPalette(TestSupport::darkPalette());
    QTRY_COMPARE(window.form()->colorScheme(), ColorScheme::Dark);
    QVERIFY(tabToolbar->styleSheet().contains(QLatin1String("#3F3F3F")));

    QApplication::setPalette(QApplication::style()->standardPalette());
    QTRY_COMPARE(window.form()->colorScheme(), ColorScheme::Light);
    QVERIFY(tabToolbar->styleSheet().contains(QLatin1String("#E2E2E2")));
}

void TestAppShell::colorWidgetPaintsColourInsideRedOutline()
{
    LKColorWidget swatch;
    QCOMPARE(swatch.color(), QColor(Qt::white));
    swatch.setFixedSize(24, 24);
    swatch.setColor(QColor(0x20, 0x80, 0x40));
    const QImage image = swatch.grab().toImage();
    QCOMPARE(image.pixelColor(12, 12), QColor(0x20, 0x80, 0x40));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
    // The outline runs along the widget's own edges, one pixel wide.
    QCOMPARE(image.pixelColor(23, 23), QColor(Qt::red));
    QCOMPARE(image.pixelColor(23, 5), QColor(Qt::red));
    QCOMPARE(image.pixelColor(5, 23), QColor(Qt::red));
    QCOMPARE(image.pixelColor(1, 1), QColor(0x20, 0x80, 0x40));
    QCOMPARE(image.pixelColor(22, 22), QColor(0x20, 0x80, 0x40));
}

void TestAppShell::colorWidgetIgnoresRightButton()
{
    LKColorWidget swatch;
    swatch.setFixedSize(24, 24);
    swatch.show();
    QSignalSpy spy(&swatch, &LKColorWidget::colorUpdated);
    bool dialogOpened = false;
    auto *watchdog = new QTimer(&swatch);
    connect(watchdog, &QTimer::timeout, &swatch, [&dialogOpened] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            dialogOpened = true;
            dialog->reject();
        }
    });
    watchdog->start(10);
    QTest::mouseClick(&swatch, Qt::RightButton);
    QTest::qWait(50);
    QVERIFY(!dialogOpened);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(swatch.color(), QColor(Qt::white));
}

void TestAppShell::colorWidgetLeftButtonPicksColour()
{
    LKColorWidget swatch;
    swatch.setFixedSize(24, 24);
    swatch.setColor(Qt::yellow);
    swatch.show();
    QSignalSpy spy(&swatch, &LKColorWidget::colorUpdated);
    QColor preset;
    TestSupport::answerDialog<QDialog>([&preset](QDialog *modal) {
        if (auto *dialog = qobject_cast<QColorDialog *>(modal)) {
            if (!preset.isValid())
                preset = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x40, 0x50, 0x60));
        }
        modal->accept();
    });
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QCOMPARE(preset, QColor(Qt::yellow));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QColor>(), QColor(0x40, 0x50, 0x60));
    QCOMPARE(swatch.color(), QColor(0x40, 0x50, 0x60));
}

void TestAppShell::outputFolderChooserStartsInDocuments()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(QDir().mkpath(documents));
    QTemporaryDir chosen;
    CocoaCode code;
    QSignalSpy spy(&code, &CocoaCode::folderSelected);

    QString title, startFolder;
    TestSupport::answerDialog<QDialog>([&](QDialog *modal) {
        title = modal->windowTitle();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (startFolder.isEmpty())
                startFolder = dialog->directory().absolutePath();
            // Entering the folder leaves nothing selected in it, so the folder itself is the answer.
            dialog->setDirectory(chosen.path());
        }
        modal->accept();
    });
    LKGlobal::selectOutputFolder(&code);
    QCOMPARE(title, QStringLiteral("Select folder ..."));
    QCOMPARE(startFolder, QDir(documents).absolutePath());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(QDir(spy.at(0).at(0).toString()).absolutePath(), QDir(chosen.path()).absolutePath());

    TestSupport::answerDialog<QDialog>([](QDialog *modal) { modal->reject(); });
    LKGlobal::selectOutputFolder(&code);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QString());
}

void TestAppShell::picturesFolderOnlyWhenItExists()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir(pictures).removeRecursively();
    QCOMPARE(LKGlobal::picturesFolder(), QString());
    QVERIFY(QDir().mkpath(pictures));
    QCOMPARE(LKGlobal::picturesFolder(), QDir::cleanPath(pictures));
    QCOMPARE(LKGlobal::productName(), QStringLiteral("Larkspan Pictomat"));
}

void TestAppShell::diagnosticsShowWithoutRules_data()
{
    QTest::addColumn<QString>("rules"); // as QT_LOGGING_RULES would give them; empty: none
    QTest::addColumn<QStringList>("expected"); // a line starting with each
    QTest::addColumn<QString>("every"); // what every debug line contains, when given

    const QString registry = cannotReadLine(QStringLiteral("posX"));
    const QStringList quoted
        = { registry, "convertImageAddUrlsThreadStat #2: false", "ImageMagickUtil::loadImage: " };
    QTest::newRow("no rules") << QString() << quoted << QString();
    QTest::newRow("every area") << "pictomat.*.debug=true" << quoted << QString();
    QTest::newRow("the program's areas off") << "pictomat.*.debug=false" << quoted << QString();
}

// A first start that adds a picture and previews it writes the program's debug lines with their
// texts whatever the rules say; the rules turn only the program's extra lines on and off.
void TestAppShell::diagnosticsShowWithoutRules()
{
    QFETCH(QString, rules);
    QFETCH(QStringList, expected);
    QFETCH(QString, every);
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        QSKIP("QT_LOGGING_RULES is set and overrides the rules under test");
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("photo.png"));
    QVERIFY(TestSupport::makePhotoLike(64, 48).save(picture));

    QLoggingCategory::setFilterRules(rules);
    {
        const TestSupport::DebugLog::Collector log;
        MainWindow window;
        window.show();
        window.form()->on_ImageFilesSelected({ picture });
        auto *label = window.form()->findChild<QLabel *>(QStringLiteral("previewImage"));
        QTRY_VERIFY_WITH_TIMEOUT(label && !label->pixmap().isNull(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!window.form()->hasRunningWork(), 20000);
    }
    const QStringList lines = TestSupport::DebugLog::linesStartingWith(QString());
    QLoggingCategory::setFilterRules(QStringLiteral("pictomat.*.debug=true"));

    for (const QString &prefix : std::as_const(expected))
        QVERIFY2(!TestSupport::DebugLog::linesStartingWith(prefix).isEmpty(), qPrintable(prefix));
    for (const QString &line : lines)
        QVERIFY2(every.isEmpty() || line.contains(every), qPrintable(line));
}

void TestAppShell::textFitsAtCommonFontSizes_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("dark");
    for (int points : { 9, 11, 13 }) {
        QTest::addRow("%d pt, light", points) << points << false;
        QTest::addRow("%d pt, dark", points) << points << true;
    }
}

// No text of any options tab is cut off and the tabs need no scroll arrows in a 1600-pixel window.
// PICTOMAT_SCREENSHOT_DIR keeps a picture of each tab for a person to look at.
void TestAppShell::textFitsAtCommonFontSizes()
{
    QFETCH(int, points);
    QFETCH(bool, dark);
    const QFont standard = QApplication::font();
    QFont font = standard;
    font.setPointSize(points);
    QApplication::setFont(font);
    if (dark)
        QApplication::setPalette(TestSupport::darkPalette());
    const QString shots = qEnvironmentVariable("PICTOMAT_SCREENSHOT_DIR");
    QStringList cut;
    {
        MainWindow window;
        window.resize(1600, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QVERIFY(tabs);
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QTest::qWait(0);
            cut += cutTexts(&window);
            if (!shots.isEmpty())
                window.grab().save(QStringLiteral("%1/%2pt-%3-%4.png")
                                       .arg(shots)
                                       .arg(points)
                                       .arg(dark ? "dark" : "light")
                                       .arg(tab));
        }
        if (tabs->tabBar()->width() < tabs->tabBar()->sizeHint().width())
            cut.append(QStringLiteral("the tab bar needs scroll arrows"));
        cut.removeDuplicates();
    }
    QApplication::setFont(standard);
    TestSupport::restoreStandardPalette();
    QCOMPARE(cut.join(QLatin1Char('\n')), QString());
}

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    if (!TestSupport::useDesktopHomeAndScreen(home.path()))
        return 1;
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    TestAppShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appshell.moc"
