#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// A control whose hover someone else drives: how it is made, where it has its active part and
// where not (window points), what it shows of the hover, and how its controller turns that on and
// off.
struct RemoteKind
{
    const char *name;
    std::function<platform::View *(QWidget *window)> make;
    QPoint over, away;
    std::function<bool(platform::View *)> hovered;
    std::function<void(platform::View *, bool)> drive;
};

platform::MouseEvent at(const QPointF &location)
{
    platform::MouseEvent event;
    event.location = location;
    return event;
}

// Both editors are 200 × 200 at (50, 40) of the window, their active part at the right edge
// (the resize view's band, the rotation view's ring); the button 120 × 40 at (20, 20).
template <class Editor>
platform::View *editorIn(QWidget *window)
{
    auto *editor = new Editor(window);
    editor->setGeometry(50, 40, 200, 200);
    return editor;
}

bool editorHovered(platform::View *view) { return static_cast<QSTurnedCursorView *>(view)->currentCursor().has_value(); }

void driveEditor(platform::View *view, bool on)
{
    auto *editor = static_cast<QSTurnedCursorView *>(view);
    if (on)
        editor->mouseMoved(at(QPointF(195, 100)));
    else
        editor->mouseExited({});
}

const RemoteKind remoteKinds[] = {
    {"button",
     [](QWidget *window) {
         auto *button = new QSButton(window);
         button->setTitle(QStringLiteral("Remote"));
         button->setGeometry(20, 20, 120, 40);
         return button;
     },
     QPoint(80, 40), QPoint(200, 200), [](platform::View *view) { return static_cast<QSButton *>(view)->buttonState() == 2; },
     [](platform::View *view, bool on) { static_cast<QSButton *>(view)->setButtonState(on ? 2 : 1); }},
    {"resize view", editorIn<QSResizeView>, QPoint(245, 140), QPoint(150, 140), editorHovered, driveEditor},
    {"rotation view", editorIn<QSRotationView>, QPoint(245, 140), QPoint(150, 140), editorHovered, driveEditor},
};

} // namespace

// A remote-controlled control keeps no tracking area: the pointer passing over it shows nothing,
// and its hover is what its controller last made it, wherever the pointer goes. Handed back, it
// follows the pointer itself again.
TEST(RemoteControl, AControlDrivenFromOutsideShowsOnlyWhatItsControllerSetsUntilHandedBack)
{
    for (const RemoteKind &kind : remoteKinds) {
        SCOPED_TRACE(kind.name);
        QWidget window;
        window.resize(300, 300);
        platform::View *control = kind.make(&window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const auto move = [&](const QPoint &to) { QTest::mouseMove(window.windowHandle(), to); };
        move(kind.away);

        control->setProperty("isRemoteControlled", true);
        QCoreApplication::processEvents();
        EXPECT_TRUE(control->trackingAreas().isEmpty());
        move(kind.over);
        EXPECT_FALSE(kind.hovered(control)) << "the pointer over it drives nothing";
        kind.drive(control, true);
        EXPECT_TRUE(kind.hovered(control));
        move(kind.away);
        EXPECT_TRUE(kind.hovered(control)) << "the pointer leaving takes nothing back";
        kind.drive(control, false);
        EXPECT_FALSE(kind.hovered(control));

        control->setProperty("isRemoteControlled", false);
        QCoreApplication::processEvents();
        EXPECT_FALSE(control->trackingAreas().isEmpty());
        move(kind.over);
        EXPECT_TRUE(kind.hovered(control)) << "its own again";
        move(kind.away);
        EXPECT_FALSE(kind.hovered(control));
    }
}
