// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class CocoaCode;

// The program's only door to operating-system services. Everything here is stateless and
// runs on the GUI thread.
class LKGlobal {
public:
    enum RegistryRoot { CurrentUser, LocalMachine };

    // A folder chooser; the chosen folder, or an empty string when the user cancels.
    static QString browseForFolder(const QString &title, const QString &startFolder);

    // Lets the user pick the output folder, starting in Documents, and reports the answer
    // (empty when cancelled) through code's folderSelected signal.
    static void selectOutputFolder(CocoaCode *code);

    // A 32-bit value under a registry key: HKCU\<subKey> on Windows, a settings file named
    // after the key elsewhere. A failed read leaves value unchanged.
    static bool readRegistryDword(
        RegistryRoot root, const QString &subKey, const QString &valueName, quint32 &value);
    static bool writeRegistryDword(
        RegistryRoot root, const QString &subKey, const QString &valueName, quint32 value);

    // The user's Pictures folder, empty when the system does not name one.
    static QString picturesFolder();

    static QString productName();
};
