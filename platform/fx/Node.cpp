#include "platform/fx/Node.h"

namespace platform::fx {

Node::Node(const QRectF &extent, std::vector<Input> inputs)
    : m_extent(extent)
    , m_inputs(std::move(inputs))
{
}

QRect Node::regionOfInterest(std::size_t, const QRect &rect) const
{
    return rect;
}

} // namespace platform::fx
