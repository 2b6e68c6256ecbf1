// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/convertimagefullpreviewlabel.h"
#include "filelist/convertimagepreviewlabel.h"
#include "filelist/loadpreviewimagethread.h"
#include "filelist/previewdialog.h"
#include "filelist/removethumbnailsdialog.h"
#include "filelist/thumbnailcache.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

class TestPreviewDialogs : public QObject {
    Q_OBJECT

private:
    // A shown dialog whose visible area (scroll area minus 16 x 4) is `area`.
    PreviewDialog *dialogWithArea(QSize area, bool *open)
    {
        auto *dialog = new PreviewDialog(open);
        dialog->show();
        dialog->findChild<QScrollArea *>("scrollArea")->setFixedSize(area + QSize(16, 4));
        return dialog;
    }

    static QImage blank(int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

    static void wheel(QWidget *target, int dy)
    {
        const QPointF pos(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, dy), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &event);
    }

private Q_SLOTS:
    void fitsByWidth()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(384, 289), &open));
        QVERIFY(open);
        dialog->handleFullPreviewImageReady(blank(4000, 3000));
        QCOMPARE(dialog->displayedSize(), QSize(384, 288));
        QCOMPARE(dialog->zoomText(), QString("10%")); // 9.6 %, in whole percents
        QCOMPARE(dialog->findChild<QLabel *>("sizeInfoLabel")->text(), QString("4000x3000"));
    }

    void fitsByHeightAndEnlargesSmallImages()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(384, 289), &open));
        dialog->handleFullPreviewImageReady(blank(100, 200));
        QCOMPARE(dialog->displayedSize().height(), 289);
        QCOMPARE(dialog->zoomText(), QString("145%"));
    }

    // The dialog opens around the picture, reduced in proportion to 80 % of the screen's work area.
    void opensAtThePictureSize_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("whole");
        QTest::newRow("small") << QSize(300, 200) << true;
        QTest::newRow("large") << QSize(4000, 3000) << false;
        QTest::newRow("tall") << QSize(600, 3000) << false;
    }

    void opensAtThePictureSize()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, whole);
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.png");
        QVERIFY(blank(picture.width(), picture.height()).save(path));
        bool open = false;
        PreviewDialog dialog(&open);
        dialog.setImage(path);
        const QSize available = dialog.screen()->availableGeometry().size();
        QVERIFY(dialog.width() <= available.width() * 4 / 5 && dialog.height() <= available.height() * 4 / 5);
        QVERIFY(dialog.size() != QSize(400, 425));
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.fullSize(), picture, 20000);
        if (whole) {
            QCOMPARE(dialog.displayedSize(), picture);
            QCOMPARE(dialog.zoomText(), QString("100%"));
        } else { // reduced to fill the area along one side
            const QSize area = dialog.findChild<QScrollArea *>("scrollArea")->size() - QSize(16, 4);
            const QSize shown = dialog.displayedSize();
            QVERIFY(shown.width() < picture.width());
            QVERIFY(shown.width() == area.width() || shown.height() == area.height());
            QVERIFY(shown.width() <= area.width() + 1 && shown.height() <= area.height() + 1);
        }
    }

    void zoomInSteps()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        dialog->handleFullPreviewImageReady(blank(2000, 1000));
        QCOMPARE(dialog->displayedSize().width(), 400);
        QList<int> widths;
        for (int i = 0; i < 3; ++i) {
            dialog->onNeedToResizeImage(1);
            widths.append(dialog->displayedSize().width());
        }
        QCOMPARE(widths, (QList<int> { 440, 484, 532 }));
    }

    void zoomOutStopsBelowForty_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("after");
        QTest::newRow("44 refused") << 44 << 44;
        QTest::newRow("45 accepted") << 45 << 40;
    }

    void zoomOutStopsBelowForty()
    {
        QFETCH(int, start);
        QFETCH(int, after);
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(start, 300), &open));
        dialog->handleFullPreviewImageReady(blank(2000, 100));
        QCOMPARE(dialog->displayedSize().width(), start);
        dialog->onNeedToResizeImage(-1);
        QCOMPARE(dialog->displayedSize().width(), after);
    }

    void wheelSteps()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        dialog->handleFullPreviewImageReady(blank(2000, 1000));
        auto *label = dialog->findChild<ConvertImageFullPreviewLabel *>("previewLabel");
        QSignalSpy steps(label, &ConvertImageFullPreviewLabel::needToResizeImage);
        wheel(label, 120);
        QCOMPARE(dialog->displayedSize().width(), 440);
        wheel(label, -120);
        QCOMPARE(dialog->displayedSize().width(), 396);
        wheel(label, 3);
        QCOMPARE(dialog->displayedSize().width(), 396);
        QCOMPARE(steps.size(), 2);
    }

    void resizeReturnsToTheFittedView()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        dialog->handleFullPreviewImageReady(blank(2000, 1000));
        dialog->onNeedToResizeImage(1);
        QCOMPARE(dialog->displayedSize().width(), 440);
        dialog->resize(dialog->width() + 20, dialog->height() + 10);
        QTRY_COMPARE_WITH_TIMEOUT(dialog->displayedSize().width(), 400, 2000);
    }

    void closingClearsTheOpenFlag()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        QSignalSpy closed(dialog.get(), &PreviewDialog::previewDialogClosed);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!open);
        QCOMPARE(closed.size(), 1);
    }

    void waitingTextStaysUntilTheRenderAnswers()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        auto *label = dialog->findChild<QLabel *>("previewLabel");
        auto *size = dialog->findChild<QLabel *>("sizeInfoLabel");
        const QString sizeBefore = size->text();
        // The resize timer fits the (still missing) picture 10 ms after showing.
        QTest::qWait(100);
        QCOMPARE(label->text(), QString("Loading image. Please wait..."));
        QCOMPARE(size->text(), sizeBefore);
        dialog->handleFullPreviewImageReady(blank(40, 30));
        QCOMPARE(size->text(), QString("40x30"));
    }

    void failedRenderShowsZeroSize()
    {
        bool open = false;
        std::unique_ptr<PreviewDialog> dialog(dialogWithArea(QSize(400, 289), &open));
        dialog->handleFullPreviewImageReady(QImage());
        QCOMPARE(dialog->findChild<QLabel *>("sizeInfoLabel")->text(), QString("0x0"));
    }

    void previewLabelClicks()
    {
        ConvertImagePreviewLabel label;
        label.show();
        QSignalSpy open(&label, &ConvertImagePreviewLabel::mouseDoubleClick);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(380, 20));
        QCOMPARE(open.size(), 1);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(open.size(), 1);
        QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(open.size() >= 2);
        label.showPixmap(QPixmap());
        QVERIFY(!label.fitIconVisible);
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::red);
        label.showPixmap(pixmap);
        QVERIFY(label.fitIconVisible);
    }

    void cleanupRemovesFilesButNotFolders()
    {
        const QString dir = ThumbnailCache::thumbnailsDir();
        for (const char *name : { "0.webp", "1.webp", "2.webp", "notes.txt" }) {
            QFile file(dir + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        QVERIFY(QDir(dir).mkpath("sub"));
        QFile kept(dir + "sub/keep.webp");
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.close();

        setThumbnailsCleanupPending(true);
        RemoveThumbnailsDialog dialog;
        QSignalSpy closeApp(&dialog, &RemoveThumbnailsDialog::closeApp);
        dialog.show();
        dialog.removeThumbnailFiles();
        QCOMPARE(closeApp.size(), 1);
        QVERIFY(!thumbnailsCleanupPending());
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
        QVERIFY(QFile::exists(dir + "sub/keep.webp"));
        QDir(dir + "sub").removeRecursively();
    }

    void cleanupLeavesNoThumbnailOfARunningPreview()
    {
        if (!QImageWriter::supportedImageFormats().contains("webp"))
            QSKIP("no WebP writer: thumbnails are never written");
        ThumbnailCache::instance().clear();
        QTemporaryDir sources;
        const QString path = sources.filePath("big.png");
        QVERIFY(blank(3000, 2000).save(path));
        // Still rendering when the clean-up runs: its thumbnail would come after the removal.
        std::unique_ptr<LoadPreviewImageThread> worker(
            new LoadPreviewImageThread(path, QSize(400, 300), false));
        worker->start();
        RemoveThumbnailsDialog dialog;
        dialog.removeThumbnailFiles();
        QVERIFY(worker->wait(20000));
        QCOMPARE(QDir(ThumbnailCache::thumbnailsDir()).entryList(QDir::Files), QStringList());
        ThumbnailCache::instance().clear();
    }

    void cancelledCleanupStillClosesTheApp()
    {
        const QString dir = ThumbnailCache::thumbnailsDir();
        QFile file(dir + "5.webp");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        RemoveThumbnailsDialog dialog;
        QSignalSpy closeApp(&dialog, &RemoveThumbnailsDialog::closeApp);
        QTest::mouseClick(dialog.findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
        dialog.removeThumbnailFiles();
        QCOMPARE(closeApp.size(), 1);
        QVERIFY(QFile::exists(dir + "5.webp"));
        QFile::remove(dir + "5.webp");
    }
};

QTEST_MAIN(TestPreviewDialogs)
#include "tst_previewdialogs.moc"
