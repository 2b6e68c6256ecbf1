// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/updatedocument.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

// The parser names every key it meets in the debug log; at fuzzing speed that is only noise.
void discardMessages(QtMsgType, const QMessageLogContext &, const QString &) { }

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool quiet = [] {
        qInstallMessageHandler(discardMessages);
        return true;
    }();
    Q_UNUSED(quiet);

    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const VersionNumber remote = parseUpdateDocument(body);

    // Whatever numbers came out must survive being written as a clean document and read again,
    // and the ordering must never call two versions newer than each other.
    const QByteArray clean = "majorVersion=" + QByteArray::number(remote.majorVersion)
        + ";minorVersion=" + QByteArray::number(remote.minorVersion)
        + ";subMinorVersion=" + QByteArray::number(remote.subMinorVersion);
    const VersionNumber again = parseUpdateDocument(clean);
    if (again.majorVersion != remote.majorVersion || again.minorVersion != remote.minorVersion
        || again.subMinorVersion != remote.subMinorVersion)
        qFatal("update document round trip changed the version");
    const VersionNumber installed = programVersion();
    if (isNewerVersion(remote, installed) && isNewerVersion(installed, remote))
        qFatal("two versions are newer than each other");
    return 0;
}
