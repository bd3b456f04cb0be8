#include "RQS-Kit/Helper/QSCursorStack.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

const QVariant k1 = "k1";
const QVariant k2 = "k2";

QList<Qt::CursorShape> shapes(const QSCursorStack *stack)
{
    QList<Qt::CursorShape> list;
    for (const QCursor &cursor : stack->cursors())
        list.append(cursor.shape());
    return list;
}

// A shown window with a view that has no cursor of its own, so that it shows the window's.
struct Window
{
    Window() : view(&widget) { widget.show(); }
    Qt::CursorShape cursor() const { return view.cursor().shape(); }
    void push(Qt::CursorShape shape, const QVariant &key) { QSCursorStack::pushCursor(shape, key, &widget); }
    void pop(const QVariant &key) { QSCursorStack::popCursorForKey(key, &widget); }
    QSCursorStack *stack() const { return QSCursorStack::cursorStackForWindow(&widget); }
    QWidget widget;
    QWidget view;
};

} // namespace

TEST(QSCursorStack, TheTopCursorIsShownWhateverIsPushedReplacedOrPoppedBelowIt)
{
    Window window;
    window.push(Qt::OpenHandCursor, k1);
    window.push(Qt::PointingHandCursor, k2);
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);
    window.push(Qt::ClosedHandCursor, k1); // a key pushed again moves up
    ASSERT_NE(window.stack(), nullptr);
    EXPECT_EQ(window.stack()->keys(), (QVariantList{k2, k1}));
    EXPECT_EQ(window.cursor(), Qt::ClosedHandCursor);
    EXPECT_TRUE(window.stack()->description().endsWith(") with Cursor for QVariant(QString, k1)"))
        << window.stack()->description().toStdString();

    QSCursorStack::replaceCursor(Qt::CrossCursor, k2, &window.widget);
    EXPECT_EQ(shapes(window.stack()), (QList<Qt::CursorShape>{Qt::CrossCursor, Qt::ClosedHandCursor}));
    EXPECT_EQ(window.cursor(), Qt::ClosedHandCursor);
    QSCursorStack::replaceCursor(Qt::IBeamCursor, k1, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::IBeamCursor);
    QSCursorStack::replaceCursor(Qt::WaitCursor, "absent", &window.widget);
    EXPECT_EQ(shapes(window.stack()), (QList<Qt::CursorShape>{Qt::CrossCursor, Qt::IBeamCursor}));

    window.pop(k1);
    EXPECT_EQ(window.cursor(), Qt::CrossCursor);
    window.push(Qt::PointingHandCursor, k1);
    window.pop(k2);
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);
    window.pop(k1);
    window.pop(k1);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
    EXPECT_NE(window.stack(), nullptr) << "an empty stack stays registered";
}

TEST(QSCursorStack, EachWindowHasItsOwnStackAndNeedsAKey)
{
    Window first, second;
    QObject caller;
    const QVariant key = QVariant::fromValue(&caller);
    first.push(Qt::OpenHandCursor, key);
    second.push(Qt::SizeAllCursor, key);
    first.pop(key);
    EXPECT_EQ(first.cursor(), Qt::ArrowCursor);
    EXPECT_EQ(second.cursor(), Qt::SizeAllCursor);
    EXPECT_NE(first.stack(), second.stack());

    platform::LogCapture log;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, nullptr);
    first.push(Qt::OpenHandCursor, QVariant());
    first.push(Qt::OpenHandCursor, QVariant::fromValue<QObject *>(nullptr));
    QSCursorStack::popCursorForKey(k1, nullptr);
    EXPECT_TRUE(first.stack()->keys().isEmpty());
    EXPECT_EQ(log.lines().filter("Warning: Neither Cursor").size(), 2);
}

TEST(QSCursorStack, ClosingTheWindowOrRemovingItsStackGivesTheWindowItsCursorBack)
{
    Window window;
    window.widget.setCursor(Qt::WhatsThisCursor);
    window.push(Qt::OpenHandCursor, k1);
    QPointer<QSCursorStack> stack = window.stack();
    window.widget.hide();
    ASSERT_EQ(window.stack(), stack) << "hiding is no close";
    window.widget.show();
    window.widget.close();
    EXPECT_EQ(window.stack(), nullptr);
    EXPECT_EQ(window.cursor(), Qt::WhatsThisCursor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(stack.isNull());

    window.widget.show();
    window.push(Qt::PointingHandCursor, k2);
    ASSERT_NE(window.stack(), nullptr) << "a new push makes a new stack";
    EXPECT_EQ(window.stack()->keys(), QVariantList{k2});
    QSCursorStack::removeCursorStackForWindow(&window.widget);
    QSCursorStack::removeCursorStackForWindow(&window.widget);
    QSCursorStack::removeCursorStackForWindow(nullptr);
    EXPECT_EQ(window.stack(), nullptr);
    EXPECT_EQ(window.cursor(), Qt::WhatsThisCursor);

    auto *destroyed = new QWidget;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, destroyed);
    stack = QSCursorStack::cursorStackForWindow(destroyed);
    ASSERT_FALSE(stack.isNull());
    delete destroyed;
    EXPECT_EQ(QSCursorStack::cursorStackForWindow(destroyed), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(stack.isNull());
}
