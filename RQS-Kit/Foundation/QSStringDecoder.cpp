#include "RQS-Kit/Foundation/QSStringDecoder.h"

#include "RQS-Kit/Foundation/QSOwnCharacterSets.h"
#include "platform/foundation/IconvDecoder.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"

#include <QSet>

namespace {

using Set = QSOwnCharacterSets::SingleByteSet;

// How one encoding is read: by iconv's name, by a table of our own, or (nearest) by a related set
// that iconv has, which misreads the few characters the two do not share.
struct Reading
{
    quint64 encoding;
    const char *iconvName;
    std::optional<Set> ownSet;
    const char *standsFor = nullptr; // set only for a nearest set
    const char *ownBytes = ""; // single bytes the set stands for has and the nearest set lacks
};

// The single bytes the Mac East Asian sets give no-break space, copyright sign, trade mark sign,
// ellipsis and (Japanese, Traditional Chinese) backslash, which their nearest sets leave undefined.
const char MacOnlyBytes[] = "\x80\xA0\xFD\xFE\xFF";

const Reading Readings[] = {
    {QSStringDecoder::UTF7, "UTF-7", {}},
    {QSStringDecoder::UTF8, "UTF-8", {}},
    {QSStringDecoder::UTF16, "UTF-16", {}},
    {QSStringDecoder::UTF16BigEndian, "UTF-16BE", {}},
    {QSStringDecoder::UTF16LittleEndian, "UTF-16LE", {}},
    {QSStringDecoder::UTF32, "UTF-32", {}},
    {QSStringDecoder::UTF32BigEndian, "UTF-32BE", {}},
    {QSStringDecoder::UTF32LittleEndian, "UTF-32LE", {}},
    {QSStringDecoder::ISOLatin1, "ISO-8859-1", {}},
    {QSStringDecoder::ISOLatin2, "ISO-8859-2", {}},
    {QSStringDecoder::ISOLatin3, "ISO-8859-3", {}},
    {QSStringDecoder::ISOLatin4, "ISO-8859-4", {}},
    {QSStringDecoder::ISOLatin5, "ISO-8859-9", {}},
    {QSStringDecoder::WindowsLatin1, "CP1252", {}},
    {QSStringDecoder::WindowsLatin2, "CP1250", {}},
    {QSStringDecoder::WindowsLatin5, "CP1254", {}},
    {QSStringDecoder::MacRoman, "MACINTOSH", {}},
    {QSStringDecoder::NextStep, nullptr, Set::NextStep},
    {QSStringDecoder::ChineseGB18030, "GB18030", {}},
    {QSStringDecoder::ChineseSimplifiedDOS, "CP936", {}},
    {QSStringDecoder::ChineseSimplifiedMac, "EUC-CN", {}, "Mac Chinese Simplified", MacOnlyBytes},
    {QSStringDecoder::ChineseTraditionalDOS, "CP950", {}},
    {QSStringDecoder::ChineseTraditionalMac, "BIG5", {}, "Mac Chinese Traditional", MacOnlyBytes},
    {QSStringDecoder::CyrillicDOS, "CP866", {}},
    {QSStringDecoder::CyrillicISO, "ISO-8859-5", {}},
    {QSStringDecoder::CyrillicMac, "MAC-CYRILLIC", {}},
    {QSStringDecoder::CyrillicWindows, "CP1251", {}},
    {QSStringDecoder::GreekDOS, "CP737", {}},
    {QSStringDecoder::GreekISO, "ISO-8859-7", {}},
    {QSStringDecoder::GreekMac, nullptr, Set::MacGreek},
    {QSStringDecoder::GreekWindows, "CP1253", {}},
    {QSStringDecoder::HebrewDOS, "CP862", {}},
    {QSStringDecoder::HebrewISO, "ISO-8859-8", {}},
    {QSStringDecoder::HebrewMac, nullptr, Set::MacHebrew},
    {QSStringDecoder::HebrewWindows, "CP1255", {}},
    {QSStringDecoder::JapaneseEUC, "EUC-JP", {}},
    {QSStringDecoder::JapaneseISO2022, "ISO-2022-JP", {}},
    {QSStringDecoder::JapaneseDOS, "CP932", {}},
    {QSStringDecoder::JapaneseMac, "SHIFT_JIS", {}, "Mac Japanese", MacOnlyBytes},
    {QSStringDecoder::JapaneseNextStep, "EUC-JP", {}, "NeXTSTEP Japanese"},
    {QSStringDecoder::KoreanMac, "EUC-KR", {}, "Mac Korean"},
    {QSStringDecoder::KoreanJohab, "JOHAB", {}},
    {QSStringDecoder::KoreanEUC, "EUC-KR", {}},
    {QSStringDecoder::CyrillicKOI8R, "KOI8-R", {}},
};

const Reading *readingFor(quint64 encoding)
{
    for (const Reading &reading : Readings) {
        if (reading.encoding == encoding)
            return &reading;
    }
    return nullptr;
}

// Once per set and process: every file read in it would repeat the same line.
void warnOfNearestSet(const Reading &reading)
{
    static QSet<quint64> warned;
    if (warned.contains(reading.encoding))
        return;
    warned.insert(reading.encoding);
    platform::logWarning(QStringLiteral("Reading %1 as %2, the nearest set; a few of its characters may differ")
                             .arg(QLatin1String(reading.standsFor), QLatin1String(reading.iconvName)));
}

// A UTF-16 or UTF-32 text read in the order its byte-order mark tells, big endian without one
// (iconv would take the machine's order).
std::optional<QString> decodeByMark(const QByteArray &bytes, QByteArrayView bigMark, const char *big, QByteArrayView littleMark,
                                    const char *little, QString *error)
{
    if (bytes.startsWith(littleMark))
        return platform::IconvDecoder::decode(bytes.sliced(littleMark.size()), little, error);
    if (bytes.startsWith(bigMark))
        return platform::IconvDecoder::decode(bytes.sliced(bigMark.size()), big, error);
    return platform::IconvDecoder::decode(bytes, big, error);
}

} // namespace

