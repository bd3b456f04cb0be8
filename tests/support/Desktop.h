#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

// Cases of a suite named "…OnDesktop" run on the private X display under a real window manager
// (openbox), where focus, activation and window frames behave as on a user's desktop. Without that
// display they are skipped.
inline bool runsOnDesktop()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#define FOLDWISE_REQUIRE_DESKTOP()                                                                  \
    do {                                                                                           \
        if (!runsOnDesktop())                                                                      \
            GTEST_SKIP() << "no X display with a window manager (scripts/test starts one as root)"; \
    } while (false)

// The longest a desktop case waits for the state it checks. The wait ends as soon as the state is
// there; the bound only ends a wait for a state that never comes, and it is generous because a
// machine with every core busy maps, frames and paints slowly.
constexpr int DesktopTimeout = 30000;

// A top-level window as the X server has it now, asked afresh rather than as Qt last heard of it:
// its own rectangle and its frame's on the screen (the same rectangle for a window the window
// manager does not frame).
struct ServerWindowState
{
    bool viewable = false;
    // The window manager took it into a frame of its own (it leaves override-redirect ones alone).
    bool managed = false;
    bool overrideRedirect = false;
    QRect inner;
    QRect frame;

    bool operator==(const ServerWindowState &) const = default;
};
ServerWindowState serverWindowState(const QWidget *window);

// Lets what was already set going run its course: on the desktop the window manager handles all
// that reached the X server before (a round trip through it) and Qt every event that came of it;
// then, there and offscreen, the work those events posted, and the work that posts in turn. What
// a key pressed through xdotool, or a window shown or closed, brings about has happened on return:
// a case that checks that something does not follow checks after this. False when the window
// manager does not answer.
bool settle();

// Waits until the window is mapped, taken in by the window manager (framed, unless it is one the
// window manager leaves alone), and Qt places it where the X server has it, all still so after the
// window manager has handled everything pending. Its frame then, decorations included, as the X
// server has it: Qt's own frameGeometry() may miss a frame that came after the window's last move.
// An empty rectangle when that does not come within DesktopTimeout.
QRect settledFrame(QWidget *window);

// How much of what the window draws the screen shows where Qt places it: the share of its opaque
// pixels, read back from the X server's root window, that match its own drawing (1 for a window
// that draws nothing opaque).
double shareShownOnScreen(QWidget *window, const QImage &screen);

// Waits until the window is settled (above), its animations and the application's have ended, and
// the screen shows what it draws (all but a few pixels); the whole screen then, as the X server
// shows it. When that does not come within DesktopTimeout, the screen as it is then, for the case's
// own checks to tell what is wrong.
QImage paintedScreen(QWidget *window);

// The whole screen as the X server shows it now.
QImage screenNow();

// Holds the window manager still while it lives, as a window manager on a loaded machine is late:
// windows shown meanwhile stay unmapped and unframed until it lets go, and what waits for it
// (settle(), settledFrame(), paintedScreen()) waits in vain. FOLDWISE_TEST_WM_PID names the window
// manager (scripts/test sets it); without it nothing is held. The holder is a process of its own
// that lets go also when the test's process is killed.
class WindowManagerHeld
{
public:
    WindowManagerHeld();
    ~WindowManagerHeld();
    WindowManagerHeld(const WindowManagerHeld &) = delete;
    WindowManagerHeld &operator=(const WindowManagerHeld &) = delete;

    bool holds() const { return m_holds; }

private:
    QString m_windowManager;
    // The write end of the pipe the holder reads; closing it lets the window manager go.
    int m_release = -1;
    bool m_holds = false;
};
