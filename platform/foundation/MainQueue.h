#pragma once

#include <functional>

namespace platform {

// Work for the GUI thread, run on a later turn of its event loop even when posted from the GUI
// thread itself. Safe to call from any thread. Whatever the work needs must be captured by value
// (or by shared pointer) so that it is still there when the work runs.
class MainQueue
{
public:
    // False (and a logged warning) when there is no application to run the work.
    static bool post(std::function<void()> work);
};

} // namespace platform
