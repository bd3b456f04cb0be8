#pragma once

#include "platform/fx/Buffer.h"

#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace platform::fx {

// One step of an image recipe. Immutable once made, so recipes are shared between threads and
// cannot hold cycles (a node's inputs exist before it).
class Node
{
public:
    using Input = std::shared_ptr<const Node>;

    // Releases a chain of inputs that only this node holds one by one, not by recursion, so
    // that recipes of any length can be dropped.
    virtual ~Node();

    // A short name for render statistics.
    virtual QString kind() const = 0;
    const QRectF &extent() const { return m_extent; }
    const std::vector<Input> &inputs() const { return m_inputs; }

    // The pixels of an input that computing the rectangle of this node reads.
    virtual QRect regionOfInterest(std::size_t input, const QRect &rect) const;
    // Fills out over its rectangle (transparent on entry); each input holds at least its region
    // of interest, cut to the input's extent.
    virtual void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const = 0;
    // Memory that evaluating the rectangle needs besides its inputs and output.
    virtual qint64 scratchBytes(const QRect &rect) const;
    // Pixels the node already holds, which consumers may read in place of evaluating it.
    virtual const Buffer *heldPixels() const { return nullptr; }

protected:
    explicit Node(const QRectF &extent, std::vector<Input> inputs = {});

private:
    QRectF m_extent;
    std::vector<Input> m_inputs;
};

} // namespace platform::fx
