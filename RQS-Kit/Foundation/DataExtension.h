#pragma once

#include <QByteArray>
#include <QString>

// Compression, digests and hex text of byte buffers.
namespace rqs {

// A zlib stream (window bits 15, memory level 9) at level 0-9 or -1 for zlib's default, ended by a
// sync flush instead of a finish: no final block, no checksum trailer, no stored length.
// Null for empty input or a failure.
QByteArray compressWithLevel(const QByteArray &data, int level);
// Expands a stream from compressWithLevel or any finished zlib stream. Null for empty input or a
// corrupt or cut-short stream.
QByteArray uncompress(const QByteArray &data);

// HMAC-SHA1 (20 bytes); an empty key is a valid key, so the NoKey forms are not the plain digest.
QByteArray sha1DataWithKey(const QByteArray &data, const QByteArray &key);
QByteArray sha1DataNoKey(const QByteArray &data);
QString sha1StringWithKey(const QByteArray &data, const QByteArray &key);
QString sha1StringNoKey(const QByteArray &data);

// The plain SHA-1 digest.
QByteArray sha1DataCompatible(const QByteArray &data);
QString sha1StringCompatible(const QByteArray &data);

// Two lower-case hex digits per byte, high nibble first.
QString hexString(const QByteArray &data);

} // namespace rqs
