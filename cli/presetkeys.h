#pragma once

#include <QList>
#include <QString>

// What a preset file may hold, key by key, from the settings table that loads it: for --help's
// companion --preset-keys, the man page and the README, so that the three cannot drift apart.
struct PresetKeyDoc {
    QString key;
    QString type;
    QString allowed;
    QString defaultValue;
};

QList<PresetKeyDoc> presetKeyDocs();

// The table as plain text lines, as troff for the man page, and as a Markdown table.
QString presetKeysText();
QString presetKeysTroff();
QString presetKeysMarkdown();
