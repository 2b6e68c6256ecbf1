// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

// Notices, on the current thread, the JPEG reader's complaints about damaged data ("premature
// end of data segment", a truncated file) while it decodes: the reader still returns a picture,
// its missing part filled with grey. Create one around a read; watches may nest.
class SourceDamageWatch {
public:
    SourceDamageWatch();
    ~SourceDamageWatch();
    SourceDamageWatch(const SourceDamageWatch &) = delete;
    SourceDamageWatch &operator=(const SourceDamageWatch &) = delete;

    bool sawDamage() const { return damaged; }
    void noteDamage() { damaged = true; }

private:
    SourceDamageWatch *outer;
    bool damaged = false;
};

// Whether a reader's warning text says the image data is damaged or incomplete.
bool isDamageWarning(const QString &category, const QString &message);

enum class SourceCondition {
    Whole, // no complaint
    Damaged, // a picture with a damaged or missing part: written, and reported
    AlmostEmpty, // the header promises a picture the file holds almost nothing of: not written
};

// The verdict on a decoded image, given whether its reader complained. The part the reader had
// no data for is one flat colour from some row to the bottom; when that leaves less than a
// fiftieth of the rows, the file holds almost nothing of its picture. Pure.
SourceCondition judgeDecodedSource(bool readerComplained, const QImage &image);

// What the loader does with a decode: true and the image for a whole or a damaged source (then
// *reason, if given, is FailureReason::damaged(), a warning); false and a null image for a source
// that holds almost none of its picture.
bool acceptDecodedSource(const SourceDamageWatch &watch, QImage *image, QString *reason);

// A list icon with a warning sign in its corner, for a source that is damaged or incomplete.
QImage withDamageMark(const QImage &icon);
