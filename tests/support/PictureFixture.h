#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

// Pictures made at test time: a fill colour with a marker square in the picture's top-left
// corner (a quarter of its shorter side), encoded in memory.
class PictureFixture
{
public:
    static QImage marked(const QSize &size, const QColor &fill, const QColor &marker);
    // Encodes in the format ("jpeg", "png"); a positive resolution is recorded in the file.
    static QByteArray encoded(const QImage &image, const char *format, int dotsPerInch = 0);
    // An 8-bit RGB PNG of one colour, deflated a row at a time: a picture of 12000 × 12000 pixels
    // is a file of some 440 kB, made without the 432 MB of its pixels.
    static QByteArray plainPng(const QSize &size, const QColor &fill);
    // The JPEG with its JFIF header saying that it records no resolution.
    static QByteArray withoutResolution(QByteArray jpeg);
    // The JPEG with an EXIF orientation (1 to 8) after its JFIF header.
    static QByteArray withOrientation(QByteArray jpeg, int exifOrientation);
};
