#include "platform/foundation/Log.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "GlidingSquare.h"
#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

// A change in a kit window glides on the screen: the copy of the square is shown between where it
// was and where it goes, and the real one is shown at its new place once the animation is over.
TEST(AnimatorOnDesktop, AChangeInAKitWindowGlidesOnTheScreen)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window window;
    auto *stage = new platform::View;
    window.setCentralWidget(stage);
    window.resize(300, 200);
    GlidingSquare scene(stage);
    window.show();
    paintedScreen(&window);
    const QRect shown(stage->mapToGlobal(QPoint()), stage->size());
    const auto screenArea = [&] { return QGuiApplication::primaryScreen()->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height()).toImage(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return GlidingSquare::blueLeftEdge(screenArea()) == 10; }, DesktopTimeout));

    platform::LogCapture log;
    QSAnimator animator;
    bool done = false;
    scene.glide(animator, done);
    QList<int> places;
    // The screen nearest halfway.
    QImage between;
    int betweenX = -1;
    while (!done) {
        const QImage area = screenArea();
        const int x = GlidingSquare::blueLeftEdge(area);
        if (places.isEmpty() || places.last() != x)
            places << x;
        if (x > 10 && x < 200 && (between.isNull() || std::abs(x - 105) < std::abs(betweenX - 105))) {
            between = area;
            betweenX = x;
        }
        QTest::qWait(1);
    }
    QStringList told;
    for (int x : places)
        told << QString::number(x);
    EXPECT_EQ(log.lines(), QStringList());
    ASSERT_FALSE(between.isNull()) << "shown at x " << told.join(' ').toStdString();
    EXPECT_TRUE(saveScreenshot(between, QStringLiteral("animator-in-kit-window-midway")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return GlidingSquare::blueLeftEdge(screenArea()) == 200; }, DesktopTimeout))
        << "shown at x " << GlidingSquare::blueLeftEdge(screenArea()) << " at the end";
}
