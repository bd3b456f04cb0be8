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
    // The languages of the desktop's list; without any (the C locale names none) the languages the
    // application has texts for, so that a user still has a choice.
    static QStringList offered(const QStringList &uiLanguages);
    // From the languages offered for the system's UI languages and the default "QSLanguageIgnoreCountry" (registered YES);
    // posts "QSLanguagesHaveChanged".
    static void updateLanguages();
    static const Entries &shared();
    // The entry whose identifier is the one given, else the first of the same language (by prefix
    // up to "-" or "_"), else -1.
    static int indexOf(const QString &identifier);
};
