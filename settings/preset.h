// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/conversionoptions.h"

#include <QFont>
#include <QString>
#include <QStringList>

// A preset: the options in an INI file with the keys and the group of the settings store, fonts
// and colours in their string forms, so that a person can read and edit it. Shared by the window
// and the command line.
namespace Preset {

struct LoadResult {
    bool read = false; // false: the file could not be read at all; `error` says why
    QString error;
    // Keys (with their group) that were present but not used: unknown, of the wrong type or out of
    // range.
    QStringList ignoredKeys;
    // How many keys (the rule list counting once) gave their option a value.
    int usedKeys = 0;
};

// Takes the file's options into *options: a valid value replaces the option, a value that is not
// valid puts the option back to its default, and an option the file lacks keeps its value (so a
// caller that starts from the defaults gets the defaults for it). standardFont stands in for an
// empty text font. A choice may be given by its number or its name ("targeFileType=JPG",
// "textPosition=Bottom - Right"); switches as true/false, on/off, yes/no or 1/0. Keys that
// describe one machine (lastPicturesDir) are passed over.
LoadResult load(const QString &path, ConversionOptions *options, const QFont &standardFont);

// Writes every option but those that describe one machine, choices by their names; false with
// *error set when the file cannot be written.
bool save(const QString &path, const ConversionOptions &options, QString *error = nullptr);

} // namespace Preset
