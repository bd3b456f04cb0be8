#include "platform/ui/PopoverPlacement.h"

#include <gtest/gtest.h>

using platform::PopoverEdge;
using platform::PopoverPlacement;

// A 300 x 180 popover in a 1000 x 800 window; it opens 6 pixels from the rectangle and its edge
// faces at least 4 pixels of it. Places worked out by hand.
TEST(PopoverPlacement, SlidesOrTurnsOffTheControlsWhileItStillPointsAtTheRectangle)
{
    const QRect area(0, 0, 1000, 800);
    const QSize size(300, 180);
    const QRect row(600, 600, 200, 22); // y 600-621: the popover's top may go from 424 to 618

    struct Case { const char *name; QRect anchor; PopoverEdge edge; QList<QRect> controls; QRect expected; };
    const QList<Case> cases{
        {"no control: centred on the side asked", {600, 300, 200, 20}, PopoverEdge::Left, {}, {294, 219, 300, 180}},
        {"a bar below: slid up to end above it", row, PopoverEdge::Left, {{100, 640, 500, 30}}, {294, 460, 300, 180}},
        {"a field above: slid down to start below it", {600, 300, 200, 22}, PopoverEdge::Left, {{200, 200, 200, 50}}, {294, 250, 300, 180}},
        {"a bar from the row's fifth pixel row down: ending where it faces the row's top four", row, PopoverEdge::Left,
         {{100, 604, 500, 30}}, {294, 424, 300, 180}},
        {"a bar from the row's fourth pixel row down: above the row instead", row, PopoverEdge::Left, {{100, 603, 500, 30}}, {549, 414, 300, 180}},
        {"sliding clear would point past the row: above it instead", row, PopoverEdge::Left, {{300, 430, 100, 210}}, {549, 414, 300, 180}},
        {"neither beside nor centred above is clear: slid right above it", row, PopoverEdge::Left, {{350, 300, 250, 400}}, {600, 414, 300, 180}},
        {"controls everywhere: beside it, centred, as before", row, PopoverEdge::Left, {{0, 0, 1000, 800}}, {294, 520, 300, 180}},
        {"at the window's top: as high as the window lets it", {100, 10, 20, 20}, PopoverEdge::Right, {}, {125, 0, 300, 180}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PopoverPlacement::place(c.anchor, size, area, c.edge, c.controls), c.expected);
    }
}
