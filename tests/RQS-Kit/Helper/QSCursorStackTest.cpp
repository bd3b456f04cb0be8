#include "RQS-Kit/Helper/QSCursorStack.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

// A shown window with a view that has no cursor of its own, so that it shows the window's.
struct Window
{
    Window() : view(&widget) { widget.show(); }
    Qt::CursorShape cursor() const { return view.cursor().shape(); }
    void push(Qt::CursorShape shape, const QVariant &key) { QSCursorStack::pushCursor(shape, key, &widget); }
    void replace(Qt::CursorShape shape, const QVariant &key) { QSCursorStack::replaceCursor(shape, key, &widget); }
    void pop(const QVariant &key) { QSCursorStack::popCursorForKey(key, &widget); }
    QSCursorStack *stack() const { return QSCursorStack::cursorStackForWindow(&widget); }
    QWidget widget;
    QWidget view;
};

} // namespace

TEST(QSCursorStack, TheTopCursorIsShownWhateverIsPushedReplacedOrPoppedBelowIt)
{
    Window window;
    window.push(Qt::OpenHandCursor, 1);
    window.push(Qt::PointingHandCursor, 2);
    window.push(Qt::ClosedHandCursor, 1); // a key pushed again moves up
    EXPECT_EQ(window.cursor(), Qt::ClosedHandCursor);

    window.replace(Qt::CrossCursor, 2);
    window.replace(Qt::WaitCursor, 9);
    EXPECT_EQ(window.cursor(), Qt::ClosedHandCursor);
    window.replace(Qt::IBeamCursor, 1);
    EXPECT_EQ(window.cursor(), Qt::IBeamCursor);

    window.pop(1);
    EXPECT_EQ(window.cursor(), Qt::CrossCursor);
    window.push(Qt::PointingHandCursor, 1);
    window.pop(2);
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);
    window.pop(1);
    window.pop(1);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
}

TEST(QSCursorStack, EachWindowHasItsOwnStackAndNeedsAKey)
{
    Window first, second;
    first.push(Qt::OpenHandCursor, 1);
    second.push(Qt::SizeAllCursor, 1);
    first.pop(1);
    EXPECT_EQ(first.cursor(), Qt::ArrowCursor);
    EXPECT_EQ(second.cursor(), Qt::SizeAllCursor);

    platform::LogCapture log;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, 1, nullptr);
    first.push(Qt::OpenHandCursor, QVariant());
    first.replace(Qt::OpenHandCursor, QVariant());
    EXPECT_TRUE(first.stack()->keys().isEmpty());
    EXPECT_EQ(log.lines().filter("Warning: Neither Cursor").size(), 2);

    // A window without a cursor of its own gets none back.
    second.widget.close();
    EXPECT_EQ(second.cursor(), Qt::ArrowCursor);
}

TEST(QSCursorStack, ClosingTheWindowOrRemovingItsStackGivesTheWindowItsCursorBack)
{
    Window window;
    window.widget.setCursor(Qt::WhatsThisCursor);
    window.push(Qt::OpenHandCursor, 1);
    QPointer<QSCursorStack> stack = window.stack();
    window.widget.close();
    EXPECT_EQ(window.stack(), nullptr);
    EXPECT_EQ(window.cursor(), Qt::WhatsThisCursor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(stack.isNull());

    window.widget.show();
    window.push(Qt::PointingHandCursor, 2);
    ASSERT_NE(window.stack(), nullptr) << "a new push makes a new stack";
    QSCursorStack::removeCursorStackForWindow(&window.widget);
    EXPECT_EQ(window.stack(), nullptr);
    EXPECT_EQ(window.cursor(), Qt::WhatsThisCursor);

    auto *destroyed = new QWidget;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, 1, destroyed);
    ASSERT_NE(QSCursorStack::cursorStackForWindow(destroyed), nullptr);
    delete destroyed;
    EXPECT_EQ(QSCursorStack::cursorStackForWindow(destroyed), nullptr);
}

TEST(QSCursorStack, APushedCursorKeepsTheWindowsCursorRectanglesOffUntilTheStackGoes)
{
    platform::Window window;
    window.show();
    QSCursorStack::pushCursor(Qt::OpenHandCursor, 1, &window);
    EXPECT_FALSE(window.areCursorRectsEnabled());
    QSCursorStack::popCursorForKey(1, &window);
    EXPECT_FALSE(window.areCursorRectsEnabled()) << "an emptied stack still stands for the window";
    window.close();
    EXPECT_TRUE(window.areCursorRectsEnabled());

    window.show();
    QSCursorStack::pushCursor(Qt::OpenHandCursor, 1, &window);
    QSCursorStack::removeCursorStackForWindow(&window);
    EXPECT_TRUE(window.areCursorRectsEnabled());
}
