#pragma once

#include "platform/foundation/PropertyList.h"

#include <QDir>
#include <QLocale>
#include <QString>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

// Writes "<folder>/<language>.lproj/<table>.strings" with the pairs given; false when it cannot.
inline bool writeStringsTable(const QString &folder, const QString &language, const QString &table,
                              std::initializer_list<std::pair<const char *, const char *>> entries)
{
    QVariantMap strings;
    for (const auto &[key, value] : entries)
        strings.insert(QString::fromUtf8(key), QString::fromUtf8(value));
    const QString lproj = folder + QLatin1Char('/') + language + QStringLiteral(".lproj");
    return QDir().mkpath(lproj) && platform::PropertyList::write(strings, lproj + QLatin1Char('/') + table + QStringLiteral(".strings"));
}

// Makes the user's language the given one for as long as it lives.
class LanguageScope
{
public:
    explicit LanguageScope(const QString &locale) { QLocale::setDefault(QLocale(locale)); }
    ~LanguageScope() { QLocale::setDefault(m_previous); }
    LanguageScope(const LanguageScope &) = delete;
    LanguageScope &operator=(const LanguageScope &) = delete;

private:
    QLocale m_previous;
};
