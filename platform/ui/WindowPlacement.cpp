#include "platform/ui/WindowPlacement.h"

#include <algorithm>

namespace platform {

QRect WindowPlacement::place(const QRect &frame, const std::optional<QRect> &parentFrame, bool cascade, const QRect &available)
{
    QRect placed = frame;
    if (parentFrame && cascade)
        placed.moveTopLeft(parentFrame->topLeft() + QPoint(CascadeOffset, CascadeOffset));
    else
        placed.moveCenter(parentFrame ? parentFrame->center() : available.center());
    return keptInside(placed, available);
}

QRect WindowPlacement::keptInside(const QRect &frame, const QRect &available)
{
    if (!available.isValid())
        return frame;
    QRect inside(frame.topLeft(), frame.size().boundedTo(available.size()));
    inside.moveLeft(std::clamp(inside.left(), available.left(), available.right() + 1 - inside.width()));
    inside.moveTop(std::clamp(inside.top(), available.top(), available.bottom() + 1 - inside.height()));
    return inside;
}

} // namespace platform
