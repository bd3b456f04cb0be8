#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"

#include <array>

namespace platform::fx {

AreaAverageNode::AreaAverageNode(Input input, const QRectF &rect)
    : Node(QRectF(0, 0, 1, 1), {input})
    , m_area(Extent::pixelsCentredIn(rect))
{
}

QRect AreaAverageNode::regionOfInterest(std::size_t, const QRect &) const
{
    return m_area;
}

void AreaAverageNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    if (m_area.isEmpty())
        return;
    std::array<double, 4> sum{};
    for (int y = m_area.top(); y <= m_area.bottom(); ++y) {
        for (int x = m_area.left(); x <= m_area.right(); ++x) {
            const Pixel p = inputs[0]->at(x, y);
            sum[0] += p.r, sum[1] += p.g, sum[2] += p.b, sum[3] += p.a;
        }
    }
    const double count = double(m_area.width()) * m_area.height();
    out.row(0)[0] = {float(sum[0] / count), float(sum[1] / count), float(sum[2] / count), float(sum[3] / count)};
}

} // namespace platform::fx
