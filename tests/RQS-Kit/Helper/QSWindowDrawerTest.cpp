#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Hiding : QObject, QSSingleButtonPanelDelegate
{
    int hidden = 0;
    void panelDidHide(QSSingleButtonPanel *) override { ++hidden; }
};

} // namespace

// The closing slide outlives the window it slid over; its end must not reach for that window.
TEST(QSWindowDrawer, EndsItsClosingSlideAfterItsWindowIsGone)
{
    auto *parent = new QSChildSupportWindow;
    parent->setCentralWidget(new QWidget);
    parent->resize(400, 300);
    parent->show();
    QSWindowDrawer drawer;
    drawer.setContentView(new QWidget);
    drawer.contentView()->resize(120, 10);
    drawer.showOverView(parent->centralWidget());
    ASSERT_TRUE(parent->childWindows().contains(drawer.window()));
    drawer.hideDrawer();
    delete parent;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !drawer.window()->isVisible(); }, 5000));
}

TEST(QSSingleButtonPanel, HangsOnlyBelowAWindowAndTellsTheObjectItLeaves)
{
    rqs::registerKitClasses();
    QSSingleButtonPanel panel;
    Hiding first, second;
    panel.showOver(nullptr, {}, &first, "Nowhere", "OK");
    EXPECT_EQ(panel.delegate(), nullptr) << "no window, nothing shown";

    platform::Window parent;
    parent.show();
    panel.showOver(&parent, {10, 10}, &first, "", "OK");
    ASSERT_TRUE(panel.window() && panel.window()->isVisible());
    EXPECT_EQ(panel.window()->height(), panel.view()->findChild<QWidget *>("button")->height() + 20);
    panel.showOver(&parent, {10, 10}, &second, "Printed", "Show");
    panel.showOver(&parent, {10, 10}, &second, "Printed again", "Show");
    EXPECT_EQ(first.hidden, 1);
    EXPECT_EQ(second.hidden, 0);
    panel.hideForDelegate(&first);
    EXPECT_TRUE(panel.window()->isVisible()) << "only its own object hides it";
}

TEST(QSSingleButtonPanel, ForgetsADelegateThatIsGone)
{
    rqs::registerKitClasses();
    QSSingleButtonPanel panel;
    platform::Window parent;
    parent.show();
    auto *gone = new Hiding;
    panel.showOver(&parent, {10, 10}, gone, "Printed", "Show");
    ASSERT_EQ(panel.delegate(), gone);
    delete gone;
    EXPECT_EQ(panel.delegate(), nullptr);
    panel.buttonClicked();
    Hiding next;
    panel.showOver(&parent, {10, 10}, &next, "Again", "Show");
    EXPECT_EQ(panel.delegate(), &next);
    struct Plain : QSSingleButtonPanelDelegate
    {
    } plain;
    panel.setDelegate(&plain);
    EXPECT_EQ(panel.delegate(), nullptr) << "only a QObject can be held weakly";
}

TEST(QSWindowDrawer, FollowsTheViewsRightEdgeKeepingItsWidthWhenTheParentResizes)
{
    QSChildSupportWindow parent;
    parent.setCentralWidget(new QWidget);
    parent.resize(400, 300);
    parent.show();
    QSWindowDrawer drawer;
    drawer.setContentView(new QWidget);
    drawer.contentView()->resize(120, 10);
    drawer.showOverView(parent.centralWidget());
    QSChildSupportWindow *window = static_cast<QSChildSupportWindow *>(drawer.window());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() == 120; }, 5000));
    parent.resize(500, 350);
    const QWidget *view = parent.centralWidget();
    // The drawer follows once the parent's resize has gone through the event loop.
    (void)QTest::qWaitFor([&] { return window->height() == view->height(); }, 5000);
    const QRect viewOnScreen(view->mapToGlobal(QPoint(0, 0)), view->size());
    EXPECT_EQ(window->width(), 120);
    EXPECT_EQ(window->geometry().right(), viewOnScreen.right());
    EXPECT_EQ(window->height(), view->height());
}
