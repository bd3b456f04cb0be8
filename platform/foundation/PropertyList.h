#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace platform {

// Property lists (XML or binary) as QVariant trees: dictionaries become QVariantMap, arrays
// QVariantList, integers qlonglong, reals double, booleans bool, data QByteArray, dates QDateTime,
// a keyed archive's reference a dictionary of "CF$UID" and its number, as the XML form writes it.
class PropertyList
{
public:
    // Arrays and dictionaries nested deeper are refused before any of it is read: no real file
    // comes near it, and the readers go down one level at a time.
    static constexpr int MaximumDepth = 512;
    // The property-list epoch (2001-01-01 UTC) in seconds since the Unix epoch.
    static constexpr qint64 EpochSeconds = 978307200;
    // The years of the dates a property list keeps (UTC), those the XML form writes in four digits.
    static constexpr int EarliestYear = 1000;
    static constexpr int LatestYear = 9999;
    static bool keepsDate(const QDateTime &date);
    // Whether XML holds the character, written or as a reference: tab, line feed, carriage return
    // and every one from U+0020 to U+10FFFF but the surrogates, U+FFFE and U+FFFF.
    static constexpr bool isXmlCharacter(char32_t code)
    {
        return code == u'\t' || code == u'\n' || code == u'\r'
            || (code >= 0x20 && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff) && code != 0xfffe && code != 0xffff);
    }

    // An invalid QVariant when the bytes are no property list, are damaged or nest deeper than
    // MaximumDepth; the reason goes to error.
    static QVariant fromData(const QByteArray &data, QString *error = nullptr);
    static QVariant read(const QString &path, QString *error = nullptr);

    // XML form; empty, with the reason, when the value holds a type a property list cannot store
    // or a text with a character XML cannot hold (a control character but tab, line feed and
    // carriage return).
    static QByteArray toXml(const QVariant &value, QString *error = nullptr);
    // Whether the XML form can hold the text; the reason goes to reason when it cannot.
    static bool canHold(const QString &text, QString *reason = nullptr);
    // The value with U+FFFD in place of every character of its texts and keys that the XML form
    // cannot hold, so that what is left of it can be written.
    static QVariant withHoldableTexts(const QVariant &value);
    // Written to a temporary file and renamed into place, so a failed write leaves the old file.
    static bool write(const QVariant &value, const QString &path, QString *error = nullptr);
};

} // namespace platform
