#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace platform {

// The frame the window manager put around a top-level window, decorations included, as the window
// system has it now. Read a window's frame here: QWidget's own frameGeometry() and pos() keep the
// frame Qt heard of at the window's last move, and miss one that a slow window manager added after
// it.
class WindowFrame
{
public:
    WindowFrame() = delete;

    // The frame's margins around the window. Before the window manager has taken the window in and
    // shown it, the window has no frame of its own yet: the one it will most likely get is that of
    // the window it belongs to or was opened from (beside), framed by the same window manager; none
    // without such a window.
    static QMargins margins(const QWidget *window, const QWidget *beside = nullptr);
    // The window's rectangle with its frame, on the screen.
    static QRect geometry(const QWidget *window);
    // The window manager has framed the window.
    static bool isFramed(const QWidget *window);
    // Moves the window so that its frame, of those margins, has its top-left corner there; a window
    // not framed yet is framed by the window manager where its inner rectangle then stands.
    static void moveTo(QWidget *window, const QPoint &corner, const QMargins &margins);
};

} // namespace platform
