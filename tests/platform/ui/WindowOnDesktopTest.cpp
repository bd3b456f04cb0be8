#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowPlacement.h"

#include "support/Desktop.h"
#include "support/QtPrinters.h"
#include "support/Screenshot.h"
#include "support/ShownWindow.h"
#include "support/Xdotool.h"

#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Shows the window as a window manager on a loaded machine takes it in: it has already put the
// window where the application asked, and Qt has heard so, but it frames and maps the window only
// a moment later, with no move of the window's own. The window manager is held from the moment the
// window asks to be mapped until the window is shown as Qt has it.
void showFramedLate(QWidget *window)
{
    class HoldOnMapping : public QObject
    {
    public:
        bool eventFilter(QObject *, QEvent *event) override
        {
            // A window's native window hears of its showing after the widget has been placed and
            // before it asks to be mapped.
            if (event->type() == QEvent::Show && !held) {
                EXPECT_TRUE(settle());
                held.emplace();
            }
            return false;
        }
        std::optional<WindowManagerHeld> held;
    } hold;
    window->winId();
    window->windowHandle()->installEventFilter(&hold);
    window->show();
    window->windowHandle()->removeEventFilter(&hold);
    ASSERT_TRUE(hold.held && hold.held->holds()) << "FOLDWISE_TEST_WM_PID names no window manager to hold (scripts/test sets it)";
    EXPECT_FALSE(serverWindowState(window).managed) << "not framed while the window manager is held";
}

// Drags the window by its title bar, as a user moves it: the window manager moves it, and the
// application hears of it only afterwards. The button is let go only once the window manager has
// handled the moves: one late on a loaded machine that read the press after the release would not
// move the window at all.
void dragByTitleBar(const QWidget *window, const QRect &frame, const QPoint &by)
{
    const QPoint titleBar(frame.center().x(), (frame.top() + window->geometry().top()) / 2);
    const QString display = qEnvironmentVariable("DISPLAY");
    const auto pointerTo = [&](const QPoint &point) {
        xdotool(display, {"mousemove", "--sync", QString::number(point.x()), QString::number(point.y())});
    };
    pointerTo(titleBar);
    xdotool(display, {"mousedown", "1"});
    EXPECT_TRUE(settle());
    // In steps, as a hand moves: the window manager starts a move once the pointer has gone a few pixels.
    constexpr int steps = 10;
    for (int step = 1; step <= steps; ++step)
        pointerTo(titleBar + by * step / steps);
    EXPECT_TRUE(settle());
    xdotool(display, {"mouseup", "1"});
}

// A window manager late on a loaded machine, as a window meets it: held from the moment it maps
// the window, it has taken the window in and is late with all that follows, the keyboard the window
// then asks for included. What the window does before Qt hears back of that request (Qt sends it
// to the window manager by way of the root window, which copies it to Qt as well) can be run then.
class LateWindowManager : public QAbstractNativeEventFilter
{
public:
    explicit LateWindowManager(const QWidget *window, std::function<void()> beforeQtHearsBack = {})
        : m_window(window)
        , m_beforeQtHearsBack(std::move(beforeQtHearsBack))
    {
        xcb_connection_t *x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr), &std::free);
        m_activeWindow = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
        qApp->installNativeEventFilter(this);
    }
    ~LateWindowManager() override { qApp->removeNativeEventFilter(this); }
    LateWindowManager(const LateWindowManager &) = delete;
    LateWindowManager &operator=(const LateWindowManager &) = delete;

    bool holds() const { return m_held && m_held->holds(); }
    void release() { m_held.reset(); }

    // Before Qt handles the event, and so before the window asks for the keyboard it waits for.
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if (type != "xcb_generic_event_t")
            return false;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !m_held
            && isTheWindow(reinterpret_cast<const xcb_map_notify_event_t *>(event)->window))
            m_held.emplace();
        const auto *request = reinterpret_cast<const xcb_client_message_event_t *>(event);
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && request->type == m_activeWindow && isTheWindow(request->window)
            && m_beforeQtHearsBack)
            std::exchange(m_beforeQtHearsBack, {})();
        return false;
    }

private:
    bool isTheWindow(xcb_window_t id) const
    {
        const QWindow *native = m_window->windowHandle();
        return native && native->handle() && native->winId() == id;
    }

    const QWidget *m_window;
    std::function<void()> m_beforeQtHearsBack;
    xcb_atom_t m_activeWindow = XCB_ATOM_NONE;
    std::optional<WindowManagerHeld> m_held;
};

class WindowOnDesktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FOLDWISE_REQUIRE_DESKTOP();
        if (qEnvironmentVariableIsEmpty("FOLDWISE_TEST_WM_PID"))
            GTEST_SKIP() << "FOLDWISE_TEST_WM_PID names no window manager to hold (scripts/test sets it)";
    }

    // A window shown by a controller of its own, which the application places on its first showing.
    static void controlled(platform::Window &window, QObject &controller, const QSize &size)
    {
        window.setWindowController(&controller);
        window.resize(size);
    }

    static QRect available(const QWidget *window) { return window->screen()->availableGeometry(); }

    // The window's frame as the X server has it, once it stands where the application puts it.
    static QRect frameOnceIn(QWidget *window, const std::function<bool(const QRect &)> &isIn)
    {
        QRect frame;
        (void)QTest::qWaitFor([&] {
            frame = settledFrame(window);
            return isIn(frame);
        }, DesktopTimeout);
        return frame;
    }
};

} // namespace

