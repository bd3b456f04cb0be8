#include "PictureFixture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

namespace {

// A PNG chunk: its length, type, data and the CRC of type and data.
QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray typed = QByteArray(type, 4) + data;
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    chunk += typed;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))), crc.data());
    return chunk + crc;
}

} // namespace

QImage PictureFixture::marked(const QSize &size, const QColor &fill, const QColor &marker)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    QPainter painter(&image);
    const int side = std::min(size.width(), size.height()) / 4;
    painter.fillRect(QRect(0, 0, side, side), marker);
    return image;
}

QByteArray PictureFixture::encoded(const QImage &image, const char *format, int dotsPerInch)
{
    QImage stamped = image;
    if (dotsPerInch > 0) {
        stamped.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
        stamped.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    if (!writer.write(stamped))
        return {};
    return bytes;
}

QByteArray PictureFixture::withoutResolution(QByteArray jpeg)
{
    // SOI, then the JFIF segment: marker (2), length (2), "JFIF\0" (5), version (2), units (1).
    if (jpeg.size() > 13 && jpeg.mid(6, 4) == "JFIF")
        jpeg[13] = 0;
    return jpeg;
}

QByteArray PictureFixture::withOrientation(QByteArray jpeg, int exifOrientation)
{
    // APP1 "Exif": a little-endian TIFF header and one directory entry, Orientation (0x0112), a SHORT.
    QByteArray exif = QByteArray::fromHex("ffe10022" "457869660000" "49492a0008000000" "0100"
                                          "120103000100000000000000" "00000000");
    exif[28] = char(exifOrientation);
    const int afterJfif = 4 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    jpeg.insert(afterJfif, exif);
    return jpeg;
}

QByteArray PictureFixture::plainPng(const QSize &size, const QColor &fill)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(size.width()), header.data());
    qToBigEndian<quint32>(quint32(size.height()), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    // Each row: filter type 0, then the pixels.
    QByteArray row(1 + 3 * qsizetype(size.width()), '\0');
    for (int x = 0; x < size.width(); ++x) {
        row[1 + 3 * x] = char(fill.red());
        row[2 + 3 * x] = char(fill.green());
        row[3 + 3 * x] = char(fill.blue());
    }
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    QByteArray deflated;
    QByteArray out(1 << 16, '\0');
    for (int y = 0; y <= size.height(); ++y) {
        const bool last = y == size.height();
        stream.next_in = reinterpret_cast<Bytef *>(last ? nullptr : row.data());
        stream.avail_in = last ? 0 : uInt(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            deflated.append(out.constData(), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", deflated) + pngChunk("IEND", {});
}
