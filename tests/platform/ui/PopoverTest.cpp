#include "platform/ui/Alert.h"
#include "platform/ui/Popover.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <optional>

#include <gtest/gtest.h>

using platform::Popover;

// A 200 x 100 popover in a 600 x 400 window: on the edge asked for where it has room, else on the
// opposite one, else above; never over the rectangle it points at.
TEST(Popover, OpensWhereItHasRoomAndNeverOverWhatItPointsAt)
{
    platform::Window window;
    window.setGeometry(0, 0, 600, 400);
    auto *area = new QWidget;
    window.setCentralWidget(area);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *popover = new Popover(&window);
    popover->setFixedSize(200, 100);

    struct Case { const char *name; QRect anchor; QString side; };
    const QList<Case> cases{
        {"room on the right", {100, 150, 20, 20}, "right"},
        {"at the right edge", {560, 150, 20, 20}, "left"},
        {"a row across the window", {0, 300, 600, 20}, "above"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        popover->showRelativeToRect(c.anchor, area, Popover::Edge::Right);
        const QRect anchor(area->mapToGlobal(c.anchor.topLeft()), c.anchor.size());
        const QRect shown = popover->geometry();
        EXPECT_FALSE(shown.intersects(anchor));
        EXPECT_TRUE(window.geometry().contains(shown));
        const QString side = shown.left() > anchor.right() ? "right" : shown.right() < anchor.left() ? "left" : shown.bottom() < anchor.top() ? "above" : "below";
        EXPECT_EQ(side, c.side);
        popover->close();
    }
}

// A button row under the rectangle's row, where the popover would open centred beside it: it slides
// up to end above the buttons, still level with the row.
TEST(Popover, SlidesOffTheWindowsButtons)
{
    platform::Window window;
    window.setGeometry(0, 0, 600, 400);
    auto *area = new QWidget;
    window.setCentralWidget(area);
    auto *button = new QPushButton(QStringLiteral("Export…"), area);
    button->setGeometry(100, 330, 400, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *popover = new Popover(&window);
    popover->setFixedSize(200, 100);

    popover->showRelativeToRect(QRect(300, 300, 200, 20), area, Popover::Edge::Left);
    const QRect shown = popover->geometry();
    const QRect buttonOnScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QRect anchor(area->mapToGlobal(QPoint(300, 300)), QSize(200, 20));
    EXPECT_FALSE(shown.intersects(buttonOnScreen));
    EXPECT_EQ(shown.right(), anchor.left() - 7);
    EXPECT_EQ(shown.bottom(), buttonOnScreen.top() - 1);
}

// Escape closes the popover where the keyboard is in its window; in an alert on that window it
// answers the alert's Cancel, and in another window it is that window's, the popover staying.
TEST(Popover, TakesEscapeOnlyFromItsOwnWindowWithNoAlertAboveIt)
{
    enum class Typed { InItsWindow, InAnAlertOnItsWindow, InAnotherWindow };
    struct Case { const char *name; Typed typed; bool closes; };
    const QList<Case> cases{
        {"in its window", Typed::InItsWindow, true},
        {"in an alert on its window", Typed::InAnAlertOnItsWindow, false},
        {"in another window", Typed::InAnotherWindow, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        platform::Window window;
        window.setGeometry(0, 0, 600, 400);
        window.setCentralWidget(new QWidget);
        platform::Window other;
        other.setGeometry(620, 0, 300, 200);
        other.show();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto *popover = new Popover(&window);
        popover->setFixedSize(200, 100);
        popover->showRelativeToRect(QRect(100, 150, 20, 20), window.centralWidget(), Popover::Edge::Right);
        ASSERT_TRUE(popover->isShown());

        std::optional<int> answer;
        QWidget *typedIn = &window;
        if (c.typed == Typed::InAnAlertOnItsWindow) {
            platform::Alert alert;
            alert.setMessageText("Both sides?");
            alert.addButtonWithTitle("Both Sides");
            alert.addButtonWithTitle("Cancel");
            alert.beginSheetModalForWindow(&window, [&](int code) { answer = code; });
            typedIn = window.attachedSheet();
            ASSERT_NE(qobject_cast<QMessageBox *>(typedIn), nullptr);
        } else if (c.typed == Typed::InAnotherWindow) {
            typedIn = &other;
        }
        typedIn->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(typedIn));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : typedIn, Qt::Key_Escape);
        if (c.typed == Typed::InAnAlertOnItsWindow) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 2000)) << "the alert is left unanswered";
            EXPECT_EQ(answer.value_or(0), platform::Alert::FirstButtonReturn + 1);
        }
        EXPECT_EQ(popover->isShown(), !c.closes);
        if (auto *sheet = window.attachedSheet())
            sheet->close();
    }
}
