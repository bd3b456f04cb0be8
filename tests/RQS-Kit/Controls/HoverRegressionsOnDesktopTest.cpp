#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "platform/ui/Window.h"

#include "support/Desktop.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QLabel>
#include <QTest>

namespace {

constexpr int deadline = 10000; // milliseconds: states come at once, but the machine may be busy

// The display's pointer moved as a user would move it, and the window under it told so.
bool pointAt(const QPoint &global, QWidget *over)
{
    xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", QString::number(global.x()), QString::number(global.y())});
    return QTest::qWaitFor([&] { return QCursor::pos() == global && over->underMouse(); }, deadline);
}

QSButton *button(const QString &title, platform::View *in, const QRectF &frame)
{
    auto *made = new QSButton;
    made->setName("DefaultStyle");
    made->setTitle(title);
    in->addSubview(made);
    made->setFrame(frame);
    return made;
}

} // namespace

// Two buttons trade places under a pointer that stays where it is: the one moved away is no longer
// hovered and takes its pointing hand off the window's cursor stack, the one moved there is.
TEST(StillPointerOnDesktop, AButtonMovedFromUnderAStillPointerLosesItsHoverAndTheOneMovedThereGainsIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::Window window;
    auto *contents = new platform::View;
    window.setCentralWidget(contents);
    window.resize(400, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSButton *a = button("A", contents, QRectF(20, 80, 100, 40));
    QSButton *b = button("B", contents, QRectF(200, 80, 100, 40));
    ASSERT_TRUE(pointAt(a->mapToGlobal(QPoint(50, 20)), a));
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->buttonState() == 2; }, deadline));

    a->setFrame(QRectF(200, 20, 100, 40));
    b->setFrame(QRectF(20, 80, 100, 40));
    EXPECT_TRUE(QTest::qWaitFor([&] { return a->buttonState() == 1 && b->buttonState() == 2; }, deadline))
        << "states " << a->buttonState() << " and " << b->buttonState();
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->keys(), QVariantList{QVariant::fromValue(static_cast<QObject *>(b))}) << "only the button under the pointer";
}

namespace {

struct PanelHover : QObject, QSSingleButtonPanelDelegate
{
    void panelChangedHovered(QSSingleButtonPanel *, bool hovered) override { heard << hovered; }
    QList<bool> heard;
};

} // namespace

// The panel's ground is the whole panel: the pointer moving from it onto the panel's own label and
// button never leaves it.
TEST(StillPointerOnDesktop, ThePanelStaysHoveredWhileThePointerCrossesItsLabelAndButton)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    platform::Window parent;
    parent.setCentralWidget(new QWidget);
    parent.resize(500, 300);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QSSingleButtonPanel *panel = QSSingleButtonPanel::sharedPanel();
    PanelHover hover;
    panel->showOver(&parent, QPoint(100, 60), &hover, "The pages are ready to print, now or later.", "Print");
    QWidget *shown = panel->window()->centralWidget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->window()));
    auto *label = panel->property("label").value<QLabel *>();
    auto *printButton = panel->property("button").value<platform::Control *>();

    ASSERT_TRUE(pointAt(shown->mapToGlobal(QPoint(6, shown->height() / 2)), shown)) << "on the ground, beside the label";
    ASSERT_TRUE(QTest::qWaitFor([&] { return hover.heard == QList<bool>{true}; }, deadline));
    ASSERT_TRUE(pointAt(label->mapToGlobal(label->rect().center()), label));
    ASSERT_TRUE(pointAt(printButton->mapToGlobal(printButton->rect().center()), printButton));
    ASSERT_TRUE(pointAt(shown->mapToGlobal(QPoint(6, shown->height() / 2)), shown));
    EXPECT_EQ(hover.heard, QList<bool>{true}) << "no exit over the panel's own label and button";
    panel->hideForDelegate(&hover);
}
