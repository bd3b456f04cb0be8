#include "RQS-Kit/Foundation/DataExtension.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <zlib.h>

using namespace rqs;

namespace {

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240611);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QByteArray repetitiveBytes() { return QByteArray("booklet ").repeated(20000); }

// A finished stream with its checksum trailer, as any zlib writer makes it.
QByteArray finishedStream(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray stream(qsizetype(size), Qt::Uninitialized);
    EXPECT_EQ(compress2(reinterpret_cast<Bytef *>(stream.data()), &size,
                        reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), Z_BEST_COMPRESSION),
              Z_OK);
    stream.resize(qsizetype(size));
    return stream;
}

QByteArray fromHexText(const char *hex) { return QByteArray::fromHex(hex); }

} // namespace

TEST(DataExtension, EveryLevelGivesBackTheInputExactlyAndAnyWritersFinishedStreamExpands)
{
    const QByteArray random = randomBytes(100000), repetitive = repetitiveBytes();
    for (const QByteArray &data : {QByteArray(1, 'x'), random, repetitive}) {
        for (int level = -1; level <= 9; ++level) {
            const QByteArray compressed = compressWithLevel(data, level);
            ASSERT_FALSE(compressed.isNull()) << data.size() << " bytes, level " << level;
            EXPECT_EQ(uncompress(compressed), data) << data.size() << " bytes, level " << level;
        }
        EXPECT_EQ(uncompress(finishedStream(data)), data) << data.size() << " bytes";
    }
    EXPECT_GT(compressWithLevel(random, 9).size(), random.size());
    EXPECT_GT(compressWithLevel(random, 0).size(), random.size());
    EXPECT_LT(compressWithLevel(repetitive, 9).size(), repetitive.size() / 100);
}

TEST(DataExtension, StreamEndsWithASyncFlushAndNoTrailer)
{
    const QByteArray compressed = compressWithLevel(QByteArray("Foldwise"), 6);
    ASSERT_GE(compressed.size(), 6);
    // Header: deflate with a 32 KiB window (0x78), then the empty stored block of the sync flush.
    EXPECT_EQ(quint8(compressed.at(0)), 0x78);
    EXPECT_EQ(compressed.right(4), QByteArray::fromHex("0000ffff"));

    // A standard reader agrees that the stream is unfinished: all content, but no end.
    z_stream stream{};
    ASSERT_EQ(inflateInit(&stream), Z_OK);
    QByteArray output(64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data());
    stream.avail_out = uInt(output.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_BUF_ERROR);
    EXPECT_EQ(output.left(qsizetype(stream.total_out)), QByteArray("Foldwise"));
    inflateEnd(&stream);
}

TEST(DataExtension, EmptyInputAnswersNullQuietlyAndALevelOutsideZlibsRangeFailsWithALogLine)
{
    platform::LogCapture log;
    EXPECT_TRUE(compressWithLevel(QByteArray(), 6).isNull());
    EXPECT_TRUE(uncompress(QByteArray()).isNull());
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(compressWithLevel("data", 10).isNull());
    EXPECT_TRUE(compressWithLevel("data", -2).isNull());
    EXPECT_EQ(log.lines(), (QStringList{"Error: Zlib deflate error", "Error: Zlib deflate error"}));
}

TEST(DataExtension, CorruptStreamFailsInsteadOfAnsweringPartOfIt)
{
    const QByteArray good = compressWithLevel(repetitiveBytes(), 6);
    const QByteArray finished = finishedStream(QByteArray("page ").repeated(100));
    QByteArray wrongChecksum = finished;
    wrongChecksum[wrongChecksum.size() - 1] = char(wrongChecksum.at(wrongChecksum.size() - 1) ^ 0x01);
    const struct { const char *label; QByteArray stream; } cases[] = {
        {"not a zlib header", QByteArray("plain text, not compressed")},
        // A valid header followed by a block of the reserved type 3.
        {"reserved block type", fromHexText("789cffffffff")},
        // Everything before the bad block decodes, yet the whole answer is a failure.
        {"good data then a bad block", good + fromHexText("ffffffff")},
        {"wrong checksum", wrongChecksum},
    };
    for (const auto &c : cases) {
        platform::LogCapture log;
        EXPECT_TRUE(uncompress(c.stream).isNull()) << c.label;
        ASSERT_EQ(log.lines().size(), 1) << c.label;
        EXPECT_TRUE(log.lines().first().startsWith("Error: Zlib inflate error ")) << c.label;
    }
}

TEST(DataExtension, DigestsMatchPublishedVectors)
{
    // The hashing is Qt's; these vectors (FIPS 180, RFC 2202) check the wiring: data and key not swapped, hex as written.
    const struct { QByteArray data; const char *digest; } plain[] = {
        {QByteArray("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {QByteArray(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    };
    for (const auto &v : plain) {
        EXPECT_EQ(sha1StringCompatible(v.data), QString::fromLatin1(v.digest)) << v.data.constData();
        EXPECT_EQ(sha1DataCompatible(v.data), fromHexText(v.digest));
    }
    const struct { QByteArray key; QByteArray data; const char *mac; } keyed[] = {
        {QByteArray(20, '\x0b'), QByteArray("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00"},
        {QByteArray("Jefe"), QByteArray("what do ya want for nothing?"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
    };
    for (const auto &v : keyed) {
        EXPECT_EQ(sha1StringWithKey(v.data, v.key), QString::fromLatin1(v.mac)) << v.data.constData();
        EXPECT_EQ(sha1DataWithKey(v.data, v.key), fromHexText(v.mac));
    }
}

TEST(DataExtension, NoKeyMeansTheEmptyKeyNotThePlainDigestAndHexIsLowerCaseHighNibbleFirst)
{
    EXPECT_EQ(sha1StringNoKey(QByteArray()), "fbdb1d1b18aa6c08324b7d64b71fb76370690e1d");
    EXPECT_EQ(sha1DataNoKey("abc"), sha1DataWithKey("abc", QByteArray()));
    EXPECT_NE(sha1StringNoKey("abc"), sha1StringCompatible("abc"));
    EXPECT_EQ(hexString(QByteArray::fromRawData("\x00\xAB", 2)), "00ab");
    EXPECT_EQ(hexString(QByteArray::fromRawData("\x0f\xf0\x7e", 3)), "0ff07e");
    EXPECT_EQ(hexString(QByteArray()), QString());
}
