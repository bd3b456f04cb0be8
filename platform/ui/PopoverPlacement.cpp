#include "platform/ui/PopoverPlacement.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace platform {

namespace {

bool isBeside(PopoverEdge side) { return side == PopoverEdge::Left || side == PopoverEdge::Right; }

// Across and along swapped, so that a popover above or below slides like one beside.
QRect flipped(const QRect &rect) { return QRect(rect.top(), rect.left(), rect.height(), rect.width()); }

// Centred on the rectangle's side.
QRect centredOn(PopoverEdge side, const QRect &anchor, const QSize &size)
{
    const int gap = PopoverPlacement::Gap;
    switch (side) {
    case PopoverEdge::Left:
        return QRect(QPoint(anchor.left() - gap - size.width(), anchor.center().y() - size.height() / 2), size);
    case PopoverEdge::Right:
        return QRect(QPoint(anchor.right() + gap, anchor.center().y() - size.height() / 2), size);
    case PopoverEdge::Top:
        return QRect(QPoint(anchor.center().x() - size.width() / 2, anchor.top() - gap - size.height()), size);
    case PopoverEdge::Bottom:
        return QRect(QPoint(anchor.center().x() - size.width() / 2, anchor.bottom() + gap), size);
    }
    return QRect();
}

// Whole inside the area across the side: along it, the popover may still slide.
bool fitsAcross(PopoverEdge side, const QRect &placed, const QRect &area)
{
    if (isBeside(side))
        return area.left() <= placed.left() && placed.right() <= area.right();
    return area.top() <= placed.top() && placed.bottom() <= area.bottom();
}

// For a popover beside the anchor: its top nearest to where it is, inside the area, with its
// pointing edge still facing the anchor, and over none of the controls.
std::optional<QRect> slidClearOf(const QRect &placed, const QRect &anchor, const QRect &area, const QList<QRect> &controls)
{
    const int height = placed.height();
    const int lowest = std::max(area.top(), anchor.top() + PopoverPlacement::ArrowReach - height);
    const int highest = std::min(area.bottom() - height + 1, anchor.bottom() + 1 - PopoverPlacement::ArrowReach);
    if (lowest > highest)
        return std::nullopt;
    // The nearest clear top is where it stands, at a limit, or touching a control above or below.
    QList<int> tops{std::clamp(placed.top(), lowest, highest), lowest, highest};
    for (const QRect &control : controls)
        tops << control.top() - height << control.bottom() + 1;
    std::optional<QRect> best;
    for (int top : tops) {
        const QRect candidate(QPoint(placed.left(), top), placed.size());
        if (top < lowest || highest < top
            || std::any_of(controls.begin(), controls.end(), [&](const QRect &control) { return control.intersects(candidate); }))
            continue;
        if (!best || std::abs(top - placed.top()) < std::abs(best->top() - placed.top()))
            best = candidate;
    }
    return best;
}

} // namespace

QRect PopoverPlacement::place(const QRect &anchor, const QSize &size, const QRect &area, PopoverEdge edge, const QList<QRect> &controls)
{
    const bool across = isBeside(edge);
    const PopoverEdge opposite = edge == PopoverEdge::Left ? PopoverEdge::Right
        : edge == PopoverEdge::Right                       ? PopoverEdge::Left
        : edge == PopoverEdge::Top                         ? PopoverEdge::Bottom
                                                           : PopoverEdge::Top;
    const PopoverEdge sides[] = {edge, opposite, across ? PopoverEdge::Top : PopoverEdge::Left, across ? PopoverEdge::Bottom : PopoverEdge::Right};

    QList<QRect> flippedControls;
    for (const QRect &control : controls)
        flippedControls << flipped(control);
    for (PopoverEdge side : sides) {
        const QRect centred = centredOn(side, anchor, size);
        if (!fitsAcross(side, centred, area))
            continue;
        if (isBeside(side)) {
            if (const auto clear = slidClearOf(centred, anchor, area, controls))
                return *clear;
            continue;
        }
        if (const auto clear = slidClearOf(flipped(centred), flipped(anchor), flipped(area), flippedControls))
            return flipped(*clear);
    }

    const auto fitting = std::find_if(std::begin(sides), std::end(sides),
                                      [&](PopoverEdge side) { return fitsAcross(side, centredOn(side, anchor, size), area); });
    QRect placed = centredOn(fitting != std::end(sides) ? *fitting : edge, anchor, size);
    placed.moveLeft(std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    placed.moveTop(std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return placed;
}

} // namespace platform
