// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/lkglobal.h"

#include "common/cocoacode.h"
#include "common/logging.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <limits>
#include <memory>

namespace {

// On Windows QSettings' native format is the registry, so a key path reaches the same value the
// registry calls would. Elsewhere "Software\Org\App" becomes Org/App.conf in the user's config
// folder, which is how QSettings itself maps organisation and application names.
std::unique_ptr<QSettings> openRegistryKey(LKGlobal::RegistryRoot root, const QString &subKey)
{
#ifdef Q_OS_WIN
    const QString rootName = root == LKGlobal::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                                           : QStringLiteral("HKEY_LOCAL_MACHINE");
    return std::make_unique<QSettings>(rootName + QLatin1Char('\\') + subKey, QSettings::NativeFormat);
#else
    QStringList parts = subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    const QString organization = parts.isEmpty() ? QStringLiteral("Software") : parts.takeFirst();
    const QSettings::Scope scope
        = root == LKGlobal::CurrentUser ? QSettings::UserScope : QSettings::SystemScope;
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, scope, organization, parts.join(QLatin1Char('/')));
#endif
}

} // namespace

QString LKGlobal::browseForFolder(const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(nullptr, title, startFolder, QFileDialog::ShowDirsOnly);
}

void LKGlobal::selectOutputFolder(CocoaCode *code)
{
    const QString documents = QStandardPaths::locate(
        QStandardPaths::DocumentsLocation, QString(), QStandardPaths::LocateDirectory);
    const QString folder = browseForFolder(QObject::tr("Select folder ..."), documents);
    emit code->folderSelected(folder);
}

bool LKGlobal::readRegistryDword(
    RegistryRoot root, const QString &subKey, const QString &valueName, quint32 &value)
{
    const std::unique_ptr<QSettings> key = openRegistryKey(root, subKey);
    bool ok = false;
    const qint64 stored = key->value(valueName).toLongLong(&ok);
    // A DWORD holds 32 bits; signed values written by older builds come back as the same bits.
    if (!ok || stored < std::numeric_limits<qint32>::min() || stored > std::numeric_limits<quint32>::max()) {
        qDebug().noquote() << subKey + QStringLiteral(" : ") + valueName
                + QStringLiteral(" : Cannot read DWORD from registry.");
        return false;
    }
    value = quint32(stored);
    return true;
}

bool LKGlobal::writeRegistryDword(
    RegistryRoot root, const QString &subKey, const QString &valueName, quint32 value)
{
    const std::unique_ptr<QSettings> key = openRegistryKey(root, subKey);
    if (!key->isWritable())
        return false;
    key->setValue(valueName, value);
    key->sync();
    if (key->status() == QSettings::NoError)
        qDebug() << "true";
    return true;
}

QString LKGlobal::picturesFolder()
{
    // A start folder that does not exist would reach the file dialogs as a file name to preselect.
    const QString folder = QStandardPaths::locate(
        QStandardPaths::PicturesLocation, QString(), QStandardPaths::LocateDirectory);
    return folder.isEmpty() ? folder : QDir::cleanPath(folder);
}

QString LKGlobal::productName()
{
    return QStringLiteral("Larkspan Pictomat");
}
