// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport.h"

#include "convert/conversionoptions.h"
#include "imaging/renderpipeline.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageWriter>
#include <QLineEdit>
#include <QMutex>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <cmath>
#include <limits>

namespace TestSupport {

QImage makePhotoLike(int width, int height, bool withAlpha)
{
    QImage image(width, height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int r = (x * 255) / qMax(1, width - 1);
            const int g = (y * 255) / qMax(1, height - 1);
            const int b = int(128 + 90 * std::sin(x / 6.0) * std::cos(y / 9.0));
            const int a = withAlpha ? (x < width / 2 ? 255 : 96) : 255;
            line[x] = qRgba(r, g, b, a);
        }
    }
    return image;
}

bool saveImage(const QImage &image, const QString &path, int quality)
{
    QImageWriter writer(path);
    writer.setQuality(quality);
    return writer.write(image);
}

double psnr(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 0.0;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    const bool alpha = a.hasAlphaChannel() && b.hasAlphaChannel();
    double sum = 0;
    qint64 count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d[4] = { qRed(p[col]) - qRed(q[col]), qGreen(p[col]) - qGreen(q[col]),
                qBlue(p[col]) - qBlue(q[col]), qAlpha(p[col]) - qAlpha(q[col]) };
            for (int c = 0; c < (alpha ? 4 : 3); ++c) {
                sum += d[c] * d[c];
                ++count;
            }
        }
    }
    if (sum == 0)
        return std::numeric_limits<double>::infinity();
    const double mse = sum / count;
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

bool haveTool(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

int runTool(const QString &program, const QStringList &arguments, QByteArray *output, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QImage iconImage(const QIcon &icon, QIcon::Mode mode)
{
    return icon.pixmap(QSize(24, 24), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage resourceIcon(const QString &name)
{
    return iconImage(QIcon(QStringLiteral(":/resources/images/") + name));
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

namespace DebugLog {
    namespace {
        QMutex mutex;
        QStringList lines;
        QtMessageHandler previous = nullptr;

        void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
        {
            if (type != QtDebugMsg) {
                previous(type, context, message);
                return;
            }
            QMutexLocker lock(&mutex);
            lines.append(message);
        }
    } // namespace

    void install()
    {
        previous = qInstallMessageHandler(collect);
    }

    void uninstall()
    {
        qInstallMessageHandler(previous);
    }

    void clear()
    {
        QMutexLocker lock(&mutex);
        lines.clear();
    }

    QStringList linesStartingWith(const QString &prefix)
    {
        QMutexLocker lock(&mutex);
        QStringList found;
        for (const QString &line : std::as_const(lines)) {
            if (line.startsWith(prefix))
                found.append(line.mid(prefix.size()));
        }
        return found;
    }
} // namespace DebugLog

std::unique_ptr<QSettings> openMainApp()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral("Larkspan"), QStringLiteral("ZirarurOvize"));
    settings->beginGroup(QStringLiteral("MainApp"));
    return settings;
}

QVariant storedValue(const QString &key)
{
    return openMainApp()->value(key);
}

QStringList storedKeys()
{
    QStringList keys = openMainApp()->childKeys();
    keys.sort();
    return keys;
}

void clearStore()
{
    std::unique_ptr<QSettings> settings = openMainApp();
    settings->endGroup();
    settings->clear();
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    palette.setColor(QPalette::ButtonText, Qt::white);
    return palette;
}

void resetFormState()
{
    clearStore();
    resetOptions();
    restoreStandardPalette();
}

void restoreStandardPalette()
{
    QApplication::setPalette(QApplication::style()->standardPalette());
}

bool useDesktopHomeAndScreen(const QString &home)
{
    qputenv("HOME", home.toLocal8Bit());
    const QString screenConfig = home + QStringLiteral("/screen.json");
    QFile config(screenConfig);
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write(R"({"screens":[{"name":"screen","x":0,"y":0,"width":1920,"height":1080,"logicalDpi":96}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screenConfig.toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    return true;
}

void JobFolders::resetJobFolders()
{
    resetOptions();
    clearLoadCache();
    QDir(dir.path()).removeRecursively();
    in = dir.path() + "/in";
    out = dir.path() + "/out";
    QDir().mkpath(in);
    QDir().mkpath(out);
    updateOptions([&](ConversionOptions &o) { o.outputFolder = out; });
}

bool answerFileDialog(QFileDialog *dialog, const QString &path)
{
    if (path.isEmpty()) {
        dialog->reject();
        return true;
    }
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept(); // protected in QFileDialog
    return !dialog->isVisible();
}

bool enterInput(QWidget *target, const QVariant &input)
{
    if (auto *spin = qobject_cast<QSpinBox *>(target))
        spin->setValue(input.toInt());
    else if (auto *combo = qobject_cast<QComboBox *>(target))
        combo->setCurrentIndex(input.toInt());
    else if (auto *line = qobject_cast<QLineEdit *>(target))
        line->setText(input.toString());
    else if (auto *text = qobject_cast<QPlainTextEdit *>(target))
        text->setPlainText(input.toString());
    else if (auto *box = qobject_cast<QCheckBox *>(target))
        box->click();
    else
        return false;
    return true;
}

} // namespace TestSupport
