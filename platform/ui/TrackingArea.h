#pragma once

#include <QFlags>
#include <QRectF>

namespace platform {

// A region of a View that reports the pointer entering, leaving and moving over it.
struct TrackingArea
{
    enum Option {
        MouseEnteredAndExited = 0x1,
        MouseMoved = 0x2,
        // The pointer counts as inside from the start, so a first move outside reports an exit.
        AssumeInside = 0x4,
        // The area is the view's bounds, whatever its size becomes; rect is not used.
        InVisibleRect = 0x8,
        // Reports only while the view's window is the active one: behind another window the
        // pointer counts as outside, and the window going inactive leaves the area.
        ActiveInKeyWindow = 0x10,
    };
    Q_DECLARE_FLAGS(Options, Option)

    // In the view's coordinates.
    QRectF rect;
    Options options = MouseEnteredAndExited;
    // Given by View::addTrackingArea.
    int identifier = 0;
};

} // namespace platform

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::TrackingArea::Options)
