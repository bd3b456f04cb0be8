#include "RQS-Kit/Controls/QSAnimator.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Layer.h"
#include "platform/ui/View.h"

#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct Scene
{
    Scene()
    {
        window.resize(200, 200);
        window.setWantsLayer(true);
        for (platform::Layer *layer : {first, second}) {
            layer->setFrame(QRectF(10, 10, 50, 50));
            layer->setBackgroundColor(Qt::blue);
            layer->setOpacity(0.4);
            window.layer()->addSublayer(layer);
        }
        window.show();
    }
    platform::View window;
    platform::Layer *first = new platform::Layer(&window);
    platform::Layer *second = new platform::Layer(&window);
};

} // namespace

TEST(ViewChangeAnimator, EndsInTheFinalStateWithTheHiddenLayersOpacitiesBack)
{
    Scene scene;
    QSAnimator animator;
    animator.recordStartLayers({scene.first}, &scene.window);
    animator.setHideLayers({scene.first, scene.second});
    bool done = false;
    bool fixedWhileRunning = false;
    animator.animateWithEndState(
        [&] {
            EXPECT_EQ(scene.first->opacity(), 0) << "hidden while the copies show";
            fixedWhileRunning = scene.window.minimumSize() == scene.window.maximumSize();
            scene.first->setFrame(QRectF(100, 120, 50, 50));
            animator.recordEndLayers({scene.first}, &scene.window);
        },
        [&] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    EXPECT_TRUE(fixedWhileRunning);
    EXPECT_NE(scene.window.minimumSize(), scene.window.maximumSize());
    EXPECT_EQ(scene.first->frame(), QRectF(100, 120, 50, 50));
    EXPECT_DOUBLE_EQ(scene.first->opacity(), 0.4);
    EXPECT_DOUBLE_EQ(scene.second->opacity(), 0.4);
    EXPECT_EQ(scene.window.findChildren<platform::View *>().size(), 0) << "the overlay is gone";
}

TEST(ViewChangeAnimator, AFinalStateWithFewerGroupsAnimatesThePairsThatExist)
{
    Scene scene;
    QSAnimator animator;
    animator.recordStartLayers({scene.first}, &scene.window);
    animator.recordStartLayers({scene.second}, &scene.window);
    platform::LogCapture log;
    bool done = false;
    animator.animateWithEndState([&] { animator.recordEndLayers({scene.first}, &scene.window); },
                                 [&] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Final state recorded 1 of 2 groups")));
}
