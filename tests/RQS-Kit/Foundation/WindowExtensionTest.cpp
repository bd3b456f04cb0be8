#include "RQS-Kit/Foundation/WindowExtension.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QTest>
#include <QWidget>

namespace {

QWidget *colouredView(QWidget *parent, const QRect &frame, const QColor &color)
{
    auto *view = new QWidget(parent);
    view->setGeometry(frame);
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, color);
    view->setPalette(palette);
    return view;
}

QWidget *shownWindow()
{
    auto *window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

} // namespace

TEST(WindowExtension, AScreenshotShowsTheWholeWindowsContentAlone)
{
    QWidget window;
    window.resize(120, 80);
    QWidget *view = colouredView(&window, QRect(20, 10, 30, 40), Qt::red);
    window.show();
    const QImage image = rqs::newCGImageScreenshot(view);
    const double scale = image.devicePixelRatio();
    ASSERT_EQ(image.size(), QSize(qRound(120 * scale), qRound(80 * scale)));
    EXPECT_EQ(image.pixelColor(qRound(30 * scale), qRound(20 * scale)), QColor(Qt::red));

    QWidget full;
    full.showFullScreen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return full.isFullScreen(); }));
    const QImage whole = rqs::newCGImageScreenshot(&full);
    EXPECT_EQ(whole.size(), full.size() * whole.devicePixelRatio());

    platform::LogCapture log;
    EXPECT_TRUE(rqs::newCGImageScreenshot(nullptr).isNull());
    EXPECT_TRUE(log.contains("Warning: No window to take a screenshot of"));
}

TEST(WindowExtension, ASheetGoesOnTheViewsWindowElseTheActiveWindowElseTheFirstVisibleOne)
{
    QWidget window;
    QWidget *view = new QWidget(&window);
    QWidget tip(nullptr, Qt::ToolTip);
    tip.show();
    QWidget *first = shownWindow();
    QWidget *second = shownWindow();
    QWidget *third = shownWindow();
    EXPECT_EQ(rqs::windowForSheetWithView(view), &window) << "even when it is not shown";
    second->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), second);

    first->hide();
    second->close();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), third) << "the first visible window that can hold a sheet";

    third->close();
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), nullptr);
    first->close();
}
