#pragma once

#include <QPointF>
#include <Qt>

namespace platform {

// A pointer event as a View's handlers receive it: locations already in y-up geometry.
struct MouseEvent
{
    // The window's base coordinates: y-up from the lower-left corner of the top-level widget.
    QPointF locationInWindow;
    // The receiving view's own coordinates (y-up unless the view is flipped).
    QPointF location;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    // 2 for the second press of a double click and its release.
    int clickCount = 0;
    // Wheel only: positive y scrolls up. Pixels when precise, else wheel steps.
    QPointF scrollingDelta;
    bool hasPreciseScrollingDeltas = false;
    // Entered, exited and moved: the tracking area that reports it.
    int trackingArea = 0;
};

} // namespace platform
