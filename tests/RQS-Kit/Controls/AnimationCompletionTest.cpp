#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"
#include "RQS-Kit/Controls/QSAnimator.h"
#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Helper/QSWindowDrawer.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cctype>
#include <functional>
#include <memory>

// Every kit animation with a completion runs it exactly once, whether it reaches its end or is
// cut short: by a new change of what it animates, by a stop or a new start, or because what it
// animates, or the object that runs it, goes. Each way of one animation is a row; a row answers
// "" when all went as it should, else what did not.

using platform::Transaction;

namespace {

// Long enough for a cut to fall inside the animation.
constexpr double seconds = 0.3;

QString count(const char *what, int runs) { return runs == 1 ? QString() : QStringLiteral("%1 ran %2 times; ").arg(what).arg(runs); }

// Waits for the first run, then as long as the animation would have run and a little more, so
// that a second run would show.
void awaitRuns(const int &runs, int naturalMilliseconds)
{
    (void)QTest::qWaitFor([&] { return runs > 0; }, 5000);
    QTest::qWait(naturalMilliseconds + 200);
}

// A layer's opacity fading in a transaction of 0.3 s, cut as given.
QString transaction(const std::function<void(QPointer<platform::Layer> &)> &cut)
{
    QPointer<platform::Layer> layer = new platform::Layer;
    int runs = 0;
    Transaction::begin();
    Transaction::setAnimationDuration(seconds);
    Transaction::setCompletionBlock([&runs] { ++runs; });
    layer->setOpacity(0);
    Transaction::commit();
    QTest::qWait(50);
    cut(layer);
    awaitRuns(runs, 300);
    delete layer;
    return count("the completion", runs);
}

// A view gliding to a new frame over 0.3 s, cut as given.
QString frameAnimation(const std::function<void(QPointer<platform::View> &)> &cut)
{
    QPointer<platform::View> view = new platform::View;
    view->setFrame(QRectF(0, 0, 50, 50));
    int runs = 0;
    platform::FrameAnimation::run({{view, QRectF(100, 100, 50, 50)}}, seconds, [&runs] { ++runs; });
    QTest::qWait(50);
    cut(view);
    awaitRuns(runs, 300);
    delete view;
    return count("the completion", runs);
}

// An activity panel on a window: each started activity's work counted by its message.
struct ActivityScene
{
    ActivityScene()
    {
        rqs::registerKitClasses();
        window->resize(400, 300);
        panel->setWindow(window);
    }
    ~ActivityScene()
    {
        delete panel;
        delete window;
    }
    std::function<void()> work(const QString &message)
    {
        return [this, message] { ++runs[message]; };
    }
    // Every started activity's work ran once.
    QString report(const QStringList &started)
    {
        (void)QTest::qWaitFor([&] { return runs.size() == started.size(); }, 5000);
        QTest::qWait(800);
        QString wrong;
        for (const QString &message : started)
            wrong += count(qPrintable(QStringLiteral("the work of \"%1\"").arg(message)), runs.value(message));
        return wrong;
    }
    bool slidIn() const { return panel->panel()->y() == 0; }

