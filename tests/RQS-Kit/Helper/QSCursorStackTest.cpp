#include "RQS-Kit/Helper/QSCursorStack.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

const QVariant k1 = QStringLiteral("k1");
const QVariant k2 = QStringLiteral("k2");

QList<Qt::CursorShape> shapes(const QSCursorStack &stack)
{
    QList<Qt::CursorShape> list;
    for (const QCursor &cursor : stack.cursors())
        list.append(cursor.shape());
    return list;
}

// A shown window with a view that has no cursor of its own, so that it shows the window's.
struct Window
{
    Window()
        : view(&widget)
    {
        widget.show();
    }
    Qt::CursorShape cursor() const { return view.cursor().shape(); }
    QWidget widget;
    QWidget view;
};

} // namespace

TEST(QSCursorStack, ThePushedLastIsCurrentAndAKeyPushedAgainMovesUp)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    QSCursorStack::pushCursor(Qt::PointingHandCursor, k2, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);

    QSCursorStack::pushCursor(Qt::ClosedHandCursor, k1, &window.widget);

    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window.widget);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->keys(), (QVariantList{k2, k1}));
    EXPECT_EQ(shapes(*stack), (QList<Qt::CursorShape>{Qt::PointingHandCursor, Qt::ClosedHandCursor}));
    EXPECT_EQ(window.cursor(), Qt::ClosedHandCursor);
}

TEST(QSCursorStack, PoppingBelowTheTopChangesNothingVisibleAndTheLastPopShowsTheArrow)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    QSCursorStack::pushCursor(Qt::PointingHandCursor, k2, &window.widget);

    QSCursorStack::popCursorForKey(k1, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);

    QSCursorStack::popCursorForKey(k2, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
    ASSERT_NE(QSCursorStack::cursorStackForWindow(&window.widget), nullptr) << "and stays registered";

    QSCursorStack::popCursorForKey(k2, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
}

TEST(QSCursorStack, PoppingTheTopBringsBackThePreviousCursor)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    QSCursorStack::pushCursor(Qt::PointingHandCursor, k2, &window.widget);

    QSCursorStack::popCursorForKey(k2, &window.widget);

    EXPECT_EQ(window.cursor(), Qt::OpenHandCursor);
}

TEST(QSCursorStack, ReplacingChangesTheCurrentCursorOnlyAtTheTop)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    QSCursorStack::pushCursor(Qt::PointingHandCursor, k2, &window.widget);
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window.widget);
    ASSERT_NE(stack, nullptr);

    QSCursorStack::replaceCursor(Qt::CrossCursor, k1, &window.widget);
    EXPECT_EQ(shapes(*stack), (QList<Qt::CursorShape>{Qt::CrossCursor, Qt::PointingHandCursor}));
    EXPECT_EQ(window.cursor(), Qt::PointingHandCursor);

    QSCursorStack::replaceCursor(Qt::IBeamCursor, k2, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::IBeamCursor);

    QSCursorStack::replaceCursor(Qt::WaitCursor, QStringLiteral("absent"), &window.widget);
    EXPECT_EQ(shapes(*stack), (QList<Qt::CursorShape>{Qt::CrossCursor, Qt::IBeamCursor}));
}

TEST(QSCursorStack, EachWindowHasItsOwnStack)
{
    Window first;
    Window second;
    QObject caller;
    const QVariant key = QVariant::fromValue(&caller);
    QSCursorStack::pushCursor(Qt::OpenHandCursor, key, &first.widget);
    QSCursorStack::pushCursor(Qt::SizeAllCursor, key, &second.widget);

    QSCursorStack::popCursorForKey(key, &first.widget);

    EXPECT_EQ(first.cursor(), Qt::ArrowCursor);
    EXPECT_EQ(second.cursor(), Qt::SizeAllCursor);
    EXPECT_NE(QSCursorStack::cursorStackForWindow(&first.widget), QSCursorStack::cursorStackForWindow(&second.widget));
}

TEST(QSCursorStack, NullKeysAndWindowsChangeNothing)
{
    Window window;
    platform::LogCapture log;

    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, nullptr);
    QSCursorStack::pushCursor(Qt::OpenHandCursor, QVariant(), &window.widget);
    QSCursorStack::pushCursor(Qt::OpenHandCursor, QVariant::fromValue<QObject *>(nullptr), &window.widget);
    QSCursorStack::popCursorForKey(k1, nullptr);

    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window.widget);
    ASSERT_NE(stack, nullptr);
    EXPECT_TRUE(stack->keys().isEmpty());
    EXPECT_EQ(log.lines().filter(QStringLiteral("Warning: Neither Cursor")).size(), 2);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
}

TEST(QSCursorStack, ClosingTheWindowRemovesItsStackAndItsCursor)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    QPointer<QSCursorStack> stack = QSCursorStack::cursorStackForWindow(&window.widget);
    window.widget.hide();
    ASSERT_EQ(QSCursorStack::cursorStackForWindow(&window.widget), stack) << "hiding is no close";
    window.widget.show();

    window.widget.close();

    EXPECT_EQ(QSCursorStack::cursorStackForWindow(&window.widget), nullptr);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(stack.isNull());

    window.widget.show();
    QSCursorStack::pushCursor(Qt::PointingHandCursor, k2, &window.widget);
    ASSERT_NE(QSCursorStack::cursorStackForWindow(&window.widget), nullptr) << "a new push makes a new stack";
    EXPECT_EQ(QSCursorStack::cursorStackForWindow(&window.widget)->keys(), QVariantList{k2});
}

TEST(QSCursorStack, ADestroyedWindowTakesItsStackAlong)
{
    auto *window = new QWidget;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, window);
    QPointer<QSCursorStack> stack = QSCursorStack::cursorStackForWindow(window);
    ASSERT_FALSE(stack.isNull());

    delete window;

    EXPECT_EQ(QSCursorStack::cursorStackForWindow(window), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(stack.isNull());
}

TEST(QSCursorStack, RemovingAStackGivesTheWindowItsCursorsBack)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);

    QSCursorStack::removeCursorStackForWindow(&window.widget);
    QSCursorStack::removeCursorStackForWindow(&window.widget);
    QSCursorStack::removeCursorStackForWindow(nullptr);

    EXPECT_EQ(QSCursorStack::cursorStackForWindow(&window.widget), nullptr);
    EXPECT_EQ(window.cursor(), Qt::ArrowCursor);
}

TEST(QSCursorStack, AWindowGetsBackTheCursorItHadBefore)
{
    Window window;
    window.widget.setCursor(Qt::WhatsThisCursor);
    QSCursorStack::pushCursor(Qt::OpenHandCursor, k1, &window.widget);
    EXPECT_EQ(window.cursor(), Qt::OpenHandCursor);

    window.widget.close();

    EXPECT_EQ(window.cursor(), Qt::WhatsThisCursor);
}

TEST(QSCursorStack, DescribesItselfByItsTopKey)
{
    Window window;
    QSCursorStack::pushCursor(Qt::OpenHandCursor, QStringLiteral("page view"), &window.widget);
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window.widget);
    ASSERT_NE(stack, nullptr);

    const QString description = stack->description();

    EXPECT_TRUE(description.startsWith(QStringLiteral("Cursor stack (QSCursorStack("))) << description.toStdString();
    EXPECT_TRUE(description.endsWith(QStringLiteral(") with Cursor for QVariant(QString, page view)"))) << description.toStdString();
}
