#pragma once
// The texts of a program in the user's language (QLocale's default, from LANGUAGE, LC_MESSAGES or
// LANG): Qt's own catalog and one of ours, installed on the application once it exists. Without a
// catalog for the language the texts stay English.

#include <QString>

class Translations {
public:
    // Installs Qt's catalog and `catalog`, taken from the folder `fromProgram` (relative to the
    // program's own folder) or else from `installed`; true when ours was found.
    static bool install(const QString& catalog, const QString& fromProgram,
                        const QString& installed);
};
