// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/report.h"

#include "cli/commandline.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {

QString resultName(FileOutcome::Result result)
{
    switch (result) {
    case FileOutcome::Converted:
        return QStringLiteral("converted");
    case FileOutcome::Failed:
        return QStringLiteral("failed");
    case FileOutcome::Skipped:
        return QStringLiteral("skipped");
    }
    return QString();
}

int countOf(const QList<FileOutcome> &outcomes, FileOutcome::Result result)
{
    return int(std::count_if(
        outcomes.cbegin(), outcomes.cend(), [result](const FileOutcome &o) { return o.result == result; }));
}

QString clockText(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void writeError(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

ProgressBar::ProgressBar()
{
    clock.start();
}

void ProgressBar::update(int done, int total)
{
    constexpr int Width = 30;
    const int filled = total > 0 ? Width * done / total : Width;
    const double seconds = clock.elapsed() / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0;
    const QString left = rate > 0 ? clockText(qint64((total - done) / rate + 0.5)) : QStringLiteral("-:--");
    writeError(QStringLiteral("\r[%1%2] %3/%4 files  %5 files/s  %6 left ")
                   .arg(QString(filled, QLatin1Char('#')), QString(Width - filled, QLatin1Char(' ')))
                   .arg(done)
                   .arg(total)
                   .arg(rate, 0, 'f', 1)
                   .arg(left));
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::finish()
{
    if (drawn)
        writeError(QStringLiteral("\n"));
    drawn = false;
}

void printOutcomes(const QList<FileOutcome> &outcomes)
{
    for (const FileOutcome &outcome : outcomes) {
        if (outcome.result == FileOutcome::Failed)
            writeError(QStringLiteral("failed: %1: %2\n")
                           .arg(printableText(QDir::toNativeSeparators(outcome.source)), outcome.reason));
        else if (outcome.result == FileOutcome::Skipped)
            writeError(QStringLiteral("skipped: %1: %2 exists (use --overwrite to replace it)\n")
                           .arg(printableText(QDir::toNativeSeparators(outcome.source)),
                               printableText(QDir::toNativeSeparators(outcome.target))));
    }
    writeError(QStringLiteral("%1 converted, %2 failed, %3 skipped\n")
                   .arg(countOf(outcomes, FileOutcome::Converted))
                   .arg(countOf(outcomes, FileOutcome::Failed))
                   .arg(countOf(outcomes, FileOutcome::Skipped)));
}

QByteArray outcomesJson(const QString &outputFolder, const QList<FileOutcome> &outcomes)
{
    QJsonArray files;
    for (const FileOutcome &outcome : outcomes) {
        files.append(QJsonObject { { QStringLiteral("source"), QDir::toNativeSeparators(outcome.source) },
            { QStringLiteral("target"), QDir::toNativeSeparators(outcome.target) },
            { QStringLiteral("result"), resultName(outcome.result) },
            { QStringLiteral("reason"), outcome.reason } });
    }
    const QJsonObject document { { QStringLiteral("outputFolder"), QDir::toNativeSeparators(outputFolder) },
        { QStringLiteral("files"), files },
        { QStringLiteral("converted"), countOf(outcomes, FileOutcome::Converted) },
        { QStringLiteral("failed"), countOf(outcomes, FileOutcome::Failed) },
        { QStringLiteral("skipped"), countOf(outcomes, FileOutcome::Skipped) } };
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

int exitCodeFor(const QList<FileOutcome> &outcomes)
{
    if (outcomes.isEmpty())
        return 3;
    const bool fault = std::any_of(outcomes.cbegin(), outcomes.cend(), [](const FileOutcome &o) {
        return o.result == FileOutcome::Failed || (o.result == FileOutcome::Skipped && !o.skipAsked);
    });
    return fault ? 1 : 0;
}