    QPointer<QWidget> window = new QWidget;
    QSActivityPanel *panel = new QSActivityPanel;
    QHash<QString, int> runs;
};

QString activityWork(const std::function<QStringList(ActivityScene &)> &cut)
{
    ActivityScene scene;
    scene.panel->startActivity("A", scene.work("A"));
    QTest::qWait(100);
    const QStringList started = QStringList{"A"} + cut(scene);
    return scene.report(started);
}

// The slide out, cut as given, stops the busy bar once and only when the panel is out of sight:
// a panel shown again keeps its bar running and takes clicks again.
QString activitySlideOut(bool startAgain)
{
    ActivityScene scene;
    scene.panel->startActivity("A");
    (void)QTest::qWaitFor([&] { return scene.slidIn(); }, 5000);
    scene.panel->stopActivity("A");
    QTest::qWait(100);
    if (startAgain)
        scene.panel->startActivity("B");
    QTest::qWait(1400);
    const bool running = scene.panel->progressIndicator()->maximum() == 0;
    const bool clickable = !scene.panel->view()->testAttribute(Qt::WA_TransparentForMouseEvents);
    QString wrong;
    if (running != startAgain)
        wrong += running ? QStringLiteral("the bar runs for a hidden panel; ") : QStringLiteral("the bar stopped on a shown panel; ");
    if (clickable != startAgain)
        wrong += clickable ? QStringLiteral("the hidden panel takes clicks; ") : QStringLiteral("the shown panel lets clicks through; ");
    if (scene.slidIn() != startAgain)
        wrong += QStringLiteral("the panel is not where it should be; ");
    return wrong;
}

// A layer moved by the view-change animator over its window, cut as given; the window can be
// resized again afterwards.
struct AnimatorScene
{
    AnimatorScene()
    {
        window->resize(200, 200);
        window->setWantsLayer(true);
        layer->setFrame(QRectF(10, 10, 50, 50));
        layer->setBackgroundColor(Qt::blue);
        window->layer()->addSublayer(layer);
        window->show();
    }
    ~AnimatorScene()
    {
        delete animator;
        delete window;
    }
    void animate(int &runs)
    {
        animator->recordStartLayers({layer}, window);
        animator->setHideLayers({layer});
        animator->animateWithEndState(
            [this] {
                if (layer) {
                    layer->setFrame(QRectF(100, 120, 50, 50));
                    animator->recordEndLayers({layer}, window);
                }
            },
            [&runs] { ++runs; });
    }
    QPointer<platform::View> window = new platform::View;
    QPointer<platform::Layer> layer = new platform::Layer(window);
    QPointer<QSAnimator> animator = new QSAnimator;
};

// The cut answers what went wrong in its own part.
QString animator(const std::function<QString(AnimatorScene &)> &cut)
{
    AnimatorScene scene;
    int runs = 0;
    scene.animate(runs);
    QTest::qWait(300);
    QString wrong = cut(scene);
    awaitRuns(runs, 1000);
    wrong += count("the completion", runs);
    if (scene.window && scene.window->minimumSize() == scene.window->maximumSize())
        wrong += QStringLiteral("the window can no longer be resized; ");
    if (scene.layer && scene.layer->opacity() != 1)
        wrong += QStringLiteral("the animated layer stays hidden; ");
    return wrong;
}

// A drawer slid out over a window, cut as given; the drawer window closes once.
struct DrawerScene : QObject
{
    DrawerScene()
    {
        parent.setCentralWidget(new QWidget);
        parent.setGeometry(100, 100, 500, 300);
        parent.show();
        auto *content = new QWidget;
        content->resize(150, 100);
        drawer.setContentView(content);
        drawer.window()->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == drawer.window() && event->type() == QEvent::Close)
            ++closes;
        return false;
    }
    void show() { drawer.showOverView(parent.centralWidget()); }

    platform::Window parent;
    QSWindowDrawer drawer;
    int closes = 0;
};

QString drawer(const std::function<void(DrawerScene &)> &cut)
{
    DrawerScene scene;
    scene.show();
    cut(scene);
    awaitRuns(scene.closes, QSWindowDrawer::AnimationTime);
    return count("the close at the end of the slide", scene.closes);
}

