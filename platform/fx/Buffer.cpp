#include "platform/fx/Buffer.h"

#include "platform/fx/Parallel.h"

#include <cstring>

namespace platform::fx {

Buffer::Buffer(const QRect &rect)
    : m_rect(rect.isEmpty() ? QRect() : rect)
    , m_pixels(std::size_t(m_rect.width()) * std::size_t(m_rect.height()))
{
    const std::size_t rowBytes = sizeof(Pixel) * std::size_t(m_rect.width());
    forEachBand(m_rect.height(), [&](int begin, int end) {
        std::memset(static_cast<void *>(m_pixels.data() + std::size_t(begin) * std::size_t(m_rect.width())), 0,
                    rowBytes * std::size_t(end - begin));
    });
}

} // namespace platform::fx
