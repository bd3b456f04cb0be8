#include "KitSenders.h"
#include "PileClicks.h"

#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/layers/Layer.h"
#include "platform/ui/Control.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>

#include <memory>

// Every kit class that tells a delegate, a target or an owner what happens holds it so that its
// end is noticed: ended first, it is told nothing more, and the class goes on working without it.
// Each class (a row of KitSenders.h) is driven through every message it sends: once with the
// delegate alive, which shows that the drive reaches it, and once after the delegate was deleted.

static_assert(!std::is_convertible_v<QSGridItemDelegate *, platform::Delegate<QSGridItemDelegate>>,
              "a delegate that is no QObject, whose end nothing could notice, does not compile");
static_assert(std::is_convertible_v<QSGridViewController *, platform::Delegate<QSGridItemDelegate>>);

using namespace kitsenders;

class KitDelegate : public ::testing::TestWithParam<Holder>
{
protected:
    void SetUp() override { rqs::registerKitClasses(); }
};

TEST_P(KitDelegate, EndedFirstIsToldNothingAndTheClassWorksOnWithoutIt)
{
    const char *name = GetParam().className;
    {
        int told = 0;
        std::unique_ptr<DelegateUse> live = GetParam().make();
        std::unique_ptr<QObject> delegate(live->attach(told));
        live->drive();
        EXPECT_GT(told, 0) << name << " told a living delegate nothing: the drive misses it";
    }
    int told = 0;
    std::unique_ptr<DelegateUse> ended = GetParam().make();
    delete ended->attach(told);
    // What it heard while it lived is not counted.
    told = 0;
    ended->drive();
    EXPECT_EQ(told, 0) << name << " told a delegate that was deleted";
    EXPECT_EQ(ended->stillWorks().toStdString(), "") << name;
}

INSTANTIATE_TEST_SUITE_P(EveryKitClassThatHoldsADelegate, KitDelegate, ::testing::ValuesIn(holders()),
                         [](const ::testing::TestParamInfo<Holder> &info) { return testName(info.param.className); });

// Every class that holds a delegate weakly (platform::WeakDelegate lists them) has a row above.
TEST(KitDelegates, EveryKitClassThatHoldsADelegateIsWalked)
{
    QStringList walked;
    for (const Holder &holder : holders())
        walked << QString::fromLatin1(holder.className);
    const QStringList found = platform::weakDelegateHolders();
    for (const QString &name : found)
        EXPECT_TRUE(walked.contains(name)) << name.toStdString() << " holds a delegate but is not walked";
    EXPECT_GE(found.size(), holders().size()) << "a walked class no longer holds a delegate";
}

// A control's target, ended first, hears nothing of the clicks, drags and keys that would send it
// the control's action; every control the interface files can make is walked.
namespace {

struct Target : QObject
{
    Q_OBJECT
public:
    explicit Target(int &told)
        : told(told)
    {
    }
    Q_INVOKABLE void act(QObject *) { ++told; }
    int &told;
};

void driveControl(platform::Control &control)
{
    for (const Step &step : controlSteps(&control))
        step();
}

} // namespace

TEST(KitDelegates, EveryKitControlsTargetEndedFirstHearsNothing)
{
    rqs::registerKitClasses();
    int controls = 0;
    for (const QString &name : platform::InterfaceLoader::registeredClassNames()) {
        ControlOnWindow on(name, nullptr);
        platform::Control *control = on.control;
        if (!control)
            continue;
        ++controls;
        int liveTold = 0;
        {
            Target live(liveTold);
            control->setTarget(&live);
            driveControl(*control);
        }
        EXPECT_GT(liveTold, 0) << name.toStdString() << " sent a living target nothing: the drive misses it";
        int told = 0;
        auto *ended = new Target(told);
        control->setTarget(ended);
        delete ended;
        driveControl(*control);
        EXPECT_EQ(told, 0) << name.toStdString() << " sent its action to a target that was deleted";
        EXPECT_EQ(control->target(), nullptr) << name.toStdString();
    }
    EXPECT_GE(controls, 10) << "the buttons, the colour wells and the gradient picker";
}

