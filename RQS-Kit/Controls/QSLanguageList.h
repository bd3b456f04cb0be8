#pragma once

#include <QStringList>

// The languages the user prefers, each named in its own language, shared by every language
// pop-up; entry 0 is always the empty identifier named "Unknown". Main thread only.
class QSLanguageList
{
public:
    struct Entries
    {
        QStringList identifiers;
        QStringList names;
    };

    // Identifiers as given, in their order; ignoring regions keeps the first two letters. Equal
    // languages are listed once; identifiers without a name are skipped with a warning.
    static Entries build(const QStringList &preferred, bool ignoreRegions);
    // From the system's UI languages and the default "QSLanguageIgnoreCountry" (registered YES);
    // posts "QSLanguagesHaveChanged".
    static void updateLanguages();
    static const Entries &shared();
    // The entry whose identifier is the one given, else the first of the same language (by prefix
    // up to "-" or "_"), else -1.
    static int indexOf(const QString &identifier);
};
