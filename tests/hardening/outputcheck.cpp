// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "outputcheck.h"

#include "convert/checkedsavefile.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>

namespace OutputCheck {

namespace {

    QByteArray suffixOf(const QString &suffixOrPath)
    {
        return suffixOrPath.section(QLatin1Char('.'), -1).toLower().toLatin1();
    }

} // namespace

bool canRead(const QString &suffixOrPath)
{
    return QImageReader::supportedImageFormats().contains(suffixOf(suffixOrPath));
}

bool canWrite(const QString &suffixOrPath)
{
    return QImageWriter::supportedImageFormats().contains(suffixOf(suffixOrPath));
}

bool jobCanWrite(const QString &ext)
{
    return ext == QLatin1String(".pdf") || ext == QLatin1String(".gif") || canWrite(ext);
}

QImage decode(const QString &path)
{
    QImageReader reader(path);
    return reader.read();
}

int pdfPages(const QString &path)
{
    if (!TestSupport::haveTool(QStringLiteral("pdfinfo")))
        return -2;
    QByteArray output;
    if (TestSupport::runTool(QStringLiteral("pdfinfo"), { path }, &output) != 0)
        return -1;
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
              .match(QString::fromUtf8(output));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QStringList temporaryFiles(const QString &folder)
{
    static const QRegularExpression temporaryName(QStringLiteral("^.+\\.[A-Za-z]+\\.[A-Za-z0-9]{6}$"));
    QStringList found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (CheckedSaveFile::isTemporaryName(name) || temporaryName.match(name).hasMatch())
            found.append(name);
    }
    return found;
}

} // namespace OutputCheck
