#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Character sets that iconv lacks, read from tables of our own: three single-byte sets whose lower
// half is ASCII, and ASCII whose escapes keep every other character.
class QSOwnCharacterSets
{
public:
    enum class SingleByteSet { NextStep, MacGreek, MacHebrew };

    // Null with *error at a byte the set leaves undefined.
    static std::optional<QString> decode(const QByteArray &bytes, SingleByteSet set, QString *error = nullptr);
    // "\uXXXX" is a UTF-16 code unit, "\" and three octal digits a Latin-1 character, "\\" a
    // backslash; any other backslash stands for itself. Null with *error at a byte above 0x7F.
    static std::optional<QString> decodeNonLossyASCII(const QByteArray &bytes, QString *error = nullptr);

    QSOwnCharacterSets() = delete;
};
