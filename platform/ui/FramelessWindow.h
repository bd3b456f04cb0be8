#pragma once

#include "platform/ui/Window.h"

namespace platform {

// A window without a frame or title bar, transparent where nothing is drawn, that the user moves
// by dragging its background, and that casts a shadow (WindowShadow). Without a compositing
// manager on X11 it is an opaque panel (ClearBackground).
class FramelessWindow : public Window
{
    Q_OBJECT
public:
    // Whatever flags are asked for, the window comes out frameless.
    explicit FramelessWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace platform
