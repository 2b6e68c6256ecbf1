// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/failurereasons.h"

#include <QCoreApplication>

namespace FailureReason {

QString cannotRead()
{
    return QCoreApplication::translate("FailureReason", "cannot read image");
}

QString noSuchFile()
{
    return QCoreApplication::translate("FailureReason", "no such file");
}

QString nameNotUtf8()
{
    return QCoreApplication::translate(
        "FailureReason", "name not valid UTF-8, cannot be opened; rename it to convert it");
}

QString notSupported()
{
    return QCoreApplication::translate("FailureReason", "not a supported image");
}

QString damaged()
{
    return QCoreApplication::translate("FailureReason", "damaged or incomplete image");
}

QString tooManyScans(int limit)
{
    return QCoreApplication::translate("FailureReason", "JPEG with too many scans (more than %1)").arg(limit);
}

QString pictureTooLarge(QSize size, qint64 limitMegapixels)
{
    return QCoreApplication::translate(
        "FailureReason", "picture too large (%1 x %2, the limit is %3 megapixels)")
        .arg(size.width())
        .arg(size.height())
        .arg(limitMegapixels);
}

QString resultTooLarge(QSize size)
{
    return QCoreApplication::translate("FailureReason", "result too large after scaling (%1 x %2)")
        .arg(size.width())
        .arg(size.height());
}

QString diskFull()
{
    return QCoreApplication::translate("FailureReason", "disk full");
}

QString permissionDenied()
{
    return QCoreApplication::translate("FailureReason", "permission denied");
}

QString sameNameInJob(const QString &fileName)
{
    return QCoreApplication::translate("FailureReason", "another file of this job has the same name: %1")
        .arg(fileName);
}

QString folderGone()
{
    return QCoreApplication::translate("FailureReason", "folder no longer exists");
}

QString fileTooLarge(qint64 bytes, qint64 limitBytes)
{
    return QCoreApplication::translate("FailureReason", "file too large (%1 MB, the limit is %2 MB)")
        .arg(bytes >> 20)
        .arg(limitBytes >> 20);
}

QString nameTaken()
{
    return QCoreApplication::translate(
        "FailureReason", "a file of this name appeared meanwhile and was left as it was");
}

QString damagedNotOverExisting(const QString &damage)
{
    return QCoreApplication::translate("FailureReason", "%1; the existing file was left as it was")
        .arg(damage);
}

} // namespace FailureReason
