#include "bus/Translations.h"

#include "bus/BusLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// A catalog for the default locale's languages from `folder`, installed for the application's
// life; false when none is there.
bool installCatalog(const QString& catalog, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(), catalog, QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace

bool Translations::install(const QString& catalog, const QString& fromProgram,
                           const QString& installed)
{
    // "qt" loads the catalogs of the Qt modules it lists (qtbase for the widgets' own texts).
    const bool qt =
        installCatalog(QStringLiteral("qt"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const bool ours =
        installCatalog(catalog, QCoreApplication::applicationDirPath() + u'/' + fromProgram) ||
        installCatalog(catalog, installed);
    qCDebug(lcBus) << "translations for" << QLocale().uiLanguages() << "Qt's:" << qt
                   << "ours:" << ours;
    return ours;
}
