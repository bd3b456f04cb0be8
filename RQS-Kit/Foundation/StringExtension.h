#pragma once

#include "RQS-Kit/Foundation/QSResourceInfo.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/AttributedString.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>

#include <optional>

// Resource identifiers, the kit's localisation lookup, bold markup and digests of strings.
// An empty string argument (prefix, text to look for, table) counts as not given.
namespace rqs {

// Parses a resource identifier or a file name made from one ("RQS-T#007#Linen@2x.png").
QSResourceInfo resourceInfo(const QString &string);
// Type and index only ("RQS-T#007").
QString resourceID(const QString &string);
QString fileprefix(const QString &string);
// Type, index and name ("RQS-T#007#Linen").
QString resourceIDName(const QString &string);
// The folder registered for the string taken as a resource type; null when none.
QString resourcePath(const QString &string);

// The type (none when empty) and "#" with the index in at least three digits, unless it is NotFound.
QString resourceIDForType(const QString &type, qint64 index);
QString resourceIDNameFor(const QSResourceInfo &info);

bool hasAnySubstringOf(const QString &string, const QStringList &substrings);
// "Help.de.rtf" gives "Help": the extension, then a locale extension left behind.
QString stringByDeletingLocaleAndPathExtension(const QString &string);

// The system font's family at 10 points.
const QTextCharFormat &defaultAttributes();
// The string with the attributes (defaultAttributes when none), each "<b>…</b>" pair removed and
// the text between set in the bold form of the font. A "</b>" only closes a "<b>" before it.
platform::AttributedString atrributedStringWithAtributes(const QString &string,
                                                         const std::optional<QTextCharFormat> &attributes = std::nullopt);

// Translations; the table "Localizable" when empty, the main bundle when bundle is null.
QString localized(const QString &string);
QString localizedForTable(const QString &string, const QString &table);
// Never fails: tries the bundle, the main bundle and their English folders, else answers the string.
QString localizedForBundle(const QString &string, const platform::BundlePtr &bundle, const QString &table);
// One lookup; a null string when the key is missing or translated as "#".
QString localizedOrNilForBundle(const QString &string, const platform::BundlePtr &bundle, const QString &table);

// Digests of the UTF-8 bytes as 40 lower-case hex digits.
QString sha1StringNoKey(const QString &string);
QString sha1StringWithKey(const QString &string, const QByteArray &key);
QString sha1StringCompatible(const QString &string);

// Pairs of hex digits as bytes; empty unless the whole string is a non-empty, even run of hex digits.
QByteArray hexstringData(const QString &string);

} // namespace rqs
