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
    // Only the input's pixels add anything; the rest of the area is transparent, however large.
    const QRect summed = m_area & inputs[0]->rect();
    std::array<double, 4> sum{};
    for (int y = summed.top(); y <= summed.bottom(); ++y) {
        const Pixel *row = inputs[0]->row(y);
        for (int x = summed.left(); x <= summed.right(); ++x)
            sum[0] += row[x].r, sum[1] += row[x].g, sum[2] += row[x].b, sum[3] += row[x].a;
    }
    const double count = double(m_area.width()) * m_area.height();
    out.row(0)[0] = {float(sum[0] / count), float(sum[1] / count), float(sum[2] / count), float(sum[3] / count)};
}

} // namespace platform::fx
