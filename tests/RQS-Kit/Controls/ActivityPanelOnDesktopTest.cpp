#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

QString display() { return qEnvironmentVariable("DISPLAY"); }

// A click through the X server at the widget's visible centre.
void clickAtCentre(const QWidget *widget)
{
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    // A synchronised move waits for the pointer to move, which it does not when it is there.
    if (QCursor::pos() != at)
        xdotool(display(), {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    xdotool(display(), {"click", "1"});
}

} // namespace

// A button at the top of a window, under the activity panel's place: while the panel is shown it
// covers the button and takes its clicks; slid up out of sight, before its first activity and
// after its last, it lets every click through to the button.
TEST(ActivityPanelOnDesktop, AButtonUnderThePanelSlidOutOfSightGetsItsClicks)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    QWidget window;
    window.setGeometry(200, 150, 400, 300);
    auto *button = new QPushButton(QStringLiteral("Beneath"), &window);
    button->setGeometry(100, 8, 120, 26);
    QSActivityPanel activity;
    ASSERT_TRUE(activity.setWindow(&window));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
    const QRect frame = settledFrame(&window);
    ASSERT_FALSE(frame.isEmpty());
    paintedScreen(&window);
    QSignalSpy clicked(button, &QPushButton::clicked);
    const QPoint centre = button->mapToGlobal(button->rect().center());

    clickAtCentre(button);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicked.count() == 1; }, DesktopTimeout)) << "before the first activity";
    const QColor uncovered = screenNow().pixelColor(centre);

    activity.startActivity(QStringLiteral("Making the booklet"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return activity.panel()->y() == 0; }, DesktopTimeout));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !PixelProbe::isNear(screenNow(), centre, uncovered, 30); }, DesktopTimeout))
        << "the panel covers the button: " << PixelProbe::describe(screenNow(), centre).toStdString();
    saveScreenshot(screenNow().copy(frame), QStringLiteral("activity-panel-over-a-button"));
    clickAtCentre(button);
    ASSERT_TRUE(settle());
    EXPECT_EQ(clicked.count(), 1) << "the shown panel takes the click";

    activity.stopActivity(QStringLiteral("Making the booklet"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return activity.progressIndicator()->maximum() == 1; }, DesktopTimeout));
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelProbe::isNear(screenNow(), centre, uncovered, 30); }, DesktopTimeout))
        << "the button shows again: " << PixelProbe::describe(screenNow(), centre).toStdString();
    saveScreenshot(screenNow().copy(frame), QStringLiteral("activity-panel-slid-out-over-a-button"));
    for (int i = 2; i <= 3; ++i) {
        clickAtCentre(button);
        EXPECT_TRUE(QTest::qWaitFor([&] { return clicked.count() == i; }, DesktopTimeout)) << "click " << i << " after the last activity";
    }
}
