#pragma once

class QLocale;

// Puts the program's own catalogue and Qt's (the texts of its standard dialogs and buttons) for
// `locale` in front of the application's texts, replacing catalogues installed before. A language
// the program has no catalogue for keeps its English texts; Qt's catalogue is still taken if the
// system has one. Returns whether the program's own catalogue was found.
bool installTranslations(const QLocale &locale);
