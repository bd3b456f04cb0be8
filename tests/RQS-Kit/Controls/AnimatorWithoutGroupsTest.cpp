#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSAnimator.h"
#include "RQS-Kit/Controls/QSSimpleColorWell.h"
#include "platform/foundation/Log.h"
#include "platform/ui/ColorPanel.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QScopeGuard>
#include <QTest>

#include <functional>

// Nothing recorded, there is no overlay and so no window held still: both blocks still run, in
// order, and the log says the window could not be handed back as it was.
TEST(ViewChangeAnimator, WithoutAStartGroupBothBlocksRunInOrderWithAWarning)
{
    platform::LogCapture log;
    QSAnimator animator;
    QStringList order;
    animator.animateWithEndState([&] { order << "end state"; }, [&] { order << "completion"; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return order.size() == 2; }, 5000));
    EXPECT_EQ(order, QStringList({"end state", "completion"}));
    EXPECT_EQ(log.lines().filter(QStringLiteral("Warning: Window delegate was changed during animation")).size(), 1)
        << log.lines().join('\n').toStdString();
}

// Only a click released over an enabled well switches it: a press dragged off the well and
// released there, or one whose well was disabled before the release, leaves it as it was, as a
// button pressed and not released over it does on every desktop.
TEST(SimpleColorWell, OnlyAReleaseOverTheEnabledWellSwitchesIt)
{
    rqs::registerKitClasses();
    const auto closePanel = qScopeGuard([] { platform::ColorPanel::sharedColorPanel()->dialog()->hide(); });
    const struct
    {
        const char *name;
        QPoint release;
        bool disableFirst;
        bool switches;
    } cases[] = {
        {"released over it", QPoint(20, 12), false, true},
        {"released beside it", QPoint(200, 12), false, false},
        {"disabled before the release", QPoint(20, 12), true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.resize(240, 40);
        auto *well = new QSSimpleColorWell(&window);
        well->setGeometry(0, 0, 40, 24);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::mousePress(well, Qt::LeftButton, {}, QPoint(20, 12));
        if (c.disableFirst)
            well->setEnabled(false);
        QTest::mouseRelease(well, Qt::LeftButton, {}, c.release);
        EXPECT_EQ(well->isActive(), c.switches);
        EXPECT_EQ(well->wellState(), c.switches ? 3 : 0) << "at rest, active or not";
        well->deactivate();
    }
}
