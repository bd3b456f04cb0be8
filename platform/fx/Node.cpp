#include "platform/fx/Node.h"

#include <iterator>

namespace platform::fx {

Node::Node(const QRectF &extent, std::vector<Input> inputs)
    : m_extent(extent)
    , m_inputs(std::move(inputs))
{
}

Node::~Node()
{
    std::vector<Input> pending = std::move(m_inputs);
    while (!pending.empty()) {
        Input input = std::move(pending.back());
        pending.pop_back();
        // The last holder takes the input's own inputs before letting it go.
        if (input.use_count() == 1) {
            auto &inputs = const_cast<Node &>(*input).m_inputs;
            std::move(inputs.begin(), inputs.end(), std::back_inserter(pending));
            inputs.clear();
        }
    }
}

qint64 Node::scratchBytes(const QRect &) const
{
    return 0;
}

QRect Node::regionOfInterest(std::size_t, const QRect &rect) const
{
    return rect;
}

} // namespace platform::fx
