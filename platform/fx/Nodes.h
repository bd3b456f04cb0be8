#pragma once

#include "platform/fx/Color.h"
#include "platform/fx/Node.h"
#include "platform/graphics/PngReader.h"

#include <QImage>
#include <QMutex>
#include <QTransform>

#include <cstdint>
#include <deque>
#include <memory>

// The engine's own recipe steps. Images and filters make them; callers use Image.
namespace platform::fx {

// Fixed pixels: a decoded picture or a rendered copy.
class BufferNode : public Node
{
public:
    explicit BufferNode(Buffer pixels);
    QString kind() const override { return QStringLiteral("pixels"); }
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;
    const Buffer *heldPixels() const override { return &m_pixels; }

private:
    Buffer m_pixels;
};

// An 8-bit picture kept as decoded, a quarter of its float pixels' memory, and converted only
// over the rectangles asked of it. Its extent is (0, 0, width, height); picture row 0 is the top.
class PictureNode : public Node
{
public:
    // One of the formats that formatIsKept names.
    explicit PictureNode(QImage picture);
    QString kind() const override { return QStringLiteral("picture"); }
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;
    static bool formatIsKept(QImage::Format format);

private:
    QImage m_picture;
};

// A large PNG read by rows whenever it is rendered, never held decoded as a whole: the bands of a
// render ask for their rows from the top down, and the rows a band read are kept only as far as
// the next band reads them again. Throws std::runtime_error from evaluate when the file turns out
// damaged (or is no longer the picture it was), which fails the render.
class StreamedPictureNode : public Node
{
public:
    StreamedPictureNode(QString path, std::unique_ptr<PngReader> opened);
    ~StreamedPictureNode() override;
    QString kind() const override { return QStringLiteral("picture"); }
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    // Rows from first to last of the picture (0 the top) read, the lock held.
    void readRows(int first, int last) const;

    QString m_path;
    QSize m_size;
    bool m_alpha;
    mutable QMutex m_lock;
    mutable std::unique_ptr<PngReader> m_reader;
    mutable std::deque<QByteArray> m_rows;
    mutable int m_firstRow = 0;
};

class ConstantNode : public Node
{
public:
    explicit ConstantNode(const Color &color);
    QString kind() const override { return QStringLiteral("constant"); }
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    Pixel m_pixel;
};

// Channel c (0 red … 3 alpha) of pixel (x, y) is (splitmix64(4·k + c) >> 40) / 2^24 with
// k = (uint32(x) << 32) | uint32(y), all modulo 2^64: the same numbers on every machine and in
// every rectangle. The four numbers are stored as they are, not premultiplied.
class RandomNode : public Node
{
public:
    RandomNode();
    QString kind() const override { return QStringLiteral("random"); }
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;
    static float value(int x, int y, int channel);
};

// Keeps the pixels whose centres lie in the rectangle.
class CropNode : public Node
{
public:
    CropNode(Input input, const QRectF &rect);
    QString kind() const override { return QStringLiteral("crop"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    QRect m_kept;
};

// Each output pixel centre p takes the bilinear sample of the input at T⁻¹(p): from p − 0.5 the
// four nearest pixels mixed by the fractions, transparent outside the input.
class TransformNode : public Node
{
public:
    TransformNode(Input input, const QTransform &transform);
    QString kind() const override { return QStringLiteral("transform"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    QTransform m_inverse;
};

// Halves the grid along x, y or both: each pixel is the mean of the 2 or 4 it covers.
class ReduceNode : public Node
{
public:
    ReduceNode(Input input, int factorX, int factorY);
    QString kind() const override { return QStringLiteral("reduce"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    int m_factorX, m_factorY;
};

// Infinite: every pixel takes the nearest pixel of the input's extent.
class ClampNode : public Node
{
public:
    explicit ClampNode(Input input);
    QString kind() const override { return QStringLiteral("clamp"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    QRect m_source;
};

// Infinite: the input's extent repeated in both directions.
class TileNode : public Node
{
public:
    explicit TileNode(Input input);
    QString kind() const override { return QStringLiteral("tile"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    QRect m_tile;
};

// Box blurs in turn along x (each radius of radiiX), then along y, with running sums: the cost
// per pixel does not depend on the radii. Outside the input counts as transparent.
class BoxBlurNode : public Node
{
public:
    BoxBlurNode(Input input, std::vector<int> radiiX, std::vector<int> radiiY);
    QString kind() const override { return QStringLiteral("blur"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;
    qint64 scratchBytes(const QRect &rect) const override;
    // Three radii whose boxes together spread like a Gaussian of deviation sigma
    // (W. Jarosz, "Fast Image Convolutions"); none below sigma 0.5.
    static std::vector<int> gaussianRadii(double sigma);

private:
    std::vector<int> m_radiiX, m_radiiY;
    int m_reachX, m_reachY;
};

} // namespace platform::fx

namespace platform::fx {

// One pixel at (0, 0): the mean of the input's pixels whose centres lie in the rectangle.
class AreaAverageNode : public Node
{
public:
    AreaAverageNode(Input input, const QRectF &rect);
    QString kind() const override { return QStringLiteral("area average"); }
    QRect regionOfInterest(std::size_t input, const QRect &rect) const override;
    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override;

private:
    QRect m_area;
};

} // namespace platform::fx
