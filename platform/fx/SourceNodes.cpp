#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"

#include <algorithm>
#include <cstring>

namespace platform::fx {

BufferNode::BufferNode(Buffer pixels)
    : Node(QRectF(pixels.rect()))
    , m_pixels(std::move(pixels))
{
}

void BufferNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect common = out.rect() & m_pixels.rect();
    for (int y = common.top(); y <= common.bottom(); ++y)
        std::memcpy(out.row(y) + common.left(), m_pixels.row(y) + common.left(), sizeof(Pixel) * std::size_t(common.width()));
}

namespace {

constexpr float byteScale = 1.0f / 255.0f;

// Channel bytes in memory order red, green, blue (and alpha when the step is 4).
void convertBytes(const uchar *from, Pixel *to, int count, int step, bool premultiplied)
{
    for (int x = 0; x < count; ++x, from += step) {
        const float a = step == 4 ? from[3] * byteScale : 1.0f;
        const float k = premultiplied ? byteScale : byteScale * a;
        to[x] = {from[0] * k, from[1] * k, from[2] * k, a};
    }
}

// 0xAARRGGBB words.
void convertWords(const uchar *from, Pixel *to, int count, bool opaque, bool premultiplied)
{
    const auto *words = reinterpret_cast<const QRgb *>(from);
    for (int x = 0; x < count; ++x) {
        const float a = opaque ? 1.0f : qAlpha(words[x]) * byteScale;
        const float k = premultiplied ? byteScale : byteScale * a;
        to[x] = {qRed(words[x]) * k, qGreen(words[x]) * k, qBlue(words[x]) * k, a};
    }
}

} // namespace

PictureNode::PictureNode(QImage picture)
    : Node(QRectF(0, 0, picture.width(), picture.height()))
    , m_picture(std::move(picture))
{
}

bool PictureNode::formatIsKept(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return true;
    default:
        return false;
    }
}

void PictureNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect common = out.rect() & QRect(0, 0, m_picture.width(), m_picture.height());
    const QImage::Format format = m_picture.format();
    const bool premultiplied = format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGBA8888_Premultiplied;
    forEachBand(common.height(), [&](int begin, int end) {
        for (int y = common.top() + begin; y < common.top() + end; ++y) {
            const uchar *line = m_picture.constScanLine(m_picture.height() - 1 - y);
            Pixel *to = out.row(y) + common.left();
            switch (format) {
            case QImage::Format_RGB32:
            case QImage::Format_ARGB32:
            case QImage::Format_ARGB32_Premultiplied:
                convertWords(line + 4 * common.left(), to, common.width(), format == QImage::Format_RGB32, premultiplied);
                break;
            case QImage::Format_RGB888:
                convertBytes(line + 3 * common.left(), to, common.width(), 3, premultiplied);
                break;
            default:
                convertBytes(line + 4 * common.left(), to, common.width(), 4,
                             premultiplied || format == QImage::Format_RGBX8888);
                break;
            }
        }
    });
}

ConstantNode::ConstantNode(const Color &color)
    : Node(Extent::infinite())
    , m_pixel(color.premultiplied())
{
}

void ConstantNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y)
            std::fill_n(out.row(y) + rect.left(), rect.width(), m_pixel);
    });
}

RandomNode::RandomNode()
    : Node(Extent::infinite())
{
}

float RandomNode::value(int x, int y, int channel)
{
    std::uint64_t z = ((std::uint64_t(std::uint32_t(x)) << 32) | std::uint32_t(y)) * 4 + std::uint64_t(channel);
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return float(z >> 40) / float(1 << 24);
}

void RandomNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x)
                row[x] = {value(x, y, 0), value(x, y, 1), value(x, y, 2), value(x, y, 3)};
        }
    });
}

} // namespace platform::fx
