#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSSimpleColorWell.h"
#include "platform/ui/ColorPanel.h"

#include "support/PlacedPointer.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

// Each of the six states draws its overlay: at rest the plain one, hovered the hover one, pressed
// the pressed one; an active well at rest looks pressed, hovered looks hovered and pressed shows the
// plain overlay. The overlays here are red, green and blue over a grid that lets no colour through.
TEST(SimpleColorWell, EachOfTheSixStatesDrawsItsOverlay)
{
    rqs::registerKitClasses();
    QTemporaryDir bundle;
    QImage grid(40, 24, QImage::Format_ARGB32);
    grid.fill(Qt::transparent);
    ASSERT_TRUE(grid.save(bundle.filePath("SimpleColorWellGrid.png")));
    for (const auto &[name, colour] : {std::pair{"SimpleColorWellOverlay", QColor(Qt::red)},
                                       {"SimpleColorWellOverlayHover", QColor(Qt::green)},
                                       {"SimpleColorWellOverlayDown", QColor(Qt::blue)}}) {
        QImage overlay(40, 24, QImage::Format_ARGB32);
        overlay.fill(colour);
        ASSERT_TRUE(overlay.save(bundle.filePath(QString(name) + ".png")));
    }
    MainBundleScope scope(bundle.path());
    const auto closePanel = qScopeGuard([] { platform::ColorPanel::sharedColorPanel()->dialog()->hide(); });
    QWidget window;
    window.setGeometry(300, 300, 110, 60);
    auto *well = new QSSimpleColorWell(&window);
    well->setGeometry(0, 0, 40, 24);
    well->setColor(Qt::yellow);
    placePointerAway();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    enum Step { Away, Over, Press, ReleaseInside };
    const QPoint inside(20, 12), outside(80, 40);
    const struct
    {
        Step step;
        int state;
        bool active;
        QColor overlay;
    } steps[] = {
        {Away, 0, false, Qt::red},         {Over, 1, false, Qt::green}, {Press, 2, false, Qt::blue},
        {ReleaseInside, 3, true, Qt::blue}, {Away, 3, true, Qt::blue},   {Over, 4, true, Qt::green},
        {Press, 5, true, Qt::red},         {ReleaseInside, 0, false, Qt::red},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << (&s - steps));
        switch (s.step) {
        case Away: QTest::mouseMove(well, outside); break;
        case Over: QTest::mouseMove(well, inside); break;
        case Press: QTest::mousePress(well, Qt::LeftButton, {}, inside); break;
        case ReleaseInside: QTest::mouseRelease(well, Qt::LeftButton, {}, inside); break;
        }
        // The colour panel that activation opens would stand between the pointer and the well.
        platform::ColorPanel::sharedColorPanel()->dialog()->move(0, 400);
        EXPECT_EQ(well->wellState(), s.state);
        EXPECT_EQ(well->isActive(), s.active);
        const QImage drawn = PixelProbe::drawn(*well);
        EXPECT_TRUE(PixelProbe::isNear(drawn, inside, s.overlay)) << PixelProbe::describe(drawn, inside).toStdString();
    }
}
