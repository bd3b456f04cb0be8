#pragma once

#include <QString>
#include <QVariant>

namespace platform {

// Keys and values as the user-defaults file holds them. QSettings reads "/" and "\" in a key as
// group separators and gives numbers and booleans back from an INI file as plain text, so keys are
// escaped and every value that is not a string is written as typed text ("@Bool(true)",
// "@Integer(3)", "@Double(0.5)", "@Data(base64)", "@Variant(base64)"; QSettings doubles the "@" in
// the file). A string that itself begins with "@" is written with one more "@".
class SettingsCodec
{
public:
    static QString escapedKey(const QString &key);
    static QString unescapedKey(const QString &stored);

    // An invalid variant when the value cannot be stored (a type without a stream operator).
    static QVariant encoded(const QVariant &value);
    // Text that is not typed text stays a string; the typed getters of UserDefaults read numbers
    // and booleans from it.
    static QVariant decoded(const QVariant &stored);
};

} // namespace platform
