#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

namespace platform {

// What a PDF needs to know to carry a JPEG file's bytes unchanged as an image stream: its frame
// (size, components, sample precision) and the resolution recorded in a JFIF header.
struct JpegHeader
{
    QSize pixelSize;
    int components = 0;
    int precision = 0;
    // Dots per inch; 0 when the file records none.
    double dotsPerInchX = 0;
    double dotsPerInchY = 0;

    // Reads the markers up to the frame header; nullopt when the bytes are not a JPEG stream.
    static std::optional<JpegHeader> read(const QByteArray &bytes);
};

} // namespace platform
