#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"
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
#include <memory>

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
// window, where the pointer rests over it (its own widget coordinates), and whether it shows the
// pointer now.
struct HoverKind
{
    const char *name;
    std::function<platform::View *(QWidget *window)> make;
    std::function<QPoint(platform::View *)> rest;
    std::function<bool(platform::View *)> shows;
};

QVariant keyOf(platform::View *view) { return QVariant::fromValue(static_cast<QObject *>(view)); }

// The view's cursor is on its window's stack: what the window shows while the pointer is over it.
bool cursorPushed(platform::View *view)
{
    const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(view->window());
    return stack && stack->keys().contains(keyOf(view));
}

bool editorShowsCursor(platform::View *view)
{
    return static_cast<QSTurnedCursorView *>(view)->currentCursor().has_value() && cursorPushed(view);
}

QPoint middle(platform::View *view) { return QPoint(view->width() / 2, view->height() / 2); }

// The resize view is 300 × 200 at (20, 20) of its window, its right edge band from x = 290 on;
// the rotation view 220 × 220 there, its ring of radius 105 about (110, 110).
QSResizeView *resizeViewIn(QWidget *window)
{
    auto *view = new QSResizeView(window);
    view->setGeometry(20, 20, 300, 200);
    return view;
}

QSRotationView *rotationViewIn(QWidget *window)
{
    auto *view = new QSRotationView(window);
    view->setHint(QStringLiteral("Turn the frame"));
    view->setGeometry(20, 20, 220, 220);
    return view;
}

const QPoint onResizeEdge(295, 100), onRing(215, 110);

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
     middle, [](platform::View *view) { return platform::viewAlpha(static_cast<QSBasicListEntryView *>(view)->removeButton()) == 1.0; }},
    {"row view",
     [](QWidget *window) {
         auto *row = new QSRowView(false, window);
         row->setTitle(QStringLiteral("Frame"));
         row->setDeletable(true);
         row->setGeometry(20, 20, 300, 58);
         return row;
     },
     middle,
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
     // Low in the pile, where its hand is.
     [](platform::View *view) {
         return QPoint(view->width() / 2, qRound(view->height() - static_cast<QSStackView *>(view)->trackingTop() / 2));
     },
     cursorPushed},
    {"resize view", resizeViewIn, [](platform::View *) { return onResizeEdge; }, editorShowsCursor},
    {"rotation view", rotationViewIn, [](platform::View *) { return onRing; }, editorShowsCursor},
};

} // namespace

// Behind another window a list row, a row view, a pile, a resize view and a rotation view ignore
// the pointer over them: no buttons, no hover, no pointing hand, no resize or turn cursor. Their
// window made active, the pointer resting there shows at once; hovering goes and comes as the
// pointer leaves and comes back, and the other window made active again takes it back.
TEST(KeyWindowHoverOnDesktop, RowsPilesAndGeometryEditorsShowThePointerOverThemOnlyInTheActiveWindow)
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

        const QPoint over = view->mapToGlobal(kind.rest(view));
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

namespace {

// A geometry editor in its window, with the window's hint line beneath it: where the pointer
// rests on its edge or ring, another point there, and the hint the line shows meanwhile.
struct EditorKind
{
    const char *name;
    std::function<QSTurnedCursorView *(QWidget *window)> make;
    QPoint over, along;
    QString hint;
};

const EditorKind editorKinds[] = {
    {"resize view", resizeViewIn, onResizeEdge, QPoint(295, 60), QStringLiteral("Drag an edge or a corner to resize.")},
    {"rotation view", rotationViewIn, onRing, QPoint(110, 215), QStringLiteral("Turn the frame")},
};

struct EditorWindow
{
    QWidget window;
    QLabel *hintLine = new QLabel(&window);
    std::shared_ptr<QSHintController> hints = QSHintController::addHintConrollerForWindow(&window, hintLine);
    QSTurnedCursorView *editor;
    QLabel other{QStringLiteral("Another window")};

    explicit EditorWindow(const EditorKind &kind)
        : editor(kind.make(&window))
    {
        window.setWindowTitle(QStringLiteral("Editor"));
        window.setGeometry(120, 140, 420, 280);
        hintLine->setGeometry(20, 250, 380, 24);
        other.setGeometry(700, 140, 300, 160);
    }

