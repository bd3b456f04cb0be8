#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The kit's numbers for the character sets it reads (an encoding's codePage), and reading bytes
// in one of them: through iconv, through a table of our own for the sets iconv lacks, or through
// the nearest set iconv has, with a warning once per set.
class QSStringDecoder
{
public:
    enum Encoding : quint64 {
        Automatic = 0, // no set: the caller guesses
        UTF7,
        UTF8,
        UTF16, // byte-order mark, big endian without one
        UTF16BigEndian,
        UTF16LittleEndian,
        UTF32, // byte-order mark, big endian without one
        UTF32BigEndian,
        UTF32LittleEndian,
        ISOLatin1,
        ISOLatin2,
        ISOLatin3,
        ISOLatin4,
        ISOLatin5,
        WindowsLatin1,
        WindowsLatin2,
        WindowsLatin5,
        MacRoman,
        NextStep,
        NonLossyASCII,
        ChineseGB18030,
        ChineseSimplifiedDOS,
        ChineseSimplifiedMac,
        ChineseTraditionalDOS,
        ChineseTraditionalMac,
        CyrillicDOS,
        CyrillicISO,
        CyrillicMac,
        CyrillicWindows,
        GreekDOS,
        GreekISO,
        GreekMac,
        GreekWindows,
        HebrewDOS,
        HebrewISO,
        HebrewMac,
        HebrewWindows,
        JapaneseEUC,
        JapaneseISO2022,
        JapaneseDOS,
        JapaneseMac,
        JapaneseNextStep,
        KoreanMac,
        KoreanJohab,
        // Read, but not in the encoding menu.
        KoreanEUC,
        CyrillicKOI8R,
    };

    // Null with *error when the bytes are no text in that set, or the number names no set.
    static std::optional<QString> decode(const QByteArray &bytes, quint64 encoding, QString *error = nullptr);
    // The file's bytes read as above; the error names the file. Only a regular file of at most
    // platform::RegularFile::MaxWholeBytes is read.
    static std::optional<QString> contentsOfFile(const QString &path, quint64 encoding, QString *error = nullptr);

    QSStringDecoder() = delete;
};