// A grid tile removed with its fade, cut as given: at the end it is out of the grid's container,
// unless it was added again, then it is in its section and opaque.
QString gridFade(const std::function<void(QSGridViewController &, QPointer<QSGridItem> &)> &cut, bool stays)
{
    rqs::registerKitClasses();
    auto grid = std::make_unique<QSGridViewController>();
    grid->view();
    grid->scrollView()->resize(600, 400);
    const int section = grid->addSection(QSGridItem::Selectable);
    QImage picture(48, 48, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QPointer<QSGridItem> tile = grid->addImage(picture, QString(), 1, 1, section);
    grid->removeItemWithContext(1);
    QTest::qWait(50);
    cut(*grid, tile);
    QTest::qWait(600);
    QString wrong;
    if (!tile)
        return wrong;
    const bool inGrid = tile->parentWidget() && tile->parentWidget() == grid->container();
    if (inGrid != stays)
        wrong += stays ? QStringLiteral("the tile added again left the grid; ") : QStringLiteral("the faded tile stayed; ");
    if (stays && tile->layer()->opacity() != 1)
        wrong += QStringLiteral("the tile added again stays transparent; ");
    if (!tile->parent())
        delete tile;
    return wrong;
}

// A list laying out its rows, cut as given: every pass ends, with each row in its slot.
QString listPass(const std::function<void(QSListView &, QList<QPointer<QSListEntryView>> &)> &cut)
{
    auto list = std::make_unique<QSListView>();
    list->setFrame(QRectF(0, 0, 300, 200));
    QList<QPointer<QSListEntryView>> rows;
    for (int i = 0; i < 3; ++i) {
        rows << new QSBasicListEntryView;
        list->addListEntry(rows.last());
    }
    list->updateListLayout(QSListView::ImmediateAnimated);
    QTest::qWait(50);
    cut(*list, rows);
    (void)QTest::qWaitFor([&] { return list->runningAnimations() == 0; }, 5000);
    QTest::qWait(100);
    QString wrong;
    if (list->runningAnimations() != 0)
        wrong += QStringLiteral("%1 passes never ended; ").arg(list->runningAnimations());
    double y = 0;
    for (QSListEntryView *row : list->entries()) {
        if (row->frame() != QRectF(0, y, list->bounds().width(), row->preferredHeight()))
            wrong += QStringLiteral("a row is out of its slot; ");
        y += row->preferredHeight();
    }
    return wrong;
}

// The material builder's shade rows gliding into place after a pass that shows the top of the
// list, cut short or not by a pass that does not: the list ends at its top.
QString builderRows(bool cut)
{
    rqs::registerKitClasses();
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("Frames.bundle/Shades");
    QImage shade(16, 16, QImage::Format_ARGB32);
    shade.fill(QColor(0, 0, 0, 128));
    shade.save(folder.filePath("Frames.bundle/Shades/FRM-S#001#Edge#4.png"));
    rqs::setGraphicsBundlePath(folder.path());
    const auto restore = qScopeGuard([] { rqs::setGraphicsBundlePath({}); });
    QSFrameCatalog user(QSFrameCatalog::framesBundlePath(), folder.filePath("UserFrames.plist"));
    QSFrameCatalog system(QSFrameCatalog::framesBundlePath(), QString());
    QSMaterialBuilder builder(user, system);
    QWidget *window = builder.window();
    builder.addUserFrame(nullptr);
    auto *newShade = window->findChild<QComboBox *>("newShadeButton");
    for (int i = 0; i < 8; ++i) {
        newShade->setCurrentIndex(newShade->findText("Edge", Qt::MatchContains));
        builder.addNewShade(newShade);
    }
    window->resize(900, 500);
    window->show();
    QTest::qWait(600);
    QScrollBar *scroller = window->findChild<QSShadowedScrollView *>("shadesScrollView")->verticalScrollBar();
    if (scroller->maximum() == 0)
        return QStringLiteral("the rows fit without scrolling; ");
    scroller->setValue(scroller->maximum());
    builder.updateLayout(QSMaterialBuilder::Animate | QSMaterialBuilder::ScrollToTop);
    if (cut) {
        QTest::qWait(50);
        builder.updateLayout(QSMaterialBuilder::Animate);
    }
    QTest::qWait(600);
    return scroller->value() == 0 ? QString() : QStringLiteral("the list did not show its top; ");
}

struct CutShort
{
    const char *className;
    const char *way;
    std::function<QString()> run;
};

void PrintTo(const CutShort &row, std::ostream *out) { *out << row.className << ", " << row.way; }

const QList<CutShort> &cuts()
{
    using Layer = QPointer<platform::Layer>;
    using View = QPointer<platform::View>;
    static const QList<CutShort> all{
        {"platform::Transaction", "runs to its end", [] { return transaction([](Layer &) {}); }},
        {"platform::Transaction", "its value changed again with animation",
         [] {
             return transaction([](Layer &layer) {
                 Transaction::begin();
                 Transaction::setAnimationDuration(seconds);
                 layer->setOpacity(1);
                 Transaction::commit();
             });
         }},
        {"platform::Transaction", "its value set at once", [] { return transaction([](Layer &layer) { layer->setOpacity(1); }); }},
        {"platform::Transaction", "its layer deleted", [] { return transaction([](Layer &layer) { delete layer; }); }},

        {"platform::FrameAnimation", "runs to its end", [] { return frameAnimation([](View &) {}); }},
        {"platform::FrameAnimation", "its view moved again",
         [] { return frameAnimation([](View &view) { platform::FrameAnimation::run({{view, QRectF(0, 0, 50, 50)}}, seconds, {}); }); }},
        {"platform::FrameAnimation", "its view deleted", [] { return frameAnimation([](View &view) { delete view; }); }},

        {"QSActivityPanel", "the slide in runs to its end", [] { return activityWork([](ActivityScene &) { return QStringList(); }); }},
        {"QSActivityPanel", "stopped while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 scene.panel->stopActivity("A");
                 return QStringList();
             });
         }},
        {"QSActivityPanel", "stopped and another started while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 scene.panel->stopActivity("A");
                 scene.panel->startActivity("B", scene.work("B"));
                 return QStringList{"B"};
             });
         }},
        {"QSActivityPanel", "another started while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 scene.panel->startActivity("B", scene.work("B"));
                 return QStringList{"B"};
             });
         }},
        {"QSActivityPanel", "put on its window again while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 scene.panel->setWindow(scene.window);
                 return QStringList();
             });
         }},
        {"QSActivityPanel", "the panel goes while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 delete std::exchange(scene.panel, nullptr);
                 return QStringList();
             });
         }},
        {"QSActivityPanel", "its window goes while it slides in",
         [] {
             return activityWork([](ActivityScene &scene) {
                 delete scene.window;
                 return QStringList();
             });
         }},
        {"QSActivityPanel", "the slide out runs to its end", [] { return activitySlideOut(false); }},
        {"QSActivityPanel", "started again while it slides out", [] { return activitySlideOut(true); }},

        {"QSAnimator", "runs to its end", [] { return animator([](AnimatorScene &) { return QString(); }); }},
        {"QSAnimator", "a new animation started while it runs",
         [] {
             return animator([](AnimatorScene &scene) {
                 int second = 0;
                 scene.animator->animateWithEndState({}, [&second] { ++second; });
                 awaitRuns(second, 0);
                 return count("the new animation's completion", second);
             });
         }},
        {"QSAnimator", "the animator goes while it runs",
         [] {
             return animator([](AnimatorScene &scene) {
                 delete scene.animator;
                 return QString();
             });
         }},
        {"QSAnimator", "the animated window goes while it runs",
         [] {
             return animator([](AnimatorScene &scene) {
                 delete scene.window;
                 return QString();
             });
         }},

        {"QSWindowDrawer", "hidden once it slid out",
         [] {
             return drawer([](DrawerScene &scene) {
                 QTest::qWait(QSWindowDrawer::AnimationTime + 100);
                 scene.drawer.hideDrawer();
             });
         }},
        {"QSWindowDrawer", "hidden while it slides out", [] { return drawer([](DrawerScene &scene) { scene.drawer.hideDrawer(); }); }},
        {"QSWindowDrawer", "hidden again while it closes",
         [] {
             return drawer([](DrawerScene &scene) {
                 scene.drawer.hideDrawer();
                 scene.drawer.hideDrawer();
             });
         }},
        {"QSWindowDrawer", "its window closes while it closes",
         [] {
             return drawer([](DrawerScene &scene) {
                 scene.drawer.hideDrawer();
                 scene.parent.close();
             });
         }},
        {"QSWindowDrawer", "opened again while it closes, then hidden",
         [] {
             return drawer([](DrawerScene &scene) {
                 scene.drawer.hideDrawer();
                 scene.show();
                 scene.drawer.hideDrawer();
             });
         }},

        {"QSGridViewController", "the removal fade runs to its end",
         [] { return gridFade([](QSGridViewController &, QPointer<QSGridItem> &) {}, false); }},
        {"QSGridViewController", "laid out again while a tile fades",
         [] { return gridFade([](QSGridViewController &grid, QPointer<QSGridItem> &) { grid.refreshLayout(2); }, false); }},
        {"QSGridViewController", "the tile added again while it fades",
         [] { return gridFade([](QSGridViewController &grid, QPointer<QSGridItem> &tile) { grid.addGridItem(tile, 0); }, true); }},
        {"QSGridViewController", "its section removed while the tile fades",
         [] { return gridFade([](QSGridViewController &grid, QPointer<QSGridItem> &) { grid.removeSection(0); }, false); }},
        {"QSGridViewController", "the tile deleted while it fades",
         [] { return gridFade([](QSGridViewController &, QPointer<QSGridItem> &tile) { delete tile; }, false); }},

        {"QSMaterialBuilder", "a pass of the shade rows runs to its end", [] { return builderRows(false); }},
        {"QSMaterialBuilder", "another pass while the shade rows glide", [] { return builderRows(true); }},

        {"QSListView", "a pass runs to its end", [] { return listPass([](QSListView &, QList<QPointer<QSListEntryView>> &) {}); }},
        {"QSListView", "another pass while it runs",
         [] {
             return listPass([](QSListView &list, QList<QPointer<QSListEntryView>> &) { list.updateListLayout(QSListView::ImmediateAnimated); });
         }},
        {"QSListView", "a row removed while it runs",
         [] { return listPass([](QSListView &list, QList<QPointer<QSListEntryView>> &) { list.removeListEntryAtIndex(0); }); }},
        {"QSListView", "a row deleted while it runs",
         [] { return listPass([](QSListView &, QList<QPointer<QSListEntryView>> &rows) { delete rows[1]; }); }},
    };
    return all;
}

} // namespace

class KitAnimation : public ::testing::TestWithParam<CutShort>
{
protected:
    void TearDown() override { platform::FrameAnimation::setDefaultDuration(0.25); }
};

TEST_P(KitAnimation, RunsItsCompletionOnceWhenCutShort)
{
    EXPECT_EQ(GetParam().run().toStdString(), "") << GetParam().className << ": " << GetParam().way;
}

INSTANTIATE_TEST_SUITE_P(EveryKitAnimation, KitAnimation, ::testing::ValuesIn(cuts()),
                         [](const ::testing::TestParamInfo<CutShort> &info) {
                             std::string name = std::string(info.param.className) + "_" + info.param.way;
                             for (char &c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });
