#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

namespace TestSupport {

// A deterministic picture with detail in every channel (gradients and smooth waves), so that codecs
// and resampling have something real to work on.
QImage makePhotoLike(int width, int height, bool withAlpha = false);

// Writes `image` to `path` with the real writer for its suffix; fails the calling test if it cannot.
bool saveImage(const QImage &image, const QString &path, int quality = -1);

// Peak signal-to-noise ratio of b against a over RGB (and alpha when both have it); inf when equal.
double psnr(const QImage &a, const QImage &b);

// Whether an external program is on the PATH.
bool haveTool(const QString &program);

// Runs a program and returns its exit code (-1 when it could not start); stdout+stderr into *output.
int runTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
            int timeoutMs = 120000);

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
} // namespace DebugLog

} // namespace TestSupport
