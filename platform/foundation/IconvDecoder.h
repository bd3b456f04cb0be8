#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

// Bytes in a character set that the C library's iconv knows, read as text. Strict: a sequence
// the set does not define, or one cut off at the end, fails the whole text, so that a guess at
// the wrong set is refused instead of read as something else.
class IconvDecoder
{
public:
    // charset is an iconv name ("ISO-8859-2", "CP932"); a byte-order mark that the set reads
    // ("UTF-16") is not part of the text. Null with *error on failure.
    static std::optional<QString> decode(const QByteArray &bytes, const char *charset, QString *error = nullptr);
    // As decode, but a byte of replaceable where the set has no character becomes U+FFFD instead
    // of failing the text; *replaced counts them.
    static std::optional<QString> decodeReplacing(const QByteArray &bytes, const char *charset, QByteArrayView replaceable,
                                                  qsizetype *replaced, QString *error = nullptr);

    IconvDecoder() = delete;
};

} // namespace platform
