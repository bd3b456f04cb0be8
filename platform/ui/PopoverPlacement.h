#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace platform {

// The side of a rectangle a popover opens on, as seen on the screen.
enum class PopoverEdge { Left, Right, Top, Bottom };

// Where a popover goes beside the rectangle it points at, inside an area (its window), all in
// screen coordinates. It takes the first side, in the order asked, opposite, then the two others,
// on which it can lie whole inside the area, still pointing at the rectangle, over none of the
// given controls, slid along that side no further than needed. Where no side has such a place,
// it opens on the first side it fits across, over controls if it must, never over the rectangle
// while one side has room.
class PopoverPlacement
{
public:
    PopoverPlacement() = delete;

    // Between the rectangle and the popover.
    static constexpr int Gap = 6;
    // How much of the rectangle the popover's edge faces at least, for its arrow to point at it.
    static constexpr int ArrowReach = 4;

    static QRect place(const QRect &anchor, const QSize &size, const QRect &area, PopoverEdge edge, const QList<QRect> &controls);
};

} // namespace platform