std::optional<QString> QSStringDecoder::decode(const QByteArray &bytes, quint64 encoding, QString *error)
{
    if (encoding == NonLossyASCII)
        return QSOwnCharacterSets::decodeNonLossyASCII(bytes, error);
    const Reading *reading = readingFor(encoding);
    if (!reading) {
        if (error)
            *error = QStringLiteral("No character set has the number %1").arg(encoding);
        return std::nullopt;
    }
    if (reading->ownSet)
        return QSOwnCharacterSets::decode(bytes, *reading->ownSet, error);
    if (encoding == UTF16)
        return decodeByMark(bytes, "\xFE\xFF", "UTF-16BE", "\xFF\xFE", "UTF-16LE", error);
    if (encoding == UTF32)
        return decodeByMark(bytes, QByteArrayView("\0\0\xFE\xFF", 4), "UTF-32BE", QByteArrayView("\xFF\xFE\0\0", 4), "UTF-32LE", error);
    if (!reading->standsFor)
        return platform::IconvDecoder::decode(bytes, reading->iconvName, error);
    warnOfNearestSet(*reading);
    qsizetype replaced = 0;
    std::optional<QString> text = platform::IconvDecoder::decodeReplacing(bytes, reading->iconvName, reading->ownBytes, &replaced, error);
    // No Mac set has control characters above 0x7F: one here is a byte the nearest set misreads.
    if (text && *reading->ownBytes) {
        for (QChar &character : *text) {
            if (character.category() == QChar::Other_Control && character.unicode() >= 0x80) {
                character = QChar::ReplacementCharacter;
                ++replaced;
            }
        }
    }
    if (replaced > 0)
        platform::logWarning(QStringLiteral("Replaced %1 characters of %2 that %3 lacks with U+FFFD")
                                 .arg(replaced)
                                 .arg(QLatin1String(reading->standsFor), QLatin1String(reading->iconvName)));
    return text;
}

std::optional<QString> QSStringDecoder::contentsOfFile(const QString &path, quint64 encoding, QString *error)
{
    QString reason;
    const std::optional<QByteArray> bytes = platform::RegularFile::read(path, platform::RegularFile::MaxWholeBytes, &reason);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("Could not open %1: %2").arg(path, reason);
        return std::nullopt;
    }
    std::optional<QString> text = decode(*bytes, encoding, &reason);
    if (!text && error)
        *error = QStringLiteral("%1: %2").arg(path, reason);
    return text;
}
