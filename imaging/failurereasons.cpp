// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/failurereasons.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("FailureReason", text);
}
} // namespace

namespace FailureReason {

QString cannotRead()
{
    return tr("cannot read image");
}

QString notSupported()
{
    return tr("not a supported image");
}

QString damaged()
{
    return tr("damaged or incomplete image");
}

QString tooManyScans(int limit)
{
    return tr("JPEG with too many scans (more than %1)").arg(limit);
}

QString pictureTooLarge(QSize size, qint64 limitMegapixels)
{
    return tr("picture too large (%1 x %2, the limit is %3 megapixels)")
        .arg(size.width())
        .arg(size.height())
        .arg(limitMegapixels);
}

QString resultTooLarge(QSize size)
{
    return tr("result too large after scaling (%1 x %2)").arg(size.width()).arg(size.height());
}

QString diskFull()
{
    return tr("disk full");
}

QString permissionDenied()
{
    return tr("permission denied");
}

QString sameNameInJob(const QString &fileName)
{
    return tr("another file of this job has the same name: %1").arg(fileName);
}

QString folderGone()
{
    return tr("folder no longer exists");
}

QString fileTooLarge(qint64 bytes, qint64 limitBytes)
{
    return tr("file too large (%1 MB, the limit is %2 MB)").arg(bytes >> 20).arg(limitBytes >> 20);
}

QString nameTaken()
{
    return tr("a file of this name appeared meanwhile and was left as it was");
}

QString damagedNotOverExisting(const QString &damage)
{
    return tr("%1; the existing file was left as it was").arg(damage);
}

} // namespace FailureReason
