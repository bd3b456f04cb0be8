#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QScopeGuard>
#include <QTest>

using platform::MouseEvent;
using platform::TrackingArea;

namespace {

// Records which of its areas the pointer enters and leaves.
struct Crossings : platform::View
{
    using platform::View::View;
    int keyOnly = 0;
    int always = 0;
    QStringList heard;
    void note(const char *what, const MouseEvent &event)
    {
        heard << QStringLiteral("%1 %2").arg(QLatin1String(what),
                                            event.trackingArea == keyOnly ? QStringLiteral("key-only") : QStringLiteral("always"));
    }
    void mouseEntered(const MouseEvent &event) override { note("entered", event); }
    void mouseExited(const MouseEvent &event) override { note("exited", event); }
};

// Once the widgets have heard of it too.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

} // namespace

// An area that works in the active window alone hears nothing while another window is active,
// hears the pointer where it rests once its window becomes active, and is left when the window
// goes behind another; an ordinary area beside it hears the pointer all along.
TEST(KeyWindowTracking, AnAreaForTheActiveWindowHearsThePointerOnlyWhileItsWindowIsActive)
{
    QWidget top;
    top.setGeometry(100, 100, 200, 150);
    auto *view = new Crossings(&top);
    view->setGeometry(0, 0, 100, 100);
    view->keyOnly = view->addTrackingArea({{}, TrackingArea::MouseEnteredAndExited | TrackingArea::InVisibleRect | TrackingArea::ActiveInKeyWindow, 0});
    view->always = view->addTrackingArea({{}, TrackingArea::MouseEnteredAndExited | TrackingArea::InVisibleRect, 0});
    top.show();
    QWidget other;
    other.setGeometry(500, 400, 100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    ASSERT_TRUE(activate(&other));
    // Offscreen, Qt counts a window under the pointer where the cursor is, which QTest's moves
    // leave alone; the next case finds it where it was.
    const auto putBack = qScopeGuard([cursor = QCursor::pos()] { QCursor::setPos(cursor); });
    QCursor::setPos(top.mapToGlobal(QPoint(150, 120)));
    QTest::mouseMove(top.windowHandle(), QPoint(150, 120));
    view->heard.clear();

    QTest::mouseMove(top.windowHandle(), QPoint(50, 50));
    QTest::mouseMove(top.windowHandle(), QPoint(60, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(view->heard, QStringList({"entered always"})) << "behind the active window";
    EXPECT_FALSE(view->isPointerInside(view->keyOnly));

    ASSERT_TRUE(activate(&top));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->isPointerInside(view->keyOnly); }, 5000)) << "the resting pointer is heard";
    EXPECT_EQ(view->heard, QStringList({"entered always", "entered key-only"}));

    ASSERT_TRUE(activate(&other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->isPointerInside(view->keyOnly); }, 5000));
    QTest::mouseMove(top.windowHandle(), QPoint(150, 120));
    QTest::mouseMove(top.windowHandle(), QPoint(40, 40));
    EXPECT_EQ(view->heard, QStringList({"entered always", "entered key-only", "exited key-only", "exited always", "entered always"}));
}
