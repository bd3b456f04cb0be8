#include "RQS-Kit/Helper/QSChildSupportWindow.h"

#include <QMouseEvent>
#include <QTest>

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

TEST_F(ChildSupportWindow, AChildMarkedWindowClosesItsParentHoweverItIsClosed)
{
    child.setIsChildWindow(true);
    EXPECT_FALSE(child.canBecomeMainWindow()) << "it belongs to its parent";
    child.close();
    EXPECT_FALSE(parent.isVisible());
    EXPECT_FALSE(child.isVisible());
    parent.show();
    child.show();
    child.performClose();
    EXPECT_FALSE(parent.isVisible());
    child.setIsChildWindow(false);
    parent.show();
    child.show();
    child.performClose();
    EXPECT_TRUE(parent.isVisible()) << "an unmarked child closes alone";
    EXPECT_FALSE(child.isVisible());
}
