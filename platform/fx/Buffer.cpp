#include "platform/fx/Buffer.h"

namespace platform::fx {

Buffer::Buffer(const QRect &rect)
    : m_rect(rect.isEmpty() ? QRect() : rect)
    , m_pixels(std::size_t(m_rect.width()) * std::size_t(m_rect.height()))
{
}

} // namespace platform::fx
