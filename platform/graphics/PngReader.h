#pragma once

#include <QSize>
#include <QString>

#include <cstdio>
#include <memory>

namespace platform {

// Reads a PNG file a row at a time, top to bottom, so that a large picture never lies decoded in
// memory as a whole. Palette, grey and transparency-key pictures come out expanded, as Qt's reader
// gives them; pictures this reader leaves to Qt's (16 bits per channel, interlaced, tagged with a
// colour profile, gamma, primaries or EXIF data) are refused at open, so that the caller reads
// them whole. Damage is told by open or readRow, never by a crash.
class PngReader
{
public:
    ~PngReader();
    PngReader(const PngReader &) = delete;
    PngReader &operator=(const PngReader &) = delete;

    // Null when the file cannot be read by rows; *error then says why (empty for a PNG this reader
    // leaves to Qt's reader, which may read it).
    static std::unique_ptr<PngReader> open(const QString &path, QString *error = nullptr);

    QSize size() const;
    // Rows come as 8-bit RGBA (not premultiplied) when the picture has alpha, else as 8-bit RGB.
    bool hasAlpha() const;
    int bytesPerRow() const;
    // Rows read so far.
    int rowsRead() const;
    // The next row into row (bytesPerRow() bytes). False with *error when the file is damaged
    // there or no row is left.
    bool readRow(unsigned char *row, QString *error);

    // libpng's state, private to the implementation.
    struct Decoder;

private:
    explicit PngReader(std::unique_ptr<Decoder> decoder);

    std::unique_ptr<Decoder> m_decoder;
};

} // namespace platform
