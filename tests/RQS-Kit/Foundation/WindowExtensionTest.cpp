#include "RQS-Kit/Foundation/WindowExtension.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QTest>
#include <QWidget>

TEST(WindowExtension, AScreenshotShowsTheWindowAloneAndASheetGoesOnTheViewsWindowElseTheActiveOrFirstVisibleOne)
{
    QWidget window;
    window.resize(120, 80);
    auto *view = new QWidget(&window);
    view->setGeometry(20, 10, 30, 40);
    view->setAutoFillBackground(true);
    view->setPalette(QPalette(Qt::red));
    window.show();
    const QImage image = rqs::newCGImageScreenshot(view);
    const double scale = image.devicePixelRatio();
    ASSERT_EQ(image.size(), QSize(qRound(120 * scale), qRound(80 * scale)));
    EXPECT_EQ(image.pixelColor(qRound(30 * scale), qRound(20 * scale)), QColor(Qt::red));

    platform::LogCapture log;
    EXPECT_TRUE(rqs::newCGImageScreenshot(nullptr).isNull());
    EXPECT_TRUE(log.contains("Warning: No window to take a screenshot of"));

    // A sheet goes on the view's window, else the active window, else the first visible one.
    window.hide();
    QWidget tip(nullptr, Qt::ToolTip);
    tip.show();
    QWidget visible;
    visible.show();
    QWidget active;
    active.show();
    EXPECT_EQ(rqs::windowForSheetWithView(view), &window) << "even when it is not shown";
    active.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&active));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), &active);

    active.hide();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), &visible) << "the first visible window that can hold a sheet";
    visible.hide();
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), nullptr);
}
