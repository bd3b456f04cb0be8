#include "RQS-Kit/Helper/QSToolTipController.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace std::chrono_literals;

namespace {

// A shown window at (100, 100), 400 x 300, with a view in it.
struct ShownWindow
{
    ShownWindow() : view(&window)
    {
        window.setGeometry(100, 100, 400, 300);
        view.setGeometry(10, 10, 100, 50);
        window.show();
    }
    QWidget window;
    QWidget view;
};

bool isShown(QSToolTipController &controller) { return controller.window()->isVisible(); }

} // namespace

TEST(QSToolTipController, ShowsTheTextWithAMarginBelowThePointInsideTheWindowsFrame)
{
    ShownWindow shown;
    const QRect frame = shown.window.frameGeometry();
    const QPoint origin = shown.window.mapToGlobal(QPoint(0, 0));
    const QString tip = "Pages <b>1 & 2</b>";
    const QString wide = QString(200, QLatin1Char('W'));
    QSToolTipController controller;
    controller.showTooltip(tip, QPointF(0, 0), &shown.view);
    EXPECT_EQ(controller.toolTipLabel()->text(), "Pages <b>1 &amp; 2</b>");
    EXPECT_GT(controller.extraSize().width(), 0);
    const QSize size = controller.window()->size();
    EXPECT_EQ(size, controller.toolTipLabel()->sizeHint() + controller.extraSize());
    controller.showTooltip(wide, QPointF(0, 0), &shown.view);
    ASSERT_GT(controller.window()->width(), frame.width());

    const struct { const char *name; QString text; QPointF point /* y-up in the window */; QPoint expected; } cases[] = {
        {"inside", tip, QPointF(20, 250), origin + QPoint(20, 50)},
        {"right edge", tip, QPointF(395, 250), QPoint(frame.x() + frame.width() - size.width(), origin.y() + 50)},
        {"bottom edge", tip, QPointF(20, 2), QPoint(origin.x() + 20, frame.y() + frame.height() - size.height())},
        {"wider than the frame", wide, QPointF(200, 250), QPoint(frame.x(), origin.y() + 50)},
    };
    for (const auto &c : cases) {
        controller.showTooltip(c.text, c.point, &shown.view);
        EXPECT_EQ(controller.window()->pos(), c.expected) << c.name;
    }
}

TEST(QSToolTipController, HiddenByItsOwnViewItsTimeOutANewTipAndTheEndOfTheViewsWindow)
{
    ShownWindow shown, second;
    QWidget other(&shown.window);
    QSToolTipController controller;
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    controller.hideForView(&other);
    EXPECT_TRUE(isShown(controller));
    controller.hideForView(&shown.view);
    EXPECT_FALSE(isShown(controller));

    controller.setTimeOutInterval(0ms);
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    ASSERT_TRUE(isShown(controller));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !isShown(controller); }));
    controller.setTimeOutInterval(30s);

    controller.showTooltip("First", QPointF(20, 250), &shown.view);
    controller.showTooltip("Second", QPointF(20, 250), &second.view);
    shown.window.close();
    EXPECT_TRUE(isShown(controller)) << "the first window no longer concerns the tip";
    controller.showTooltip(QString(), QPointF(20, 250), &second.view);
    EXPECT_FALSE(isShown(controller)) << "an empty text only hides";
    controller.showTooltip("Tip", QPointF(20, 250), &second.view);
    second.window.close();
    EXPECT_FALSE(isShown(controller));
    controller.showTooltip("Tip", QPointF(20, 250), &shown.view);
    EXPECT_FALSE(isShown(controller)) << "the view's window is not visible";
}
