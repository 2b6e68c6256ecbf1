#pragma once

#include <QString>
#include <QStringList>

// The readable names of the settings that hold a choice as a number: the stored number is the
// name's position in the list. A preset may give either; the window saves the name.
namespace SettingChoices {

// The names of a key's choices, in the order of their numbers; empty when the key holds no choice.
QStringList names(const QString &key);

// The number of `text` among the key's choices: a name (ignoring case, spaces, dashes and
// underscores, so "Bottom - Right", "bottom-right" and "BottomRight" are one) or a few spellings
// people type for it ("JPEG", "jxl"); -1 when it is none of them.
int indexOf(const QString &key, const QString &text);

// Keys that describe one machine rather than a way to convert: not saved into presets, not
// taken from them.
bool isMachineSpecific(const QString &key);

// Names match ignoring case, spaces, dashes and underscores.
QString folded(const QString &name);

} // namespace SettingChoices
