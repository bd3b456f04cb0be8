#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Helper/QSToolTipController.h"

#include "support/PlacedPointer.h"
#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

namespace {

QSToolTipController *tips() { return QSToolTipController::sharedController(); }

bool tipShownFor(QWidget *view) { return tips()->focusView() == view && tips()->window()->isVisible(); }

} // namespace

// A button's tip shows no sooner than 0.7 s after the pointer entered it, 10 points right of and
// 20 points below the pointer (y-up in the window); the disabled tip shows instead while the button
// is disabled, and a button with only a disabled tip shows nothing while enabled. Leaving hides it.
TEST(QSButton, ItsToolTipShowsAfterTheDelayBesideThePointerAndTheDisabledOneWhileDisabled)
{
    const struct
    {
        const char *button;
        QString tip, disabledTip;
        bool enabled;
        QString shown;
    } cases[] = {
        {"enabled", "Prints the booklet", "Choose a printer first", true, "Prints the booklet"},
        {"disabled", "Prints the booklet", "Choose a printer first", false, "Choose a printer first"},
        {"enabled, only a disabled tip", "", "Choose a printer first", true, ""},
        {"disabled, no disabled tip", "Prints the booklet", "", false, ""},
    };
    EXPECT_EQ(QSToolTipController::toolTipDelay(), 0.7);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        QWidget window;
        window.setGeometry(300, 300, 300, 120);
        auto *button = new QSButton(&window);
        button->setGeometry(40, 30, 100, 40);
        button->setToolTip(c.tip);
        button->setDisabledToolTip(c.disabledTip);
        button->setEnabled(c.enabled);
        placePointerAway();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        const QPoint at(50, 20);
        QElapsedTimer sinceEntered;
        QTest::mouseMove(button, at);
        sinceEntered.start();
        if (c.shown.isEmpty()) {
            QTest::qWait(1200);
            EXPECT_FALSE(tipShownFor(button));
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return tipShownFor(button); }, 10000));
        // Qt's coarse timers may fire up to 5% early.
        EXPECT_GE(sinceEntered.elapsed(), 665) << "shown before the delay";
        EXPECT_TRUE(tips()->toolTipLabel()->text().contains(c.shown)) << tips()->toolTipLabel()->text().toStdString();
        const QPoint pointer = window.mapFromGlobal(QCursor::pos());
        EXPECT_EQ(pointer, button->mapTo(&window, at)) << "where the pointer is";
        EXPECT_EQ(tips()->focusPoint(), QPointF(pointer.x() + 10, window.height() - pointer.y() - 20));

        QTest::mouseMove(&window, QPoint(250, 100));
        EXPECT_FALSE(tipShownFor(button)) << "hidden on leaving";
    }
}

// On the desktop, with the real pointer: the tip is a window of its own that comes no sooner than
// the delay, with its top left corner 10 points right of and 20 points below the pointer, shows
// its text on the screen, and goes when the pointer leaves the button.
TEST(QSButtonOnDesktop, ItsToolTipComesAfterTheDelayBelowAndRightOfTheRealPointer)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QWidget window;
    window.setGeometry(200, 200, 360, 160);
    auto *button = new QSButton(&window);
    button->setGeometry(40, 30, 120, 40);
    button->setToolTip("Prints the booklet");
    window.show();
    ASSERT_FALSE(settledFrame(&window).isEmpty());
    const QString display = qEnvironmentVariable("DISPLAY");
    const QPoint away = window.mapToGlobal(QPoint(300, 140));
    xdotool(display, {"mousemove", "--sync", QString::number(away.x()), QString::number(away.y())});
    ASSERT_TRUE(settle());

    const QPoint over = button->mapToGlobal(QPoint(30, 20));
    QElapsedTimer sinceEntered;
    xdotool(display, {"mousemove", "--sync", QString::number(over.x()), QString::number(over.y())});
    sinceEntered.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tipShownFor(button); }, DesktopTimeout));
    // Qt's coarse timers may fire up to 5% early.
    EXPECT_GE(sinceEntered.elapsed(), 665) << "shown before the delay";
    QWidget *tip = tips()->window();
    const QRect frame = settledFrame(tip);
    EXPECT_EQ(frame.topLeft(), over + QPoint(10, 20));
    const QImage screen = paintedScreen(tip);
    EXPECT_GT(shareShownOnScreen(tip, screen), 0.95);
    EXPECT_TRUE(saveScreenshot(screen.copy(window.frameGeometry().united(frame).adjusted(-10, -10, 10, 10)), "button-tool-tip"));

    xdotool(display, {"mousemove", "--sync", QString::number(away.x()), QString::number(away.y())});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tip->isVisible(); }, DesktopTimeout)) << "gone when the pointer left";
}