    // Both windows shown, the editor's active, the pointer beside the editor.
    bool shownActive()
    {
        window.show();
        other.show();
        return !settledFrame(&window).isEmpty() && !settledFrame(&other).isEmpty() && activate(&window)
            && pointAt(window.mapToGlobal(QPoint(400, 240)));
    }
};

platform::MouseEvent at(const QPointF &location)
{
    platform::MouseEvent event;
    event.location = location;
    return event;
}

} // namespace

// A resize or rotation view under the pointer has its cursor on the window's stack and its hint
// on the window's hint line; its window made inactive takes both back as the pointer leaving
// would, and the pointer moving along the edge or ring behind the active window brings neither.
TEST(KeyWindowHoverOnDesktop, AGeometryEditorHoveredWhenItsWindowGoesInactiveGivesBackItsCursorAndHint)
{
    FOLDWISE_REQUIRE_DESKTOP();
    for (const EditorKind &kind : editorKinds) {
        SCOPED_TRACE(kind.name);
        EditorWindow shown(kind);
        QSTurnedCursorView *editor = shown.editor;
        ASSERT_TRUE(shown.shownActive());
        ASSERT_TRUE(pointAt(editor->mapToGlobal(kind.over)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return editorShowsCursor(editor); }, DesktopTimeout)) << "hovered in the active window";
        EXPECT_EQ(shown.window.cursor().pixmap().cacheKey(), editor->currentCursor()->pixmap().cacheKey());
        EXPECT_EQ(shown.hintLine->text().toStdString(), kind.hint.toStdString());
        EXPECT_TRUE(shown.hints->keys().contains(keyOf(editor)));
        if (kind.name == editorKinds[0].name) {
            EXPECT_TRUE(saveScreenshot(paintedScreen(&shown.window).copy(settledFrame(&shown.window)), QStringLiteral("resize-view-hovered-in-the-active-window")));
        }

        ASSERT_TRUE(activate(&shown.other));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !editor->currentCursor(); }, DesktopTimeout)) << "its window no longer active";
        EXPECT_FALSE(cursorPushed(editor));
        EXPECT_EQ(shown.window.cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(shown.hintLine->text().toStdString(), "");
        EXPECT_FALSE(shown.hints->keys().contains(keyOf(editor)));

        ASSERT_TRUE(pointAt(editor->mapToGlobal(kind.along)));
        ASSERT_TRUE(settle());
        EXPECT_FALSE(editor->currentCursor()) << "moved along it behind the active window";
        EXPECT_FALSE(cursorPushed(editor));
        EXPECT_EQ(shown.hintLine->text().toStdString(), "");
    }
}

// A remote-controlled resize or rotation view keeps no tracking area, whether its window is active
// or not: its window going inactive takes back nothing its controller showed, and made active
// again under a pointer resting on its edge or ring shows nothing of its own.
TEST(KeyWindowHoverOnDesktop, ARemoteControlledEditorShowsWhatItsControllerSetsWhateverItsWindowsActivation)
{
    FOLDWISE_REQUIRE_DESKTOP();
    for (const EditorKind &kind : editorKinds) {
        SCOPED_TRACE(kind.name);
        EditorWindow shown(kind);
        QSTurnedCursorView *editor = shown.editor;
        editor->setIsRemoteControlled(true);
        ASSERT_TRUE(shown.shownActive());
        EXPECT_TRUE(editor->trackingAreas().isEmpty());

        // Its controller drives it as the pointer over the edge or ring would.
        editor->mouseMoved(at(kind.over));
        ASSERT_TRUE(editorShowsCursor(editor));
        ASSERT_TRUE(activate(&shown.other));
        ASSERT_TRUE(settle());
        EXPECT_TRUE(editorShowsCursor(editor)) << "its window no longer active";
        EXPECT_EQ(shown.hintLine->text().toStdString(), kind.hint.toStdString());

        editor->mouseExited({});
        ASSERT_TRUE(pointAt(editor->mapToGlobal(kind.over)));
        ASSERT_TRUE(activate(&shown.window));
        ASSERT_TRUE(settle());
        EXPECT_FALSE(editor->currentCursor()) << "the pointer resting on it in the active window";
        EXPECT_FALSE(cursorPushed(editor));
        EXPECT_TRUE(editor->trackingAreas().isEmpty());
    }
}
