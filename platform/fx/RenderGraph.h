#pragma once

#include "platform/fx/Buffer.h"

#include <QList>
#include <QString>

#include <optional>

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
    // nullopt with an "Error: " line when a node would need more than maxPixels.
    static std::optional<Buffer> render(const Node &root, const QRect &rect, RenderStats *stats = nullptr);
    static constexpr qint64 maxPixels = qint64(1) << 28;
};

} // namespace platform::fx
