#include "platform/ui/Window.h"
#include "platform/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using platform::WindowPlacement;

// Hand-worked on a 1280 x 1000 area below a 24-pixel panel.
TEST(WindowPlacement, CentresOnTheParentCascadesTheSameKindAndStaysInsideTheScreen)
{
    const QRect available(0, 24, 1280, 1000);
    struct Case { const char *name; QRect frame; std::optional<QRect> parent; bool cascade; QRect placed; };
    const QList<Case> cases{
        {"centred on the parent", {0, 0, 400, 300}, QRect(100, 100, 800, 600), false, {300, 250, 400, 300}},
        {"cascaded from the parent", {0, 0, 800, 600}, QRect(100, 100, 800, 600), true, {128, 128, 800, 600}},
        {"centred on the screen", {0, 0, 600, 400}, std::nullopt, false, {340, 324, 600, 400}},
        {"parent near the bottom right", {0, 0, 600, 500}, QRect(900, 800, 300, 200), false, {680, 524, 600, 500}},
        {"cascade below the edge", {0, 0, 800, 600}, QRect(400, 400, 800, 600), true, {428, 424, 800, 600}},
        {"parent above the panel", {0, 0, 400, 300}, QRect(-200, -100, 300, 200), false, {0, 24, 400, 300}},
        {"taller than the screen", {0, 0, 500, 1400}, std::nullopt, false, {390, 24, 500, 1000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WindowPlacement::place(c.frame, c.parent, c.cascade, available), c.placed);
    }
}

// Real windows offscreen: a panel-like window centres on the document window it was opened from,
// a second document window cascades from the first, and both stay on the screen.
TEST(WindowPlacement, NewWindowsOpenOnTheirParentInsideTheScreen)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // Kinds tell apart by their controllers' classes.
    QObject documentKind;
    QTimer panelKind;
    platform::Window first;
    first.setWindowController(&documentKind);
    first.resize(300, 200);
    first.show();
    first.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&first));
    EXPECT_EQ(first.frameGeometry().center(), available.center()) << "opened from no window";
    first.move(available.right() - 310, available.bottom() - 210);

    platform::Window second;
    second.setWindowController(&documentKind);
    second.resize(300, 200);
    second.show();
    EXPECT_EQ(second.frameGeometry().bottomRight(), available.bottomRight()) << "cascaded, then kept inside";

    platform::Window panel;
    panel.setWindowController(&panelKind);
    panel.resize(100, 80);
    panel.show();
    EXPECT_EQ(panel.frameGeometry().center(), first.frameGeometry().center());
    for (const platform::Window *window : {&first, &second, &panel})
        EXPECT_TRUE(available.contains(window->frameGeometry()));
}
