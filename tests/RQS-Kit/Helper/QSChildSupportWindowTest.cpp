#include "RQS-Kit/Helper/QSChildSupportWindow.h"

#include "support/Desktop.h"
#include "support/Xdotool.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QSpontaneKeyEvent>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

// A parent with a child window; the child is key.
class ChildSupportWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.resize(300, 200);
        parent.show();
        child.resize(100, 50);
        parent.addChildWindow(&child);
        child.show();
        child.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&child));
    }

    QSChildSupportWindow parent;
    QSChildSupportWindow child;
};

} // namespace

TEST_F(ChildSupportWindow, CountsAsKeyWhileItsChildIsKeyAlsoAsAPlainWindow)
{
    const platform::Window &asPlatformWindow = parent;
    EXPECT_TRUE(asPlatformWindow.isKeyWindow());
    EXPECT_EQ(platform::Window::keyWindow(), &parent);
    child.close();
    EXPECT_EQ(parent.isKeyWindow(), QApplication::activeWindow() == &parent) << "answers for itself once the child is gone";
    parent.removeChildWindow(&child);
    EXPECT_EQ(platform::Window::keyWindow() == &parent, QApplication::activeWindow() == &parent);
}

TEST_F(ChildSupportWindow, ItsOwnChildrenMayNameItWithoutAnEndlessQuestion)
{
    child.addChildWindow(&parent);
    EXPECT_TRUE(parent.isKeyWindow());
    EXPECT_TRUE(child.isKeyWindow());
    child.removeChildWindow(&parent);
}

TEST_F(ChildSupportWindow, AMouseDownTakesTheKeyBackFromAChild)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), parent.mapToGlobal(QPointF(10, 10)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&parent, &press);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&parent));
}

// The close command (performClose, or the window system's close that a user asks for) of a
// child-marked window is its parent's; a close by code closes the child alone, as does any close
// of an unmarked child.
TEST_F(ChildSupportWindow, AChildMarkedWindowPassesOnlyTheCloseCommandToItsParent)
{
    const auto windowSystemClose = [](QSChildSupportWindow &window) {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        // As QTest delivers its events: sendEvent would take the flag away.
        QApplication::instance()->notify(&window, &close);
        if (close.isAccepted())
            window.hide();
    };
    const struct
    {
        const char *name;
        bool marked;
        std::function<void(QSChildSupportWindow &)> close;
        bool parentCloses;
    } cases[] = {
        {"close() of a marked child", true, [](QSChildSupportWindow &child) { child.close(); }, false},
        {"performClose of a marked child", true, [](QSChildSupportWindow &child) { child.performClose(); }, true},
        {"the window system's close of a marked child", true, windowSystemClose, true},
        {"performClose of an unmarked child", false, [](QSChildSupportWindow &child) { child.performClose(); }, false},
        {"the window system's close of an unmarked child", false, windowSystemClose, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        parent.show();
        // A parent that closed has let its children go.
        if (!parent.childWindows().contains(&child))
            parent.addChildWindow(&child);
        child.show();
        child.setIsChildWindow(c.marked);
        EXPECT_FALSE(child.canBecomeMainWindow()) << "a child belongs to its parent";
        c.close(child);
        EXPECT_EQ(parent.isVisible(), !c.parentCloses);
        EXPECT_FALSE(child.isVisible()) << "closed, or hidden with its parent";
    }
}

// A user closes a child-marked window through the window manager (Alt+F4 under openbox): its parent
// closes, and the child with it. Closed by code, the child goes alone.
TEST(ChildSupportWindowOnDesktop, TheUsersCloseOfAChildMarkedWindowClosesItsParentACloseByCodeOnlyItself)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QSChildSupportWindow parent;
    parent.setCentralWidget(new QWidget);
    parent.setGeometry(200, 150, 500, 350);
    parent.show();
    QSChildSupportWindow child;
    child.setCentralWidget(new QWidget);
    child.setIsChildWindow(true);
    child.setGeometry(300, 250, 200, 120);
    parent.addChildWindow(&child);
    const auto showChild = [&] {
        child.makeKeyAndOrderFront(nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&child, DesktopTimeout));
        ASSERT_FALSE(settledFrame(&child).isEmpty());
    };
    showChild();
    ASSERT_FALSE(settledFrame(&parent).isEmpty());

    child.close();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(serverWindowState(&child).viewable);
    EXPECT_TRUE(serverWindowState(&parent).viewable) << "a close by code is the child's own";

    if (!parent.childWindows().contains(&child))
        parent.addChildWindow(&child);
    showChild();
    xdotool(qEnvironmentVariable("DISPLAY"), {"key", "--clearmodifiers", "alt+F4"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !parent.isVisible(); }, DesktopTimeout)) << "the user's close is the parent's";
    ASSERT_TRUE(settle());
    EXPECT_FALSE(serverWindowState(&parent).viewable);
    EXPECT_FALSE(serverWindowState(&child).viewable);
}
