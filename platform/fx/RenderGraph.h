#pragma once

#include "platform/fx/Buffer.h"

#include <QList>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <stop_token>
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

// How the caller of a long render follows and stops it. progress is told, on the rendering
// thread, the share of the render's pixels computed so far after each step; once stop is
// requested, the render ends at the next step, or band of a step, with nullopt.
struct RenderControl
{
    std::stop_token stop;
    std::function<void(double share)> progress;
};

// Renders a finite rectangle of a recipe. First each node gathers the bounding rectangle of what
// its consumers ask of it, cut to its extent; then the nodes run inputs first, each over exactly
// that rectangle, and a node's pixels are dropped after its last consumer. A shared node runs
// once per render.
class RenderGraph
{
public:
    // nullopt with an "Error: " line, before any step runs, when the render would not fit the
    // budgets, or when a step fails (a picture read as it is rendered turns out damaged); nullopt
    // when it is stopped.
    static std::optional<Buffer> render(const Node &root, const QRect &rect, RenderStats *stats = nullptr,
                                        const RenderControl &control = {});
    // What a render of the rectangle would hold at its peak (its steps' pixels, their scratch
    // buffers and the result) and how many pixels its steps compute.
    struct Cost
    {
        qint64 peakBytes = 0;
        qint64 computedPixels = 0;
    };
    static Cost cost(const Node &root, const QRect &rect);
    // Costs saturate instead of overflowing: those of hostile recipes only need to compare as too
    // big.
    static qint64 sum(qint64 a, qint64 b);
    // One budget for everything a render allocates.
    static constexpr qint64 maxBytes = qint64(2) << 30;
    // And one for the pixels its steps compute, some 90 steps over a 12-megapixel photograph: a
    // recipe whose picture grows with every step (a chain of borders) asks for far more than its
    // result's size tells, and would run for many minutes.
    static constexpr qint64 maxComputedPixels = qint64(1) << 30;
    // Why a render of that cost, making a picture of that size, cannot start; empty when it fits.
    // A render in bands holds only a band at once: then only its computed pixels count here.
    static QString overBudget(const Cost &cost, const QSize &size, bool heldWhole = true);

private:
    struct Plan;
    static Plan plan(const Node &root, const QRect &rect);
};

} // namespace platform::fx
