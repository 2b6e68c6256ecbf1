// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>

// The reasons a conversion lists for a file it could not convert, in words a person understands.
// One place, so that the job, the PDF assembly, the previews and the tests use the same texts.
namespace FailureReason {
QString cannotRead();
QString noSuchFile();
// A name the file system holds that is not valid UTF-8: no Qt path reaches the file.
QString nameNotUtf8();
QString notSupported();
QString damaged();
QString tooManyScans(int limit);
QString pictureTooLarge(QSize size, qint64 limitMegapixels);
QString resultTooLarge(QSize size);
QString diskFull();
QString permissionDenied();
QString sameNameInJob(const QString &fileName);
QString folderGone();
QString nameTaken();
QString fileTooLarge(qint64 bytes, qint64 limitBytes);
QString damagedNotOverExisting(const QString &damage);
} // namespace FailureReason
