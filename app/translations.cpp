#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QVector>

namespace {

QVector<QPointer<QTranslator>> &installedTranslators()
{
    static QVector<QPointer<QTranslator>> translators;
    return translators;
}

bool installCatalogue(const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, name, QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installedTranslators().append(translator);
    return true;
}

} // namespace

bool installTranslations(const QLocale &locale)
{
    for (const QPointer<QTranslator> &translator : std::as_const(installedTranslators())) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installedTranslators().clear();
    // Debian ships Qt's catalogues in qt6-translations-l10n; ours are compiled in.
    installCatalogue(locale, QStringLiteral("qt"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return installCatalogue(locale, QStringLiteral("pictomat"), QStringLiteral(":/i18n"));
}
