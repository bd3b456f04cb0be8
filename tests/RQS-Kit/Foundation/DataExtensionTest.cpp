#include "RQS-Kit/Foundation/DataExtension.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace rqs;

namespace {

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

} // namespace

TEST(DataExtension, TheInputComesBackExactlyFromAStreamEndedByASyncFlushAndAnyWritersFinishedStreamExpands)
{
    const QByteArray repetitive = repetitiveBytes();
    EXPECT_EQ(uncompress(compressWithLevel(repetitive, 0)), repetitive);
    EXPECT_EQ(uncompress(compressWithLevel(repetitive, -1)), repetitive);
    EXPECT_EQ(uncompress(finishedStream(repetitive)), repetitive);

    EXPECT_EQ(compressWithLevel("Foldwise", 6).right(4), QByteArray::fromHex("0000ffff")) << "the sync flush's empty block";
}

TEST(DataExtension, EmptyInputAnswersNullQuietlyAndFailuresAreLoggedInsteadOfAnsweringAStreamsBeginning)
{
    platform::LogCapture log;
    EXPECT_TRUE(compressWithLevel(QByteArray(), 6).isNull());
    EXPECT_TRUE(uncompress(QByteArray()).isNull());
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(compressWithLevel("data", 10).isNull());
    EXPECT_EQ(log.lines(), QStringList{"Error: Zlib deflate error"});

    // A corrupt stream fails instead of answering what decoded before the damage.
    const QByteArray good = compressWithLevel(repetitiveBytes(), 6);
    QByteArray wrongChecksum = finishedStream(QByteArray("page ").repeated(100));
    wrongChecksum[wrongChecksum.size() - 1] = char(wrongChecksum.at(wrongChecksum.size() - 1) ^ 0x01);
    // Everything before the bad block or the cut decodes, yet the whole answer is a failure.
    const QByteArray finished = finishedStream(repetitiveBytes());
    // Stored (level 0) data that holds the sync flush's bytes, cut right after them: still mid-block.
    const QByteArray flushBytes = QByteArray::fromHex("0000ffff");
    const QByteArray stored = compressWithLevel("page" + flushBytes + "end", 0);
    const QByteArray cutAfterFlushBytes = stored.left(stored.indexOf(flushBytes, 7) + 4);
    for (const QByteArray &stream : {good + QByteArray::fromHex("ffffffff"), wrongChecksum, good.chopped(1),
                                     good.left(good.size() / 2), good.left(2), finished.chopped(5), cutAfterFlushBytes}) {
        platform::LogCapture log;
        EXPECT_TRUE(uncompress(stream).isNull());
        EXPECT_TRUE(log.contains("Error: Zlib inflate error "));
    }

    // Digests are wired as published; no key means the empty key.
    // The hashing is Qt's; these vectors (FIPS 180, RFC 2202) check the wiring: data and key not swapped, hex as written.
    EXPECT_EQ(sha1StringCompatible("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(sha1StringWithKey("what do ya want for nothing?", "Jefe"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    EXPECT_EQ(sha1DataNoKey("abc"), sha1DataWithKey("abc", QByteArray()));
    EXPECT_EQ(hexString(QByteArray::fromRawData("\x0f\xf0\x7e", 3)), "0ff07e");
}
