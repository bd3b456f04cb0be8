#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// A picture encoded as a baseline JPEG in RGB, for outputs that carry its bytes as they are (a
// PDF's DCT stream) rather than its pixels.
class JpegImage
{
public:
    // The quality Qt's PDF engine gives the pictures it encodes.
    static constexpr int defaultQuality = 94;

    JpegImage() = default;
    // Encodes an opaque picture (its alpha is ignored) the way Qt's JPEG writer does: 4:2:0
    // chroma, the usual tables scaled to the quality. A null JpegImage when libjpeg fails, with
    // the reason in *error; throws std::bad_alloc when memory runs out.
    static JpegImage encode(const QImage &picture, int quality = defaultQuality, QString *error = nullptr);

    bool isNull() const;
    QSize size() const;
    const QByteArray &bytes() const;
    // The pixels again, for outputs that cannot carry the bytes; null when they cannot be decoded.
    QImage decoded() const;

private:
    JpegImage(QByteArray bytes, const QSize &size);

    QByteArray m_bytes;
    QSize m_size;
};

} // namespace platform
