#include "RQS-Kit/Foundation/QSStringDecoder.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>


namespace {

struct Sample
{
    quint64 encoding;
    QByteArray bytes;
    const char *text; // UTF-8
};

// Bytes worked out from the sets' published tables, not written by the code under test.
const Sample Samples[] = {
    {QSStringDecoder::UTF7, QByteArray("Gr+APwA3w-e, +Jjo +-1"), "Grüße, ☺ +1"},
    {QSStringDecoder::UTF8, QByteArray("Gr\xC3\xBC\xC3\x9F\xC3\xA9 \xF0\x9F\x98\x80"), "Grüßé 😀"},
    {QSStringDecoder::UTF16, QByteArray("\x00\x41\x00\xE9", 4), "Aé"},
    {QSStringDecoder::UTF16, QByteArray("\xFE\xFF\x00\x41\x00\xE9", 6), "Aé"},
    {QSStringDecoder::UTF16, QByteArray("\xFF\xFE\x41\x00\xE9\x00", 6), "Aé"},
    {QSStringDecoder::UTF16BigEndian, QByteArray("\x00\x47\x00\x72\x00\xFC\x00\xDF\x00\x65\x00\x20\xD8\x3D\xDE\x00", 16), "Grüße 😀"},
    {QSStringDecoder::UTF16LittleEndian, QByteArray("\x95\x03\xBB\x03\xBB\x03\xAC\x03\xB4\x03\xB1\x03", 12), "Ελλάδα"},
    {QSStringDecoder::UTF32, QByteArray("\x00\x00\x00\x41\x00\x01\xD1\x1E", 8), "A𝄞"},
    {QSStringDecoder::UTF32, QByteArray("\xFF\xFE\x00\x00\x41\x00\x00\x00", 8), "A"},
    {QSStringDecoder::UTF32, QByteArray("\x00\x00\xFE\xFF\x00\x00\x00\x41", 8), "A"},
    {QSStringDecoder::UTF32BigEndian, QByteArray("\x00\x01\xD1\x1E\x00\x00\x00\x20\x00\x00\x00\x63", 12), "𝄞 c"},
    {QSStringDecoder::UTF32LittleEndian, QByteArray("\xE9\x00\x00\x00\x1E\xD1\x01\x00", 8), "é𝄞"},
    {QSStringDecoder::ISOLatin1, QByteArray("caf\xE9 \xA9"), "café ©"},
    {QSStringDecoder::ISOLatin2, QByteArray("\xA3\xF3\x64\xBC, \xAE\x6C\x75\xBB\x6F\x75\xE8\x6B\xFD \x6B\xF9\xF2"), "Łódź, Žluťoučký kůň"},
    {QSStringDecoder::WindowsLatin1, QByteArray("\x93\x43r\xE8me br\xFBl\xE9\x65\x94 \x96 5 \x80"), "“Crème brûlée” – 5 €"},
    {QSStringDecoder::MacRoman, QByteArray("\x82\x61 co\x9Ete \xB0 \xAD \xB9"), "Ça coûte ∞ ≠ π"},
    {QSStringDecoder::ChineseGB18030, QByteArray("\xD6\xD0\xCE\xC4 \x94\x39\xFC\x36 \x95\x32\x82\x36"), "中文 😀 𠀀"},
    {QSStringDecoder::ChineseTraditionalDOS, QByteArray("\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5"), "繁體中文"},
    {QSStringDecoder::CyrillicDOS, QByteArray("\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0"), "Привет, мир"},
    {QSStringDecoder::CyrillicMac, QByteArray("\x84\xEE\xE1\xF0\xEE\xE5 \xF3\xF2\xF0\xEE"), "Доброе утро"},
    {QSStringDecoder::CyrillicKOI8R, QByteArray("\xE4\xCF\xC2\xD2\xCF\xC5 \xD5\xD4\xD2\xCF"), "Доброе утро"},
    {QSStringDecoder::CyrillicWindows, QByteArray("\xC5\xF9\xB8 \xF0\xE0\xE7"), "Ещё раз"},
    {QSStringDecoder::GreekDOS, QByteArray("\x89\x98\xA2\x9E\xA3\xE2\xA8\x98"), "Καλημέρα"},
    {QSStringDecoder::HebrewWindows, QByteArray("\xF9\xEC\xE5\xED \xF2\xE5\xEC\xED"), "שלום עולם"},
    {QSStringDecoder::JapaneseEUC, QByteArray("\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8"), "日本語のテキスト"},
    {QSStringDecoder::JapaneseISO2022, QByteArray("\x1B$BF|K\\8l\x1B(B and ASCII"), "日本語 and ASCII"},
    {QSStringDecoder::JapaneseDOS, QByteArray("\xB6\xC0\xB6\xC5 \x82\xC6 \x87\x40"), "ｶﾀｶﾅ と ①"},
    {QSStringDecoder::KoreanJohab, QByteArray("\xD0\x65\x8A\x82\xB4\xE1 \xC9\x42\xAF\x61\xCB\x61"), "한국어 텍스트"},
    {QSStringDecoder::KoreanEUC, QByteArray("\xC7\xD1\xB1\xB9\xBE\xEE"), "한국어"},
    {QSStringDecoder::JapaneseMac, QByteArray("\x93\xFA\x96\x7B\x8C\xEA"), "日本語"},
};

} // namespace