namespace {

// A shipped effect whose panel has a slider, and that slider.
std::pair<std::unique_ptr<QSEffect>, QSSlider *> effectWithSlider()
{
    rqs::registerKitFilters();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    for (const QString &name : catalog.sortedDisplayNames()) {
        std::unique_ptr<QSEffect> effect = catalog.effectForDisplayName(name);
        if (!effect)
            continue;
        for (QWidget *control : effect->settingsView()->settingsControls()) {
            if (auto *slider = qobject_cast<QSSlider *>(control))
                return {std::move(effect), slider};
        }
    }
    return {};
}

void clickWithThePointer(const QPoint &global)
{
    if (QCursor::pos() != global)
        xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
    xdotool(qEnvironmentVariable("DISPLAY"), {"click", "1"});
}

} // namespace

// On a real window: the pile whose delegate was deleted, and an effect's panel whose effect was
// deleted, clicked with the real pointer, tell nobody and stay on the screen as they were; the
// panel's slider still moves.
TEST(KitDelegatesOnDesktop, APileAndAnEffectPanelClickedAfterWhatTheyTellWentStayAndWork)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    platform::Window window;
    window.setCentralWidget(new QWidget);
    window.setGeometry(100, 100, 640, 360);
    auto *pile = new QSStackView(window.centralWidget());
    pile->setGeometry(0, 0, 300, 360);
    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QSGridItem *card = QSGridItem::gridItem(picture, QString(), 1, 0);
    pile->addGridItem(card, true);
    auto [effect, slider] = effectWithSlider();
    ASSERT_TRUE(slider) << "a shipped effect with a slider";
    QPointer<QSEffectSettingsView> panel = effect->settingsView();
    panel->setParent(window.centralWidget());
    panel->move(320, 20);
    panel->show();
    int clicks = 0;
    PileClicks live(clicks);
    pile->setDelegate(&live);
    window.makeKeyAndOrderFront(nullptr);
    const QImage before = paintedScreen(&window);
    const QPointF cardCentre = card->layer()->convertPointToLayer(card->layer()->bounds().center(), pile->layer());
    const QPoint onCard = pile->mapToGlobal(QPoint(qRound(cardCentre.x()), qRound(pile->height() - cardCentre.y())));
    ASSERT_TRUE(PixelProbe::isNear(before, onCard, Qt::darkCyan, 40)) << PixelProbe::describe(before, onCard).toStdString();
    const QRect sliderOnScreen(slider->mapToGlobal(QPoint(0, 0)), slider->size());
    clickWithThePointer(onCard);
    ASSERT_TRUE(settle());
    ASSERT_EQ(clicks, 1) << "the click on the card reaches the pile's delegate";

    auto *gone = new PileClicks(clicks);
    pile->setDelegate(gone);
    delete gone;
    effect.reset();
    const int value = slider->value();
    clickWithThePointer(onCard);
    clickWithThePointer(sliderOnScreen.center() + QPoint(sliderOnScreen.width() / 2 - 4, 0));
    xdotool(qEnvironmentVariable("DISPLAY"), {"key", "End"});
    ASSERT_TRUE(settle());
    const QImage after = paintedScreen(&window);
    saveScreenshot(after.copy(window.frameGeometry()), "KitDelegatesOnDesktop-pile-and-panel-after-their-delegates-went");

    EXPECT_EQ(clicks, 1) << "the pile told a delegate that was deleted";
    EXPECT_TRUE(PixelProbe::isNear(after, onCard, Qt::darkCyan, 40)) << PixelProbe::describe(after, onCard).toStdString();
    ASSERT_TRUE(panel);
    EXPECT_NE(slider->value(), value) << "the slider no longer moves";
    EXPECT_EQ(slider->value(), slider->maximum()) << "the slider no longer takes keys";
    EXPECT_NE(after.copy(sliderOnScreen), before.copy(sliderOnScreen)) << "the screen does not show the slider moved";
}

#include "DelegateEndTest.moc"