// A window taller than the screen is placed by its inner rectangle while it has no frame; once the
// window manager frames it, title bar and all, the frame is kept on the screen.
TEST_F(WindowOnDesktop, AWindowTallerThanTheScreenHasItsWholeFrameOnItWhenFramedLate)
{
    QObject controller;
    platform::Window window;
    controlled(window, controller, QSize(500, available(&window).height() + 100));
    showFramedLate(&window);
    const QRect frame = frameOnceIn(&window, [&](const QRect &frame) { return available(&window).contains(frame); });
    EXPECT_TRUE(available(&window).contains(frame)) << ::testing::PrintToString(frame) << " on " << ::testing::PrintToString(available(&window));
    EXPECT_GT(frame.height(), window.height()) << "framed by the window manager";
}

// A second window of a kind opened from one that was framed late steps down and right from that
// window's frame as the X server has it.
TEST_F(WindowOnDesktop, AWindowCascadesFromTheFrameOfOneFramedLate)
{
    QObject firstController;
    QObject secondController;
    platform::Window first;
    platform::Window second;
    controlled(first, firstController, QSize(500, 300));
    controlled(second, secondController, QSize(500, 300));
    showFramedLate(&first);
    const QRect from = settledFrame(&first);
    second.show();
    const QPoint step(platform::WindowPlacement::CascadeOffset, platform::WindowPlacement::CascadeOffset);
    const QRect frame = frameOnceIn(&second, [&](const QRect &frame) { return frame.topLeft() == from.topLeft() + step; });
    EXPECT_EQ(frame.topLeft(), from.topLeft() + step) << ::testing::PrintToString(frame) << " from " << ::testing::PrintToString(from);
}