TEST(QSStringDecoder, ReadsFixedBytesOfEverySampledSet)
{
    for (const Sample &sample : Samples) {
        QString error;
        const std::optional<QString> decoded = QSStringDecoder::decode(sample.bytes, sample.encoding, &error);
        ASSERT_TRUE(decoded) << sample.text << " " << error.toStdString();
        EXPECT_EQ(*decoded, QString::fromUtf8(sample.text)) << sample.encoding;
    }
}

TEST(QSStringDecoder, MacEastAsianBytesTheNearestSetLacksAreReplacedAndCounted)
{
    const struct
    {
        quint64 encoding;
        QByteArray bytes;
        const char *text;
        const char *logged;
    } cases[] = {
        {QSStringDecoder::JapaneseMac, QByteArray("\x93\xFA\xFD\x96\x7B"), "日\xEF\xBF\xBD本", "Replaced 1 characters of Mac Japanese"},
        {QSStringDecoder::ChineseSimplifiedMac, QByteArray("\xA0\xD6\xD0\xCE\xC4\xFE"), "\xEF\xBF\xBD中文\xEF\xBF\xBD",
         "Replaced 2 characters of Mac Chinese Simplified"},
        {QSStringDecoder::ChineseTraditionalMac, QByteArray("\xA4\xA4\x80\xA4\xE5"), "中\xEF\xBF\xBD文", "Replaced 1 characters of Mac Chinese Traditional"},
    };
    for (const auto &sample : cases) {
        platform::LogCapture log;
        EXPECT_EQ(QSStringDecoder::decode(sample.bytes, sample.encoding), QString::fromUtf8(sample.text)) << sample.logged;
        EXPECT_EQ(log.lines().filter(QLatin1String(sample.logged)).size(), 1) << sample.logged;
    }
    EXPECT_FALSE(QSStringDecoder::decode("\x93\xFA\xFD\x96", QSStringDecoder::JapaneseMac)) << "a cut-off character is still refused";
    EXPECT_FALSE(QSStringDecoder::decode("\xFD", QSStringDecoder::JapaneseDOS)) << "only the Mac sets replace";
}

TEST(QSStringDecoder, RefusesBrokenAndCutOffBytesWithAReason)
{
    const std::pair<QByteArray, quint64> broken[] = {
        {QByteArray("ok \xC3\x28"), QSStringDecoder::UTF8},
        {QByteArray("\xC6\xFC\xCB"), QSStringDecoder::JapaneseEUC},
        {QByteArray("\xFE"), QSStringDecoder::NextStep},
        {QByteArray("caf\xE9"), QSStringDecoder::NonLossyASCII},
        {QByteArray("text"), 9999},
    };
    for (const auto &[bytes, encoding] : broken) {
        QString error;
        EXPECT_FALSE(QSStringDecoder::decode(bytes, encoding, &error)) << encoding;
        EXPECT_FALSE(error.isEmpty()) << encoding;
    }
}

TEST(QSStringDecoder, OwnTablesReadTheSetsIconvLacks)
{
    EXPECT_EQ(QSStringDecoder::decode("\xA4 \xE8\xF8 \xAE", QSStringDecoder::NextStep), QString::fromUtf8("⁄ Łł ﬁ"));
    EXPECT_EQ(QSStringDecoder::decode("\xA1\xE1 \x9C", QSStringDecoder::GreekMac), QString::fromUtf8("Γα €"));
    EXPECT_EQ(QSStringDecoder::decode("\xF9\xEC\xE5\xED \xA6", QSStringDecoder::HebrewMac), QString::fromUtf8("שלום ₪"));
    EXPECT_EQ(QSStringDecoder::decode("caf\\351 \\u263a \\\\u \\x", QSStringDecoder::NonLossyASCII),
              QString::fromUtf8("café ☺ \\u \\x"));
}

TEST(QSStringDecoder, NearestSetIsNamedOnceAWarning)
{
    platform::LogCapture log;
    const QByteArray bytes("\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    EXPECT_EQ(QSStringDecoder::decode(bytes, QSStringDecoder::ChineseSimplifiedMac), QStringLiteral("简体中文"));
    const QStringList first = log.lines().filter(QStringLiteral("Mac Chinese Simplified"));
    ASSERT_LE(first.size(), 1) << "another case of this process may have been the first";
    if (!first.isEmpty()) {
        EXPECT_TRUE(first.first().startsWith(QStringLiteral("Warning: ")));
    }
    QSStringDecoder::decode(bytes, QSStringDecoder::ChineseSimplifiedMac);
    EXPECT_EQ(log.lines().filter(QStringLiteral("Mac Chinese Simplified")), first);
}
