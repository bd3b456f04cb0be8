#include "platform/pdf/JpegHeader.h"

namespace platform {

namespace {

int byteAt(const QByteArray &bytes, qsizetype at) { return static_cast<unsigned char>(bytes[at]); }

int wordAt(const QByteArray &bytes, qsizetype at) { return byteAt(bytes, at) << 8 | byteAt(bytes, at + 1); }

bool isFrameMarker(int marker)
{
    // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

void readJfifDensity(const QByteArray &bytes, qsizetype segment, int length, JpegHeader &header)
{
    // "JFIF\0", version (2), units (1), x density (2), y density (2)
    if (length < 14 || bytes.mid(segment, 5) != QByteArray("JFIF\0", 5))
        return;
    const int units = byteAt(bytes, segment + 7);
    const int x = wordAt(bytes, segment + 8);
    const int y = wordAt(bytes, segment + 10);
    if (x == 0 || y == 0)
        return;
    const double perInch = units == 1 ? 1.0 : units == 2 ? 2.54 : 0.0;
    header.dotsPerInchX = x * perInch;
    header.dotsPerInchY = y * perInch;
}

} // namespace

std::optional<JpegHeader> JpegHeader::read(const QByteArray &bytes)
{
    if (bytes.size() < 4 || byteAt(bytes, 0) != 0xFF || byteAt(bytes, 1) != 0xD8)
        return std::nullopt;
    JpegHeader header;
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (byteAt(bytes, at) != 0xFF)
            return std::nullopt;
        const int marker = byteAt(bytes, at + 1);
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2; // markers without a length
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return std::nullopt; // scan data or end before any frame header
        const int length = wordAt(bytes, at + 2);
        const qsizetype segment = at + 4;
        if (length < 2 || at + 2 + length > bytes.size())
            return std::nullopt;
        if (marker == 0xE0)
            readJfifDensity(bytes, segment, length, header);
        if (isFrameMarker(marker)) {
            if (length < 8)
                return std::nullopt;
            header.precision = byteAt(bytes, segment);
            header.pixelSize = QSize(wordAt(bytes, segment + 3), wordAt(bytes, segment + 1));
            header.components = byteAt(bytes, segment + 5);
            if (header.pixelSize.isEmpty() || header.components == 0)
                return std::nullopt;
            return header;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace platform
