#include "platform/ui/WindowFrame.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

using platform::WindowFrame;

namespace {

QMargins shownWith(QWidget &window, const QRect &geometry)
{
    window.setGeometry(geometry);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return window.windowHandle()->frameMargins();
}

} // namespace

// A window's frame is the one the window system gave it once it shows; before, the one the window
// it belongs to has, which the same window manager will most likely give it too.
TEST(WindowFrame, IsTheShownWindowsOwnAndBeforeThatTheOneOfTheWindowBesideIt)
{
    QWidget beside;
    const QMargins frame = shownWith(beside, QRect(100, 100, 300, 200));
    ASSERT_FALSE(frame.isNull()) << "the platform frames its windows";
    EXPECT_EQ(WindowFrame::geometry(&beside), QRect(100, 100, 300, 200).marginsAdded(frame));
    EXPECT_TRUE(WindowFrame::isFramed(&beside));

    QWidget window;
    window.resize(200, 100);
    EXPECT_EQ(WindowFrame::margins(&window), QMargins()) << "none of its own yet";
    EXPECT_EQ(WindowFrame::margins(&window, &beside), frame);
    EXPECT_FALSE(WindowFrame::isFramed(&window));
    EXPECT_EQ(WindowFrame::geometry(&window), window.geometry());
    WindowFrame::moveTo(&window, QPoint(40, 50), frame);
    EXPECT_EQ(window.geometry().topLeft(), QPoint(40, 50) + QPoint(frame.left(), frame.top()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(WindowFrame::margins(&window, &beside), window.windowHandle()->frameMargins());
    EXPECT_EQ(WindowFrame::geometry(&window).topLeft(), QPoint(40, 50)) << "its frame's corner where it was put";

    QWidget frameless(nullptr, Qt::FramelessWindowHint);
    EXPECT_EQ(shownWith(frameless, QRect(10, 10, 50, 50)), QMargins());
    EXPECT_EQ(WindowFrame::margins(&frameless, &beside), QMargins()) << "shown without a frame, whatever the one beside has";
    EXPECT_FALSE(WindowFrame::isFramed(&frameless));
}
