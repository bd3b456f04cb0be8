#include "platform/fx/RenderGraph.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Node.h"

#include <QHash>

#include <functional>
#include <vector>

namespace platform::fx {

std::optional<Buffer> RenderGraph::render(const Node &root, const QRect &rect, RenderStats *stats)
{
    // Inputs before consumers; a shared node appears once.
    std::vector<const Node *> order;
    QHash<const Node *, std::size_t> index;
    std::function<void(const Node *)> visit = [&](const Node *node) {
        if (index.contains(node))
            return;
        for (const auto &input : node->inputs())
            visit(input.get());
        index.insert(node, order.size());
        order.push_back(node);
    };
    visit(&root);

    std::vector<QRect> requests(order.size());
    std::vector<int> consumers(order.size(), 0);
    requests.back() = rect & Extent::pixelsTouching(root.extent());
    for (std::size_t n = order.size(); n-- > 0;) {
        const Node *node = order[n];
        for (std::size_t i = 0; i < node->inputs().size(); ++i) {
            const Node *input = node->inputs()[i].get();
            const std::size_t at = index.value(input);
            ++consumers[at];
            const QRect wanted = requests[n].isEmpty()
                ? QRect()
                : node->regionOfInterest(i, requests[n]) & Extent::pixelsTouching(input->extent());
            requests[at] |= wanted;
        }
    }
    for (std::size_t n = 0; n < order.size(); ++n) {
        if (qint64(requests[n].width()) * requests[n].height() > maxPixels) {
            logError(QStringLiteral("Rendering would need %1 × %2 pixels of one step, more than the engine allows")
                         .arg(requests[n].width())
                         .arg(requests[n].height()));
            return std::nullopt;
        }
    }

    std::vector<Buffer> buffers(order.size());
    for (std::size_t n = 0; n < order.size(); ++n) {
        const Node *node = order[n];
        buffers[n] = Buffer(requests[n]);
        std::vector<const Buffer *> inputs;
        for (const auto &input : node->inputs())
            inputs.push_back(&buffers[index.value(input.get())]);
        if (!buffers[n].isEmpty())
            node->evaluate(buffers[n], inputs);
        if (stats)
            stats->nodes.append({node->kind(), qint64(requests[n].width()) * requests[n].height()});
        for (const auto &input : node->inputs()) {
            const std::size_t at = index.value(input.get());
            if (--consumers[at] == 0)
                buffers[at] = Buffer();
        }
    }
    if (buffers.back().rect() == rect)
        return std::move(buffers.back());
    Buffer result(rect);
    const QRect common = rect & buffers.back().rect();
    for (int y = common.top(); y <= common.bottom(); ++y)
        std::copy_n(buffers.back().row(y) + common.left(), common.width(), result.row(y) + common.left());
    return result;
}

} // namespace platform::fx
