#pragma once

#include <QList>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <utility>

namespace platform {

class View;

// Slides views from their present frames to new ones together, then reports that they arrived.
// GUI thread.
class FrameAnimation
{
public:
    using Move = std::pair<QPointer<View>, QRectF>;

    // The platform's duration in seconds for an animation that names none: 0.25. A harness that
    // must see final frames at once sets 0.
    static double defaultDuration();
    static void setDefaultDuration(double seconds);

    // With no duration the frames are set and the completion has run on return; otherwise the
    // completion runs when the last frame is reached. Views destroyed meanwhile are skipped.
    static void run(const QList<Move> &moves, double seconds, std::function<void()> completion);
};

} // namespace platform
