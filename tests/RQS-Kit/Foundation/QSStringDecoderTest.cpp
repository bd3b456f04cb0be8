#include "RQS-Kit/Foundation/QSStringDecoder.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

// The bytes the real iconv program writes for text in that set.
QByteArray iconvBytes(const QString &text, const char *charset)
{
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"), QLatin1String(charset)});
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    EXPECT_TRUE(iconv.waitForFinished()) << charset;
    EXPECT_EQ(iconv.exitCode(), 0) << charset << iconv.readAllStandardError().toStdString();
    return iconv.readAllStandardOutput();
}

struct Sample
{
    quint64 encoding;
    const char *charset;
    const char *text; // UTF-8
};

const Sample Samples[] = {
    {QSStringDecoder::UTF7, "UTF-7", "Grüße, ☺ +1"},
    {QSStringDecoder::UTF16, "UTF-16", "Grüße 😀 Ελλάδα"},
    {QSStringDecoder::UTF32BigEndian, "UTF-32BE", "𝄞 clef"},
    {QSStringDecoder::ISOLatin2, "ISO-8859-2", "Łódź, Žluťoučký kůň"},
    {QSStringDecoder::WindowsLatin1, "CP1252", "“Crème brûlée” – 5 €"},
    {QSStringDecoder::MacRoman, "MACINTOSH", "Ça coûte ∞ ≠ π"},
    {QSStringDecoder::ChineseGB18030, "GB18030", "中文 😀 𠀀"},
    {QSStringDecoder::ChineseTraditionalDOS, "CP950", "繁體中文"},
    {QSStringDecoder::CyrillicDOS, "CP866", "Привет, мир"},
    {QSStringDecoder::CyrillicMac, "MAC-CYRILLIC", "Доброе утро"},
    {QSStringDecoder::GreekDOS, "CP737", "Καλημέρα"},
    {QSStringDecoder::HebrewWindows, "CP1255", "שלום עולם"},
    {QSStringDecoder::JapaneseEUC, "EUC-JP", "日本語のテキスト"},
    {QSStringDecoder::JapaneseISO2022, "ISO-2022-JP", "日本語 and ASCII"},
    {QSStringDecoder::JapaneseDOS, "CP932", "ｶﾀｶﾅ と ①"},
    {QSStringDecoder::KoreanJohab, "JOHAB", "한국어 텍스트"},
    {QSStringDecoder::JapaneseMac, "SHIFT_JIS", "日本語"},
    {QSStringDecoder::KoreanMac, "EUC-KR", "한국어"},
};

} // namespace

TEST(QSStringDecoder, ReadsWhatIconvWritesInEverySampledSet)
{
    for (const Sample &sample : Samples) {
        const QString text = QString::fromUtf8(sample.text);
        QString error;
        const std::optional<QString> decoded = QSStringDecoder::decode(iconvBytes(text, sample.charset), sample.encoding, &error);
        ASSERT_TRUE(decoded) << sample.charset << " " << error.toStdString();
        EXPECT_EQ(*decoded, text) << sample.charset;
    }
}

TEST(QSStringDecoder, RefusesBrokenAndCutOffBytesWithAReason)
{
    const std::pair<QByteArray, quint64> broken[] = {
        {QByteArray("ok \xC3\x28"), QSStringDecoder::UTF8},
        {iconvBytes(QStringLiteral("日本"), "EUC-JP").chopped(1), QSStringDecoder::JapaneseEUC},
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
    const QByteArray bytes = iconvBytes(QStringLiteral("简体中文"), "EUC-CN");
    EXPECT_EQ(QSStringDecoder::decode(bytes, QSStringDecoder::ChineseSimplifiedMac), QStringLiteral("简体中文"));
    QSStringDecoder::decode(bytes, QSStringDecoder::ChineseSimplifiedMac);
    ASSERT_EQ(log.lines().filter(QStringLiteral("Mac Chinese Simplified")).size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Warning: ")));
}
