#include "mainwindow/japanesetranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installJapaneseTranslation(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    // Loaded by file name rather than through QLocale: on a machine set to
    // LANG=C the locale would pick no translation at all.
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
