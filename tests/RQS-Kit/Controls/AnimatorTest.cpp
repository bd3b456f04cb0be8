#include "RQS-Kit/Controls/QSAnimator.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Layer.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "GlidingSquare.h"

#include <QImage>
#include <QPointer>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

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

// A window of 300 x 200 whose stage (a layer-backed view) holds a blue square at (10, 10).
struct WindowKind
{
    const char *name;
    std::function<QWidget *(platform::View *&stage)> make;
};

const WindowKind windowKinds[] = {
    {"a kit window whose content view is the stage",
     [](platform::View *&stage) {
         auto *window = new platform::Window;
         stage = new platform::View;
         window->setCentralWidget(stage);
         return window;
     }},
    {"a kit window whose content is a plain widget holding the stage",
     [](platform::View *&stage) {
         auto *window = new platform::Window;
         auto *content = new QWidget;
         window->setCentralWidget(content);
         auto *layout = new QVBoxLayout(content);
         layout->setContentsMargins(0, 0, 0, 0);
         stage = new platform::View;
         layout->addWidget(stage);
         return window;
     }},
    {"a view that is its own window",
     [](platform::View *&stage) {
         stage = new platform::View;
         return stage;
     }},
};

} // namespace

// The copies glide: drawn between the two states, never jumping from one to the other.
TEST(ViewChangeAnimator, AnimatesInEveryKindOfWindowOverItsContent)
{
    for (const WindowKind &kind : windowKinds) {
        SCOPED_TRACE(kind.name);
        platform::View *stage = nullptr;
        const std::unique_ptr<QWidget> window(kind.make(stage));
        window->resize(300, 200);
        GlidingSquare scene(stage);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_EQ(GlidingSquare::blueLeftEdge(window->grab().toImage()), 10);

        platform::LogCapture log;
        QSAnimator animator;
        bool done = false;
        scene.glide(animator, done);
        QList<int> shown;
        while (!done) {
            shown << GlidingSquare::blueLeftEdge(window->grab().toImage());
            QTest::qWait(5);
        }
        EXPECT_EQ(log.lines(), QStringList());
        QStringList places;
        for (int x : shown)
            if (places.isEmpty() || places.last() != QString::number(x))
                places << QString::number(x);
        EXPECT_TRUE(std::any_of(shown.cbegin(), shown.cend(), [](int x) { return x > 10 && x < 200; }))
            << "shown at x " << places.join(' ').toStdString();
        EXPECT_FALSE(shown.contains(-1)) << "shown at x " << places.join(' ').toStdString();
        EXPECT_EQ(GlidingSquare::blueLeftEdge(window->grab().toImage()), 200);
        QList<platform::View *> views = window->findChildren<platform::View *>();
        views.removeAll(stage);
        EXPECT_TRUE(views.isEmpty()) << "the overlay is gone";
    }
}

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

// The views an animation changes may go while it runs, also from its own blocks: the end block
// swaps the window's central view (deleting the old one with the overlay on it) or deletes the
// window later, the caller deletes the window or the animator, the completion deletes the window.
// The completion runs once whatever went, an end block not yet run is dropped with the window, and
// a window that stays can be resized again.
TEST(ViewChangeAnimator, ViewsThatGoWhileItAnimatesEndTheAnimationAndItsCompletionRunsOnce)
{
    enum class Went { CentralViewSwapped, WindowDeletedAtOnce, WindowDeletedLaterInTheEndBlock, AnimatorDeletedInTheEndBlock,
                      WindowDeletedInTheCompletion };
    const struct
    {
        const char *name;
        Went went;
        bool endBlockRuns, windowStays;
    } cases[] = {
        {"the end block sets a new central view", Went::CentralViewSwapped, true, true},
        {"the window deleted as the animation begins", Went::WindowDeletedAtOnce, false, false},
        {"the end block deletes the window later", Went::WindowDeletedLaterInTheEndBlock, true, false},
        {"the end block deletes the animator", Went::AnimatorDeletedInTheEndBlock, true, true},
        {"the completion deletes the window", Went::WindowDeletedInTheCompletion, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<platform::Window> window = new platform::Window;
        auto *stage = new platform::View;
        window->setCentralWidget(stage);
        window->resize(300, 200);
        GlidingSquare scene(stage);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QPointer<QSAnimator> animator = new QSAnimator;
        animator->recordStartLayers({scene.square}, stage);
        animator->setHideLayers({scene.holder});
        int endBlocks = 0, completions = 0;
        QPointer<platform::View> next;
        animator->animateWithEndState(
            [&] {
                ++endBlocks;
                if (c.went == Went::CentralViewSwapped) {
                    next = new platform::View;
                    window->setCentralWidget(next);
                    animator->recordEndLayers({}, next);
                } else if (c.went == Went::WindowDeletedLaterInTheEndBlock) {
                    window->deleteLater();
                } else if (c.went == Went::AnimatorDeletedInTheEndBlock) {
                    delete animator;
                }
            },
            [&] {
                ++completions;
                if (c.went == Went::WindowDeletedInTheCompletion)
                    delete window;
            });
        if (c.went == Went::WindowDeletedAtOnce)
            delete window;
        EXPECT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(completions, 1);
        EXPECT_EQ(endBlocks, c.endBlockRuns ? 1 : 0);
        EXPECT_EQ(!window.isNull(), c.windowStays);
        if (window) {
            EXPECT_NE(window->minimumSize(), window->maximumSize()) << "the window can be resized again";
            QList<platform::View *> views = window->findChildren<platform::View *>();
            views.removeAll(next.data());
            views.removeAll(stage);
            EXPECT_TRUE(views.isEmpty()) << "the overlay is gone";
        }
        delete animator;
        delete window;
    }
}
