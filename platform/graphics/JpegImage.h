#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace platform {

// A picture encoded as a baseline JPEG in RGB, for outputs that carry its bytes as they are (a
// PDF's DCT stream) rather than its pixels.
class JpegImage
{
public:
    // The quality Qt's PDF engine gives the pictures it encodes.
    static constexpr int defaultQuality = 94;
    // Pixels a side that a JPEG picture holds at most (libjpeg's limit).
    static constexpr int maximumSide = 65500;

    JpegImage() = default;

    bool isNull() const;
    QSize size() const;
    const QByteArray &bytes() const;
    // The pixels again, for outputs that cannot carry the bytes; null when they cannot be decoded.
    QImage decoded() const;

private:
    friend class JpegEncoder;
    JpegImage(QByteArray bytes, const QSize &size);

    QByteArray m_bytes;
    QSize m_size;
};

// Encodes a picture handed over a band of rows at a time, top to bottom, so that the picture need
// never lie in memory whole, the way Qt's JPEG writer does: 4:2:0 chroma, the usual tables scaled
// to the quality.
class JpegEncoder
{
public:
    explicit JpegEncoder(const QSize &size, int quality = JpegImage::defaultQuality);
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;

    // count rows of 8-bit RGB, bytesPerRow apart. False once libjpeg has failed (the reason in
    // error()) or when more rows come than the picture has; throws std::bad_alloc when memory
    // runs out.
    bool addRows(const uchar *first, qsizetype bytesPerRow, int count);
    // The picture once all its rows are in; null (the reason in error()) otherwise.
    JpegImage finish();
    QString error() const;

    // libjpeg's state, private to the implementation.
    struct State;

private:
    std::unique_ptr<State> m_state;
};

} // namespace platform
