#pragma once

#include <QRect>

#include <optional>

namespace platform {

// Where a window or a sheet goes when it first shows: centred on the window it was opened from or
// belongs to, cascaded down and right from it when that one is of the same kind (a second
// document), centred on the screen when it was opened from none; in every case shrunk and shifted
// to lie wholly inside the screen's available geometry. Rectangles are frames, decorations
// included. The one place that decides where the application's windows and alerts appear.
class WindowPlacement
{
public:
    WindowPlacement() = delete;

    static constexpr int CascadeOffset = 28;

    static QRect place(const QRect &frame, const std::optional<QRect> &parentFrame, bool cascade, const QRect &available);
    // The frame moved (and shrunk when it must) the least so that it lies inside the available area.
    static QRect keptInside(const QRect &frame, const QRect &available);
};

} // namespace platform
