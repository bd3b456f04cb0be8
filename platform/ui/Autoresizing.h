#pragma once

#include <QRectF>
#include <QSizeF>

namespace platform {

// Which parts of a view's frame take up a change of its superview's size. Bottom and top are
// y-up: the bottom margin is the distance from the superview's minimum y. None keeps the frame.
namespace Autoresizing {
enum : unsigned {
    None = 0,
    FlexibleLeftMargin = 1u << 0,
    WidthSizable = 1u << 1,
    FlexibleRightMargin = 1u << 2,
    FlexibleBottomMargin = 1u << 3,
    HeightSizable = 1u << 4,
    FlexibleTopMargin = 1u << 5,
};
} // namespace Autoresizing

// The superview's change in each direction is shared among the flexible parts of that direction
// in proportion to their lengths before the change; a direction without flexible length stays.
QRectF autoresizedFrame(const QRectF &frame, unsigned mask, const QSizeF &oldSuperviewSize,
                        const QSizeF &newSuperviewSize);

} // namespace platform
