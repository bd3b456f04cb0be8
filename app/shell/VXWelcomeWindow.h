#pragma once

namespace platform {
class Window;
} // namespace platform

// The window shown at start and in place of an untitled document.
class VXWelcomeWindow
{
public:
    virtual ~VXWelcomeWindow() = default;

    // Loaded on first use; not yet shown.
    virtual platform::Window *welcomeWindow() = 0;
};
