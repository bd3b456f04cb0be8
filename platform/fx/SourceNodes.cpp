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
