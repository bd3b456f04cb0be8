#include "RQS-Kit/Helper/QSToolTipController.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLayout>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// A shown window at (100, 100), 400 x 300, with a view in it.
struct ShownWindow
{
    ShownWindow()
        : view(&window)
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

TEST(QSToolTipController, ShowsTheTextOverTheViewsWindow)
{
    ShownWindow shown;
    QSToolTipController controller;

    controller.showTooltip(QStringLiteral("Pages <b>1 & 2</b> are joined"), QPointF(20, 250), &shown.view);

    EXPECT_TRUE(isShown(controller));
    EXPECT_EQ(controller.parentWindow(), &shown.window);
    EXPECT_EQ(controller.focusView(), &shown.view);
    EXPECT_EQ(controller.focusPoint(), QPointF(20, 250));
    EXPECT_EQ(controller.toolTipLabel()->text(), QStringLiteral("Pages <b>1 &amp; 2</b> are joined"));
    EXPECT_TRUE(controller.timeOut()->isActive());
    EXPECT_EQ(controller.timeOut()->intervalAsDuration(), 30s);
    EXPECT_FALSE(controller.window()->isActiveWindow()) << "a tool tip takes no focus";
}

TEST(QSToolTipController, IsSizedToItsTextWithTheWindowsMargin)
{
    ShownWindow shown;
    QSToolTipController controller;

    controller.showTooltip(QStringLiteral("A tip"), QPointF(20, 250), &shown.view);

    const QSize label = controller.toolTipLabel()->sizeHint();
    EXPECT_GT(controller.extraSize().width(), 0);
    EXPECT_EQ(controller.window()->size(), label + controller.extraSize());
    controller.window()->layout()->activate();
    EXPECT_EQ(controller.window()->size() - controller.toolTipLabel()->size(), controller.extraSize());
}

TEST(QSToolTipController, HangsBelowThePointInsideTheWindowsFrame)
{
    ShownWindow shown;
    const QRect frame = shown.window.frameGeometry();
    const QPoint origin = shown.window.mapToGlobal(QPoint(0, 0));
    const QString wide = QString(200, QLatin1Char('W'));
    QSToolTipController controller;
    controller.showTooltip(QStringLiteral("Tip"), QPointF(0, 0), &shown.view);
    const QSize tip = controller.window()->size();
    controller.showTooltip(wide, QPointF(0, 0), &shown.view);
    const QSize wideTip = controller.window()->size();
    ASSERT_GT(wideTip.width(), frame.width());

    const struct {
        const char *name;
        QString text;
        QPointF point; // y-up in the window
        QPoint expected;
    } cases[] = {
        {"inside", QStringLiteral("Tip"), QPointF(20, 250), origin + QPoint(20, 50)},
        {"right edge", QStringLiteral("Tip"), QPointF(395, 250),
         QPoint(frame.x() + frame.width() - tip.width(), origin.y() + 50)},
        {"bottom edge", QStringLiteral("Tip"), QPointF(20, 2),
         QPoint(origin.x() + 20, frame.y() + frame.height() - tip.height())},
        {"wider than the frame", wide, QPointF(200, 250), QPoint(frame.x(), origin.y() + 50)},
    };
    for (const auto &c : cases) {
        controller.showTooltip(c.text, c.point, &shown.view);
        EXPECT_EQ(controller.window()->pos(), c.expected) << c.name;
    }
}

TEST(QSToolTipController, HiddenOnlyByItsOwnView)
{
    ShownWindow shown;
    QWidget other(&shown.window);
    QSToolTipController controller;
    controller.showTooltip(QStringLiteral("Tip"), QPointF(20, 250), &shown.view);

    controller.hideForView(&other);
    EXPECT_TRUE(isShown(controller));

    controller.hideForView(&shown.view);
    EXPECT_FALSE(isShown(controller));
    EXPECT_FALSE(controller.timeOut()->isActive());
    EXPECT_EQ(controller.parentWindow(), nullptr);
    EXPECT_EQ(controller.focusView(), &shown.view) << "the focus view stays recorded";
}

TEST(QSToolTipController, HidesAfterItsTimeOut)
{
    ShownWindow shown;
    QSToolTipController controller;
    controller.setTimeOutInterval(0ms);
    controller.showTooltip(QStringLiteral("Tip"), QPointF(20, 250), &shown.view);
    ASSERT_TRUE(isShown(controller));

    EXPECT_TRUE(QTest::qWaitFor([&] { return !isShown(controller); }));
    EXPECT_EQ(controller.parentWindow(), nullptr);
}

TEST(QSToolTipController, HidesWhenTheViewsWindowCloses)
{
    ShownWindow shown;
    QSToolTipController controller;
    controller.showTooltip(QStringLiteral("Tip"), QPointF(20, 250), &shown.view);

    shown.window.close();

    EXPECT_FALSE(isShown(controller));
    EXPECT_FALSE(controller.timeOut()->isActive());
}

TEST(QSToolTipController, HidesWhenTheViewsWindowIsDestroyed)
{
    auto *window = new QWidget;
    auto *view = new QWidget(window);
    window->show();
    QSToolTipController controller;
    controller.showTooltip(QStringLiteral("Tip"), QPointF(20, 50), view);
    ASSERT_TRUE(isShown(controller));

    delete window;

    EXPECT_FALSE(isShown(controller));
    EXPECT_EQ(controller.focusView(), nullptr);
}

TEST(QSToolTipController, ANewTipHidesTheOldOneFirst)
{
    ShownWindow first;
    ShownWindow second;
    QSToolTipController controller;
    controller.showTooltip(QStringLiteral("First"), QPointF(20, 250), &first.view);

    controller.showTooltip(QStringLiteral("Second"), QPointF(20, 250), &second.view);
    EXPECT_EQ(controller.parentWindow(), &second.window);
    EXPECT_EQ(controller.focusView(), &second.view);

    first.window.close();
    EXPECT_TRUE(isShown(controller)) << "the first window no longer concerns the tip";

    controller.showTooltip(QString(), QPointF(20, 250), &second.view);
    EXPECT_FALSE(isShown(controller)) << "an empty text only hides";
}

TEST(QSToolTipController, ShowsNothingForAViewInAHiddenWindow)
{
    QWidget window;
    QWidget view(&window);
    QSToolTipController controller;

    controller.showTooltip(QStringLiteral("Tip"), QPointF(20, 50), &view);

    EXPECT_FALSE(isShown(controller));
    EXPECT_FALSE(controller.timeOut()->isActive());
}

TEST(QSToolTipController, OneSharedControllerWithItsDelay)
{
    EXPECT_EQ(QSToolTipController::sharedController(), QSToolTipController::sharedController());
    EXPECT_EQ(QSToolTipController::sharedController()->parent(), QCoreApplication::instance());
    EXPECT_DOUBLE_EQ(QSToolTipController::toolTipDelay(), 0.7);
}
