#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowPlacement.h"

#include "support/Desktop.h"
#include "support/QtPrinters.h"
#include "support/Screenshot.h"
#include "support/ShownWindow.h"
#include "support/Xdotool.h"

#include <QDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

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
// application hears of it only afterwards.
void dragByTitleBar(const QWidget *window, const QRect &frame, const QPoint &by)
{
    const QPoint titleBar(frame.center().x(), (frame.top() + window->geometry().top()) / 2);
    const QString display = qEnvironmentVariable("DISPLAY");
    const auto pointerTo = [&](const QPoint &point) {
        xdotool(display, {"mousemove", "--sync", QString::number(point.x()), QString::number(point.y())});
    };
    pointerTo(titleBar);
    xdotool(display, {"mousedown", "1"});
    // In steps, as a hand moves: the window manager starts a move once the pointer has gone a few pixels.
    constexpr int steps = 10;
    for (int step = 1; step <= steps; ++step)
        pointerTo(titleBar + by * step / steps);
    xdotool(display, {"mouseup", "1"});
}

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
