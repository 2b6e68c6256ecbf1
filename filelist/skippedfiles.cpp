// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/skippedfiles.h"

#include <QCoreApplication>
#include <QStringList>

SkippedFiles &SkippedFiles::operator+=(const SkippedFiles &other)
{
    unsupported += other.unsupported;
    duplicates += other.duplicates;
    missing += other.missing;
    notLocal += other.notLocal;
    return *this;
}

bool SkippedFiles::operator==(const SkippedFiles &other) const
{
    return unsupported == other.unsupported && duplicates == other.duplicates && missing == other.missing
        && notLocal == other.notLocal;
}

QString skippedFilesMessage(const SkippedFiles &skipped)
{
    const int total = skipped.total();
    if (total == 0)
        return {};
    const std::pair<int, const char *> reasons[] = {
        { skipped.unsupported, QT_TRANSLATE_NOOP("SkippedFiles", "not a supported image") },
        { skipped.duplicates, QT_TRANSLATE_NOOP("SkippedFiles", "already in the list") },
        { skipped.missing, QT_TRANSLATE_NOOP("SkippedFiles", "not found") },
        { skipped.notLocal, QT_TRANSLATE_NOOP("SkippedFiles", "not a local file") },
    };
    QStringList parts;
    QString only;
    for (const auto &[count, reason] : reasons) {
        if (count == 0)
            continue;
        only = QCoreApplication::translate("SkippedFiles", reason);
        parts.append(QStringLiteral("%1 %2").arg(count).arg(only));
    }
    const QString head = total == 1
        ? QCoreApplication::translate("SkippedFiles", "1 file not added")
        : QCoreApplication::translate("SkippedFiles", "%1 files not added").arg(total);
    return head + QStringLiteral(": ") + (parts.size() == 1 ? only : parts.join(QStringLiteral(", ")));
}
