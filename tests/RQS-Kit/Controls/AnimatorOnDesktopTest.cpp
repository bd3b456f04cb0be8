#include "RQS-Kit/Controls/QSAnimator.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Layer.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool isBlue(QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 60 && qGreen(pixel) < 60; }

// The left edge of the blue square within the area, -1 when the screen shows none there.
int blueLeftEdge(const QImage &area)
{
    for (int x = 0; x < area.width(); ++x)
        for (int y = 0; y < area.height(); ++y)
            if (isBlue(area.pixel(x, y)))
                return x;
    return -1;
}

} // namespace

// A change in a kit window glides on the screen: the copy of the square is shown between where it
// was and where it goes, and the real one is shown at its new place once the animation is over.
TEST(AnimatorOnDesktop, AChangeInAKitWindowGlidesOnTheScreen)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window window;
    auto *stage = new platform::View;
    window.setCentralWidget(stage);
    window.resize(300, 200);
    stage->setWantsLayer(true);
    stage->layer()->setBackgroundColor(Qt::white);
    auto *holder = new platform::Layer(stage);
    holder->setFrame(QRectF(0, 0, 300, 200));
    stage->layer()->addSublayer(holder);
    auto *square = new platform::Layer(stage);
    square->setFrame(QRectF(10, 10, 50, 50));
    square->setBackgroundColor(Qt::blue);
    holder->addSublayer(square);
    window.show();
    paintedScreen(&window);
    const QRect shown(stage->mapToGlobal(QPoint()), stage->size());
    const auto screenArea = [&] { return QGuiApplication::primaryScreen()->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height()).toImage(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return blueLeftEdge(screenArea()) == 10; }, DesktopTimeout));

    platform::LogCapture log;
    QSAnimator animator;
    animator.recordStartLayers({square}, stage);
    animator.setHideLayers({holder});
    bool done = false;
    animator.animateWithEndState(
        [&] {
            square->setFrame(QRectF(200, 120, 50, 50));
            animator.recordEndLayers({square}, stage);
        },
        [&] { done = true; });
    QList<int> places;
    // The screen nearest halfway.
    QImage between;
    int betweenX = -1;
    while (!done) {
        const QImage area = screenArea();
        const int x = blueLeftEdge(area);
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return blueLeftEdge(screenArea()) == 200; }, DesktopTimeout))
        << "shown at x " << blueLeftEdge(screenArea()) << " at the end";
}
