#include "PictureFixture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

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
