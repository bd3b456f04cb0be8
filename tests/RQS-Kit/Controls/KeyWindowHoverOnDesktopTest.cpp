#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/StillPointer.h"
#include "platform/ui/ViewEffects.h"

#include "support/Desktop.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>

#include <functional>

namespace {

// Moves the display's pointer as a user would and waits until the application has heard it there.
bool pointAt(const QPoint &global)
{
    xdotool(qEnvironmentVariable("DISPLAY"), {"mousemove", QString::number(global.x()), QString::number(global.y())});
    return QTest::qWaitFor([&] { return platform::StillPointer::position() == QPointF(global); }, DesktopTimeout);
}

// Once the widgets have heard of it too.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, DesktopTimeout);
}

// A kit view that shows the pointer over it only in the active window: how it is made in its
// window, and whether it shows the pointer now.
struct HoverKind
{
    const char *name;
    std::function<platform::View *(QWidget *window)> make;
    std::function<bool(platform::View *)> shows;
};

QSGridItem *card(int number)
{
    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    return QSGridItem::gridItem(picture, QStringLiteral("Card"), number, 0);
}

const HoverKind hoverKinds[] = {
    {"list row",
     [](QWidget *window) {
         auto *row = new QSBasicListEntryView(QSListEntryView::Removable | QSListEntryView::CopyPaste, window);
         row->setTitle(QStringLiteral("Drop shadow"));
         row->setGeometry(20, 20, 349, 45);
         return row;
     },
     [](platform::View *view) { return platform::viewAlpha(static_cast<QSBasicListEntryView *>(view)->removeButton()) == 1.0; }},
    {"row view",
     [](QWidget *window) {
         auto *row = new QSRowView(false, window);
         row->setTitle(QStringLiteral("Frame"));
         row->setDeletable(true);
         row->setGeometry(20, 20, 300, 58);
         return row;
     },
     [](platform::View *view) {
         auto *row = static_cast<QSRowView *>(view);
         return row->isHovered() && platform::viewAlpha(row->removeButton()) == 1.0;
     }},
    {"pile",
     [](QWidget *window) {
         auto *stack = new QSStackView(window);
         stack->setGeometry(20, 20, 300, 200);
         stack->addGridItem(card(0), true);
         stack->addGridItem(card(1), true);
         return stack;
     },
     [](platform::View *view) {
         const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(view->window());
         return stack && stack->keys().contains(QVariant::fromValue(static_cast<QObject *>(view)));
     }},
};

// Where the pointer rests over the view: the middle of its width, low in the pile.
QPoint restingPoint(platform::View *view)
{
    const double height = qobject_cast<QSStackView *>(view) ? static_cast<QSStackView *>(view)->trackingTop() / 2 : view->height() / 2.0;
    return view->mapToGlobal(QPoint(view->width() / 2, qRound(view->height() - height)));
}

} // namespace

// Behind another window a list row, a row view and a pile ignore the pointer over them: no
// buttons, no hover, no pointing hand. Their window made active, the pointer resting there shows
// at once; hovering goes and comes as the pointer leaves and comes back, and the other window
// made active again takes it back.
TEST(KeyWindowHoverOnDesktop, RowsAndPilesShowThePointerOverThemOnlyInTheActiveWindow)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::FrameAnimation::setDefaultDuration(0);
    const auto restore = qScopeGuard([] { platform::FrameAnimation::setDefaultDuration(0.25); });
    for (const HoverKind &kind : hoverKinds) {
        SCOPED_TRACE(kind.name);
        QWidget window;
        window.setWindowTitle(QStringLiteral("Rows"));
        window.setGeometry(120, 140, 420, 260);
        platform::View *view = kind.make(&window);
        QLabel other(QStringLiteral("Another window, active"));
        other.setGeometry(700, 140, 300, 160);
        window.show();
        other.show();
        ASSERT_FALSE(settledFrame(&window).isEmpty());
        ASSERT_FALSE(settledFrame(&other).isEmpty());
        ASSERT_TRUE(activate(&other));
        ASSERT_TRUE(settle());

        const QPoint over = restingPoint(view);
        const QPoint beside = window.mapToGlobal(QPoint(400, 250));
        ASSERT_TRUE(pointAt(beside));
        ASSERT_TRUE(pointAt(over));
        ASSERT_TRUE(settle());
        EXPECT_FALSE(kind.shows(view)) << "behind the active window";
        EXPECT_FALSE(window.isActiveWindow());

        ASSERT_TRUE(activate(&window));
        EXPECT_TRUE(QTest::qWaitFor([&] { return kind.shows(view); }, DesktopTimeout)) << "the pointer resting over it, once active";
        if (kind.shows(view) && kind.name == hoverKinds[0].name) {
            EXPECT_TRUE(saveScreenshot(paintedScreen(&window).copy(settledFrame(&window)), QStringLiteral("list-row-hovered-in-the-active-window")));
        }
        ASSERT_TRUE(pointAt(beside));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !kind.shows(view); }, DesktopTimeout)) << "the pointer gone";
        ASSERT_TRUE(pointAt(over));
        EXPECT_TRUE(QTest::qWaitFor([&] { return kind.shows(view); }, DesktopTimeout)) << "hovered again";

        ASSERT_TRUE(activate(&other));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !kind.shows(view); }, DesktopTimeout)) << "another window made active";
    }
}
