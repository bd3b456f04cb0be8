#include "RQS-Kit/Controls/QSLanguageList.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include <QLocale>
#include <QSet>

namespace {

const QString ignoreCountryKey = QStringLiteral("QSLanguageIgnoreCountry");

QSLanguageList::Entries &entries()
{
    static QSLanguageList::Entries list{{QString()}, {QStringLiteral("Unknown")}};
    return list;
}

QString nativeName(const QLocale &locale, bool withRegion)
{
    if (locale.language() == QLocale::C)
        return {};
    // Qt names English after its default territory ("American English"); the language alone is wanted.
    const QString language = locale.language() == QLocale::English ? QLocale::languageToString(QLocale::English)
                                                                    : locale.nativeLanguageName();
    return withRegion ? QStringLiteral("%1 (%2)").arg(language, locale.nativeTerritoryName()) : language;
}

QString languageOf(const QString &identifier) { return identifier.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0); }

} // namespace

QSLanguageList::Entries QSLanguageList::build(const QStringList &preferred, bool ignoreRegions)
{
    Entries list{{QString()}, {QStringLiteral("Unknown")}};
    QSet<QString> listed;
    for (const QString &identifier : preferred) {
        QString taken = identifier;
        QString name;
        if (ignoreRegions && identifier.size() >= 3) {
            taken = identifier.left(2);
            name = nativeName(QLocale(taken), false);
        }
        if (name.isEmpty()) {
            taken = identifier;
            name = nativeName(QLocale(identifier), identifier.size() >= 3);
        }
        if (name.isEmpty()) {
            platform::logWarning(QStringLiteral("Locale Problem with %1 – %2").arg(identifier, name));
            continue;
        }
        // Qt also lists script forms and bare languages; one entry per language (and region) is enough.
        const QString key = ignoreRegions ? taken : QLocale(taken).name();
        if (listed.contains(key))
            continue;
        listed.insert(key);
        list.identifiers << taken;
        list.names << name;
    }
    return list;
}

QStringList QSLanguageList::offered(const QStringList &uiLanguages)
{
    QStringList languages;
    for (const QString &identifier : uiLanguages) {
        if (QLocale(identifier).language() != QLocale::C)
            languages << identifier;
    }
    return languages.isEmpty() ? platform::Bundle::mainBundle()->localizations() : languages;
}

void QSLanguageList::updateLanguages()
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->registerDefaults({{ignoreCountryKey, true}});
    entries() = build(offered(QLocale::system().uiLanguages()), defaults->boolForKey(ignoreCountryKey));
    platform::NotificationCenter::defaultCenter()->post(QStringLiteral("QSLanguagesHaveChanged"));
}

const QSLanguageList::Entries &QSLanguageList::shared()
{
    static const bool built = (updateLanguages(), true);
    (void)built;
    return entries();
}

int QSLanguageList::indexOf(const QString &identifier)
{
    const QStringList &identifiers = shared().identifiers;
    if (identifier.isEmpty())
        return -1;
    const int exact = int(identifiers.indexOf(identifier));
    if (exact >= 0)
        return exact;
    for (int i = 1; i < identifiers.size(); ++i) {
        if (languageOf(identifiers[i]) == languageOf(identifier))
            return i;
    }
    return -1;
}
