#include "platform/fx/RenderGraph.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Node.h"
#include "platform/fx/Parallel.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

namespace platform::fx {

namespace {

constexpr qint64 most = std::numeric_limits<qint64>::max();

qint64 area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

qint64 bytes(qint64 pixels)
{
    return pixels > most / qint64(sizeof(Pixel)) ? most : pixels * qint64(sizeof(Pixel));
}

} // namespace

struct RenderGraph::Plan
{
    // Inputs before consumers; a shared node appears once.
    std::vector<const Node *> order;
    QHash<const Node *, std::size_t> index;
    std::vector<QRect> requests;
    std::vector<int> consumers;
    Cost cost;

    // Held pixels covering the request are read where they are; the root is always rendered.
    bool readsInPlace(std::size_t n) const
    {
        const Buffer *held = order[n]->heldPixels();
        return n + 1 < order.size() && held && held->rect().contains(requests[n]);
    }
};

RenderGraph::Plan RenderGraph::plan(const Node &root, const QRect &rect)
{
    Plan plan;
    // Depth first without recursion: chains of any length fit the stack.
    std::vector<std::pair<const Node *, std::size_t>> stack{{&root, 0}};
    QSet<const Node *> entered{&root};
    while (!stack.empty()) {
        auto &[node, next] = stack.back();
        if (next < node->inputs().size()) {
            const Node *input = node->inputs()[next++].get();
            if (!entered.contains(input)) {
                entered.insert(input);
                stack.emplace_back(input, 0);
            }
            continue;
        }
        plan.index.insert(node, plan.order.size());
        plan.order.push_back(node);
        stack.pop_back();
    }

    const std::size_t count = plan.order.size();
    plan.requests.resize(count);
    plan.consumers.assign(count, 0);
    plan.requests.back() = rect & Extent::pixelsTouching(root.extent());
    for (std::size_t n = count; n-- > 0;) {
        const Node *node = plan.order[n];
        for (std::size_t i = 0; i < node->inputs().size(); ++i) {
            const Node *input = node->inputs()[i].get();
            const std::size_t at = plan.index.value(input);
            ++plan.consumers[at];
            const QRect wanted = plan.requests[n].isEmpty()
                ? QRect()
                : node->regionOfInterest(i, plan.requests[n]) & Extent::pixelsTouching(input->extent());
            plan.requests[at] |= wanted;
        }
    }

    // Replays the evaluation: each node's pixels live from its step to its last consumer's.
    std::vector<int> left = plan.consumers;
    qint64 held = 0;
    for (std::size_t n = 0; n < count; ++n) {
        const Node *node = plan.order[n];
        const qint64 pixels = plan.readsInPlace(n) ? 0 : area(plan.requests[n]);
        held = RenderGraph::sum(held, bytes(pixels));
        plan.cost.computedPixels = RenderGraph::sum(plan.cost.computedPixels, pixels);
        plan.cost.peakBytes = std::max(plan.cost.peakBytes, RenderGraph::sum(held, node->scratchBytes(plan.requests[n])));
        for (const auto &input : node->inputs()) {
            const std::size_t at = plan.index.value(input.get());
            if (--left[at] == 0 && !plan.readsInPlace(at))
                held -= bytes(area(plan.requests[at]));
        }
    }
    if (plan.requests.back() != rect)
        plan.cost.peakBytes = std::max(plan.cost.peakBytes, RenderGraph::sum(held, bytes(area(rect))));
    return plan;
}

qint64 RenderGraph::sum(qint64 a, qint64 b)
{
    return a > most - b ? most : a + b;
}

RenderGraph::Cost RenderGraph::cost(const Node &root, const QRect &rect)
{
    return plan(root, rect).cost;
}

QString RenderGraph::overBudget(const Cost &cost, const QSize &size, bool heldWhole)
{
    // A cost that saturated is only known to be at least that large.
    const auto figure = [](qint64 value, qint64 unit) {
        return (value == most ? QStringLiteral("more than ") : QString()) + QString::number(value / unit);
    };
    if (heldWhole && cost.peakBytes > maxBytes)
        return QStringLiteral("Rendering %1 × %2 pixels would need %3 MiB at once, more than the %4 MiB a render may use")
            .arg(size.width())
            .arg(size.height())
            .arg(figure(cost.peakBytes, qint64(1) << 20))
            .arg(maxBytes >> 20);
    if (cost.computedPixels > maxComputedPixels)
        return QStringLiteral("Rendering %1 × %2 pixels would compute %3 million pixels on its way, more than the %4 million "
                              "a render may compute")
            .arg(size.width())
            .arg(size.height())
            .arg(figure(cost.computedPixels, 1000000))
            .arg(maxComputedPixels / 1000000);
    return {};
}

std::optional<Buffer> RenderGraph::render(const Node &root, const QRect &rect, RenderStats *stats, const RenderControl &control)
{
    Plan plan = RenderGraph::plan(root, rect);
    if (const QString refusal = overBudget(plan.cost, rect.size()); !refusal.isEmpty()) {
        logError(refusal);
        return std::nullopt;
    }

    const BandStop bandStop(control.stop);
    qint64 computed = 0;
    std::vector<Buffer> buffers(plan.order.size());
    auto pixelsOf = [&](std::size_t n) { return plan.readsInPlace(n) ? plan.order[n]->heldPixels() : &buffers[n]; };
    for (std::size_t n = 0; n < plan.order.size(); ++n) {
        const Node *node = plan.order[n];
        const bool inPlace = plan.readsInPlace(n);
        if (!inPlace) {
            buffers[n] = Buffer(plan.requests[n]);
            std::vector<const Buffer *> inputs;
            for (const auto &input : node->inputs())
                inputs.push_back(pixelsOf(plan.index.value(input.get())));
            if (!buffers[n].isEmpty()) {
                // A picture read as it is rendered may turn out damaged.
                try {
                    node->evaluate(buffers[n], inputs);
                } catch (const std::runtime_error &e) {
                    logError(QString::fromUtf8(e.what()));
                    return std::nullopt;
                }
            }
        }
        // A step stopped half way has pixels nobody may see; the steps after it are not begun.
        if (control.stop.stop_requested())
            return std::nullopt;
        if (stats)
            stats->nodes.append({node->kind(), inPlace ? 0 : area(plan.requests[n])});
        computed += inPlace ? 0 : area(plan.requests[n]);
        if (control.progress && plan.cost.computedPixels > 0)
            control.progress(double(computed) / double(plan.cost.computedPixels));
        for (const auto &input : node->inputs()) {
            const std::size_t at = plan.index.value(input.get());
            if (--plan.consumers[at] == 0)
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