// A child window travels with a window framed late by as much as the window moves, not by the frame
// that came since.
TEST_F(WindowOnDesktop, AChildWindowTravelsWithAWindowFramedLate)
{
    QObject controller;
    platform::Window window;
    controlled(window, controller, QSize(500, 300));
    showFramedLate(&window);
    const QRect before = settledFrame(&window);
    QWidget child(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    child.setGeometry(window.geometry().right() + 10, window.geometry().top() + 40, 120, 80);
    child.show();
    window.addChildWindow(&child);
    const QPoint childBefore = settledFrame(&child).topLeft();
    const QPoint step(50, 30);
    dragByTitleBar(&window, before, step);
    ASSERT_EQ(frameOnceIn(&window, [&](const QRect &frame) { return frame.topLeft() == before.topLeft() + step; }).topLeft(),
              before.topLeft() + step);
    EXPECT_EQ(settledFrame(&child).topLeft(), childBefore + step);
}

// A sheet begun on a window framed late shows centred over that window's frame; one too tall for
// the room above and below has its title bar on the screen.
TEST_F(WindowOnDesktop, ASheetOnAWindowFramedLateShowsCentredOverItsFrame)
{
    struct Sheet
    {
        const char *name;
        std::function<QDialog *(platform::Window &)> begin;
    };
    const QList<Sheet> sheets{
        {"an alert", [](platform::Window &window) -> QDialog * {
             platform::Alert alert;
             alert.setMessageText("The booklet was not printed.");
             alert.setInformativeText("The printer is not answering; check that it is on, then print again.");
             alert.addButtonWithTitle("OK");
             alert.beginSheetModalForWindow(&window, platform::Alert::Completion());
             return shownWindow<QMessageBox>();
         }},
        {"a sheet nearly as tall as the screen", [](platform::Window &window) -> QDialog * {
             auto *sheet = new QDialog(&window);
             sheet->resize(400, available(&window).height() - 10);
             window.beginSheet(sheet, {});
             return shownWindow<QDialog>();
         }},
    };
    for (const Sheet &kind : sheets) {
        SCOPED_TRACE(kind.name);
        QObject controller;
        platform::Window window;
        controlled(window, controller, QSize(600, 400));
        showFramedLate(&window);
        const QRect parent = settledFrame(&window);
        ASSERT_GT(parent.height(), window.height()) << "framed by the window manager";
        QDialog *sheet = kind.begin(window);
        ASSERT_NE(sheet, nullptr);
        const QRect screen = available(&window);
        const auto centred = [&](const QRect &frame) {
            const int across = std::abs(frame.center().x() - parent.center().x());
            const int down = std::abs(frame.center().y() - parent.center().y());
            const bool roomAboveAndBelow = frame.height() <= screen.height();
            return across <= 1 && (roomAboveAndBelow ? down <= 2 : frame.top() == screen.top());
        };
        const QRect frame = frameOnceIn(sheet, centred);
        EXPECT_TRUE(centred(frame)) << ::testing::PrintToString(frame) << " over " << ::testing::PrintToString(parent);
        EXPECT_GE(frame.top(), screen.top()) << "its title bar on the screen";
        if (qobject_cast<QMessageBox *>(sheet))
            saveScreenshot(paintedScreen(sheet).copy(parent.adjusted(-40, -40, 40, 40)), "alert-on-a-window-framed-late");
        window.endSheet(sheet, 0);
    }
}

// Qt counts a window key as soon as it asks the window manager for the keyboard, and hears back of
// its request on its own. A window manager late on a loaded machine has mapped the window but not
// yet handed it the keyboard when the window goes, whether before Qt heard back or after: the
// keyboard never left the window that had it, and no word of focus comes. That window is key again,
// the window manager held or not, and its shortcuts answer.
TEST_F(WindowOnDesktop, AWindowThatGoesBeforeTheWindowManagerGaveItTheKeyboardLeavesTheKeyWithTheWindowThatHasIt)
{
    struct Kind
    {
        const char *name;
        std::function<QWidget *()> make;
        std::function<void(platform::Window &, QWidget *)> show;
        std::function<void(platform::Window &, QWidget *)> end;
    };
    const QList<Kind> kinds{
        {"a window", [] { return new platform::Window; },
         [](platform::Window &, QWidget *other) { static_cast<platform::Window *>(other)->makeKeyAndOrderFront(nullptr); },
         [](platform::Window &, QWidget *other) { other->hide(); }},
        {"a child window", [] { return new platform::Window; },
         [](platform::Window &window, QWidget *child) {
             window.addChildWindow(child);
             static_cast<platform::Window *>(child)->makeKeyAndOrderFront(nullptr);
         },
         [](platform::Window &window, QWidget *child) {
             window.removeChildWindow(child);
             child->close();
         }},
        {"a sheet", [] { return new QDialog; },
         [](platform::Window &window, QWidget *sheet) { window.beginSheet(sheet, {}); },
         [](platform::Window &window, QWidget *sheet) { window.endSheet(sheet, 0); }},
    };
    for (const Kind &kind : kinds) {
        for (const bool beforeQtHearsBack : {false, true}) {
            SCOPED_TRACE(kind.name);
            SCOPED_TRACE(beforeQtHearsBack ? "gone before Qt heard back of its request" : "gone once Qt counted it key");
            platform::Window window;
            window.setGeometry(100, 100, 600, 400);
            window.makeKeyAndOrderFront(nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
            ASSERT_TRUE(settle());
            std::unique_ptr<QWidget> other(kind.make());
            other->resize(300, 120);
            // Not given the keyboard by the window manager on its own as it maps it: only when asked.
            other->setAttribute(Qt::WA_ShowWithoutActivating);
            bool gaveUp = false;
            const QMetaObject::Connection watch =
                QObject::connect(qApp, &QGuiApplication::focusWindowChanged, [&](const QWindow *active) { gaveUp = gaveUp || !active; });
            const auto unwatch = qScopeGuard([&] { QObject::disconnect(watch); });
            bool ended = false;
            const auto end = [&] {
                kind.end(window, other.get());
                ended = true;
            };
            LateWindowManager late(other.get(), beforeQtHearsBack ? std::function<void()>(end) : std::function<void()>());
            kind.show(window, other.get());
            if (beforeQtHearsBack) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, DesktopTimeout)) << "it asked for the keyboard";
            } else {
                ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == other.get(); }, DesktopTimeout))
                    << "Qt counts it key once it asked for the keyboard";
                end();
            }
            ASSERT_TRUE(late.holds()) << "the window manager held before it answered";
            EXPECT_TRUE(QTest::qWaitFor([&] { return platform::Window::keyWindow() == &window; }, DesktopTimeout))
                << "while the window manager is held";
            // A moment after its window went, Qt gives up waiting for focus to come back to it and
            // counts none active, whatever it made active since.
            (void)QTest::qWaitFor([&] { return gaveUp; }, 1000);
            EXPECT_TRUE(QTest::qWaitFor([&] { return platform::Window::keyWindow() == &window; }, DesktopTimeout))
                << "once Qt gave up waiting for focus";
            late.release();
            ASSERT_TRUE(settle());
            EXPECT_EQ(platform::Window::keyWindow(), &window) << "once the window manager has caught up";
            // As the user finds it: the window's shortcuts answer their keys.
            QAction shortcut;
            shortcut.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
            window.addAction(&shortcut);
            int triggered = 0;
            QObject::connect(&shortcut, &QAction::triggered, [&] { ++triggered; });
            xdotool(qEnvironmentVariable("DISPLAY"), {"key", "--clearmodifiers", "ctrl+e"});
            EXPECT_TRUE(QTest::qWaitFor([&] { return triggered == 1; }, DesktopTimeout)) << "Ctrl+E reaches the window";
            // The window manager draws the title bar of the window with the keyboard as active.
            if (!beforeQtHearsBack)
                saveScreenshot(paintedScreen(&window).copy(settledFrame(&window).adjusted(-20, -20, 20, 20)),
                               QString("key-back-after-%1").arg(QString(kind.name).replace(' ', '-')));
        }
    }
}
