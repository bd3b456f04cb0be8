#include "RQS-Kit/Foundation/DataExtension.h"

#include "platform/foundation/Log.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace rqs {

namespace {

// zlib counts in 32 bits per call, so longer buffers are handed over in pieces.
constexpr qsizetype LargestPiece = std::numeric_limits<uInt>::max();

uInt piece(qsizetype available) { return uInt(std::min(available, LargestPiece)); }

// zlib's mark, in data_type after a call that made progress, that it stopped between two blocks.
constexpr int BetweenBlocks = 128;

// A stream ended by a sync flush has no end mark, so one cut short would pass for complete unless
// it is seen to stop right after the flush's empty stored block.
bool endsWithSyncFlush(const QByteArray &data) { return data.endsWith(QByteArray::fromRawData("\0\0\xff\xff", 4)); }

} // namespace

QByteArray compressWithLevel(const QByteArray &data, int level)
{
    if (data.isEmpty())
        return {};
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        platform::logError(QStringLiteral("Zlib deflate error"));
        return {};
    }
    auto *input = reinterpret_cast<const Bytef *>(data.constData());
    // Room for more than six bytes avoids repeated flush markers when a call ends on a full buffer.
    QByteArray output(std::max<qsizetype>(data.size(), 64), Qt::Uninitialized);
    for (;;) {
        const qsizetype inputLeft = data.size() - qsizetype(stream.total_in);
        stream.next_in = const_cast<Bytef *>(input + stream.total_in);
        stream.avail_in = piece(inputLeft);
        const bool lastPiece = qsizetype(stream.avail_in) == inputLeft;
        if (qsizetype(stream.total_out) == output.size())
            output.resize(output.size() + std::max<qsizetype>(output.size() / 2, 64));
        stream.next_out = reinterpret_cast<Bytef *>(output.data()) + stream.total_out;
        stream.avail_out = piece(output.size() - qsizetype(stream.total_out));

        const int status = deflate(&stream, lastPiece ? Z_SYNC_FLUSH : Z_NO_FLUSH);
        if (status == Z_STREAM_ERROR) {
            deflateEnd(&stream);
            platform::logError(QStringLiteral("Zlib deflate error"));
            return {};
        }
        if (lastPiece && stream.avail_in == 0 && stream.avail_out != 0)
            break;
    }
    output.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return output;
}

QByteArray uncompress(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        platform::logError(QStringLiteral("Error initializing Zlib"));
        return {};
    }
    auto *input = reinterpret_cast<const Bytef *>(data.constData());
    const qsizetype step = (data.size() + 1023) / 1024 * 1024;
    QByteArray output(data.size() + step, Qt::Uninitialized);
    bool complete = false;
    bool betweenBlocks = false;
    for (;;) {
        stream.next_in = const_cast<Bytef *>(input + stream.total_in);
        stream.avail_in = piece(data.size() - qsizetype(stream.total_in));
        if (qsizetype(stream.total_out) == output.size())
            output.resize(output.size() + step);
        stream.next_out = reinterpret_cast<Bytef *>(output.data()) + stream.total_out;
        stream.avail_out = piece(output.size() - qsizetype(stream.total_out));

        const int status = inflate(&stream, Z_SYNC_FLUSH);
        if (status == Z_OK) {
            betweenBlocks = stream.data_type & BetweenBlocks;
            continue;
        }
        complete = status == Z_STREAM_END
            || (status == Z_BUF_ERROR && qsizetype(stream.total_in) == data.size() && betweenBlocks && endsWithSyncFlush(data));
        break;
    }
    const qsizetype produced = qsizetype(stream.total_out);
    if (inflateEnd(&stream) != Z_OK || !complete) {
        platform::logError(QStringLiteral("Zlib inflate error %1").arg(produced));
        return {};
    }
    output.resize(produced);
    return output;
}

QByteArray sha1DataWithKey(const QByteArray &data, const QByteArray &key)
{
    return QMessageAuthenticationCode::hash(data, key, QCryptographicHash::Sha1);
}

QByteArray sha1DataNoKey(const QByteArray &data) { return sha1DataWithKey(data, {}); }

QString sha1StringWithKey(const QByteArray &data, const QByteArray &key)
{
    return hexString(sha1DataWithKey(data, key));
}

QString sha1StringNoKey(const QByteArray &data) { return sha1StringWithKey(data, {}); }

QByteArray sha1DataCompatible(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha1);
}

QString sha1StringCompatible(const QByteArray &data) { return hexString(sha1DataCompatible(data)); }

QString hexString(const QByteArray &data) { return QString::fromLatin1(data.toHex()); }

} // namespace rqs
