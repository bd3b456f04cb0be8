#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace platform {

// Writes 8-bit pictures as PNG with every core: bands of rows are filtered and deflated at once,
// each band primed with the 32 KB before it and flushed to a byte boundary, and the bands joined
// into the single zlib stream the format holds (the way pigz splits gzip). Every row is
// Paeth-filtered and deflate looks for runs only: on photographs and smooth renderings that costs
// a seventh of libpng's defaults for files about a quarter larger.
class PngWriter
{
public:
    // The picture in Format_RGB888 or Format_RGBA8888, without an alpha channel when every pixel
    // is opaque; written through a temporary file renamed over path. False after an "Error: "
    // line.
    static bool write(const QImage &picture, const QString &path);

    // Rows count from the top, starting at top: a picture of exactly that many rows of the
    // picture's width, in Format_RGB888 or Format_RGBA8888; a null picture when they cannot be had
    // (logged by the source).
    using Rows = std::function<QImage(int top, int count)>;
    // A picture asked for band by band, bandRows at a time from the top, so that it is never
    // held whole: written without alpha as long as every row is opaque, and asked for once more
    // from its top, with alpha, from the first band that is not. False after an "Error: " line.
    static bool write(const QSize &size, int bandRows, const Rows &rowsFrom, const QString &path);
    // A chunk of the file: its length, type (four letters), data and checksum.
    static QByteArray chunk(const char *type, const QByteArray &data);
};

} // namespace platform
