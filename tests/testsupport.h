// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPalette>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <memory>

class QFileDialog;
class QWidget;

namespace TestSupport {

// A deterministic picture with detail in every channel (gradients and smooth waves), so that codecs
// and resampling have something real to work on.
QImage makePhotoLike(int width, int height, bool withAlpha = false);

// A picture of one colour; `colour` as QImage::fill() takes it (a QColor, a global colour or a
// pixel value).
template <typename Colour>
QImage filledImage(QSize size, const Colour &colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// Writes `image` to `path` with the real writer for its suffix; fails the calling test if it cannot.
bool saveImage(const QImage &image, const QString &path, int quality = -1);

// Peak signal-to-noise ratio of b against a over RGB (and alpha when both have it); inf when equal.
double psnr(const QImage &a, const QImage &b);

// Whether an external program is on the PATH.
bool haveTool(const QString &program);

// Runs a program and returns its exit code (-1 when it could not start); stdout+stderr into *output.
int runTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
    int timeoutMs = 120000);

// Every entry of a folder, hidden ones included.
QStringList folderEntries(const QString &folder);

// An icon as 24 x 24 ARGB32 pixels, and a compiled-in picture ("_Convert24.png") made an icon so.
QImage iconImage(const QIcon &icon, QIcon::Mode mode = QIcon::Normal);
QImage resourceIcon(const QString &name);

// Writes `bytes` to a new file at `path`; false unless every byte went in.
bool writeFile(const QString &path, const QByteArray &bytes);
// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString &path);

// SHA-256 of a file's content, empty when it cannot be read.
QByteArray fileDigest(const QString &path);

// Collects the debug lines of every thread while installed; louder messages still reach the test
// log. Tests read what the program logged through it.
namespace DebugLog {
    void install();
    void uninstall();
    void clear();
    // The rest of every collected line that starts with `prefix`, in order.
    QStringList linesStartingWith(const QString &prefix);

    // Collects into an emptied log while it lives. Made once the test run has started: the test
    // library installs a handler of its own when it starts.
    class Collector {
    public:
        Collector()
        {
            clear();
            install();
        }
        ~Collector() { uninstall(); }
        Collector(const Collector &) = delete;
        Collector &operator=(const Collector &) = delete;
    };
} // namespace DebugLog

// The program's settings group (organisation, application and group as the program names them),
// in the test location once QStandardPaths' test mode is on.
std::unique_ptr<QSettings> openMainApp();
QVariant storedValue(const QString &key);
// The stored keys of the group, sorted.
QStringList storedKeys();
// Empties the whole settings file, not only the group.
void clearStore();

// A dark scheme as a desktop would set it: light text on dark window, base and button colours.
QPalette darkPalette();

// Where every form test starts: an empty store, the default options and the standard palette.
void resetFormState();
// Puts the standard palette back, so that a test that went dark leaves no trace.
void restoreStandardPalette();
// Before the application object: a home of its own under `home` (tests running side by side never
// share a settings file) and an offscreen 1920 x 1080 screen at 96 dpi, so that geometry checks
// meet a known desktop. False when the screen's description cannot be written.
bool useDesktopHomeAndScreen(const QString &home);

// The folders of a conversion test, under a temporary folder of the test program: `in` for the
// sources, `out` for the targets. A test class derives from it and calls resetJobFolders() in
// init(), so that every test function starts alike: the default options writing into `out`, no
// last output location, an empty load cache, and both folders empty.
class JobFolders {
protected:
    void resetJobFolders();

    QTemporaryDir dir;
    QString in, out;
};

// Picks `path` in a file dialog as a user would: typed into the name field, since selectFile()
// leaves that field alone while it has the focus; an empty path cancels the dialog. False while
// the dialog stays open, as it may while it still loads its folder.
bool answerFileDialog(QFileDialog *dialog, const QString &path);

// Enters `input` into a control as a user would: a value into a spin box, an index into a combo
// box, a text into a line or text edit, a click on a check box. False for any other widget.
bool enterInput(QWidget *target, const QVariant &input);

// The main() of a test of the window's widgets: a home of its own, so that tests running side by
// side never share a settings file, the settings in the test location, and the application with
// `style` when one is named.
template <typename Test> int runWidgetTest(int argc, char *argv[], const QString &style = QString())
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    if (!style.isEmpty())
        QApplication::setStyle(style);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// The named child of `parent`; stops the test run when it is missing, since every later line
// would fail on a null widget.
template <typename T> T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}

} // namespace TestSupport
