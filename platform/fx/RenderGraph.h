#pragma once

#include "platform/fx/Buffer.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace platform::fx {

class Node;

// Pixels computed per recipe node in one render, in evaluation order.
struct RenderStats
{
    struct Entry
    {
        QString kind;
        qint64 pixels = 0;
    };
    QList<Entry> nodes;
};

// Renders a finite rectangle of a recipe. First each node gathers the bounding rectangle of what
// its consumers ask of it, cut to its extent; then the nodes run inputs first, each over exactly
// that rectangle, and a node's pixels are dropped after its last consumer. A shared node runs
// once per render.
class RenderGraph
{
public:
    // nullopt with an "Error: " line when the render would hold more than maxBytes at once, or
    // when a step fails (a picture read as it is rendered turns out damaged).
    static std::optional<Buffer> render(const Node &root, const QRect &rect, RenderStats *stats = nullptr);
    // What a render of the rectangle would hold at its peak (its steps' pixels, their scratch
    // buffers and the result) and how many pixels its steps compute.
    struct Cost
    {
        qint64 peakBytes = 0;
        qint64 computedPixels = 0;
    };
    static Cost cost(const Node &root, const QRect &rect);
    // One budget for everything a render allocates.
    static constexpr qint64 maxBytes = qint64(2) << 30;

private:
    struct Plan;
    static Plan plan(const Node &root, const QRect &rect);
};

} // namespace platform::fx
